#include "gamefile/writer.h"

#include <charconv>
#include <cstddef>
#include <optional>

#include "core/bounds.h"
#include "core/catalogue.h"
#include "core/errors.h"
#include "gamefile/creature_template.h"
#include "gamefile/game_paths.h"
#include "gamefile/layout.h"

namespace tavrel {

namespace {

// Longest decimal text of a 32-bit value: "-2147483648".
constexpr std::size_t kMaxValueText = 11;

char* writeValue(char* out, std::int32_t v) {
    return std::to_chars(out, out + kMaxValueText, v).ptr;
}

std::int32_t valueOf(const ValueSet& values, SlotRef ref) {
    return values[static_cast<std::size_t>(recordOf(ref) - 1)];
}

// The second copies: each creature's "To Level (Grow Up)" column, then the instance
// columns that repeat another instance's reset times.
std::int32_t copyValue(const ValueSet& values, int copy) {
    constexpr int kGrowUpField = 35;
    constexpr int kLastLevelField = 34;
    if (copy <= kCreatureKinds)
        return valueOf(values, SlotRef::creature(copy, kGrowUpField)) <= 0
                   ? 0
                   : valueOf(values, SlotRef::creature(copy, kLastLevelField));
    constexpr int kCopiedAbility[] = {4, 5, 2, 3};
    return valueOf(values,
                   SlotRef::of(Category::Ability, kCopiedAbility[copy - kCreatureKinds - 1]));
}

std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The system's words, with the likely cause when another program holds a game file.
std::string reasonOf(const fileio::IoError& error) {
    return error.reason() + (error.why == fileio::InUse ? "; the game may be running" : "");
}

} // namespace

std::string refusedValueMessage(std::int32_t value, std::string_view name) {
    return "The value " + std::to_string(value) + " of " + std::string(name) +
           " cannot be written: the game file holds no negative numbers. The game's files "
           "have not been changed.";
}

// The reader takes digit runs, so a minus sign would be lost on the way back and the
// smallest value would not even fit: such a value is refused before anything is written.
std::optional<RefusedValue> refusedValue(const ValueSet& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] >= 0)
            continue;
        const SlotRef ref = slotOfRecord(static_cast<int>(i) + 1);
        return RefusedValue{ref, refusedValueMessage(values[i], slotName(ref))};
    }
    return std::nullopt;
}

std::vector<SlotRef> beyondGame(const ValueSet& values) {
    std::vector<SlotRef> slots;
    for (int record = 1; record <= kSlotCount; ++record) {
        const SlotRef ref = slotOfRecord(record);
        if (values[static_cast<std::size_t>(record - 1)] > boundsOf(ref).upper)
            slots.push_back(ref);
    }
    return slots;
}

std::string beyondGameMessage(const ValueSet& values, const std::vector<SlotRef>& slots,
                              const std::function<std::string(SlotRef)>& name) {
    // A long list is cut: the rest are found the same way once these are mended.
    constexpr std::size_t kNamed = 10;
    const std::size_t named = std::min(slots.size(), kNamed);
    const bool one = slots.size() == 1;
    std::string text = "The original game cannot take " + std::to_string(slots.size()) +
                       (one ? " value: " : " values: ");
    for (std::size_t i = 0; i < named; ++i) {
        const SlotRef ref = slots[i];
        text += (i == 0                  ? ""
                 : i + 1 == slots.size() ? " and "
                                         : ", ") +
                name(ref) + " " +
                std::to_string(values[static_cast<std::size_t>(recordOf(ref) - 1)]) + " (at most " +
                std::to_string(boundsOf(ref).upper) + ")";
    }
    if (named < slots.size())
        text += " and " + std::to_string(slots.size() - named) + " more";
    const std::string_view it = one ? "it" : "them";
    return text + ". Bring " + std::string(it) + " within the game's bounds to apply " +
           std::string(it) + " to CREATURE.TXT. The game's files have not been changed.";
}

std::string renderGameFile(const ValueSet& values) {
    // Written through a plain pointer into room for the longest possible file, then cut
    // to length: a growing string would check its capacity at every one of the 44,000
    // bytes, and rendering would cost a noticeable part of an Apply.
    static const std::size_t room = [] {
        std::size_t bytes = 0;
        for (std::string_view text : CreatureTemplate())
            for (char c : text)
                bytes += c == '=' || c == '/' ? kMaxValueText : c == '+' ? 2 : 1;
        return bytes;
    }();
    std::string out(room, '\0');
    char* w = out.data();
    int placeholder = 1;
    int copy = 1;
    for (std::string_view text : CreatureTemplate()) {
        for (char c : text) {
            switch (c) {
            case '*':
                *w++ = '\t';
                break;
            case '+':
                *w++ = '\r';
                *w++ = '\n';
                break;
            case '=':
                w = writeValue(
                    w,
                    values[static_cast<std::size_t>(layout::placeholderRecord(placeholder++) - 1)]);
                break;
            case '/':
                w = writeValue(w, copyValue(values, copy++));
                break;
            default:
                *w++ = c;
            }
        }
    }
    out.resize(static_cast<std::size_t>(w - out.data()));
    return out;
}

ApplyResult applyToGame(const std::string& installPath, const ValueSet& values) {
    ApplyResult result;
    const std::string creature = gameFilePath(installPath, kCreatureFileName);
    if (!fileio::FileExists(creature)) {
        result.outcome = ApplyOutcome::GameMissing;
        result.message = msg::GameMissing;
        return result;
    }
    // Looked for before anything is written, so that a failure can say exactly
    // which of the two files changed.
    const std::string addon = gameFilePath(installPath, kAddonFileName);
    const bool addonPresent = fileio::FileExists(addon);

    if (auto refused = refusedValue(values)) {
        result.message = std::move(refused->message);
        result.refusedSlot = refused->slot;
        return result;
    }
    if (result.beyondGame = beyondGame(values); !result.beyondGame.empty()) {
        result.message = beyondGameMessage(values, result.beyondGame, slotName);
        return result;
    }
    const std::string content = renderGameFile(values);
    // An error after the rename means the new file is in place; only its durability
    // is in doubt, and the user must not be told that nothing changed.
    auto replaced = [](const fileio::Status& error) { return !error || error->contentInPlace(); };
    fileio::Status error = fileio::replaceFile(creature, content);
    if (!replaced(error)) {
        result.outcome = ApplyOutcome::Failed;
        result.message = "Unable to write " + fileName(creature) + ": " + reasonOf(*error) +
                         ". The game's files have not been changed.";
        result.error = std::move(error);
        return result;
    }
    if (addonPresent) {
        fileio::Status addonError = fileio::replaceFile(addon, content);
        if (!replaced(addonError)) {
            result.outcome = ApplyOutcome::AddonFailed;
            result.message = fileName(creature) + " has been updated, but " + fileName(addon) +
                             " could not be written: " + reasonOf(*addonError) + ". " +
                             fileName(addon) + " has not been changed.";
            result.error = std::move(addonError);
            return result;
        }
        result.addonWritten = true;
        if (!error)
            error = std::move(addonError);
    }
    if (error) {
        result.outcome = ApplyOutcome::Unconfirmed;
        result.message = unconfirmedMessage("The changes", error->reason());
        result.error = std::move(error);
        return result;
    }
    result.outcome = ApplyOutcome::Applied;
    return result;
}

} // namespace tavrel
