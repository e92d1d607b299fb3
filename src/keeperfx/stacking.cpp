#include "keeperfx/stacking.h"

#include <algorithm>
#include <array>

#include "keeperfx/encoding.h"

namespace tavrel::keeperfx {

namespace {

// Keys whose shorter line overwrites only its first entries.
constexpr std::array<std::string_view, 5> kPositionalKeys = {
    "Powers", "PowersLevelRequired", "LevelsTrainValues", "GrowUp", "LairEnemy"};
// The same within a keeper power's block.
constexpr std::array<std::string_view, 2> kPowerPositionalKeys = {"Cost", "Power"};
constexpr std::string_view kPowerSection = "power";
// A Power line of nine values also fills the tenth place with the ninth.
constexpr std::size_t kCopiedPowerLength = 9;

// Spell immunities that the game's own spells set and a later line without a number
// keeps.
constexpr std::array<std::string_view, 4> kKeptImmunities = {"POISON_CLOUD", "WIND", "CHICKEN",
                                                             "DISEASE"};
constexpr std::string_view kSpellImmunity = "SpellImmunity";
constexpr std::string_view kAfterBase = "after_base";

bool isPowerSection(std::string_view section) {
    if (section.size() <= kPowerSection.size() ||
        !sameName(section.substr(0, kPowerSection.size()), kPowerSection))
        return false;
    const std::string_view number = section.substr(kPowerSection.size());
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void stackLine(std::string_view section, const ConfigLine& line, Words& words) {
    const bool powerKey = isPowerSection(section) && hasName(kPowerPositionalKeys, line.key);
    if (powerKey || hasName(kPositionalKeys, line.key)) {
        if (words.size() < line.words.size())
            words.resize(line.words.size());
        std::copy(line.words.begin(), line.words.end(), words.begin());
        if (powerKey && sameName(line.key, "Power") && line.words.size() == kCopiedPowerLength) {
            words.resize(std::max(words.size(), kCopiedPowerLength + 1));
            words[kCopiedPowerLength] = line.words.back();
        }
        return;
    }
    if (sameName(line.key, kSpellImmunity) && !hasNumber(line.words)) {
        Words kept;
        for (const std::string& word : words)
            if (hasName(kKeptImmunities, word) && !hasName(line.words, word))
                kept.push_back(word);
        words = line.words;
        words.insert(words.end(), kept.begin(), kept.end());
        return;
    }
    words = line.words;
    // "SpellImmunity = 0 ..." sets the exact list; its 0 names no immunity.
    if (sameName(line.key, kSpellImmunity))
        std::erase_if(words, [](const std::string& w) { return parseNumber(w) == 0; });
}

// A line of load_order.cfg without its line end and blanks around it.
std::string_view entryOf(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ' ||
                             line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    return line;
}

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

bool isHeader(std::string_view entry) {
    return !entry.empty() && entry.front() == '[';
}

bool isAfterBaseHeader(std::string_view entry) {
    return isHeader(entry) && entry.back() == ']' &&
           sameName(entryOf(entry.substr(1, entry.size() - 2)), kAfterBase);
}

bool isModEntry(std::string_view entry) {
    return !entry.empty() && entry.front() != ';' && !isHeader(entry);
}

} // namespace

std::string StackedFile::lowered(std::string_view name) {
    std::string result(name);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

void StackedFile::stack(const ConfigFile& file) {
    std::vector<std::string> seen;
    for (const ConfigSection& section : file.sections) {
        // KeeperFX finds a block by its name: a second block of the same name is never read.
        const std::string name = lowered(section.name);
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            continue;
        seen.push_back(name);
        if (name == kResearchSection) {
            research_.emplace();
            for (const ConfigLine& line : section.lines)
                if (sameName(line.key, kResearchKey))
                    research_->push_back(line.words);
            continue;
        }
        for (const ConfigLine& line : section.lines)
            stackLine(section.name, line, sections_[name][lowered(line.key)]);
    }
}

const Words* StackedFile::find(std::string_view section, std::string_view key) const {
    const auto s = sections_.find(lowered(section));
    if (s == sections_.end())
        return nullptr;
    const auto k = s->second.find(lowered(key));
    return k == s->second.end() ? nullptr : &k->second;
}

Words& StackedFile::at(std::string_view section, std::string_view key) {
    return sections_[lowered(section)][lowered(key)];
}

std::vector<Words>& StackedFile::researchForWrite() {
    if (!research_)
        research_.emplace();
    return *research_;
}

std::vector<std::string> afterBaseMods(std::string_view loadOrder) {
    std::vector<std::string> mods;
    bool inAfterBase = false;
    for (std::string_view line : linesOf(loadOrder)) {
        const std::string_view entry = entryOf(line);
        if (isHeader(entry))
            inAfterBase = isAfterBaseHeader(entry);
        else if (inAfterBase && isModEntry(entry))
            mods.emplace_back(entry);
    }
    return mods;
}

std::string withModLast(std::string_view loadOrder, std::string_view mod) {
    const std::vector<std::string_view> lines = linesOf(loadOrder);
    // New lines end as the file's first line does (CR LF in a file without any).
    const std::size_t firstEnd = loadOrder.find('\n');
    const std::string lineEnd =
        firstEnd != std::string_view::npos && (firstEnd == 0 || loadOrder[firstEnd - 1] != '\r')
            ? "\n"
            : "\r\n";
    // Where the entry goes: after the last entry of [after_base], or after its header.
    std::optional<std::size_t> insertAfter;
    bool inAfterBase = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view entry = entryOf(lines[i]);
        if (isHeader(entry)) {
            inAfterBase = isAfterBaseHeader(entry);
            if (inAfterBase && !insertAfter)
                insertAfter = i;
        } else if (inAfterBase && isModEntry(entry) && !sameName(entry, mod)) {
            insertAfter = i;
        }
    }
    std::string out;
    inAfterBase = false;
    auto endLine = [&] {
        if (!out.empty() && out.back() != '\n')
            out += lineEnd;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view entry = entryOf(lines[i]);
        if (isHeader(entry))
            inAfterBase = isAfterBaseHeader(entry);
        // This mod's own earlier entry moves to the end; nothing else changes.
        if (!(inAfterBase && isModEntry(entry) && sameName(entry, mod)))
            out += lines[i];
        if (insertAfter == i) {
            endLine();
            out += std::string(mod) + lineEnd;
        }
    }
    if (!insertAfter) {
        endLine();
        out.append("[").append(kAfterBase).append("]").append(lineEnd).append(mod).append(lineEnd);
    }
    return out;
}

} // namespace tavrel::keeperfx
