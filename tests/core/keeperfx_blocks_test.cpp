// Blocks of one name met again, within one file and across files, as KeeperFX reads them.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keeperfx/stacking.h"

namespace tavrel::keeperfx {
namespace {

using W = std::vector<std::string>;

struct Case {
    std::vector<std::string_view> files; // in the order KeeperFX reads them
    std::string_view section, key;
    std::optional<W> words;
};

TEST(KeeperFxBlocks, ALaterBlockOfOneNameIsReadOnlyForSpellsAndInstances) {
    const Case cases[] = {
        {{"[spell3]\nDuration = 1\nSpellPower = POWER_FREEZE\n[spell3]\nDuration = 2\n"},
         "spell3",
         "Duration",
         W{"2"}},
        {{"[spell3]\nDuration = 1\nSpellPower = POWER_FREEZE\n[SPELL3]\nDuration = 2\n"},
         "spell3",
         "SpellPower",
         W{"POWER_FREEZE"}},
        {{"[instance3]\nResetTime = 8\n[instance3]\nResetTime = 9\n"},
         "instance3",
         "ResetTime",
         W{"9"}},
        {{"[instance3]\n[spell3]\nK = 1\n[instance3]\nK = 2\n"}, "instance3", "K", W{"2"}},
        {{"[room2]\nCost = 1\n[room2]\nCost = 2\n"}, "room2", "Cost", W{"1"}},
        {{"[attributes]\nHealth = 1\n[attributes]\nHealth = 2\nLuck = 3\n"},
         "attributes",
         "Luck",
         std::nullopt},
        {{"[spells]\nK = 1\n[spells]\nK = 2\n"}, "spells", "K", W{"1"}},
        {{"[spell]\nK = 1\n[spell]\nK = 2\n"}, "spell", "K", W{"1"}},
        // Each file begins afresh: its first block of a name is read.
        {{"[room2]\nCost = 1\n", "[room2]\nCost = 2\n[room2]\nCost = 3\n"},
         "room2",
         "Cost",
         W{"2"}},
        {{"[a]\nK = 1\n[a]\nK = 2\n", "[b]\n", "[a]\nK = 3\n"}, "a", "K", W{"3"}},
        // Immunities the game's spells set are flags: kept once, however often named.
        {{"[a]\nSpellImmunity = WIND wind CHICKEN WIND\n", "[a]\nSpellImmunity = SLOW\n"},
         "a",
         "SpellImmunity",
         W{"SLOW", "CHICKEN", "WIND"}},
        {{"[a]\nSpellImmunity = WIND WIND\n", "[a]\nSpellImmunity = SLOW chicken\n",
          "[a]\nSpellImmunity = FREEZE\n"},
         "a",
         "SpellImmunity",
         W{"CHICKEN", "FREEZE", "WIND"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.files.back()));
        StackedFile file;
        for (std::string_view text : c.files)
            file.stack(parseConfig(text));
        const W* words = file.find(c.section, c.key);
        EXPECT_EQ(words ? std::optional<W>(*words) : std::nullopt, c.words);
    }
}

} // namespace
} // namespace tavrel::keeperfx
