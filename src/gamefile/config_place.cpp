#include "gamefile/config_place.h"

#include "core/fileio.h"
#include "gamefile/config_file.h"

namespace tavrel {

std::string configFilePath(const ConfigPlaceFacts& facts) {
    const std::string besideProgram = fileio::joinPath(facts.programFolder, kConfigFileName);
    if (!facts.windows || (facts.programFolder.empty() && facts.appData.empty()))
        return std::string(kConfigFileName);
    if (!facts.installed && facts.programFolderWritable && !facts.programFolder.empty())
        return besideProgram;
    // Without an application-data folder the program's own is the only place left.
    if (facts.appData.empty())
        return besideProgram;
    return fileio::joinPath(fileio::joinPath(facts.appData, "Tavrel"), kConfigFileName);
}

ConfigPlaceFacts runningConfigPlace() {
    ConfigPlaceFacts facts;
    facts.windows = fileio::onWindows();
    if (!facts.windows)
        return facts;
    facts.programFolder = fileio::programFolder();
    facts.appData = fileio::environmentVariable("APPDATA").value_or(std::string());
    if (!facts.programFolder.empty()) {
        facts.installed =
            fileio::FileExists(fileio::joinPath(facts.programFolder, kInstalledMarkerName));
        // A real write tells the truth about access lists and write-protected media.
        facts.programFolderWritable =
            !facts.installed &&
            !fileio::probeReplace(fileio::joinPath(facts.programFolder, kConfigFileName));
    }
    return facts;
}

} // namespace tavrel
