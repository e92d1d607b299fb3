// Unusual files, names and permissions a player can meet: each must be used when it is
// usable, refused with the right words when it is not, and never cost unbounded memory.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <climits>
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
// Runs `body` as the unprivileged user nobody in a child (the suite may run as root,
// who may read and write anything). Empty when the child passed.
std::string asNobody(const std::function<bool()>& body) {
    if (::geteuid() != 0 && ::geteuid() != 65534)
        return body() ? "" : "failed as a normal user";
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 ? (body() ? 0 : 1) : 2);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0
               ? ""
               : "child failed with " + std::to_string(WEXITSTATUS(status));
}

// A game folder anyone may use, since the checks run as another user.
struct SharedGame {
    test::TempDir dir;
    SharedGame() {
        test::makeGameFolder(dir.file("game"), renderGameFile(factoryDefaults()));
        for (const char* folder : {"", "/game", "/game/Data"})
            ::chmod((dir.path() + folder).c_str(), 0777);
    }
};

TEST(HostileInput, AWritableGameFileOwnedBySomeoneElseIsUsed) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the game file to another owner";
    SharedGame shared;
    ::chmod(shared.dir.file("game/Data/CREATURE.TXT").c_str(), 0666);
    EXPECT_EQ(asNobody([&] {
                  SettingsStore store;
                  EditorState state;
                  return locateGame(shared.dir.file("game"), store, state,
                                    shared.dir.file("Tavrel.cfg"))
                      .load.gameFound;
              }),
              "");
}

TEST(HostileInput, AnUnreadableGameFileIsNotBlamedOnTavrelCfg) {
    SharedGame shared;
    EXPECT_EQ(asNobody([&] {
                  const std::string game = shared.dir.file("game/Data/CREATURE.TXT");
                  test::writeFile(game, "1 2 3", 0200); // ours, writable, not readable
                  SettingsStore store;
                  EditorState state;
                  const LocateOutcome outcome = locateGame(shared.dir.file("game"), store, state,
                                                           shared.dir.file("Tavrel.cfg"));
                  return !outcome.configMessage &&
                         outcome.load.message ==
                             "You can't use the Dungeon Keeper disc as the game location." &&
                         test::readBytes(shared.dir.file("Tavrel.cfg")) ==
                             "INSTALL_PATH=" + shared.dir.file("game") + "\r\n";
              }),
              "");
}
#endif

TEST(HostileInput, EveryValueADksCanHoldIsAppliedAndReadBackOrRefused) {
    test::TempDir dir;
    const std::string old = renderGameFile(test::variedValues(41));
    for (const std::int32_t value : {INT_MIN, -1, 0, 1, 16777215, INT_MAX}) {
        SCOPED_TRACE(value);
        test::makeGameFolder(dir.path(), old, true);
        ValueSet values = factoryDefaults();
        values[1234] = value;
        const ApplyResult result = applyToGame(dir.path(), values);
        const GameFileRead read = readGameFileAt(dir.file("Data/CREATURE.TXT"), factoryDefaults());
        if (value < 0) {
            EXPECT_EQ(result.outcome, ApplyOutcome::Failed);
            EXPECT_NE(result.message.find(std::to_string(value)), std::string::npos);
            EXPECT_EQ(test::readBytes(dir.file("Data/CREATURE.TXT")), old);
            EXPECT_EQ(test::readBytes(dir.file("Data/DD1CREAT.TXT")), old);
        } else {
            EXPECT_EQ(result.outcome, ApplyOutcome::Applied);
            ASSERT_EQ(read.status, ReadStatus::Accepted);
            EXPECT_EQ(read.values[1234], value);
        }
    }
}

#ifndef _WIN32 // Windows names hold no line break, and it has no named pipes or /dev/zero
TEST(HostileInput, AFolderNameWithALineBreakIsRefusedAndNothingWritten) {
    test::TempDir dir;
    const std::string folder = dir.file("Dungeon\nKeeper");
    test::makeGameFolder(folder, renderGameFile(test::variedValues(42)));
    SettingsStore store;
    EditorState state;
    const LocateOutcome outcome = locateGame(folder, store, state, dir.file("Tavrel.cfg"));
    EXPECT_FALSE(outcome.load.gameFound);
    EXPECT_FALSE(outcome.hideDialog);
    EXPECT_NE(outcome.load.message.value_or("").find("line break"), std::string::npos);
    EXPECT_EQ(store.values(), ValueSet{});
    EXPECT_EQ(test::listFolder(dir.path()), std::vector<std::string>{"Dungeon\nKeeper"});
}

TEST(HostileInput, HugeAndEndlessInputsAreRefusedAfterABoundedRead) {
    test::TempDir dir;
    const std::string huge = dir.file("huge");
    test::writeBytes(huge, "");
    ASSERT_EQ(::truncate(huge.c_str(), 300 << 20), 0); // sparse: no disc space used
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
    for (const std::string& path : {huge, "/dev/zero"s}) {
        const GameFileRead read = readGameFileAt(path, factoryDefaults());
        EXPECT_EQ(read.status, ReadStatus::Rejected) << path;
        ASSERT_TRUE(read.ioError) << path;
        EXPECT_EQ(read.ioError->reason(), "File too large");
    }
    EXPECT_EQ(readGameFileAt(dir.file("pipe"), factoryDefaults()).status, ReadStatus::Rejected);

    std::filesystem::rename(huge, dir.file("huge.dks"));
    SettingsStore store;
    const SettingsFileResult loaded = loadSettingsFile(dir.file("huge.dks"), store);
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.message, "Unable to load the file. It is too large to be a settings file, "
                              "so no values have been changed.");
    EXPECT_EQ(store.values(), ValueSet{});
}
#endif

} // namespace
} // namespace tavrel
