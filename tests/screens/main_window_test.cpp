#include <QtTest>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <memory>

#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "core/test_support.h"
#include "gamefile/writer.h"
#include "screens/main_window.h"
#include "screens/screen_test_support.h"

using namespace tavrel;

namespace {

const QString kWelcome = QStringLiteral("Welcome to the unofficial Dungeon Keeper editor.");
const QStringList kAlwaysOn = {"Cmd_Exit", "Cmd_About", "Cmd_Help", "Cmd_Locate"};
const QStringList kGameCommands = {"Cmd_Load", "Cmd_Save", "Cmd_Restore", "Cmd_Apply",
                                   "Cmd_1",    "Cmd_2",    "Cmd_3",       "Cmd_4",
                                   "Cmd_5",    "Cmd_6",    "Cmd_7"};

// A main window over a temporary working folder with a game folder beside it.
struct Harness {
    test::ScreenFixture f;
    test::TempDir dir;
    std::string config = dir.file("Tavrel.cfg");
    std::string game = dir.file("Keeper");
    std::string gameFile = game + "/Data/CREATURE.TXT";
    std::unique_ptr<screens::Main> main;

    void makeGame(bool withAddon = false) {
        test::makeGameFolder(game, renderGameFile(factoryDefaults()), withAddon);
    }
    void configure(const std::string& line) { test::writeBytes(config, line); }
    void start() {
        main = std::make_unique<screens::Main>(f.context, config);
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        main->load();
    }
    void startReady() {
        makeGame();
        configure("INSTALL_PATH=" + game + "\r\n");
        start();
        QCOMPARE(label("Label_Welcome")->text(), QString("Dungeon Keeper found."));
        f.seam.shown.clear();
    }
    QPushButton* button(const QString& name) const {
        return qobject_cast<QPushButton*>(test::child(main.get(), name));
    }
    QLabel* label(const QString& name) const {
        return qobject_cast<QLabel*>(test::child(main.get(), name));
    }
    QTimer* timer() const { return main->findChild<QTimer*>("Timer_Main"); }
    void click(const QString& name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
};

void verifyNotFoundState(const Harness& h) {
    for (const QString& name : kAlwaysOn)
        QVERIFY2(h.button(name)->isEnabled(), qPrintable(name));
    for (const QString& name : kGameCommands)
        QVERIFY2(!h.button(name)->isEnabled(), qPrintable(name));
    QCOMPARE(h.label("Label_Location")->text(), QString());
    QCOMPARE(h.label("Label_Welcome")->text(), kWelcome);
}

void verifyReadyState(const Harness& h) {
    for (const QString& name : kGameCommands + QStringList{"Cmd_Exit", "Cmd_About", "Cmd_Help"})
        QVERIFY2(h.button(name)->isEnabled(), qPrintable(name));
    QVERIFY(!h.button("Cmd_Locate")->isEnabled());
}

int windowsNamed(const QString& name) {
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->objectName() == name && window->isVisible())
            ++count;
    return count;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void showsEveryControlWithItsCaptionAndLayout() {
        Harness h;
        h.start();
        QCOMPARE(h.main->objectName(), QString("Main"));
        QCOMPARE(h.main->windowTitle(), QString("Tavrel"));
        QTimer* timer = h.timer();
        QVERIFY(timer);
        QVERIFY(timer->isSingleShot());
        QCOMPARE(timer->interval(), 5000);
        QVERIFY(!timer->isActive());

        const QList<std::pair<QString, QString>> captions = {
            {"Cmd_Load", "Load Settings"},
            {"Cmd_Save", "Save Settings"},
            {"Cmd_Restore", "Restore Defaults"},
            {"Cmd_Apply", "Apply Changes"},
            {"Cmd_Help", "Help"},
            {"Cmd_About", "About"},
            {"Cmd_Exit", "Exit"},
            {"Cmd_1", "Creature Settings"},
            {"Cmd_2", "Room Settings"},
            {"Cmd_3", "Magic Settings"},
            {"Cmd_4", "Research Settings"},
            {"Cmd_5", "Trap and Door Settings"},
            {"Cmd_6", "Ability Settings"},
            {"Cmd_7", "Miscellaneous Settings"},
            {"Cmd_Locate", "..."},
        };
        for (const auto& [name, caption] : captions)
            QCOMPARE(h.button(name)->text(), caption);
        auto frame = [&](const QString& name) {
            return qobject_cast<QGroupBox*>(test::child(h.main.get(), name));
        };
        QCOMPARE(frame("Frame3")->title(), QString());
        QCOMPARE(frame("Frame1")->title(), QString("Main Menu"));
        QCOMPARE(frame("Frame2")->title(), QString("Open"));
        QCOMPARE(frame("Frame4")->title(), QString("Dungeon Keeper Location"));
        QVERIFY(h.label("Label_Welcome")->alignment() & Qt::AlignHCenter);

        // Status across the top, the two columns side by side, the location strip below.
        const QRect status = frame("Frame3")->geometry();
        const QRect menu = frame("Frame1")->geometry();
        const QRect open = frame("Frame2")->geometry();
        const QRect location = frame("Frame4")->geometry();
        QVERIFY(status.bottom() < menu.top() && status.bottom() < open.top());
        QVERIFY(menu.right() < open.left());
        QCOMPARE(menu.top(), open.top());
        QVERIFY(menu.bottom() < location.top() && open.bottom() < location.top());
        QVERIFY(h.label("Label_Location")->geometry().right() <
                h.button("Cmd_Locate")->geometry().left());
        // Each column reads from top to bottom in the order of the menu.
        for (const QStringList& column :
             {QStringList{"Cmd_Load", "Cmd_Save", "Cmd_Restore", "Cmd_Apply", "Cmd_Help",
                          "Cmd_About", "Cmd_Exit"},
              QStringList{"Cmd_1", "Cmd_2", "Cmd_3", "Cmd_4", "Cmd_5", "Cmd_6", "Cmd_7"}}) {
            for (int i = 1; i < column.size(); ++i)
                QVERIFY(h.button(column[i - 1])->y() < h.button(column[i])->y());
        }
    }

    void startUpWithoutConfigurationLeavesTheGameNotFound() {
        Harness h;
        h.start();
        verifyNotFoundState(h);
        QVERIFY(h.f.seam.shown.empty());
        QVERIFY(h.f.store.values() == ValueSet{});
        // A greyed command does nothing when clicked.
        h.click("Cmd_Apply");
        QVERIFY(h.f.seam.shown.empty());
    }

    void startUpIgnoresALowerCaseKey() {
        Harness h;
        h.makeGame();
        h.configure("install_path=" + h.game + "\r\n");
        h.start();
        verifyNotFoundState(h);
        QVERIFY(h.f.seam.shown.empty());
    }

    void startUpIgnoresTheKeyAlone() {
        Harness h;
        h.makeGame();
        h.configure("INSTALL_PATH=\r\n");
        h.start();
        verifyNotFoundState(h);
        QVERIFY(h.f.seam.shown.empty());
    }

    void startUpWithAnEmptyConfigurationShowsError62() {
        Harness h;
        h.configure("");
        h.start();
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text,
                 QString("This action has caused an unknown error. Error code:  62"));
        QCOMPARE(h.f.seam.shown[0].title, QString());
        verifyNotFoundState(h);
    }

    void startUpWithAGameTurnsReady() {
        Harness h;
        h.makeGame();
        h.configure("INSTALL_PATH=" + h.game + "\r\n");
        h.start();
        QVERIFY(h.f.seam.shown.empty());
        verifyReadyState(h);
        QCOMPARE(h.label("Label_Welcome")->text(), QString("Dungeon Keeper found."));
        QCOMPARE(h.label("Label_Location")->text(), QString::fromStdString(h.game));
        QVERIFY(h.timer()->isActive());
        QVERIFY(h.f.store.values() == factoryDefaults());
    }

    void startUpGreetsTheAddOnAndCapitalisesTheLocation() {
        Harness h;
        h.game = h.dir.file("keeper");
        h.makeGame(true);
        // A relative folder shows that the location's first letter is raised.
        h.configure("INSTALL_PATH=keeper\r\n");
        const QString before = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(h.dir.path()));
        h.start();
        QDir::setCurrent(before);
        QCOMPARE(h.label("Label_Welcome")->text(),
                 QString("Dungeon Keeper and the Deeper Dungeons found."));
        QCOMPARE(h.label("Label_Location")->text(), QString("Keeper"));
    }

    void statusLineReturnsToTheWelcomeText() {
        Harness h;
        h.startReady();
        QTimer* timer = h.timer();
        QVERIFY(timer->isActive());
        // Shorten the running countdown instead of waiting five seconds.
        timer->setInterval(10);
        QTRY_COMPARE(h.label("Label_Welcome")->text(), kWelcome);
        QVERIFY(!timer->isActive());
    }

    void applyAnsweredNoWritesNothing() {
        Harness h;
        h.startReady();
        const std::string before = test::readBytes(h.gameFile);
        h.f.store.set(SlotRef::creature(17, 5), 9999);
        h.f.seam.answers = {false};
        h.click("Cmd_Apply");
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text, QString("Are you sure you want to continue?"));
        QCOMPARE(h.f.seam.shown[0].title, QString("Apply Changes?"));
        QCOMPARE(test::readBytes(h.gameFile), before);
        QCOMPARE(h.label("Label_Welcome")->text(), QString("Dungeon Keeper found."));
    }

    void applyAnsweredYesWritesTheGameFiles() {
        Harness h;
        h.makeGame(true);
        h.configure("INSTALL_PATH=" + h.game + "\r\n");
        h.start();
        h.f.seam.shown.clear();
        h.f.store.set(SlotRef::creature(17, 5), 9999);
        h.f.seam.answers = {true};
        h.click("Cmd_Apply");
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1}); // the question only
        const std::string expected = renderGameFile(h.f.store.values());
        QCOMPARE(test::readBytes(h.gameFile), expected);
        QCOMPARE(test::readBytes(h.game + "/Data/DD1CREAT.TXT"), expected);
        QCOMPARE(h.label("Label_Welcome")->text(),
                 QString("Changes have been applied to the game."));
        QVERIFY(h.timer()->isActive());
    }

    void applyToAMovedGameSaysSoAndWritesNothing() {
        Harness h;
        h.startReady();
        std::filesystem::remove(h.gameFile);
        h.f.seam.answers = {true};
        h.click("Cmd_Apply");
        QCOMPARE(h.f.seam.shown.size(), std::size_t{2});
        QCOMPARE(h.f.seam.shown[1].text,
                 QString("The editor was unable to find the game. It may have been moved. No "
                         "changes have been applied. Please try again."));
        QVERIFY(!fileio::FileExists(h.gameFile));
        QVERIFY(h.label("Label_Welcome")->text() != "Changes have been applied to the game.");
    }

    void applyThatCannotWriteKeepsTheGameAndSaysWhy() {
        Harness h;
        h.startReady();
        const std::string before = test::readBytes(h.gameFile);
        h.f.store.set(SlotRef::creature(17, 5), 9999);
        h.f.seam.answers = {true};
        // The first change the writer makes is creating its new file: the disc is full.
        fileio::testing::setFaultPlan(fileio::testing::FaultPlan{1, ENOSPC});
        h.click("Cmd_Apply");
        fileio::testing::setFaultPlan(std::nullopt);
        QCOMPARE(h.f.seam.shown.size(), std::size_t{2});
        const QString message = h.f.seam.shown[1].text;
        QCOMPARE(h.f.seam.shown[1].title, QString());
        QVERIFY2(message.contains("CREATURE.TXT"), qPrintable(message));
        QVERIFY2(message.contains("No space left on device"), qPrintable(message));
        QVERIFY2(message.contains("not been changed"), qPrintable(message));
        QCOMPARE(test::readBytes(h.gameFile), before);
        QVERIFY(h.label("Label_Welcome")->text() != "Changes have been applied to the game.");
    }

    void restoreAnsweredNoChangesNothing() {
        Harness h;
        h.startReady();
        h.timer()->setInterval(1);
        QTRY_COMPARE(h.label("Label_Welcome")->text(), kWelcome);
        h.f.store.set(SlotRef::creature(17, 5), 9999);
        int refreshed = 0;
        h.f.context.setRefresher(screens::RefreshOrder::Room, [&] { ++refreshed; });
        h.f.seam.answers = {false};
        h.click("Cmd_Restore");
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text,
                 QString("Any changes you have made will be lost. Continue?"));
        QCOMPARE(h.f.seam.shown[0].title, QString("Restore Defaults?"));
        QCOMPARE(h.f.store.value(SlotRef::creature(17, 5)), 9999);
        QCOMPARE(refreshed, 0);
        QCOMPARE(h.label("Label_Welcome")->text(), kWelcome);
        QVERIFY(!h.timer()->isActive());
    }

    void restoreAnsweredYesCopiesTheDefaultsAndRedraws() {
        Harness h;
        h.startReady();
        const std::string before = test::readBytes(h.gameFile);
        h.f.store.assign(test::variedValues(7));
        QString order;
        h.f.context.setRefresher(screens::RefreshOrder::Misc, [&] { order += "m"; });
        h.f.context.setRefresher(screens::RefreshOrder::CreatureSettings, [&] { order += "c"; });
        h.f.seam.answers = {true};
        h.click("Cmd_Restore");
        QVERIFY(h.f.store.values() == h.f.store.defaults());
        QCOMPARE(order, QString("cm"));
        QCOMPARE(h.label("Label_Welcome")->text(),
                 QString("Defaults loaded. Remember to apply the changes."));
        QVERIFY(h.timer()->isActive());
        QCOMPARE(test::readBytes(h.gameFile), before); // only Apply reaches the game
    }

    void aSecondStatusRestartsTheCountdown() {
        Harness h;
        h.startReady();
        h.f.seam.answers = {true, true};
        h.click("Cmd_Restore");
        QTest::qWait(60);
        const int left = h.timer()->remainingTime();
        QVERIFY(left < 5000);
        h.click("Cmd_Restore");
        QVERIFY(h.timer()->remainingTime() > left);
        QCOMPARE(h.label("Label_Welcome")->text(),
                 QString("Defaults loaded. Remember to apply the changes."));
    }

    void aWindowOpenedTwiceStaysOneWindow() {
        Harness h;
        h.startReady();
        const QList<std::pair<QString, QString>> commands = {
            {"Cmd_Help", "Form_Help"},
            {"Cmd_About", "Form_About"},
            {"Cmd_1", "Form_Creatures"},
            {"Cmd_2", "Form_RoomSettings"},
            {"Cmd_3", "Form_MagicSettings"},
            {"Cmd_4", "Form_ResearchSettings"},
            {"Cmd_5", "Form_TrapAndDoorSettings"},
            {"Cmd_6", "Form_AbilitySettings"},
            {"Cmd_7", "Form_MiscellaneousSettings"},
            {"Cmd_Load", "Form_LoadSettings"},
            {"Cmd_Save", "Form_SaveSettings"},
        };
        for (const auto& [command, window] : commands) {
            h.click(command);
            QWidget* first = h.f.context.window(window);
            QVERIFY2(first && first->isVisible(), qPrintable(window));
            h.click(command);
            QCOMPARE(h.f.context.window(window), first);
            QCOMPARE(windowsNamed(window), 1);
        }
        QVERIFY(h.main->isVisible()); // modeless: the menu stays usable
        QVERIFY(h.button("Cmd_Exit")->isEnabled());
    }

    void exitEndsTheProgramWithEveryWindow() {
        Harness h;
        h.startReady();
        h.click("Cmd_Help");
        h.click("Cmd_2");
        QPointer<QWidget> help = h.f.context.window("Form_Help");
        QPointer<QWidget> room = h.f.context.window("Form_RoomSettings");
        QVERIFY(help && room);
        h.click("Cmd_Exit");
        QVERIFY(h.f.seam.shown.empty()); // nothing is asked
        QVERIFY(!h.main->isVisible());
        QVERIFY(!help->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!help);
        QVERIFY(!room);
    }

    void closingTheWindowEndsTheProgramWithEveryWindow() {
        Harness h;
        h.start();
        h.click("Cmd_About");
        QPointer<QWidget> about = h.f.context.window("Form_About");
        QVERIFY(about);
        QVERIFY(h.main->close());
        QVERIFY(h.f.seam.shown.empty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!about);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
