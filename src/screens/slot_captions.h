#pragma once

#include <QString>

#include "core/settings_store.h"
#include "editing/history.h"
#include "editing/value_origins.h"

namespace tavrel::screens {

// What the user reads on the screens about a slot, for texts that name a value
// outside its screen (undo, the changes overview).

// The caption of a category's screen and its menu button: "Room Settings".
QString screenCaption(Category category);
// A slot's caption as its screen shows it: "Treasury Cost", "Health".
QString slotCaption(SlotRef ref);
// Screen, creature kind where there is one, and caption:
// "Room Settings, Treasury Cost", "Creature Settings, Dragon, Health".
QString describeSlot(SlotRef ref);
// A value as its screen shows it: a creature's jobs, names and flags by their
// names ("Research, Train", "Dragon", "Yes"), every other value as its number.
QString valueText(SlotRef ref, std::int32_t value);
// Where a slot's value `now` comes from, after a KeeperFX read: "Set by: mod NAME", or
// "Edited; was 30, set by: KeeperFX default". Empty when the tables came from elsewhere.
QString originText(const ValueOrigins& origins, SlotRef ref, std::int32_t now);
// What an undo or redo of the step does: the command, or the one value it changed.
QString describeStep(const HistoryStep& step);

} // namespace tavrel::screens
