#include <QtTest>

#include <QTimer>

#include <filesystem>

#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "gamefile/writer.h"
#include "screens/screen_test_support.h"

using namespace tavrel;

namespace {

const QString kWelcome = QStringLiteral("Welcome to the unofficial Dungeon Keeper editor.");
const QString kApplied = QStringLiteral("Changes have been applied to the game.");
const QString kRestored = QStringLiteral("Defaults loaded. Remember to apply the changes.");

QTimer* timerOf(const test::MainHarness& h) {
    return h.main->findChild<QTimer*>("Timer_Main");
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpWithoutAGameLeavesItNotFound_data() {
        QTest::addColumn<bool>("writeConfig");
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("message");
        QTest::newRow("no Tavrel.cfg") << false << ""
                                       << "";
        QTest::newRow("lower-case key") << true << "install_path=GAME\r\n"
                                        << "";
        QTest::newRow("key alone") << true << "INSTALL_PATH=\r\n"
                                   << "";
        QTest::newRow("empty file") << true << ""
                                    << "This action has caused an unknown error. Error code:  62";
    }
    void startUpWithoutAGameLeavesItNotFound() {
        QFETCH(bool, writeConfig);
        QFETCH(QString, config);
        QFETCH(QString, message);
        test::MainHarness h;
        h.makeGame(); // present, but not named correctly by the configuration
        if (writeConfig)
            test::writeBytes(h.config, config.replace("GAME", h.game.c_str()).toStdString());
        h.start();
        QCOMPARE(h.main->windowTitle(), QString("Tavrel"));
        h.verifyNotFound();
        QCOMPARE(h.f.seam.shown.size(), std::size_t(message.isEmpty() ? 0 : 1));
        if (!message.isEmpty())
            QCOMPARE(h.f.seam.shown[0].text, message);
        QVERIFY(h.f.store.values() == ValueSet{});
        h.click("Cmd_Apply"); // greyed: nothing happens
        QCOMPARE(h.f.seam.shown.size(), std::size_t(message.isEmpty() ? 0 : 1));
    }

    void startUpWithAGameTurnsReady_data() {
        QTest::addColumn<bool>("addon");
        QTest::addColumn<QString>("status");
        QTest::newRow("game") << false << "Dungeon Keeper found.";
        QTest::newRow("with add-on") << true << "Dungeon Keeper and the Deeper Dungeons found.";
    }
    void startUpWithAGameTurnsReady() {
        QFETCH(bool, addon);
        QFETCH(QString, status);
        test::MainHarness h;
        h.startReady(addon);
        QCOMPARE(h.welcome(), status);
        QCOMPARE(h.location(), QString::fromStdString(h.game));
        QVERIFY(timerOf(h)->isActive());
        QVERIFY(h.f.store.values() == factoryDefaults());
    }

    void aRelativeLocationIsShownCapitalised() {
        test::MainHarness h;
        h.game = h.dir.file("keeper");
        h.makeGame();
        test::writeBytes(h.config, "INSTALL_PATH=keeper\r\n");
        const QString before = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(h.dir.path()));
        h.start();
        QDir::setCurrent(before);
        QCOMPARE(h.location(), QString("Keeper"));
    }

    void eachStatusStaysFiveSecondsThenTheWelcomeReturns() {
        test::MainHarness h;
        h.startReady();
        QTimer* timer = timerOf(h);
        QCOMPARE(timer->interval(), 5000);
        h.f.seam.answers = {true, true};
        h.click("Cmd_Restore");
        QTest::qWait(60);
        const int left = timer->remainingTime();
        h.click("Cmd_Restore"); // a second status starts the countdown again
        QVERIFY(timer->remainingTime() > left);
        QCOMPARE(h.welcome(), kRestored);
        timer->setInterval(10); // drive the running countdown instead of waiting
        QTRY_COMPARE(h.welcome(), kWelcome);
        QVERIFY(!timer->isActive());
    }

    void apply_data() {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message"); // part of the one message after the question
        QTest::newRow("No") << false << ""
                            << "";
        QTest::newRow("Yes") << true << ""
                             << "";
        QTest::newRow("game moved") << true << "moved"
                                    << "unable to find the game";
        QTest::newRow("disc full") << true << "full"
                                   << "No space left on device";
    }
    void apply() {
        QFETCH(bool, answer);
        QFETCH(QString, fault);
        QFETCH(QString, message);
        test::MainHarness h;
        h.startReady(true);
        const std::string before = test::readBytes(h.gameFile);
        h.f.store.set(SlotRef::creature(17, 5), 9999);
        h.f.seam.answers = {answer};
        if (fault == "moved")
            std::filesystem::remove(h.gameFile);
        if (fault == "full") // the writer's first change, creating its new file, fails
            fileio::testing::setFaultPlan(fileio::testing::FaultPlan{1, ENOSPC});
        h.click("Cmd_Apply");
        fileio::testing::setFaultPlan(std::nullopt);

        const auto& shown = h.f.seam.shown;
        QCOMPARE(shown.size(), std::size_t(message.isEmpty() ? 1 : 2));
        QCOMPARE(shown[0].text, QString("Are you sure you want to continue?"));
        QCOMPARE(shown[0].title, QString("Apply Changes?"));
        if (!message.isEmpty())
            QVERIFY2(shown[1].text.contains(message) && shown[1].title.isEmpty(),
                     qPrintable(shown[1].text));
        const bool applied = answer && fault.isEmpty();
        QCOMPARE(h.welcome() == kApplied, applied); // never success beside a failure
        const std::string expected =
            applied ? renderGameFile(h.f.store.values()) : (fault == "moved" ? "" : before);
        QCOMPARE(fileio::FileExists(h.gameFile), fault != "moved");
        if (fault != "moved")
            QCOMPARE(test::readBytes(h.gameFile), expected);
        if (applied)
            QCOMPARE(test::readBytes(h.game + "/Data/DD1CREAT.TXT"), expected);
    }

    void restore_data() {
        QTest::addColumn<bool>("answer");
        QTest::newRow("No") << false;
        QTest::newRow("Yes") << true;
    }
    void restore() {
        QFETCH(bool, answer);
        test::MainHarness h;
        h.startReady();
        timerOf(h)->setInterval(1);
        QTRY_COMPARE(h.welcome(), kWelcome);
        timerOf(h)->setInterval(5000);
        const std::string before = test::readBytes(h.gameFile);
        h.f.store.set(SlotRef::creature(17, 5), 9999);
        QString order;
        h.f.context.setRefresher(screens::RefreshOrder::Misc, [&] { order += "m"; });
        h.f.context.setRefresher(screens::RefreshOrder::CreatureSettings, [&] { order += "c"; });
        h.f.seam.answers = {answer};
        h.click("Cmd_Restore");
        QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
        QCOMPARE(h.f.seam.shown[0].text,
                 QString("Any changes you have made will be lost. Continue?"));
        QCOMPARE(h.f.seam.shown[0].title, QString("Restore Defaults?"));
        QCOMPARE(h.f.store.values() == h.f.store.defaults(), answer);
        QCOMPARE(order, answer ? QString("cm") : QString());
        QCOMPARE(h.welcome(), answer ? kRestored : kWelcome);
        QCOMPARE(timerOf(h)->isActive(), answer);
        QCOMPARE(test::readBytes(h.gameFile), before); // only Apply reaches the game
    }

    void aWindowOpenedTwiceStaysOneWindow() {
        test::MainHarness h;
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
            h.click(command);
            int visible = 0;
            for (QWidget* top : QApplication::topLevelWidgets())
                visible += top->objectName() == window && top->isVisible();
            QVERIFY2(visible == 1, qPrintable(window));
        }
        QVERIFY(h.main->isVisible()); // modeless: the menu stays usable
    }

    void exitOrClosingEndsEveryWindow_data() {
        QTest::addColumn<bool>("exitButton");
        QTest::newRow("Exit") << true;
        QTest::newRow("close") << false;
    }
    void exitOrClosingEndsEveryWindow() {
        QFETCH(bool, exitButton);
        test::MainHarness h;
        h.startReady();
        h.click("Cmd_Help");
        h.click("Cmd_2");
        QPointer<QWidget> help = h.f.context.window("Form_Help");
        QPointer<QWidget> room = h.f.context.window("Form_RoomSettings");
        QVERIFY(help && room);
        if (exitButton)
            h.click("Cmd_Exit");
        else
            QVERIFY(h.main->close());
        QVERIFY(h.f.seam.shown.empty()); // nothing is asked
        QVERIFY(!h.main->isVisible() && !help->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!help && !room);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
