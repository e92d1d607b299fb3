// The file layer on Windows: wide names, the new file moved over the old one.
#include "core/fileio.h"

#include "core/fileio_internal.h"

#include <algorithm>
#include <cstddef>
#include <new>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace tavrel::fileio {

using namespace detail;
using testing::Op;

namespace {

int errnoFromWin32(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return ENOENT;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_NOT_READY:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
        return ENXIO;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return EINVAL;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    default:
        return EIO;
    }
}

// UTF-8 to UTF-16; false when the text is not valid UTF-8 or holds a NUL, which would
// end the name early in every wide call.
bool widen(std::string_view text, std::wstring& out) {
    out.clear();
    if (hasNul(text)) {
        return false;
    }
    if (text.empty()) {
        return true;
    }
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                     static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) {
        return false;
    }
    out.resize(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        out.data(), length);
    return true;
}

std::string narrow(const wchar_t* text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return std::string();
    }
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), length, nullptr, nullptr);
    out.pop_back(); // the terminator
    return out;
}

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};

// Runs a Win32 call unless a test plan fails it; on failure `error` holds an errno value.
template <typename Call> bool winCall(Op op, int& error, Call&& call) {
    if (int injected = faultFor(op)) {
        error = injected;
        return false;
    }
    if (!call()) {
        error = errnoFromWin32(GetLastError());
        return false;
    }
    return true;
}

std::size_t lastSeparator(const std::wstring& path) {
    return path.find_last_of(L"\\/");
}

// A full path in the form that lifts the old limit of 260 characters ("\\?\C:\...",
// "\\?\UNC\server\share\..."); unchanged when it cannot be made full, or when it already
// has such a form or names a device ("\\.\NUL", "\\.\pipe\x").
std::wstring absolutePath(const std::wstring& path) {
    DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) {
        return path;
    }
    std::wstring full(length, L'\0');
    length = GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
    if (length == 0 || length >= full.size()) {
        return path;
    }
    full.resize(length);
    if (full.rfind(L"\\\\", 0) == 0) {
        return full[2] == L'?' || full[2] == L'.' ? full : L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

// UTF-8 to a path for the wide calls: a long one made full, so that it works whether or
// not the system lifts the old limit for the program.
bool widePath(std::string_view path, std::wstring& out) {
    if (!widen(path, out)) {
        return false;
    }
    if (out.size() >= MAX_PATH) {
        out = absolutePath(out);
    }
    return true;
}

// Why an open handle is refused as a file: consoles, devices and pipes can wait for ever
// and are no place for the editor's files. Empty for a disc file or folder.
std::string_view notAFile(HANDLE handle) {
    switch (GetFileType(handle)) {
    case FILE_TYPE_DISK:
        return {};
    case FILE_TYPE_PIPE:
        return IsNamedPipe;
    default:
        return IsDevice;
    }
}

// The same for a full path in the device namespace, which must not even be opened: a
// pipe's server would take the open for a client.
std::string_view notAFile(const std::wstring& full) {
    if (full.rfind(L"\\\\.\\", 0) != 0) {
        return {};
    }
    const bool pipe = full.size() > 9 &&
                      CompareStringOrdinal(full.c_str() + 4, 5, L"pipe\\", 5, TRUE) == CSTR_EQUAL;
    return pipe ? IsNamedPipe : IsDevice;
}

// The file a link points to, so the link itself survives the replacement; unchanged
// when the path is no link or does not exist yet. `why` tells what it is when that is
// no file or folder.
std::wstring finalPath(const std::wstring& path, std::string_view& why) {
    why = notAFile(path);
    if (!why.empty()) {
        return path;
    }
    HandleCloser file{CreateFileW(path.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        return path;
    }
    why = notAFile(file.handle);
    const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    std::wstring buffer(GetFinalPathNameByHandleW(file.handle, nullptr, 0, flags), L'\0');
    const DWORD length = GetFinalPathNameByHandleW(file.handle, buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), flags);
    if (length == 0 || length >= buffer.size()) {
        return path;
    }
    buffer.resize(length);
    return buffer;
}

// True when another program holds the file open without letting it be deleted, which
// is what refuses a move over it: the game keeps its files so while it runs.
bool heldOpen(const std::wstring& path) {
    HandleCloser file{CreateFileW(path.c_str(), DELETE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    return file.handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
}

// The same for a folder, the entries in it and in its folders; links are not followed.
bool heldOpenWithinFolder(const std::wstring& path) {
    if (heldOpen(path)) {
        return true;
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return false;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool held = false;
    do {
        const std::wstring name = found.cFileName;
        held = name != L"." && name != L".." && heldOpenWithinFolder(path + L"\\" + name);
    } while (!held && FindNextFileW(search, &found));
    FindClose(search);
    return held;
}

// The file a replace of a path writes (links followed), as a full path, its folder with a
// trailing separator, its name, and, as for finalPath, why it is no file.
struct Place {
    std::wstring target;
    std::wstring prefix;
    std::wstring name;
    std::string_view why;
};

Status resolveTarget(const std::string& path, Place& place) {
    std::wstring given;
    if (!widen(path, given)) {
        return IoError{EILSEQ, path, "create"};
    }
    // A full path, so that nothing below depends on how the path was given (Wine's
    // ReplaceFileW once refused a bare file name with ERROR_DIRECTORY).
    place.target = finalPath(absolutePath(given), place.why);
    const std::wstring& target = place.target;
    std::size_t separator = lastSeparator(target);
    place.prefix = separator == std::wstring::npos ? L"" : target.substr(0, separator + 1);
    place.name = separator == std::wstring::npos ? target : target.substr(separator + 1);
    if (place.name.empty()) {
        return IoError{EISDIR, path, "create"};
    }
    return std::nullopt;
}

// A new hidden file beside `name`, open for writing; on failure nothing is left.
Status createTemporary(const std::string& path, const std::wstring& prefix,
                       const std::wstring& name, HANDLE& file, std::wstring& tempPath) {
    int error = 0;
    for (int attempt = 1;; ++attempt) {
        std::wstring tempName;
        if (!widen(temporaryName(narrow(name.c_str())), tempName)) {
            return IoError{EILSEQ, path, "create"};
        }
        tempPath = prefix + tempName;
        if (winCall(Op::Create, error, [&] {
                // Asking to delete it too means that a folder which lets files be made
                // but not removed refuses the create, rather than keep the file for good.
                file = CreateFileW(tempPath.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
                return file != INVALID_HANDLE_VALUE;
            })) {
            return std::nullopt;
        }
        if (error != EEXIST || attempt == CreateAttempts) {
            return IoError{error, path, "create"};
        }
    }
}

} // namespace

bool detail::heldOpenWithin(const std::string& path) {
    std::wstring wide;
    return widen(path, wide) && heldOpenWithinFolder(absolutePath(wide));
}

bool FileExists(const std::string& path) {
    std::wstring wide;
    if (!widePath(path, wide)) {
        return false;
    }
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Status readFile(const std::string& path, std::string& out, std::size_t limit) {
    std::wstring wide;
    if (!widePath(path, wide)) {
        return IoError{EILSEQ, path, "open"};
    }
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return IoError{EISDIR, path, "open"};
    }
    HandleCloser file{CreateFileW(wide.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        return IoError{errnoFromWin32(GetLastError()), path, "open"};
    }
    if (const std::string_view why = notAFile(file.handle); !why.empty()) {
        return IoError{EPERM, path, "open", why};
    }
    std::string data;
    try {
        char buffer[65536];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.handle, buffer, sizeof buffer, &got, nullptr)) {
                return IoError{errnoFromWin32(GetLastError()), path, "read"};
            }
            if (got == 0) {
                break;
            }
            data.append(buffer, got);
            if (data.size() > limit) {
                return IoError{EFBIG, path, "read"};
            }
        }
    } catch (const std::bad_alloc&) {
        return IoError{ENOMEM, path, "read"};
    }
    out.swap(data);
    return std::nullopt;
}

Status replaceFile(const std::string& path, std::string_view content) {
    Place place;
    if (Status error = resolveTarget(path, place)) {
        return error;
    }
    const auto& [target, prefix, name, why] = place;
    // A file moved over a device or a pipe would not reach it, and a read of one could
    // wait for ever.
    if (!why.empty()) {
        return IoError{EPERM, path, "create", why};
    }
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return IoError{EISDIR, path, "create"};
    }
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;

    int error = 0;
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring tempPath;
    if (Status failed = createTemporary(path, prefix, name, file, tempPath)) {
        return failed;
    }

    auto abandon = [&](int failure, const char* step) -> Status {
        if (file != INVALID_HANDLE_VALUE) {
            faultFor(Op::Close);
            CloseHandle(file);
            file = INVALID_HANDLE_VALUE;
        }
        int ignored = 0;
        winCall(Op::Remove, ignored, [&] { return DeleteFileW(tempPath.c_str()) != 0; });
        return IoError{failure, path, step};
    };

    const char* next = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        DWORD chunk = static_cast<DWORD>(std::min(left, MaxTransfer));
        DWORD written = 0;
        if (!winCall(Op::Write, error,
                     [&] { return WriteFile(file, next, chunk, &written, nullptr) != 0; })) {
            return abandon(error, "write");
        }
        if (written == 0) {
            return abandon(EIO, "write");
        }
        next += written;
        left -= written;
    }
    if (!winCall(Op::Flush, error, [&] { return FlushFileBuffers(file) != 0; })) {
        return abandon(error, "sync");
    }
    // As on POSIX, the handle is gone after CloseHandle whatever it reports.
    int closeFault = faultFor(Op::Close);
    BOOL closed = CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    if (closeFault != 0 || !closed) {
        return abandon(closeFault != 0 ? closeFault : errnoFromWin32(GetLastError()), "close");
    }

    // A plain move over the old file. ReplaceFileW would keep the old file's attributes,
    // which the editor clears before it writes over a file anyway, and Wine's version
    // leaves a stray "rf*.tmp" file beside the game's when the old file is held open.
    // A read-only target refuses the move, so the flag goes first, and comes back when
    // the move does not happen.
    const bool readOnly = replacing && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        SetFileAttributesW(target.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }
    if (!winCall(Op::Rename, error, [&] {
            return MoveFileExW(tempPath.c_str(), target.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        })) {
        if (readOnly) {
            SetFileAttributesW(target.c_str(), attributes);
        }
        // Windows says only "access denied" when another program holds the file.
        Status failed = abandon(error, "rename");
        if ((error == EACCES || error == EBUSY) && heldOpen(target)) {
            failed->code = EBUSY;
            failed->why = InUse;
        }
        return failed;
    }
    return std::nullopt;
}

Status probeReplace(const std::string& path) {
    Place place;
    if (Status error = resolveTarget(path, place)) {
        return error;
    }
    const auto& [target, prefix, name, why] = place;
    // The folder as the user knows it, not in the long form.
    std::wstring shown = prefix.substr(0, prefix.size() - 1);
    if (shown.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        shown.replace(0, 8, L"\\\\");
    } else if (shown.rfind(L"\\\\?\\", 0) == 0) {
        shown.erase(0, 4);
    }
    const std::string folder = narrow(shown.c_str());
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring tempPath;
    if (Status error = createTemporary(folder, prefix, name, file, tempPath)) {
        return error;
    }
    CloseHandle(file);
    if (!DeleteFileW(tempPath.c_str())) {
        return IoError{errnoFromWin32(GetLastError()), folder, "remove"};
    }
    return std::nullopt;
}

Status setAttributesNormal(const std::string& path) {
    std::wstring wide;
    if (!widePath(path, wide)) {
        return IoError{EILSEQ, path, "chmod"};
    }
    int error = 0;
    if (!winCall(Op::Chmod, error,
                 [&] { return SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL) != 0; })) {
        return IoError{error, path, "chmod"};
    }
    return std::nullopt;
}

std::optional<std::string> findEntry(const std::string& dir, std::string_view name) {
    std::wstring pattern;
    if (name.empty() || !widePath(joinPath(dir.empty() ? "." : dir, "*"), pattern)) {
        return std::nullopt;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::optional<std::string> best;
    std::optional<std::string> exact;
    do {
        std::string entryName = narrow(found.cFileName);
        if (entryName == "." || entryName == "..") {
            continue;
        }
        if (entryName == name) {
            exact = entryName;
            break;
        }
        if (equalsIgnoringAsciiCase(entryName, name) && (!best || entryName < *best)) {
            best = entryName;
        }
    } while (FindNextFileW(search, &found));
    bool complete = exact || GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(search);
    if (exact) {
        return exact;
    }
    return complete ? best : std::nullopt;
}

Status whyNotAFile(const std::string& path) {
    std::wstring wide;
    if (!widePath(path, wide)) {
        return IoError{EILSEQ, path, "open"};
    }
    const std::wstring full = absolutePath(wide);
    if (const std::string_view why = notAFile(full); !why.empty()) {
        return IoError{EPERM, path, "open", why};
    }
    HandleCloser file{CreateFileW(full.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            return IoError{errnoFromWin32(error), path, "open"};
        }
        // The link itself is there when only its target is missing.
        const DWORD attributes = GetFileAttributesW(full.c_str());
        const bool link =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        return link ? IoError{ENOENT, path, "open", IsDanglingLink} : IoError{ENOENT, path, "open"};
    }
    if (const std::string_view why = notAFile(file.handle); !why.empty()) {
        return IoError{EPERM, path, "open", why};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(file.handle, &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return IoError{EISDIR, path, "open"};
    }
    return std::nullopt;
}

Status syncFolder(const std::string& folder) {
    // NTFS logs its folder entries itself; the step is still counted for the test seam.
    if (int injected = faultFor(Op::Sync)) {
        return IoError{injected, folder, std::string(StepSyncFolder)};
    }
    return std::nullopt;
}

FolderLock::~FolderLock() {
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_)); // which also deletes the file
    }
}

Status lockFolder(const std::string& folder, bool exclusive, FolderLock& lock) {
    std::wstring wide;
    if (!widePath(joinPath(folder.empty() ? "." : folder, ".tavrel.lock"), wide)) {
        return IoError{EILSEQ, folder, "lock"};
    }
    // Readers share the file with each other, a writer with no one; the last handle to
    // close takes the file with it.
    HANDLE handle =
        CreateFileW(wide.c_str(), GENERIC_READ | DELETE | (exclusive ? GENERIC_WRITE : 0),
                    exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A file whose last holder is closing it refuses access until it is gone.
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) {
            const bool held = error == ERROR_SHARING_VIOLATION ||
                              GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
            if (held) {
                return IoError{EWOULDBLOCK, folder, "lock", LockedByOther};
            }
        }
        return IoError{errnoFromWin32(error), folder, "lock"};
    }
    if (lock.handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(lock.handle_));
    }
    lock.handle_ = reinterpret_cast<std::intptr_t>(handle);
    return std::nullopt;
}

bool onWindows() {
    return true;
}

std::optional<std::string> environmentVariable(const std::string& name) {
    std::wstring wideName;
    if (!widen(name, wideName)) {
        return std::nullopt;
    }
    // The wide form: the 8-bit one would garble letters outside the system's code page.
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (length <= 1) {
        return std::nullopt;
    }
    std::wstring value(length, L'\0');
    if (GetEnvironmentVariableW(wideName.c_str(), value.data(), length) != length - 1) {
        return std::nullopt;
    }
    return narrow(value.c_str());
}

std::string programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return narrow(path.substr(0, path.find_last_of(L"\\/")).c_str());
}

namespace {

bool writeAll(HANDLE out, const std::wstring& text) {
    DWORD mode = 0;
    if (GetConsoleMode(out, &mode)) {
        // A console shows UTF-16 as it is, whatever its code page.
        for (std::size_t done = 0; done < text.size();) {
            DWORD written = 0;
            const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 4096));
            if (!WriteConsoleW(out, text.data() + done, piece, &written, nullptr) || written == 0) {
                return false;
            }
            done += written;
        }
        return true;
    }
    // A file or a pipe gets UTF-8, as the program's other output.
    const std::string bytes = narrow(text.c_str());
    for (std::size_t done = 0; done < bytes.size();) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min(bytes.size() - done, MaxTransfer));
        if (!WriteFile(out, bytes.data() + done, piece, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

bool printToConsole(std::string_view text) {
    std::wstring wide;
    if (!widen(text, wide)) {
        return false;
    }
    std::wstring lines; // with Windows line ends
    for (const wchar_t c : wide) {
        if (c == L'\n') {
            lines += L'\r';
        }
        lines += c;
    }
    // Redirected output, or the console of a program started as a console program.
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN &&
        writeAll(out, lines)) {
        return true;
    }
    // A windowed program started from cmd or PowerShell: the console it was started from.
    // Started from the desktop, there is none, and none is opened.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return false;
    }
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE) {
        FreeConsole();
        return false;
    }
    // The shell does not wait for a windowed program and has shown its prompt already:
    // the text starts on a line of its own.
    const bool written = writeAll(console, L"\r\n" + lines);
    CloseHandle(console);
    FreeConsole();
    return written;
}

} // namespace tavrel::fileio
