#include "screens/widgets/fit_window.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace tavrel::screens {

namespace {

// A wheel turned to scroll the page must not change a choice it happens to pass
// over: a combo box that the user is not working with hands the wheel to the page.
class ComboWheelGuard final : public QObject {
public:
    explicit ComboWheelGuard(QScrollArea* scroll) : QObject(scroll), scroll_(scroll) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return false;
        QCoreApplication::sendEvent(scroll_->viewport(), event);
        event->accept();
        return true;
    }

private:
    QScrollArea* scroll_;
};

// The frame around a window: the window manager's once it is known, until then
// the allowance, mostly title bar.
QMargins frameOf(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    if (outer != inner)
        return {inner.left() - outer.left(), inner.top() - outer.top(),
                outer.right() - inner.right(), outer.bottom() - inner.bottom()};
    const int side = kFrameAllowance.width() / 2;
    return {side, kFrameAllowance.height() - side, side, side};
}

// Puts the window's frame, `wanted` or as near to it as fits, on the available area.
void placeFrame(QWidget* window, QRect wanted) {
    const QMargins frame = frameOf(window);
    const QRect placed = placedFrame(wanted, window->screen()->availableGeometry());
    if (placed != window->geometry() + frame)
        window->setGeometry(placed - frame);
}

// Checks a window's place again as it is shown and moved, until the window
// manager's frame is known: by then the window stands where the manager put it.
// Later moves are the user's own.
class ShownPlacement final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize)
            return false;
        auto* window = static_cast<QWidget*>(watched);
        placeFrame(window, window->geometry() + frameOf(window));
        if (window->isVisible() && window->frameGeometry() != window->geometry()) {
            window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

QSize fittedSize(QSize natural, QSize available, QSize frame, int scrollBarExtent) {
    const QSize room = (available - frame).expandedTo(QSize(0, 0));
    QSize size = natural.boundedTo(room);
    // A scroll bar in one direction takes room from the other, which may then need
    // its own bar as well.
    for (int pass = 0; pass < 2; ++pass) {
        if (size.height() < natural.height())
            size.setWidth(std::min(natural.width() + scrollBarExtent, room.width()));
        if (size.width() < natural.width())
            size.setHeight(std::min(natural.height() + scrollBarExtent, room.height()));
    }
    return size;
}

QScrollArea* fitOnScreen(QWidget* window, QWidget* content) {
    auto* scroll = new QScrollArea(window);
    scroll->setFrameShape(QFrame::NoFrame);
    // Tab goes from value to value; the scroll area follows the focus by itself.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(content);
    auto* guard = new ComboWheelGuard(scroll);
    for (QComboBox* combo : content->findChildren<QComboBox*>()) {
        // Only a click or Tab gives a combo box the focus, never the wheel itself.
        combo->setFocusPolicy(Qt::StrongFocus);
        combo->installEventFilter(guard);
    }
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    const int bar = window->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scroll);
    const QSize natural = content->size();
    const QSize size =
        fittedSize(natural, window->screen()->availableGeometry().size(), kFrameAllowance, bar);
    window->setMaximumSize(size.expandedTo(natural));
    window->resize(size);
    return scroll;
}

QRect placedFrame(QRect wanted, QRect available) {
    QRect frame(wanted.topLeft(), wanted.size().boundedTo(available.size()));
    frame.moveLeft(std::clamp(frame.left(), available.left(),
                              available.left() + available.width() - frame.width()));
    frame.moveTop(std::clamp(frame.top(), available.top(),
                             available.top() + available.height() - frame.height()));
    return frame;
}

void placeOnScreen(QWidget* window) {
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    QRect frame = window->geometry() + frameOf(window);
    const QWidget* parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    frame.moveCenter(parent ? parent->frameGeometry().center()
                            : window->screen()->availableGeometry().center());
    placeFrame(window, frame);
    window->installEventFilter(new ShownPlacement(window));
}

} // namespace tavrel::screens
