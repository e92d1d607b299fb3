#include <QtTest>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QTableView>

#include <cstdlib>
#include <new>
#include <optional>

#include "screens/screen_test_support.h"

using namespace tavrel;

// Allocations of at least this many bytes fail, as under a memory limit: armed only
// around one key press, so the rest of the run allocates as usual.
static std::size_t failingFrom = SIZE_MAX;

void* operator new(std::size_t size) {
    if (size >= failingFrom)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

constexpr int kImp = 23;
constexpr int kGhost = 28;
constexpr int kDragon = 17;
constexpr int kVampire = 25;
constexpr int kLastRow = 29;

// A selection made with the mouse: a click on one corner and Shift+click on the
// other; a row of -1 clicks the view's corner button, which selects the whole grid.
struct Drag {
    int top, left, bottom, right;
};

void select(QTableView* view, Drag drag) {
    if (drag.top < 0) {
        QTest::mouseClick(view->findChild<QAbstractButton*>(), Qt::LeftButton);
        return;
    }
    for (const auto& [row, column, keys] : {std::tuple{drag.top, drag.left, Qt::NoModifier},
                                            {drag.bottom, drag.right, Qt::ShiftModifier}}) {
        const QModelIndex cell = view->model()->index(row, column);
        view->scrollTo(cell);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, view->visualRect(cell).center());
    }
}

// The selected cells as "row,column" in view order, the current cell first.
QString selection(QTableView* view) {
    QModelIndexList cells = view->selectionModel()->selectedIndexes();
    std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return std::pair(a.row(), a.column()) < std::pair(b.row(), b.column());
    });
    QStringList text{QStringLiteral("current %1,%2")
                         .arg(view->currentIndex().row())
                         .arg(view->currentIndex().column())};
    for (const QModelIndex& cell : cells)
        text << QStringLiteral("%1,%2").arg(cell.row()).arg(cell.column());
    return text.join(' ');
}

QString lines(int count, const QString& line) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += line + '\n';
    return text;
}

} // namespace

class ComparePasteTest : public QObject {
    Q_OBJECT
private slots:
    // Each paste on a grid of factory values in the picker's order (row 0 the Imp, 1
    // the Ghost, 9 the Dragon, 10 the Vampire; column 0 Health, 1 Armour, 2 Strength,
    // 3 Defence, 73 When angry, 74 Hated Creature). A copy is made first when `copy`
    // is given, and the clipboard is then `text`, or the copy when `text` is empty.
    void pasteTable() {
        struct Case {
            std::optional<Drag> copy;
            QString copied; // the copy's first and last line
            QString text;
            Drag target;
            QString status;
            std::vector<std::tuple<int, int, int>> values; // kind, field, value
            QString selected;
            std::size_t failingFrom = SIZE_MAX;
        };
        QString wholeColumn = "current 0,3";
        for (int row = 0; row <= kLastRow; ++row)
            wholeColumn += QStringLiteral(" %1,3").arg(row);
        const QString unplaced = " Pasted at the selected cell, not under the copied headings.";
        // clang-format off
        const Case cases[] = {
            {Drag{0, 1, kLastRow, 1}, "Creature\tArmour|Avatar\t120", {}, {0, 3, 0, 3},
             "Paste: 27 values changed, 0 cells refused." + unplaced,
             {{kImp, 10, 5}, {kDragon, 10, 90}, {kDragon, 7, 90}, {7, 10, 120}}, wholeColumn},
            {Drag{0, 73, 1, 74}, "Leave Dungeon\tNone|Leave Dungeon\tNone", {}, {9, 73, 9, 73},
             "Paste: 3 values changed, 0 cells refused.",
             {{kDragon, 4, 4}, {kDragon, 71, 0}, {kVampire, 4, 4}, {kVampire, 71, 0}},
             "current 9,73 9,73 9,74 10,73 10,74"},
            {{}, {}, "Dragon\tNone\nImp\tNone\t\n", {0, 74, 0, 74},
             "Paste: 2 values changed, 2 cells refused (first: outside the grid \"None\").",
             {{kImp, 71, kDragon}, {kGhost, 71, kImp}}, "current 0,74 0,74 1,74"},
            {{}, {}, "70000\t12.5\t-3\n", {0, 0, 0, 0},
             "Paste: 3 values changed, 0 cells refused, 2 values held at a bound (first: Imp, "
             "Health 70000 held at 65535), 1 value rounded (first: Imp, Armour 12.5 rounded to 12).",
             {{kImp, 5, 65535}, {kImp, 7, 12}, {kImp, 6, 0}}, "current 0,0 0,0 0,1 0,2"},
            {{}, {}, "Creature\tHealth\tArmr\nImp\t80\t6\n", {0, 0, 0, 0},
             "Paste: 1 value changed, 0 cells refused, 1 cell under an unknown heading (first: "
             "\"Armr\").", {{kImp, 5, 80}, {kImp, 7, 5}}, "current 0,0 0,0"},
            {{}, {}, "Health\tArmour\n80\t6\n", {9, 2, 9, 2},
             "Paste: 2 values changed, 0 cells refused." + unplaced,
             {{kDragon, 6, 80}, {kDragon, 10, 6}, {kDragon, 5, 900}}, "current 9,2 9,2 9,3"},
            {{}, {}, "Creature\tHealth\tHated Creature\nAvatar\t4999\tImp\n", {-1, 0, 0, 0},
             "Paste: 2 values changed, 0 cells refused.", {{7, 5, 4999}, {7, 71, kImp}},
             "current 29,0 29,0 29,74"},
            {{}, {}, lines(32, "80"), {0, 0, 0, 0},
             "Paste refused: more cells than the grid's 30 creatures by 75 fields and their "
             "headings; nothing changed.", {{kImp, 5, 75}}, "current 0,0 0,0"},
            {{}, {}, QString(1'000'001, ' ') + "80", {0, 0, 0, 0},
             "Paste refused: the text is longer than 1000000 bytes; nothing changed.",
             {{kImp, 5, 75}}, "current 0,0 0,0"},
            {{}, {}, "80" + QString(600'000, ' '), {0, 0, 0, 0},
             "Paste failed: not enough memory; nothing changed.", {{kImp, 5, 75}},
             "current 0,0 0,0", 500'000},
        };
        // clang-format on
        for (const Case& c : cases) {
            test::MainHarness h;
            h.startReady();
            h.main->findChild<QAction*>("Action_CompareCreatures")->trigger();
            QWidget* window = h.f.context.window("Form_CompareCreatures");
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            auto* view = qobject_cast<QTableView*>(test::child(window, "Grid_Creatures"));
            if (c.copy) {
                select(view, *c.copy);
                QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
                const QStringList copied =
                    QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
                QCOMPARE(copied.front() + "|" + copied.back(), c.copied);
            } else {
                QApplication::clipboard()->setText(c.text);
            }
            select(view, c.target);
            failingFrom = c.failingFrom;
            QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
            failingFrom = SIZE_MAX;
            QCOMPARE(test::textOf(window, "Label_Status"), c.status);
            for (const auto& [kind, field, value] : c.values)
                QCOMPARE(h.f.store.value(SlotRef::creature(kind, field)), value);
            QCOMPARE(selection(view), c.selected);
            QVERIFY(view->viewport()->rect().contains(view->visualRect(view->currentIndex())));
        }
    }
};

QTEST_MAIN(ComparePasteTest)
#include "compare_paste_test.moc"
