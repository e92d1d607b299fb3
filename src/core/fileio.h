#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"

namespace tavrel::fileio {

// What failed, on which file, with the platform's error code (errno on POSIX).
struct IoError {
    int code = 0;     // errno value (or the Windows error mapped to one)
    std::string path; // the file or folder the failing step worked on
    std::string step; // short verb: "open", "read", "create", "write", "sync", "rename", ...
    // The file layer's own words, where the system's would mislead: one of the texts below.
    std::string_view why = {};

    // The classic run-time error number the editor's messages are chosen by.
    int number() const;
    // The platform's own words for the failure, e.g. "No space left on device", or `why`.
    std::string reason() const;
    // What a place shows for the failure: its message for the number, or, when the file
    // layer has its own words, those with the file's name.
    std::string message(MessageTable table) const;
    // A read that stopped at its limit: the file is larger than the caller accepts.
    bool tooLarge() const;
    // A replace that failed only after the new content was in place.
    bool contentInPlace() const;
};

// Why a path that names no file is refused, rather than read or replaced by a file.
inline constexpr std::string_view IsDevice = "Is a device, not a file";
inline constexpr std::string_view IsNamedPipe = "Is a named pipe, not a file";
inline constexpr std::string_view IsSocket = "Is a socket, not a file";
// Windows: another program holds the file open and does not let it be replaced.
inline constexpr std::string_view InUse = "The file is in use by another program";
// Windows: the same for a folder that a move would take away, or for a file in it.
inline constexpr std::string_view FolderInUse =
    "The folder is in use by another program, perhaps the game";
// A symbolic link whose target is not there.
inline constexpr std::string_view IsDanglingLink = "Is a symbolic link to nothing";
// A folder where new files can be made but none removed or replaced (Linux's append-only
// flag): a replace there would leave its temporary file behind for good.
inline constexpr std::string_view AddOnlyFolder =
    "The folder lets files be added but not replaced or removed";
// Another program holds the lock of the folder (see lockFolder).
inline constexpr std::string_view LockedByOther = "Another program is writing there";

using Status = std::optional<IoError>; // empty on success

// True only for an existing regular file (symbolic links followed); never for a folder.
bool FileExists(const std::string& path);

// Reads a whole file into `out`, but never more than `limit` bytes: a longer file (or an
// endless one, such as a device) fails at "read" with EFBIG after limit + 1 bytes. A
// named pipe without a writer reads as empty instead of waiting. On Windows, where a
// read of a pipe or a console would wait for ever, anything but a disc file is refused.
inline constexpr std::size_t NoLimit = static_cast<std::size_t>(-1) - 1;
Status readFile(const std::string& path, std::string& out, std::size_t limit = NoLimit);

// Replaces (or creates) `path` with exactly `content` without ever leaving it
// half-written: the bytes go to a new file in the same folder, which is synced and
// renamed over the target. A symbolic link is followed and stays a link. The new
// file keeps the old file's permissions (plus owner write) and, where allowed, its
// group; on Windows it has normal attributes, as the editor clears them. On failure
// the old file is untouched and no temporary file remains. A path that names a device,
// a named pipe or a socket (also through links) is refused before anything is changed.
Status replaceFile(const std::string& path, std::string_view content);

// Whether replaceFile could make its new file beside `path` (links followed): an empty
// file is created there and removed again, which, unlike asking for permissions, also
// tells the truth about access lists and read-only mounts. A failure names the folder.
Status probeReplace(const std::string& path);

// The folder steps of replacing a whole folder: each is one operation of the test seam.
// makeFolder creates one folder (its parent must exist); moveEntry renames a file or
// folder within one file system, never over an existing entry on purpose; removeFolder
// deletes a folder with everything in it, and succeeds when there is nothing there.
Status makeFolder(const std::string& path);
Status moveEntry(const std::string& from, const std::string& to);
Status removeFolder(const std::string& path);

// "Set attributes to normal": on POSIX, give the owner write permission.
Status setAttributesNormal(const std::string& path);

// Why `path` (links followed) names no regular file: ENOENT when nothing is there (with
// IsDanglingLink for a link whose target is gone), EISDIR for a folder, EPERM with one of
// the texts above for a device, a named pipe or a socket, or the system's error for a path
// that cannot be looked at (a link loop, a folder that may not be searched); empty for a
// regular file. Nothing is opened, so a pipe cannot make it wait.
Status whyNotAFile(const std::string& path);

// Pushes a folder's entries (made, moved or renamed in it) to the device, one counted
// step (Op::Sync). As for replaceFile, a file system that cannot do so is no failure.
Status syncFolder(const std::string& folder);

// Removes the temporary files that replaces of `name` in `folder` left behind when the
// program was killed during them; what cannot be removed stays, as nothing depends on it.
void removeLeftovers(const std::string& folder, std::string_view name);

// An advisory lock on a folder, held until the object is destroyed, so that programs
// which write there one at a time (this one, run twice) do not interleave. Nothing is
// left behind: POSIX locks the folder itself, Windows a hidden file in it that goes with
// the lock.
class FolderLock {
public:
    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

private:
    friend Status lockFolder(const std::string&, bool, FolderLock&);
    std::intptr_t handle_ = -1;
};

// Takes the lock of `folder` without waiting: shared by readers, exclusive for a writer.
// When another holder stands in the way it fails at "lock" with EWOULDBLOCK and
// LockedByOther.
Status lockFolder(const std::string& folder, bool exclusive, FolderLock& lock);

// The editor's paths are UTF-8 on every system; std::filesystem would read a plain string
// in the system's code page on Windows. These convert both ways.
std::filesystem::path pathOf(const std::string& path);
std::string utf8Of(const std::filesystem::path& path);
// Whether `path` (links followed) is a folder; false when it cannot be looked at.
bool isFolder(const std::string& path);

// Joins with the platform's separator; a trailing separator on `dir` is kept as is.
std::string joinPath(std::string_view dir, std::string_view name);

// Looks in `dir` for an entry called `name`, ignoring letter case when the file
// system does not; returns the entry's real name, preferring an exact match.
std::optional<std::string> findEntry(const std::string& dir, std::string_view name);

// What the program learns from the system it runs on, for finding the game and its own
// configuration file: Windows has drive letters, no letter case and a per-user
// application-data folder; other systems keep to the working folder.
bool onWindows();
// An environment variable's value in UTF-8, when it is set and not empty.
std::optional<std::string> environmentVariable(const std::string& name);
// The folder that holds the running program, or empty when the system does not say.
std::string programFolder();
// Writes `text` (UTF-8) to standard output, where whoever started the program from a
// console reads it. A windowed Windows program has no console of its own: unless its
// output is redirected, it writes to the console it was started from. False when the
// text could not be written, also when there is no console (started from the desktop,
// where none is opened).
bool printToConsole(std::string_view text);

// The step named by a replaceFile error that came after the rename: the new content is
// already in place, but the folder entry may not yet be safe from a power cut.
inline constexpr std::string_view StepSyncFolder = "sync folder";

// A seam for tests: every operating-system call that replaceFile (and
// setAttributesNormal) makes to change something is counted here, and a plan can make
// the n-th one fail with a chosen error without reaching the system. Closing is the
// one exception: a failed close releases the descriptor anyway, so a faked failure
// still closes it. probeReplace counts only its create: its clean-up must not be
// skipped, or a test would leave the probe behind. Not for use by the program itself.
namespace testing {

enum class Op {
    Create,       // create the temporary file (each attempt)
    Write,        // each write call
    Flush,        // push the temporary file's data to the device
    Sync,         // push the folder entry to the device, after the rename
    Rename,       // move the temporary file over the target
    Remove,       // delete the temporary file after a failure
    Chmod,        // set permissions
    Chown,        // restore the old file's owner or group
    Close,        // close the temporary file
    MakeFolder,   // makeFolder
    MoveEntry,    // moveEntry
    RemoveFolder, // removeFolder
};

struct FaultPlan {
    int failAt = 0;  // 1-based position of the operation to fail; 0 fails none
    int error = EIO; // the errno it fails with
};

// Installs a plan (or none) and restarts the count.
void setFaultPlan(std::optional<FaultPlan> plan);
// Operations counted since the last setFaultPlan call.
int operationCount();
// Those operations in order (the first few thousand).
std::vector<Op> operations();

} // namespace testing

} // namespace tavrel::fileio
