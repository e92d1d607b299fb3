#include "gamefile/game_paths.h"

#include <cctype>

#include "core/fileio.h"

namespace tavrel {

std::string gameFilePath(const std::string& installPath, std::string_view fileName) {
    // The usual spelling needs no folder listing: where it names a file, a search would
    // have preferred that exact match anyway.
    std::string usual = fileio::joinPath(fileio::joinPath(installPath, kDataFolderName), fileName);
    if (fileio::FileExists(usual))
        return usual;
    const std::string data =
        fileio::findEntry(installPath, kDataFolderName).value_or(std::string(kDataFolderName));
    const std::string folder = fileio::joinPath(installPath, data);
    const std::string file = fileio::findEntry(folder, fileName).value_or(std::string(fileName));
    return fileio::joinPath(folder, file);
}

bool holdsKeeperFx(const std::string& installPath) {
    if (const auto exe = fileio::findEntry(installPath, "keeperfx.exe"))
        if (fileio::FileExists(fileio::joinPath(installPath, *exe)))
            return true;
    if (const auto data = fileio::findEntry(installPath, "fxdata"))
        return fileio::isFolder(fileio::joinPath(installPath, *data));
    return false;
}

std::string_view foundText(bool addonPresent) {
    return addonPresent ? "Dungeon Keeper and the Deeper Dungeons found." : "Dungeon Keeper found.";
}

std::string locationText(const std::string& installPath) {
    std::string text = installPath;
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

} // namespace tavrel
