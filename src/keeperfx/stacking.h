#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
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
    // the whole research list. Linear in the size of the file, whatever its shape.
    void stack(const ConfigFile& file);
    // The same, taking the words out of a file that is no longer needed.
    void stack(ConfigFile&& file);

    // The words of a key; null when no file had it.
    const Words* find(std::string_view section, std::string_view key) const;
    Words& at(std::string_view section, std::string_view key);

    // The research list, one line's words each; null when no file had a [research] block.
    const std::vector<Words>* research() const { return research_ ? &*research_ : nullptr; }
    std::vector<Words>& researchForWrite();

private:
    static std::string lowered(std::string_view name);
    // A block's number in `sections_` and a key's lowered name.
    using Name = std::pair<std::size_t, std::string>;
    struct NameHash {
        std::size_t operator()(const Name& name) const;
    };
    struct Block {
        std::size_t number;
        std::size_t file = 0; // the call of stack that last read the block, from 1
    };
    Block& block(std::string name);
    // Every name is hashed, not searched: a file may hold hundreds of thousands of blocks
    // or keys. A block's name is stored once, however many keys it has.
    std::unordered_map<std::string, Block> sections_;
    std::unordered_map<Name, Words, NameHash> keys_;
    std::optional<std::vector<Words>> research_;
    std::size_t files_ = 0;
};

// The section whose lines are the research list, and their key.
inline constexpr std::string_view kResearchSection = "research";
inline constexpr std::string_view kResearchKey = "Research";

// The mods listed in the first block `block` ("after_base", "after_campaign",
// "after_map") of a load_order.cfg text, in order, as KeeperFX reads them.
std::vector<std::string> blockMods(std::string_view loadOrder, std::string_view block);
std::vector<std::string> afterBaseMods(std::string_view loadOrder);

// The text without the byte-order marks it starts with. KeeperFX reads a mark as text,
// which hides a block header on the first line.
std::string_view withoutByteOrderMarks(std::string_view text);

// The load_order.cfg text with `mod` as the last entry of its first [after_base] block,
// every other line kept as it was but the leading byte-order marks; created with only that
// entry from an empty text.
std::string withModLast(std::string_view loadOrder, std::string_view mod);
// The same with `mod` last in the first `block` ("after_base", "after_campaign"), and gone
// from the first blocks of the other names, where KeeperFX would read it a second time.
std::string withModIn(std::string_view loadOrder, std::string_view mod, std::string_view block);

} // namespace tavrel::keeperfx
