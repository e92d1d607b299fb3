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

// A cell as the user names it: its creature, then its caption on one line.
QString nameOf(const QModelIndex& index) {
    return index.model()->headerData(index.row(), Qt::Vertical).toString() + "/" +
           index.model()->headerData(index.column(), Qt::Horizontal).toString().replace('\n', ' ');
}

// The lit cells: the one, or how many from the first to the last.
QString selectionOf(QTableView* view) {
    QModelIndexList cells = view->selectionModel()->selectedIndexes();
    std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return std::pair(a.row(), a.column()) < std::pair(b.row(), b.column());
    });
    if (cells.size() < 2)
        return cells.isEmpty() ? QString() : nameOf(cells.front());
    return QString("%1: %2 .. %3")
        .arg(cells.size())
        .arg(nameOf(cells.front()), nameOf(cells.back()));
}

// Steps as a user takes them: "@row.column" clicks a cell ("^@" with Ctrl, "+@" with
// Shift), "#column" its caption, "'text" is typed into what has the focus, anything
// else is a key with its modifiers, as "Shift+Ctrl+Right".
void play(QTableView* view, const QString& steps) {
    QHeaderView* header = view->horizontalHeader();
    for (const QString& step : steps.split(' ', Qt::SkipEmptyParts)) {
        const QStringList at = step.section('@', 1).split('.');
        if (at.size() == 2)
            clickCell(view, at[0].toInt(), at[1].toInt(),
                      step[0] == '^'   ? Qt::ControlModifier
                      : step[0] == '+' ? Qt::ShiftModifier
                                       : Qt::NoModifier);
        else if (step[0] == '#')
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                {header->sectionViewportPosition(step.mid(1).toInt()) + 10, header->height() - 8});
        else if (step[0] == '\'')
            for (const QChar typed : step.mid(1))
                QTest::keyClick(QApplication::focusWidget(), typed.toLatin1());
        else
            QTest::keyClick(QApplication::focusWidget(), QKeySequence(step)[0].key(),
                            QKeySequence(step)[0].keyboardModifiers());
        QCoreApplication::processEvents(); // the view takes an editor's value when idle
    }
}

// What a cell shows and, after "#", its colour on screen.
QString looks(QTableView* view, int row, int column) {
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    const QImage image = view->viewport()->grab().toImage();
    return index.data().toString() + " " +
           image.pixelColor(view->visualRect(index).topLeft() + QPoint(3, 3)).name();
}

} // namespace

class CompareCreaturesTest : public QObject {
    Q_OBJECT
private slots:
    // Keys and clicks as in a spreadsheet: the lit cell is the current one, the one typing edits.
    void keysMoveTheCurrentCellAndTheSelectionTogether() {
        struct Row {
            const char* steps;
            const char* current;
            const char* selection; // empty: the current cell alone
            int row, column;       // a cell shown afterwards,
            const char* shows;     // its text and colour
            const char* status = "";
        };
        const Row table[] = {
            // Ctrl+Home lights the first cell, and typing edits that one.
            {"@5.3 Ctrl+Home '99 Return", "Ghost/Health", "", 0, 0, "99 #dcffdc"},
            {"@5.3 Ctrl+End", "Avatar/Hated Creature", "", 0, 0, "75 #ffffff"},
            {"@5.3 End Home", "Spider/Health", "", 0, 0, "75 #ffffff"},
            {"@0.0 PgDown PgUp", "Imp/Health", "", 1, 0, "200 #ffffff"},
            {"@0.0 Shift+PgDown", "Avatar/Health", "30: Imp/Health .. Avatar/Health", 0, 1,
             "5 #ffffff"},
            {"@2.1 Shift+Right Shift+Right Shift+Down", "Beetle/Defence",
             "6: Skeleton/Armour .. Beetle/Defence", 0, 0, "75 #ffffff"},
            {"@2.1 Shift+Ctrl+Right", "Skeleton/Hated Creature",
             "74: Skeleton/Armour .. Skeleton/Hated Creature", 0, 0, "75 #ffffff"},
            {"@2.1 Shift+Ctrl+Down Shift+Up", "Knight/Armour",
             "27: Skeleton/Armour .. Knight/Armour", 0, 0, "75 #ffffff"},
            {"@2.1 Ctrl+Right Ctrl+Left Ctrl+Down Ctrl+Up", "Imp/Health", "", 1, 0, "200 #ffffff"},
            {"@2.1 Tab Tab Shift+Tab Left Up", "Ghost/Armour", "", 0, 0, "75 #ffffff"},
            {"@2.1 Return Return Shift+Return", "Beetle/Armour", "", 0, 0, "75 #ffffff"},
            // Shift+click spans from where the keys began the selection.
            {"@2.1 Down Shift+Down +@5.0", "Spider/Health", "6: Beetle/Health .. Spider/Armour", 0,
             0, "75 #ffffff"},
            {"@2.1 ^@0.0 ^@2.1", "Skeleton/Armour", "2: Imp/Health .. Skeleton/Armour", 1, 0,
             "200 #ffffff"},
            // A click on a caption selects its column and leaves the rows' order alone.
            {"@2.1 #7", "Imp/Fear", "30: Imp/Fear .. Avatar/Fear", 1, 0, "200 #ffffff"},
            {"@2.1 #7 '3 Return", "Ghost/Fear", "", 0, 7, "3 #ffdcdc"},
            {"@0.0 '1 '2 Return", "Ghost/Health", "", 0, 0, "12 #ffdcdc"},
            {"@0.0 F2 '5 Return", "Ghost/Health", "", 0, 0, "755 #dcffdc"},
            {"@0.0 '5 Escape", "Imp/Health", "", 1, 0, "200 #ffffff"},
            {"@0.0 '8 Tab", "Imp/Armour", "", 0, 0, "8 #ffdcdc"},
            {"@3.0 '8 Shift+Return", "Skeleton/Health", "", 3, 0, "8 #ffdcdc"},
            // Undo goes back to the cell it changed, and says what it undid.
            {"@0.0 '8 Return Ctrl+End Ctrl+Z", "Imp/Health", "", 1, 0, "200 #ffffff",
             "Undone: Creature Settings, Imp, Health"},
            {"@0.0 '8 Return Ctrl+Z Ctrl+End Ctrl+Shift+Z", "Imp/Health", "", 1, 0, "200 #ffffff",
             "Redone: Creature Settings, Imp, Health"},
            // Enter ticks the job that typing went to; names and flags are only "changed".
            {"@0.69 F2 'R Return", "Ghost/Primary Jobs", "", 0, 69, "Dig, Research #fff0aa"},
            {"@0.69 F2 'Re Down Return", "Ghost/Primary Jobs", "", 0, 69, "Dig, Train #fff0aa"},
            {"@0.69 F2 'z Return", "Ghost/Primary Jobs", "", 0, 69, "Dig #ffffff"},
            {"@0.72 F2 Down Return", "Ghost/Can Become Angry", "", 0, 72, "Yes #fff0aa"},
            {"@9.74 F2 'I Return", "Vampire/Hated Creature", "", 9, 74, "Imp #fff0aa"},
            {"@0.23 F2 Down Return", "Ghost/Ability 1", "", 0, 23, "Melee (Fist) #fff0aa"},
        };
        for (const Row& row : table) {
            test::MainHarness h;
            h.startReady();
            const auto [window, view] = openFromViewMenu(h);
            play(view, row.steps);
            const QString current = nameOf(view->currentIndex());
            QCOMPARE(current + " | " + selectionOf(view),
                     QString(row.current) + " | " + (*row.selection ? row.selection : row.current));
            QVERIFY(
                view->viewport()->rect().contains(view->visualRect(view->currentIndex()).center()));
            QVERIFY(!view->indexWidget(view->currentIndex())); // no editor left open
            QCOMPARE(looks(view, row.row, row.column), QString(row.shows));
            if (*row.status)
                QCOMPARE(test::textOf(window, "Label_Status"), QString(row.status));
        }
    }

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
        QCOMPARE(test::textOf(window, "Label_Status"), QString("Undone: Paste"));
        QCOMPARE(selectionOf(view), QString("16: Imp/Health .. Horned Reaper/Health"));
        QCOMPARE(cell(view, 0, kHealth), QString("75"));

        // Scaling the same cells by 110 % is one step as well; 75 gives 82.5, so 82.
        view->selectionModel()->clearSelection();
        clickCell(view, 0, kHealth);
        clickCell(view, 0, kHated, Qt::ControlModifier); // an encoded cell, left alone
        auto* scale = window->findChild<QAction*>("Action_Scale");
        for (const char* name : {"Action_Undo", "Action_Redo", "Action_Scale"})
            QVERIFY(test::child(window, "Menu_Edit")
                        ->actions()
                        .contains(window->findChild<QAction*>(name)));
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
        QCOMPARE(view->model()->headerData(kHated, Qt::Horizontal).toString() + "|" +
                     view->model()->headerData(kHated, Qt::Horizontal, Qt::UserRole).toString(),
                 QString("Hated\nCreature|Behaviour"));
        // A double-click sorts, its arrow apart from the whole caption.
        const QRect caption(0, header->height() / 2, header->sectionSize(kHealth),
                            header->height() / 2);
        const QImage unsorted = header->viewport()->grab().toImage();
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, health);
        QCOMPARE(view->model()->headerData(0, Qt::Vertical).toString(), QString("Imp"));
        const QImage sorted = header->viewport()->grab().toImage();
        QCOMPARE(sorted.copy(caption), unsorted.copy(caption));
        QVERIFY(sorted.copy(0, 0, caption.width(), caption.top()) !=
                unsorted.copy(0, 0, caption.width(), caption.top()));
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, health);
        QCOMPARE(view->model()->headerData(0, Qt::Vertical).toString(), QString("Avatar"));

        clickCell(view, 0, kHealth);
        QTest::keyClick(view, Qt::Key_2); // typing starts the edit, as in a spreadsheet
        QWidget* edit = test::child(view->viewport(), "Text_Cell");
        QTest::keyClicks(edit, "9999");
        QTest::keyClick(edit, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(h.f.store.value(SlotRef::creature(7, 5)), 29999); // the Avatar's
        QCOMPARE(cell(view, 0, kHealth), QString("29999"));

        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, health);
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
        QCOMPARE(redrawn.last()[1].toModelIndex(),
                 view->model()->index(9, kHated)); // the far column

        QHeaderView* rows = view->verticalHeader();
        QTest::mouseDClick(rows->viewport(), Qt::LeftButton, {},
                           QPoint(10, rows->sectionViewportPosition(0) + 5));
        QCOMPARE(screen->windowTitle(), QString("Creature Settings (Imp)"));
    }
};

QTEST_MAIN(CompareCreaturesTest)
#include "compare_creatures_test.moc"
