#include "keeperfx/stacking.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <unordered_set>
#include <utility>

#include "keeperfx/encoding.h"

namespace tavrel::keeperfx {

namespace {

// Keys whose shorter line overwrites only its first entries (and the shifted lists below).
constexpr std::array<std::string_view, 2> kPositionalKeys = {"GrowUp", "LairEnemy"};
// The same within a keeper power's block.
constexpr std::array<std::string_view, 2> kPowerPositionalKeys = {"Cost", "Power"};
constexpr std::string_view kPowerSection = "power";
// A Power line of nine values also fills the tenth place with the ninth.
constexpr std::size_t kCopiedPowerLength = 9;

// KeeperFX's spell immunities, bit 0 first: a number in SpellImmunity is a mask of them.
constexpr std::array<std::string_view, 19> kImmunities = {
    "SLOW",  "SPEED",    "ARMOUR",   "REBOUND",      "FLYING",      "INVISIBILITY", "SIGHT",
    "LIGHT", "DISEASE",  "CHICKEN",  "POISON_CLOUD", "FREEZE",      "MAD_KILLING",  "FEAR",
    "HEAL",  "TELEPORT", "TIMEBOMB", "WIND",         "SPELL_BLOCKS"};
using Mask = std::uint32_t;
// The immunities that the game's spells set and a later SpellImmunity line keeps until a
// number in it replaces them all: DISEASE, CHICKEN, POISON_CLOUD and WIND.
constexpr Mask kKeptImmunities = (1u << 8) | (1u << 9) | (1u << 10) | (1u << 17);
// Old Properties words that still set an immunity: UNAFFECTED_BY_WIND and IMMUNE_TO_GAS.
constexpr std::pair<std::string_view, Mask> kImmunityProperties[] = {
    {"UNAFFECTED_BY_WIND", 1u << 17}, {"IMMUNE_TO_GAS", 1u << 10}};
constexpr std::string_view kSpellImmunity = "SpellImmunity";
constexpr std::string_view kProperties = "Properties";
constexpr std::string_view kAttackPreference = "AttackPreference";
// Keys KeeperFX clears before it reads their words, so that a line without any clears them.
constexpr std::array<std::string_view, 9> kClearedKeys = {
    "Properties",   "PrimaryJobs",       "SecondaryJobs", "NotDoJobs",     "AngerJobs",
    "EntranceRoom", "RoomSlabsRequired", "SpellImmunity", "HostileTowards"};
// Lists whose words KeeperFX skips when they name nothing it knows or are below 0, the
// words after them moving up; and how many places each has.
struct ShiftedList {
    std::string_view key;
    std::size_t places;
};
constexpr ShiftedList kInstanceList{"Powers", 10};
constexpr ShiftedList kRoomList{"EntranceRoom", 3};
constexpr ShiftedList kCountLists[] = {{"LevelsTrainValues", 9}, {"PowersLevelRequired", 10}};
// RoomSlabsRequired has as many places, cleared to 0 like EntranceRoom's to NULL.
constexpr std::string_view kRoomSlabs = "RoomSlabsRequired";
constexpr std::string_view kNull = "NULL";
// Numbered blocks, which KeeperFX finds only by their lower-case names.
constexpr std::array<std::string_view, 9> kNumberedBlocks = {
    "power", "shot", "spell", "instance", "room", "slab", "door", "trap", "object"};
constexpr std::string_view kAfterBase = "after_base";
// KeeperFX reads no load_order.cfg shorter or longer than these, and at most 50 entries
// of a block.
constexpr std::size_t kShortestLoadOrder = 2;
constexpr std::size_t kLongestLoadOrder = 65536;
constexpr std::size_t kBlockEntries = 50;
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

// The name a block is kept under, given its name and that in lower case: lower case, a numbered
// block's number without leading zeros ([room02] is room 2); nullopt for a block KeeperFX never
// reads, such as [ROOM2].
std::optional<std::string> blockName(std::string_view name, std::string kept) {
    for (std::string_view base : kNumberedBlocks) {
        if (!isNumbered(kept, base))
            continue;
        std::string_view number = std::string_view(kept).substr(base.size());
        while (number.size() > 1 && number.front() == '0')
            number.remove_prefix(1);
        // Nine digits and more name no block KeeperFX has.
        if (!name.starts_with(base) || number.size() > 8)
            return std::nullopt;
        return std::string(base) + std::string(number);
    }
    return kept;
}

Mask immunityMask(const Words& words) {
    Mask mask = 0;
    for (const std::string& word : words)
        for (std::size_t bit = 0; bit < kImmunities.size(); ++bit)
            if (sameName(word, kImmunities[bit]))
                mask |= Mask{1} << bit;
    return mask;
}

Words immunityNames(Mask mask) {
    Words names;
    for (std::size_t bit = 0; bit < kImmunities.size(); ++bit)
        if ((mask & (Mask{1} << bit)) != 0)
            names.emplace_back(kImmunities[bit]);
    return names;
}

// A SpellImmunity line: the kept immunities stay, every number replaces what stands with
// its mask, and each name adds its immunity, in the order of the words.
Words readImmunities(const Words& before, const Words& line) {
    Mask mask = immunityMask(before) & kKeptImmunities;
    for (const std::string& word : line) {
        if (strictNumber(word))
            mask = static_cast<Mask>(leadingNumber(word));
        else
            mask |= immunityMask({word});
    }
    return immunityNames(mask);
}

// The words of a shifted list that KeeperFX takes, at most its places.
Words takenWords(const ShiftedList& list, const Words& line, const KnownNames* known) {
    Words taken;
    for (const std::string& word : line) {
        if (taken.size() == list.places)
            break;
        const bool isCount = list.key != kInstanceList.key && list.key != kRoomList.key;
        bool take = isCount ? leadingNumber(word) >= 0 : !strictNumber(word).has_value();
        if (!isCount && known) {
            const auto& names = list.key == kInstanceList.key ? known->instances : known->rooms;
            take = hasName(names, word);
        }
        if (take)
            taken.push_back(word);
    }
    return taken;
}

// Puts the line's words into the first places of the list.
void overwriteFirst(Words& words, const Words& line) {
    if (words.size() < line.size())
        words.resize(line.size());
    std::copy(line.begin(), line.end(), words.begin());
}

const ShiftedList* shiftedList(std::string_view key) {
    for (const ShiftedList* list : {&kInstanceList, &kRoomList, &kCountLists[0], &kCountLists[1]})
        if (sameName(list->key, key))
            return list;
    return nullptr;
}

// One line of a shifted list over its words.
void applyShifted(const ShiftedList& list, Words& words, const Words& line,
                  const KnownNames* known) {
    Words taken = takenWords(list, line, known);
    if (list.key != kRoomList.key)
        return overwriteFirst(words, taken);
    // Cleared first: places without a room hold none.
    taken.resize(list.places, std::string(kNull));
    words = std::move(taken);
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

// A line of a block of load_order.cfg as KeeperFX takes it: without the blanks and
// control bytes before it, up to a control byte, cut at 63 characters, without the blanks
// that then end it.
std::string_view modEntry(std::string_view line) {
    auto skipped = [](char c) {
        return c == ' ' || c == '\t' || c == 26 || static_cast<unsigned char>(c) < 7;
    };
    while (!line.empty() && skipped(line.front()))
        line.remove_prefix(1);
    const auto end = std::find_if(line.begin(), line.end(), [](char c) {
        return c == '\r' || c == '\n' || static_cast<unsigned char>(c) < 7;
    });
    line = line.substr(0, std::min(static_cast<std::size_t>(end - line.begin()), kLongestModName));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == 26))
        line.remove_suffix(1);
    return line;
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

void StackedFile::stack(const ConfigFile& file) {
    stack(ConfigFile(file));
}

std::size_t StackedFile::NameHash::operator()(const Name& name) const {
    const std::size_t key = std::hash<std::string>()(name.second);
    return key ^ (name.first + 0x9e3779b97f4a7c15 + (key << 6) + (key >> 2));
}

std::size_t StackedFile::block(std::string name) {
    return sections_.try_emplace(std::move(name), sections_.size()).first->second;
}

void StackedFile::stack(ConfigFile&& file) {
    // KeeperFX finds a block by its name as written, in any letter case.
    std::unordered_set<std::string> read;
    for (ConfigSection& section : file.sections) {
        std::string low = lowered(section.name);
        const bool first = read.insert(low).second;
        const std::optional<std::string> name = blockName(section.name, std::move(low));
        if (!name || (!first && !readsEveryBlock(*name)))
            continue;
        const bool research = *name == kResearchSection;
        const bool power = isNumbered(*name, kPowerSection);
        const std::size_t number = block(*name);
        if (research) {
            research_.emplace();
            for (ConfigLine& line : section.lines)
                if (sameName(line.key, kResearchKey))
                    research_->push_back(std::move(line.words));
            continue;
        }
        for (ConfigLine& line : section.lines)
            stackLine(number, power, std::move(line));
    }
}

void StackedFile::stackLine(std::size_t block, bool powerSection, ConfigLine&& line) {
    // A line without words leaves a value as the earlier files had it.
    if (line.words.empty() && !hasName(kClearedKeys, line.key))
        return;
    Name name{block, lowered(line.key)};
    // Only a name (MELEE, RANGED) sets an attack preference: NULL and numbers do not.
    if (sameName(line.key, kAttackPreference)) {
        const auto& names = places_data::kAttackPreferences;
        if (!hasName(std::span(names).subspan(1), line.words.front()))
            return;
    }
    Words& words = keys_[name];
    if (const ShiftedList* list = shiftedList(line.key)) {
        if (list->key == kInstanceList.key || list->key == kRoomList.key)
            namedLines_[name].push_back(line.words);
        return applyShifted(*list, words, line.words, known_ ? &*known_ : nullptr);
    }
    const bool powerKey = powerSection && hasName(kPowerPositionalKeys, line.key);
    if (powerKey || hasName(kPositionalKeys, line.key)) {
        overwriteFirst(words, line.words);
        if (powerKey && sameName(line.key, "Power") && line.words.size() == kCopiedPowerLength) {
            words.resize(std::max(words.size(), kCopiedPowerLength + 1));
            words[kCopiedPowerLength] = line.words.back();
        }
        return;
    }
    if (sameName(line.key, kSpellImmunity)) {
        words = readImmunities(words, line.words);
        return;
    }
    if (sameName(line.key, kProperties)) {
        // The old immunity words set their immunity, which no later Properties line clears.
        Mask set = 0;
        std::erase_if(line.words, [&](const std::string& word) {
            for (const auto& [property, immunity] : kImmunityProperties)
                if (sameName(word, property))
                    return (set |= immunity) != 0;
            return false;
        });
        if (set != 0) {
            Words& immunities = keys_[{block, lowered(kSpellImmunity)}];
            immunities = immunityNames(immunityMask(immunities) | set);
        }
    }
    if (sameName(line.key, kRoomSlabs))
        line.words.resize(std::max(line.words.size(), kRoomList.places), "0");
    keys_[name] = std::move(line.words);
}

void StackedFile::knowNames(KnownNames known) {
    known_ = std::move(known);
    for (const auto& [name, lines] : namedLines_) {
        const ShiftedList& list =
            name.second == lowered(kInstanceList.key) ? kInstanceList : kRoomList;
        Words words;
        for (const Words& line : lines)
            applyShifted(list, words, line, &*known_);
        keys_[name] = std::move(words);
    }
}

const Words* StackedFile::find(std::string_view section, std::string_view key) const {
    const auto s = sections_.find(lowered(section));
    if (s == sections_.end())
        return nullptr;
    const auto k = keys_.find({s->second, lowered(key)});
    return k == keys_.end() ? nullptr : &k->second;
}

Words& StackedFile::at(std::string_view section, std::string_view key) {
    return keys_[{block(lowered(section)), lowered(key)}];
}

std::vector<Words>& StackedFile::researchForWrite() {
    if (!research_)
        research_.emplace();
    return *research_;
}

void knowNames(std::map<std::string_view, StackedFile>& files) {
    KnownNames known;
    known.instances.assign(places_data::kInstanceNames.begin(), places_data::kInstanceNames.end());
    known.rooms.assign(places_data::kRoomNames.begin(), places_data::kRoomNames.end());
    // KeeperFX numbers its instances and rooms below 256.
    constexpr int kBlocks = 256;
    for (const auto& [file, block, names] :
         {std::tuple{"fxdata/creature.cfg", "instance", &known.instances},
          std::tuple{"fxdata/terrain.cfg", "room", &known.rooms}}) {
        const auto found = files.find(file);
        for (int i = 0; found != files.end() && i < kBlocks; ++i)
            if (const Words* name = found->second.find(block + std::to_string(i), "Name");
                name && !name->empty())
                names->push_back(name->front());
    }
    for (auto& [file, stacked] : files)
        if (file.starts_with("creatrs/"))
            stacked.knowNames(known);
}

std::vector<std::string> blockMods(std::string_view loadOrder, std::string_view block) {
    std::vector<std::string> mods;
    if (loadOrder.size() < kShortestLoadOrder || loadOrder.size() > kLongestLoadOrder)
        return mods;
    const std::vector<std::string_view> lines = linesOf(loadOrder);
    if (const auto found = firstBlock(lines, block))
        for (std::size_t i = found->first + 1; i < found->second && mods.size() < kBlockEntries;
             ++i)
            if (const std::string_view entry = modEntry(lines[i]); isModEntry(entry))
                mods.emplace_back(entry);
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
        if (inBlock(i) && isModEntry(modEntry(lines[i])) && !sameName(modEntry(lines[i]), mod))
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
        // Read as KeeperFX reads an entry, so that no copy it would load stays behind.
        const std::string_view entry = modEntry(lines[i]);
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
