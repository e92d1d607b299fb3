#include "screens/widgets/value_row.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "editing/stepping.h"
#include "screens/input_value_dialog.h"
#include "screens/slot_captions.h"
#include "screens/widgets/marking.h"

namespace tavrel::screens {

namespace {

constexpr int kStepLabelPadding = 8;
constexpr int kStatPadding = 8;
constexpr int kLabelGap = 1;

int stepLabelWidth(const QFontMetrics& metrics) {
    return metrics.horizontalAdvance(QLatin1Char('+')) + kStepLabelPadding;
}

int statWidth(const QFontMetrics& metrics) {
    // The widest text a signed 32-bit value can have, so that no value is ever cut.
    return metrics.horizontalAdvance(QStringLiteral("-2147483648")) + kStatPadding;
}

} // namespace

QColor highlightColour(std::int32_t value, std::int32_t factoryDefault) {
    switch (highlightOf(value, factoryDefault)) {
    case Highlight::Above:
        return kColourAbove;
    case Highlight::Below:
        return kColourBelow;
    case Highlight::Equal:
        break;
    }
    return kColourEqual;
}

int buttonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return kButtonLeft;
    case Qt::RightButton:
        return kButtonRight;
    case Qt::MiddleButton:
        return kButtonMiddle;
    default:
        return 0;
    }
}

int modifierBits(Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= kModShift;
    if (modifiers & Qt::ControlModifier)
        bits |= kModCtrl;
    if (modifiers & Qt::AltModifier)
        bits |= kModAlt;
    return bits;
}

std::pair<ValueKey, int> valueKeyOf(const QKeyEvent& event) {
    int modifiers = modifierBits(event.modifiers());
    ValueKey key = ValueKey::Other;
    switch (event.key()) {
    case Qt::Key_Up:
        key = ValueKey::Up;
        break;
    case Qt::Key_Down:
        key = ValueKey::Down;
        break;
    case Qt::Key_Plus:
        key = ValueKey::Plus;
        // Many layouts need Shift to type "+" at all; only the keypad's Shift+Plus
        // can be told from it and counts as the larger step.
        if (!(event.modifiers() & Qt::KeypadModifier))
            modifiers &= ~kModShift;
        break;
    case Qt::Key_Minus:
        key = ValueKey::Minus;
        break;
    case Qt::Key_PageUp:
        key = ValueKey::PageUp;
        break;
    case Qt::Key_PageDown:
        key = ValueKey::PageDown;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        key = ValueKey::Enter;
        break;
    case Qt::Key_F2:
        key = ValueKey::F2;
        break;
    case Qt::Key_Backspace:
        key = ValueKey::Backspace;
        break;
    default:
        break;
    }
    return {key, modifiers};
}

PressLabel::PressLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setTextColour(kColourText);
    setBackground(kColourEqual);
}

void PressLabel::setBackground(const QColor& colour) {
    setPaletteColour(this, QPalette::Window, colour);
}

QColor PressLabel::background() const {
    return palette().color(QPalette::Window);
}

void PressLabel::setTextColour(const QColor& colour) {
    setPaletteColour(this, QPalette::WindowText, colour);
}

QColor PressLabel::textColour() const {
    return palette().color(QPalette::WindowText);
}

void PressLabel::setOnKey(KeyPress onKey) {
    onKey_ = std::move(onKey);
    setFocusPolicy(onKey_ ? Qt::StrongFocus : Qt::NoFocus);
}

void PressLabel::keyPressEvent(QKeyEvent* event) {
    const auto [key, modifiers] = valueKeyOf(*event);
    if (onKey_ && onKey_(key, modifiers)) {
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void PressLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QPen pen(kColourText);
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(2, 2, -3, -3));
}

void PressLabel::mousePressEvent(QMouseEvent* event) {
    setBackground(kColourPressed);
    event->accept();
}

void PressLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (onRelease_)
        onRelease_(buttonCode(event->button()), modifierBits(event->modifiers()));
}

ValueRow::ValueRow(AppContext& context, QWidget* parent, int index, Hooks hooks)
    : context_(context), hooks_(std::move(hooks)),
      less_(new PressLabel(QStringLiteral("-"), parent)),
      stat_(new PressLabel(QStringLiteral("0"), parent)),
      more_(new PressLabel(QStringLiteral("+"), parent)) {
    const QString suffix = QStringLiteral("(%1)").arg(index);
    less_->setObjectName(QStringLiteral("Label_Less") + suffix);
    stat_->setObjectName(QStringLiteral("Label_Stat") + suffix);
    more_->setObjectName(QStringLiteral("Label_More") + suffix);
    QFont bold = less_->font();
    bold.setBold(true);
    less_->setFont(bold);

    const QFontMetrics metrics(parent->font());
    const int height = sizeFor(parent->font()).height();
    less_->setFixedSize(stepLabelWidth(metrics), height);
    stat_->setFixedSize(statWidth(metrics), height);
    more_->setFixedSize(stepLabelWidth(metrics), height);

    less_->setOnRelease(
        [this](int button, int modifiers) { step(less_, false, button, modifiers); });
    more_->setOnRelease(
        [this](int button, int modifiers) { step(more_, true, button, modifiers); });
    stat_->setOnRelease([this](int, int modifiers) { clickValue(modifiers); });
    stat_->setOnKey([this](ValueKey key, int modifiers) { return this->key(key, modifiers); });

    const QString& name = hooks_.name;
    less_->setToolTip(
        QStringLiteral("%1. Left click: -1, right click: -10, with Shift: -100 / -1000").arg(name));
    more_->setToolTip(
        QStringLiteral("%1. Left click: +1, right click: +10, with Shift: +100 / +1000").arg(name));
    stat_->setToolTip(QStringLiteral("%1. Click: type a value; Shift-, Ctrl- or Alt-click: "
                                     "factory value.\nKeys: Up/Down +1/-1, PgUp/PgDn +10/-10, "
                                     "with Shift 100 / 1000; Enter or F2: type a value; "
                                     "Ctrl+Backspace: factory value.")
                          .arg(name));
    less_->setAccessibleName(name + QStringLiteral(", decrease"));
    more_->setAccessibleName(name + QStringLiteral(", increase"));
}

QSize ValueRow::sizeFor(const QFont& font) {
    const QFontMetrics metrics(font);
    return {2 * stepLabelWidth(metrics) + statWidth(metrics) + 2 * kLabelGap, metrics.height() + 4};
}

void ValueRow::place(QPoint topLeft) {
    less_->move(topLeft);
    stat_->move(less_->geometry().right() + 1 + kLabelGap, topLeft.y());
    more_->move(stat_->geometry().right() + 1 + kLabelGap, topLeft.y());
}

void ValueRow::show(std::int32_t value, std::int32_t factoryDefault) {
    stat_->setText(QString::number(value));
    stat_->setAccessibleName(
        QStringLiteral("%1, %2, factory value %3").arg(hooks_.name).arg(value).arg(factoryDefault));
    stat_->setTextColour(kColourText);
    stat_->setBackground(highlightColour(value, factoryDefault));
    showOrigin(stat_, context_, hooks_.slot());
}

void showOrigin(QWidget* control, const QString& origin) {
    // The help is taken at the first call, before any origin line joins it.
    static constexpr const char* kHelp = "tavrelHelpToolTip";
    QVariant help = control->property(kHelp);
    if (!help.isValid()) {
        help = control->toolTip();
        control->setProperty(kHelp, help);
    }
    const QString text = help.toString();
    control->setToolTip(origin.isEmpty() ? text
                        : text.isEmpty() ? origin
                                         : text + QLatin1Char('\n') + origin);
}

void showOrigin(QWidget* control, const AppContext& context, SlotRef ref) {
    showOrigin(control, originText(context.origins(), ref, context.store.value(ref)));
}

void ValueRow::resetStepLabels() {
    less_->setBackground(kColourEqual);
    more_->setBackground(kColourEqual);
}

void ValueRow::step(PressLabel* label, bool up, int button, int modifiers) {
    label->setBackground(kColourEqual);
    const SlotRef ref = hooks_.slot();
    const std::int32_t before = context_.store.value(ref);
    const std::int32_t after = applyStep(before, stepFor(button, modifiers),
                                         up ? StepDirection::More : StepDirection::Less,
                                         boundsOf(ref, context_.store.origin()));
    if (after != before)
        context_.store.set(ref, after);
    hooks_.refreshValues();
    syncInputDialog(context_);
}

void ValueRow::clickValue(int modifiers) {
    // The redraw also takes the pressed grey off the value label.
    hooks_.refreshValues();
    const SlotRef ref = hooks_.slot();
    if (valueClickAction(modifiers) == ValueClick::ResetToDefault) {
        context_.store.set(ref, resetValue(context_.store, ref));
        hooks_.refreshValues();
        syncInputDialog(context_);
        return;
    }
    context_.state.InputTarget = ref;
    openInputDialog(context_, stat_, hooks_.caption ? hooks_.caption() : QString());
}

bool ValueRow::key(ValueKey key, int modifiers) {
    // A key does what the matching click does, through the same rules.
    const KeyGesture gesture = gestureForKey(key, modifiers);
    switch (gesture.target) {
    case KeyTarget::None:
        return false;
    case KeyTarget::Less:
        step(less_, false, gesture.button, gesture.modifiers);
        break;
    case KeyTarget::More:
        step(more_, true, gesture.button, gesture.modifiers);
        break;
    case KeyTarget::Value:
        clickValue(gesture.modifiers);
        break;
    }
    return true;
}

} // namespace tavrel::screens
