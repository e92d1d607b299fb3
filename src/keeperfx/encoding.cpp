#include "keeperfx/encoding.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <span>

#include "keeperfx/config_text.h"

namespace tavrel::keeperfx {

namespace {

using places_data::kAngerJobNames;
using places_data::kJobNames;

constexpr std::string_view kNull = "NULL";
constexpr int kAfraidOfAll = 255;
constexpr int kAfraidOfAllPercent = 101;

std::span<const std::string_view> nameTable(Encoding encoding) {
    switch (encoding) {
    case Encoding::InstanceName:
        return places_data::kInstanceNames;
    case Encoding::RoomName:
        return places_data::kRoomNames;
    case Encoding::CreatureName:
        return places_data::kCreatureNames;
    case Encoding::AttackPreference:
        return places_data::kAttackPreferences;
    case Encoding::JobNames:
        return kJobNames;
    case Encoding::AngerJobNames:
        return kAngerJobNames;
    default:
        return {};
    }
}

bool isMask(Encoding encoding) {
    return encoding == Encoding::JobNames || encoding == Encoding::AngerJobNames;
}

bool isWord(Encoding encoding) {
    return encoding == Encoding::WordPresent || encoding == Encoding::WordAbsent;
}

std::optional<int> nameNumber(std::span<const std::string_view> table, std::string_view word) {
    for (std::size_t i = 0; i < table.size(); ++i)
        if (sameName(table[i], word))
            return static_cast<int>(i);
    return std::nullopt;
}

// One word's value: a number, a percentage or a name.
std::optional<std::int32_t> decodeWord(const Place& place, std::string_view word) {
    if (place.encoding == Encoding::FearPercent)
        return fearOfPercent(leadingNumber(word));
    const auto table = nameTable(place.encoding);
    if (!table.empty())
        return nameNumber(table, word);
    return readsStrictly(place) ? strictNumber(word).value_or(0) : leadingNumber(word);
}

// The numbered blocks KeeperFX reads as named fields, and the file whose blocks it reads
// so but its research list.
constexpr std::string_view kStrictBlocks[] = {"power", "shot", "room",  "slab",
                                              "door",  "trap", "object"};
constexpr std::string_view kStrictFile = "fxdata/rules.cfg";

std::int32_t held(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The value of digits, held within 32 bits however many there are.
std::int32_t digitsValue(std::string_view digits, bool negative) {
    std::int64_t value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > std::int64_t{1} << 32)
            break;
    }
    return held(negative ? -value : value);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string encodeWord(Encoding encoding, std::int32_t value) {
    if (encoding == Encoding::FearPercent)
        return std::to_string(fearPercent(value));
    const auto table = nameTable(encoding);
    return table.empty() ? std::to_string(value)
                         : std::string(table[static_cast<std::size_t>(value)]);
}

// The research line's amount is its third word, after ROOM|MAGIC and the name.
constexpr std::size_t kResearchAmount = 2;

// Where the slot's word stands in its key's words (not for lists of words).
std::size_t wordIndex(const Place& place) {
    if (place.encoding == Encoding::ResearchAmount)
        return kResearchAmount;
    return place.index < 0 ? 0 : static_cast<std::size_t>(place.index);
}

} // namespace

std::optional<std::int32_t> parseNumber(std::string_view word) {
    if (!word.empty() && word.front() == '+')
        word.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || word.empty())
        return std::nullopt;
    return value;
}

std::int32_t leadingNumber(std::string_view word) {
    const bool negative = !word.empty() && word.front() == '-';
    if (!word.empty() && (word.front() == '-' || word.front() == '+'))
        word.remove_prefix(1);
    const auto end = std::find_if(word.begin(), word.end(), [](char c) { return !isDigit(c); });
    return digitsValue(word.substr(0, static_cast<std::size_t>(end - word.begin())), negative);
}

std::optional<std::int32_t> strictNumber(std::string_view word) {
    const bool negative = !word.empty() && word.front() == '-';
    if (negative)
        word.remove_prefix(1);
    if (!std::all_of(word.begin(), word.end(), isDigit) || (word.empty() && !negative))
        return std::nullopt;
    return digitsValue(word, negative);
}

bool readsStrictly(const Place& place) {
    if (place.file == kStrictFile)
        return place.encoding != Encoding::ResearchAmount;
    for (std::string_view block : kStrictBlocks)
        if (place.file.starts_with("fxdata/") && place.section.starts_with(block) &&
            place.section.size() > block.size() && isDigit(place.section[block.size()]))
            return true;
    return false;
}

bool hasNumber(const std::vector<std::string>& words) {
    return std::any_of(words.begin(), words.end(),
                       [](const std::string& w) { return parseNumber(w).has_value(); });
}

int fearPercent(std::int32_t fear) {
    if (fear >= kAfraidOfAll)
        return kAfraidOfAllPercent;
    // Nearest whole percentage, halves up.
    return (fear * 100 + 128) / 256;
}

std::optional<std::int32_t> fearOfPercent(std::int32_t percent) {
    if (percent >= kAfraidOfAllPercent)
        return kAfraidOfAll;
    for (std::int32_t fear = 0; fear < kAfraidOfAll; ++fear)
        if (fearPercent(fear) == percent)
            return fear;
    return std::nullopt;
}

bool encodable(const Place& place, std::int32_t value) {
    const Encoding encoding = place.encoding;
    if (encoding == Encoding::FearPercent)
        return value >= 0 && value <= kAfraidOfAll;
    if (isWord(encoding))
        return value == 0 || value == 1;
    if (isMask(encoding))
        return value >= 0 && value < (1 << (nameTable(encoding).size() - 1));
    // KeeperFX skips an AttackPreference of NULL, keeping the earlier file's.
    if (encoding == Encoding::AttackPreference && value == 0)
        return false;
    const auto table = nameTable(encoding);
    // KeeperFX skips an AttackPreference of NULL, keeping the one before.
    const std::int32_t lowest = encoding == Encoding::AttackPreference ? 1 : 0;
    return table.empty() || (value >= lowest && static_cast<std::size_t>(value) < table.size());
}

std::optional<std::int32_t> decodeSlot(const Place& place, const std::vector<std::string>& words) {
    const Encoding encoding = place.encoding;
    if (isWord(encoding))
        return hasName(words, place.item) == (encoding == Encoding::WordPresent) ? 1 : 0;
    if (isMask(encoding)) {
        const auto table = nameTable(encoding);
        std::int32_t mask = 0;
        for (const std::string& word : words)
            if (const auto bit = nameNumber(table, word); bit && *bit > 0)
                mask |= 1 << (*bit - 1);
        return mask;
    }
    const std::size_t at = wordIndex(place);
    if (at >= words.size())
        return std::nullopt;
    return decodeWord(place, words[at]);
}

bool holdsForeignWord(const Place& place, const std::vector<std::string>& words) {
    if (isWord(place.encoding) || isMask(place.encoding))
        return false;
    const std::size_t at = wordIndex(place);
    return at < words.size() && !decodeWord(place, words[at]);
}

void encodeSlot(const Place& place, std::int32_t value, std::vector<std::string>& words) {
    if (decodeSlot(place, words) == value)
        return;
    const Encoding encoding = place.encoding;
    if (isWord(encoding)) {
        const bool present = (value == 1) == (encoding == Encoding::WordPresent);
        if (present)
            words.emplace_back(place.item);
        else
            std::erase_if(words, [&](const std::string& w) { return sameName(w, place.item); });
        return;
    }
    if (isMask(encoding)) {
        const auto table = nameTable(encoding);
        auto isSet = [&](int bit) { return bit > 0 && (value & (1 << (bit - 1))) != 0; };
        // The named jobs that stay set keep their places; NULL goes, as the list is
        // written whole; words KeeperFX has beyond the game's jobs stay.
        std::erase_if(words, [&](const std::string& w) {
            const auto bit = nameNumber(table, w);
            return bit && !isSet(*bit);
        });
        for (int bit = 1; bit < static_cast<int>(table.size()); ++bit)
            if (isSet(bit) && !hasName(words, table[static_cast<std::size_t>(bit)]))
                words.emplace_back(table[static_cast<std::size_t>(bit)]);
        return;
    }
    const std::size_t at = wordIndex(place);
    // Places before this one that no file filled get what KeeperFX would read there:
    // NULL where a slot of the same key holds a name, else 0.
    for (std::size_t fill = words.size(); fill < at; ++fill) {
        const auto other = std::find_if(
            places_data::kPlaces.begin(), places_data::kPlaces.end(), [&](const Place& each) {
                return each.file == place.file && each.section == place.section &&
                       each.key == place.key && each.index == static_cast<int>(fill);
            });
        words.push_back(other != places_data::kPlaces.end() && !nameTable(other->encoding).empty()
                            ? std::string(kNull)
                            : "0");
    }
    if (words.size() <= at)
        words.resize(at + 1);
    words[at] = encodeWord(encoding, value);
}

} // namespace tavrel::keeperfx
