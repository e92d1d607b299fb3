#pragma once

#include "core/settings_store.h"

namespace tavrel {

// Each stores the factory values of one category into its records of `set`.
void FillCreatureDefaults(ValueSet& set);
void FillRoomDefaults(ValueSet& set);
void FillMagicDefaults(ValueSet& set);
void FillResearchDefaults(ValueSet& set);
void FillTrapDoorDefaults(ValueSet& set);
void FillAbilityDefaults(ValueSet& set);
void FillMiscDefaults(ValueSet& set);

// The values the game ships with, every slot.
const ValueSet& factoryDefaults();

} // namespace tavrel
