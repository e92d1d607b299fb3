#pragma once

#include <QWidget>

#include "screens/app_context.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavrel::screens {

inline const QString kChangesName = QStringLiteral("Form_Changes");

// Every value that differs from its factory value, in one list that follows each
// change while it is open. Activating a line (double click, Enter) shows the value
// on its screen and flashes it there.
class Form_Changes : public QWidget {
    Q_OBJECT
public:
    explicit Form_Changes(AppContext& context);

    void rebuild();

private:
    void jump(QTreeWidgetItem* item);

    AppContext& context_;
    QTreeWidget* list_;
    QLabel* empty_;
};

QWidget* openChanges(AppContext& context);

// Shows a slot on its screen, opening it (for creatures: on the slot's kind), and
// flashes the control that shows it. Returns that control, or null.
QWidget* showSlot(AppContext& context, SlotRef ref);

} // namespace tavrel::screens
