#pragma once

#include <map>
#include <string>
#include <vector>

namespace tavrel {

// What the finder looks at: the system's kind and its environment variables
// (ProgramFiles, ProgramFiles(x86), SystemDrive, LOCALAPPDATA, USERPROFILE, HOME,
// XDG_DATA_HOME, WINEPREFIX). `root`, when set, stands in front of every absolute
// path, a drive letter becoming a folder of that letter: a fake tree for tests.
struct FinderEnvironment {
    bool windows = false;
    std::map<std::string, std::string> variables;
    std::string root;
};

// A folder that holds the game, with a few words saying what it is ("GOG", "Steam",
// "KeeperFX", "GOG, Wine prefix ~/.wine").
struct FoundGame {
    std::string folder;
    std::string label;
};

// The folders in the usual install places of the GOG and Steam editions and of
// KeeperFX (on Linux: the Steam library and Wine prefixes) that hold Data/CREATURE.TXT,
// each once, in the order of the places. It only offers: the user chooses.
std::vector<FoundGame> findGames(const FinderEnvironment& environment);

// The running program's own environment.
FinderEnvironment runningFinderEnvironment();

} // namespace tavrel
