#include "screens/input_value_dialog.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <algorithm>
#include <optional>

#include "editing/typed_input.h"
#include "screens/tables/settings_screens.h"
#include "screens/widgets/fit_window.h"

namespace tavrel::screens {

namespace {

std::optional<ValueBounds> targetBounds(const AppContext& context) {
    if (!isValidSlot(context.state.InputTarget))
        return std::nullopt;
    return boundsOf(context.state.InputTarget, context.store.origin());
}

InputValueDialog* openDialog(const AppContext& context) {
    return qobject_cast<InputValueDialog*>(context.window(kInputValueName));
}

} // namespace

InputValueDialog::InputValueDialog(AppContext& context, QWidget* owner)
    : QWidget(owner, owner ? Qt::Tool : Qt::Dialog), context_(context), value_(new QLineEdit(this)),
      current_(new QLabel(this)), caption_(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Input Value"));
    value_->setObjectName(QStringLiteral("Text_Value"));
    current_->setObjectName(QStringLiteral("Label_CurrentValue"));
    caption_->setObjectName(QStringLiteral("Label_Caption"));
    auto* caption = new QLabel(QStringLiteral("Current Value:"), this);
    caption->setObjectName(QStringLiteral("Label1"));
    auto* hint = new QLabel(QStringLiteral("Enter stores the value."), this);
    hint->setObjectName(QStringLiteral("Label_Hint"));

    const QFontMetrics metrics(font());
    const int valueWidth = metrics.horizontalAdvance(QStringLiteral("-00000000000")) + 6;
    current_->setMinimumWidth(valueWidth);
    auto* layout = new QGridLayout(this);
    layout->addWidget(caption_, 0, 0, 1, 2);
    layout->addWidget(value_, 1, 0, 1, 2);
    layout->addWidget(caption, 2, 0);
    layout->addWidget(current_, 2, 1);
    layout->addWidget(hint, 3, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    caption_->hide();

    showTexts();
    connect(value_, &QLineEdit::textEdited, this, &InputValueDialog::edited);
    connect(value_, &QLineEdit::returnPressed, this, &InputValueDialog::enter);
}

InputValueDialog::~InputValueDialog() {
    // Gone with its settings screen is unloaded too.
    context_.state.InputText = "0";
    context_.state.InputCurrentValue = "0";
}

void InputValueDialog::setCaption(const QString& caption) {
    caption_->setText(caption);
    caption_->setVisible(!caption.isEmpty());
    layout()->activate();
}

void InputValueDialog::placeBeside(const QWidget* anchor) {
    const QRect area = anchor->screen()->availableGeometry();
    const QPoint right = anchor->mapToGlobal(QPoint(anchor->width() + 8, 0));
    QRect frame = frameGeometry();
    frame.moveTopLeft(right);
    if (frame.right() > area.right()) // no room on the right: on the left of the value
        frame.moveRight(anchor->mapToGlobal(QPoint(-8, 0)).x());
    move(placedFrame(frame, area).topLeft());
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
    changeInputText(box, text.toStdString(), targetBounds(context_));
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
    syncInputBox(box, value, targetBounds(context));
    state.InputText = box.text;
    state.InputLastValue = box.lastValue;
    if (auto* dialog = openDialog(context); dialog && dialog->isVisible())
        dialog->showTexts();
}

QWidget* openInputDialog(AppContext& context, QWidget* anchor, const QString& caption) {
    installValueEditing(context);
    QWidget* owner = anchor ? anchor->window() : nullptr;
    if (auto* dialog = openDialog(context); dialog && dialog->parentWidget() != owner)
        dialog->setParent(owner, owner ? Qt::Tool : Qt::Dialog); // retargeted to another screen
    QWidget* window = context.openWindow(
        kInputValueName, [&context, owner] { return new InputValueDialog(context, owner); });
    syncInputDialog(context);
    if (auto* dialog = qobject_cast<InputValueDialog*>(window)) {
        dialog->setCaption(caption);
        if (anchor)
            dialog->placeBeside(anchor);
        dialog->focusValue();
    }
    return window;
}

void installValueEditing(AppContext& context) {
    context.setRefresher(RefreshOrder::InputValue, [&context] { syncInputDialog(context); });
}

} // namespace tavrel::screens
