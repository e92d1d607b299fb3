#include <QtTest>

#include <QAction>
#include <QTreeWidget>

#include <filesystem>

#include "keeperfx/install.h"
#include "screens/screen_test_support.h"

using namespace tavrel;

namespace {

QAction* action(QWidget* main, const char* name) {
    return main->findChild<QAction*>(QLatin1String(name));
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

    // A game folder without KeeperFX: the menu is there, its commands greyed with the reason.
    // With KeeperFX: the start-up message names both applies, Read fills every window as one
    // undo step, and Apply to KeeperFX asks Apply's question before it writes the mod.
    void theKeeperFxMenuReadsAndAppliesOnlyKeeperFxFolders() {
        for (bool keeperFx : {false, true}) {
            test::MainHarness h;
            h.makeGame();
            if (keeperFx)
                test::makeKeeperFxInstall(h.game);
            h.configureGame();
            h.start();
            QAction* read = action(h.main.get(), "Action_ReadKeeperFx");
            QAction* apply = action(h.main.get(), "Action_ApplyKeeperFx");
            QCOMPARE(read->isEnabled(), keeperFx);
            QCOMPARE(apply->isEnabled(), keeperFx);
            if (!keeperFx) {
                QVERIFY(h.f.seam.shown.empty());
                QCOMPARE(read->toolTip(), QString("The game folder holds no KeeperFX (no fxdata "
                                                  "and creatrs folders)."));
                continue;
            }
            QCOMPARE(h.f.seam.shown.size(), std::size_t(1));
            QVERIFY(h.f.seam.shown[0].text.contains(
                "Apply Changes writes CREATURE.TXT, which only the original game reads. Apply to "
                "KeeperFX, in the KeeperFX menu, writes the values as the KeeperFX mod "
                "mods/tavrel"));
            h.click("Cmd_2");
            QWidget* room = h.f.context.window("Form_RoomSettings");
            QTest::mouseClick(test::rowLabel(room, "Label_More", 2), Qt::RightButton);
            const ValueSet edited = h.f.store.values();
            read->trigger();
            QCOMPARE(h.welcome(),
                     QString("KeeperFX rules read from fxdata and creatrs and the mod base."));
            QCOMPARE(h.f.store.values(), keeperfx::readRules(h.game).values);
            QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->text(), QString("50")); // redrawn
            action(h.main.get(), "Action_Undo")->trigger();
            QCOMPARE(h.f.store.values(), edited);

            h.f.seam.shown.clear();
            h.f.seam.answers = {false, true};
            apply->trigger();
            QVERIFY(!std::filesystem::exists(h.game + "/mods/tavrel"));
            apply->trigger();
            QCOMPARE(h.f.seam.shown[0].title, QString("Apply Changes?"));
            QCOMPARE(h.welcome(),
                     QString("KeeperFX mod \"tavrel\" applied: 1 value written in 1 file."));
            QVERIFY(std::filesystem::exists(h.game + "/mods/tavrel/fxdata/terrain.cfg"));
        }
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
