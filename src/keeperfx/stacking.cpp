#include "keeperfx/stacking.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <utility>

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
// The blocks KeeperFX reads mods from.
constexpr std::array<std::string_view, 3> kModBlocks = {kAfterBase, "after_campaign", "after_map"};

// A block named `base` followed by its number, such as [power12].
bool isNumbered(std::string_view section, std::string_view base) {
    if (section.size() <= base.size() || !sameName(section.substr(0, base.size()), base))
        return false;
    const std::string_view number = section.substr(base.size());
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// KeeperFX looks most blocks up by name and reads the first it finds; spells and
// instances it reads block by block in file order, so a later block of the same name is
// read over the earlier one.
bool readsEveryBlock(std::string_view section) {
    return isNumbered(section, "spell") || isNumbered(section, "instance");
}

// The words of a SpellImmunity line without a number: its own, then the immunities that
// the game's spells set and earlier files named, each once (they are flags to KeeperFX).
void keepImmunities(Words& words, Words&& line) {
    std::array<bool, kKeptImmunities.size()> taken{};
    for (const std::string& word : line)
        for (std::size_t i = 0; i < kKeptImmunities.size(); ++i)
            taken[i] = taken[i] || sameName(word, kKeptImmunities[i]);
    Words kept;
    for (std::string& word : words)
        for (std::size_t i = 0; i < kKeptImmunities.size(); ++i)
            if (!taken[i] && sameName(word, kKeptImmunities[i])) {
                taken[i] = true;
                kept.push_back(std::move(word));
            }
    words = std::move(line);
    std::move(kept.begin(), kept.end(), std::back_inserter(words));
}

void stackLine(bool powerSection, ConfigLine&& line, Words& words) {
    const bool powerKey = powerSection && hasName(kPowerPositionalKeys, line.key);
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
    if (sameName(line.key, kSpellImmunity) && !hasNumber(line.words))
        return keepImmunities(words, std::move(line.words));
    words = std::move(line.words);
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

// KeeperFX ends a line at a CR, an LF or both; each line keeps its own end.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        if (end != std::string_view::npos && text.substr(end, 2) == "\r\n")
            ++length;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

bool isHeader(std::string_view entry) {
    return !entry.empty() && entry.front() == '[';
}

// KeeperFX finds a block by '[', its name in any case and ']', with blanks between; what
// follows the ']' does not matter.
bool opensBlock(std::string_view entry, std::string_view block) {
    const std::size_t close = entry.find(']');
    return isHeader(entry) && close != std::string_view::npos &&
           sameName(entryOf(entry.substr(1, close - 1)), block);
}

bool isModEntry(std::string_view entry) {
    return !entry.empty() && entry.front() != ';' && !isHeader(entry);
}

// The lines of the first block called `block`, the only one KeeperFX reads: the index of
// its header and of the line after its last; none when there is no such block.
std::optional<std::pair<std::size_t, std::size_t>>
firstBlock(const std::vector<std::string_view>& lines, std::string_view block) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!opensBlock(entryOf(lines[i]), block))
            continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !isHeader(entryOf(lines[end])))
            ++end;
        return std::pair{i, end};
    }
    return std::nullopt;
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
    stack(ConfigFile(file));
}

std::size_t StackedFile::NameHash::operator()(const Name& name) const {
    const std::size_t key = std::hash<std::string>()(name.second);
    return key ^ (name.first + 0x9e3779b97f4a7c15 + (key << 6) + (key >> 2));
}

StackedFile::Block& StackedFile::block(std::string name) {
    return sections_.try_emplace(std::move(name), Block{sections_.size()}).first->second;
}

void StackedFile::stack(ConfigFile&& file) {
    const std::size_t thisFile = ++files_;
    for (ConfigSection& section : file.sections) {
        std::string name = lowered(section.name);
        const bool research = name == kResearchSection;
        const bool power = isNumbered(name, kPowerSection);
        const bool readAgain = readsEveryBlock(name);
        Block& read = block(std::move(name));
        if (read.file == thisFile && !readAgain)
            continue;
        read.file = thisFile;
        const std::size_t number = read.number;
        if (research) {
            research_.emplace();
            for (ConfigLine& line : section.lines)
                if (sameName(line.key, kResearchKey))
                    research_->push_back(std::move(line.words));
            continue;
        }
        for (ConfigLine& line : section.lines) {
            Name key{number, lowered(line.key)};
            stackLine(power, std::move(line), keys_[std::move(key)]);
        }
    }
}

const Words* StackedFile::find(std::string_view section, std::string_view key) const {
    const auto s = sections_.find(lowered(section));
    if (s == sections_.end())
        return nullptr;
    const auto k = keys_.find({s->second.number, lowered(key)});
    return k == keys_.end() ? nullptr : &k->second;
}

Words& StackedFile::at(std::string_view section, std::string_view key) {
    return keys_[{block(lowered(section)).number, lowered(key)}];
}

std::vector<Words>& StackedFile::researchForWrite() {
    if (!research_)
        research_.emplace();
    return *research_;
}

std::vector<std::string> blockMods(std::string_view loadOrder, std::string_view block) {
    std::vector<std::string> mods;
    const std::vector<std::string_view> lines = linesOf(loadOrder);
    if (const auto found = firstBlock(lines, block))
        for (std::size_t i = found->first + 1; i < found->second; ++i)
            if (isModEntry(entryOf(lines[i])))
                mods.emplace_back(entryOf(lines[i]));
    return mods;
}

std::vector<std::string> afterBaseMods(std::string_view loadOrder) {
    return blockMods(loadOrder, kAfterBase);
}

std::string_view withoutByteOrderMarks(std::string_view text) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    // Every mark goes, or the next apply would find one more to take away.
    while (text.starts_with(kMark))
        text.remove_prefix(kMark.size());
    return text;
}

std::string withModLast(std::string_view loadOrder, std::string_view mod) {
    return withModIn(loadOrder, mod, kAfterBase);
}

std::string withModIn(std::string_view loadOrder, std::string_view mod, std::string_view target) {
    // Without the mark the first block is KeeperFX's again, and the mod goes into it.
    loadOrder = withoutByteOrderMarks(loadOrder);
    const std::vector<std::string_view> lines = linesOf(loadOrder);
    // New lines end as the file's first line does (CR LF in a file without any).
    const std::size_t firstEnd = loadOrder.find_first_of("\r\n");
    const std::string lineEnd = firstEnd == std::string_view::npos ? "\r\n"
                                : loadOrder.substr(firstEnd, 2) == "\r\n"
                                    ? "\r\n"
                                    : std::string(1, loadOrder[firstEnd]);
    const auto block = firstBlock(lines, target);
    auto inBlock = [&](std::size_t i) { return block && i > block->first && i < block->second; };
    std::vector<std::pair<std::size_t, std::size_t>> read;
    for (std::string_view name : kModBlocks)
        if (const auto each = firstBlock(lines, name))
            read.push_back(*each);
    auto readAt = [&](std::size_t i) {
        return std::any_of(read.begin(), read.end(),
                           [&](const auto& each) { return i > each.first && i < each.second; });
    };
    // Where the entry goes: after the last other entry of the block, or after its header.
    std::optional<std::size_t> insertAfter;
    if (block)
        insertAfter = block->first;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (inBlock(i) && isModEntry(entryOf(lines[i])) && !sameName(entryOf(lines[i]), mod))
            insertAfter = i;
    std::string out;
    auto endLine = [&] {
        if (!out.empty() && out.back() != '\n' && out.back() != '\r')
            out += lineEnd;
    };
    // A line ending in CR alone, put before one that starts with LF, would make the two
    // one CR LF end: the LF ends that line too, so both lines stay.
    auto put = [&](std::string_view piece) {
        if (!out.empty() && out.back() == '\r' && piece.starts_with('\n'))
            out += '\n';
        out += piece;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view entry = entryOf(lines[i]);
        // This mod's own earlier entries move to the end; nothing else changes.
        if (!(readAt(i) && isModEntry(entry) && sameName(entry, mod)))
            put(lines[i]);
        if (insertAfter == i) {
            endLine();
            put(std::string(mod) + lineEnd);
        }
    }
    if (!insertAfter) {
        endLine();
        out.append("[").append(target).append("]").append(lineEnd).append(mod).append(lineEnd);
    }
    return out;
}

} // namespace tavrel::keeperfx
