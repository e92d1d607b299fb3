; The setup program of Tavrel for 64-bit Windows; scripts/package-windows makes it and
; defines VERSION, FILES (the macros that install and remove the program's files),
; SIZE_KB and OUTFILE.
;
; It installs for the current user by default, into %LOCALAPPDATA%\Programs\Tavrel, or
; for all users (chosen on its first page, or /AllUsers) into Program Files\Tavrel. /S
; installs silently. The uninstaller removes the files, shortcut and registry keys that
; the setup added, and nothing else: Tavrel.cfg in %APPDATA%\Tavrel and the user's .dks
; files stay.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all

!define PROGID "Tavrel.Settings"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrel"

Name "Tavrel"
OutFile "${OUTFILE}"
BrandingText "Tavrel ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Tavrel"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Tavrel ${VERSION} Setup"
VIAddVersionKey "CompanyName" "Tavrel developers"
VIAddVersionKey "LegalCopyright" "Copyright 2026 Tavrel developers"

; A later setup finds the earlier one's folder and kind of installation in its
; Add/Remove Programs entry, and so does the uninstaller.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "Tavrel"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
; The program icon, for the setup and its uninstaller too.
!define MUI_ICON "tavrel.ico"
!define MUI_UNICON "tavrel.ico"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include "${FILES}"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Explorer redraws the icons of .dks files at once.
!macro TAVREL_ASSOCIATIONS_CHANGED
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "Tavrel needs a 64-bit version of Windows."
    Abort
  ${EndIf}
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Tavrel"
  !insertmacro TAVREL_INSTALL_FILES
  ; An installed copy keeps Tavrel.cfg in the user's application data, not in its folder.
  FileOpen $0 "$INSTDIR\installed" w
  FileClose $0
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Tavrel.lnk" "$INSTDIR\tavrel.exe" "" "$INSTDIR\tavrel.exe" 0 \
    SW_SHOWNORMAL "" "Edit the rules of Dungeon Keeper"

  WriteRegStr SHCTX "Software\Classes\.dks" "" "${PROGID}"
  WriteRegStr SHCTX "Software\Classes\.dks\OpenWithProgids" "${PROGID}" ""
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Tavrel settings file"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\tavrel.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" \
    '"$INSTDIR\tavrel.exe" "%1"'

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Tavrel"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Tavrel developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavrel.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  !insertmacro TAVREL_ASSOCIATIONS_CHANGED
SectionEnd

Section "Uninstall"
  !insertmacro TAVREL_REMOVE_FILES
  Delete "$INSTDIR\installed"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: files the user put there stay, and so does their folder.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tavrel.lnk"

  ; .dks goes back to no program only while it still opens with Tavrel.
  ReadRegStr $0 SHCTX "Software\Classes\.dks" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue SHCTX "Software\Classes\.dks" ""
  ${EndIf}
  DeleteRegValue SHCTX "Software\Classes\.dks\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.dks\OpenWithProgids"
  DeleteRegKey /ifempty SHCTX "Software\Classes\.dks"
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  !insertmacro TAVREL_ASSOCIATIONS_CHANGED
SectionEnd
