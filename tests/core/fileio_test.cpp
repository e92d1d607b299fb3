#include "core/fileio.h"

#include <gtest/gtest.h>

#include "core/test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fio = tavrel::fileio;
namespace fault = tavrel::fileio::testing;
using fault::Op;

// ---------------------------------------------------------------------------------------
// Helpers

class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/tavrel-fileio-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
        }
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes a file directly, with exactly `mode` whatever the umask.
void writeRaw(const std::string& path, const std::string& content, mode_t mode = 0644) {
    ::unlink(path.c_str()); // it may be read-only from an earlier round
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw std::runtime_error("open " + path + ": " + std::strerror(errno));
    }
    std::size_t done = 0;
    while (done < content.size()) {
        ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n <= 0) {
            ::close(fd);
            throw std::runtime_error("write " + path + ": " + std::strerror(errno));
        }
        done += static_cast<std::size_t>(n);
    }
    ::fchmod(fd, mode);
    ::close(fd);
}

bool readRaw(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::string readRaw(const std::string& path) {
    std::string content;
    readRaw(path, content);
    return content;
}

// Every name in the folder, hidden ones included, sorted.
std::vector<std::string> listFolder(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* folder = ::opendir(dir.c_str())) {
        while (const dirent* entry = ::readdir(folder)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(folder);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return "[" + text + "]";
}

int openDescriptorCount() {
    return static_cast<int>(listFolder("/proc/self/fd").size());
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// Game-file-like text: numbered CRLF lines, cut to exactly `size` bytes.
std::string sampleContent(std::size_t size, char tag) {
    std::string text;
    for (int line = 0; text.size() < size; ++line) {
        text += tag;
        text += " Line " + std::to_string(line) + " = 12 34 56\r\n";
    }
    text.resize(size);
    return text;
}

const std::string TargetName = "CREATURE.TXT";

struct Failure {
    int code;
    const char* reason;
    const char* step;
    int number;
};

// Everything that must hold after a failed replace, as a list of problems (empty when
// none). Written as text so a forked child can report it too.
std::string failedReplaceProblems(const fio::Status& status, const Failure& want,
                                  const std::string& path, const std::string& oldContent,
                                  const std::string& folder,
                                  const std::vector<std::string>& expectedListing) {
    std::ostringstream problems;
    if (!status) {
        problems << "replaceFile reported success\n";
    } else {
        if (status->code != want.code) {
            problems << "code " << status->code << " (" << status->reason() << "), expected "
                     << want.code << " (" << want.reason << ")\n";
        }
        if (status->reason() != want.reason) {
            problems << "reason \"" << status->reason() << "\", expected \"" << want.reason
                     << "\"\n";
        }
        if (status->step != want.step) {
            problems << "step \"" << status->step << "\", expected \"" << want.step << "\"\n";
        }
        if (status->number() != want.number) {
            problems << "number " << status->number() << ", expected " << want.number << "\n";
        }
        if (status->path != path) {
            problems << "path \"" << status->path << "\", expected \"" << path << "\"\n";
        }
    }
    std::string now;
    if (!readRaw(path, now)) {
        problems << "old file can no longer be read\n";
    } else if (now != oldContent) {
        problems << "old file changed (" << now.size() << " bytes, was " << oldContent.size()
                 << ")\n";
    }
    std::vector<std::string> listing = listFolder(folder);
    if (listing != expectedListing) {
        problems << "folder holds " << joined(listing) << ", expected " << joined(expectedListing)
                 << "\n";
    }
    return problems.str();
}

// Runs `body` in a forked child, for tests that change process-wide state (mounts, limits).
// The child reports problems as text through a pipe; exit status 0 passes, ChildSkip
// means the method is not available here.
constexpr int ChildSkip = 77;

struct ChildOutcome {
    int exitCode = -1; // -1 when the child died of a signal
    std::string message;
};

ChildOutcome runInChild(const std::function<int(std::string& message)>& body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {-1, std::string("pipe: ") + std::strerror(errno)};
    }
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return {ChildSkip, std::string("fork: ") + std::strerror(errno)};
    }
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string message;
        int code = 1;
        try {
            code = body(message);
        } catch (const std::exception& e) {
            message += std::string("exception: ") + e.what() + "\n";
        }
        std::size_t done = 0;
        while (done < message.size()) {
            ssize_t n = ::write(pipeFds[1], message.data() + done, message.size() - done);
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        if (code != 0 && code != ChildSkip) {
            // Also on stderr, for anyone running the binary by hand.
            if (::write(STDERR_FILENO, message.data(), message.size()) < 0) {
                // Nothing more to be done: the pipe carries the same text.
            }
        }
        ::_exit(code);
    }
    ::close(pipeFds[1]);
    ChildOutcome outcome;
    char buffer[4096];
    for (;;) {
        ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        outcome.message.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        outcome.exitCode = WEXITSTATUS(status);
    } else {
        outcome.message += "child killed by signal " + std::to_string(WTERMSIG(status));
    }
    return outcome;
}

#define EXPECT_CHILD_PASSED(outcome)                                                               \
    do {                                                                                           \
        if ((outcome).exitCode == ChildSkip) {                                                     \
            GTEST_SKIP() << (outcome).message;                                                     \
        }                                                                                          \
        EXPECT_EQ((outcome).exitCode, 0) << (outcome).message;                                     \
    } while (false)

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// In a child: a private mount namespace, so mounts vanish with the child.
bool enterPrivateMountNamespace(std::string& message) {
    if (::unshare(CLONE_NEWNS) != 0) {
        message = systemError("unshare(CLONE_NEWNS)");
        return false;
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        message = systemError("making / private");
        return false;
    }
    return true;
}

bool isRoot() {
    return ::geteuid() == 0;
}

// ---------------------------------------------------------------------------------------
// Basics

TEST(FileIoBasics, FileExistsOnlyForRegularFilesFollowingLinks) {
    TempDir dir;
    writeRaw(dir / "file", "x");
    ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("file", (dir / "link-to-file").c_str()), 0);
    ASSERT_EQ(::symlink("folder", (dir / "link-to-folder").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (dir / "dangling").c_str()), 0);

    const std::vector<std::pair<std::string, bool>> cases = {
        {"file", true},        {"link-to-file", true},
        {"folder", false},     {"link-to-folder", false},
        {"dangling", false},   {"missing", false},
        {"file/below", false},
    };
    for (const auto& [name, exists] : cases) {
        EXPECT_EQ(fio::FileExists(dir / name), exists) << name;
    }
}

TEST(FileIoBasics, ReadFileReturnsExactBytes) {
    TempDir dir;
    std::string binary = "A\0B\r\n\x1a\xff end";
    binary[1] = '\0';
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"binary", binary},
        {"one-byte", "x"},
        {"game-sized", sampleContent(44048, 'g')},
        {"large", sampleContent(300000, 'l')}, // more than any first buffer
    };
    for (const auto& [name, content] : cases) {
        writeRaw(dir / name, content);
        std::string out = "previous";
        fio::Status status = fio::readFile(dir / name, out);
        EXPECT_FALSE(status) << name << ": " << status->step << " " << status->reason();
        EXPECT_EQ(out, content) << name;
    }
}

TEST(FileIoBasics, ReadFileThroughALink) {
    TempDir dir;
    writeRaw(dir / "real", "content");
    ASSERT_EQ(::symlink("real", (dir / "link").c_str()), 0);
    std::string out;
    EXPECT_FALSE(fio::readFile(dir / "link", out));
    EXPECT_EQ(out, "content");
}

TEST(FileIoBasics, ReadFileFailuresNameTheProblemAndLeaveOutputAlone) {
    TempDir dir;
    ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
    writeRaw(dir / "afile", "x");
    struct Case {
        std::string name;
        int code;
        int number;
    };
    const std::vector<Case> cases = {
        {"missing", ENOENT, 53},
        {"folder", EISDIR, 75},
        {"afile/below", ENOTDIR, 76},
    };
    for (const Case& c : cases) {
        std::string out = "untouched";
        fio::Status status = fio::readFile(dir / c.name, out);
        ASSERT_TRUE(status) << c.name;
        EXPECT_EQ(status->code, c.code) << c.name << ": " << status->reason();
        EXPECT_EQ(status->step, "open") << c.name;
        EXPECT_EQ(status->number(), c.number) << c.name;
        EXPECT_EQ(status->path, dir / c.name);
        EXPECT_EQ(out, "untouched") << c.name;
    }
}

TEST(FileIoBasics, IoErrorGivesNumberAndSystemWords) {
    const std::vector<Failure> cases = {
        {ENOSPC, "No space left on device", "", 61},   {EROFS, "Read-only file system", "", 75},
        {ENOENT, "No such file or directory", "", 53}, {ENOTDIR, "Not a directory", "", 76},
        {EIO, "Input/output error", "", 57},
    };
    for (const Failure& c : cases) {
        fio::IoError error{c.code, "/x", "write"};
        EXPECT_EQ(error.number(), c.number) << c.reason;
        EXPECT_EQ(error.reason(), c.reason);
    }
}

TEST(FileIoBasics, JoinPathAddsOneSeparator) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"/games/DK", "DATA", "/games/DK/DATA"},
        {"/games/DK/", "DATA", "/games/DK/DATA"},
        {"/", "DATA", "/DATA"},
        {"", "DATA", "DATA"},
        {"relative", "CREATURE.TXT", "relative/CREATURE.TXT"},
    };
    for (const auto& [dir, name, expected] : cases) {
        EXPECT_EQ(fio::joinPath(dir, name), expected) << dir << " + " << name;
    }
}

// ---------------------------------------------------------------------------------------
// findEntry

TEST(FileIoFindEntry, PrefersTheExactSpelling) {
    TempDir dir;
    for (const char* name : {"DATA", "data", "Data"}) {
        ASSERT_EQ(::mkdir((dir / name).c_str(), 0755), 0);
    }
    EXPECT_EQ(fio::findEntry(dir.path(), "Data"), "Data");
    EXPECT_EQ(fio::findEntry(dir.path(), "data"), "data");
    // No exact match: the choice must not depend on listing order.
    EXPECT_EQ(fio::findEntry(dir.path(), "dAtA"), "DATA");
}

TEST(FileIoFindEntry, FoldsAsciiLettersOnly) {
    TempDir dir;
    ASSERT_EQ(::mkdir((dir / "DATA").c_str(), 0755), 0);
    writeRaw(dir / "Creature.txt", "x");
    writeRaw(dir / "\xc3\x89T\xc3\x89", "x"); // "ÉTÉ" in UTF-8
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"Data", "DATA"},
        {"data", "DATA"},
        {"CREATURE.TXT", "Creature.txt"},
        {"\xc3\x89t\xc3\x89", "\xc3\x89T\xc3\x89"},
        {"\xc3\xa9t\xc3\xa9", std::nullopt}, // "été": not an ASCII fold
        {"DAT", std::nullopt},
        {"DATA2", std::nullopt},
        {"missing", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        {"..", std::nullopt},
    };
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(fio::findEntry(dir.path(), name), expected) << name;
    }
}

TEST(FileIoFindEntry, NothingWhenTheFolderCannotBeRead) {
    TempDir dir;
    writeRaw(dir / "afile", "x");
    EXPECT_EQ(fio::findEntry(dir / "missing", "DATA"), std::nullopt);
    EXPECT_EQ(fio::findEntry(dir / "afile", "DATA"), std::nullopt);
}

// ---------------------------------------------------------------------------------------
// replaceFile: what a successful replace leaves behind

TEST(FileIoReplace, CreatesANewFileAsOpenWould) {
    TempDir dir;
    const std::string content = sampleContent(44048, 'n');
    const mode_t previous = ::umask(027);
    fio::Status status = fio::replaceFile(dir / TargetName, content);
    ::umask(previous);
    ASSERT_FALSE(status) << status->step << ": " << status->reason();
    EXPECT_EQ(readRaw(dir / TargetName), content);
    EXPECT_EQ(modeOf(dir / TargetName), 0640u);
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{TargetName});
}

TEST(FileIoReplace, ReplacesContentKeepingPermissionsPlusOwnerWrite) {
    struct Case {
        mode_t before;
        mode_t after;
        std::size_t oldSize;
        std::size_t newSize;
    };
    const std::vector<Case> cases = {
        {0444, 0644, 44048, 44048}, {0644, 0644, 44048, 100}, {0600, 0600, 100, 44048},
        {0400, 0600, 10, 10},       {0640, 0640, 44048, 0},   {0755, 0755, 0, 44048},
        {0604, 0604, 5000, 4999},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir / TargetName;
        writeRaw(path, sampleContent(c.oldSize, 'o'), c.before);
        const std::string content = sampleContent(c.newSize, 'n');
        fio::Status status = fio::replaceFile(path, content);
        ASSERT_FALSE(status) << std::oct << c.before << ": " << status->step << " "
                             << status->reason();
        EXPECT_EQ(readRaw(path), content) << std::oct << c.before;
        EXPECT_EQ(modeOf(path), c.after) << std::oct << c.before;
        EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{TargetName});
    }
}

TEST(FileIoReplace, KeepsTheOldFilesOwnerAndGroup) {
    if (!isRoot()) {
        GTEST_SKIP() << "giving a file to another owner needs root";
    }
    TempDir dir;
    const std::string path = dir / TargetName;
    writeRaw(path, "old", 0644);
    const uid_t owner = 4242;
    const gid_t group = 4343;
    ASSERT_EQ(::chown(path.c_str(), owner, group), 0) << std::strerror(errno);
    ASSERT_FALSE(fio::replaceFile(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, owner);
    EXPECT_EQ(st.st_gid, group);
    EXPECT_EQ(readRaw(path), "new");
}

TEST(FileIoReplace, WritesThroughSymbolicLinksWhichStayLinks) {
    struct Case {
        const char* what;
        std::string linkText;   // what the link at game/CREATURE.TXT holds
        std::string secondLink; // if set, data/middle is a link holding this
        bool targetExists;
    };
    const std::vector<Case> cases = {
        {"relative link into another folder", "../data/real.txt", "", true},
        {"absolute link", "@/data/real.txt", "", true},
        {"chain of two links", "../data/middle", "real.txt", true},
        {"dangling link", "../data/real.txt", "", false},
        {"dangling chain", "../data/middle", "real.txt", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ASSERT_EQ(::mkdir((dir / "game").c_str(), 0755), 0);
        ASSERT_EQ(::mkdir((dir / "data").c_str(), 0755), 0);
        const std::string realFile = dir / "data/real.txt";
        if (c.targetExists) {
            writeRaw(realFile, "old content", 0444);
        }
        std::string linkText = c.linkText;
        if (linkText.front() == '@') {
            linkText = dir.path() + linkText.substr(1);
        }
        const std::string link = dir / "game/CREATURE.TXT";
        ASSERT_EQ(::symlink(linkText.c_str(), link.c_str()), 0);
        if (!c.secondLink.empty()) {
            ASSERT_EQ(::symlink(c.secondLink.c_str(), (dir / "data/middle").c_str()), 0);
        }

        const std::string content = sampleContent(44048, 'n');
        fio::Status status = fio::replaceFile(link, content);
        ASSERT_FALSE(status) << status->step << ": " << status->reason();

        struct stat st {};
        ASSERT_EQ(::lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode));
        char text[4096] = {};
        ASSERT_GT(::readlink(link.c_str(), text, sizeof text - 1), 0);
        EXPECT_EQ(std::string(text), linkText);
        EXPECT_EQ(readRaw(realFile), content);
        if (c.targetExists) {
            EXPECT_EQ(modeOf(realFile), 0644u);
        }
        // The temporary file belonged beside the real file, and is gone.
        EXPECT_EQ(listFolder(dir / "game"), std::vector<std::string>{"CREATURE.TXT"});
        std::vector<std::string> data = {"real.txt"};
        if (!c.secondLink.empty()) {
            data = {"middle", "real.txt"};
        }
        EXPECT_EQ(listFolder(dir / "data"), data);
    }
}

TEST(FileIoReplace, ABareNameMeansTheCurrentFolder) {
    TempDir dir;
    writeRaw(dir / TargetName, "old");
    const int previous = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(previous, 0);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    fio::Status status = fio::replaceFile(TargetName, "new");
    EXPECT_EQ(::fchdir(previous), 0);
    ::close(previous);
    ASSERT_FALSE(status) << status->step << ": " << status->reason();
    EXPECT_EQ(readRaw(dir / TargetName), "new");
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{TargetName});
}

TEST(FileIoReplace, ANameAtTheLengthLimitStillGetsATemporaryFile) {
    TempDir dir;
    const std::string name = std::string(251, 'c') + ".TXT"; // 255 bytes
    writeRaw(dir / name, "old");
    fio::Status status = fio::replaceFile(dir / name, "new");
    ASSERT_FALSE(status) << status->step << ": " << status->reason();
    EXPECT_EQ(readRaw(dir / name), "new");
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{name});
}

TEST(FileIoReplace, PathProblemsAreReportedAndCreateNothing) {
    TempDir dir;
    writeRaw(dir / "afile", "plain");
    ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
    struct Case {
        std::string path;
        Failure want;
    };
    const std::vector<Case> cases = {
        {"afile/CREATURE.TXT", {ENOTDIR, "Not a directory", "create", 76}},
        {"missing/CREATURE.TXT", {ENOENT, "No such file or directory", "create", 76}},
        {"folder", {EISDIR, "Is a directory", "create", 75}},
        {std::string(300, 'n'), {ENAMETOOLONG, "File name too long", "stat", 52}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        fio::Status status = fio::replaceFile(dir / c.path, "new");
        ASSERT_TRUE(status);
        EXPECT_EQ(status->code, c.want.code) << status->reason();
        EXPECT_EQ(status->reason(), c.want.reason);
        EXPECT_EQ(status->step, c.want.step);
        EXPECT_EQ(status->number(), c.want.number);
        EXPECT_EQ(status->path, dir / c.path);
        EXPECT_EQ(listFolder(dir.path()), (std::vector<std::string>{"afile", "folder"}));
        EXPECT_EQ(readRaw(dir / "afile"), "plain");
        EXPECT_TRUE(listFolder(dir / "folder").empty());
    }
}

TEST(FileIoReplace, SetAttributesNormalGivesTheOwnerWrite) {
    TempDir dir;
    const std::vector<std::pair<mode_t, mode_t>> cases = {
        {0444, 0644}, {0400, 0600}, {0644, 0644}, {0555, 0755}};
    for (const auto& [before, after] : cases) {
        writeRaw(dir / "f", "x", before);
        EXPECT_FALSE(fio::setAttributesNormal(dir / "f")) << std::oct << before;
        EXPECT_EQ(modeOf(dir / "f"), after) << std::oct << before;
    }
    fio::Status status = fio::setAttributesNormal(dir / "missing");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, ENOENT);
}

// ---------------------------------------------------------------------------------------
// replaceFile: real failures of the system. Each leaves the old file byte-identical and
// no temporary file behind.

TEST(FileIoFailure, DiskFullLeavesTheOldFileAlone) {
    if (!isRoot()) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    TempDir dir;
    ChildOutcome outcome = runInChild([&](std::string& message) {
        if (!enterPrivateMountNamespace(message)) {
            return ChildSkip;
        }
        if (::mount("tavrel-test", dir.path().c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0) {
            message = systemError("mounting tmpfs");
            return ChildSkip;
        }
        const std::string path = dir / TargetName;
        const std::string oldContent = sampleContent(3000, 'o');
        writeRaw(path, oldContent);

        // Fill the file system, then give back just a little: less than the new content.
        const std::string filler = dir / "filler";
        int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            message = systemError("filler");
            return 1;
        }
        const std::string block(4096, 'f');
        off_t filled = 0;
        for (;;) {
            ssize_t n = ::write(fd, block.data(), block.size());
            if (n <= 0) {
                break;
            }
            filled += n;
        }
        if (filled < 8192 || ::ftruncate(fd, filled - 8192) != 0) {
            message = "could not shape the free space";
            ::close(fd);
            return 1;
        }
        ::close(fd);

        struct statvfs before {};
        ::statvfs(dir.path().c_str(), &before);
        const int descriptors = openDescriptorCount();
        fio::Status status = fio::replaceFile(path, sampleContent(44048, 'n'));

        message = failedReplaceProblems(status, {ENOSPC, "No space left on device", "write", 61},
                                        path, oldContent, dir.path(), {TargetName, "filler"});
        struct statvfs after {};
        ::statvfs(dir.path().c_str(), &after);
        if (after.f_bfree != before.f_bfree) {
            // An unlinked but still open temporary file keeps its blocks.
            message += "free blocks " + std::to_string(after.f_bfree) + ", were " +
                       std::to_string(before.f_bfree) + "\n";
        }
        if (openDescriptorCount() != descriptors) {
            message += "a descriptor was leaked\n";
        }
        return message.empty() ? 0 : 1;
    });
    EXPECT_CHILD_PASSED(outcome);
}

TEST(FileIoFailure, ReadOnlyFileSystemRefusesReplaceAndAttributes) {
    if (!isRoot()) {
        GTEST_SKIP() << "remounting read-only needs root";
    }
    TempDir dir;
    const std::string path = dir / TargetName;
    const std::string oldContent = sampleContent(44048, 'o');
    writeRaw(path, oldContent, 0444);
    // Already writable: only chmod itself can tell that the file system is read-only.
    writeRaw(dir / "writable", "x", 0644);
    ChildOutcome outcome = runInChild([&](std::string& message) {
        if (!enterPrivateMountNamespace(message)) {
            return ChildSkip;
        }
        if (::mount(dir.path().c_str(), dir.path().c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, dir.path().c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                    nullptr) != 0) {
            message = systemError("read-only bind mount");
            return ChildSkip;
        }
        fio::Status status = fio::replaceFile(path, sampleContent(44048, 'n'));
        message = failedReplaceProblems(status, {EROFS, "Read-only file system", "create", 75},
                                        path, oldContent, dir.path(), {TargetName, "writable"});

        for (const std::string& file : {path, dir / "writable"}) {
            fio::Status attributes = fio::setAttributesNormal(file);
            if (!attributes) {
                message += file + ": setAttributesNormal succeeded on a read-only file system\n";
            } else if (attributes->code != EROFS || attributes->step != "chmod") {
                message += file + ": setAttributesNormal: " + attributes->step + ": " +
                           attributes->reason() + "\n";
            }
        }
        if (modeOf(path) != 0444) {
            message += "mode changed\n";
        }
        return message.empty() ? 0 : 1;
    });
    EXPECT_CHILD_PASSED(outcome);
}

TEST(FileIoFailure, RenameOverAMountPointFailsBusy) {
    if (!isRoot()) {
        GTEST_SKIP() << "bind mounts need root";
    }
    TempDir dir;
    const std::string path = dir / TargetName;
    const std::string oldContent = sampleContent(44048, 'o');
    writeRaw(path, oldContent);
    ChildOutcome outcome = runInChild([&](std::string& message) {
        if (!enterPrivateMountNamespace(message)) {
            return ChildSkip;
        }
        if (::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            message = systemError("bind-mounting the file over itself");
            return ChildSkip;
        }
        const int descriptors = openDescriptorCount();
        fio::Status status = fio::replaceFile(path, sampleContent(44048, 'n'));
        message = failedReplaceProblems(status, {EBUSY, "Device or resource busy", "rename", 75},
                                        path, oldContent, dir.path(), {TargetName});
        if (openDescriptorCount() != descriptors) {
            message += "a descriptor was leaked\n";
        }
        return message.empty() ? 0 : 1;
    });
    EXPECT_CHILD_PASSED(outcome);
    // Outside the child's namespace the file was never covered, and must be unchanged too.
    EXPECT_EQ(readRaw(path), oldContent);
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{TargetName});
}

TEST(FileIoFailure, FileSizeLimitStopsTheWritePartway) {
    TempDir dir;
    const std::string path = dir / TargetName;
    const std::string oldContent = sampleContent(2000, 'o');
    writeRaw(path, oldContent);
    ChildOutcome outcome = runInChild([&](std::string& message) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
            message = systemError("setrlimit");
            return ChildSkip;
        }
        fault::setFaultPlan(std::nullopt);
        fio::Status status = fio::replaceFile(path, sampleContent(44048, 'n'));
        message = failedReplaceProblems(status, {EFBIG, "File too large", "write", 61}, path,
                                        oldContent, dir.path(), {TargetName});
        // The first write is cut short at the limit; only carrying on reaches the error.
        const std::vector<Op> ops = fault::operations();
        if (std::count(ops.begin(), ops.end(), Op::Write) < 2) {
            message += "the short write was not followed by another\n";
        }
        return message.empty() ? 0 : 1;
    });
    EXPECT_CHILD_PASSED(outcome);
    EXPECT_EQ(readRaw(path), oldContent);
}

// ---------------------------------------------------------------------------------------
// replaceFile: every single operation failing in turn

std::ptrdiff_t indexOf(const std::vector<Op>& ops, Op op) {
    auto found = std::find(ops.begin(), ops.end(), op);
    return found == ops.end() ? -1 : found - ops.begin();
}

class FileIoFaultInjection : public ::testing::Test {
protected:
    void TearDown() override { fault::setFaultPlan(std::nullopt); }

    // The old file as a user would have it: not writable, and (as root) another group.
    void prepareOldFile() {
        writeRaw(path, oldContent, 0440);
        if (isRoot()) {
            ASSERT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), otherGroup), 0);
        }
    }

    // The operations of one complete, successful replace.
    std::vector<Op> cleanRun() {
        prepareOldFile();
        fault::setFaultPlan(std::nullopt);
        fio::Status status = fio::replaceFile(path, newContent);
        EXPECT_FALSE(status) << status->step << ": " << status->reason();
        EXPECT_EQ(fault::operationCount(), static_cast<int>(fault::operations().size()));
        return fault::operations();
    }

    TempDir dir;
    const std::string path = dir / TargetName;
    const std::string oldContent = sampleContent(44048, 'o');
    const std::string newContent = sampleContent(44100, 'n');
    const gid_t otherGroup = 4343;
};

TEST_F(FileIoFaultInjection, DataReachesTheDeviceBeforeTheRename) {
    const std::vector<Op> ops = cleanRun();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.front(), Op::Create);
    EXPECT_EQ(ops.back(), Op::Sync);
    const std::ptrdiff_t flush = indexOf(ops, Op::Flush);
    const std::ptrdiff_t close = indexOf(ops, Op::Close);
    const std::ptrdiff_t rename = indexOf(ops, Op::Rename);
    const std::ptrdiff_t chmod = indexOf(ops, Op::Chmod);
    ASSERT_GE(flush, 0);
    ASSERT_GE(rename, 0);
    ASSERT_GE(chmod, 0);
    EXPECT_LT(chmod, flush) << "permissions should be synced with the data";
    EXPECT_LT(flush, close);
    EXPECT_LT(close, rename);
    EXPECT_EQ(indexOf(ops, Op::Remove), -1) << "a clean run has nothing to remove";
    if (isRoot()) {
        EXPECT_GE(indexOf(ops, Op::Chown), 0) << "the old group was not restored";
    }
}

TEST_F(FileIoFaultInjection, EveryFailingStepLeavesTheOldFileAlone) {
    const std::vector<Op> ops = cleanRun();
    ASSERT_FALSE(ops.empty());
    const std::vector<Failure> errors = {
        {EIO, "Input/output error", "", 57},
        {ENOSPC, "No space left on device", "", 61},
    };
    struct stat oldStat {};
    for (const Failure& error : errors) {
        for (int n = 1; n <= static_cast<int>(ops.size()); ++n) {
            const Op op = ops[static_cast<std::size_t>(n) - 1];
            SCOPED_TRACE("operation " + std::to_string(n) + " (" + tavrel::test::expectedStep(op) +
                         ") failing with " + error.reason);
            prepareOldFile();
            ASSERT_EQ(::stat(path.c_str(), &oldStat), 0);
            const int descriptors = openDescriptorCount();

            fault::setFaultPlan(fault::FaultPlan{n, error.code});
            fio::Status status = fio::replaceFile(path, newContent);
            fault::setFaultPlan(std::nullopt);

            EXPECT_EQ(openDescriptorCount(), descriptors) << "a descriptor was leaked";
            if (op == Op::Sync) {
                // After the rename the new content is in place; the report must say so
                // rather than claim nothing changed.
                ASSERT_TRUE(status);
                EXPECT_EQ(status->code, error.code);
                EXPECT_EQ(status->step, fio::StepSyncFolder);
                EXPECT_EQ(readRaw(path), newContent);
                EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{TargetName});
                continue;
            }
            const std::string step = tavrel::test::expectedStep(op);
            Failure want = error;
            want.step = step.c_str();
            EXPECT_EQ(
                failedReplaceProblems(status, want, path, oldContent, dir.path(), {TargetName}),
                "");
            struct stat now {};
            ASSERT_EQ(::stat(path.c_str(), &now), 0);
            EXPECT_EQ(now.st_ino, oldStat.st_ino) << "the file was replaced";
            EXPECT_EQ(now.st_mode, oldStat.st_mode);
            EXPECT_EQ(now.st_gid, oldStat.st_gid);
        }
    }
}

TEST_F(FileIoFaultInjection, AFolderThatCannotBeSyncedIsNoFailure) {
    const std::vector<Op> ops = cleanRun();
    const int syncAt = static_cast<int>(indexOf(ops, Op::Sync)) + 1;
    ASSERT_GT(syncAt, 0);
    for (int error : {EINVAL, ENOTSUP, EROFS, EACCES}) {
        SCOPED_TRACE(std::strerror(error));
        prepareOldFile();
        fault::setFaultPlan(fault::FaultPlan{syncAt, error});
        fio::Status status = fio::replaceFile(path, newContent);
        EXPECT_FALSE(status) << status->step << ": " << status->reason();
        EXPECT_EQ(readRaw(path), newContent);
    }
}

TEST_F(FileIoFaultInjection, ANameClashTriesAnotherName) {
    prepareOldFile();
    fault::setFaultPlan(fault::FaultPlan{1, EEXIST});
    fio::Status status = fio::replaceFile(path, newContent);
    ASSERT_FALSE(status) << status->step << ": " << status->reason();
    const std::vector<Op> ops = fault::operations();
    ASSERT_GE(ops.size(), 2u);
    EXPECT_EQ(ops[0], Op::Create);
    EXPECT_EQ(ops[1], Op::Create);
    EXPECT_EQ(readRaw(path), newContent);
    EXPECT_EQ(listFolder(dir.path()), std::vector<std::string>{TargetName});
}

TEST_F(FileIoFaultInjection, APlanBeyondTheLastOperationChangesNothing) {
    const std::vector<Op> ops = cleanRun();
    prepareOldFile();
    fault::setFaultPlan(fault::FaultPlan{static_cast<int>(ops.size()) + 1, EIO});
    EXPECT_FALSE(fio::replaceFile(path, newContent));
    EXPECT_EQ(fault::operations(), ops);
    EXPECT_EQ(readRaw(path), newContent);
}

TEST_F(FileIoFaultInjection, SetAttributesNormalReportsAFailedChmod) {
    prepareOldFile();
    fault::setFaultPlan(fault::FaultPlan{1, EROFS});
    fio::Status status = fio::setAttributesNormal(path);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, EROFS);
    EXPECT_EQ(status->step, "chmod");
    EXPECT_EQ(status->number(), 75);
    EXPECT_EQ(modeOf(path), 0440u);
}

} // namespace
