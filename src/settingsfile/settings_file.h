#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "core/fileio.h"
#include "core/settings_store.h"

namespace tavrel {

// 2,680 little-endian 32-bit records.
inline constexpr std::size_t kSettingsFileSize = 4 * kSlotCount;
// The older layout: 128-byte records, the value in the first 4 bytes of each, and
// the file ending right after the last value.
inline constexpr std::size_t kLegacyRecordSize = 128;
inline constexpr std::size_t kLegacySettingsFileSize = kLegacyRecordSize * (kSlotCount - 1) + 4;

inline constexpr std::string_view kSettingsExtension = ".dks";

std::string encodeSettings(const ValueSet& values);

enum class SettingsLayout { Current, Legacy };

// The values of a settings file's bytes; nullopt when too short for the current
// layout (and not exactly the legacy length). Longer files keep their first records.
std::optional<ValueSet> decodeSettings(std::string_view bytes, SettingsLayout* layout = nullptr);

struct SettingsFileResult {
    bool ok = false;
    int errorNumber = 0; // for a run-time error; 0 when refused for its content
    std::optional<fileio::IoError> error;
    std::string message;                             // what to tell the user when not ok
    SettingsLayout layout = SettingsLayout::Current; // of a file read
};

// Writes all values to `path`, replacing any earlier file whole.
SettingsFileResult saveSettingsFile(const std::string& path, const ValueSet& values);

// Reads `path` and, only when it is a settings file, replaces every current value.
SettingsFileResult loadSettingsFile(const std::string& path, SettingsStore& store);

// Reads a settings file's values without touching any store.
SettingsFileResult readSettingsFile(const std::string& path, ValueSet& values);

} // namespace tavrel
