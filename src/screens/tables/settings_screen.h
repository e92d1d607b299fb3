#pragma once

#include <QWidget>

#include <memory>
#include <vector>

#include "screens/app_context.h"
#include "screens/tables/screen_layouts.h"
#include "screens/widgets/value_row.h"

namespace tavrel::screens {

// A table screen of values (room to miscellaneous), built from its layout. Row i
// (Label_Less(i), Label_Stat(i), Label_More(i)) edits slot i of the category.
class SettingsScreen : public QWidget {
    Q_OBJECT
public:
    SettingsScreen(AppContext& context, const ScreenLayout& layout);
    ~SettingsScreen() override;

    // RefreshValues: every value label's caption and colour from the store. Works
    // whether or not the screen is shown.
    void refreshValues();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void unregister();
    QSize buildFrame(QWidget* frame, const FrameLayout& layout, int width, int captionWidth);
    QSize buildNotes(QWidget* frame, const FrameLayout& layout, int width);

    AppContext& context_;
    Category category_;
    bool registered_ = false;
    std::vector<std::unique_ptr<ValueRow>> rows_; // index = slot; element 0 unused
};

} // namespace tavrel::screens
