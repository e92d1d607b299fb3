#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "core/test_support.h"
#include "gamefile/writer.h"
#include "settingsfile/settings_file.h"

namespace tavrel {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

#ifdef _WIN32
// The build folder's path means nothing where the tests run: the tool sits beside them.
std::string cliPath() {
    char self[MAX_PATH] = {};
    const std::string path(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
    return path.substr(0, path.find_last_of("\\/") + 1) + TAVREL_CLI_NAME;
}
#else
std::string cliPath() {
    return TAVREL_CLI_PATH;
}
#endif

// Runs the built tavrel-cli with its output captured in files.
CliRun cli(const std::string& arguments) {
    test::TempDir dir;
    const std::string command =
        cliPath() + " " + arguments + " >" + dir.file("out") + " 2>" + dir.file("err");
    const int raw = std::system(command.c_str());
    CliRun run;
#ifdef _WIN32
    run.status = raw; // cmd.exe hands back the exit code itself
#else
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    run.out = test::readBytes(dir.file("out"));
    run.err = test::readBytes(dir.file("err"));
#ifdef _WIN32
    // Windows consoles end lines in CR LF.
    for (std::string* text : {&run.out, &run.err})
        for (std::size_t at = 0; (at = text->find("\r\n", at)) != std::string::npos;)
            text->erase(at, 1);
#endif
    return run;
}

// Exit status and the command lines that give it, all run in one folder of settings files
// whose every value is -1 (check takes what the editor's load does), and what is left there.
TEST(Cli, ExitStatusOfEachCommandLineAndWhatItWrites) {
    const std::pair<int, std::vector<std::string>> cases[] = {
        {0,
         {"convert 10721.dks -- -x.dks", "convert -- 10721.dks -y.dks", "demo -- --force",
          "demo g --force", "check 10721.dks", "check 342916.dks"}},
        {1,
         {"check 10719.dks", "check 342917.dks", "check bad.txt", "check none.txt", "check -",
          "keeperfx-apply --mod=x 10721.dks nowhere"}},
        {2,
         {"", "frobnicate", "check", "convert 10721.dks --", "convert 10721.dks -z.dks",
          "convert --force 10721.dks z.dks", "demo --force --force g", "demo --force=yes g",
          "keeperfx-apply a b --mod", "keeperfx-apply --mod x --mod y a b",
          "keeperfx-apply --mod .. a b", "keeperfx-apply --mod=.. a b",
          "keeperfx-apply --mod a/b a b", "keeperfx-read a b --mod x",
          "keeperfx-apply --under-campaigns --campaign=x a b", "keeperfx-apply --campaign a b",
          "keeperfx-apply --under-campaigns=yes a b"}}};
    test::TempDir dir;
    test::writeBytes(dir.file("bad.txt"), "1 2 3\r\n");
    for (std::size_t size : {10719, 10721, 342916, 342917})
        test::writeBytes(dir.file(std::to_string(size) + ".dks"), std::string(size, '\xff'));
    const auto home = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    for (const auto& [status, lines] : cases)
        for (const std::string& arguments : lines) {
            const CliRun run = cli(arguments);
            EXPECT_EQ(run.status, status) << arguments;
            EXPECT_EQ(run.err.empty(), status == 0) << arguments; // a refusal says why
        }
    const std::string help = cli("--help").out;
    EXPECT_NE(cli("check bad.txt").err.find("Incompatible Creature.txt file"), std::string::npos);
    std::filesystem::current_path(home);
    for (const char* command : {"defaults", "convert", "check", "export", "diff", "apply", "demo",
                                "keeperfx-read [--campaign NAME]", "keeperfx-apply [--mod NAME]"})
        EXPECT_NE(help.find(command), std::string::npos) << command;
    EXPECT_EQ(test::listFolder(dir.path()),
              (std::vector<std::string>{"--force", "-x.dks", "-y.dks", "10719.dks", "10721.dks",
                                        "342916.dks", "342917.dks", "bad.txt", "g"}));
}

TEST(Cli, DemoMakesAGameReplacedOnlyWhenForcedAndApplyWritesBothFiles) {
    test::TempDir dir;
    const std::string game = dir.file("game/Data/CREATURE.TXT");
    const std::string addon = dir.file("game/Data/DD1CREAT.TXT");
    ASSERT_EQ(cli("demo " + dir.file("game")).status, 0);
    EXPECT_EQ(test::readBytes(game), renderGameFile(factoryDefaults()));
    EXPECT_NE(cli("check " + game).out.find("5200 numbers"), std::string::npos);
    test::makeGameFolder(dir.file("game"), "player's own", true);
    EXPECT_EQ(cli("demo " + dir.file("game")).status, 1);
    EXPECT_EQ(test::readBytes(game), "player's own");
    ASSERT_EQ(cli("demo --force " + dir.file("game")).status, 0);
    for (const std::string& file : {game, addon})
        EXPECT_EQ(test::readBytes(file), renderGameFile(factoryDefaults())) << file;
#ifndef _WIN32
    // A named pipe is there too, and even forced, no file takes its place.
    test::TempDir piped;
    test::makeFolders(piped.file("Data"));
    ASSERT_EQ(::mkfifo(piped.file("Data/CREATURE.TXT").c_str(), 0600), 0);
    EXPECT_NE(cli("demo " + piped.path()).err.find("already there"), std::string::npos);
    const CliRun forced = cli("demo --force " + piped.path());
    EXPECT_EQ(forced.status, 1);
    EXPECT_NE(forced.err.find("CREATURE.TXT: Is a named pipe, not a file"), std::string::npos);
    struct stat st {};
    EXPECT_TRUE(::stat(piped.file("Data/CREATURE.TXT").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
#endif

    ValueSet values = factoryDefaults();
    values[4] = 1234;
    test::writeBytes(dir.file("mod.dks"), encodeSettings(values));
    const CliRun apply = cli("apply " + dir.file("mod.dks") + " " + dir.file("game"));
    ASSERT_EQ(apply.status, 0) << apply.err;
    for (const std::string& file : {game, addon})
        EXPECT_EQ(test::readBytes(file), renderGameFile(values)) << file;
    const CliRun missing = cli("apply " + dir.file("mod.dks") + " " + dir.file("nowhere"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("The editor was unable to find the game."), std::string::npos);
}

TEST(Cli, ConvertsBetweenGameAndSettingsFiles) {
    test::TempDir dir;
    const ValueSet values = [] {
        ValueSet v = test::variedValues(3);
        for (auto& x : v)
            x %= 2; // valid flags, so the game file keeps every value
        return v;
    }();
    test::writeBytes(dir.file("mod.dks"), encodeSettings(values));
    ASSERT_EQ(cli("convert " + dir.file("mod.dks") + " " + dir.file("CREATURE.TXT")).status, 0);
    EXPECT_EQ(test::readBytes(dir.file("CREATURE.TXT")), renderGameFile(values));
    ASSERT_EQ(cli("convert " + dir.file("CREATURE.TXT") + " " + dir.file("back.DKS")).status, 0);
    EXPECT_EQ(test::readBytes(dir.file("back.DKS")), encodeSettings(values));
    ASSERT_EQ(cli("defaults " + dir.file("factory.dks")).status, 0);
    EXPECT_EQ(test::readBytes(dir.file("factory.dks")), encodeSettings(factoryDefaults()));
    // A value the game file cannot hold is refused before anything is written.
    ValueSet negative = factoryDefaults();
    negative[4] = -5;
    test::writeBytes(dir.file("negative.dks"), encodeSettings(negative));
    EXPECT_EQ(cli("convert " + dir.file("negative.dks") + " " + dir.file("N.TXT")).status, 1);
    EXPECT_FALSE(fileio::FileExists(dir.file("N.TXT")));
}

TEST(Cli, ExportAndDiffListSlotsInRecordOrder) {
    test::TempDir dir;
    ValueSet changed = factoryDefaults();
    changed[4] = 9999;   // Wizard Health
    changed[2679] = 401; // last misc slot
    test::writeBytes(dir.file("a.dks"), encodeSettings(changed));
    ASSERT_EQ(cli("defaults " + dir.file("b.TXT")).status, 0);

    const CliRun exported = cli("export " + dir.file("a.dks"));
    ASSERT_EQ(exported.status, 0);
    EXPECT_EQ(std::count(exported.out.begin(), exported.out.end(), '\n'), 2681);
    EXPECT_EQ(exported.out.substr(0, exported.out.find('\n')),
              "record\tcategory\tkind\tslot\trow\tcolumn\tvalue\tdefault");
    EXPECT_NE(exported.out.find("\n5\tcreature\t1\t5\tCREATURE_WIZARD\tHealth\t9999\t350\n"),
              std::string::npos);
    EXPECT_NE(exported.out.find("\n2251\troom\t\t1\tROOM_ENTRANCE\tHealth\t4000\t4000\n"),
              std::string::npos);

    // The creatures side by side: a header, then a line each in the picker's order.
    const CliRun grid = cli("creatures " + dir.file("a.dks"));
    ASSERT_EQ(grid.status, 0);
    EXPECT_EQ(std::count(grid.out.begin(), grid.out.end(), '\n'), 31);
    EXPECT_EQ(grid.out.substr(0, grid.out.find("\tStrength")), "Creature\tHealth\tArmour");
    EXPECT_EQ(grid.out.find("\nImp\t75\t5\t5\t"), grid.out.find('\n'));
    EXPECT_NE(grid.out.find("\nWizard\t9999\t15\t20\t"), std::string::npos);

    const CliRun diff = cli("diff " + dir.file("a.dks") + " " + dir.file("b.TXT"));
    ASSERT_EQ(diff.status, 0);
    EXPECT_EQ(diff.out, "record\tcategory\tkind\tslot\trow\tcolumn\tvalue\tdefault\tother\n"
                        "5\tcreature\t1\t5\tCREATURE_WIZARD\tHealth\t9999\t350\t350\n"
                        "2680\tmisc\t\t28\tHEALTH_GAME_TURNS_PER_HUNGER_HEALTH_LOSS\tValue\t401\t"
                        "400\t400\n");
}

TEST(Cli, KeeperFxApplyThenReadGivesTheValues) {
    test::TempDir dir;
    const std::string game = dir.file("keeperfx");
    test::makeKeeperFxInstall(game);
    ValueSet values = factoryDefaults();
    values[4] = 1234;
    test::writeBytes(dir.file("mod.dks"), encodeSettings(values));
    const CliRun apply = cli("keeperfx-apply --mod mine " + dir.file("mod.dks") + " " + game);
    ASSERT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(apply.out, "KeeperFX mod \"mine\" applied: 1 value written in 1 file. Free play "
                         "and every campaign and map pack play the changed values, and keep their "
                         "own for every other.\n");
    const CliRun read = cli("keeperfx-read " + game + " " + dir.file("read.dks"));
    ASSERT_EQ(read.status, 0) << read.err;
    EXPECT_EQ(read.out,
              "KeeperFX rules read from fxdata and creatrs and the mods base and mine. The mod "
              "other listed in load_order.cfg is not in the mods folder, so KeeperFX skips it.\n");
    EXPECT_EQ(test::readBytes(dir.file("read.dks")), encodeSettings(values));
    EXPECT_EQ(cli("keeperfx-read " + dir.path() + " " + dir.file("none.dks")).status, 1);
    test::addKeeperFxCampaigns(game);
    const CliRun beta = cli("keeperfx-read --campaign beta " + game + " " + dir.file("beta.dks"));
    ASSERT_EQ(beta.status, 0) << beta.err;
    // The mod, loaded after the campaigns, stands over the campaign's own Health.
    EXPECT_TRUE(test::readBytes(dir.file("beta.dks")) == encodeSettings(values));
    const CliRun unknown = cli("keeperfx-read --campaign=x " + game + " " + dir.file("x.dks"));
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "KeeperFX in " + game +
                               " has no campaign or map pack \"x\"; it has alpha, beta, twin, "
                               "gamma.\n");
    // The scopes, the mod replaced each time; the campaign's Health is 700.
    const std::string mod = " --mod mine " + dir.file("mod.dks") + " " + game;
    EXPECT_EQ(cli("keeperfx-apply --under-campaigns" + mod).out,
              "KeeperFX mod \"mine\" applied: 1 value written in 1 file. Free play plays every "
              "changed value. Campaigns and map packs that set a value themselves keep their own "
              "there: campaign Beta Deep keeps 1 value.\n");
    EXPECT_EQ(cli("keeperfx-apply --campaign BETA" + mod).out,
              "KeeperFX mod \"mine\" applied: 1 value written in 1 file. The changed values are "
              "played with the rules of campaign Beta Deep. Free play and the other campaigns and "
              "map packs play as before. 1 map sets some of the changed values again in its own "
              "files, and on such a map its own rules win: campaign Beta Deep level 3.\n");
    const CliRun none = cli("keeperfx-apply --campaign nope" + mod);
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "KeeperFX in " + game +
                            " has no campaign or map pack \"nope\"; it has alpha, beta, twin, "
                            "gamma. KeeperFX's files have not been changed.\n");
}

} // namespace
} // namespace tavrel
