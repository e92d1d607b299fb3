#pragma once

#include <string>
#include <string_view>

#include "settingsfile/settings_file.h"

namespace tavrel {

// Saves every value under the name typed in the save dialog, in `folder`: the name as
// typed with ".dks" after it, so "Test.dks" gives "Test.dks.dks". A separator in the
// name makes it a path below `folder`. A name holding a character that Windows
// refuses in file names is refused on every system with error 52, so that no one
// writes a settings file that others cannot open; nothing is written then.
SettingsFileResult saveSettingsAs(std::string_view folder, std::string_view typedName,
                                  const ValueSet& values);

} // namespace tavrel
