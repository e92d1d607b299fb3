#include "core/catalogue.h"

#include <cstddef>

namespace tavrel {

const CreatureKindInfo& creatureKind(int kind) {
    return catalogue_data::kKinds[static_cast<std::size_t>(kind - 1)];
}

const CreatureFieldInfo& creatureField(int field) {
    return catalogue_data::kFields[static_cast<std::size_t>(field - 1)];
}

SlotInfo slotInfo(SlotRef ref) {
    SlotInfo info;
    info.ref = ref;
    info.record = recordOf(ref);
    info.bounds = boundsOf(ref);
    if (ref.category == Category::Creature) {
        info.row = creatureKind(ref.kind).row;
        info.column = creatureField(ref.slot).heading;
    } else {
        const auto& other = catalogue_data::kOthers[static_cast<std::size_t>(
            info.record - 1 - recordOffset(Category::Room))];
        info.row = other.row;
        info.column = other.column;
    }
    return info;
}

SlotInfo slotInfoOfRecord(int record) {
    return slotInfo(slotOfRecord(record));
}

std::string slotName(SlotRef ref) {
    const SlotInfo info = slotInfo(ref);
    const std::string_view first =
        ref.category == Category::Creature ? creatureKind(ref.kind).screenName : info.row;
    return std::string(first) + " " + std::string(info.column);
}

} // namespace tavrel
