#include "gamefile/startup.h"

#include "core/errors.h"
#include "core/fileio.h"
#include "gamefile/config_file.h"
#include "gamefile/game_paths.h"

namespace tavrel {

namespace {

// Runs the reader and turns its result into what the main window shows; run-time
// errors are reported by the table of the place that called it.
GameLoadOutcome loadGame(SettingsStore& store, const std::string& installPath, MessageTable table) {
    GameLoadOutcome outcome;
    outcome.installPath = installPath;
    const GameReadResult read = readGame(installPath, store);
    switch (read.status) {
    case ReadStatus::Accepted:
        outcome.gameFound = true;
        outcome.addonPresent = read.addonPresent;
        // Apply writes the game file anew beside the old one; a folder that takes no new
        // file is told now, before the user edits, not at the first Apply.
        if (auto error = fileio::probeReplace(gameFilePath(installPath, kCreatureFileName)))
            outcome.message = folderNotWritableMessage(error->path, error->reason());
        break;
    case ReadStatus::Rejected:
        outcome.message = msg::IncompatibleGameFile;
        break;
    case ReadStatus::Failed:
        outcome.errorNumber = read.errorNumber;
        outcome.message = errorMessage(table, read.errorNumber);
        break;
    }
    return outcome;
}

GameLoadOutcome failure(MessageTable table, int number) {
    GameLoadOutcome outcome;
    outcome.errorNumber = number;
    outcome.message = errorMessage(table, number);
    return outcome;
}

} // namespace

GameLoadOutcome runStartup(SettingsStore& store, EditorState& state,
                           const std::string& configPath) {
    state.reset();
    const ConfigRead config = readConfigFile(configPath);
    if (config.error && config.error->tooLarge()) {
        GameLoadOutcome outcome;
        outcome.message = msg::ConfigFileTooLarge;
        return outcome;
    }
    if (config.errorNumber != 0)
        return failure(MessageTable::StartUp, config.errorNumber);
    if (!config.exists)
        return {};
    state.ConfigLine = config.line;
    const auto installPath = installPathFromLine(config.line);
    if (!installPath)
        return {};
    state.InstallPath = *installPath;
    const std::string gameFile = gameFilePath(state.InstallPath, kCreatureFileName);
    if (!fileio::FileExists(gameFile))
        return {};
    if (auto error = fileio::setAttributesNormal(gameFile))
        return failure(MessageTable::StartUp, error->number());
    return loadGame(store, state.InstallPath, MessageTable::StartUp);
}

LocateOutcome locateGame(const std::string& folder, SettingsStore& store, EditorState& state,
                         const std::string& configPath) {
    LocateOutcome outcome;
    const std::string gameFile = gameFilePath(folder, kCreatureFileName);
    if (!fileio::FileExists(gameFile))
        return outcome;
    outcome.gameInFolder = true;
    // Tavrel.cfg holds the folder on one line: a line break in the name would be read
    // back as another folder, and the next start-up would silently find no game.
    if (folder.find_first_of("\r\n") != std::string::npos) {
        outcome.load.message = msg::FolderNameHasLineBreak;
        return outcome;
    }
    state.InstallPath = folder;
    if (auto error = fileio::setAttributesNormal(gameFile)) {
        outcome.load = failure(MessageTable::LocateDialog, error->number());
        return outcome;
    }
    if (auto error = writeConfigFile(folder, configPath)) {
        const int number = error->number();
        outcome.configMessage = error->message(MessageTable::Configuration);
        // Only an unwritable configuration lets the find go on: the game is used
        // for this run without being remembered.
        if (number != err::PathFileAccess)
            return outcome;
    }
    outcome.hideDialog = true;
    // The read's own failures are told as start-up tells them: Tavrel.cfg is written by
    // now (or its failure already shown), and a read error is no reason to blame it.
    outcome.load = loadGame(store, folder, MessageTable::StartUp);
    // A reader error leaves the dialog hidden but loaded, so Locate shows it again.
    outcome.closeDialog = outcome.load.gameFound || !outcome.load.errorNumber;
    return outcome;
}

} // namespace tavrel
