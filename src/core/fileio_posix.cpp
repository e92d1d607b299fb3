// The file layer on POSIX systems: descriptors, rename over the target, fsync.
#include "core/fileio.h"

#include "core/fileio_internal.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <tuple>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace tavrel::fileio {

using namespace detail;
using testing::Op;

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

// What a path names when it is neither a file nor a folder.
std::string_view notAFile(mode_t mode) {
    return S_ISFIFO(mode) ? IsNamedPipe : S_ISSOCK(mode) ? IsSocket : IsDevice;
}

} // namespace

bool detail::heldOpenWithin(const std::string&) {
    return false;
}

namespace {

// The file a replace of a path writes (links followed), its folder with a trailing slash
// ("" for a bare name) and its name.
struct Place {
    std::string target;
    std::string prefix;
    std::string name;
};

Status resolveTarget(const std::string& path, Place& place) {
    if (hasNul(path)) {
        return IoError{EINVAL, path, "create"};
    }
    if (Status error = resolveLinks(path, place.target)) {
        return error;
    }
    std::tie(place.prefix, place.name) = splitPath(place.target);
    if (place.name.empty()) {
        return IoError{EISDIR, path, "create"};
    }
    return std::nullopt;
}

// Whether the folder (with a trailing slash, or "" for the current one) takes new files
// but lets none be removed or renamed, which root can set on Linux: a temporary file
// made there could never be taken away again, so none is made.
bool addOnly(const std::string& prefix) {
#ifdef __linux__
    int fd = ::open(prefix.empty() ? "." : prefix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    DescriptorCloser closer{fd};
    int flags = 0;
    return ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_APPEND_FL) != 0;
#else
    (void)prefix;
    return false;
#endif
}

// A new hidden file beside `name`, open for writing; on failure nothing is left.
Status createTemporary(const std::string& path, const std::string& prefix, const std::string& name,
                       mode_t mode, int& fd, std::string& tempPath) {
    if (addOnly(prefix)) {
        return IoError{EPERM, path, "create", AddOnlyFolder};
    }
    for (int attempt = 1;; ++attempt) {
        tempPath = prefix + temporaryName(name);
        fd = osCall(Op::Create, [&] {
            return ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        });
        if (fd >= 0) {
            return std::nullopt;
        }
        if (errno == EINTR || (errno == EEXIST && attempt < CreateAttempts)) {
            continue;
        }
        return IoError{errno, path, "create"};
    }
}

// Returns 0 or an errno value.
int fsyncFolder(const std::string& folder) {
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
    Place place;
    if (Status error = resolveTarget(path, place)) {
        return error;
    }
    // Plain references: clang 14 cannot capture structured bindings in the lambdas below.
    const std::string& target = place.target;
    const std::string& prefix = place.prefix;
    const std::string& name = place.name;

    struct stat old {};
    bool replacing = false;
    if (::stat(target.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            return IoError{EISDIR, path, "create"};
        }
        // Renaming a file over a device or a pipe would not write to it but put a file
        // where it was: run as root, "/dev/null" would be gone.
        if (!S_ISREG(old.st_mode)) {
            return IoError{EPERM, path, "create", notAFile(old.st_mode)};
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
    int fd = -1;
    std::string tempPath;
    if (Status error = createTemporary(path, prefix, name, replacing ? 0600 : 0666, fd, tempPath)) {
        return error;
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
    Status synced = syncFolder(prefix);
    if (synced) {
        synced->path = path;
    }
    return synced;
}

Status probeReplace(const std::string& path) {
    Place place;
    if (Status error = resolveTarget(path, place)) {
        return error;
    }
    const std::string& prefix = place.prefix;
    const std::string& name = place.name;
    const std::string folder = prefix.empty()       ? "."
                               : prefix.size() == 1 ? prefix
                                                    : prefix.substr(0, prefix.size() - 1);
    int fd = -1;
    std::string tempPath;
    if (Status error = createTemporary(folder, prefix, name, 0600, fd, tempPath)) {
        return error;
    }
    ::close(fd);
    if (::unlink(tempPath.c_str()) != 0) {
        return IoError{errno, folder, "remove"};
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

Status whyNotAFile(const std::string& path) {
    if (hasNul(path)) {
        return IoError{EINVAL, path, "open"};
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        struct stat link {};
        if (error == ENOENT && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
            return IoError{ENOENT, path, "open", IsDanglingLink};
        }
        return IoError{error, path, "open"};
    }
    if (S_ISDIR(st.st_mode)) {
        return IoError{EISDIR, path, "open"};
    }
    if (!S_ISREG(st.st_mode)) {
        return IoError{EPERM, path, "open", notAFile(st.st_mode)};
    }
    return std::nullopt;
}

Status syncFolder(const std::string& folder) {
    int error = faultFor(Op::Sync);
    if (error == 0) {
        error = fsyncFolder(folder.empty() ? std::string(".") : folder);
    }
    if (error != 0 && !folderSyncUnsupported(error)) {
        return IoError{error, folder, std::string(StepSyncFolder)};
    }
    return std::nullopt;
}

FolderLock::~FolderLock() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_)); // which releases the lock
    }
}

Status lockFolder(const std::string& folder, bool exclusive, FolderLock& lock) {
    if (hasNul(folder)) {
        return IoError{EINVAL, folder, "lock"};
    }
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return IoError{errno, folder, "lock"};
    }
    int result;
    do {
        result = ::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? IoError{EWOULDBLOCK, folder, "lock", LockedByOther}
                                    : IoError{error, folder, "lock"};
    }
    if (lock.handle_ >= 0) {
        ::close(static_cast<int>(lock.handle_));
    }
    lock.handle_ = fd;
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

bool onWindows() {
    return false;
}

std::optional<std::string> environmentVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

bool printToConsole(std::string_view text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
           std::fflush(stdout) == 0;
}

std::string programFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.parent_path().string();
}

} // namespace tavrel::fileio
