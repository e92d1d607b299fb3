#include "settingsfile/save_name.h"

#include "core/errors.h"

namespace tavrel {

namespace {

// The file saveSettingsAs writes, or an empty text for a refused name.
std::string settingsPathFor(std::string_view folder, std::string_view typedName,
                            std::string_view extension) {
    constexpr std::string_view kRefused = std::string_view("\\:*?\"<>|\0", 9);
    if (typedName.empty() || typedName.find_first_of(kRefused) != std::string_view::npos)
        return {};
    return fileio::joinPath(folder, std::string(typedName) + std::string(extension));
}

} // namespace

SettingsFileResult saveSettingsAs(std::string_view folder, std::string_view typedName,
                                  const ValueSet& values, std::string_view extension) {
    const std::string path = settingsPathFor(folder, typedName, extension);
    if (path.empty()) {
        SettingsFileResult refused;
        refused.errorNumber = err::BadFileName;
        refused.message = errorMessage(MessageTable::SettingsFile, err::BadFileName);
        return refused;
    }
    return saveSettingsFile(path, values);
}

} // namespace tavrel
