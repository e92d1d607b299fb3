// POSIX only: permissions, owners, links, mounts, limits and the real syncs. What the
// Windows branch must do is in fileio_windows_test.cpp.
#ifndef _WIN32
#include "core/fileio.h"

#include <gtest/gtest.h>

#include "core/test_support.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
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

namespace tavrel::test {
// Every data sync the program really makes: the file's name and size at that moment, and
// the size of the watched target then. Filled by the fsync below while `syncLog` is set.
struct SyncRecord {
    std::string path;
    off_t size;
    off_t targetSize;
};
std::vector<SyncRecord>* syncLog = nullptr;
std::string syncTarget;
} // namespace tavrel::test

namespace {
int recordSync(int fd) {
    using namespace tavrel::test;
    if (syncLog) {
        char link[4096] = {};
        const std::string proc = "/proc/self/fd/" + std::to_string(fd);
        const ssize_t n = ::readlink(proc.c_str(), link, sizeof link - 1);
        struct stat st {
        }, target{};
        ::fstat(fd, &st);
        ::stat(syncTarget.c_str(), &target);
        syncLog->push_back({n > 0 ? std::string(link, static_cast<std::size_t>(n)) : "?",
                            S_ISDIR(st.st_mode) ? -1 : st.st_size, target.st_size});
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}
} // namespace

// The file layer's calls to the system land here rather than in the C library, so a test
// sees the syncs that really happen, not the ones the fault seam counts.
extern "C" int fsync(int fd) {
    return recordSync(fd);
}
extern "C" int fdatasync(int fd) {
    return recordSync(fd);
}

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
                                  const Names& listing) {
    if (!status)
        return "replaceFile reported success\n";
    std::ostringstream problems;
    if (status->code != want.code || status->reason() != want.reason || status->step != want.step ||
        status->number() != want.number || status->path != path)
        problems << "got " << status->code << " \"" << status->reason() << "\" at \""
                 << status->step << "\", number " << status->number() << "; expected " << want.code
                 << " at \"" << want.step << "\", number " << want.number << "\n";
    if (readBytes(path) != oldContent)
        problems << "old file changed\n";
    if (listFolder(std::filesystem::path(path).parent_path().string()) != listing)
        problems << "folder listing changed\n";
    return problems.str();
}

// Runs `body` in a forked child, for tests that change process-wide state (mounts,
// limits). The child prints its problems; "skip: ..." means the method is not available.
// Returns 0 when the child found none, 77 on a skip.
int runInChild(const std::function<std::string()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const std::string problems = body();
        std::cerr << problems << std::flush;
        ::_exit(problems.rfind("skip:", 0) == 0 ? 77 : problems.empty() ? 0 : 1);
    }
    int status = 0;
    while (pid > 0 && ::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// In a child: a private mount namespace, so mounts vanish with the child.
bool enterPrivateMountNamespace() {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool isRoot() {
    return ::geteuid() == 0;
}

// ---------------------------------------------------------------------------------------
// Reading and finding

TEST(FileIoBasics, FileExistsOnlyForRegularFilesFollowingLinks) {
    test::TempDir dir;
    test::writeBytes(dir.file("file"), "x");
    test::makeFolders(dir.file("folder"));
    for (const char* link : {"file", "folder", "nowhere"})
        ASSERT_EQ(::symlink(link, dir.file(std::string("to-") + link).c_str()), 0);
    for (const auto& [name, exists] :
         std::vector<std::pair<std::string, bool>>{{"file", true},
                                                   {"to-file", true},
                                                   {"folder", false},
                                                   {"to-folder", false},
                                                   {"to-nowhere", false},
                                                   {"file/below", false}})
        EXPECT_EQ(fio::FileExists(dir.file(name)), exists) << name;
}

TEST(FileIoBasics, ReadFileReturnsExactBytesOrNamesTheProblem) {
    test::TempDir dir;
    for (const std::string& content :
         {std::string(), std::string("A\0B\r\n\x1a\xff", 7), sampleContent(300000, 'l')}) {
        test::writeBytes(dir.file("data"), content);
        std::string out = "previous";
        EXPECT_FALSE(fio::readFile(dir.file("data"), out));
        EXPECT_EQ(out, content);
    }
    test::makeFolders(dir.file("folder"));
    for (const auto& [name, code, number] : std::vector<std::tuple<const char*, int, int>>{
             {"missing", ENOENT, 53}, {"folder", EISDIR, 75}, {"data/below", ENOTDIR, 76}}) {
        std::string untouched = "untouched";
        const fio::Status status = fio::readFile(dir.file(name), untouched);
        ASSERT_TRUE(status) << name;
        EXPECT_EQ(status->code, code) << name;
        EXPECT_EQ(status->step, "open") << name;
        EXPECT_EQ(status->number(), number) << name;
        EXPECT_EQ(untouched, "untouched") << name;
    }
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
}

// ---------------------------------------------------------------------------------------
// replaceFile: what a successful replace leaves behind

TEST(FileIoReplace, KeepsPermissionsPlusOwnerWriteAndTheOwner) {
    test::TempDir dir;
    const std::string path = dir.file(TargetName);
    for (const auto& [before, after, oldSize, newSize] :
         std::vector<std::tuple<mode_t, mode_t, std::size_t, std::size_t>>{
             {0444, 0644, 44048, 44048},
             {0400, 0600, 10, 10},
             {0640, 0640, 44048, 0},
             {0755, 0755, 0, 44048},
             {0604, 0604, 5000, 4999}}) {
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
    // The link at game/CREATURE.TXT ('@': absolute), an optional second link data/middle,
    // and whether the file at the end exists.
    for (const auto& [linkText, secondLink, targetExists] :
         std::vector<std::tuple<std::string, std::string, bool>>{
             {"../data/real.txt", "", true},
             {"@/data/real.txt", "", true},
             {"../data/middle", "real.txt", true},
             {"../data/middle", "real.txt", false}}) {
        SCOPED_TRACE(linkText + " " + secondLink);
        test::TempDir dir;
        test::makeFolders(dir.file("game"));
        test::makeFolders(dir.file("data"));
        const std::string realFile = dir.file("data/real.txt");
        if (targetExists)
            writeFile(realFile, "old content", 0444);
        const std::string text =
            linkText.front() == '@' ? dir.path() + linkText.substr(1) : linkText;
        const std::string link = dir.file("game/CREATURE.TXT");
        ASSERT_EQ(::symlink(text.c_str(), link.c_str()), 0);
        if (!secondLink.empty()) {
            ASSERT_EQ(::symlink(secondLink.c_str(), dir.file("data/middle").c_str()), 0);
        }

        ASSERT_FALSE(fio::replaceFile(link, NewContent));
        EXPECT_EQ(std::filesystem::read_symlink(link).string(), text);
        EXPECT_EQ(readBytes(realFile), NewContent);
        if (targetExists) {
            EXPECT_EQ(modeOf(realFile), 0644u);
        }
        // The temporary file belonged beside the real file, and is gone.
        EXPECT_EQ(listFolder(dir.file("game")), Names{"CREATURE.TXT"});
        EXPECT_EQ(listFolder(dir.file("data")),
                  (secondLink.empty() ? Names{"real.txt"} : Names{"middle", "real.txt"}));
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
        const fio::Status status = fio::replaceFile(dir.file(name), "new");
        ASSERT_TRUE(status) << name;
        EXPECT_EQ(status->code, want.code) << name;
        EXPECT_EQ(status->step, want.step) << name;
        EXPECT_EQ(status->number(), want.number) << name;
        EXPECT_EQ(readBytes(dir.file("afile")), "plain");
        EXPECT_EQ(listFolder(dir.path()), (Names{"afile", "folder"}));
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
// replaceFile: real failures of the system, each set up in a child (root for mounts).
// Each leaves the old file byte-identical, no temporary file and no open descriptor.

TEST(FileIoFailure, RealFailuresLeaveTheOldFileAlone) {
    struct Case {
        const char* what;
        bool needsRoot;
        // In the child, before the replace; returns false when it cannot be set up.
        std::function<bool(test::TempDir&, const std::string&)> setUp;
        Failure want;
    };
    const auto bindReadOnly = [](test::TempDir& dir, const std::string&) {
        return ::mount(dir.path().c_str(), dir.path().c_str(), nullptr, MS_BIND, nullptr) == 0 &&
               ::mount(nullptr, dir.path().c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                       nullptr) == 0;
    };
    const auto coverWithMount = [](test::TempDir&, const std::string& path) {
        return ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) == 0;
    };
    const auto limitFileSize = [](test::TempDir&, const std::string&) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    };
    const std::vector<Case> cases = {
        {"read-only file system",
         true,
         bindReadOnly,
         {EROFS, "Read-only file system", "create", 75}},
        {"mount point", true, coverWithMount, {EBUSY, "Device or resource busy", "rename", 75}},
        {"file size limit", false, limitFileSize, {EFBIG, "File too large", "write", 61}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && !isRoot()) {
            std::cout << "[  SKIPPED ] " << c.what << ": needs root\n";
            continue;
        }
        test::TempDir dir;
        const std::string path = dir.file(TargetName);
        writeFile(path, OldContent, 0644);
        const int code = runInChild([&]() -> std::string {
            if ((c.needsRoot && !enterPrivateMountNamespace()) || !c.setUp(dir, path))
                return "skip: " + std::string(std::strerror(errno));
            const int descriptors = openDescriptorCount();
            fault::setFaultPlan(std::nullopt);
            std::string found = failedReplaceProblems(fio::replaceFile(path, NewContent), c.want,
                                                      path, OldContent, {TargetName});
            if (openDescriptorCount() != descriptors)
                found += "a descriptor was leaked\n";
            // Clearing the read-only flag reports the file system too, writable file or not.
            for (mode_t mode : {0444, 0644})
                if (c.want.code == EROFS &&
                    (::chmod(path.c_str(), mode), fio::setAttributesNormal(path)->code != EROFS))
                    found += "setAttributesNormal did not report EROFS\n";
            // A short write is carried on until the system gives a reason.
            const std::vector<Op> ops = fault::operations();
            if (c.want.code != EFBIG)
                return found;
            if (std::count(ops.begin(), ops.end(), Op::Write) < 2 || ops.back() != Op::Remove)
                found += "the short write was not followed by another, or no clean-up\n";
            // The clean-up failing too: the first error is still the one reported, and
            // only the hidden temporary file can be left.
            fault::setFaultPlan(fault::FaultPlan{static_cast<int>(ops.size()), EIO});
            const fio::Status again = fio::replaceFile(path, NewContent);
            const Names left = listFolder(dir.path());
            if (!again || again->code != EFBIG || readBytes(path) != OldContent ||
                left.size() != 2 || left[0].rfind(".CREATURE.TXT.tavrel-", 0) != 0)
                found += "a failed clean-up hid the first error or touched the file\n";
            return found;
        });
        EXPECT_TRUE(code == 0 || code == 77) << "see the child's problems above";
        // Outside the child the file was never covered, and must be unchanged.
        EXPECT_EQ(readBytes(path), OldContent);
    }
}

// ---------------------------------------------------------------------------------------
// replaceFile: the order of the real syncs, and every single operation failing in turn

class FileIoFaultInjection : public ::testing::Test {
protected:
    void TearDown() override {
        fault::setFaultPlan(std::nullopt);
        test::syncLog = nullptr;
    }

    // The old file as a user would have it: not writable, and (as root) another group.
    void prepareOldFile() {
        writeFile(path, OldContent, 0440);
        if (isRoot()) {
            ASSERT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), 4343), 0);
        }
    }

    test::TempDir dir;
    const std::string path = dir.file(TargetName);
};

// A power cut must leave either the old file or the whole new one: the new file's data
// reaches the device before the rename, and the folder entry after it.
TEST_F(FileIoFaultInjection, RealSyncsHappenAroundTheRename) {
    prepareOldFile();
    std::vector<test::SyncRecord> syncs;
    test::syncTarget = path;
    test::syncLog = &syncs;
    ASSERT_FALSE(fio::replaceFile(path, NewContent));
    test::syncLog = nullptr;
    ASSERT_EQ(syncs.size(), 2u);
    EXPECT_EQ(syncs[0].path.rfind(dir.file(".CREATURE.TXT.tavrel-"), 0), 0u) << syncs[0].path;
    EXPECT_EQ(syncs[0].size, static_cast<off_t>(NewContent.size()));
    EXPECT_EQ(syncs[0].targetSize, static_cast<off_t>(OldContent.size())) << "synced too late";
    EXPECT_EQ(syncs[1].path, dir.path());
    EXPECT_EQ(syncs[1].size, -1) << "the folder was not synced";
    EXPECT_EQ(syncs[1].targetSize, static_cast<off_t>(NewContent.size()));
}

TEST_F(FileIoFaultInjection, EveryFailingStepLeavesTheOldFileAlone) {
    for (bool replacing : {true, false}) {
        SCOPED_TRACE(replacing ? "replacing" : "new file");
        const auto prepare = [&] {
            std::filesystem::remove(path);
            if (replacing)
                prepareOldFile();
        };
        prepare();
        fault::setFaultPlan(std::nullopt);
        ASSERT_FALSE(fio::replaceFile(path, NewContent));
        const std::vector<Op> clean = fault::operations();
        ASSERT_EQ(clean.back(), Op::Sync);
        for (int n = 1; n <= static_cast<int>(clean.size()); ++n) {
            const Op op = clean[static_cast<std::size_t>(n) - 1];
            const std::string step = test::expectedStep(op);
            SCOPED_TRACE("operation " + std::to_string(n) + " (" + step + ") failing");
            prepare();
            // The old file is never deleted, so while it stays in place its inode stays ours.
            struct stat before {};
            ASSERT_EQ(::stat(path.c_str(), &before), replacing ? 0 : -1);
            const int descriptors = openDescriptorCount();
            fault::setFaultPlan(fault::FaultPlan{n, EIO});
            const fio::Status status = fio::replaceFile(path, NewContent);
            fault::setFaultPlan(std::nullopt);
            EXPECT_EQ(openDescriptorCount(), descriptors) << "a descriptor was leaked";
            ASSERT_TRUE(status);
            EXPECT_EQ(status->code, EIO);
            EXPECT_EQ(status->step, step);
            if (op == Op::Sync) { // past the rename the new content is in place
                EXPECT_EQ(readBytes(path), NewContent);
                continue;
            }
            if (!replacing) {
                EXPECT_EQ(listFolder(dir.path()), Names{});
                continue;
            }
            EXPECT_EQ(failedReplaceProblems(status, {EIO, "Input/output error", step, 57}, path,
                                            OldContent, {TargetName}),
                      "");
            struct stat now {};
            ASSERT_EQ(::stat(path.c_str(), &now), 0);
            EXPECT_EQ(now.st_ino, before.st_ino) << "the file was replaced";
            EXPECT_EQ(now.st_mode, before.st_mode);
            EXPECT_EQ(now.st_gid, before.st_gid);
        }
        // A folder that merely cannot be synced is no failure; a name clash tries another.
        for (const auto& [at, error] :
             std::vector<std::pair<int, int>>{{static_cast<int>(clean.size()), EINVAL},
                                              {static_cast<int>(clean.size()), ENOTSUP},
                                              {static_cast<int>(clean.size()), EROFS},
                                              {static_cast<int>(clean.size()), EACCES},
                                              {1, EEXIST}}) {
            prepare();
            fault::setFaultPlan(fault::FaultPlan{at, error});
            EXPECT_FALSE(fio::replaceFile(path, NewContent)) << std::strerror(error);
            EXPECT_EQ(readBytes(path), NewContent);
            EXPECT_EQ(listFolder(dir.path()), Names{TargetName});
        }
    }
}

} // namespace
} // namespace tavrel
#endif
