#include "core/fileio.h"

#include "core/errors.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <random>
#include <utility>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace tavrel::fileio {

namespace testing {
namespace {
std::optional<FaultPlan> faultPlan;
int counted = 0;
std::vector<Op> recorded;
// Enough for any test; keeps a long editing session from growing the record forever.
constexpr std::size_t RecordLimit = 4096;
} // namespace

void setFaultPlan(std::optional<FaultPlan> plan) {
    faultPlan = plan;
    counted = 0;
    recorded.clear();
}

int operationCount() {
    return counted;
}

std::vector<Op> operations() {
    return recorded;
}
} // namespace testing

namespace {

using testing::Op;

// Counts one operation; returns the error a test wants it to fail with, or 0 to let it
// run for real.
int faultFor(Op op) {
    ++testing::counted;
    if (testing::recorded.size() < testing::RecordLimit) {
        testing::recorded.push_back(op);
    }
    if (testing::faultPlan && testing::faultPlan->failAt == testing::counted) {
        return testing::faultPlan->error;
    }
    return 0;
}

// Only an ASCII fold: the game's own names are ASCII, and folding other letters would
// depend on a locale the file system knows nothing about.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
        };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The longest file name most file systems accept, in bytes (or UTF-16 units).
constexpr std::size_t MaxNameLength = 255;

// A hidden name beside the target, so a crash leaves something recognisable and the
// rename stays within one folder (and so one file system).
std::string temporaryName(std::string_view name) {
    static std::mt19937_64 random = [] {
        std::seed_seq seed{
            static_cast<unsigned>(std::random_device{}()),
            static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count() &
                                  0xffffffffu)};
        return std::mt19937_64(seed);
    }();
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::string_view tag = ".tavrel-";
    constexpr std::size_t suffixLength = 6;

    // Cut a very long name so the temporary one still fits, without splitting a UTF-8
    // sequence (Windows would refuse the conversion).
    std::size_t keep = std::min(name.size(), MaxNameLength - 1 - tag.size() - suffixLength);
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    std::string result = ".";
    result += name.substr(0, keep);
    result += tag;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 2);
    for (std::size_t i = 0; i < suffixLength; ++i) {
        result += alphabet[pick(random)];
    }
    return result;
}

// Attempts at a fresh temporary name before giving up; a clash is already unlikely.
constexpr int CreateAttempts = 100;

// Large writes go in pieces: some systems refuse single transfers of 2 GiB or more.
constexpr std::size_t MaxTransfer = std::size_t{1} << 30;

// The system takes a path as a C string, which ends at the first NUL byte: a name with
// one inside would silently reach another file (a Tavrel.cfg line naming "<some
// file>\0" would have that file's permissions changed and its content read as the
// game's). No file has such a name, so it is refused as a bad one.
bool hasNul(std::string_view path) {
    return path.find('\0') != std::string_view::npos;
}

bool parentFolderExists(const std::string& path) {
    std::error_code ec;
    const auto parent = std::filesystem::path(path).parent_path();
    return parent.empty() || std::filesystem::is_directory(parent, ec);
}

[[maybe_unused]] const char* strerrorText(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr; // XSI strerror_r
}
[[maybe_unused]] const char* strerrorText(const char* result, const char*) {
    return result; // GNU strerror_r
}

} // namespace

int IoError::number() const {
    // A missing file and a missing folder share one errno but not one message: the
    // folder's is the one that tells the user what to fix.
    if (code == ENOENT && (step == "create" || !parentFolderExists(path))) {
        return err::PathNotFound;
    }
    return errorNumberFromErrno(code);
}

std::string IoError::reason() const {
    char buffer[256] = {};
#ifdef _WIN32
    if (strerror_s(buffer, sizeof buffer, code) == 0) {
        return buffer;
    }
#else
    if (const char* text = strerrorText(strerror_r(code, buffer, sizeof buffer), buffer)) {
        return text;
    }
#endif
    return "Error " + std::to_string(code);
}

std::string joinPath(std::string_view dir, std::string_view name) {
#ifdef _WIN32
    constexpr char separator = '\\';
    auto isSeparator = [](char c) { return c == '\\' || c == '/'; };
#else
    constexpr char separator = '/';
    auto isSeparator = [](char c) { return c == '/'; };
#endif
    std::string result(dir);
    if (!result.empty() && !isSeparator(result.back())) {
        result += separator;
    }
    result += name;
    return result;
}

#ifndef _WIN32

namespace {

// Runs a system call unless a test plan fails it; failures look the same either way.
template <typename Call> auto osCall(Op op, Call&& call) -> decltype(call()) {
    if (int error = faultFor(op)) {
        errno = error;
        return -1;
    }
    return call();
}

// close() releases the descriptor even when it reports an error, so a faked failure
// must release it as well, or the cleanup would leak it.
int closeCounted(int fd) {
    int error = faultFor(Op::Close);
    int result = ::close(fd);
    if (error != 0) {
        errno = error;
        return -1;
    }
    return result;
}

struct DescriptorCloser {
    int fd;
    ~DescriptorCloser() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

// The folder part with its trailing slash ("" for a bare name) and the name part.
std::pair<std::string, std::string> splitPath(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {std::string(), path};
    }
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

// Returns 0 or an errno value.
int readLink(const std::string& path, std::string& out) {
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (length < 0) {
            return errno;
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            out.assign(buffer.data(), static_cast<std::size_t>(length));
            return 0;
        }
        if (buffer.size() >= (std::size_t{1} << 20)) {
            return ENAMETOOLONG;
        }
        buffer.resize(buffer.size() * 2);
    }
}

// The file a chain of symbolic links ends at, which need not exist yet: saving through
// a dangling link creates its target, as writing through it would. realpath() cannot be
// used because it fails on exactly that case.
Status resolveLinks(const std::string& path, std::string& target) {
    constexpr int MaxHops = 40; // the kernel's own limit
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return std::nullopt;
        }
        if (hops == MaxHops) {
            return IoError{ELOOP, path, "open"};
        }
        std::string link;
        if (int error = readLink(target, link)) {
            return IoError{error, path, "open"};
        }
        if (link.empty()) {
            return IoError{ENOENT, path, "open"};
        }
        // A relative link is relative to the folder holding the link; joining the text
        // lets the kernel walk "..", through any linked folders, as it would itself.
        target = link.front() == '/' ? link : splitPath(target).first + link;
    }
}

// Returns 0 or an errno value.
int syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

// Errors that only say the folder cannot be synced this way (some file systems have no
// such thing, a folder we may write into but not list cannot be opened) rather than
// that anything was lost.
bool folderSyncUnsupported(int error) {
    return error == EINVAL || error == EROFS || error == EBADF || error == EACCES ||
           error == EPERM || error == ENOTSUP || error == EOPNOTSUPP;
}

} // namespace

bool FileExists(const std::string& path) {
    struct stat st {};
    return !hasNul(path) && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Status readFile(const std::string& path, std::string& out, std::size_t limit) {
    if (hasNul(path)) {
        return IoError{EINVAL, path, "open"};
    }
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return IoError{errno, path, "open"};
    }
    DescriptorCloser closer{fd};

    // The size is only a first guess: the file may grow or shrink while being read, and
    // some file systems report no size at all.
    std::size_t guess = 0;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return IoError{EISDIR, path, "open"};
        }
        if (S_ISREG(st.st_mode) && st.st_size > 0) {
            guess = static_cast<std::size_t>(
                std::min<off_t>(st.st_size, off_t{64} * 1024 * 1024)); // trust it only so far
        }
    }
    guess = std::min(guess, limit);

    std::string data;
    std::size_t used = 0;
    try {
        // One byte spare, so the end of the file shows up without growing the buffer.
        data.resize(std::max<std::size_t>(guess + 1, 4096));
        for (;;) {
            if (used > limit) {
                return IoError{EFBIG, path, "read"};
            }
            if (used == data.size()) {
                data.resize(std::min(data.size() * 2, limit + 1));
            }
            ssize_t got = ::read(fd, data.data() + used, data.size() - used);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return IoError{errno, path, "read"};
            }
            if (got == 0) {
                break;
            }
            used += static_cast<std::size_t>(got);
        }
    } catch (const std::bad_alloc&) {
        return IoError{ENOMEM, path, "read"};
    }
    data.resize(used);
    out.swap(data);
    return std::nullopt;
}

Status replaceFile(const std::string& path, std::string_view content) {
    if (hasNul(path)) {
        return IoError{EINVAL, path, "create"};
    }
    std::string target;
    if (Status error = resolveLinks(path, target)) {
        return error;
    }
    auto [prefix, name] = splitPath(target);
    if (name.empty()) {
        return IoError{EISDIR, path, "create"};
    }

    struct stat old {};
    bool replacing = false;
    if (::stat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            return IoError{EISDIR, path, "create"};
        }
        replacing = true;
    } else if (errno != ENOENT && errno != ENOTDIR) {
        // A missing folder, or a file where a folder should be, is reported by the
        // create step below, which is the step that really cannot be done.
        return IoError{errno, path, "stat"};
    }

    // A new file is created as open() would create it, so the umask and any default ACL
    // of the folder apply and there is nothing to adjust later. A replacement starts
    // private and gets the old file's permissions once it is complete.
    const mode_t createMode = replacing ? 0600 : 0666;
    int fd = -1;
    std::string tempPath;
    for (int attempt = 1;; ++attempt) {
        tempPath = prefix + temporaryName(name);
        fd = osCall(Op::Create, [&] {
            return ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        });
        if (fd >= 0) {
            break;
        }
        if (errno == EINTR || (errno == EEXIST && attempt < CreateAttempts)) {
            continue;
        }
        return IoError{errno, path, "create"};
    }

    // From here on the temporary file exists, and every failure must take it away again
    // so the folder looks exactly as before.
    auto abandon = [&](int error, const char* step) -> Status {
        if (fd >= 0) {
            closeCounted(fd);
            fd = -1;
        }
        osCall(Op::Remove, [&] { return ::unlink(tempPath.c_str()); });
        return IoError{error, path, step};
    };

    const char* next = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        std::size_t chunk = std::min(left, MaxTransfer);
        ssize_t written = osCall(Op::Write, [&] { return ::write(fd, next, chunk); });
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return abandon(errno, "write");
        }
        if (written == 0) {
            return abandon(EIO, "write"); // would otherwise loop for ever
        }
        next += written;
        left -= static_cast<std::size_t>(written);
    }

    // Ownership and permissions go before the data sync, so they reach the device with it.
    if (replacing) {
        struct stat made {};
        if (::fstat(fd, &made) != 0) {
            return abandon(errno, "chown");
        }
        // Only root can give the file back to its owner; anyone may keep its group if they
        // belong to it. Where neither is allowed the file simply becomes ours, as any
        // newly written file would.
        uid_t owner = made.st_uid != old.st_uid ? old.st_uid : static_cast<uid_t>(-1);
        gid_t group = made.st_gid != old.st_gid ? old.st_gid : static_cast<gid_t>(-1);
        if (owner != static_cast<uid_t>(-1) || group != static_cast<gid_t>(-1)) {
            int result = osCall(Op::Chown, [&] { return ::fchown(fd, owner, group); });
            if (result != 0 && errno == EPERM && owner != static_cast<uid_t>(-1) &&
                group != static_cast<gid_t>(-1)) {
                result =
                    osCall(Op::Chown, [&] { return ::fchown(fd, static_cast<uid_t>(-1), group); });
            }
            if (result != 0 && errno != EPERM) {
                return abandon(errno, "chown");
            }
        }
        // Owner write is added because the editor has just written the file and will want
        // to again. EPERM comes from file systems without Unix permissions (FAT, for one);
        // there the file gets the folder's fixed permissions, like every other file on it.
        mode_t mode = (old.st_mode & 07777) | S_IWUSR;
        if (osCall(Op::Chmod, [&] { return ::fchmod(fd, mode); }) != 0 && errno != EPERM) {
            return abandon(errno, "chmod");
        }
    }

    if (osCall(Op::Flush, [&] { return ::fsync(fd); }) != 0) {
        return abandon(errno, "sync");
    }
    int closed = closeCounted(fd);
    fd = -1;
    if (closed != 0) {
        return abandon(errno, "close");
    }
    if (osCall(Op::Rename, [&] { return ::rename(tempPath.c_str(), target.c_str()); }) != 0) {
        return abandon(errno, "rename");
    }

    // The new content is now in place. Syncing the folder makes the rename itself
    // survive a power cut; where the file system cannot do that at all, nothing better is
    // possible and the save has succeeded. A real failure is reported under its own step,
    // because telling the user the file is unchanged would be false.
    int syncError = faultFor(Op::Sync);
    if (syncError == 0) {
        syncError = syncFolder(prefix.empty() ? std::string(".") : prefix);
    }
    if (syncError != 0 && !folderSyncUnsupported(syncError)) {
        return IoError{syncError, path, std::string(StepSyncFolder)};
    }
    return std::nullopt;
}

Status setAttributesNormal(const std::string& path) {
    if (hasNul(path)) {
        return IoError{EINVAL, path, "stat"};
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return IoError{errno, path, "stat"};
    }
    // One counted step, whether or not the mode needs changing, so that a test plan
    // sees the same find however the file was left.
    if (int injected = faultFor(Op::Chmod)) {
        return IoError{injected, path, "chmod"};
    }
    // A file we may already write is left alone: changing the mode of a file owned by
    // someone else is refused even when it is writable to all. A read-only file system
    // is still reported, as callers rely on that to turn down such a location.
    const int accessError = ::access(path.c_str(), W_OK) == 0 ? 0 : errno;
    if (accessError == 0 && ((st.st_mode & S_IWUSR) || st.st_uid != ::geteuid())) {
        return std::nullopt;
    }
    if (accessError == EROFS) {
        return IoError{EROFS, path, "chmod"};
    }
    if (::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0) {
        return IoError{errno, path, "chmod"};
    }
    return std::nullopt;
}

std::optional<std::string> findEntry(const std::string& dir, std::string_view name) {
    if (name.empty() || hasNul(dir) || hasNul(name)) {
        return std::nullopt;
    }
    std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(dir.empty() ? "." : dir.c_str()),
                                               &::closedir);
    if (!folder) {
        return std::nullopt;
    }
    std::optional<std::string> best;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(folder.get());
        if (entry == nullptr) {
            break;
        }
        std::string_view entryName = entry->d_name;
        if (entryName == "." || entryName == "..") {
            continue;
        }
        if (entryName == name) {
            return std::string(entryName);
        }
        // Several spellings can coexist on a case-sensitive file system; taking the
        // smallest makes the choice independent of the order the folder lists them in.
        if (equalsIgnoringAsciiCase(entryName, name) && (!best || entryName < *best)) {
            best = std::string(entryName);
        }
    }
    // A listing cut short might have hidden the exact match.
    if (errno != 0) {
        return std::nullopt;
    }
    return best;
}

#else // _WIN32

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

// The file a link points to, so the link itself survives the replacement; unchanged
// when the path is no link or does not exist yet.
std::wstring finalPath(const std::wstring& path) {
    HandleCloser file{CreateFileW(path.c_str(), 0,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        return path;
    }
    wchar_t buffer[MAX_PATH * 4];
    DWORD length = GetFinalPathNameByHandleW(file.handle, buffer, MAX_PATH * 4,
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= MAX_PATH * 4) {
        return path;
    }
    return std::wstring(buffer, length);
}

} // namespace

bool FileExists(const std::string& path) {
    std::wstring wide;
    if (!widen(path, wide)) {
        return false;
    }
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Status readFile(const std::string& path, std::string& out, std::size_t limit) {
    std::wstring wide;
    if (!widen(path, wide)) {
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
    std::wstring given;
    if (!widen(path, given)) {
        return IoError{EILSEQ, path, "create"};
    }
    std::wstring target = finalPath(given);
    std::size_t separator = lastSeparator(target);
    std::wstring prefix = separator == std::wstring::npos ? L"" : target.substr(0, separator + 1);
    std::wstring name = separator == std::wstring::npos ? target : target.substr(separator + 1);
    if (name.empty()) {
        return IoError{EISDIR, path, "create"};
    }
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return IoError{EISDIR, path, "create"};
    }
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;

    int error = 0;
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring tempPath;
    for (int attempt = 1;; ++attempt) {
        std::wstring tempName;
        if (!widen(temporaryName(narrow(name.c_str())), tempName)) {
            return IoError{EILSEQ, path, "create"};
        }
        tempPath = prefix + tempName;
        if (winCall(Op::Create, error, [&] {
                file = CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
                return file != INVALID_HANDLE_VALUE;
            })) {
            break;
        }
        if (error != EEXIST || attempt == CreateAttempts) {
            return IoError{error, path, "create"};
        }
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

    if (!replacing) {
        if (!winCall(Op::Rename, error, [&] {
                return MoveFileExW(tempPath.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
            })) {
            return abandon(error, "rename");
        }
        return std::nullopt;
    }
    // ReplaceFileW keeps the old file's attributes, security and streams, which a plain
    // move would lose.
    DWORD replaceError = 0;
    if (int injected = faultFor(Op::Rename)) {
        error = injected;
    } else if (!ReplaceFileW(target.c_str(), tempPath.c_str(), nullptr,
                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        replaceError = GetLastError();
        error = errnoFromWin32(replaceError);
    } else {
        return std::nullopt;
    }
    if (replaceError == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
        // The old file is already gone: the temporary file is now the only copy, so it
        // must be moved into place, and kept if even that fails.
        if (MoveFileExW(tempPath.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            return std::nullopt;
        }
        return IoError{errnoFromWin32(GetLastError()), path, "rename"};
    }
    return abandon(error, "rename");
}

Status setAttributesNormal(const std::string& path) {
    std::wstring wide;
    if (!widen(path, wide)) {
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
    if (name.empty() || !widen(joinPath(dir.empty() ? "." : dir, "*"), pattern)) {
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

#endif // _WIN32

} // namespace tavrel::fileio
