#include <QtTest>

#include <QAction>
#include <QTreeWidget>

#include "screens/screen_test_support.h"
#include "screens/widgets/folder_lists.h"
#include "settingsfile/settings_file.h"

using namespace tavrel;

namespace {

QAction* action(QWidget* main, const char* name) {
    return main->findChild<QAction*>(QLatin1String(name));
}

QWidget* open(test::MainHarness& h, const char* command, const char* window) {
    h.click(command);
    return h.f.context.window(window);
}

} // namespace

class UndoChangesTest : public QObject {
    Q_OBJECT
private slots:
    void ctrlZUndoesAStepInEveryOpenWindow() {
        test::MainHarness h;
        h.startReady();
        h.click("Cmd_2");
        QWidget* room = h.f.context.window("Form_RoomSettings");
        QTest::mouseClick(test::rowLabel(room, "Label_Stat", 2), Qt::LeftButton); // Treasury cost
        QWidget* dialog = h.f.context.window("Form_InputValue");
        const QString before = test::rowLabel(room, "Label_Stat", 2)->text();
        QTest::mouseClick(test::rowLabel(room, "Label_More", 2), Qt::RightButton);
        QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->text().toInt(), before.toInt() + 10);
        QCOMPARE(action(h.main.get(), "Action_Undo")->text(),
                 QString("&Undo Room Settings, Treasury Cost"));

        room->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(room));
        QTest::keyClick(room, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->text(), before);
        QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->background(), QColor(255, 255, 255));
        QCOMPARE(test::textOf(dialog, "Label_CurrentValue"), before);
        QCOMPARE(h.welcome(), QString("Undone: Room Settings, Treasury Cost"));
        QVERIFY(!action(h.main.get(), "Action_Undo")->isEnabled());

        QTest::keyClick(room, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->background(), QColor(220, 255, 220));
        QCOMPARE(h.welcome(), QString("Redone: Room Settings, Treasury Cost"));
        QTest::keyClick(room, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(room, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->text().toInt(), before.toInt() + 10);

        // A restore is one step back too.
        h.f.store.set(SlotRef::creature(17, 5), 1);
        const ValueSet edited = h.f.store.values();
        h.f.seam.answers = {true};
        h.click("Cmd_Restore");
        action(h.main.get(), "Action_Undo")->trigger();
        QVERIFY(h.f.store.values() == edited);
        QCOMPARE(h.welcome(), QString("Undone: Restore Defaults"));
        QCOMPARE(action(h.main.get(), "Action_Redo")->text(), QString("&Redo Restore Defaults"));
    }

    // Undo and Redo after each step, then the question closing asks (empty: none), the
    // answer to it (-1: the box closed), and whether the editor then closes with every
    // window. Steps: e a value's "+", u undo, r redo, a apply, s save and l load of Other.dks.
    void menuStatesAndTheExitQuestionFollowEachStep() {
        const QString none = "Your changes have not been applied to the game and are not saved "
                             "in any settings file. Apply them before closing?";
        const QString differ = "Your changes have not been applied to the game, and they differ "
                               "from Other.dks, the settings file you %1 last. Apply them before "
                               "closing?";
        const std::tuple<QString, QString, QString, int, bool> cases[] = {
            {"", "", "", 2, true},
            {"eurue", "10 01 10 01 10", none, 0, true}, // applied
            {"eu", "10 01", "", 2, true},
            {"ea", "10 10", "", 2, true},
            {"eau", "10 10 01", none, 1, true},
            {"es", "10 10", "", 2, true},
            {"ese", "10 10 10", differ.arg("saved"), 2, false},
            {"l", "10", "", 2, true},
            {"lu", "10 01", "", 2, true},
            {"le", "10 10", differ.arg("loaded"), -1, false}};
        for (const auto& [steps, states, question, choice, closes] : cases) {
            test::MainHarness h;
            h.startReady();
            ValueSet other = h.f.store.values();
            other[2679] += 1;
            test::writeBytes(h.dir.file("Other.dks"), encodeSettings(other));
            QPointer<QWidget> room = open(h, "Cmd_2", "Form_RoomSettings");
            QString shown;
            for (QChar step : steps) {
                if (step == 'e')
                    QTest::mouseClick(test::rowLabel(room, "Label_More", 2), Qt::LeftButton);
                if (step == 'u' || step == 'r')
                    action(h.main.get(), step == 'u' ? "Action_Undo" : "Action_Redo")->trigger();
                h.f.seam.answers = {true};
                if (step == 'a')
                    h.click("Cmd_Apply");
                if (step == 's' || step == 'l') {
                    QWidget* dialog = step == 's' ? open(h, "Cmd_Save", "Form_SaveSettings")
                                                  : open(h, "Cmd_Load", "Form_LoadSettings");
                    qobject_cast<screens::DirList*>(test::child(dialog, "Dir"))
                        ->setPath(QString::fromStdString(h.dir.path()));
                    auto* files = qobject_cast<screens::FileList*>(test::child(dialog, "File"));
                    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                                      files->visualItemRect(files->itemFor("Other.dks")).center());
                    if (step == 's')
                        QTest::keyClick(test::child(dialog, "Text_FileName"), Qt::Key_Return);
                }
                for (const char* name : {"Action_Undo", "Action_Redo"})
                    shown += QString::number(action(h.main.get(), name)->isEnabled());
                shown += ' ';
            }
            QCOMPARE(shown.trimmed(), states);
            const std::string game = test::readBytes(h.gameFile);
            h.f.seam.shown.clear();
            h.f.seam.choices = {choice};
            h.main->close();
            QCOMPARE(h.f.seam.shown.size(), std::size_t(!question.isEmpty()));
            if (!question.isEmpty())
                QCOMPARE(h.f.seam.shown[0].text, question);
            QCOMPARE(test::readBytes(h.gameFile) != game, choice == 0); // only Apply writes
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(h.main->isVisible() != closes && !room == closes);
        }
    }

    void theChangesListShowsAChangedCreatureValueAndJumpsToIt() {
        test::MainHarness h;
        h.startReady();
        action(h.main.get(), "Action_Changes")->trigger();
        QWidget* changes = h.f.context.window("Form_Changes");
        QCOMPARE(changes->windowTitle(), QString("Changes (0)"));
        QVERIFY(test::child(changes, "Label_NoChanges")->isVisible());

        const SlotRef health = SlotRef::creature(17, 5); // the Dragon's Health
        h.f.store.set(health, h.f.store.value(health) - 10);
        auto* list = changes->findChild<QTreeWidget*>("List_Changes");
        QCOMPARE(changes->windowTitle(), QString("Changes (1)"));
        QTreeWidgetItem* line = list->topLevelItem(0);
        QCOMPARE(line->text(0) + "|" + line->text(1) + "|" + line->text(2),
                 QString("Creature Settings|Dragon|Health"));
        QCOMPARE(line->background(3).color(), QColor(255, 220, 220));

        QVERIFY(QTest::qWaitForWindowExposed(changes));
        // A double click as the user makes it: a click, then the second press.
        const QPoint at = list->visualItemRect(line).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QWidget* screen = h.f.context.window("Form_CreatureSettings");
        QVERIFY(screen && screen->isVisible());
        QCOMPARE(h.f.state.SelectedCreature, 17);
        QVERIFY(test::rowLabel(screen, "Label_Stat", 1)->background() != QColor(255, 220, 220));
    }

    // Every redraw, an undo's included, runs the open windows in one fixed order.
    void refreshesInOrder() {
        test::ScreenFixture f;
        QString order;
        f.context.setRefresher(screens::RefreshOrder::InputValue, [&] { order += "i"; });
        f.context.setRefresher(screens::RefreshOrder::Misc, [&] { order += "m"; });
        f.context.setRefresher(screens::RefreshOrder::Room, [&] { order += "r"; });
        f.context.refreshAll();
        QCOMPARE(order, QString("rmi"));
        f.context.clearRefresher(screens::RefreshOrder::Misc);
        f.context.refreshAll();
        QCOMPARE(order, QString("rmiri"));
    }

    void aKeeperFxFolderIsToldOnceAtStartUp() {
        test::MainHarness h;
        h.makeGame();
        test::writeBytes(h.game + "/KeeperFX.EXE", "");
        h.configureGame();
        h.start();
        QCOMPARE(h.f.seam.shown.size(), std::size_t(1));
        QCOMPARE(h.f.seam.shown[0].text,
                 QString("This folder holds KeeperFX, which does not read CREATURE.TXT: values "
                         "applied here only take effect when the original game runs from this "
                         "folder."));
    }
};

QTEST_MAIN(UndoChangesTest)
#include "undo_changes_test.moc"
