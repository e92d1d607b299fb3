#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "gamefile/config_file.h"
#include "gamefile/config_place.h"
#include "gamefile/game_finder.h"
#include "test_support.h"

using namespace tavrel;

namespace {

struct TreeCase {
    const char* name;
    bool windows;
    std::map<std::string, std::string> variables;
    std::vector<std::string> games;                         // folders given Data/CREATURE.TXT
    std::vector<std::pair<std::string, std::string>> files; // other files and their content
    std::vector<std::pair<std::string, std::string>> links; // link, target
    std::vector<std::string> offered;                       // "folder | label", below the root
};

// Steam's list as it is today: every library with the sizes of its games by number.
std::string steamList(const std::vector<std::string>& libraries) {
    std::string text = "\"libraryfolders\"\n{\n";
    for (std::size_t i = 0; i < libraries.size(); ++i) {
        text += "\"" + std::to_string(i) + "\" { \"path\" \"" + libraries[i] + "\" \"apps\" {";
        for (int app = 0; app < 20; ++app)
            text += " \"" + std::to_string(1996630 + app) + "\" \"368431993\"";
        text += " } }\n";
    }
    return text + "}\n";
}

const std::string kHugeList = "\"path\" \"E:\\\\Big\"" + std::string(70000, ' ');

const TreeCase kTrees[] = {
    {"windows",
     true,
     {{"SystemDrive", "C:"},
      {"ProgramFiles", "C:\\Program Files"},
      {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
      {"USERPROFILE", "C:\\Users\\Ann"}},
     {"C/GOG Games/Dungeon Keeper Gold", "C/GOG Games/Dungeon Keeper Gold/KeeperFX",
      "C/Program Files (x86)/Steam/steamapps/common/Dungeon Keeper",
      "D/SteamLibrary/steamapps/common/Dungeon Keeper Gold",
      "E/Big/steamapps/common/Dungeon Keeper", "C/KeeperFX", "C/Users/Ann/Games/KeeperFX"},
     {{"C/GOG Games/Dungeon Keeper 2/Data/SETTINGS.TXT", ""},
      {"C/Program Files (x86)/GOG Galaxy/Games/Dungeon Keeper Gold/DATA/creature.txt", "1"},
      {"D/SteamLibrary/steamapps/common/Dungeon Keeper Gold/keeperfx.exe", ""},
      // Steam lists its own folder too, here once more in another letter case.
      {"C/Program Files (x86)/Steam/steamapps/libraryfolders.vdf",
       "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"C:\\\\Program Files "
       "(x86)\\\\Steam\"\n"
       "\t}\n\t\"1\" { \"path\" \"D:\\\\SteamLibrary\" }\n\t\"2\" { \"path\" "
       "\"c:\\\\program files (x86)\\\\steam\" }\n}\n"},
      {"C/Program Files/Steam/steamapps/libraryfolders.vdf", kHugeList}},
     {},
     {"C/GOG Games/Dungeon Keeper Gold | GOG",
      "C/Program Files (x86)/GOG Galaxy/Games/Dungeon Keeper Gold | GOG",
      "C/GOG Games/Dungeon Keeper Gold/KeeperFX | KeeperFX",
      "C/Program Files (x86)/Steam/steamapps/common/Dungeon Keeper | Steam",
      "D/SteamLibrary/steamapps/common/Dungeon Keeper Gold | Steam with KeeperFX",
      "C/KeeperFX | KeeperFX", "C/Users/Ann/Games/KeeperFX | KeeperFX"}},
    {"linux",
     false,
     {{"HOME", "/home/ann"}, {"WINEPREFIX", "/home/ann/Games/dk"}},
     {"home/ann/.local/share/Steam/steamapps/common/Dungeon Keeper",
      "mnt/games/SteamLibrary/steamapps/common/Dungeon Keeper Gold",
      "home/ann/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/common/Dungeon "
      "Keeper",
      "home/ann/.wine/drive_c/GOG Games/Dungeon Keeper Gold",
      "home/ann/.wine/drive_c/Program Files (x86)/Steam/steamapps/common/Dungeon Keeper",
      "home/ann/Games/dk/drive_c/KeeperFX",
      "home/ann/games-disc/SteamLibrary/steamapps/common/"
      "Dungeon Keeper"},
     {{"home/ann/.local/share/Steam/steamapps/libraryfolders.vdf",
       steamList({"/home/ann/.local/share/Steam", "/mnt/games/SteamLibrary"})},
      {"home/ann/.wine/drive_c/Program Files (x86)/Steam/steamapps/libraryfolders.vdf",
       "\"LibraryFolders\" { \"1\" \"G:\\\\SteamLibrary\" }"}},
     {{"home/ann/.steam/steam", "../.local/share/Steam"},
      {"home/ann/.wine/dosdevices/g:", "../../games-disc"}},
     {"home/ann/.local/share/Steam/steamapps/common/Dungeon Keeper | Steam",
      "mnt/games/SteamLibrary/steamapps/common/Dungeon Keeper Gold | Steam",
      "home/ann/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/common/Dungeon "
      "Keeper | Steam",
      "home/ann/Games/dk/drive_c/KeeperFX | KeeperFX, Wine prefix ~/Games/dk",
      "home/ann/.wine/drive_c/GOG Games/Dungeon Keeper Gold | GOG, Wine prefix ~/.wine",
      "home/ann/.wine/drive_c/Program Files (x86)/Steam/steamapps/common/Dungeon Keeper | Steam, "
      "Wine prefix ~/.wine",
      "home/ann/games-disc/SteamLibrary/steamapps/common/Dungeon Keeper | Steam, Wine prefix "
      "~/.wine"}},
    {"nothing", false, {{"HOME", "/home/ann"}}, {}, {}, {}, {}},
};

TEST(GameFinder, OffersTheGamesOfTheUsualPlacesInOrder) {
    for (const TreeCase& tree : kTrees) {
        SCOPED_TRACE(tree.name);
        if (!tree.links.empty() && fileio::onWindows())
            continue; // the links stand for those of a Linux home
        test::TempDir dir;
        for (const std::string& game : tree.games)
            test::makeGameFolder(dir.file(game), "1 2 3");
        for (const auto& file : tree.files) {
            test::makeFolders(std::filesystem::path(dir.file(file.first)).parent_path().string());
            test::writeBytes(dir.file(file.first), file.second);
        }
        for (const auto& link : tree.links) {
            test::makeFolders(std::filesystem::path(dir.file(link.first)).parent_path().string());
            std::filesystem::create_directory_symlink(link.second, dir.file(link.first));
        }
        FinderEnvironment environment{tree.windows, tree.variables, dir.path()};
        std::vector<std::string> offered;
        for (const FoundGame& found : findGames(environment)) {
            std::string folder = found.folder.substr(dir.path().size() + 1);
            std::replace(folder.begin(), folder.end(), '\\', '/');
            offered.push_back(folder + " | " + found.label);
        }
        EXPECT_EQ(offered, tree.offered);
    }
}

TEST(ConfigPlace, PortableBesideTheProgramInstalledInApplicationData) {
    struct Case {
        ConfigPlaceFacts facts;
        std::string path;
    };
    const Case cases[] = {
        {{false, "/opt/tavrel", false, true, "/home/ann"}, "Tavrel.cfg"},
        {{true, "D:\\Tavrel", false, true, "C:\\Users\\Ann\\AppData\\Roaming"},
         "D:/Tavrel/Tavrel.cfg"},
        {{true, "E:\\Tavrel", false, false, "C:\\Users\\Ann\\AppData\\Roaming"},
         "C:/Users/Ann/AppData/Roaming/Tavrel/Tavrel.cfg"},
        {{true, "C:\\Program Files\\Tavrel", true, true, "C:\\Users\\Ann\\AppData\\Roaming"},
         "C:/Users/Ann/AppData/Roaming/Tavrel/Tavrel.cfg"},
    };
    for (const Case& c : cases) {
        std::string path = configFilePath(c.facts);
        std::replace(path.begin(), path.end(), '\\', '/');
        EXPECT_EQ(path, c.path) << c.facts.programFolder;
    }
}

TEST(ConfigPlace, TheFolderOfItsOwnIsMadeAtTheFirstWrite) {
    test::TempDir dir;
    const std::string config = fileio::joinPath(dir.file("Tavrel"), "Tavrel.cfg");
    EXPECT_FALSE(writeConfigFile("C:\\Games\\Keeper", config));
    EXPECT_EQ(test::readBytes(config), "INSTALL_PATH=C:\\Games\\Keeper\r\n");
}

} // namespace
