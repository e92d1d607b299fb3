#pragma once

#include <array>
#include <string>
#include <string_view>

#include "core/bounds.h"
#include "core/settings_store.h"

namespace tavrel {

struct CreatureKindInfo {
    std::string_view row;        // the game file's row identifier
    std::string_view screenName; // what the creature screen calls the kind
};

struct CreatureFieldInfo {
    int column;               // column of the creature rows in CREATURE.TXT
    std::string_view heading; // the column heading, stray blanks included
};

struct OtherSlotInfo {
    std::string_view row;
    std::string_view column;
};

// Everything known about one slot: where it stands in the game file and its bounds.
struct SlotInfo {
    SlotRef ref;
    int record = 0;
    std::string_view row;
    std::string_view column;
    ValueBounds bounds;
};

const CreatureKindInfo& creatureKind(int kind);
const CreatureFieldInfo& creatureField(int field);
SlotInfo slotInfo(SlotRef ref);
SlotInfo slotInfoOfRecord(int record);
// A slot by the game file's own names: the creature screen's name of the kind and the
// column heading, or the row identifier and column ("Wizard Health", "ROOM_LAIR Cost").
std::string slotName(SlotRef ref);

namespace catalogue_data {
extern const std::array<CreatureKindInfo, kCreatureKinds> kKinds;
extern const std::array<CreatureFieldInfo, kCreatureFields> kFields;
extern const std::array<OtherSlotInfo, kSlotCount - kCreatureKinds * kCreatureFields> kOthers;
} // namespace catalogue_data

} // namespace tavrel
