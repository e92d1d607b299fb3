#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/fileio.h"

namespace tavrel {

inline constexpr std::string_view kConfigFileName = "Tavrel.cfg";
inline constexpr std::string_view kInstallPathKey = "INSTALL_PATH=";

// The install folder named by a configuration line, when the line holds the key
// (exact case) and something after it.
std::optional<std::string> installPathFromLine(std::string_view line);

// The configuration file's whole content for an install folder.
std::string configContent(const std::string& installPath);

struct ConfigRead {
    bool exists = false;
    std::string line; // the first line, without its line end
    std::optional<fileio::IoError> error;
    int errorNumber = 0; // 62 for an empty file, else from the I/O error
};

// Reads the first line of the configuration file when it exists.
ConfigRead readConfigFile(const std::string& path = std::string(kConfigFileName));

// Replaces the configuration file with the one line for `installPath`.
fileio::Status writeConfigFile(const std::string& installPath,
                               const std::string& path = std::string(kConfigFileName));

} // namespace tavrel
