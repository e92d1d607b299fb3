#include "editing/game_choice.h"

#include <filesystem>

namespace tavrel {

std::string gameChoicePath(const std::string& configPath) {
    const std::string folder = fileio::utf8Of(fileio::pathOf(configPath).parent_path());
    return folder.empty() ? std::string(kGameChoiceFileName)
                          : fileio::joinPath(folder, kGameChoiceFileName);
}

std::string readGameChoice(const std::string& path) {
    std::string bytes;
    // One short line; anything far larger is no choice of this editor's.
    if (!fileio::FileExists(path) || fileio::readFile(path, bytes, std::size_t{1} << 16))
        return {};
    const std::string line = bytes.substr(0, bytes.find_first_of("\r\n"));
    if (line.compare(0, kGameChoiceKey.size(), kGameChoiceKey) != 0)
        return {};
    return line.substr(kGameChoiceKey.size());
}

fileio::Status writeGameChoice(const std::string& path, std::string_view name) {
    return fileio::replaceFile(path, std::string(kGameChoiceKey) + std::string(name) + "\r\n");
}

} // namespace tavrel
