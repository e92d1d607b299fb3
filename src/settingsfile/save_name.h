#pragma once

#include <string>
#include <string_view>

#include "settingsfile/settings_file.h"

namespace tavrel {

// Saves every value under the name typed in the save dialog, in `folder`: the name as
// typed with `extension` after it, so "Test.dks" gives "Test.dks.dks". A "/" in the
// name makes it a path below `folder`. A name holding a backslash or a character that
// Windows refuses in file names is refused on every system with error 52, so that no
// one writes a settings file that others cannot open; nothing is written then.
// `extension` is ".dks" for a new name; saving over a listed file passes its own.
SettingsFileResult saveSettingsAs(std::string_view folder, std::string_view typedName,
                                  const ValueSet& values,
                                  std::string_view extension = kSettingsExtension);

} // namespace tavrel
