#pragma once

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QItemSelection>
#include <QTableView>
#include <QWidget>

#include <vector>

#include "core/settings_store.h"
#include "editing/creature_grid.h"
#include "screens/app_context.h"

class QLabel;

namespace tavrel::screens {

inline const QString kCompareCreaturesName = QStringLiteral("Form_CompareCreatures");

// Every creature's fields as one table over the store: a row per kind in the view's
// order, a column per field. It keeps a copy of the values it last showed, so that
// after any change it tells the view of the cells that changed and of no others.
class CreatureGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kGroupRole = Qt::UserRole;     // a column's frame title
    static constexpr int kValueRole = Qt::UserRole + 1; // a cell's number

    explicit CreatureGridModel(AppContext& context, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Takes a text through the typed-input rule into the store, as one step, and
    // redraws every window; false when the cell cannot take it.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    int kindAt(int row) const { return kinds_.at(static_cast<std::size_t>(row)); }
    int rowOf(int kind) const;
    const std::vector<int>& kinds() const { return kinds_; }
    static int fieldAt(int column);
    // Reorders the rows; the selection and the current cell stay on their creatures.
    void sortRows(int column, SortOrder order);
    // Tells the view of every cell whose value changed since it was last shown.
    void sync();
    // The cells the last sync told of.
    const QItemSelection& lastChanged() const { return changed_; }

private:
    AppContext& context_;
    std::vector<int> kinds_;
    ValueSet shown_;
    QItemSelection changed_;
};

// The column header in two bands: the creature screen's frame titles over the
// captions of their fields. The sorted column's arrow is its own, drawn above the
// caption: the header's sort indicator follows clicks, which only select here.
class GroupedHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit GroupedHeader(QWidget* parent);
    int bandHeight() const;
    // The arrow over `column`; none for -1.
    void showSort(int column, bool descending);

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    QSize measure(int logicalIndex) const;
    mutable std::vector<QSize> sizes_;
    int sortColumn_ = -1;
    bool descending_ = false;
};

// Compare Creatures: all creatures side by side, edited as in a spreadsheet and with
// the creature screen's rules.
class Form_CompareCreatures : public QWidget {
    Q_OBJECT
public:
    explicit Form_CompareCreatures(AppContext& context);

    QTableView* grid() const { return grid_; }
    CreatureGridModel* model() const { return model_; }

    void copy();
    void paste();
    // Asks for a percentage (window-modal, not blocking) and scales the selection.
    void askScale();
    void scale(double percent);

private:
    // The selected cells, or the current one, in view order.
    QModelIndexList selectedCells() const;
    void report(const QString& text);
    void pasteText(const QString& text);
    // Selects every cell a paste reached and shows them, the first one current.
    void selectPasted(const PastePlan& plan);
    void undo();
    void redo();
    // After an undo or a redo: what `said`, and the cells it changed selected.
    void play(const QString& said);
    // Ascending, descending, then the picker's order again.
    void cycleSort(int column);
    void sortBy(int column, SortOrder order);

    AppContext& context_;
    CreatureGridModel* model_;
    QTableView* grid_;
    QLabel* status_;
    int sortColumn_ = -1;
    SortOrder sortOrder_ = SortOrder::Picker;
    double lastPercent_ = 100;
};

// Opens the one Compare Creatures window.
QWidget* openCompareCreatures(AppContext& context);

} // namespace tavrel::screens
