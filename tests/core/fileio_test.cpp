// POSIX only: permissions, owners, links, mounts, limits and the real syncs.
// What the Windows branch must do is in fileio_windows_test.cpp.
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
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace tavrel::test {
// Every data sync the program really makes, as "<synced path> <its size> <size of syncTarget>"
// (size -1 for a folder). Filled by the fsync below while `syncLog` is set.
std::vector<std::string>* syncLog = nullptr;
std::string syncTarget;
} // namespace tavrel::test

namespace {
int recordSync(int fd) {
    using namespace tavrel::test;
    if (syncLog) {
        struct stat st {
        }, target{};
        ::fstat(fd, &st);
        ::stat(syncTarget.c_str(), &target);
        syncLog->push_back(
            std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd)).string() + " " +
            std::to_string(S_ISDIR(st.st_mode) ? -1 : st.st_size) + " " +
            std::to_string(target.st_size));
    }
    return static_cast<int>(::syscall(SYS_fsync, fd));
}
} // namespace

// The file layer's calls to the system land here rather than in the C library, so a test sees the
// syncs that really happen, not the ones the fault seam counts.
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
using namespace test;
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

// Everything that must hold after a failed replace, as text (empty when all holds): the error, the
// old file byte-identical, no temporary file and no leaked descriptor.
std::string failedReplaceProblems(const std::string& path, int code, const std::string& step) {
    const int descriptors = openDescriptorCount();
    const fio::Status status = fio::replaceFile(path, NewContent);
    if (!status)
        return "replaceFile reported success\n";
    std::string problems;
    if (status->code != code || status->step != step || status->path != path)
        problems += "got " + std::to_string(status->code) + " at " + status->step + "\n";
    if (readBytes(path) != OldContent)
        problems += "old file changed\n";
    if (listFolder(std::filesystem::path(path).parent_path().string()) != Names{TargetName})
        problems += "folder listing changed\n";
    if (openDescriptorCount() != descriptors)
        problems += "a descriptor was leaked\n";
    return problems;
}

// Runs `body` in a forked child, for tests that change process-wide state (mounts, limits). The
// child prints its problems; "skip: ..." means the method is not available. Returns 0 when the
// child found none, 77 on a skip.
int runInChild(const std::function<std::string()>& body) {
    return exitStatusInChild([&] {
        const std::string problems = body();
        std::cerr << problems << std::flush;
        return problems.rfind("skip:", 0) == 0 ? 77 : problems.empty() ? 0 : 1;
    });
}

bool isRoot() {
    return ::geteuid() == 0;
}

// Reading and finding

TEST(FileIoBasics, FileExistsOnlyForRegularFilesFollowingLinks) {
    TempDir dir;
    writeBytes(dir.file("file"), "x");
    makeFolders(dir.file("folder"));
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

// Exact bytes when a file can be read; otherwise the problem, whichever way, touching nothing and
// creating nothing.
TEST(FileIoBasics, ReadsExactBytesOrReportsThePathProblem) {
    TempDir dir;
    for (const std::string& content :
         {std::string(), std::string("A\0B\r\n\x1a\xff", 7), sampleContent(300000, 'l')}) {
        writeBytes(dir.file("afile"), content);
        std::string out = "previous";
        EXPECT_FALSE(fio::readFile(dir.file("afile"), out));
        EXPECT_EQ(out, content);
    }
    writeBytes(dir.file("afile"), "plain");
    makeFolders(dir.file("folder"));
    // A pipe or a device stays what it is: a file renamed over it would not reach it.
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("pipe", dir.file("to-pipe").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/null", dir.file("to-null").c_str()), 0);
    if (!isRoot()) { // as root, a fault would put a file where the system's /dev/null is
        EXPECT_EQ(fio::replaceFile(dir.file("to-null"), "x").value_or(fio::IoError{}).why,
                  "Is a device, not a file");
    }
    for (const auto& [replacing, name, code, step, number] :
         std::vector<std::tuple<bool, std::string, int, std::string, int>>{
             {false, "missing", ENOENT, "open", 53},
             {false, "folder", EISDIR, "open", 75},
             {false, "afile/below", ENOTDIR, "open", 76},
             {true, "afile/CREATURE.TXT", ENOTDIR, "create", 76},
             {true, "missing/CREATURE.TXT", ENOENT, "create", 76},
             {true, "folder", EISDIR, "create", 75},
             {true, "pipe", EPERM, "create", 75},
             {true, "to-pipe", EPERM, "create", 75},
             {true, std::string(300, 'n'), ENAMETOOLONG, "stat", 52}}) {
        std::string untouched = "untouched";
        const fio::Status status = replacing ? fio::replaceFile(dir.file(name), "new")
                                             : fio::readFile(dir.file(name), untouched);
        ASSERT_TRUE(status) << name;
        EXPECT_EQ(std::tie(status->code, status->step), std::tie(code, step)) << name;
        EXPECT_EQ(status->number(), number) << name;
        EXPECT_EQ(untouched, "untouched") << name;
        EXPECT_EQ(readBytes(dir.file("afile")), "plain");
        EXPECT_EQ(listFolder(dir.path()), (Names{"afile", "folder", "pipe", "to-null", "to-pipe"}));
        EXPECT_TRUE(listFolder(dir.file("folder")).empty());
    }
}

TEST(FileIoBasics, FindEntryPrefersTheExactSpellingAndFoldsAsciiOnly) {
    TempDir dir;
    // Several spellings, so that an order-dependent choice is unlikely to pick the smallest.
    for (const char* name : {"data", "dATA", "Data", "DaTa", "daTA", "dAta"})
        makeFolders(dir.file(name));
    writeBytes(dir.file("\xc3\x89T\xc3\x89"), "x"); // "ÉTÉ" in UTF-8
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"Data", "Data"},
        {"data", "data"},
        {"dAtA", "DaTa"}, // no exact match: the smallest, not the listing
                          // order's choice
        {"\xc3\x89t\xc3\x89", "\xc3\x89T\xc3\x89"},
        {"\xc3\xa9t\xc3\xa9", std::nullopt}, // "été": not an ASCII fold
        {"DAT", std::nullopt},
        {"", std::nullopt},
        {"..", std::nullopt}};
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(fio::findEntry(dir.path(), name), expected) << name;
    EXPECT_EQ(fio::findEntry(dir.file("missing"), "DATA"), std::nullopt);
}

// replaceFile: what a successful replace leaves behind

TEST(FileIoReplace, KeepsPermissionsPlusOwnerWriteAndTheOwner) {
    TempDir dir;
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
        // Clearing the read-only flag does the same, and only that.
        writeFile(path, "x", before);
        EXPECT_FALSE(fio::setAttributesNormal(path));
        EXPECT_EQ(modeOf(path), after) << std::oct << before;
    }
    EXPECT_EQ(fio::setAttributesNormal(dir.file("missing"))->code, ENOENT);
    if (!isRoot())
        return; // giving a file to another owner needs root
    ASSERT_EQ(::chown(path.c_str(), 4242, 4343), 0) << std::strerror(errno);
    ASSERT_FALSE(fio::replaceFile(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(std::tie(st.st_uid, st.st_gid), std::make_tuple(4242u, 4343u));
}

TEST(FileIoReplace, WritesThroughSymbolicLinksWhichStayLinks) {
    // The link at game/CREATURE.TXT ('@': absolute), an optional second link data/middle, and
    // whether the file at the end exists.
    for (const auto& [linkText, secondLink, targetExists] :
         std::vector<std::tuple<std::string, std::string, bool>>{
             {"../data/real.txt", "", true},
             {"@/data/real.txt", "", true},
             {"../data/middle", "real.txt", true},
             {"../data/middle", "real.txt", false}}) {
        SCOPED_TRACE(linkText + " " + secondLink);
        TempDir dir;
        makeFolders(dir.file("game"));
        makeFolders(dir.file("data"));
        const std::string realFile = dir.file("data/real.txt");
        if (targetExists)
            writeFile(realFile, "old content", 0444);
        const std::string text = linkText[0] == '@' ? dir.path() + linkText.substr(1) : linkText;
        const std::string link = dir.file("game/CREATURE.TXT");
        ASSERT_EQ(::symlink(text.c_str(), link.c_str()), 0);
        ASSERT_TRUE(secondLink.empty() ||
                    ::symlink(secondLink.c_str(), dir.file("data/middle").c_str()) == 0);

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
    TempDir dir;
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

// replaceFile: real failures of the system, each set up in a child (root for mounts).

TEST(FileIoFailure, RealFailuresLeaveTheOldFileAlone) {
    for (const auto& [what, code, step] : std::vector<std::tuple<std::string, int, std::string>>{
             {"read-only file system", EROFS, "create"},
             {"mount point", EBUSY, "rename"},
             {"file size limit", EFBIG, "write"}}) {
        SCOPED_TRACE(what);
        if (code != EFBIG && !isRoot()) {
            std::cout << "[  SKIPPED ] " << what << ": needs root\n";
            continue;
        }
        TempDir dir;
        const std::string path = dir.file(TargetName);
        writeFile(path, OldContent, 0644);
        const int result = runInChild([&]() -> std::string {
            // A private mount namespace, so mounts vanish with the child.
            const char* at = code == EROFS ? dir.path().c_str() : path.c_str();
            const rlimit limit{4096, 4096};
            const bool ready =
                code == EFBIG
                    ? ::signal(SIGXFSZ, SIG_IGN) != SIG_ERR &&
                          ::setrlimit(RLIMIT_FSIZE, &limit) == 0
                    : ::unshare(CLONE_NEWNS) == 0 &&
                          ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                          ::mount(at, at, nullptr, MS_BIND, nullptr) == 0 &&
                          (code != EROFS ||
                           ::mount(nullptr, at, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY,
                                   nullptr) == 0);
            if (!ready)
                return "skip: " + std::string(std::strerror(errno));
            fault::setFaultPlan(std::nullopt);
            std::string found = failedReplaceProblems(path, code, step);
            // Clearing the read-only flag reports the file system too, writable file or not.
            for (mode_t mode : {0444, 0644})
                if (code == EROFS &&
                    (::chmod(path.c_str(), mode), fio::setAttributesNormal(path)->code != EROFS))
                    found += "setAttributesNormal did not report EROFS\n";
            // A short write is carried on until the system gives a reason.
            const std::vector<Op> ops = fault::operations();
            if (code != EFBIG)
                return found;
            if (std::count(ops.begin(), ops.end(), Op::Write) < 2 || ops.back() != Op::Remove)
                found += "the short write was not followed by another, or no clean-up\n";
            // The clean-up failing too: the first error is still the one reported, and only the
            // hidden temporary file can be left.
            fault::setFaultPlan(fault::FaultPlan{static_cast<int>(ops.size()), EIO});
            const fio::Status again = fio::replaceFile(path, NewContent);
            const Names left = listFolder(dir.path());
            if (!again || again->code != EFBIG || readBytes(path) != OldContent ||
                left.size() != 2 || left[0].rfind(".CREATURE.TXT.tavrel-", 0) != 0)
                found += "a failed clean-up hid the first error or touched the file\n";
            return found;
        });
        EXPECT_TRUE(result == 0 || result == 77) << "see the child's problems above";
        // Outside the child the file was never covered, and must be unchanged.
        EXPECT_EQ(readBytes(path), OldContent);
    }
}

// replaceFile: the order of the real syncs, and every single operation failing in turn

class FileIoFaultInjection : public ::testing::Test {
protected:
    void TearDown() override {
        fault::setFaultPlan(std::nullopt);
        test::syncLog = nullptr;
    }
};

// A power cut must leave either the old file or the whole new one: the new file's data reaches the
// device before the rename, and the folder entry after it. Then every operation fails in turn.
TEST_F(FileIoFaultInjection, SyncsAroundTheRenameAndEveryFailingStepLeavesTheOldFileAlone) {
    TempDir dir;
    const std::string path = dir.file(TargetName);
    for (bool replacing : {true, false}) {
        SCOPED_TRACE(replacing ? "replacing" : "new file");
        // The old file as a user would have it: not writable, and (as root) another group.
        const auto prepare = [&] {
            std::filesystem::remove(path);
            if (replacing)
                writeFile(path, OldContent, 0440);
            ASSERT_TRUE(!replacing || !isRoot() ||
                        ::chown(path.c_str(), static_cast<uid_t>(-1), 4343) == 0);
        };
        prepare();
        std::vector<std::string> syncs;
        test::syncTarget = path;
        test::syncLog = &syncs;
        fault::setFaultPlan(std::nullopt);
        ASSERT_FALSE(fio::replaceFile(path, NewContent));
        test::syncLog = nullptr;
        ASSERT_EQ(syncs.size(), 2u);
        EXPECT_EQ(syncs[0].rfind(dir.file(".CREATURE.TXT.tavrel-"), 0), 0u) << syncs[0];
        EXPECT_EQ(syncs[0].substr(syncs[0].find(' ')), replacing ? " 44100 44048" : " 44100 0")
            << "new data synced late";
        EXPECT_EQ(syncs[1], dir.path() + " -1 44100") << "the folder was not synced after";
        const std::vector<Op> clean = fault::operations();
        ASSERT_EQ(clean.back(), Op::Sync);
        for (int n = 1; n <= static_cast<int>(clean.size()); ++n) {
            const Op op = clean[static_cast<std::size_t>(n) - 1];
            const std::string step = expectedStep(op);
            SCOPED_TRACE("operation " + std::to_string(n) + " (" + step + ") failing");
            prepare();
            // The old file is never deleted, so while it stays in place its inode stays ours.
            struct stat before {};
            ASSERT_EQ(::stat(path.c_str(), &before), replacing ? 0 : -1);
            fault::setFaultPlan(fault::FaultPlan{n, EIO});
            if (replacing && op != Op::Sync) {
                EXPECT_EQ(failedReplaceProblems(path, EIO, step), "");
                struct stat now {};
                ASSERT_EQ(::stat(path.c_str(), &now), 0);
                EXPECT_EQ(std::tie(now.st_ino, now.st_mode, now.st_gid),
                          std::tie(before.st_ino, before.st_mode, before.st_gid));
                continue;
            }
            const fio::Status status = fio::replaceFile(path, NewContent);
            ASSERT_TRUE(status);
            EXPECT_EQ(std::pair(status->code, status->step), std::pair(EIO, step));
            // Past the rename the new content is in place; before it a new file is not.
            if (op == Op::Sync)
                EXPECT_EQ(readBytes(path), NewContent);
            else
                EXPECT_EQ(listFolder(dir.path()), Names{});
        }
        // A folder that merely cannot be synced is no failure; a name clash tries another.
        const int last = static_cast<int>(clean.size());
        for (const auto& [at, error] : std::vector<std::pair<int, int>>{
                 {last, EINVAL}, {last, ENOTSUP}, {last, EROFS}, {last, EACCES}, {1, EEXIST}}) {
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
