#include "keeperfx/limits.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/catalogue.h"
#include "core/factory_defaults.h"

namespace tavrel::keeperfx {

namespace {

constexpr FieldLimit kUnsigned8{0, 255, Overflow::Wraps};
constexpr FieldLimit kUnsigned16{0, 65535, Overflow::Wraps};
constexpr FieldLimit kSigned16{-32768, 32767, Overflow::Wraps};
constexpr FieldLimit kHeldSigned16{-32768, 32767, Overflow::Held};
constexpr FieldLimit kHeldUnsigned16{0, 65535, Overflow::Held};
constexpr FieldLimit kHeldUnsigned8{0, 255, Overflow::Held};
// A byte field whose named-field table allows no more than the largest signed char.
constexpr FieldLimit kHeldPercent{0, 127, Overflow::Held};
// 32-bit fields that take no negative number.
constexpr FieldLimit kHeldNatural{0, std::numeric_limits<std::int32_t>::max(), Overflow::Held};

// One KeeperFX key and the field it fills. `file` ending in '/' stands for every file of
// that folder; a numbered section (`room12`) is named without its number.
struct KeyLimit {
    std::string_view file;
    std::string_view section;
    std::string_view key;
    FieldLimit limit;
};

// Every key of the slots' places whose field is narrower than 32 bits or refuses
// negative numbers; the others keep any 32-bit number.
constexpr std::array kKeyLimits = {
    KeyLimit{"creatrs/", "attributes", "Strength", kUnsigned16},
    KeyLimit{"creatrs/", "attributes", "Armour", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "Dexterity", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "Defence", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "Luck", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "Recovery", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "HungerRate", kUnsigned16},
    KeyLimit{"creatrs/", "attributes", "HungerFill", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "LairSize", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "HurtByLava", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "BaseSpeed", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "GoldHold", kSigned16},
    KeyLimit{"creatrs/", "attributes", "Pay", kSigned16},
    KeyLimit{"creatrs/", "attributes", "SlapsToKill", kUnsigned8},
    KeyLimit{"creatrs/", "attributes", "DamageToBoulder", kSigned16},
    KeyLimit{"creatrs/", "attraction", "RoomSlabsRequired", kUnsigned8},
    KeyLimit{"creatrs/", "attraction", "ScavengeRequirement", kSigned16},
    KeyLimit{"creatrs/", "attraction", "TortureTime", kSigned16},
    KeyLimit{"creatrs/", "annoyance", "AnnoyLevel", kUnsigned16},
    KeyLimit{"creatrs/", "senses", "Hearing", kUnsigned8},
    KeyLimit{"creatrs/", "appearance", "VisualRange", kUnsigned8},
    KeyLimit{"creatrs/", "experience", "PowersLevelRequired", kUnsigned8},
    // Its number slot is the level a creature grows up at, a byte.
    KeyLimit{"creatrs/", "experience", "GrowUp", kUnsigned8},
    KeyLimit{"creatrs/", "jobs", "TrainingValue", kUnsigned8},
    KeyLimit{"creatrs/", "jobs", "TrainingCost", kSigned16},
    KeyLimit{"creatrs/", "jobs", "ScavengeValue", kUnsigned8},
    KeyLimit{"creatrs/", "jobs", "ScavengerCost", kSigned16},
    KeyLimit{"creatrs/", "jobs", "ResearchValue", kUnsigned8},
    KeyLimit{"creatrs/", "jobs", "ManufactureValue", kUnsigned8},
    KeyLimit{"fxdata/terrain.cfg", "room", "Cost", kHeldSigned16},
    KeyLimit{"fxdata/magic.cfg", "shot", "Damage", kHeldSigned16},
    KeyLimit{"fxdata/magic.cfg", "shot", "Speed", kHeldSigned16},
    KeyLimit{"fxdata/rules.cfg", "rooms", "DefaultGenerateSpeed", kHeldUnsigned16},
    KeyLimit{"fxdata/rules.cfg", "rooms", "BodiesForVampire", kHeldUnsigned8},
    KeyLimit{"fxdata/rules.cfg", "creatures", "BodyRemainsFor", kHeldUnsigned16},
    KeyLimit{"fxdata/rules.cfg", "health", "GameTurnsPerHungerHealthLoss", kHeldUnsigned16},
    KeyLimit{"fxdata/rules.cfg", "health", "GameTurnsPerTortureHealthLoss", kHeldUnsigned16},
    KeyLimit{"fxdata/rules.cfg", "magic", "DiseaseLoseHealthTime", kHeldUnsigned8},
    KeyLimit{"fxdata/rules.cfg", "magic", "DiseaseLosePercentageHealth", kHeldUnsigned8},
    KeyLimit{"fxdata/rules.cfg", "magic", "DiseaseTransferPercentage", kHeldPercent},
    KeyLimit{"fxdata/rules.cfg", "magic", "HoldAudienceTime", kHeldNatural},
    KeyLimit{"fxdata/rules.cfg", "game", "DungeonHeartHealTime", kHeldNatural},
    KeyLimit{"fxdata/rules.cfg", "workers", "DefaultImpDigDamage", kHeldNatural},
    KeyLimit{"fxdata/rules.cfg", "workers", "DefaultImpDigOwnDamage", kHeldNatural},
};

bool fileMatches(std::string_view pattern, std::string_view file) {
    return pattern.ends_with('/') ? file.starts_with(pattern) : file == pattern;
}

std::string_view withoutNumber(std::string_view section) {
    while (!section.empty() && section.back() >= '0' && section.back() <= '9')
        section.remove_suffix(1);
    return section;
}

bool isNumber(const Place& place) {
    return place.encoding == Encoding::Number;
}

bool isFactoryValue(int record, std::int32_t value) {
    return factoryDefaults()[static_cast<std::size_t>(record - 1)] == value;
}

} // namespace

std::optional<FieldLimit> limitOf(const Place& place) {
    if (!isNumber(place))
        return std::nullopt;
    for (const KeyLimit& each : kKeyLimits)
        if (each.key == place.key && fileMatches(each.file, place.file) &&
            each.section == withoutNumber(place.section))
            return each.limit;
    return std::nullopt;
}

std::int32_t playedValue(const Place& place, std::int32_t written) {
    const auto limit = limitOf(place);
    if (!limit)
        return written;
    if (limit->overflow == Overflow::Held)
        return std::clamp(written, limit->lowest, limit->highest);
    const std::int64_t span = std::int64_t{limit->highest} - limit->lowest + 1;
    std::int64_t offset = (std::int64_t{written} - limit->lowest) % span;
    if (offset < 0)
        offset += span;
    return static_cast<std::int32_t>(limit->lowest + offset);
}

std::optional<std::int32_t> playedValue(const Place& place, std::optional<std::int32_t> written) {
    if (!written)
        return std::nullopt;
    return playedValue(place, *written);
}

bool fitsKeeperFx(const Place& place, std::int32_t value) {
    return playedValue(place, value) == value;
}

std::optional<std::int32_t> keeperFxHighest(int record) {
    const Place& place = placeOf(record);
    if (!isNumber(place))
        return std::nullopt;
    const auto limit = limitOf(place);
    return limit ? limit->highest : std::numeric_limits<std::int32_t>::max();
}

std::string limitRefusal(int record, std::int32_t value, std::string_view name) {
    const Place& place = placeOf(record);
    if (fitsKeeperFx(place, value) || isFactoryValue(record, value))
        return {};
    const FieldLimit limit = *limitOf(place);
    const bool above = value > limit.highest;
    return "The value " + std::to_string(value) + " of " + std::string(name) + " is " +
           (above ? "more" : "less") + " than KeeperFX can hold there (" +
           (above ? "at most " + std::to_string(limit.highest)
                  : "at least " + std::to_string(limit.lowest)) +
           "). KeeperFX's files have not been changed.";
}

std::int32_t heldFactoryValue(int record, std::int32_t value) {
    return isFactoryValue(record, value) ? playedValue(placeOf(record), value) : value;
}

std::string heldFactoryNote(int record, std::int32_t value) {
    return slotName(slotOfRecord(record)) + " keeps the original game's " + std::to_string(value) +
           ", more than KeeperFX can hold there: it is written as " +
           std::to_string(heldFactoryValue(record, value)) +
           ", which is what KeeperFX plays for it.";
}

void tenthFollowsNinth(const Place& place, std::vector<std::string>& words) {
    constexpr int kNinth = 8;
    constexpr std::size_t kTenth = 9;
    if (place.key == "Power" && place.section.starts_with("power") && place.index == kNinth &&
        words.size() > kTenth)
        words[kTenth] = words[kNinth];
}

} // namespace tavrel::keeperfx
