#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "keeperfx/config_text.h"

namespace tavrel::keeperfx {

using Words = std::vector<std::string>;

// The instance and room names KeeperFX knows, from its creature.cfg and terrain.cfg.
struct KnownNames {
    std::vector<std::string> instances, rooms;
};

// The keys of one config file after KeeperFX has read it and every later file that
// changes it, in the order it reads them.
class StackedFile {
public:
    // Reads a later file over what is there, by KeeperFX's rules: key by key, a key
    // without words keeping its value unless KeeperFX clears it first; lists of positional
    // keys only in their first places, Powers, EntranceRoom, LevelsTrainValues and
    // PowersLevelRequired without the words KeeperFX skips; SpellImmunity as KeeperFX's
    // flags, its words in order; a [research] block replacing the whole research list.
    // Linear in the size of the file, whatever its shape.
    void stack(const ConfigFile& file);
    // The same, taking the words out of a file that is no longer needed.
    void stack(ConfigFile&& file);

    // Reads Powers and EntranceRoom again with only these names taken, as KeeperFX does
    // once its creature.cfg and terrain.cfg are read; until then every name is taken.
    void knowNames(KnownNames known);

    // The words of a key; null when no file had it.
    const Words* find(std::string_view section, std::string_view key) const;
    Words& at(std::string_view section, std::string_view key);

    // The research list, one line's words each; null when no file had a [research] block.
    const std::vector<Words>* research() const { return research_ ? &*research_ : nullptr; }
    std::vector<Words>& researchForWrite();

private:
    // A block's number in `sections_` and a key's lowered name.
    using Name = std::pair<std::size_t, std::string>;
    struct NameHash {
        std::size_t operator()(const Name& name) const;
    };
    std::size_t block(std::string name);
    void stackLine(std::size_t block, bool powerSection, ConfigLine&& line);
    // Every name is hashed, not searched: a file may hold hundreds of thousands of blocks
    // or keys. A block's name is stored once, however many keys it has.
    std::unordered_map<std::string, std::size_t> sections_;
    std::unordered_map<Name, Words, NameHash> keys_;
    // The lines of Powers and EntranceRoom, read again once the names are known.
    std::unordered_map<Name, std::vector<Words>, NameHash> namedLines_;
    std::optional<KnownNames> known_;
    std::optional<std::vector<Words>> research_;
};

// Gives the creature files among `files` (by their path, such as "creatrs/imp.cfg") the
// names KeeperFX knows: the game's, and those of the instance and room blocks of
// fxdata/creature.cfg and fxdata/terrain.cfg among them.
void knowNames(std::map<std::string_view, StackedFile>& files);

// The section whose lines are the research list, and their key.
inline constexpr std::string_view kResearchSection = "research";
inline constexpr std::string_view kResearchKey = "Research";

// KeeperFX keeps a mod's name in 64 bytes: a longer entry names the mod of its first 63.
inline constexpr std::size_t kLongestModName = 63;

// The mods listed in the first block `block` ("after_base", "after_campaign",
// "after_map") of a load_order.cfg text, in order, as KeeperFX reads them: each line
// whole but the blanks around it, at most 50 of a block; none from a file of less than 2
// or more than 65,536 bytes, which KeeperFX does not read.
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
