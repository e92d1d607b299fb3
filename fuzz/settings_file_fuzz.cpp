// Any bytes as a .dks settings file: the loader must take exactly the little-endian
// records of the layout its length selects, refuse a file too short without touching
// the store, and whatever it accepts must save and load back unchanged.

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/errors.h"
#include "core/factory_defaults.h"
#include "core/settings_store.h"
#include "fuzz_support.h"
#include "settingsfile/settings_file.h"

namespace tavrel {
namespace {

// Record r of the file by the format's own definition, byte by byte.
std::int32_t recordAt(std::string_view bytes, std::size_t start) {
    std::uint32_t v = 0;
    for (std::size_t i = 4; i-- > 0;)
        v = (v << 8) | static_cast<unsigned char>(bytes[start + i]);
    return static_cast<std::int32_t>(v);
}

} // namespace
} // namespace tavrel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    using fuzz::check;
    const std::string_view bytes = fuzz::bytesOf(data, size);
    static const std::string path = fuzz::workFolder() + "/input.dks";
    static const std::string savedPath = fuzz::workFolder() + "/saved.dks";
    static const ValueSet before = fuzz::markedValues(11);

    const bool legacy = size == kLegacySettingsFileSize;
    const bool accepted = legacy || size >= kSettingsFileSize;
    ValueSet expected{};
    if (accepted) {
        const std::size_t stride = legacy ? kLegacyRecordSize : 4;
        for (std::size_t r = 0; r < expected.size(); ++r)
            expected[r] = recordAt(bytes, r * stride);
    }

    SettingsLayout layout{};
    const auto decoded = decodeSettings(bytes, &layout);
    check(decoded.has_value() == accepted, "decoding accepted the wrong lengths");
    if (decoded) {
        check(*decoded == expected, "a record was decoded from the wrong bytes");
        check(layout == (legacy ? SettingsLayout::Legacy : SettingsLayout::Current),
              "the layout does not follow the length");
    }

    fuzz::writeFile(path, bytes);
    SettingsStore store;
    store.assign(before);
    const std::uint64_t revision = store.revision();
    const SettingsFileResult result = loadSettingsFile(path, store);
    check(result.ok == accepted, "loading accepted the wrong lengths");
    check(store.defaults() == factoryDefaults(), "loading changed a factory value");
    if (!accepted) {
        check(result.message == msg::SettingsFileTooShort && result.errorNumber == 0,
              "a short file was refused with the wrong message");
        check(store.values() == before, "a refused file changed a value");
        check(store.revision() == revision, "a refused file counted as a change");
        return 0;
    }
    check(store.values() == expected, "the store does not hold the file's records");

    // Saved and loaded again: the current layout, exactly the values, nothing else.
    const std::string encoded = encodeSettings(store.values());
    check(encoded.size() == kSettingsFileSize, "an encoded set has the wrong length");
    if (!legacy)
        check(encoded == bytes.substr(0, kSettingsFileSize),
              "encoding does not give back the file's own records");
    const SettingsFileResult saved = saveSettingsFile(savedPath, store.values());
    check(saved.ok, "saving into the work folder failed");
    SettingsStore reloaded;
    check(loadSettingsFile(savedPath, reloaded).ok, "a saved file was refused");
    check(reloaded.values() == expected, "a value changed on being saved and loaded");
    return 0;
}
