#include "core/fileio.h"

#include <gtest/gtest.h>

#include "core/test_support.h"

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
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace tavrel {
namespace {

namespace fio = fileio;
namespace fault = fileio::testing;
using fault::Op;
using test::listFolder;
using test::modeOf;
using test::readBytes;
using test::writeFile;
using Names = std::vector<std::string>;

// Game-file-like text: numbered CRLF lines, cut to exactly `size` bytes.
std::string sampleContent(std::size_t size, char tag) {
    std::string text;
    for (int line = 0; text.size() < size; ++line)
        text += tag + (" Line " + std::to_string(line) + " = 12 34 56\r\n");
    text.resize(size);
    return text;
}

const std::string TargetName = "CREATURE.TXT";
const std::string OldContent = sampleContent(44048, 'o');
const std::string NewContent = sampleContent(44100, 'n');

int openDescriptorCount() {
    return static_cast<int>(listFolder("/proc/self/fd").size());
}

struct Failure {
    int code;
    const char* reason;
    std::string step;
    int number;
};

// Everything that must hold after a failed replace, as text (empty when all holds): the
// error, the old file byte-identical, and the folder holding exactly `listing`.
std::string failedReplaceProblems(const fio::Status& status, const Failure& want,
                                  const std::string& path, const std::string& oldContent,
                                  const std::string& folder, const Names& listing) {
    std::ostringstream problems;
    if (!status)
        return "replaceFile reported success\n";
    if (status->code != want.code || status->reason() != want.reason || status->step != want.step ||
        status->number() != want.number || status->path != path)
        problems << "got " << status->code << " \"" << status->reason() << "\" at \""
                 << status->step << "\", number " << status->number() << ", on " << status->path
                 << "; expected " << want.code << " \"" << want.reason << "\" at \"" << want.step
                 << "\", number " << want.number << "\n";
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec) && readBytes(path) != oldContent)
        problems << "old file changed\n";
    if (listFolder(folder) != listing)
        problems << "folder listing changed (" << listFolder(folder).size() << " entries)\n";
    return problems.str();
}

// Runs `body` in a forked child, for tests that change process-wide state (mounts,
// limits). The child prints its problems to stderr; ChildSkip means the method is not
// available here.
constexpr int ChildSkip = 77;

int runInChild(const std::function<std::string()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::string problems;
        try {
            problems = body();
        } catch (const std::exception& e) {
            problems = std::string("exception: ") + e.what();
        }
        if (problems.rfind("skip:", 0) == 0)
            ::_exit(ChildSkip);
        std::cerr << problems << std::flush;
        ::_exit(problems.empty() ? 0 : 1);
    }
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#define EXPECT_CHILD_PASSED(...)                                                                   \
    do {                                                                                           \
        const int code = runInChild(__VA_ARGS__);                                                  \
        if (code == ChildSkip)                                                                     \
            GTEST_SKIP() << "the child could not set up the failure";                              \
        EXPECT_EQ(code, 0) << "see the child's problems above";                                    \
    } while (false)

// In a child: a private mount namespace, so mounts vanish with the child.
bool enterPrivateMountNamespace() {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool isRoot() {
    return ::geteuid() == 0;
}

// ---------------------------------------------------------------------------------------
// Reading, finding and joining

TEST(FileIoBasics, FileExistsOnlyForRegularFilesFollowingLinks) {
    test::TempDir dir;
    test::writeBytes(dir.file("file"), "x");
    test::makeFolders(dir.file("folder"));
    ASSERT_EQ(::symlink("file", dir.file("link-to-file").c_str()), 0);
    ASSERT_EQ(::symlink("folder", dir.file("link-to-folder").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", dir.file("dangling").c_str()), 0);
    for (const auto& [name, exists] :
         std::vector<std::pair<std::string, bool>>{{"file", true},
                                                   {"link-to-file", true},
                                                   {"folder", false},
                                                   {"link-to-folder", false},
                                                   {"dangling", false},
                                                   {"file/below", false}})
        EXPECT_EQ(fio::FileExists(dir.file(name)), exists) << name;
}

TEST(FileIoBasics, ReadFileReturnsExactBytesOrNamesTheProblem) {
    test::TempDir dir;
    const std::string binary("A\0B\r\n\x1a\xff", 7);
    for (const std::string& content : {std::string(), binary, sampleContent(300000, 'l')}) {
        test::writeBytes(dir.file("data"), content);
        std::string out = "previous";
        EXPECT_FALSE(fio::readFile(dir.file("data"), out));
        EXPECT_EQ(out, content);
    }
    ASSERT_EQ(::symlink("data", dir.file("link").c_str()), 0);
    std::string out;
    EXPECT_FALSE(fio::readFile(dir.file("link"), out));
    EXPECT_EQ(out.size(), 300000u);

    test::makeFolders(dir.file("folder"));
    struct Case {
        const char* name;
        int code, number;
    };
    for (const Case& c : {Case{"missing", ENOENT, 53}, Case{"folder", EISDIR, 75},
                          Case{"data/below", ENOTDIR, 76}}) {
        std::string untouched = "untouched";
        const fio::Status status = fio::readFile(dir.file(c.name), untouched);
        ASSERT_TRUE(status) << c.name;
        EXPECT_EQ(status->code, c.code) << c.name;
        EXPECT_EQ(status->step, "open") << c.name;
        EXPECT_EQ(status->number(), c.number) << c.name;
        EXPECT_EQ(status->path, dir.file(c.name));
        EXPECT_EQ(untouched, "untouched") << c.name;
    }
}

TEST(FileIoBasics, JoinPathAddsOneSeparator) {
    EXPECT_EQ(fio::joinPath("/games/DK", "DATA"), "/games/DK/DATA");
    EXPECT_EQ(fio::joinPath("/games/DK/", "DATA"), "/games/DK/DATA");
}

TEST(FileIoBasics, FindEntryPrefersTheExactSpellingAndFoldsAsciiOnly) {
    test::TempDir dir;
    // Several spellings, so that an order-dependent choice is unlikely to pick the smallest.
    for (const char* name : {"data", "dATA", "Data", "DaTa", "daTA", "dAta"})
        test::makeFolders(dir.file(name));
    test::writeBytes(dir.file("\xc3\x89T\xc3\x89"), "x"); // "ÉTÉ" in UTF-8
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"Data", "Data"},
        {"data", "data"},
        {"dAtA", "DaTa"}, // no exact match: the smallest, not the listing order's choice
        {"\xc3\x89t\xc3\x89", "\xc3\x89T\xc3\x89"},
        {"\xc3\xa9t\xc3\xa9", std::nullopt}, // "été": not an ASCII fold
        {"DAT", std::nullopt},
        {"", std::nullopt},
        {"..", std::nullopt},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(fio::findEntry(dir.path(), name), expected) << name;
    EXPECT_EQ(fio::findEntry(dir.file("missing"), "DATA"), std::nullopt);
    EXPECT_EQ(fio::findEntry(dir.file("\xc3\x89T\xc3\x89"), "DATA"), std::nullopt);
}

// ---------------------------------------------------------------------------------------
// replaceFile: what a successful replace leaves behind

TEST(FileIoReplace, KeepsPermissionsPlusOwnerWriteAndTheOwner) {
    test::TempDir dir;
    const std::string path = dir.file(TargetName);
    struct Case {
        mode_t before, after;
        std::size_t oldSize, newSize;
    };
    for (const Case& c :
         {Case{0444, 0644, 44048, 44048}, Case{0400, 0600, 10, 10}, Case{0640, 0640, 44048, 0},
          Case{0755, 0755, 0, 44048}, Case{0604, 0604, 5000, 4999}}) {
        const auto [before, after, oldSize, newSize] = c;
        writeFile(path, sampleContent(oldSize, 'o'), before);
        const std::string content = sampleContent(newSize, 'n');
        ASSERT_FALSE(fio::replaceFile(path, content)) << std::oct << before;
        EXPECT_EQ(readBytes(path), content) << std::oct << before;
        EXPECT_EQ(modeOf(path), after) << std::oct << before;
        EXPECT_EQ(listFolder(dir.path()), Names{TargetName});
    }
    if (!isRoot())
        return; // giving a file to another owner needs root
    ASSERT_EQ(::chown(path.c_str(), 4242, 4343), 0) << std::strerror(errno);
    ASSERT_FALSE(fio::replaceFile(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4242u);
    EXPECT_EQ(st.st_gid, 4343u);
}

TEST(FileIoReplace, WritesThroughSymbolicLinksWhichStayLinks) {
    struct Case {
        const char* what;
        std::string linkText;   // what the link at game/CREATURE.TXT holds ('@': absolute)
        std::string secondLink; // if set, data/middle is a link holding this
        bool targetExists;
    };
    for (const Case& c : {Case{"relative link", "../data/real.txt", "", true},
                          Case{"absolute link", "@/data/real.txt", "", true},
                          Case{"chain of two links", "../data/middle", "real.txt", true},
                          Case{"dangling chain", "../data/middle", "real.txt", false}}) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        test::makeFolders(dir.file("game"));
        test::makeFolders(dir.file("data"));
        const std::string realFile = dir.file("data/real.txt");
        if (c.targetExists)
            writeFile(realFile, "old content", 0444);
        const std::string linkText =
            c.linkText.front() == '@' ? dir.path() + c.linkText.substr(1) : c.linkText;
        const std::string link = dir.file("game/CREATURE.TXT");
        ASSERT_EQ(::symlink(linkText.c_str(), link.c_str()), 0);
        if (!c.secondLink.empty()) {
            ASSERT_EQ(::symlink(c.secondLink.c_str(), dir.file("data/middle").c_str()), 0);
        }

        const fio::Status status = fio::replaceFile(link, NewContent);
        ASSERT_FALSE(status) << status->step << ": " << status->reason();
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), linkText);
        EXPECT_EQ(readBytes(realFile), NewContent);
        if (c.targetExists) {
            EXPECT_EQ(modeOf(realFile), 0644u);
        }
        // The temporary file belonged beside the real file, and is gone.
        EXPECT_EQ(listFolder(dir.file("game")), Names{"CREATURE.TXT"});
        EXPECT_EQ(listFolder(dir.file("data")),
                  (c.secondLink.empty() ? Names{"real.txt"} : Names{"middle", "real.txt"}));
    }
}

TEST(FileIoReplace, NewFilesBareNamesAndNamesAtTheLengthLimit) {
    test::TempDir dir;
    const mode_t previous = ::umask(027); // a new file is created as open() would
    const fio::Status created = fio::replaceFile(dir.file("new.txt"), NewContent);
    ::umask(previous);
    ASSERT_FALSE(created) << created->step << ": " << created->reason();
    EXPECT_EQ(readBytes(dir.file("new.txt")), NewContent);
    EXPECT_EQ(modeOf(dir.file("new.txt")), 0640u);

    const std::string longName = std::string(251, 'c') + ".TXT"; // 255 bytes
    writeFile(dir.file(longName), "old", 0644);
    ASSERT_FALSE(fio::replaceFile(dir.file(longName), "new"));
    EXPECT_EQ(readBytes(dir.file(longName)), "new");

    const int oldCwd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    const fio::Status status = fio::replaceFile(TargetName, "bare");
    EXPECT_EQ(::fchdir(oldCwd), 0);
    ::close(oldCwd);
    ASSERT_FALSE(status) << status->step << ": " << status->reason();
    EXPECT_EQ(readBytes(dir.file(TargetName)), "bare");
    EXPECT_EQ(listFolder(dir.path()), (Names{TargetName, longName, "new.txt"}));
}

// Includes a file where a folder should be.
TEST(FileIoReplace, PathProblemsAreReportedAndCreateNothing) {
    test::TempDir dir;
    test::writeBytes(dir.file("afile"), "plain");
    test::makeFolders(dir.file("folder"));
    const std::vector<std::pair<std::string, Failure>> cases = {
        {"afile/CREATURE.TXT", {ENOTDIR, "Not a directory", "create", 76}},
        {"missing/CREATURE.TXT", {ENOENT, "No such file or directory", "create", 76}},
        {"folder", {EISDIR, "Is a directory", "create", 75}},
        {std::string(300, 'n'), {ENAMETOOLONG, "File name too long", "stat", 52}},
    };
    for (const auto& [name, want] : cases) {
        EXPECT_EQ(failedReplaceProblems(fio::replaceFile(dir.file(name), "new"), want,
                                        dir.file(name), "plain", dir.path(), {"afile", "folder"}),
                  "")
            << name;
        EXPECT_EQ(readBytes(dir.file("afile")), "plain");
        EXPECT_TRUE(listFolder(dir.file("folder")).empty());
    }
}

TEST(FileIoReplace, SetAttributesNormalGivesTheOwnerWrite) {
    test::TempDir dir;
    for (const auto& [before, after] :
         std::vector<std::pair<mode_t, mode_t>>{{0444, 0644}, {0400, 0600}, {0555, 0755}}) {
        writeFile(dir.file("f"), "x", before);
        EXPECT_FALSE(fio::setAttributesNormal(dir.file("f"))) << std::oct << before;
        EXPECT_EQ(modeOf(dir.file("f")), after) << std::oct << before;
    }
    const fio::Status status = fio::setAttributesNormal(dir.file("missing"));
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, ENOENT);
}

// ---------------------------------------------------------------------------------------
// replaceFile: real failures of the system. Each leaves the old file byte-identical and
// no temporary file behind.

TEST(FileIoFailure, DiskFullLeavesTheOldFileAlone) {
    if (!isRoot())
        GTEST_SKIP() << "mounting a small file system needs root";
    test::TempDir dir;
    EXPECT_CHILD_PASSED([&]() -> std::string {
        if (!enterPrivateMountNamespace() ||
            ::mount("tavrel-test", dir.path().c_str(), "tmpfs", 0, "size=64k,mode=0755") != 0)
            return "skip: tmpfs";
        const std::string path = dir.file(TargetName);
        const std::string oldContent = sampleContent(3000, 'o');
        writeFile(path, oldContent, 0644);
        // Fill the file system, then give back just a little: less than the new content.
        const int fd = ::open(dir.file("filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        const std::string block(4096, 'f');
        off_t filled = 0;
        for (ssize_t n; (n = ::write(fd, block.data(), block.size())) > 0;)
            filled += n;
        if (filled < 8192 || ::ftruncate(fd, filled - 8192) != 0 || ::close(fd) != 0)
            return "could not shape the free space";

        struct statvfs before {};
        ::statvfs(dir.path().c_str(), &before);
        const int descriptors = openDescriptorCount();
        std::string problems = failedReplaceProblems(
            fio::replaceFile(path, NewContent), {ENOSPC, "No space left on device", "write", 61},
            path, oldContent, dir.path(), {TargetName, "filler"});
        struct statvfs after {};
        ::statvfs(dir.path().c_str(), &after);
        if (after.f_bfree != before.f_bfree) // an unlinked but open file keeps its blocks
            problems += "free blocks changed\n";
        if (openDescriptorCount() != descriptors)
            problems += "a descriptor was leaked\n";
        return problems;
    });
}

TEST(FileIoFailure, ReadOnlyFileSystemRefusesReplaceAndAttributes) {
    if (!isRoot())
        GTEST_SKIP() << "remounting read-only needs root";
    test::TempDir dir;
    const std::string path = dir.file(TargetName);
    writeFile(path, OldContent, 0444);
    // Already writable: only chmod itself can tell that the file system is read-only.
    writeFile(dir.file("writable"), "x", 0644);
    EXPECT_CHILD_PASSED([&]() -> std::string {
        if (!enterPrivateMountNamespace() ||
            ::mount(dir.path().c_str(), dir.path().c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, dir.path().c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                    nullptr) != 0)
            return "skip: read-only bind mount";
        std::string problems = failedReplaceProblems(
            fio::replaceFile(path, NewContent), {EROFS, "Read-only file system", "create", 75},
            path, OldContent, dir.path(), {TargetName, "writable"});
        for (const std::string& file : {path, dir.file("writable")}) {
            const fio::Status status = fio::setAttributesNormal(file);
            if (!status || status->code != EROFS || status->step != "chmod" ||
                status->number() != 75)
                problems += file + ": setAttributesNormal did not report EROFS at chmod\n";
        }
        if (modeOf(path) != 0444)
            problems += "mode changed\n";
        return problems;
    });
}

TEST(FileIoFailure, RenameOverAMountPointFailsBusy) {
    if (!isRoot())
        GTEST_SKIP() << "bind mounts need root";
    test::TempDir dir;
    const std::string path = dir.file(TargetName);
    writeFile(path, OldContent, 0644);
    EXPECT_CHILD_PASSED([&]() -> std::string {
        if (!enterPrivateMountNamespace() ||
            ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return "skip: bind-mounting the file over itself";
        const int descriptors = openDescriptorCount();
        std::string problems = failedReplaceProblems(
            fio::replaceFile(path, NewContent), {EBUSY, "Device or resource busy", "rename", 75},
            path, OldContent, dir.path(), {TargetName});
        if (openDescriptorCount() != descriptors)
            problems += "a descriptor was leaked\n";
        return problems;
    });
    // Outside the child's namespace the file was never covered, and must be unchanged too.
    EXPECT_EQ(readBytes(path), OldContent);
    EXPECT_EQ(listFolder(dir.path()), Names{TargetName});
}

TEST(FileIoFailure, FileSizeLimitStopsTheWritePartway) {
    test::TempDir dir;
    const std::string path = dir.file(TargetName);
    writeFile(path, OldContent, 0644);
    EXPECT_CHILD_PASSED([&]() -> std::string {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return "skip: setrlimit";
        fault::setFaultPlan(std::nullopt);
        std::string problems = failedReplaceProblems(fio::replaceFile(path, NewContent),
                                                     {EFBIG, "File too large", "write", 61}, path,
                                                     OldContent, dir.path(), {TargetName});
        // The first write is cut short at the limit; only carrying on reaches the error.
        const std::vector<Op> ops = fault::operations();
        if (std::count(ops.begin(), ops.end(), Op::Write) < 2)
            problems += "the short write was not followed by another\n";
        return problems;
    });
    EXPECT_EQ(readBytes(path), OldContent);
}

// ---------------------------------------------------------------------------------------
// replaceFile: every single operation failing in turn. The whole-write walks in
// fault_walk_test.cpp check the messages; this one checks what only the file layer can
// see: descriptors, and the old file's inode, mode and group (a group differing from
// ours adds the chown step).

class FileIoFaultInjection : public ::testing::Test {
protected:
    void TearDown() override { fault::setFaultPlan(std::nullopt); }

    // The old file as a user would have it: not writable, and (as root) another group.
    void prepareOldFile() {
        writeFile(path, OldContent, 0440);
        if (isRoot()) {
            ASSERT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), 4343), 0);
        }
    }

    fio::Status replace(std::optional<fault::FaultPlan> plan) {
        prepareOldFile();
        fault::setFaultPlan(plan);
        const fio::Status status = fio::replaceFile(path, NewContent);
        return status;
    }

    std::ptrdiff_t indexOf(Op op) const {
        const auto found = std::find(clean.begin(), clean.end(), op);
        return found == clean.end() ? -1 : found - clean.begin();
    }

    test::TempDir dir;
    const std::string path = dir.file(TargetName);
    const std::vector<Op> clean = [this] {
        EXPECT_FALSE(replace(std::nullopt));
        return fault::operations();
    }();
};

TEST_F(FileIoFaultInjection, DataReachesTheDeviceBeforeTheRename) {
    ASSERT_FALSE(clean.empty());
    EXPECT_EQ(clean.front(), Op::Create);
    EXPECT_EQ(clean.back(), Op::Sync);
    ASSERT_GE(indexOf(Op::Chmod), 0);
    EXPECT_LT(indexOf(Op::Chmod), indexOf(Op::Flush)) << "permissions go with the data";
    EXPECT_LT(indexOf(Op::Flush), indexOf(Op::Close));
    EXPECT_LT(indexOf(Op::Close), indexOf(Op::Rename));
    EXPECT_EQ(indexOf(Op::Remove), -1) << "a clean run has nothing to remove";
    if (isRoot()) {
        EXPECT_GE(indexOf(Op::Chown), 0) << "the old group was not restored";
    }
}

TEST_F(FileIoFaultInjection, EveryFailingStepLeavesTheOldFileAlone) {
    for (int n = 1; n <= static_cast<int>(clean.size()); ++n) {
        const Op op = clean[static_cast<std::size_t>(n) - 1];
        const std::string step = test::expectedStep(op);
        SCOPED_TRACE("operation " + std::to_string(n) + " (" + step + ") failing");
        prepareOldFile();
        struct stat oldStat {};
        ASSERT_EQ(::stat(path.c_str(), &oldStat), 0);
        const int descriptors = openDescriptorCount();
        const fio::Status status = replace(fault::FaultPlan{n, EIO});
        EXPECT_EQ(openDescriptorCount(), descriptors) << "a descriptor was leaked";
        if (op == Op::Sync) {
            // Past the rename the new content is in place; the report must say so.
            ASSERT_TRUE(status);
            EXPECT_EQ(status->step, fio::StepSyncFolder);
            EXPECT_EQ(readBytes(path), NewContent);
            continue;
        }
        EXPECT_EQ(failedReplaceProblems(status, {EIO, "Input/output error", step, 57}, path,
                                        OldContent, dir.path(), {TargetName}),
                  "");
        struct stat now {};
        ASSERT_EQ(::stat(path.c_str(), &now), 0);
        EXPECT_EQ(now.st_ino, oldStat.st_ino) << "the file was replaced";
        EXPECT_EQ(now.st_mode, oldStat.st_mode);
        EXPECT_EQ(now.st_gid, oldStat.st_gid);
    }
    // A folder that merely cannot be synced is no failure.
    const int syncAt = static_cast<int>(indexOf(Op::Sync)) + 1;
    for (int error : {EINVAL, ENOTSUP, EROFS, EACCES}) {
        EXPECT_FALSE(replace(fault::FaultPlan{syncAt, error})) << std::strerror(error);
        EXPECT_EQ(readBytes(path), NewContent);
    }
}

TEST_F(FileIoFaultInjection, ANameClashTriesAnotherName) {
    const fio::Status status = replace(fault::FaultPlan{1, EEXIST});
    ASSERT_FALSE(status) << status->step << ": " << status->reason();
    const std::vector<Op> ops = fault::operations();
    ASSERT_GE(ops.size(), 2u);
    EXPECT_EQ(ops[1], Op::Create);
    EXPECT_EQ(readBytes(path), NewContent);
    EXPECT_EQ(listFolder(dir.path()), Names{TargetName});
}

} // namespace
} // namespace tavrel
