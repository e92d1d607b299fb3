#pragma once

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

} // namespace tavrel::screens
