#pragma once

#include <optional>
#include <string>

#include "core/editor_state.h"
#include "core/settings_store.h"
#include "gamefile/reader.h"

namespace tavrel {

// What the main window has to show after its start-up or after a locate.
struct GameLoadOutcome {
    bool gameFound = false; // the game was read: switch to the ready state
    bool addonPresent = false;
    std::string installPath;            // as configured (the location label capitalises it)
    int errorNumber = 0;                // when a numbered message is due
    std::optional<std::string> message; // the one message box to show, if any
};

// The main window's load sequence after the window itself exists: editor state,
// then Tavrel.cfg, then the game file. The factory values are already in the store.
GameLoadOutcome runStartup(SettingsStore& store, EditorState& state,
                           const std::string& configPath = "Tavrel.cfg");

// What the locate dialog does when the viewed folder changes.
struct LocateOutcome {
    bool gameInFolder = false;                // the folder holds Data/CREATURE.TXT
    bool hideDialog = false;                  // the dialog hides (the configuration step is over)
    bool closeDialog = false;                 // the dialog unloads (the find completed)
    GameLoadOutcome load;                     // gameFound when the main window turns ready
    std::optional<std::string> configMessage; // shown before the read's own message
};

// Whether the folder holds the game's rules file.
bool holdsGame(const std::string& folder);

// The first game of the run, found in the locate dialog: Tavrel.cfg is written before
// the read, so the folder is remembered even when its file is refused.
LocateOutcome locateGame(const std::string& folder, SettingsStore& store, EditorState& state,
                         const std::string& configPath = "Tavrel.cfg");

// Another game folder while a game is read: it replaces the game in use only when its
// file is read, and only then does Tavrel.cfg name it.
LocateOutcome switchGame(const std::string& folder, SettingsStore& store, EditorState& state,
                         const std::string& configPath = "Tavrel.cfg");

} // namespace tavrel
