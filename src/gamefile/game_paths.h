#pragma once

#include <string>
#include <string_view>

namespace tavrel {

inline constexpr std::string_view kDataFolderName = "Data";
inline constexpr std::string_view kCreatureFileName = "CREATURE.TXT";
inline constexpr std::string_view kAddonFileName = "DD1CREAT.TXT";

// Path of a file in the game's Data folder. A copy of the game on a case-sensitive
// file system may spell the folder or the file in any case ("DATA/creature.txt");
// the names found on disk are used, the canonical ones when nothing exists yet.
std::string gameFilePath(const std::string& installPath, std::string_view fileName);

// Whether the folder holds KeeperFX (keeperfx.exe or an fxdata folder, in any letter
// case), which takes its rules from files of its own and never reads CREATURE.TXT.
bool holdsKeeperFx(const std::string& installPath);
inline constexpr std::string_view kKeeperFxWarning =
    "This folder holds KeeperFX, which does not read CREATURE.TXT: values applied here only "
    "take effect when the original game runs from this folder.";

// The welcome label's text after a successful read.
std::string_view foundText(bool addonPresent);

// The installation folder as the location label shows it: first character upper case.
std::string locationText(const std::string& installPath);

} // namespace tavrel
