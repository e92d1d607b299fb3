// A path handed to the system ends at its first NUL byte, so a name with one inside would quietly
// reach another file. Such names come from Tavrel.cfg lines (any bytes) and from names typed into
// the settings dialogs; none of them may touch the file in front of the NUL, and each is refused or
// ignored as a name no file can have.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "core/editor_state.h"
#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "core/test_support.h"
#include "gamefile/config_file.h"
#include "gamefile/startup.h"
#include "gamefile/writer.h"
#include "settingsfile/settings_file.h"

namespace tavrel {
namespace {

using namespace std::string_literals;

TEST(NulPath, NoNameWithANulReachesTheFileInFrontOfIt) {
    // A read-only game file that a truncated name would reach.
    test::TempDir dir;
    const std::string victim = dir.file("victim");
    const std::string content = renderGameFile(test::variedValues(31));
    test::writeBytes(victim, content);
    ASSERT_EQ(::chmod(victim.c_str(), 0444), 0);

    const std::string hidden = victim + "\0/Data/CREATURE.TXT"s;
    EXPECT_FALSE(fileio::FileExists(hidden));
    EXPECT_FALSE(fileio::findEntry(victim + "\0"s, "victim"));
    EXPECT_FALSE(fileio::findEntry(dir.path(), "victim\0"s));
    std::string out = "untouched";
    for (const fileio::Status& status :
         {fileio::readFile(hidden, out), fileio::replaceFile(victim + "\0"s, "new"),
          fileio::replaceFile(hidden, "new"), fileio::setAttributesNormal(hidden)}) {
        ASSERT_TRUE(status);
        EXPECT_EQ(status->number(), 52); // bad file name
    }
    EXPECT_EQ(out, "untouched");

    const std::string cfg = dir.file("Tavrel.cfg");
    test::writeBytes(cfg, "INSTALL_PATH="s + victim + "\0\r\n"s);
    SettingsStore store;
    EditorState state;
    EXPECT_FALSE(runStartup(store, state, cfg).gameFound);
    EXPECT_FALSE(locateGame(victim + "\0"s, store, state, cfg).gameInFolder);
    EXPECT_EQ(saveSettingsFile(dir.file("Te\0st.dks"s), factoryDefaults()).message,
              "A file name cannot contain any of the following characters: \\ / : * ? "
              "\" < > |");
    EXPECT_EQ(loadSettingsFile(victim + "\0.dks"s, store).errorNumber, 52);
    EXPECT_EQ(store.values(), ValueSet{});
    EXPECT_EQ(test::listFolder(dir.path()), (std::vector<std::string>{"Tavrel.cfg", "victim"}));
    EXPECT_EQ(test::modeOf(victim), 0444u);
    EXPECT_EQ(test::readBytes(victim), content);
}

} // namespace
} // namespace tavrel
