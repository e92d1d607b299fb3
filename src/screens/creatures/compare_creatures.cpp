#include "screens/creatures/compare_creatures.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <new>
#include <optional>
#include <set>
#include <tuple>

#include "core/bounds.h"
#include "core/catalogue.h"
#include "editing/ability_codes.h"
#include "editing/creature_choices.h"
#include "editing/stepping.h"
#include "editing/typed_input.h"
#include "screens/creatures/creature_screen.h"
#include "screens/input_value_dialog.h"
#include "screens/slot_captions.h"
#include "screens/widgets/check_list.h"
#include "screens/widgets/fit_window.h"
#include "screens/widgets/marking.h"
#include "screens/widgets/value_row.h"

namespace tavrel::screens {

namespace {

constexpr int kWidestColumn = 200; // job lists beyond this are cut; the tool tip has them whole
constexpr int kCaptionLines = 2;
constexpr int kArrowRoom = 6; // the sort arrow's strip above a caption

QString fromCore(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::size_t recordIndex(int kind, int field) {
    return static_cast<std::size_t>(recordOf(SlotRef::creature(kind, field)) - 1);
}

// A caption in two lines, broken at the blank nearest its middle, so that columns
// can stay as narrow as their numbers.
QString twoLines(const QString& caption) {
    int best = -1;
    for (int at = caption.indexOf(QLatin1Char(' ')); at >= 0;
         at = caption.indexOf(QLatin1Char(' '), at + 1))
        if (best < 0 || std::abs(at - caption.size() / 2) < std::abs(best - caption.size() / 2))
            best = at;
    if (best < 0 || caption.size() < 10)
        return caption;
    QString wrapped = caption;
    wrapped[best] = QLatin1Char('\n');
    return wrapped;
}

// The choices of an encoded cell, as the creature screen's controls offer them:
// caption and the value it stores.
std::vector<std::pair<QString, std::int32_t>> choicesOf(int kind, int field) {
    std::vector<std::pair<QString, std::int32_t>> choices;
    switch (cellKindOf(field)) {
    case CellKind::Creature:
        choices.emplace_back(fromCore(cellText(kind, field, 0)), 0);
        for (int each : creatureListOrder())
            choices.emplace_back(fromCore(creatureKind(each).screenName), each);
        break;
    case CellKind::Room:
        for (const EntryRoom& room : entryRoomList())
            choices.emplace_back(fromCore(room.caption), room.code);
        break;
    case CellKind::Ability:
        for (std::int32_t code : abilityStepOrder())
            choices.emplace_back(fromCore(abilityScreenName(code)), code);
        break;
    case CellKind::Flag:
    case CellKind::Attack:
        for (std::int32_t value : {0, 1, 2, 4000, 8000})
            if (const std::string text = cellText(kind, field, value);
                text != std::to_string(value))
                choices.emplace_back(fromCore(text), value);
        break;
    default:
        break;
    }
    return choices;
}

// A number cell's editor: the text is kept a clean number within the slot's bounds
// while the user types, by the same rule as the input dialog's box.
class TypedEdit : public QLineEdit {
public:
    TypedEdit(QWidget* parent, ValueBounds bounds) : QLineEdit(parent), bounds_(bounds) {
        setObjectName(QStringLiteral("Text_Cell"));
        setFrame(false);
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
            changeInputText(box_, text.toStdString(), bounds_);
            if (this->text() != QString::fromStdString(box_.text))
                setText(QString::fromStdString(box_.text));
        });
    }
    void start(std::int32_t value) {
        box_ = {std::to_string(value), value};
        setText(QString::fromStdString(box_.text));
    }

private:
    ValueBounds bounds_;
    InputBox box_;
};

// An encoded cell's editor. A choice picked from its open list is made at once, as
// on the creature screen; keys on the closed box only move the choice (typing "Imp"
// passes "I" on its way), which Enter or leaving the cell then takes.
class ChoiceCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override {
        fromList_ = true;
        QComboBox::showPopup();
    }
    bool fromList() const { return fromList_; }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        fromList_ = false;
        QComboBox::keyPressEvent(event);
    }

private:
    bool fromList_ = false;
};

// The grid's keys and clicks as in a spreadsheet. The current cell is always one of
// the selected ones, so that what is typed goes to a highlighted cell.
class GridView : public QTableView {
public:
    using QTableView::QTableView;

    // The current cell to `target`, alone selected; with `extend`, the block from
    // the anchor (where the selection began) to it.
    void moveTo(const QModelIndex& target, bool extend) {
        if (!target.isValid())
            return;
        if (extend && anchor_.isValid()) {
            extending_ = true;
            selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
            extending_ = false;
            selectionModel()->select(QItemSelection(anchor_, target),
                                     QItemSelectionModel::ClearAndSelect);
        } else {
            selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        }
        scrollTo(target);
    }
    // Rows to move once the open editor has been taken: Enter goes down, Shift+Enter up.
    void moveAfterCommit(int rows) { afterCommit_ = rows; }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (const std::optional<QModelIndex> target = keyTarget(*event)) {
            const bool extends = event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab &&
                                 event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter;
            moveTo(*target, extends && event->modifiers().testFlag(Qt::ShiftModifier));
            event->accept();
            return;
        }
        QTableView::keyPressEvent(event);
        selectCurrent();
    }

    void focusInEvent(QFocusEvent* event) override {
        // The view makes the first cell current on its own, unselected.
        QTableView::focusInEvent(event);
        selectCurrent();
    }

    void mousePressEvent(QMouseEvent* event) override {
        // Shift+click spans from the anchor, which the keys may have set.
        const QModelIndex at = indexAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && event->modifiers() == Qt::ShiftModifier &&
            at.isValid() && anchor_.isValid()) {
            moveTo(at, true);
            event->accept();
            return;
        }
        QTableView::mousePressEvent(event);
    }

    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override {
        // Ctrl+click adds a cell: toggling it off would leave the current cell unselected.
        QItemSelectionModel::SelectionFlags flags = QTableView::selectionCommand(index, event);
        if (flags.testFlag(QItemSelectionModel::Toggle))
            flags = (flags & ~QItemSelectionModel::Toggle) | QItemSelectionModel::Select;
        return flags;
    }

    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        QTableView::currentChanged(current, previous);
        if (!extending_)
            anchor_ = current;
    }

    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        // The view selects a text editor's whole text, so that a typed key replaces it,
        // as in a spreadsheet; F2 and a double-click leave the cursor at its end.
        const bool opened = QTableView::edit(index, trigger, event);
        if (opened && trigger != AnyKeyPressed)
            if (auto* text = qobject_cast<QLineEdit*>(indexWidget(index)))
                text->deselect();
        return opened;
    }

    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override {
        // Enter and Tab take the value and move on, without opening the next cell.
        int rows = std::exchange(afterCommit_, 0);
        int columns = 0;
        if (hint == QAbstractItemDelegate::EditNextItem)
            columns = 1;
        else if (hint == QAbstractItemDelegate::EditPreviousItem)
            columns = -1;
        else if (hint != QAbstractItemDelegate::SubmitModelCache)
            rows = 0;
        if (columns != 0)
            hint = QAbstractItemDelegate::SubmitModelCache;
        QTableView::closeEditor(editor, hint);
        if (rows != 0 || columns != 0)
            moveTo(cellBeside(currentIndex(), rows, columns), false);
    }

private:
    QModelIndex cellBeside(const QModelIndex& from, int rows, int columns) const {
        return model()->index(std::clamp(from.row() + rows, 0, model()->rowCount() - 1),
                              std::clamp(from.column() + columns, 0, model()->columnCount() - 1));
    }

    // Where a moving key takes the current cell: Ctrl with an arrow to the grid's
    // edge, Home and End to the row's ends, with Ctrl to the grid's corners.
    std::optional<QModelIndex> keyTarget(const QKeyEvent& event) const {
        // An editor passes on the Enter it leaves to its cell's commit.
        const QModelIndex current = currentIndex();
        if (!current.isValid() || state() == EditingState)
            return std::nullopt;
        const bool ctrl = event.modifiers().testFlag(Qt::ControlModifier);
        const int lastRow = model()->rowCount() - 1;
        const int lastColumn = model()->columnCount() - 1;
        const int page = std::max(1, viewport()->height() / rowHeight(current.row()) - 1);
        int row = current.row();
        int column = current.column();
        switch (event.key()) {
        case Qt::Key_Up:
            row = ctrl ? 0 : row - 1;
            break;
        case Qt::Key_Down:
            row = ctrl ? lastRow : row + 1;
            break;
        case Qt::Key_Left:
            column = ctrl ? 0 : column - 1;
            break;
        case Qt::Key_Right:
            column = ctrl ? lastColumn : column + 1;
            break;
        case Qt::Key_Home:
            column = 0;
            row = ctrl ? 0 : row;
            break;
        case Qt::Key_End:
            column = lastColumn;
            row = ctrl ? lastRow : row;
            break;
        case Qt::Key_PageUp:
            row -= page;
            break;
        case Qt::Key_PageDown:
            row += page;
            break;
        case Qt::Key_Tab:
            ++column;
            break;
        case Qt::Key_Backtab:
            --column;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            row += event.modifiers().testFlag(Qt::ShiftModifier) ? -1 : 1;
            break;
        default:
            return std::nullopt;
        }
        return cellBeside(current, row - current.row(), column - current.column());
    }

    void selectCurrent() {
        const QModelIndex current = currentIndex();
        if (current.isValid() && !selectionModel()->isSelected(current))
            selectionModel()->select(current, QItemSelectionModel::ClearAndSelect);
    }

    QPersistentModelIndex anchor_;
    bool extending_ = false;
    int afterCommit_ = 0;
};

class GridDelegate : public QStyledItemDelegate {
public:
    // The store tells where the values came from, which sets the bounds of typing.
    GridDelegate(QObject* parent, const SettingsStore& store)
        : QStyledItemDelegate(parent), store_(store) {}

    bool eventFilter(QObject* editor, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
                view()->moveAfterCommit(key->modifiers().testFlag(Qt::ShiftModifier) ? -1 : 1);
        }
        return QStyledItemDelegate::eventFilter(editor, event);
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const auto [kind, field] = slotOf(index);
        switch (cellKindOf(field)) {
        case CellKind::Number:
            return new TypedEdit(parent, boundsOf(SlotRef::creature(kind, field), store_.origin()));
        case CellKind::Jobs:
        case CellKind::AngryJobs: {
            QStringList captions;
            if (cellKindOf(field) == CellKind::Jobs)
                for (std::string_view caption : jobCaptions())
                    captions << fromCore(caption);
            else
                for (std::string_view caption : angryJobCaptions())
                    captions << fromCore(caption);
            auto* list = new CheckList(captions, parent);
            list->setObjectName(QStringLiteral("List_Cell"));
            return list;
        }
        default: {
            auto* combo = new ChoiceCombo(parent);
            combo->setObjectName(QStringLiteral("Combo_Cell"));
            for (const auto& [caption, value] : choicesOf(kind, field))
                combo->addItem(caption, value);
            combo->setMaxVisibleItems(combo->count());
            connect(combo, &QComboBox::activated, combo, [this, combo] {
                if (!combo->fromList())
                    return;
                auto* self = const_cast<GridDelegate*>(this);
                emit self->commitData(combo);
                emit self->closeEditor(combo);
            });
            return combo;
        }
        }
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        const std::int32_t value = valueOf(index);
        if (auto* edit = dynamic_cast<TypedEdit*>(editor))
            edit->start(value);
        else if (auto* list = qobject_cast<CheckList*>(editor))
            for (int item = 0; item < list->count(); ++item)
                list->setChecked(item, jobChecked(value, item));
        else if (auto* combo = qobject_cast<QComboBox*>(editor))
            combo->setCurrentIndex(combo->findData(value));
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        QString text;
        if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
            text = edit->text();
        } else if (auto* list = qobject_cast<CheckList*>(editor)) {
            // Only the listed jobs change; bits the list does not show stay.
            std::int32_t jobs = valueOf(index);
            for (int item = 0; item < list->count(); ++item)
                jobs = jobsAfterCheck(jobs, item, list->isChecked(item));
            text = QString::number(jobs);
        } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->currentIndex() < 0)
                return;
            text = QString::number(combo->currentData().toInt());
        }
        model->setData(index, text, Qt::EditRole);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        QRect rect = option.rect;
        if (qobject_cast<CheckList*>(editor) || qobject_cast<QComboBox*>(editor)) {
            // Its own size from the cell's corner, moved back inside the grid.
            rect.setSize(editor->sizeHint().expandedTo(option.rect.size()));
            if (auto* list = qobject_cast<CheckList*>(editor))
                rect.setSize(list->size());
            const QRect area = editor->parentWidget()->rect();
            rect.moveRight(std::min(rect.right(), area.right()));
            rect.moveBottom(std::min(rect.bottom(), area.bottom()));
            rect.moveTopLeft(QPoint(std::max(rect.left(), 0), std::max(rect.top(), 0)));
        }
        editor->setGeometry(rect);
    }

private:
    const SettingsStore& store_;
    GridView* view() const { return static_cast<GridView*>(parent()); }
    static std::pair<int, int> slotOf(const QModelIndex& index) {
        const auto* model = static_cast<const CreatureGridModel*>(index.model());
        return {model->kindAt(index.row()), CreatureGridModel::fieldAt(index.column())};
    }
    static std::int32_t valueOf(const QModelIndex& index) {
        return index.data(CreatureGridModel::kValueRole).toInt();
    }
};

} // namespace

// --- the model -------------------------------------------------------------------------

CreatureGridModel::CreatureGridModel(AppContext& context, QObject* parent)
    : QAbstractTableModel(parent), context_(context),
      kinds_(sortedKinds(context.store.values(), 0, SortOrder::Picker)),
      shown_(context.store.values()) {}

int CreatureGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kinds_.size());
}

int CreatureGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kCreatureFields;
}

int CreatureGridModel::fieldAt(int column) {
    return gridColumns().at(static_cast<std::size_t>(column)).field;
}

int CreatureGridModel::rowOf(int kind) const {
    const auto found = std::find(kinds_.begin(), kinds_.end(), kind);
    return static_cast<int>(found - kinds_.begin());
}

QVariant CreatureGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int kind = kindAt(index.row());
    const int field = fieldAt(index.column());
    const SlotRef ref = SlotRef::creature(kind, field);
    const std::int32_t value = context_.store.value(ref);
    const std::int32_t factory = context_.store.defaultValue(ref);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return fromCore(cellText(kind, field, value));
    case kValueRole:
        return value;
    case Qt::BackgroundRole:
        // A name or a job has no more or less: it is only changed or not.
        if (cellKindOf(field) != CellKind::Number)
            return value == factory ? kColourEqual : kColourChangedCode;
        return highlightColour(value, factory);
    case Qt::ForegroundRole:
        return cellKindOf(field) == CellKind::Ability
                   ? abilityColour(abilityLook(value, factory).name)
                   : kColourText;
    case Qt::TextAlignmentRole:
        return cellKindOf(field) == CellKind::Number ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                     : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole: {
        QString tip = QStringLiteral("%1, %2: %3\nFactory value: %4")
                          .arg(fromCore(creatureKind(kind).screenName),
                               QString::fromStdString(creatureFieldName(field)),
                               fromCore(cellText(kind, field, value)),
                               fromCore(cellText(kind, field, factory)));
        if (const QString origin = originText(context_.origins(), ref, value); !origin.isEmpty())
            tip += QLatin1Char('\n') + origin;
        return tip;
    }
    default:
        return {};
    }
}

QVariant CreatureGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        if (section < 0 || section >= rowCount())
            return {};
        const QString name = fromCore(creatureKind(kindAt(section)).screenName);
        if (role == Qt::DisplayRole)
            return name;
        if (role == Qt::ToolTipRole)
            return QStringLiteral("%1. Double-click: open its creature screen").arg(name);
        return {};
    }
    if (section < 0 || section >= kCreatureFields)
        return {};
    const GridColumn& column = gridColumns().at(static_cast<std::size_t>(section));
    const QString caption = QString::fromStdString(creatureFieldName(column.field));
    const QString group = fromCore(gridGroups().at(static_cast<std::size_t>(column.group)));
    switch (role) {
    case Qt::DisplayRole:
        return twoLines(caption);
    case kGroupRole:
        return group;
    case Qt::ToolTipRole:
        return QStringLiteral("%1: %2\nClick: select the column. Double-click: sort; again: "
                              "descending; a third time: the picker's order. Right-click: sort "
                              "choices.")
            .arg(group, caption);
    case Qt::TextAlignmentRole:
        return QVariant(Qt::AlignCenter);
    default:
        return {};
    }
}

Qt::ItemFlags CreatureGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool CreatureGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int kind = kindAt(index.row());
    const int field = fieldAt(index.column());
    const SlotRef ref = SlotRef::creature(kind, field);
    const std::optional<std::int32_t> taken =
        cellValue(kind, field, context_.store.value(ref), value.toString().toStdString(),
                  context_.store.origin());
    if (!taken)
        return false;
    context_.store.set(ref, *taken);
    context_.refreshAll();
    return true;
}

void CreatureGridModel::sortRows(int column, SortOrder order) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> kindsBefore;
    for (const QModelIndex& index : before)
        kindsBefore.push_back(kindAt(index.row()));
    kinds_ = sortedKinds(context_.store.values(), column < 0 ? 0 : fieldAt(column), order);
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(rowOf(kindsBefore[static_cast<std::size_t>(i)]), before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void CreatureGridModel::sync() {
    const ValueSet& now = context_.store.values();
    changed_.clear();
    const QList<int> roles = {Qt::DisplayRole, Qt::EditRole, Qt::BackgroundRole, Qt::ForegroundRole,
                              Qt::ToolTipRole};
    for (int row = 0; row < rowCount(); ++row) {
        const int kind = kindAt(row);
        // One report per run of changed cells in a row.
        int first = -1;
        for (int column = 0; column <= kCreatureFields; ++column) {
            const bool changed =
                column < kCreatureFields && shown_[recordIndex(kind, fieldAt(column))] !=
                                                now[recordIndex(kind, fieldAt(column))];
            if (changed && first < 0)
                first = column;
            if (!changed && first >= 0) {
                changed_.select(index(row, first), index(row, column - 1));
                emit dataChanged(index(row, first), index(row, column - 1), roles);
                first = -1;
            }
        }
    }
    shown_ = now;
}

// --- the header ------------------------------------------------------------------------

GroupedHeader::GroupedHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(true);
    setDefaultAlignment(Qt::AlignCenter);
}

int GroupedHeader::bandHeight() const {
    return fontMetrics().height() + 8;
}

QSize GroupedHeader::sectionSizeFromContents(int logicalIndex) const {
    // The captions never change: each is measured once.
    if (sizes_.empty())
        sizes_.resize(static_cast<std::size_t>(count()));
    QSize& known = sizes_.at(static_cast<std::size_t>(logicalIndex));
    if (known.isEmpty())
        known = measure(logicalIndex);
    return known;
}

QSize GroupedHeader::measure(int logicalIndex) const {
    // As wide as the caption's longer line: the sort arrow has a strip of its own
    // above the caption.
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    const QStringList lines =
        model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString().split('\n');
    QFont bold = font();
    bold.setBold(true); // a selected column's caption
    int width = 0;
    for (const QString& line : lines)
        width = std::max(width, QFontMetrics(bold).horizontalAdvance(line));
    size.setWidth(width + 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 4);
    size.setHeight(std::max(size.height(), kCaptionLines * fontMetrics().height() + 8) +
                   kArrowRoom + bandHeight());
    return size;
}

void GroupedHeader::showSort(int column, bool descending) {
    sortColumn_ = column;
    descending_ = descending;
    viewport()->update();
}

void GroupedHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    const QRect caption = rect.adjusted(0, bandHeight(), 0, 0);
    painter->save(); // the style leaves its clip behind
    QHeaderView::paintSection(painter, caption, logicalIndex);
    painter->restore();
    if (logicalIndex != sortColumn_)
        return;
    // The style would put its arrow beside the caption in some desktops, cutting it
    // in a narrow column: this one stands apart, above the caption.
    const int x = caption.center().x();
    const int top = caption.top() + 2;
    const int half = kArrowRoom - 2;
    const QPolygon arrow =
        !descending_
            ? QPolygon({QPoint(x, top), QPoint(x - half, top + half), QPoint(x + half, top + half)})
            : QPolygon({QPoint(x - half, top), QPoint(x + half, top), QPoint(x, top + half)});
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::ButtonText));
    painter->drawPolygon(arrow);
}

void GroupedHeader::paintEvent(QPaintEvent* event) {
    QHeaderView::paintEvent(event);
    if (!model())
        return;
    QPainter painter(viewport());
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    const QRect area = viewport()->rect();
    for (int first = 0; first < count();) {
        const QString group =
            model()->headerData(first, orientation(), CreatureGridModel::kGroupRole).toString();
        int last = first;
        while (last + 1 < count() &&
               model()->headerData(last + 1, orientation(), CreatureGridModel::kGroupRole) == group)
            ++last;
        const int left = sectionViewportPosition(first);
        const QRect band(left, 0, sectionViewportPosition(last) + sectionSize(last) - left,
                         bandHeight());
        if (band.intersects(area)) {
            QStyleOptionHeader option;
            initStyleOption(&option);
            option.rect = band;
            option.section = first;
            option.position = QStyleOptionHeader::Middle;
            style()->drawControl(QStyle::CE_HeaderSection, &option, &painter, this);
            // The title stays in view while its frame's columns scroll by.
            option.rect = band.intersected(area);
            option.text = group;
            option.textAlignment = Qt::AlignCenter;
            style()->drawControl(QStyle::CE_HeaderLabel, &option, &painter, this);
        }
        first = last + 1;
    }
}

// --- the window ------------------------------------------------------------------------

Form_CompareCreatures::Form_CompareCreatures(AppContext& context)
    : QWidget(nullptr, Qt::Window), context_(context) {
    setObjectName(kCompareCreaturesName);
    setWindowTitle(QStringLiteral("Compare Creatures"));

    model_ = new CreatureGridModel(context_, this);
    grid_ = new GridView(this);
    grid_->setObjectName(QStringLiteral("Grid_Creatures"));
    auto* header = new GroupedHeader(grid_);
    grid_->setHorizontalHeader(header);
    grid_->setModel(model_);
    grid_->setItemDelegate(new GridDelegate(grid_, context_.store));
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->setWordWrap(false);
    grid_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid_->setGridStyle(Qt::SolidLine);
    QHeaderView* rows = grid_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fontMetrics().height() + 6);
    rows->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Each column as wide as its widest text or its caption: measured once per
    // distinct text, which is far quicker than asking the view to size every cell.
    const QFontMetrics metrics(grid_->font());
    const int padding =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid_) + 1) + 4;
    for (int column = 0; column < kCreatureFields; ++column) {
        // Digits are all as wide as each other: of numbers, the longest is the widest.
        const bool numbers = cellKindOf(CreatureGridModel::fieldAt(column)) == CellKind::Number;
        QSet<QString> texts;
        QString longest;
        for (int row = 0; row < model_->rowCount(); ++row) {
            const QString text = model_->index(row, column).data().toString();
            if (!numbers)
                texts.insert(text);
            else if (text.size() > longest.size())
                longest = text;
        }
        if (numbers)
            texts.insert(longest);
        int width = header->sectionSizeHint(column);
        for (const QString& text : texts)
            width = std::max(width, metrics.horizontalAdvance(text) + padding);
        grid_->setColumnWidth(column, std::min(width, kWidestColumn));
    }
    // A click selects the column (for Scale, Copy): sorting is a gesture of its own.
    connect(header, &QHeaderView::sectionDoubleClicked, this, &Form_CompareCreatures::cycleSort);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this, [this, header](const QPoint& at) {
        const int column = header->logicalIndexAt(at);
        if (column < 0)
            return;
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("Menu_Header"));
        for (const auto& [name, text, order] :
             {std::tuple(QStringLiteral("Action_SortAscending"), QStringLiteral("Sort &Ascending"),
                         SortOrder::Ascending),
              std::tuple(QStringLiteral("Action_SortDescending"),
                         QStringLiteral("Sort &Descending"), SortOrder::Descending),
              std::tuple(QStringLiteral("Action_PickerOrder"), QStringLiteral("&Picker Order"),
                         SortOrder::Picker)}) {
            QAction* sort = menu.addAction(text);
            sort->setObjectName(name);
            const SortOrder chosen = order;
            connect(sort, &QAction::triggered, this,
                    [this, column, chosen] { sortBy(column, chosen); });
        }
        menu.exec(header->viewport()->mapToGlobal(at));
    });
    connect(grid_->horizontalScrollBar(), &QScrollBar::valueChanged, header->viewport(),
            qOverload<>(&QWidget::update));
    connect(rows, &QHeaderView::sectionDoubleClicked, this,
            [this](int row) { openCreatureScreen(context_, model_->kindAt(row)); });

    const auto action = [this](const QString& name, const QString& text, const QKeySequence& keys,
                               void (Form_CompareCreatures::*run)()) {
        auto* added = new QAction(text, this);
        added->setObjectName(name);
        added->setShortcut(keys);
        added->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(added, &QAction::triggered, this, run);
        addAction(added);
        return added;
    };
    QAction* copy = action(QStringLiteral("Action_Copy"), QStringLiteral("&Copy"),
                           QKeySequence::Copy, &Form_CompareCreatures::copy);
    QAction* paste = action(QStringLiteral("Action_Paste"), QStringLiteral("&Paste"),
                            QKeySequence::Paste, &Form_CompareCreatures::paste);
    QAction* scale = action(QStringLiteral("Action_Scale"), QStringLiteral("&Scale..."),
                            QKeySequence(), &Form_CompareCreatures::askScale);
    auto* open = new QAction(QStringLiteral("&Open Creature Screen"), this);
    open->setObjectName(QStringLiteral("Action_OpenCreature"));
    connect(open, &QAction::triggered, this, [this] {
        if (grid_->currentIndex().isValid())
            openCreatureScreen(context_, model_->kindAt(grid_->currentIndex().row()));
    });

    // Its own Undo and Redo, on the main window's keys: the status and the selection
    // then show what was played.
    QAction* undo = action(QStringLiteral("Action_Undo"), QStringLiteral("&Undo"), {},
                           &Form_CompareCreatures::undo);
    undo->setShortcuts(QKeySequence::Undo);
    QAction* redo = action(QStringLiteral("Action_Redo"), QStringLiteral("&Redo"), {},
                           &Form_CompareCreatures::redo);
    redo->setShortcuts(redoKeys());
    for (QAction* played : {undo, redo})
        played->setShortcutContext(Qt::WindowShortcut);
    context_.showHistoryOn(undo, redo);
    context_.watchChanges(undo, [this, undo, redo] { context_.showHistoryOn(undo, redo); });

    auto* bar = new QMenuBar(this);
    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Menu_Edit"));
    edit->addActions({undo, redo});
    edit->addSeparator();
    edit->addActions({copy, paste});
    edit->addSeparator();
    edit->addAction(scale);
    edit->addSeparator();
    edit->addAction(open);
    grid_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grid_, &QWidget::customContextMenuRequested, this, [=, this](const QPoint& at) {
        QMenu menu(this);
        menu.setObjectName(QStringLiteral("Menu_Grid"));
        menu.addActions({copy, paste});
        menu.addSeparator();
        menu.addAction(scale);
        menu.addSeparator();
        menu.addAction(open);
        menu.exec(grid_->viewport()->mapToGlobal(at));
    });

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Label_Status"));
    status_->setText(QStringLiteral("Double-click or type to edit; Ctrl+C and Ctrl+V copy and "
                                    "paste to and from a spreadsheet; double-click a caption to "
                                    "sort."));
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->setContentsMargins(6, 0, 6, 4);
    layout->setSpacing(4);
    layout->addWidget(grid_, 1);
    layout->addWidget(status_);

    context_.watchChanges(this, [this] { model_->sync(); });
    // A cell current from the start, and selected, so that typing edits what is lit.
    grid_->setCurrentIndex(model_->index(0, 0));

    // As large as the whole table, or as much of it as the screen holds.
    int width = grid_->verticalHeader()->sizeHint().width() + 2 * grid_->frameWidth();
    for (int column = 0; column < kCreatureFields; ++column)
        width += grid_->columnWidth(column);
    const int height = header->sizeHint().height() +
                       model_->rowCount() * rows->defaultSectionSize() + 2 * grid_->frameWidth();
    const QSize natural(width + 12,
                        height + bar->sizeHint().height() + status_->sizeHint().height() + 8);
    resize(fittedSize(natural, screen()->availableGeometry().size(), kFrameAllowance,
                      style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
}

QModelIndexList Form_CompareCreatures::selectedCells() const {
    QModelIndexList cells = grid_->selectionModel()->selectedIndexes();
    if (cells.isEmpty() && grid_->currentIndex().isValid())
        cells << grid_->currentIndex();
    std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return std::pair(a.row(), a.column()) < std::pair(b.row(), b.column());
    });
    return cells;
}

void Form_CompareCreatures::report(const QString& text) {
    status_->setText(text);
    context_.showStatus(text);
}

void Form_CompareCreatures::copy() {
    const QModelIndexList cells = selectedCells();
    if (cells.isEmpty())
        return;
    std::set<int> rows;
    std::set<int> columns;
    for (const QModelIndex& cell : cells) {
        rows.insert(cell.row());
        columns.insert(cell.column());
    }
    // Whole rows or columns go with their headers, as a table of their own.
    const QItemSelectionModel* selection = grid_->selectionModel();
    bool headers = false;
    for (int row : rows)
        headers |= selection->isRowSelected(row, {});
    for (int column : columns)
        headers |= selection->isColumnSelected(column, {});
    std::vector<int> kinds;
    for (int row : rows)
        kinds.push_back(model_->kindAt(row));
    const TsvTable block =
        gridBlock(context_.store.values(), kinds, std::vector<int>(columns.begin(), columns.end()),
                  headers, true);
    QApplication::clipboard()->setText(QString::fromStdString(toTsv(block)));
    report(QStringLiteral("Copied %1 by %2 cells%3.")
               .arg(rows.size())
               .arg(columns.size())
               .arg(headers ? QStringLiteral(" with their headers") : QString()));
}

void Form_CompareCreatures::paste() {
    // Whatever the clipboard holds, a failure here ends only the paste, and leaves the
    // values as they were unless they were already changed.
    const std::uint64_t revision = context_.store.revision();
    const auto failed = [&](const QString& why) {
        report(context_.store.revision() == revision
                   ? QStringLiteral("Paste failed: %1; nothing changed.").arg(why)
                   : QStringLiteral("Paste failed after changing the values: %1.").arg(why));
    };
    try {
        pasteText(QApplication::clipboard()->text());
    } catch (const std::bad_alloc&) {
        failed(QStringLiteral("not enough memory"));
    } catch (const std::exception& error) {
        failed(QString::fromLocal8Bit(error.what()));
    }
}

void Form_CompareCreatures::pasteText(const QString& text) {
    // Its UTF-8 is at least as long: a text over the limit is refused before it is copied.
    const PasteTable read = text.size() > static_cast<qsizetype>(kPasteTextLimit)
                                ? pasteTooLong()
                                : readPaste(text.toStdString());
    if (!read.refusal.empty()) {
        report(QString::fromStdString(read.refusal));
        return;
    }
    PasteTarget target{model_->kinds(), {}};
    for (const QModelIndex& cell : selectedCells())
        target.selected.emplace_back(cell.row(), cell.column());
    const PastePlan plan = planPaste(read.table, target);
    if (plan.cells.empty()) {
        report(QStringLiteral("Nothing to paste."));
        return;
    }
    const PasteOutcome outcome = applyPaste(context_.store.values(), plan, context_.store.origin());
    if (outcome.changed > 0)
        context_.store.assign(outcome.values, "Paste");
    context_.refreshAll();
    selectPasted(plan);
    report(QString::fromStdString(pasteSummary(outcome)));
}

void Form_CompareCreatures::selectPasted(const PastePlan& plan) {
    std::set<std::pair<int, int>> cells;
    for (const PasteCell& cell : plan.cells)
        if (cell.kind != 0)
            cells.emplace(model_->rowOf(cell.kind), gridColumnOf(cell.field));
    if (cells.empty())
        return;
    // A range per run of cells along a row, which the view tests quickly.
    QItemSelection selection;
    for (auto run = cells.begin(); run != cells.end();) {
        auto end = std::next(run);
        while (end != cells.end() && end->first == run->first &&
               end->second == std::prev(end)->second + 1)
            ++end;
        selection.select(model_->index(run->first, run->second),
                         model_->index(run->first, std::prev(end)->second));
        run = end;
    }
    const QModelIndex first = model_->index(cells.begin()->first, cells.begin()->second);
    grid_->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    grid_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    grid_->scrollTo(model_->index(cells.rbegin()->first, cells.rbegin()->second));
    grid_->scrollTo(first);
}

void Form_CompareCreatures::askScale() {
    auto* dialog = new QInputDialog(this);
    dialog->setObjectName(QStringLiteral("Dialog_Scale"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Scale"));
    dialog->setLabelText(QStringLiteral("Multiply the selected numbers by (%):"));
    dialog->setInputMode(QInputDialog::DoubleInput);
    dialog->setDoubleRange(0, 100000);
    dialog->setDoubleDecimals(2);
    dialog->setDoubleValue(lastPercent_);
    connect(dialog, &QInputDialog::doubleValueSelected, this, [this](double percent) {
        lastPercent_ = percent;
        scale(percent);
    });
    dialog->open();
}

void Form_CompareCreatures::scale(double percent) {
    std::vector<std::pair<int, int>> cells;
    for (const QModelIndex& cell : selectedCells())
        cells.emplace_back(model_->kindAt(cell.row()), CreatureGridModel::fieldAt(cell.column()));
    const ScaleOutcome outcome =
        applyScale(context_.store.values(), cells, percent, context_.store.origin());
    if (outcome.changed > 0)
        context_.store.assign(outcome.values, "Scale " + textOfReading(percent) + " %");
    context_.refreshAll();
    report(QString::fromStdString(scaleSummary(percent, outcome)));
}

void Form_CompareCreatures::undo() {
    play(context_.undo());
}

void Form_CompareCreatures::redo() {
    play(context_.redo());
}

void Form_CompareCreatures::play(const QString& said) {
    if (said.isEmpty())
        return;
    status_->setText(said);
    // The cells the step changed, selected and in view, the current one among them.
    const QItemSelection& changed = model_->lastChanged();
    if (changed.isEmpty())
        return;
    grid_->selectionModel()->setCurrentIndex(changed.front().topLeft(),
                                             QItemSelectionModel::NoUpdate);
    grid_->selectionModel()->select(changed, QItemSelectionModel::ClearAndSelect);
    grid_->scrollTo(changed.front().topLeft());
}

void Form_CompareCreatures::cycleSort(int column) {
    // Ascending, descending, then back to the picker's order.
    SortOrder order = SortOrder::Ascending;
    if (column == sortColumn_)
        order = sortOrder_ == SortOrder::Ascending ? SortOrder::Descending : SortOrder::Picker;
    sortBy(column, order);
}

void Form_CompareCreatures::sortBy(int column, SortOrder order) {
    sortOrder_ = order;
    sortColumn_ = order == SortOrder::Picker ? -1 : column;
    model_->sortRows(column, order);
    static_cast<GroupedHeader*>(grid_->horizontalHeader())
        ->showSort(sortColumn_, order == SortOrder::Descending);
    if (grid_->currentIndex().isValid())
        grid_->scrollTo(grid_->currentIndex());
}

QWidget* openCompareCreatures(AppContext& context) {
    installValueEditing(context);
    return context.openWindow(kCompareCreaturesName,
                              [&context] { return new Form_CompareCreatures(context); });
}

} // namespace tavrel::screens
