#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings_store.h"

namespace tavrel {

inline constexpr int kTipCount = 14;
inline constexpr int kCreatureStatRows = 50;

// The help tips, 1-based through tipText.
const std::array<std::string_view, kTipCount>& EditorTips();
std::string_view tipText(int tip);

// For stat row i (1..50) of the creature screen, the creature field it shows.
const std::array<std::uint8_t, kCreatureStatRows>& CreatureStatFields();
int creatureStatField(int row);
// The stat row that shows a creature field, or 0 for a field shown by another control.
int creatureStatRow(int field);

// Program-wide editor state shared by the windows; one instance lives beside the
// SettingsStore for the whole run.
struct EditorState {
    int SelectedCreature = 1;
    bool CreatureScreenOpen = false;
    bool CreatureScreenUpdating = false;
    std::array<int, 2> AbilityPickTarget{1, 1}; // kind, power slot 1..10
    SlotRef InputTarget{}; // no valid slot until the first plain click on a value
    std::int32_t InputLastValue = 0;
    // The manual input dialog's two texts. They live here, not in the window, so that
    // the dialog can be kept in step while it is closed; closing it puts both back
    // to "0", as a freshly opened dialog starts.
    std::string InputText = "0";
    std::string InputCurrentValue = "0";
    int CurrentTip = 1;
    std::string ConfigLine;
    std::string InstallPath;

    // Back to the state the main window starts from.
    void reset() { *this = EditorState{}; }
};

} // namespace tavrel
