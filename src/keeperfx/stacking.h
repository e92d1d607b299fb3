#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keeperfx/config_text.h"

namespace tavrel::keeperfx {

using Words = std::vector<std::string>;

// The keys of one config file after KeeperFX has read it and every later file that
// changes it, in the order it reads them.
class StackedFile {
public:
    // Reads a later file over what is there, by KeeperFX's rules: key by key; lists of
    // positional keys only in their first places; SpellImmunity keeping the words the
    // game's spells set unless its line holds a number; a [research] block replacing
    // the whole research list.
    void stack(const ConfigFile& file);

    // The words of a key; null when no file had it.
    const Words* find(std::string_view section, std::string_view key) const;
    Words& at(std::string_view section, std::string_view key);

    // The research list, one line's words each; null when no file had a [research] block.
    const std::vector<Words>* research() const { return research_ ? &*research_ : nullptr; }
    std::vector<Words>& researchForWrite();

private:
    static std::string lowered(std::string_view name);
    std::map<std::string, std::map<std::string, Words>> sections_;
    std::optional<std::vector<Words>> research_;
};

// The section whose lines are the research list, and their key.
inline constexpr std::string_view kResearchSection = "research";
inline constexpr std::string_view kResearchKey = "Research";

// The mods listed in the first block `block` ("after_base", "after_campaign",
// "after_map") of a load_order.cfg text, in order, as KeeperFX reads them.
std::vector<std::string> blockMods(std::string_view loadOrder, std::string_view block);
std::vector<std::string> afterBaseMods(std::string_view loadOrder);

// The load_order.cfg text with `mod` as the last entry of its first [after_base] block,
// every other line kept as it was but a leading byte-order mark; created with only that
// entry from an empty text.
std::string withModLast(std::string_view loadOrder, std::string_view mod);

} // namespace tavrel::keeperfx
