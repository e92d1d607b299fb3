#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::keeperfx {

// One `Key = value words` line.
struct ConfigLine {
    std::string key;
    std::vector<std::string> words;
};

// One `[name]` block and its lines in file order.
struct ConfigSection {
    std::string name;
    std::vector<ConfigLine> lines;
};

// A KeeperFX config file as KeeperFX reads it: its blocks in file order. A CR or an LF
// ends a line; `;` makes a comment only as a line's first character; a key is followed
// by blanks, `=` or both, then its words. Lines before the first block, or after a `[`
// line without `]` (it ends the block before it), belong to no block and carry nothing.
struct ConfigFile {
    std::vector<ConfigSection> sections;
    // The first block of that name, in any letter case (KeeperFX looks a block up by
    // name and takes the first); null when there is none.
    const ConfigSection* find(std::string_view name) const;
};

// KeeperFX's own files are well under a megabyte; anything far larger is not one.
inline constexpr std::size_t kConfigReadLimit = std::size_t{8} << 20;

ConfigFile parseConfig(std::string_view text);

// The file with a comment line on top, every line ending in CR LF as KeeperFX ships them.
std::string renderConfig(const ConfigFile& file, std::string_view comment);

// Section and key names compare without regard to ASCII letter case, as KeeperFX does.
bool sameName(std::string_view a, std::string_view b);
// The name as KeeperFX compares it: ASCII letters in lower case.
std::string lowered(std::string_view name);

// Whether `names` holds `name`, in any letter case.
template <typename Names> bool hasName(const Names& names, std::string_view name) {
    for (std::string_view each : names)
        if (sameName(each, name))
            return true;
    return false;
}

// The words of a text, split at blanks and tabs.
std::vector<std::string> splitWords(std::string_view text);

} // namespace tavrel::keeperfx
