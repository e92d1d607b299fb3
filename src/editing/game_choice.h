#pragma once

#include <string>
#include <string_view>

#include "core/fileio.h"

namespace tavrel {

// The KeeperFX campaign or map pack the editor reads as, remembered from one run to the
// next in a file of its own beside the configuration file: Tavrel.cfg keeps its one
// line, which other tools read, and a copy of the editor carried on a stick keeps its
// choice with it.
inline constexpr std::string_view kGameChoiceFileName = "TavrelKeeperFX.cfg";
inline constexpr std::string_view kGameChoiceKey = "KEEPERFX_GAME=";

// The choice file beside the configuration file `configPath`.
std::string gameChoicePath(const std::string& configPath);
// The campaign or map pack named there; empty for free play, which is also what a
// missing or unreadable file means.
std::string readGameChoice(const std::string& path);
// Remembers `name`; empty for free play.
fileio::Status writeGameChoice(const std::string& path, std::string_view name);

} // namespace tavrel
