#pragma once

#include "screens/widgets/settings_file_browser.h"

class QLineEdit;

namespace tavrel::screens {

// "Save Settings": every current value into a settings file named in the box.
class Form_SaveSettings : public SettingsFileBrowser {
    Q_OBJECT
public:
    explicit Form_SaveSettings(AppContext& context, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void save();

    QLineEdit* name_;
    QString chosen_; // the file last chosen in the list
};

} // namespace tavrel::screens
