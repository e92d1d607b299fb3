#include "gamefile/config_file.h"

#include <filesystem>

#include "core/errors.h"

namespace tavrel {

std::optional<std::string> installPathFromLine(std::string_view line) {
    if (line.size() <= kInstallPathKey.size() ||
        line.substr(0, kInstallPathKey.size()) != kInstallPathKey)
        return std::nullopt;
    return std::string(line.substr(kInstallPathKey.size()));
}

std::string configContent(const std::string& installPath) {
    return std::string(kInstallPathKey) + installPath + "\r\n";
}

ConfigRead readConfigFile(const std::string& path) {
    ConfigRead result;
    if (!fileio::FileExists(path))
        return result;
    result.exists = true;
    std::string bytes;
    // Only the first line counts; a file far larger than any path is no configuration.
    if (auto error = fileio::readFile(path, bytes, std::size_t{1} << 20)) {
        result.errorNumber = error->number();
        result.error = std::move(error);
        return result;
    }
    if (bytes.empty()) {
        // Reading a line from an empty file runs past its end.
        result.errorNumber = err::InputPastEnd;
        return result;
    }
    // Files edited on Linux may end their line with LF alone.
    result.line = bytes.substr(0, bytes.find_first_of("\r\n"));
    return result;
}

fileio::Status writeConfigFile(const std::string& installPath, const std::string& path) {
    // A configuration kept in the user's application data has a folder of its own, made
    // at the first write; its parent must exist, as the system made it.
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code missing;
    if (!folder.empty() && !std::filesystem::exists(folder, missing))
        if (auto error = fileio::makeFolder(folder.string()))
            return error;
    return fileio::replaceFile(path, configContent(installPath));
}

} // namespace tavrel
