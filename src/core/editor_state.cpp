#include "core/editor_state.h"

#include <cstddef>

namespace tavrel {

const std::array<std::string_view, kTipCount>& EditorTips() {
    static constexpr std::array<std::string_view, kTipCount> tips = {
        "All of the changes made to Dungeon Keeper using this editor only take effect when a level "
        "is played from the beginning. When you save your game all of the settings applied to the "
        "game are saved with it.",
        "Remember that setting some values too high or too low may cause the game to become "
        "unstable or crash. Always test your changes.",
        "If you have changed some of the settings in the game, and then installed the Deeper "
        "Dungeons add-on pack, you may need to apply the changes again to prevent the game from "
        "crashing.",
        "Setting the health attribute of any creature higher than 7500 is not recommended.",
        "If you change the dig damage attribute (under the ability settings) too high, you will be "
        "able to dig through gems when the creature is possessed.",
        "One second of time is approximately 20 units of time in the game.",
        "Remember that the onscreen timers in the game display half the amount of time specified. "
        "For example, if the countdown time for the 'Hold Audience' spell is 500, the timer will "
        "countdown from 250. (Approximately 25 seconds in real time.)",
        "The creature abilities (under the creature settings) which appear in red can be used but "
        "are not fully supported by the game.",
        "The (P) at the end of the creature abilities (under the creature settings) means that the "
        "ability is a projectile.",
        "Although this is nothing to do with the editor, when creating level scripts for Dungeon "
        "Keeper, the AI (computer players) will not work correctly if they do not have the Create "
        "Imp spell available.",
        "Compare Creatures (in the View menu, or on the Creatures window) shows the values of all "
        "creatures side by side, as in a spreadsheet. Select some cells and choose Scale to change "
        "them all by a percentage.",
        "Cells copied in Compare Creatures with Ctrl+C can be pasted into a spreadsheet, and cells "
        "copied from a spreadsheet can be pasted back with Ctrl+V. The status line says how many "
        "values changed and which cells were refused.",
        "Values can also be changed with the keyboard: Tab moves from value to value, Up and Down "
        "change a value by 1, Page Up and Page Down by 10, and with Shift held by 100 and 1000. "
        "Enter types a value, and Ctrl+Z undoes a change.",
        "KeeperFX does not read CREATURE.TXT. To play your changes in KeeperFX, choose Apply to "
        "KeeperFX in the KeeperFX menu, which writes them as a mod. Read KeeperFX Rules shows the "
        "values KeeperFX uses now.",
    };
    return tips;
}

std::string_view tipText(int tip) {
    return EditorTips()[static_cast<std::size_t>(tip - 1)];
}

const std::array<std::uint8_t, kCreatureStatRows>& CreatureStatFields() {
    static constexpr std::array<std::uint8_t, kCreatureStatRows> fields = {
        5,  7,  6,  10, 8,  12, 11, 9,  21, 59, // Health .. Research Value
        61, 18, 26, 27, 28, 29, 30, 31, 32, 33, // Manufacture, Scavenge, To Level (2..9)
        34, 36, 49, 50, 51, 52, 53, 54, 55, 56, // To Level (10), Grow Up Level, Power Level 1..8
        57, 58, 60, 23, 22, 25, 66, 67, 68, 70, // Power Level 9, 10, Pay .. Slaps To Kill
        16, 20, 19, 69, 24, 62, 74, 17, 13, 14, // Lair Size .. Hunger Fill
    };
    return fields;
}

int creatureStatField(int row) {
    return CreatureStatFields()[static_cast<std::size_t>(row - 1)];
}

int creatureStatRow(int field) {
    for (int row = 1; row <= kCreatureStatRows; ++row)
        if (creatureStatField(row) == field)
            return row;
    return 0;
}

} // namespace tavrel
