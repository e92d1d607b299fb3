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

// The welcome label's text after a successful read.
std::string_view foundText(bool addonPresent);

// The installation folder as the location label shows it: first character upper case.
std::string locationText(const std::string& installPath);

} // namespace tavrel
