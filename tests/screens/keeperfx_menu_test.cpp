#include <QtTest>

#include <QAction>
#include <QDialogButtonBox>
#include <QMenu>
#include <QRadioButton>
#include <QTableView>
#include <QTreeWidget>

#include <array>
#include <filesystem>
#include <tuple>

#include "keeperfx/install.h"
#include "screens/screen_test_support.h"
#include "screens/widgets/folder_lists.h"

using namespace tavrel;

namespace {

const QString kOriginal = QStringLiteral("Dungeon Keeper original campaign");

// A KeeperFX folder where each layer sets values of its own: the defaults room 2's Cost
// (room slot 2) 60, room 3's 70, room 4's 80 and the Dragon's Health 950; the mod
// tunneller_imp_swap room 3's Cost 71 and the Dragon's Strength 77; the original campaign
// room 4's Cost 81 and the Dragon's Armour 66. The map pack Deeper Dungeons sets nothing.
void makeLayeredInstall(const std::string& root) {
    test::makeKeeperFxInstall(root);
    const std::pair<const char*, const char*> files[] = {
        {"mods/load_order.cfg", "[after_base]\r\ntunneller_imp_swap\r\n"},
        {"fxdata/terrain.cfg", "[room2]\nCost = 60\n[room3]\nCost = 70\n[room4]\nCost = 80\n"},
        {"creatrs/dragon.cfg", "[attributes]\nHealth = 950\n"},
        {"mods/tunneller_imp_swap/fxdata/terrain.cfg", "[room3]\nCost = 71\n"},
        {"mods/tunneller_imp_swap/creatrs/dragon.cfg", "[attributes]\nStrength = 77\n"},
        {"campgns/keeporig.cfg",
         "[common]\nNAME = Dungeon Keeper original campaign\nSINGLE_LEVELS = 1\n"
         "CONFIGS_LOCATION = campgns/keeporig_cfgs/\n"
         "CREATURES_LOCATION = campgns/keeporig_crtr/\n"},
        {"campgns/keeporig_cfgs/terrain.cfg", "[room4]\nCost = 81\n"},
        {"campgns/keeporig_crtr/dragon.cfg", "[attributes]\nArmour = 66\n"},
        {"levels/deepdngn.cfg",
         "[common]\nNAME = Deeper Dungeons\nLEVELS_LOCATION = levels/deepdngn\n"},
        {"levels/deepdngn/deepdngn.lif", "1, First\n"},
    };
    for (const auto& [file, text] : files) {
        const std::string path = root + "/" + file;
        test::makeFolders(path.substr(0, path.rfind('/')));
        test::writeBytes(path, text);
    }
}

QAction* action(const test::MainHarness& h, const char* name) {
    return h.main->findChild<QAction*>(name);
}

// Alt+K, G: the game menu, then Down `steps` times and Enter, as the user picks a game.
void chooseGame(const test::MainHarness& h, int steps) {
    h.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h.main.get()));
    QTest::keyClick(h.main.get(), Qt::Key_K, Qt::AltModifier);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_G);
    auto* games = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QCOMPARE(games->objectName(), QString("Menu_KeeperFxGame"));
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(games, Qt::Key_Down);
    QTest::keyClick(games, Qt::Key_Return);
}

// The editor started on the layered folder, read as the original campaign; its room screen.
QWidget* readAsTheCampaign(test::MainHarness& h) {
    h.makeGame();
    makeLayeredInstall(h.game);
    h.configureGame();
    h.start();
    chooseGame(h, 1);
    action(h, "Action_ReadKeeperFx")->trigger();
    h.click("Cmd_2");
    return h.f.context.window("Form_RoomSettings");
}

// The games the menu offers, the chosen one marked "*".
QStringList gamesShown(const test::MainHarness& h) {
    auto* games = h.main->findChild<QMenu*>("Menu_KeeperFxGame");
    emit games->aboutToShow();
    QStringList shown;
    for (QAction* game : games->actions())
        if (!game->isSeparator())
            shown << (game->isChecked() ? "*" : "") + game->text();
    return shown;
}

// The last line of a tool tip: where the value comes from, after a read.
QString lastLine(const QString& tip) {
    return tip.section('\n', -1);
}

} // namespace

class KeeperFxMenuTest : public QObject {
    Q_OBJECT
private slots:
    // The games by their own NAME lines; the choice outlives the window, and falls back to
    // free play once its campaign is gone.
    void theGameToReadIsChosenAndRemembered() {
        test::MainHarness h;
        h.makeGame();
        makeLayeredInstall(h.game);
        h.configureGame();
        h.start();
        const QString pack = "Deeper Dungeons (map pack)";
        QCOMPARE(gamesShown(h), QStringList({"*&Free Play", kOriginal, pack}));
        chooseGame(h, 1);
        QCOMPARE(gamesShown(h), QStringList({"&Free Play", "*" + kOriginal, pack}));
        h.main.reset();
        h.start();
        QCOMPARE(gamesShown(h), QStringList({"&Free Play", "*" + kOriginal, pack}));
        std::filesystem::remove(h.game + "/campgns/keeporig.cfg");
        h.main.reset();
        h.start();
        QCOMPARE(gamesShown(h), QStringList({"*&Free Play", pack}));
    }

    // Read as the original campaign, Room 2's and 4's Cost raised by 10 (70 and 91), then
    // applied with each scope; read back as each game, as KeeperFX plays them.
    // Needs the layered read and the scoped apply of the core.
    void theScopeChosenIsTheScopeApplied() {
        const std::tuple<int, std::array<int, 6>> cases[] = {
            // scope, then room slots 2 and 6 in free play, the campaign, the map pack
            {0, {70, 91, 70, 91, 70, 91}},
            {1, {70, 91, 70, 81, 70, 91}},
            {2, {60, 80, 70, 91, 60, 80}},
        };
        for (const auto& [scope, expected] : cases) {
            test::MainHarness h;
            QWidget* room = readAsTheCampaign(h);
            for (int slot : {2, 6})
                QTest::mouseClick(test::rowLabel(room, "Label_More", slot), Qt::RightButton);
            h.f.seam.choices = {scope};
            action(h, "Action_ApplyKeeperFx")->trigger();
            const auto& asked = h.f.seam.asked.back();
            QCOMPARE(asked.choices, QStringList({"Everywhere", "Under the campaigns' rules",
                                                 "Only campaign " + kOriginal}));
            QCOMPARE(asked.preferred, 2);
            QVERIFY(asked.help.contains("tenth level"));
            std::array<int, 6> played{};
            std::size_t at = 0;
            for (const char* game : {"", "keeporig", "deepdngn"})
                for (int slot : {2, 6})
                    played[at++] = keeperfx::readRules(h.game, game)
                                       .values[recordOf(SlotRef::of(Category::Room, slot)) - 1];
            QCOMPARE(played, expected);
        }
    }

    // After a read as the campaign, each value's tool tip names the layer that set it, on
    // the room and creature screens and in Compare Creatures; an edit says so, also in
    // Changes. Reading CREATURE.TXT again (another game folder) forgets it all.
    // Needs the layered read of the core.
    void eachValueSaysWhereItComesFrom() {
        test::MainHarness h;
        QWidget* room = readAsTheCampaign(h);
        h.click("Cmd_1");
        QTest::mouseClick(test::button(h.f.context.window("Form_Creatures"), "Cmd_BadGuys(10)"),
                          Qt::LeftButton); // Dragon
        QWidget* dragon = h.f.context.window("Form_CreatureSettings");
        action(h, "Action_CompareCreatures")->trigger();
        auto* grid = qobject_cast<QTableView*>(
            test::child(h.f.context.window("Form_CompareCreatures"), "Grid_Creatures"));
        auto gridTip = [grid](const QString& column) {
            for (int c = 0; c < grid->model()->columnCount(); ++c)
                if (grid->model()->headerData(c, Qt::Horizontal).toString() == column)
                    return lastLine(grid->model()->index(9, c).data(Qt::ToolTipRole).toString());
            return QString("no column ") + column;
        };
        const std::tuple<QWidget*, int, QString, QString> rows[] = {
            // screen, row, Compare Creatures column, where the value comes from
            {room, 2, "", "Set by: KeeperFX default"},
            {room, 4, "", "Set by: mod tunneller_imp_swap"},
            {room, 6, "", "Set by: campaign " + kOriginal},
            {room, 8, "", "Set by: no KeeperFX file, the factory value"},
            {dragon, 1, "Health", "Set by: KeeperFX default"},
            {dragon, 3, "Strength", "Set by: mod tunneller_imp_swap"},
            {dragon, 2, "Armour", "Set by: campaign " + kOriginal},
        };
        for (const auto& [screen, row, column, origin] : rows) {
            QCOMPARE(lastLine(test::rowLabel(screen, "Label_Stat", row)->toolTip()), origin);
            if (!column.isEmpty())
                QCOMPARE(gridTip(column), origin);
        }
        QTest::mouseClick(test::rowLabel(room, "Label_More", 2), Qt::LeftButton);
        const QString edited = "Edited; was 60, set by: KeeperFX default";
        QLabel* treasury = test::rowLabel(room, "Label_Stat", 2);
        QCOMPARE(lastLine(treasury->toolTip()), edited);
        QVERIFY(treasury->toolTip().startsWith("Treasury Cost. Click"));
        action(h, "Action_Changes")->trigger();
        auto* changes = qobject_cast<QTreeWidget*>(
            test::child(h.f.context.window("Form_Changes"), "List_Changes"));
        QCOMPARE(changes->findItems("61", Qt::MatchExactly, 3).value(0)->text(5), edited);

        // The scope offered first: the campaign read as; everywhere once CREATURE.TXT is read.
        h.f.seam.choices = {-1};
        action(h, "Action_ApplyKeeperFx")->trigger();
        QCOMPARE(h.f.seam.asked.back().preferred, 2);
        // Read CREATURE.TXT of another game folder, through File > Change Game Folder.
        const std::string other = fileio::joinPath(h.dir.path(), "Other");
        test::makeGameFolder(other, test::readBytes(h.gameFile));
        makeLayeredInstall(other);
        h.f.seam.choices = {1}; // discard the edit
        h.main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.main.get()));
        QTest::keyClick(h.main.get(), Qt::Key_F, Qt::AltModifier);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_G);
        auto* dirs = qobject_cast<screens::DirList*>(
            test::child(h.f.context.window("Form_LocateDungeonKeeper"), "Dir"));
        QCOMPARE(dirs->setPath(QString::fromStdString(h.dir.path())), 0);
        const QRect line = dirs->visualItemRect(dirs->itemFor(QString::fromStdString(other)));
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, line.center());
        QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, line.center());
        QVERIFY(treasury->toolTip().endsWith("Ctrl+Backspace: factory value."));
        QVERIFY(changes->isColumnHidden(5));
        h.f.seam.choices = {-1};
        action(h, "Action_ApplyKeeperFx")->trigger();
        QCOMPARE(h.f.seam.asked.back().preferred, 0);
    }

    // The box itself: the question follows the option chosen with the mouse; No is the default.
    void theScopeBoxFollowsTheOptionChosen() {
        for (bool yes : {true, false}) {
            const auto textFor = [](int i) { return QString("text %1").arg(i); };
            const screens::ChoiceQuestion question{"Apply?", "", {"A", "B", "C"}, 2, textFor, ""};
            screens::ChoiceQuestionBox box(nullptr, question);
            box.show();
            QCOMPARE(test::textOf(&box, "Label_Question"), QString("text 2"));
            QWidget* option = test::child(&box, "Option_Choice(2)");
            QTest::mouseClick(option, Qt::LeftButton, {}, {8, option->height() / 2});
            QCOMPARE(test::textOf(&box, "Label_Question"), QString("text 1"));
            QWidget* yesButton = box.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Yes);
            yes ? QTest::mouseClick(yesButton, Qt::LeftButton)
                : QTest::keyClick(&box, Qt::Key_Return);
            QCOMPARE(box.result(), yes ? QDialog::Accepted : QDialog::Rejected);
            QCOMPARE(box.choice(), 1);
        }
    }
};

QTEST_MAIN(KeeperFxMenuTest)
#include "keeperfx_menu_test.moc"
