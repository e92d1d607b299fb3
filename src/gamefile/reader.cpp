#include "gamefile/reader.h"

#include <array>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "core/errors.h"
#include "gamefile/game_paths.h"
#include "gamefile/layout.h"

namespace tavrel {

namespace {

// For every number position, the record it fills (0 for none).
const std::array<std::int16_t, layout::kNumberCount + 1>& recordAtPosition() {
    static const auto table = [] {
        std::array<std::int16_t, layout::kNumberCount + 1> t{};
        for (int record = 1; record <= kSlotCount; ++record)
            t[static_cast<std::size_t>(layout::readPosition(record))] =
                static_cast<std::int16_t>(record);
        return t;
    }();
    return table;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr std::array<int, 4> kYesNoFields = {37, 72, 73, 75};

} // namespace

int countNumbers(std::string_view bytes) {
    int count = 0;
    bool inRun = false;
    for (char c : bytes) {
        if (isDigit(c)) {
            inRun = true;
        } else if (inRun) {
            ++count;
            inRun = false;
        }
    }
    return count;
}

GameFileRead parseGameFile(std::string_view bytes, const ValueSet& defaults) {
    GameFileRead result;
    const auto& records = recordAtPosition();
    bool overflow = false;
    int count = 0;
    // One tight loop over the bytes between numbers and one over each number's digits,
    // so that the only hard-to-predict branches are the two ends of every run.
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    for (;;) {
        while (p != end && !isDigit(*p))
            ++p;
        std::int64_t value = 0;
        while (p != end && isDigit(*p)) {
            // Once past the 32-bit range the run can only overflow; stop growing.
            if (value <= std::numeric_limits<std::int32_t>::max())
                value = value * 10 + (*p - '0');
            ++p;
        }
        if (p == end)
            break; // no number, or a final run with no byte after it: not counted
        ++count;
        if (value > std::numeric_limits<std::int32_t>::max())
            overflow = true;
        else if (count <= layout::kNumberCount && records[static_cast<std::size_t>(count)] != 0)
            result.values[static_cast<std::size_t>(records[static_cast<std::size_t>(count)] - 1)] =
                static_cast<std::int32_t>(value);
    }
    result.numberCount = count;
    if (count != layout::kNumberCount) {
        result.status = ReadStatus::Rejected;
        return result;
    }
    if (overflow) {
        result.status = ReadStatus::Failed;
        result.errorNumber = err::Overflow;
        return result;
    }
    for (int kind = 1; kind <= kCreatureKinds; ++kind) {
        for (int field : kYesNoFields) {
            const auto i = static_cast<std::size_t>(recordOf(SlotRef::creature(kind, field)) - 1);
            if (result.values[i] > 1)
                result.values[i] = defaults[i];
        }
    }
    result.status = ReadStatus::Accepted;
    return result;
}

GameFileRead readGameFileAt(const std::string& path, const ValueSet& defaults) {
    // A real game file is 44 KB; anything this large is no game file, and reading it
    // (or an endless device) whole would only cost memory and time.
    constexpr std::size_t kLargestGameFile = std::size_t{16} * 1024 * 1024;
    std::string bytes;
    if (auto error = fileio::readFile(path, bytes, kLargestGameFile)) {
        GameFileRead failed;
        if (error->code == EFBIG && error->step == "read")
            failed.status = ReadStatus::Rejected;
        else
            failed.errorNumber = error->number();
        failed.ioError = std::move(error);
        return failed;
    }
    return parseGameFile(bytes, defaults);
}

GameReadResult readGame(const std::string& installPath, SettingsStore& store) {
    const GameFileRead read =
        readGameFileAt(gameFilePath(installPath, kCreatureFileName), store.defaults());
    GameReadResult result;
    result.status = read.status;
    result.numberCount = read.numberCount;
    result.errorNumber = read.errorNumber;
    result.ioError = read.ioError;
    if (read.status == ReadStatus::Accepted) {
        store.fill(read.values, "Dungeon Keeper Location", RulesOrigin::GameFile);
        result.addonPresent = fileio::FileExists(gameFilePath(installPath, kAddonFileName));
    }
    return result;
}

} // namespace tavrel
