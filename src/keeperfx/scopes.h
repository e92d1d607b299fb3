#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/settings_store.h"
#include "keeperfx/install.h"
#include "keeperfx/layers.h"

namespace tavrel::keeperfx {

// The comment on top of every config file of the editor's mods.
inline constexpr std::string_view kModComment =
    "Written by Tavrel: only the values that differ from the rules KeeperFX plays with.";

// What an apply in one scope writes, and what KeeperFX will then play: made before anything
// is written, from the files as they are.
struct ModPlan {
    std::string failure;   // why no mod can be made; nothing else is set then
    ModOrder order;        // the mods of load_order.cfg without this one
    std::string loadOrder; // load_order.cfg's new text, with the mod in its block
    // The mod's config files below mods/NAME ('/' separated) and their text.
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<int> changed; // records that differ from what is played without the mod
    int foreignKept = 0;      // unchanged slots whose KeeperFX words the editor has no value for
    std::vector<KeptValues> kept;     // where changed values stay as another layer sets them
    std::vector<std::string> sharing; // one campaign's scope: who plays with the same rules
    std::vector<std::string> maps;    // map files that set changed values again
    std::vector<std::string> notes;   // changed values that play otherwise than they say
    std::string question;             // what the apply will do, in a player's words
    std::string outcome;              // the same, said once it is done
};

ModPlan planMod(const std::string& installPath, const ValueSet& values,
                const ApplyOptions& options);

} // namespace tavrel::keeperfx
