#pragma once

#include <QColor>
#include <QListView>
#include <QStringList>

#include <functional>

class QStandardItemModel;

namespace tavrel::screens {

// A list with a check box on every item. The checks live in the model, so a click,
// the space bar and the program's own setChecked all raise the same toggled report.
// A left click anywhere on an item toggles it; Space toggles the item the keys went
// to, and Enter ticks it (typing a job's first letters goes to it).
class CheckList : public QListView {
    Q_OBJECT
public:
    CheckList(const QStringList& captions, QWidget* parent);

    int count() const;
    bool isChecked(int item) const;
    void setChecked(int item, bool checked);
    void setBackground(const QColor& colour);
    QColor background() const;

    // Every change of an item's check, by the user or the program.
    std::function<void(int item, bool checked)> onToggled;
    // Every mouse button released on the list, after any toggle it made, with the
    // modifier bits of the editing rules.
    std::function<void(int modifiers)> onRelease;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void toggle(const QModelIndex& index);

    QStandardItemModel* model_;
};

} // namespace tavrel::screens
