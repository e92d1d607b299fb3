#include "screens/changes.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "core/catalogue.h"
#include "editing/creature_grid.h"
#include "screens/creatures/creature_screen.h"
#include "screens/slot_captions.h"
#include "screens/tables/settings_screens.h"
#include "screens/widgets/value_row.h"

namespace tavrel::screens {

namespace {

const QColor kColourFlash{255, 240, 120};
constexpr int kFlashMs = 800;
constexpr int kRecordRole = Qt::UserRole;
constexpr int kColumnOrigin = 5;

// Lights a control up for a moment; the screen's own redraw then gives it back
// the look of its value, whatever happened meanwhile.
void flash(AppContext& context, QWidget* control, RefreshOrder order) {
    const QPalette resting = control->palette();
    const bool filled = control->autoFillBackground();
    QPalette lit = resting;
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        lit.setColor(role, kColourFlash);
    control->setPalette(lit);
    control->setAutoFillBackground(true);
    QPointer<QWidget> guarded(control);
    QTimer::singleShot(kFlashMs, control, [&context, guarded, resting, filled, order] {
        guarded->setPalette(resting);
        guarded->setAutoFillBackground(filled);
        context.refresh(order);
    });
}

// A name has no above or below its factory one: such a line is only a change, as
// every line of the list is, and keeps the list's own background.
bool hasOrder(SlotRef ref) {
    return ref.category != Category::Creature || cellKindOf(ref.slot) == CellKind::Number;
}

} // namespace

Form_Changes::Form_Changes(AppContext& context) : QWidget(nullptr, Qt::Window), context_(context) {
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("List_Changes"));
    list_->setHeaderLabels({QStringLiteral("Screen"), QStringLiteral("Creature"),
                            QStringLiteral("Value"), QStringLiteral("Current"),
                            QStringLiteral("Factory"), QStringLiteral("Where from")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    empty_ = new QLabel(QStringLiteral("All values are at their factory settings."), this);
    empty_->setObjectName(QStringLiteral("Label_NoChanges"));
    empty_->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(empty_);
    layout->addWidget(list_, 1);
    resize(720, 420);
    connect(list_, &QTreeWidget::itemActivated, this, &Form_Changes::jump);
    context_.watchChanges(this, [this] { rebuild(); });
    rebuild();
}

void Form_Changes::rebuild() {
    QTreeWidgetItem* was = list_->currentItem();
    const QVariant current = was ? was->data(0, kRecordRole) : QVariant();
    const int row = was ? list_->indexOfTopLevelItem(was) : -1;
    list_->clear();
    const ValueSet& values = context_.store.values();
    const ValueSet& defaults = context_.store.defaults();
    QList<QTreeWidgetItem*> items;
    for (int record = 1; record <= kSlotCount; ++record) {
        const auto at = static_cast<std::size_t>(record - 1);
        if (values[at] == defaults[at])
            continue;
        const SlotRef ref = slotOfRecord(record);
        const QString kind = ref.category == Category::Creature
                                 ? QString::fromUtf8(creatureKind(ref.kind).screenName.data(),
                                                     static_cast<qsizetype>(
                                                         creatureKind(ref.kind).screenName.size()))
                                 : QString();
        const QString origin = originText(context_.origins(), ref, values[at]);
        auto* item =
            new QTreeWidgetItem({screenCaption(ref.category), kind, slotCaption(ref),
                                 valueText(ref, values[at]), valueText(ref, defaults[at]), origin});
        item->setData(0, kRecordRole, record);
        const QColor colour = values[at] > defaults[at] ? kColourAbove : kColourBelow;
        for (int column = 0; hasOrder(ref) && column < item->columnCount(); ++column) {
            item->setBackground(column, colour);
            item->setForeground(column, kColourText);
        }
        items << item;
    }
    list_->addTopLevelItems(items);
    QTreeWidgetItem* again = nullptr;
    for (QTreeWidgetItem* item : items)
        if (item->data(0, kRecordRole) == current)
            again = item;
    // A chosen line that left the list hands the choice to the line now in its place,
    // so the keyboard goes on from there.
    if (!again && row >= 0 && !items.isEmpty())
        again = items[std::min<qsizetype>(row, items.size() - 1)];
    if (again)
        list_->setCurrentItem(again);
    // Only the tables of a KeeperFX read know where their values come from.
    list_->setColumnHidden(kColumnOrigin, !context_.origins().known());
    list_->header()->resizeSections(QHeaderView::ResizeToContents);
    empty_->setVisible(items.isEmpty());
    list_->setVisible(!items.isEmpty());
    setWindowTitle(QStringLiteral("Changes (%1)").arg(items.size()));
}

void Form_Changes::jump(QTreeWidgetItem* item) {
    if (item)
        showSlot(context_, slotOfRecord(item->data(0, kRecordRole).toInt()));
}

QWidget* openChanges(AppContext& context) {
    return context.openWindow(kChangesName, [&context] { return new Form_Changes(context); });
}

QWidget* showSlot(AppContext& context, SlotRef ref) {
    QWidget* screen = nullptr;
    QWidget* control = nullptr;
    if (ref.category == Category::Creature) {
        screen = openCreatureScreen(context, ref.kind);
        if (auto* creatures = qobject_cast<Form_CreatureSettings*>(screen))
            control = creatures->fieldControl(ref.slot);
    } else {
        screen = openSettingsScreen(context, ref.category);
        control = screen->findChild<QWidget*>(QStringLiteral("Label_Stat(%1)").arg(ref.slot));
    }
    if (control)
        flash(context, control, refreshOrderOf(ref.category));
    return control;
}

} // namespace tavrel::screens
