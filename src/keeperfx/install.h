#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fileio.h"
#include "core/settings_store.h"

namespace tavrel::keeperfx {

inline constexpr std::string_view kDefaultModName = "tavrel";

// What the editor tells a player whose game folder holds KeeperFX, once at start-up.
inline constexpr std::string_view kStartUpMessage =
    "This folder holds KeeperFX, which does not read CREATURE.TXT. Apply Changes writes "
    "CREATURE.TXT, which only the original game reads. Apply to KeeperFX, in the KeeperFX "
    "menu, writes the values as the KeeperFX mod mods/tavrel, which KeeperFX plays free play "
    "with; Read KeeperFX Rules shows the values KeeperFX plays with now.";

// Whether the folder holds KeeperFX: its fxdata and creatrs folders, in any letter case.
bool holdsKeeperFxRules(const std::string& installPath);

// The names an apply takes: a name KeeperFX loads as written in load_order.cfg that is
// also a folder name on Windows and Linux. Names Windows keeps for devices are refused
// by the apply itself.
inline constexpr std::string_view kModNameRule =
    "a mod name KeeperFX loads and Windows and Linux can hold as a folder: 1 to 63 "
    "printable ASCII characters without / \\ : * ? \" < > |, not starting with a blank, "
    "'.', ';' or '[', not ending with a blank or '.'";
bool isValidModName(std::string_view name);

// Whether the reader follows a name listed in load_order.cfg: every name KeeperFX loads
// but one that would lead out of the mods folder.
bool isReadableModName(std::string_view name);

// The values KeeperFX plays free play with.
struct RulesRead {
    bool ok = false;
    std::string message; // why nothing was read
    ValueSet values{};
    std::vector<std::string> mods;  // the [after_base] mods read, in order
    std::vector<std::string> notes; // listed mods that are not there
    // Slots whose place KeeperFX leaves empty or fills with a word the editor has no value
    // for; they keep the factory value.
    std::vector<int> unread;
    // Where the values came from, for the status line.
    std::string status() const;
};
RulesRead readRules(const std::string& installPath);

// What applying the values as a KeeperFX mod did.
struct ModApply {
    bool ok = false;
    std::string message;                // on failure: what failed, and that nothing changed
    std::optional<SlotRef> refusedSlot; // the value that has no KeeperFX words, if that refused it
    std::optional<fileio::IoError> error;
    int valuesWritten = 0;
    int filesWritten = 0;
    std::string summary;            // on success: what was written where
    std::vector<std::string> notes; // values written to no effect, or not written at all
    std::string status() const;     // the summary and the notes
};

// The message refusing a value without KeeperFX words, naming its slot as `name`.
std::string refusedModValueMessage(std::int32_t value, std::string_view name);

// Writes GAMEDIR/mods/NAME/ so that KeeperFX's free-play values equal `values` wherever a
// slot has a KeeperFX place, and enables it as the last [after_base] mod of
// mods/load_order.cfg. The previous mods/NAME/ is replaced as a whole, but only when this
// editor wrote it: any other entry of that name, in any letter case, is refused. On
// failure the old mod and load_order.cfg stay as they were. One apply at a time: a second
// one, from another program, is refused while the first runs.
ModApply applyMod(const std::string& installPath, const ValueSet& values,
                  std::string_view modName = kDefaultModName);

} // namespace tavrel::keeperfx
