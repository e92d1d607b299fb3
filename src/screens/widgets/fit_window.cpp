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

} // namespace tavrel::screens
