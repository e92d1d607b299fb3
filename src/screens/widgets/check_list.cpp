#include "screens/widgets/check_list.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStandardItemModel>

#include "screens/widgets/marking.h"
#include "screens/widgets/value_row.h"

namespace tavrel::screens {

CheckList::CheckList(const QStringList& captions, QWidget* parent)
    : QListView(parent), model_(new QStandardItemModel(this)) {
    for (const QString& caption : captions) {
        auto* item = new QStandardItem(caption);
        // The view toggles the check itself (on a click anywhere on the item), so the
        // delegate must not toggle it a second time on the check box.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setData(Qt::Unchecked, Qt::CheckStateRole);
        model_->appendRow(item);
    }
    setModel(model_);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoFillBackground(true);
    connect(model_, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (onToggled)
            onToggled(item->row(), item->checkState() == Qt::Checked);
    });
    // Every item in view, without scrolling.
    setFixedSize(sizeHintForColumn(0) + 2 * frameWidth() + 8,
                 sizeHintForRow(0) * model_->rowCount() + 2 * frameWidth());
}

int CheckList::count() const {
    return model_->rowCount();
}

bool CheckList::isChecked(int item) const {
    return model_->item(item)->checkState() == Qt::Checked;
}

void CheckList::setChecked(int item, bool checked) {
    model_->item(item)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void CheckList::setBackground(const QColor& colour) {
    setPaletteColour(this, QPalette::Base, colour);
}

QColor CheckList::background() const {
    return palette().color(QPalette::Base);
}

void CheckList::toggle(const QModelIndex& index) {
    if (index.isValid())
        setChecked(index.row(), !isChecked(index.row()));
}

void CheckList::mouseReleaseEvent(QMouseEvent* event) {
    QListView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        toggle(indexAt(event->position().toPoint()));
    if (onRelease)
        onRelease(modifierBits(event->modifiers()));
}

void CheckList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        toggle(currentIndex());
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (currentIndex().isValid())
            setChecked(currentIndex().row(), true);
        // Left to the window or the grid, which take the list's value.
        event->ignore();
        return;
    }
    QListView::keyPressEvent(event);
}

void CheckList::focusInEvent(QFocusEvent* event) {
    // The view makes its first item current on its own; Enter must tick only an item
    // the user went to.
    const bool chosen = currentIndex().isValid();
    QListView::focusInEvent(event);
    if (!chosen)
        setCurrentIndex({});
}

} // namespace tavrel::screens
