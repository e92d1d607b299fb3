#pragma once

#include <QWidget>

#include "screens/app_context.h"

class QLabel;
class QLineEdit;

namespace tavrel::screens {

inline const QString kInputValueName = QStringLiteral("Form_InputValue");

// The manual input dialog for the slot in state.InputTarget. Its texts live in the
// editor state (InputText, InputCurrentValue, InputLastValue); the window only shows
// them and passes typing on to the change rule.
class InputValueDialog : public QWidget {
    Q_OBJECT
public:
    // With an `owner` (the settings screen of the value) the dialog is a tool window
    // of it, so it never hides behind it.
    explicit InputValueDialog(AppContext& context, QWidget* owner = nullptr);
    ~InputValueDialog() override;

    // The value's screen and caption, above the box.
    void setCaption(const QString& caption);
    // Moves the dialog beside `anchor` (the value label), within the anchor's screen.
    void placeBeside(const QWidget* anchor);

    // Shows the texts of the editor state.
    void showTexts();
    // Puts the caret in the box with the whole text selected, ready to be typed over.
    void focusValue();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void edited(const QString& text);
    void enter();

    AppContext& context_;
    QLineEdit* value_;
    QLabel* current_;
    QLabel* caption_;
};

// SyncInputDialog: copies the target slot's value into the dialog's texts under the
// change rule, and updates the dialog when it is open. Works with the dialog closed.
void syncInputDialog(AppContext& context);

// Opens Form_InputValue modeless (never a second one) for state.InputTarget and
// brings it in step with the slot. Given the value label as `anchor`, the dialog is a
// tool window of the label's screen placed beside the label, captioned `caption`.
QWidget* openInputDialog(AppContext& context, QWidget* anchor = nullptr,
                         const QString& caption = {});

// Registers syncInputDialog as the input dialog's redraw, so that the context's
// refreshAll (restore defaults, settings file load) keeps the dialog in step. Safe to
// call any number of times; opening a settings screen calls it too.
void installValueEditing(AppContext& context);

} // namespace tavrel::screens
