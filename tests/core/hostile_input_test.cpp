// Unusual files, names and permissions a player can meet: each must be used when it is usable,
// refused with the right words when it is not, and never cost unbounded memory.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <functional>
#include <string>

#include "core/editor_state.h"
#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "gamefile/reader.h"
#include "gamefile/startup.h"
#include "gamefile/writer.h"
#include "settingsfile/settings_file.h"

namespace tavrel {
namespace {

using namespace std::string_literals;

#ifndef _WIN32 // other users, owners and write-only files are POSIX matters
// Runs a find of `<dir>/game` as the unprivileged user nobody in a child (the suite may run as
// root, who may read and write anything), after `setUp` there; true when `passed` holds for its
// outcome. The game folder and its file are open to anyone.
bool locateAsNobody(const test::TempDir& dir, const std::function<void()>& setUp,
                    const std::function<bool(const LocateOutcome&)>& passed) {
    test::makeGameFolder(dir.file("game"), renderGameFile(factoryDefaults()));
    for (const char* folder : {"", "/game", "/game/Data"})
        ::chmod((dir.path() + folder).c_str(), 0777);
    ::chmod(dir.file("game/Data/CREATURE.TXT").c_str(), 0666);
    const auto body = [&] {
        setUp();
        SettingsStore store;
        EditorState state;
        return passed(locateGame(dir.file("game"), store, state, dir.file("Tavrel.cfg")));
    };
    if (::geteuid() != 0 && ::geteuid() != 65534)
        return body();
    return test::exitStatusInChild(
               [&] { return ::setgid(65534) == 0 && ::setuid(65534) == 0 && body() ? 0 : 1; }) == 0;
}

TEST(HostileInput, AWritableGameFileOwnedBySomeoneElseIsUsed) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the game file to another owner";
    test::TempDir dir;
    EXPECT_TRUE(locateAsNobody(
        dir, [] {}, [](const LocateOutcome& outcome) { return outcome.load.gameFound; }));
}

TEST(HostileInput, AnUnreadableGameFileIsNotBlamedOnTavrelCfg) {
    test::TempDir dir;
    EXPECT_TRUE(locateAsNobody(
        dir, [&] { test::writeFile(dir.file("game/Data/CREATURE.TXT"), "1 2 3", 0200); },
        [&](const LocateOutcome& outcome) { // ours, writable, not readable
            return !outcome.configMessage &&
                   outcome.load.message == "You can't use the Dungeon Keeper disc "
                                           "as the game location." &&
                   test::readBytes(dir.file("Tavrel.cfg")) ==
                       "INSTALL_PATH=" + dir.file("game") + "\r\n";
        }));
}
#endif

#ifndef _WIN32 // Windows names hold no line break, and it has no named pipes or
               // /dev/zero
TEST(HostileInput, AFolderNameWithALineBreakIsRefusedAndNothingWritten) {
    test::TempDir dir;
    const std::string folder = dir.file("Dungeon\nKeeper");
    test::makeGameFolder(folder, renderGameFile(test::variedValues(42)));
    SettingsStore store;
    EditorState state;
    const LocateOutcome outcome = locateGame(folder, store, state, dir.file("Tavrel.cfg"));
    EXPECT_FALSE(outcome.load.gameFound || outcome.hideDialog);
    EXPECT_NE(outcome.load.message.value_or("").find("line break"), std::string::npos);
    EXPECT_EQ(store.values(), ValueSet{});
    EXPECT_EQ(test::listFolder(dir.path()), std::vector<std::string>{"Dungeon\nKeeper"});
}

TEST(HostileInput, HugeAndEndlessInputsAreRefusedAfterABoundedRead) {
    test::TempDir dir;
    const std::string huge = dir.file("huge.dks");
    test::writeBytes(huge, "");
    ASSERT_EQ(::truncate(huge.c_str(), 300 << 20),
              0); // sparse: no disc space used
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    for (const std::string& path : {huge, "/dev/zero"s, dir.file("pipe")}) {
        const GameFileRead read = readGameFileAt(path, factoryDefaults());
        EXPECT_EQ(read.status, ReadStatus::Rejected) << path;
        EXPECT_TRUE(path == dir.file("pipe") ||
                    (read.ioError && read.ioError->reason() == "File too large"))
            << path;
    }
    SettingsStore store;
    EXPECT_EQ(loadSettingsFile(huge, store).message,
              "Unable to load the file. It is too large to be a settings file, "
              "so no values "
              "have been changed.");
    EXPECT_EQ(store.values(), ValueSet{});
}
#endif

} // namespace
} // namespace tavrel
