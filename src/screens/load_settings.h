#pragma once

#include <string>

#include "screens/widgets/settings_file_browser.h"

namespace tavrel::screens {

// "Load Settings (*.dks)": choosing a settings file replaces every current value with
// its values at once, and every window shows them.
class Form_LoadSettings : public SettingsFileBrowser {
    Q_OBJECT
public:
    explicit Form_LoadSettings(AppContext& context, QWidget* parent = nullptr);

private:
    void load(const QString& file);
};

// What loading a settings file came to.
enum class SettingsLoad { Loaded, NotSettingsFile, Failed };

// Loads the settings file `path` as Load Settings does, whether the user chose it in the
// dialog or opened it from outside: every value replaced, every window refreshed and
// "File loaded." on the status line. A file refused or not read is told in a message box
// over `parent`, and no value changes. `name` is the name the list of changes shows.
SettingsLoad loadSettings(AppContext& context, QWidget* parent, const std::string& path,
                          const std::string& name);

} // namespace tavrel::screens
