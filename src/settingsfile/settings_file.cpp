#include "settingsfile/settings_file.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "core/errors.h"

namespace tavrel {

namespace {

SettingsFileResult ioFailure(fileio::IoError error) {
    SettingsFileResult result;
    result.errorNumber = error.number();
    result.message = error.contentInPlace() ? unconfirmedMessage("The settings", error.reason())
                                            : error.message(MessageTable::SettingsFile);
    result.error = std::move(error);
    return result;
}

std::int32_t littleEndianAt(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // The file's own byte order: one load per record instead of four shifts.
        std::memcpy(&v, bytes.data() + at, sizeof v);
    } else {
        for (std::size_t i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return static_cast<std::int32_t>(v);
}

} // namespace

std::string encodeSettings(const ValueSet& values) {
    std::string bytes;
    bytes.reserve(kSettingsFileSize);
    for (std::int32_t value : values) {
        const auto v = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    return bytes;
}

std::optional<ValueSet> decodeSettings(std::string_view bytes, SettingsLayout* layout) {
    const bool legacy = bytes.size() == kLegacySettingsFileSize;
    if (!legacy && bytes.size() < kSettingsFileSize)
        return std::nullopt;
    const std::size_t recordSize = legacy ? kLegacyRecordSize : 4;
    ValueSet values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = littleEndianAt(bytes, i * recordSize);
    if (layout)
        *layout = legacy ? SettingsLayout::Legacy : SettingsLayout::Current;
    return values;
}

SettingsFileResult saveSettingsFile(const std::string& path, const ValueSet& values) {
    if (auto error = fileio::replaceFile(path, encodeSettings(values)))
        return ioFailure(std::move(*error));
    SettingsFileResult result;
    result.ok = true;
    return result;
}

SettingsFileResult readSettingsFile(const std::string& path, ValueSet& values) {
    std::string bytes;
    SettingsFileResult result;
    if (auto error = fileio::readFile(path, bytes, kLegacySettingsFileSize)) {
        if (!error->tooLarge())
            return ioFailure(std::move(*error));
        result.message = msg::SettingsFileTooLarge;
        return result;
    }
    const auto decoded = decodeSettings(bytes, &result.layout);
    if (!decoded) {
        result.message = msg::SettingsFileTooShort;
        return result;
    }
    values = *decoded;
    result.ok = true;
    return result;
}

SettingsFileResult loadSettingsFile(const std::string& path, SettingsStore& store) {
    ValueSet values{};
    SettingsFileResult result = readSettingsFile(path, values);
    if (result.ok)
        store.fill(values, "Load Settings", RulesOrigin::GameFile);
    return result;
}

} // namespace tavrel
