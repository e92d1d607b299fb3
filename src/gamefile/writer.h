#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fileio.h"
#include "core/settings_store.h"

namespace tavrel {

// The complete CREATURE.TXT for a set of values.
std::string renderGameFile(const ValueSet& values);

enum class ApplyOutcome {
    Applied,     // CREATURE.TXT (and DD1CREAT.TXT when present) replaced
    GameMissing, // no CREATURE.TXT: nothing written
    Failed,      // CREATURE.TXT could not be replaced: no game file changed
    AddonFailed, // CREATURE.TXT replaced, DD1CREAT.TXT could not be
    Unconfirmed, // every file replaced, but the system failed to confirm it is on disk
};

struct ApplyResult {
    ApplyOutcome outcome = ApplyOutcome::Failed;
    bool addonWritten = false;
    std::optional<fileio::IoError> error;
    std::string message; // what to tell the user when not Applied
    // The slot whose value the game file cannot hold, when that refused the Apply.
    std::optional<SlotRef> refusedSlot;
    // The slots whose values the original game cannot take, when they refused the Apply.
    std::vector<SlotRef> beyondGame;
};

// Why a value cannot be applied, naming its slot as `name`.
std::string refusedValueMessage(std::int32_t value, std::string_view name);

// The first value the game file cannot hold, with the message that names its slot by the
// game file's own names; nullopt when every value can be written.
struct RefusedValue {
    SlotRef slot;
    std::string message;
};
std::optional<RefusedValue> refusedValue(const ValueSet& values);

// The slots, in record order, whose values lie above what the original game takes there
// (the bounds of editing values from the game file): values from KeeperFX, say, or from a
// settings file.
std::vector<SlotRef> beyondGame(const ValueSet& values);
// The message refusing them, naming each slot by `name`.
std::string beyondGameMessage(const ValueSet& values, const std::vector<SlotRef>& slots,
                              const std::function<std::string(SlotRef)>& name);

// Writes the game's file, and the add-on's copy when it exists, from `values`.
ApplyResult applyToGame(const std::string& installPath, const ValueSet& values);

} // namespace tavrel
