#include "gamefile/startup.h"

#include "core/errors.h"
#include "core/fileio.h"
#include "gamefile/config_file.h"
#include "gamefile/game_paths.h"

namespace tavrel {

namespace {

// Turns a read of the game file into what the main window shows; run-time errors
// are reported by the table of the place that called the reader.
GameLoadOutcome readOutcome(ReadStatus status, int errorNumber, bool addonPresent,
                            const std::string& installPath, MessageTable table) {
    GameLoadOutcome outcome;
    outcome.installPath = installPath;
    switch (status) {
    case ReadStatus::Accepted:
        outcome.gameFound = true;
        outcome.addonPresent = addonPresent;
        // Apply writes the game file anew beside the old one; a folder that takes no new
        // file is told now, before the user edits, not at the first Apply.
        if (auto error = fileio::probeReplace(gameFilePath(installPath, kCreatureFileName)))
            outcome.message = folderNotWritableMessage(error->path, error->reason());
        break;
    case ReadStatus::Rejected:
        outcome.message = msg::IncompatibleGameFile;
        break;
    case ReadStatus::Failed:
        outcome.errorNumber = errorNumber;
        outcome.message = errorMessage(table, errorNumber);
        break;
    }
    return outcome;
}

// Runs the reader into the store.
GameLoadOutcome loadGame(SettingsStore& store, const std::string& installPath, MessageTable table) {
    const GameReadResult read = readGame(installPath, store);
    return readOutcome(read.status, read.errorNumber, read.addonPresent, installPath, table);
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

bool holdsGame(const std::string& folder) {
    return fileio::FileExists(gameFilePath(folder, kCreatureFileName));
}

namespace {

// The steps before a folder's game is read: it holds the game, its name fits
// Tavrel.cfg, and the game file can be changed.
bool takeFolder(const std::string& folder, LocateOutcome& outcome) {
    if (!holdsGame(folder))
        return false;
    outcome.gameInFolder = true;
    // Tavrel.cfg holds the folder on one line: a line break in the name would be read
    // back as another folder, and the next start-up would silently find no game.
    if (folder.find_first_of("\r\n") != std::string::npos) {
        outcome.load.message = msg::FolderNameHasLineBreak;
        return false;
    }
    if (auto error = fileio::setAttributesNormal(gameFilePath(folder, kCreatureFileName))) {
        outcome.load = failure(MessageTable::LocateDialog, error->number());
        return false;
    }
    return true;
}

// Writes Tavrel.cfg for the folder. Only an unwritable configuration lets the find go
// on: the game is used for this run without being remembered.
bool rememberFolder(const std::string& folder, const std::string& configPath,
                    LocateOutcome& outcome) {
    const fileio::Status error = writeConfigFile(folder, configPath);
    if (!error)
        return true;
    outcome.configMessage = error->message(MessageTable::Configuration);
    return error->number() == err::PathFileAccess;
}

} // namespace

LocateOutcome locateGame(const std::string& folder, SettingsStore& store, EditorState& state,
                         const std::string& configPath) {
    LocateOutcome outcome;
    if (!takeFolder(folder, outcome))
        return outcome;
    state.InstallPath = folder;
    if (!rememberFolder(folder, configPath, outcome))
        return outcome;
    outcome.hideDialog = true;
    // The read's own failures are told as start-up tells them: Tavrel.cfg is written by
    // now (or its failure already shown), and a read error is no reason to blame it.
    outcome.load = loadGame(store, folder, MessageTable::StartUp);
    // A reader error leaves the dialog hidden but loaded, so Locate shows it again.
    outcome.closeDialog = outcome.load.gameFound || !outcome.load.errorNumber;
    return outcome;
}

LocateOutcome switchGame(const std::string& folder, SettingsStore& store, EditorState& state,
                         const std::string& configPath) {
    LocateOutcome outcome;
    if (!takeFolder(folder, outcome))
        return outcome;
    // Read before anything changes: a file the reader refuses leaves the game in use
    // as it was, with its folder in Tavrel.cfg, and the dialog open for another try.
    const GameFileRead read =
        readGameFileAt(gameFilePath(folder, kCreatureFileName), store.defaults());
    if (read.status != ReadStatus::Accepted) {
        outcome.load =
            readOutcome(read.status, read.errorNumber, false, folder, MessageTable::StartUp);
        return outcome;
    }
    if (!rememberFolder(folder, configPath, outcome))
        return outcome;
    state.InstallPath = folder;
    store.fill(read.values, "Dungeon Keeper Location", RulesOrigin::GameFile);
    outcome.hideDialog = outcome.closeDialog = true;
    outcome.load =
        readOutcome(read.status, 0, fileio::FileExists(gameFilePath(folder, kAddonFileName)),
                    folder, MessageTable::StartUp);
    return outcome;
}

} // namespace tavrel
