#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// Writes the game's file, and the add-on's copy when it exists, from `values`.
ApplyResult applyToGame(const std::string& installPath, const ValueSet& values);

} // namespace tavrel
