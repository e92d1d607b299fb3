// Applying a KeeperFX mod where the mods folder holds what is not the editor's: other mods,
// KeeperFX's own files, odd entries, names Windows keeps; another apply at the same time;
// what an apply cut short leaves behind.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>

#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "keeperfx/install.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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
    static const bool ready = (test::makeKeeperFxInstall(made.path()), true);
    (void)ready;
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

struct Refusal {
    const char* mod;
    std::function<void(const std::string& mods)> make; // what stands in the mods folder
    const char* message;                               // empty: the apply goes ahead
};

void file(const std::string& path, std::string_view text) {
    fs::create_directories(fs::path(path).parent_path());
    test::writeBytes(path, text);
}

TEST(KeeperFxApply, ReplacesOnlyWhatTheEditorWrote) {
    const Refusal cases[] = {
        {"tunneller_imp_swap",
         [](const std::string& m) { file(m + "/Tunneller_Imp_Swap/creatrs/imp.cfg", "[x]\n"); },
         "The name \"tunneller_imp_swap\" is taken by mods/Tunneller_Imp_Swap, a mod Tavrel did "
         "not write. KeeperFX's files have not been changed."},
        {"_load_order.cfg", [](const std::string& m) { file(m + "/_load_order.cfg", "[x]\n"); },
         "The name \"_load_order.cfg\" is taken by mods/_load_order.cfg, which is a file, not a "
         "mod "
         "Tavrel wrote. KeeperFX's files have not been changed."},
        {"load_order.cfg", [](const std::string&) {},
         "The mod name \"load_order.cfg\" is the name of KeeperFX's list of mods. KeeperFX's files "
         "have not been changed."},
        {"nul.txt", [](const std::string&) {},
         "The mod name \"nul.txt\" is a name Windows keeps for a device, so KeeperFX could not use "
         "such a mod. KeeperFX's files have not been changed."},
        {"Com7", [](const std::string&) {},
         "The mod name \"Com7\" is a name Windows keeps for a device, so KeeperFX could not use "
         "such a mod. KeeperFX's files have not been changed."},
        {"other", [](const std::string&) {},
         "The mod \"other\" is listed under [after_campaign] of load_order.cfg, where Tavrel does "
         "not write: it writes only [after_base] mods. Choose another name. KeeperFX's files have "
         "not been changed."},
        {"late",
         [](const std::string& m) {
             test::writeBytes(m + "/load_order.cfg", "[after_map]\nLATE\n");
         },
         "The mod \"late\" is listed under [after_map] of load_order.cfg, where Tavrel does not "
         "write: it writes only [after_base] mods. Choose another name. KeeperFX's files have not "
         "been changed."},
        // Written before mods were marked: only the editor's own config files.
        {"tavrel", [](const std::string& m) { file(m + "/Tavrel/fxdata/rules.cfg", kOldComment); },
         ""},
        {"tavrel",
         [](const std::string& m) {
             file(m + "/tavrel/fxdata/rules.cfg", kOldComment);
             file(m + "/tavrel/notes.txt", "mine");
         },
         "The name \"tavrel\" is taken by mods/tavrel, a mod Tavrel did not write. KeeperFX's "
         "files "
         "have not been changed."},
#ifndef _WIN32
        {"pipe", [](const std::string& m) { ::mkfifo((m + "/PIPE").c_str(), 0600); },
         "The name \"pipe\" is taken by mods/PIPE, which is a named pipe, not a mod Tavrel wrote. "
         "KeeperFX's files have not been changed."},
        {"tavrel",
         [](const std::string& m) { fs::create_directory_symlink("/tmp", m + "/tavrel"); },
         "The name \"tavrel\" is taken by mods/tavrel, which is a symbolic link, not a mod Tavrel "
         "wrote. KeeperFX's files have not been changed."},
        {"tavrel",
         [](const std::string& m) {
             fs::remove_all(m);
             test::writeBytes(m, "mine");
         },
         "The KeeperFX mod cannot be written: GAME/mods is a file, not a folder. KeeperFX's files "
         "have not been changed."},
        {"tavrel",
         [](const std::string& m) {
             fs::remove_all(m);
             ::mkfifo(m.c_str(), 0600);
         },
         "The KeeperFX mod cannot be written: GAME/mods: Is a named pipe, not a file. KeeperFX's "
         "files have not been changed."},
        {"tavrel",
         [](const std::string& m) {
             fs::remove_all(m);
             fs::create_symlink(m + "-gone", m);
         },
         "The KeeperFX mod cannot be written: GAME/mods: Is a symbolic link to nothing. KeeperFX's "
         "files have not been changed."},
#endif
    };
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.message);
        test::TempDir game;
        makeInstall(game.path());
        c.make(game.file("mods"));
        const auto before = snapshot(game.path());
        const ModApply result = applyMod(game.path(), factoryDefaults(), c.mod);
        EXPECT_EQ(result.ok ? "" : result.message, inGame(c.message, game.path()));
        if (!result.ok) {
            EXPECT_EQ(snapshot(game.path()), before);
        }
    }
}

// Another program applying at the same time: a lock holder that lets go when told.
class OtherApply {
public:
    explicit OtherApply(const std::string& game) {
#ifdef _WIN32
        // Windows refuses a second exclusive open even to the same program.
        lock_.emplace();
        EXPECT_FALSE(fileio::lockFolder(game, true, *lock_));
#else
        EXPECT_EQ(::pipe(ready_), 0);
        EXPECT_EQ(::pipe(go_), 0);
        child_ = ::fork();
        if (child_ == 0) {
            fileio::FolderLock lock;
            const char held = fileio::lockFolder(game, true, lock) ? 'n' : 'y';
            char go = 0;
            ::_exit(::write(ready_[1], &held, 1) == 1 && ::read(go_[0], &go, 1) == 1 ? 0 : 1);
        }
        char held = 0;
        EXPECT_EQ(::read(ready_[0], &held, 1), 1);
        EXPECT_EQ(held, 'y');
#endif
    }
    void finish() {
#ifdef _WIN32
        lock_.reset();
#else
        const char go = 1;
        int status = -1;
        EXPECT_EQ(::write(go_[1], &go, 1), 1);
        EXPECT_EQ(::waitpid(child_, &status, 0), child_);
        EXPECT_EQ(status, 0);
        for (int fd : {ready_[0], ready_[1], go_[0], go_[1]})
            ::close(fd);
#endif
    }

private:
#ifdef _WIN32
    std::optional<fileio::FolderLock> lock_;
#else
    int ready_[2] = {-1, -1}, go_[2] = {-1, -1};
    pid_t child_ = -1;
#endif
};

TEST(KeeperFxApply, OneApplyAtATimeAndNoReadOfHalfAnApply) {
    test::TempDir game;
    makeInstall(game.path());
    ValueSet values = factoryDefaults();
    values[4] = 400; // the Wizard's health
    // Windows's lock is a file in the game folder that no one else may open.
    const auto before = snapshot(game.file("mods"));
    OtherApply other(game.path());
    const ModApply refused = applyMod(game.path(), values);
    const RulesRead unread = readRules(game.path());
    EXPECT_EQ(snapshot(game.file("mods")), before);
    other.finish();
    EXPECT_EQ(refused.message, inGame("Another apply is writing a KeeperFX mod in GAME; try again "
                                      "when it has finished. KeeperFX's files have not been "
                                      "changed.",
                                      game.path()));
    EXPECT_EQ(unread.message, inGame("Another apply is writing a KeeperFX mod in GAME; try again "
                                     "when it has finished.",
                                     game.path()));
    EXPECT_TRUE(applyMod(game.path(), values).ok);
    EXPECT_EQ(readRules(game.path()).values[4], 400);
    EXPECT_EQ(test::listFolder(game.path()),
              (std::vector<std::string>{"creatrs", "fxdata", "mods"}));
}

TEST(KeeperFxApply, WhatAnApplyCutShortLeavesIsToldAndCleared) {
    namespace fault = fileio::testing;
    test::TempDir game;
    makeInstall(game.path());
    ValueSet values = factoryDefaults();
    values[4] = 400;
    ASSERT_TRUE(applyMod(game.path(), values).ok);
    // Killed between the two moves, with load_order.cfg's new copy half made.
    fs::rename(game.file("mods/tavrel"), game.file("mods/.tavrel.tavrel-old"));
    file(game.file("mods/.tavrel.tavrel-new/fxdata/rules.cfg"), "[x]\n");
    test::writeBytes(game.file("mods/.load_order.cfg.tavrel-Ab3xYz"), "[after_base]\n");
    const RulesRead read = readRules(game.path());
    EXPECT_EQ(read.mods, std::vector<std::string>{"base"});
    EXPECT_EQ(read.values[4], factoryDefaults()[4]);
    EXPECT_EQ(read.status(),
              "KeeperFX rules read from fxdata and creatrs and the mod base. The mod tavrel is not "
              "in the mods folder: an apply of it was cut short, and its previous copy waits in "
              "mods/.tavrel.tavrel-old for the next apply to put back.");
    // The next apply, of the same values, changes no line of load_order.cfg: the swap is
    // still made safe.
    fault::setFaultPlan(std::nullopt);
    ASSERT_TRUE(applyMod(game.path(), values).ok);
    const std::vector<fault::Op> ops = fault::operations();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.back(), fault::Op::RemoveFolder);
    EXPECT_EQ(ops[ops.size() - 2], fault::Op::Sync);
    EXPECT_EQ(ops[ops.size() - 3], fault::Op::MoveEntry);
    EXPECT_EQ(test::listFolder(game.file("mods")),
              (std::vector<std::string>{"base", "load_order.cfg", "tavrel"}));
}

// A byte-order mark, which editors on Windows add, hides the block header after it from
// KeeperFX: the apply writes the file without it rather than add a second block.
TEST(KeeperFxApply, ALoadOrderWithAByteOrderMarkGetsNoSecondBlock) {
    test::TempDir game;
    makeInstall(game.path());
    test::writeBytes(game.file("mods/load_order.cfg"), "\xEF\xBB\xBF[after_base]\r\nbase\r\n");
    EXPECT_EQ(readRules(game.path()).mods, std::vector<std::string>{});
    const ModApply applied = applyMod(game.path(), factoryDefaults());
    EXPECT_EQ(applied.notes,
              std::vector<std::string>{
                  "A byte-order mark at the start of load_order.cfg hid its [after_base] block "
                  "from KeeperFX; it is written without one, so KeeperFX now also loads base."});
    EXPECT_EQ(test::readBytes(game.file("mods/load_order.cfg")),
              "[after_base]\r\nbase\r\ntavrel\r\n");
    EXPECT_EQ(readRules(game.path()).mods, (std::vector<std::string>{"base", "tavrel"}));
}

#ifndef _WIN32
TEST(KeeperFxApply, SaysWhatStandsWhereAFileShouldBe) {
    const std::pair<std::function<void(const std::string&)>, const char*> cases[] = {
        {[](const std::string& f) { ::mkfifo(f.c_str(), 0600); }, "Is a named pipe, not a file"},
        {[](const std::string& f) { fs::create_symlink("/dev/zero", f); },
         "Is a device, not a file"},
        {[](const std::string& f) { fs::create_symlink(f, f); },
         "Too many levels of symbolic links"},
        {[](const std::string& f) { fs::create_symlink(f + ".gone", f); },
         "Is a symbolic link to nothing"},
    };
    for (const auto& [make, what] : cases) {
        SCOPED_TRACE(what);
        test::TempDir game;
        makeInstall(game.path());
        fs::remove(game.file("fxdata/rules.cfg"));
        make(game.file("fxdata/rules.cfg"));
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
    const std::string unreadable = inGame(
        "Unable to read KeeperFX's file GAME/fxdata/terrain.cfg: Permission denied.", game.path());
    EXPECT_EQ(test::exitStatusInChild([&] {
                  return (::geteuid() != 0 || ::setuid(65534) == 0) &&
                                 readRules(game.path()).message == unreadable
                             ? 0
                             : 1;
              }),
              0);
    fs::permissions(game.file("fxdata"), fs::perms::owner_all);
}
#endif

} // namespace
} // namespace tavrel::keeperfx
