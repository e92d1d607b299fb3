#include <gtest/gtest.h>

#include <filesystem>

#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "core/test_support.h"
#include "gamefile/config_file.h"
#include "gamefile/startup.h"
#include "gamefile/writer.h"

namespace tavrel {
namespace {

class Startup : public ::testing::Test {
protected:
    test::TempDir work;
    test::TempDir game;
    SettingsStore store;
    EditorState state;
    std::string cfg = work.file("Tavrel.cfg");

    void SetUp() override { test::makeGameFolder(game.path(), renderGameFile(factoryDefaults())); }
    GameLoadOutcome start() { return runStartup(store, state, cfg); }
};

TEST_F(Startup, QuietlyStaysUnreadyWithoutAUsableSetting) {
    const std::string lines[] = {
        "install_path=" + game.path() + "\r\n",  // key in lower case
        "INSTALL_PATH=\r\n",                     // key alone
        "INSTALL_PATH= " + game.path() + "\r\n", // a folder named with a leading blank
        "INSTALL_PATH=" + game.path() + "/nowhere\r\n",
    };
    EXPECT_FALSE(start().gameFound) << "no Tavrel.cfg at all";
    // A game in the working folder itself must not be found through an empty folder name.
    test::makeGameFolder(work.path(), renderGameFile(factoryDefaults()));
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(work.path());
    for (const auto& line : lines) {
        test::writeBytes(cfg, line);
        const GameLoadOutcome outcome = start();
        EXPECT_FALSE(outcome.gameFound) << line;
        EXPECT_FALSE(outcome.message.has_value()) << line;
        EXPECT_EQ(store.values(), ValueSet{});
    }
    test::writeBytes(cfg, "INSTALL_PATH=");
    EXPECT_FALSE(start().gameFound) << "key alone without a line end";
    std::filesystem::current_path(before);
}

TEST_F(Startup, ReadsTheConfiguredGame) {
    for (std::string_view end : {"\r\n", "\n"}) {
        test::writeBytes(cfg, "INSTALL_PATH=" + game.path() + std::string(end) + "second line\r\n");
        store = SettingsStore{};
        const GameLoadOutcome outcome = start();
        EXPECT_TRUE(outcome.gameFound);
        EXPECT_FALSE(outcome.message.has_value());
        EXPECT_EQ(state.InstallPath, game.path());
        EXPECT_EQ(store.values(), factoryDefaults());
    }
}

TEST_F(Startup, ATavrelCfgTooLargeToBeOneIsToldSo) {
    test::writeBytes(cfg, configContent(game.path()) + std::string(1 << 20, ' '));
    const GameLoadOutcome outcome = start();
    EXPECT_FALSE(outcome.gameFound);
    EXPECT_EQ(outcome.message, "Unable to read Tavrel.cfg. The file is too large to be a "
                               "Tavrel.cfg. Please locate the game again.");
}

TEST_F(Startup, RejectedGameFileShowsTheIncompatibleMessageAndKeepsDefaults) {
    test::writeBytes(game.file("Data/CREATURE.TXT"), "1 2 3\r\n");
    test::writeBytes(cfg, configContent(game.path()));
    const GameLoadOutcome outcome = start();
    EXPECT_FALSE(outcome.gameFound);
    EXPECT_EQ(outcome.message, "Unable to load settings. Incompatible Creature.txt file. Please "
                               "replace with the original from the Dungeon Keeper disc.");
    EXPECT_EQ(store.defaults(), factoryDefaults());
}

} // namespace
} // namespace tavrel
