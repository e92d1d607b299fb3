#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// The classic run-time error numbers that the editor's messages are chosen by.
namespace err {
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int BadFileName = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int FileAlreadyOpen = 55;
inline constexpr int DeviceIO = 57;
inline constexpr int FileAlreadyExists = 58;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEnd = 62;
inline constexpr int TooManyFiles = 67;
inline constexpr int DeviceUnavailable = 68;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
} // namespace err

// Maps a platform error code (errno) to its run-time error number.
int errorNumberFromErrno(int code);

// The same for a failure to open a folder: one that is not there is a missing path.
int folderErrorNumber(int code);

// The places whose messages differ for the same error number.
enum class MessageTable {
    StartUp,       // loading the main window
    LocateDialog,  // drive change and the find procedure before the configuration step
    Configuration, // writing Tavrel.cfg and reading the game after a find
    SettingsFile,  // the save and load dialogs
};

// The message shown for an error number at a place.
std::string errorMessage(MessageTable table, int number);

// "This action has caused an unknown error. Error code: " followed by the number as
// the classic Str() writes it: a leading blank for a non-negative number.
std::string unknownErrorMessage(int number);

// `written` ("The changes", "The settings") are in place, but the system failed to
// confirm that they are safe on disk: the user must not be told that nothing changed.
std::string unconfirmedMessage(std::string_view written, std::string_view reason);

// Told after a read when the game's folder takes no new file: every Apply, which writes
// a new file beside the old one, would fail after the user's editing.
std::string folderNotWritableMessage(std::string_view folder, std::string_view reason);

namespace msg {
inline constexpr const char* NoDisc = "There is no disc in the drive or the device is unavailable.";
inline constexpr const char* FolderNotFound = "The folder can't be found.";
inline constexpr const char* DiscAsLocation =
    "You can't use the Dungeon Keeper disc as the game location.";
inline constexpr const char* ConfigNotWritten =
    "Unable to write Tavrel.cfg. You may need to copy the editor to another disc.";
inline constexpr const char* FileAccess = "Unable to access file.";
inline constexpr const char* BadFileName =
    "A file name cannot contain any of the following characters: \\ / : * ? \" < > |";
inline constexpr const char* IncompatibleGameFile =
    "Unable to load settings. Incompatible Creature.txt file. Please replace with the "
    "original from the Dungeon Keeper disc.";
inline constexpr const char* GameMissing = "The editor was unable to find the game. It may have "
                                           "been moved. No changes have been applied. Please "
                                           "try again.";
inline constexpr const char* FolderNameHasLineBreak =
    "The folder's name contains a line break, which the editor cannot remember. Please "
    "rename the folder and locate the game again.";
inline constexpr const char* SettingsFileTooLarge =
    "Unable to load the file. It is too large to be a settings file, so no values have "
    "been changed.";
inline constexpr const char* ConfigFileTooLarge =
    "Unable to read Tavrel.cfg. The file is too large to be a Tavrel.cfg. Please locate the "
    "game again.";
inline constexpr const char* SettingsFileTooShort =
    "Unable to load the file. It is too short to be a settings file, so no values have "
    "been changed.";
} // namespace msg

} // namespace tavrel
