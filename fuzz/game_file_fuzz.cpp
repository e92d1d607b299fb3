// Any bytes as CREATURE.TXT: the reader must count and extract exactly as a plain scan
// of the digit runs says, refuse without touching the store, and what it accepts must
// come back unchanged after being written out and read again.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/factory_defaults.h"
#include "core/settings_store.h"
#include "fuzz_support.h"
#include "gamefile/layout.h"
#include "gamefile/reader.h"
#include "gamefile/writer.h"

namespace tavrel {
namespace {

// The numbers of a file by the simplest reading there is: every digit run followed by
// some other byte, kept as text.
std::vector<std::string_view> scan(std::string_view bytes) {
    std::vector<std::string_view> numbers;
    std::size_t start = std::string_view::npos;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool digit = bytes[i] >= '0' && bytes[i] <= '9';
        if (digit && start == std::string_view::npos) {
            start = i;
        } else if (!digit && start != std::string_view::npos) {
            numbers.push_back(bytes.substr(start, i - start));
            start = std::string_view::npos;
        }
    }
    return numbers;
}

// Compared as text, so the check shares no arithmetic with the reader.
bool fitsInt32(std::string_view digits) {
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string_view::npos)
        return true;
    const std::string_view significant = digits.substr(first);
    return significant.size() < 10 || (significant.size() == 10 && significant <= "2147483647");
}

std::int32_t valueOf(std::string_view digits) {
    std::int64_t v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return static_cast<std::int32_t>(v);
}

bool isYesNoField(int record) {
    if (record > kCreatureKinds * kCreatureFields)
        return false;
    const int field = (record - 1) % kCreatureFields + 1;
    return field == 37 || field == 72 || field == 73 || field == 75;
}

const std::string& gameFolder() {
    static const std::string folder = [] {
        const std::string root = fuzz::workFolder() + "/game";
        std::filesystem::create_directories(root + "/Data");
        return root;
    }();
    return folder;
}

} // namespace
} // namespace tavrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    using fuzz::check;
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const ValueSet& defaults = factoryDefaults();

    const std::vector<std::string_view> numbers = scan(bytes);
    const int count = static_cast<int>(numbers.size());
    check(countNumbers(bytes) == count, "countNumbers disagrees with a plain scan");

    const GameFileRead read = parseGameFile(bytes, defaults);
    check(read.numberCount == count, "the reader counted another number of digit runs");
    bool allFit = true;
    for (std::string_view n : numbers)
        allFit = allFit && fitsInt32(n);

    if (count != layout::kNumberCount) {
        check(read.status == ReadStatus::Rejected, "a file without 5200 numbers was not refused");
    } else if (!allFit) {
        check(read.status == ReadStatus::Failed && read.errorNumber == 6,
              "a number beyond the 32-bit range did not fail with error 6");
    } else {
        check(read.status == ReadStatus::Accepted, "a well-formed file was not accepted");
        for (int record = 1; record <= kSlotCount; ++record) {
            const auto i = static_cast<std::size_t>(record - 1);
            std::int32_t want =
                valueOf(numbers[static_cast<std::size_t>(layout::readPosition(record) - 1)]);
            if (isYesNoField(record) && want > 1)
                want = defaults[i];
            check(read.values[i] == want, "a slot did not get the number at its position");
        }
        // Written out and read again, every (necessarily non-negative) value comes back.
        const std::string written = renderGameFile(read.values);
        const GameFileRead again = parseGameFile(written, defaults);
        check(again.status == ReadStatus::Accepted, "the writer's own file was refused");
        check(again.values == read.values, "a value changed on being written and read again");
    }

    // The same bytes through the disk into a store that holds other values.
    static const ValueSet before = fuzz::markedValues(7);
    fuzz::writeFile(gameFolder() + "/Data/CREATURE.TXT", bytes);
    SettingsStore store;
    store.assign(before);
    const std::uint64_t revision = store.revision();
    const GameReadResult result = readGame(gameFolder(), store);
    check(result.status == read.status, "reading from disk differs from reading the bytes");
    check(result.numberCount == count, "reading from disk counted another number of runs");
    if (result.status == ReadStatus::Accepted) {
        check(store.values() == read.values, "the store does not hold the values read");
        check(!result.addonPresent, "an add-on copy was reported where there is none");
    } else {
        check(store.values() == before, "a refused file changed a value");
        check(store.revision() == revision, "a refused file counted as a change");
    }
    check(store.defaults() == defaults, "reading changed a factory value");
    return 0;
}
