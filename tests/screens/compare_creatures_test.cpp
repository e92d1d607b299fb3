#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QTableView>

#include "screens/creatures/creature_screen.h"
#include "screens/screen_test_support.h"

using namespace tavrel;

namespace {

constexpr int kHealth = 0;  // the first column
constexpr int kHated = 74;  // the last one, "Hated Creature"
constexpr int kDragon = 17; // row 9 in the picker's order

struct Grid {
    QWidget* window;
    QTableView* view;
};

Grid shown(QWidget* window) {
    window->activateWindow();
    [&] { QVERIFY(QTest::qWaitForWindowActive(window)); }();
    return {window, qobject_cast<QTableView*>(test::child(window, "Grid_Creatures"))};
}

Grid openFromViewMenu(test::MainHarness& h) {
    h.main->findChild<QAction*>("Action_CompareCreatures")->trigger();
    return shown(h.f.context.window("Form_CompareCreatures"));
}

QPoint cellAt(QTableView* view, int row, int column) {
    view->scrollTo(view->model()->index(row, column));
    return view->visualRect(view->model()->index(row, column)).center();
}

void clickCell(QTableView* view, int row, int column, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, cellAt(view, row, column));
}

QString cell(QTableView* view, int row, int column, int role = Qt::DisplayRole) {
    return view->model()->index(row, column).data(role).toString();
}

} // namespace

class CompareCreaturesTest : public QObject {
    Q_OBJECT
private slots:
    // Health of every bad guy out to a spreadsheet and back, one cell spoilt there.
    void pastedHealthIsOneStepAndRefusedCellsChangeNothing() {
        test::MainHarness h;
        h.startReady();
        const auto [window, view] = openFromViewMenu(h);
        QCOMPARE(window->windowTitle(), QString("Compare Creatures"));
        clickCell(view, 0, kHealth);
        clickCell(view, 16, kHealth, Qt::ShiftModifier);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QStringList lines = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 17);
        QCOMPARE(lines.front() + "|" + lines.back(), QString("75|2000")); // Imp, Horned Reaper
        const ValueSet before = h.f.store.values();
        for (QString& line : lines)
            line = QString::number(line.toInt() + 10);
        lines[9] = "many"; // the Dragon's
        QApplication::clipboard()->setText(lines.join("\r\n") + "\r\n");
        clickCell(view, 0, kHealth);
        QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);

        QCOMPARE(
            h.welcome(),
            QString("Paste: 16 values changed, 1 cell refused (first: Dragon, Health \"many\")."));
        QCOMPARE(cell(view, 0, kHealth), QString("85"));
        QCOMPARE(view->model()->index(0, kHealth).data(Qt::BackgroundRole).value<QColor>(),
                 QColor(220, 255, 220));
        int changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i)
            changed += before[i] != h.f.store.values()[i];
        QCOMPARE(changed, 16);
        QCOMPARE(h.f.store.value(SlotRef::creature(kDragon, 5)), 900);

        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(h.f.store.values() == before);
        QCOMPARE(h.welcome(), QString("Undone: Paste"));
        QCOMPARE(cell(view, 0, kHealth), QString("75"));

        // Scaling the same cells by 110 % is one step as well; 75 gives 82.5, so 82.
        view->selectionModel()->clearSelection();
        clickCell(view, 0, kHealth);
        clickCell(view, 0, kHated, Qt::ControlModifier); // an encoded cell, left alone
        auto* scale = window->findChild<QAction*>("Action_Scale");
        QVERIFY(test::child(window, "Menu_Edit")->actions().contains(scale));
        scale->trigger();
        auto* dialog = window->findChild<QInputDialog*>("Dialog_Scale");
        dialog->setDoubleValue(110);
        QTest::keyClick(dialog, Qt::Key_Return);
        QCOMPARE(h.f.store.value(SlotRef::creature(23, 5)), 82);
        QCOMPARE(h.welcome(), QString("Scale 110 %: 1 value changed, 1 encoded cell left alone."));
    }

    void sortingKeepsAnEditOnItsCreature() {
        test::MainHarness h;
        h.startReady();
        const auto [window, view] = openFromViewMenu(h);
        QHeaderView* header = view->horizontalHeader();
        const QPoint health(header->sectionViewportPosition(kHealth) + 10, header->height() - 8);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, health);
        QCOMPARE(view->model()->headerData(0, Qt::Vertical).toString(), QString("Imp"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, health);
        QCOMPARE(view->model()->headerData(0, Qt::Vertical).toString(), QString("Avatar"));

        clickCell(view, 0, kHealth);
        QTest::keyClick(view, Qt::Key_2); // typing starts the edit, as in a spreadsheet
        QWidget* edit = test::child(view->viewport(), "Text_Cell");
        QTest::keyClicks(edit, "9999");
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(h.f.store.value(SlotRef::creature(7, 5)), 29999); // the Avatar's
        QCOMPARE(cell(view, 0, kHealth), QString("29999"));

        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, health);
        QCOMPARE(view->model()->headerData(1, Qt::Vertical).toString(), QString("Ghost"));
    }

    void theGridAndTheCreatureScreenShowOneStore() {
        test::MainHarness h;
        h.startReady();
        h.click("Cmd_1");
        QWidget* picker = h.f.context.window("Form_Creatures");
        QTest::mouseClick(test::button(picker, "Cmd_BadGuys(10)"), Qt::LeftButton); // Dragon
        QWidget* screen = h.f.context.window(screens::kCreatureSettingsName);
        QTest::mouseClick(test::button(picker, "Cmd_Compare"), Qt::LeftButton);
        const auto [window, view] = shown(h.f.context.window("Form_CompareCreatures"));

        // A step on the creature screen redraws that one cell of the grid, no other.
        QSignalSpy redrawn(view->model(), &QAbstractItemModel::dataChanged);
        QTest::mouseClick(test::rowLabel(screen, "Label_More", 1), Qt::LeftButton);
        QCOMPARE(cell(view, 9, kHealth), QString("901"));
        QCOMPARE(redrawn.size(), 1);
        const QModelIndex dragonHealth = view->model()->index(9, kHealth);
        QCOMPARE(redrawn[0][0].toModelIndex(), dragonHealth);
        QCOMPARE(redrawn[0][1].toModelIndex(), dragonHealth);

        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cellAt(view, 9, kHated));
        auto* choice = view->viewport()->findChild<QComboBox*>("Combo_Cell");
        QTest::keyClick(choice, Qt::Key_I);
        QTest::keyClick(choice, Qt::Key_Return);
        QCoreApplication::processEvents(); // the view takes an editor's value when idle
        auto* hated = qobject_cast<QComboBox*>(test::child(screen, "Combo_Hated"));
        QCOMPARE(hated->currentText(), QString("Imp"));
        QCOMPARE(h.f.store.value(SlotRef::creature(kDragon, 71)), 23);
        QCOMPARE(cell(view, 9, kHated), QString("Imp"));

        QHeaderView* rows = view->verticalHeader();
        QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {},
                           QPoint(10, rows->sectionViewportPosition(0) + 5));
        QCOMPARE(screen->windowTitle(), QString("Creature Settings (Imp)"));
    }
};

QTEST_MAIN(CompareCreaturesTest)
#include "compare_creatures_test.moc"
