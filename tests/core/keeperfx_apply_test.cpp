// A KeeperFX mod applied beside what is not the editor's, beside another apply, after one
// cut short, and into a folder that keeps whatever is made in it.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "keeperfx/install.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace tavrel::keeperfx {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::string> snapshot(const std::string& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        files[fs::relative(entry.path(), root).generic_string()] =
            entry.is_regular_file() ? test::readBytes(entry.path().string()) : "/";
    return files;
}

// A copy of one test install, quicker than writing each anew.
void makeInstall(const std::string& root) {
    static const test::TempDir made;
    if (fs::is_empty(made.path()))
        test::makeKeeperFxInstall(made.path());
    for (const auto& entry : fs::directory_iterator(made.path()))
        fs::copy(entry.path(), fs::path(root) / entry.path().filename(),
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
}

// "GAME" in an expected text stands for the game folder.
std::string inGame(std::string text, const std::string& game) {
    for (std::size_t at; (at = text.find("GAME")) != std::string::npos;)
        text.replace(at, 4, game);
    return text;
}

constexpr const char* kOldComment =
    "; Written by Tavrel: only the values that differ from the rules KeeperFX plays with.\r\n";

enum class Entry { None, File, Pipe, Link };

// Puts an entry at `path` in place of whatever stands there: a file of `text`, a named
// pipe, or a link to `text`.
void make(Entry entry, const std::string& path, const char* text) {
    fs::remove_all(path);
    fs::create_directories(fs::path(path).parent_path());
    if (entry == Entry::File)
        test::writeBytes(path, text);
#ifndef _WIN32
    if (entry == Entry::Pipe)
        ::mkfifo(path.c_str(), 0600);
    if (entry == Entry::Link)
        fs::create_symlink(text, path);
#endif
}

struct Refusal {
    const char* mod;
    Entry entry;
    const char* at;      // below mods; "" for mods itself
    const char* text;    // of a file, or a link's target
    const char* message; // empty: the apply goes ahead
};

TEST(KeeperFxApply, ReplacesOnlyWhatTheEditorWrote) {
    const Refusal cases[] = {
        {"tunneller_imp_swap", Entry::File, "Tunneller_Imp_Swap/creatrs/imp.cfg", "[x]\n",
         "The name \"tunneller_imp_swap\" is taken by mods/Tunneller_Imp_Swap, a mod Tavrel did "
         "not write."},
        {"_load_order.cfg", Entry::File, "_load_order.cfg", "[x]\n",
         "The name \"_load_order.cfg\" is taken by mods/_load_order.cfg, which is a file, not a "
         "mod Tavrel wrote."},
        {"load_order.cfg", Entry::None, "", "",
         "The mod name \"load_order.cfg\" is the name of KeeperFX's list of mods."},
        {"nul.txt", Entry::None, "", "",
         "The mod name \"nul.txt\" is a name Windows keeps for a device, so KeeperFX could not use "
         "such a mod."},
        // A name listed in a later block is moved to the block of the scope.
        {"other", Entry::None, "", "", ""},
        {"late", Entry::File, "load_order.cfg", "[after_map]\nLATE\n", ""},
        // Written before mods were marked: only the editor's own config files.
        {"tavrel", Entry::File, "Tavrel/fxdata/rules.cfg", kOldComment, ""},
        {"tavrel", Entry::File, "tavrel/notes.txt", "mine",
         "The name \"tavrel\" is taken by mods/tavrel, a mod Tavrel did not write."},
#ifndef _WIN32
        {"pipe", Entry::Pipe, "PIPE", "",
         "The name \"pipe\" is taken by mods/PIPE, which is a named pipe, not a mod Tavrel wrote."},
        {"tavrel", Entry::Link, "tavrel", "/tmp",
         "The name \"tavrel\" is taken by mods/tavrel, which is a symbolic link, not a mod Tavrel "
         "wrote."},
        {"tavrel", Entry::File, "", "mine",
         "The KeeperFX mod cannot be written: GAME/mods is a file, not a folder."},
        {"tavrel", Entry::Pipe, "", "",
         "The KeeperFX mod cannot be written: GAME/mods: Is a named pipe, not a file."},
        {"tavrel", Entry::Link, "", "gone",
         "The KeeperFX mod cannot be written: GAME/mods: Is a symbolic link to nothing."},
#endif
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.message);
        test::TempDir game;
        makeInstall(game.path());
        if (c.entry != Entry::None)
            make(c.entry, game.file(*c.at ? std::string("mods/") + c.at : "mods"), c.text);
        const auto before = snapshot(game.path());
        const ModApply result = applyMod(game.path(), factoryDefaults(), c.mod);
        EXPECT_EQ(result.ok ? "" : result.message,
                  *c.message
                      ? inGame(c.message, game.path()) + " KeeperFX's files have not been changed."
                      : "");
        EXPECT_TRUE(result.ok || snapshot(game.path()) == before);
    }
}

// Another program's apply under way: the lock held elsewhere until the returned call.
std::function<void()> otherApply(const std::string& game) {
#ifdef _WIN32
    // Windows refuses a second exclusive open even to the same program.
    auto lock = std::make_shared<fileio::FolderLock>();
    EXPECT_FALSE(fileio::lockFolder(game, true, *lock));
    return [lock]() mutable { lock.reset(); };
#else
    int ready[2], go[2];
    EXPECT_EQ(::pipe(ready) | ::pipe(go), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        fileio::FolderLock lock;
        char byte = fileio::lockFolder(game, true, lock) ? 'n' : 'y';
        ::_exit(::write(ready[1], &byte, 1) == 1 && ::read(go[0], &byte, 1) == 1 ? 0 : 1);
    }
    char held = 0;
    EXPECT_TRUE(::read(ready[0], &held, 1) == 1 && held == 'y');
    return [=] {
        int status = -1;
        EXPECT_TRUE(::write(go[1], "x", 1) == 1 && ::waitpid(child, &status, 0) == child &&
                    status == 0);
        for (int fd : {ready[0], ready[1], go[0], go[1]})
            ::close(fd);
    };
#endif
}

TEST(KeeperFxApply, OneApplyAtATimeAndNoReadOfHalfAnApply) {
    test::TempDir game;
    makeInstall(game.path());
    // Windows's lock is a file in the game folder that no one else may open.
    const auto before = snapshot(game.file("mods"));
    const std::function<void()> letGo = otherApply(game.path());
    const ModApply refused = applyMod(game.path(), factoryDefaults());
    const RulesRead unread = readRules(game.path());
    EXPECT_EQ(snapshot(game.file("mods")), before);
    letGo();
    const std::string busy = "Another apply is writing a KeeperFX mod in " + game.path() +
                             "; try again when it has finished.";
    EXPECT_EQ(refused.message, busy + " KeeperFX's files have not been changed.");
    EXPECT_TRUE(!unread.ok && unread.message == busy) << unread.message;
    EXPECT_TRUE(applyMod(game.path(), factoryDefaults()).ok);
    EXPECT_EQ(test::listFolder(game.path()),
              (std::vector<std::string>{"creatrs", "fxdata", "mods"}));
}

TEST(KeeperFxApply, WhatAnApplyCutShortLeavesIsToldAndCleared) {
    namespace fault = fileio::testing;
    test::TempDir game;
    makeInstall(game.path());
    ASSERT_TRUE(applyMod(game.path(), factoryDefaults()).ok);
    // Killed between the two moves, with load_order.cfg's new copy half made.
    fs::rename(game.file("mods/tavrel"), game.file("mods/.tavrel.tavrel-old"));
    make(Entry::File, game.file("mods/.tavrel.tavrel-new/fxdata/rules.cfg"), "[x]\n");
    test::writeBytes(game.file("mods/.load_order.cfg.tavrel-Ab3xYz"), "[after_base]\n");
    EXPECT_EQ(readRules(game.path()).status(),
              "KeeperFX rules read from fxdata and creatrs and the mod base. The mod other listed "
              "in load_order.cfg is not in the mods folder, so KeeperFX skips it. The mod tavrel "
              "is not in the mods folder: an apply of it was cut short, and its previous copy "
              "waits in mods/.tavrel.tavrel-old for the next apply to put back.");
    // load_order.cfg stays as it is: the swap is synced all the same.
    fault::setFaultPlan(std::nullopt);
    ASSERT_TRUE(applyMod(game.path(), factoryDefaults()).ok);
    const std::vector<fault::Op> ops = fault::operations();
    ASSERT_GE(ops.size(), 3u);
    EXPECT_EQ(std::vector<fault::Op>(ops.end() - 3, ops.end()),
              (std::vector{fault::Op::MoveEntry, fault::Op::Sync, fault::Op::RemoveFolder}));
    EXPECT_EQ(test::listFolder(game.file("mods")),
              (std::vector<std::string>{"base", "load_order.cfg", "tavrel"}));
}

// A byte-order mark, which editors on Windows add, hides the block header after it from
// KeeperFX: the apply writes the file without it rather than add a second block.
TEST(KeeperFxApply, ALoadOrderWithAByteOrderMarkGetsNoSecondBlock) {
    test::TempDir game;
    makeInstall(game.path());
    test::writeBytes(game.file("mods/load_order.cfg"), "\xEF\xBB\xBF[after_base]\r\nbase\r\n");
    const ModApply applied = applyMod(game.path(), factoryDefaults());
    EXPECT_EQ(applied.notes,
              std::vector<std::string>{
                  "A byte-order mark at the start of load_order.cfg hid its [after_base] block "
                  "from KeeperFX; it is written without one, so KeeperFX now also loads base."});
    EXPECT_EQ(test::readBytes(game.file("mods/load_order.cfg")),
              "[after_base]\r\nbase\r\n[after_campaign]\r\ntavrel\r\n");
}

#ifndef _WIN32
TEST(KeeperFxApply, SaysWhatStandsWhereAFileShouldBe) {
    const std::tuple<Entry, const char*, const char*> cases[] = {
        {Entry::Pipe, "", "Is a named pipe, not a file"},
        {Entry::Link, "/dev/zero", "Is a device, not a file"},
        {Entry::Link, "rules.cfg", "Too many levels of symbolic links"},
    };
    for (const auto& [entry, target, what] : cases) {
        SCOPED_TRACE(what);
        test::TempDir game;
        makeInstall(game.path());
        make(entry, game.file("fxdata/rules.cfg"), target);
        EXPECT_EQ(readRules(game.path()).message,
                  inGame("Unable to read KeeperFX's file GAME/fxdata/rules.cfg: ", game.path()) +
                      what + ".");
    }
    // A folder that may not be searched, as a user other than its owner meets it.
    test::TempDir game;
    makeInstall(game.path());
    fs::permissions(game.path(),
                    fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    fs::permissions(game.file("fxdata"), fs::perms::owner_read);
    const std::string unreadable = "Unable to read KeeperFX's file " +
                                   game.file("fxdata/terrain.cfg") + ": Permission denied.";
    EXPECT_EQ(test::exitStatusInChild([&] {
                  const bool other = ::geteuid() != 0 || ::setuid(65534) == 0;
                  return other && readRules(game.path()).message == unreadable ? 0 : 1;
              }),
              0);
    fs::permissions(game.file("fxdata"), fs::perms::owner_all);
}
#endif

#ifdef __linux__
// Runs `body` while `folder` takes new files but lets none be removed or renamed (append-
// only, which root can set); false when the flag cannot be set here.
template <typename Body> bool whileAddOnly(const std::string& folder, Body body) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    const bool set = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                     (flags |= FS_APPEND_FL, ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
    if (set)
        body();
    flags &= ~FS_APPEND_FL;
    ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    ::close(fd);
    return set;
}

constexpr const char* kAddOnly = "The folder lets files be added but not replaced or removed";

TEST(AddOnlyFolder, NothingIsLeftBehind) {
    test::TempDir dir, game;
    test::makeKeeperFxInstall(game.path());
    const std::vector<std::string> mods = test::listFolder(game.file("mods"));
    fileio::Status probe, replace;
    ModApply applied;
    if (!whileAddOnly(dir.path(),
                      [&] {
                          probe = fileio::probeReplace(dir.file("CREATURE.TXT"));
                          replace = fileio::replaceFile(dir.file("CREATURE.TXT"), "x");
                      }) ||
        !whileAddOnly(game.file("mods"),
                      [&] { applied = applyMod(game.path(), factoryDefaults()); }))
        GTEST_SKIP() << "no append-only folders here";
    EXPECT_EQ(test::listFolder(dir.path()), std::vector<std::string>{});
    for (const fileio::Status& error : {probe, replace})
        EXPECT_EQ(error ? error->reason() : "", kAddOnly);
    EXPECT_EQ(test::listFolder(game.file("mods")), mods);
    EXPECT_EQ(applied.message, "The KeeperFX mod cannot be written: " + game.file("mods") + ": " +
                                   kAddOnly + ". KeeperFX's files have not been changed.");
}
#endif

} // namespace
} // namespace tavrel::keeperfx
