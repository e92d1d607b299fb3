#include <QtTest>

#include <QAction>
#include <QTreeWidget>

#include <filesystem>

#include "keeperfx/install.h"
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
    void undoAndRedoAreNamedOnTheMenuAndTheStatusLine() {
        test::MainHarness h;
        h.startReady();
        QWidget* room = open(h, "Cmd_2", "Form_RoomSettings");
        QTest::mouseClick(test::rowLabel(room, "Label_More", 2), Qt::RightButton);
        QCOMPARE(action(h.main.get(), "Action_Undo")->text(),
                 QString("&Undo Room Settings, Treasury Cost"));
        action(h.main.get(), "Action_Undo")->trigger();
        QCOMPARE(h.welcome(), QString("Undone: Room Settings, Treasury Cost"));
        action(h.main.get(), "Action_Redo")->trigger();
        QCOMPARE(h.welcome(), QString("Redone: Room Settings, Treasury Cost"));
        h.f.seam.answers = {true};
        h.click("Cmd_Restore"); // one step back too
        action(h.main.get(), "Action_Undo")->trigger();
        QCOMPARE(h.welcome(), QString("Undone: Restore Defaults"));
        QCOMPARE(action(h.main.get(), "Action_Redo")->text(), QString("&Redo Restore Defaults"));
    }

    // Steps on the treasury's cost (factory 50) with the input dialog open on it: + a right
    // click on its "+", z Ctrl+Z, y Ctrl+Y and Z Ctrl+Shift+Z in its window, d Restore Defaults,
    // a Apply, s save and l load of Other.dks. After each step whether Undo and Redo are
    // enabled; after the last the cost both windows show, the question closing asks (empty:
    // none), the answer (-1: the box closed) and whether the editor closes with every window.
    void undoRedoAndTheExitQuestionFollowEachStep() {
        const QString none = "Your changes have not been applied to the game and are not saved "
                             "in any settings file. Apply them before closing?";
        const QString differ = "Your changes have not been applied to the game, and they differ "
                               "from Other.dks, the settings file you %1 last. Apply them before "
                               "closing?";
        const std::tuple<QString, QString, int, QString, int, bool> cases[] = {
            {"", "", 50, "", 2, true},
            {"+z", "10 01", 50, "", 2, true},
            {"+zy", "10 01 10", 60, none, 0, true}, // applied
            {"+zZ", "10 01 10", 60, none, 1, true},
            {"+z+", "10 01 10", 60, none, 2, false},
            {"+a", "10 10", 60, "", 2, true},
            {"+az", "10 10 01", 50, none, 1, true},
            {"+d", "10 10", 50, "", 2, true},
            {"+dz", "10 10 11", 60, none, -1, false},
            {"+s", "10 10", 60, "", 2, true},
            {"+s+", "10 10 10", 70, differ.arg("saved"), 2, false},
            {"l", "10", 50, "", 2, true},
            {"lz", "10 01", 50, "", 2, true},
            {"l+", "10 10", 60, differ.arg("loaded"), -1, false}};
        for (const auto& [steps, states, cost, question, choice, closes] : cases) {
            test::MainHarness h;
            h.startReady();
            ValueSet other = h.f.store.values();
            other[2679] += 1;
            test::writeBytes(h.dir.file("Other.dks"), encodeSettings(other));
            QPointer<QWidget> room = open(h, "Cmd_2", "Form_RoomSettings");
            QTest::mouseClick(test::rowLabel(room, "Label_Stat", 2), Qt::LeftButton);
            QString shown;
            for (QChar step : steps) {
                h.f.seam.answers = {true};
                if (step == '+')
                    QTest::mouseClick(test::rowLabel(room, "Label_More", 2), Qt::RightButton);
                if (step == 'd' || step == 'a')
                    h.click(step == 'd' ? "Cmd_Restore" : "Cmd_Apply");
                if (QString("zyZ").contains(step)) {
                    room->activateWindow();
                    QVERIFY(QTest::qWaitForWindowActive(room));
                    QTest::keyClick(room, step == 'y' ? Qt::Key_Y : Qt::Key_Z,
                                    step == 'Z' ? Qt::ControlModifier | Qt::ShiftModifier
                                                : Qt::ControlModifier);
                }
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
                for (const char* arrow : {"Label_Less", "Label_More"}) // at rest again
                    QCOMPARE(test::rowLabel(room, arrow, 2)->background(), QColor(255, 255, 255));
            }
            QCOMPARE(shown.trimmed(), states);
            QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->text(), QString::number(cost));
            QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->background(),
                     cost > 50 ? QColor(220, 255, 220) : QColor(255, 255, 255));
            QCOMPARE(test::textOf(h.f.context.window("Form_InputValue"), "Label_CurrentValue"),
                     QString::number(cost));
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

        // Names, jobs and flags as the creature screen shows them, uncoloured.
        for (const auto& [kind, field, value] :
             {std::tuple{17, 71, 17}, {23, 15, 4000}, {23, 38, 2}, {23, 1, 12}})
            h.f.store.set(SlotRef::creature(kind, field), value);
        h.f.store.set(SlotRef::of(Category::Room, 2), 75);
        QStringList shown;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* at = list->topLevelItem(row);
            const QBrush shade = at->background(3);
            shown << at->text(1) + '|' + at->text(2) + '|' + at->text(3) + '|' + at->text(4) + '|' +
                         (shade.style() == Qt::NoBrush ? "none" : shade.color().name());
        }
        QCOMPARE(
            shown,
            QStringList(
                {"Dragon|Health|890|900|#ffdcdc", "Dragon|Hated Creature|Dragon|None|none",
                 "Imp|Primary Jobs|Research, Train|Dig|none", "Imp|Can Become Angry|Yes|No|none",
                 "Imp|Attack Preference|Ranged|Melee|none", "|Treasury Cost|75|50|#dcffdc"}));

        // The chosen line stays chosen; when it leaves, the line in its place is chosen.
        const auto chosen = [list] { // the current line, alone selected
            return list->selectedItems() == QList{list->currentItem()}
                       ? list->currentItem()->text(2)
                       : QString();
        };
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(3)).center());
        QCOMPARE(chosen(), QString("Can Become Angry"));
        h.f.store.set(SlotRef::creature(14, 5), 2100); // a line above it
        QCOMPARE(chosen(), QString("Can Become Angry"));
        h.f.store.set(SlotRef::creature(23, 15), 0); // back at its factory value
        QCOMPARE(chosen(), QString("Attack Preference"));
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(chosen(), QString("Primary Jobs"));

        // A double click as the user makes it: a click, then the second press.
        line = list->topLevelItem(1); // the Dragon's Health
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
    // undo step, and Apply to KeeperFX asks where before it writes the mod.
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
            h.f.seam.choices = {1}; // the edit is in no file: Discard it
            read->trigger();
            // The test install lists a mod under [after_campaign] that it does not have.
            QCOMPARE(h.welcome(),
                     QString("KeeperFX rules read from fxdata and creatrs and the mod base. The "
                             "mod other listed in load_order.cfg is not in the mods folder, so "
                             "KeeperFX skips it."));
            QCOMPARE(h.f.store.values(), keeperfx::readRules(h.game).values);
            QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->text(), QString("50")); // redrawn
            action(h.main.get(), "Action_Undo")->trigger();
            QCOMPARE(h.f.store.values(), edited);

            h.f.seam.shown.clear();
            h.f.seam.choices = {-1, 0};
            apply->trigger();
            QVERIFY(!std::filesystem::exists(h.game + "/mods/tavrel"));
            apply->trigger();
            QCOMPARE(h.f.seam.shown[0].title, QString("Apply to KeeperFX?"));
            QCOMPARE(h.welcome(),
                     QString("KeeperFX mod \"tavrel\" applied: 1 value written in 1 file. Free "
                             "play and every campaign and map pack play the changed values, and "
                             "keep their own for every other."));
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
