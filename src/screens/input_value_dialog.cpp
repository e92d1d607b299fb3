#include "screens/input_value_dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>

#include <optional>

#include "editing/typed_input.h"
#include "screens/tables/settings_screens.h"

namespace tavrel::screens {

namespace {

std::optional<ValueBounds> targetBounds(const EditorState& state) {
    if (!isValidSlot(state.InputTarget))
        return std::nullopt;
    return boundsOf(state.InputTarget);
}

InputValueDialog* openDialog(const AppContext& context) {
    return qobject_cast<InputValueDialog*>(context.window(kInputValueName));
}

} // namespace

InputValueDialog::InputValueDialog(AppContext& context)
    : QWidget(nullptr, Qt::Dialog), context_(context), value_(new QLineEdit(this)),
      current_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Input Value"));
    value_->setObjectName(QStringLiteral("Text_Value"));
    current_->setObjectName(QStringLiteral("Label_CurrentValue"));
    auto* caption = new QLabel(QStringLiteral("Current Value:"), this);
    caption->setObjectName(QStringLiteral("Label1"));

    const QFontMetrics metrics(font());
    const int lineHeight = metrics.height() + 8;
    const int captionWidth = metrics.horizontalAdvance(caption->text()) + 6;
    const int valueWidth = metrics.horizontalAdvance(QStringLiteral("-00000000000")) + 6;
    constexpr int kMargin = 10;
    value_->setGeometry(kMargin, kMargin, captionWidth + valueWidth, lineHeight);
    caption->setGeometry(kMargin, kMargin + lineHeight + 6, captionWidth, lineHeight);
    current_->setGeometry(kMargin + captionWidth, kMargin + lineHeight + 6, valueWidth, lineHeight);
    setFixedSize(2 * kMargin + captionWidth + valueWidth, 2 * kMargin + 2 * lineHeight + 6);

    showTexts();
    connect(value_, &QLineEdit::textEdited, this, &InputValueDialog::edited);
    connect(value_, &QLineEdit::returnPressed, this, &InputValueDialog::enter);
}

void InputValueDialog::showTexts() {
    const EditorState& state = context_.state;
    current_->setText(QString::fromStdString(state.InputCurrentValue));
    const QString text = QString::fromStdString(state.InputText);
    if (value_->text() != text) {
        value_->setText(text); // leaves the caret at the end
    }
}

void InputValueDialog::focusValue() {
    value_->setFocus(Qt::OtherFocusReason);
    value_->selectAll();
}

void InputValueDialog::edited(const QString& text) {
    EditorState& state = context_.state;
    InputBox box{state.InputText, state.InputLastValue};
    changeInputText(box, text.toStdString(), targetBounds(state));
    state.InputText = box.text;
    state.InputLastValue = box.lastValue;
    showTexts();
}

void InputValueDialog::enter() {
    EditorState& state = context_.state;
    const SlotRef target = state.InputTarget;
    if (isValidSlot(target)) {
        // Stored for the slot the dialog was opened for, whatever the screens show now.
        context_.store.set(target, wholeNumberReading(value_->text().toStdString()));
        context_.refresh(refreshOrderOf(target.category));
    }
    close();
}

void InputValueDialog::closeEvent(QCloseEvent* event) {
    // Closed is unloaded: the next use starts again from the initial texts.
    context_.state.InputText = "0";
    context_.state.InputCurrentValue = "0";
    event->accept();
}

void syncInputDialog(AppContext& context) {
    EditorState& state = context.state;
    std::optional<std::int32_t> value;
    if (isValidSlot(state.InputTarget)) {
        value = context.store.value(state.InputTarget);
        state.InputCurrentValue = std::to_string(*value);
    }
    InputBox box{state.InputText, state.InputLastValue};
    syncInputBox(box, value, targetBounds(state));
    state.InputText = box.text;
    state.InputLastValue = box.lastValue;
    if (auto* dialog = openDialog(context); dialog && dialog->isVisible())
        dialog->showTexts();
}

QWidget* openInputDialog(AppContext& context) {
    installValueEditing(context);
    QWidget* window =
        context.openWindow(kInputValueName, [&context] { return new InputValueDialog(context); });
    syncInputDialog(context);
    if (auto* dialog = qobject_cast<InputValueDialog*>(window))
        dialog->focusValue();
    return window;
}

void installValueEditing(AppContext& context) {
    context.setRefresher(RefreshOrder::InputValue, [&context] { syncInputDialog(context); });
}

} // namespace tavrel::screens
