#include "screens/widgets/fit_window.h"

#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace tavrel::screens {

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
