#include <QtTest>

#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include <filesystem>

#include "core/editor_state.h"
#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "gamefile/writer.h"
#include "keeperfx/install.h"
#include "screens/application.h"
#include "screens/screen_test_support.h"
#include "screens/widgets/folder_lists.h"
#include "settingsfile/settings_file.h"

using namespace tavrel;

namespace {

const QString kWelcome = QStringLiteral("Welcome to the unofficial Dungeon Keeper editor.");
const QString kApplied = QStringLiteral("Changes have been applied to the game.");
const QString kRestored = QStringLiteral("Defaults loaded. Remember to apply the changes.");

QTimer* timerOf(const test::MainHarness& h) {
    return h.main->findChild<QTimer*>("Timer_Main");
}

// Ends the start-up status at once, so what a command tells stands out.
void quiet(const test::MainHarness& h) {
    timerOf(h)->stop();
    h.main->findChild<QLabel*>("Label_Welcome")->setText(kWelcome);
}

QWidget* open(test::MainHarness& h, const QString& command, const QString& window) {
    h.click(command);
    QWidget* opened = h.f.context.window(window);
    if (!opened || !opened->isVisible())
        qWarning("%s did not open %s", qPrintable(command), qPrintable(window));
    return opened;
}

// Opens a menu of the menu bar with Alt and its letter, and chooses an item by its letter.
void choose(const test::MainHarness& h, Qt::Key menu, Qt::Key item) {
    h.main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h.main.get()));
    QTest::keyClick(h.main.get(), menu, Qt::AltModifier);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(popup);
    QTest::keyClick(popup, item);
}

// A button whose own event handler throws.
struct ThrowingButton : QPushButton {
    std::function<void()> fault;
    void mousePressEvent(QMouseEvent*) override { fault(); }
};

QString tip(int number) {
    const std::string_view t = tipText(number);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startUpWithoutAGameLeavesItNotFound() {
        // Whether Tavrel.cfg is written, what it holds, and the one message then shown.
        const std::tuple<bool, QString, QString> cases[] = {
            {false, "", ""},
            {true, "install_path=GAME\r\n", ""}, // the key in lower case
            {true, "", "This action has caused an unknown error. Error code:  62"}};
        for (auto [writeConfig, config, message] : cases) {
            test::MainHarness h;
            h.makeGame(); // present, but not named correctly by the configuration
            if (writeConfig)
                test::writeBytes(h.config, config.replace("GAME", h.game.c_str()).toStdString());
            h.start();
            QCOMPARE(h.main->windowTitle(), QString("Tavrel"));
            h.verifyNotFound();
            const std::size_t shown = message.isEmpty() ? 0 : 1;
            QCOMPARE(h.f.seam.shown.size(), shown);
            if (shown)
                QCOMPARE(h.f.seam.shown[0].text, message);
            QVERIFY(h.f.store.values() == ValueSet{});
            h.click("Cmd_Apply"); // greyed: nothing happens
            QCOMPARE(h.f.seam.shown.size(), shown);
        }
    }

    void startUpWithAGameTurnsReady() {
        for (bool addon : {false, true}) {
            test::MainHarness h;
            h.startReady(addon);
            QCOMPARE(h.welcome(), addon ? QString("Dungeon Keeper and the Deeper Dungeons found.")
                                        : QString("Dungeon Keeper found."));
            QCOMPARE(h.location(), QString::fromStdString(h.game));
            QVERIFY(test::modeOf(h.gameFile) & 0200); // the read-only flag cleared
            QVERIFY(timerOf(h)->isActive());
            QVERIFY(h.f.store.values() == factoryDefaults());
        }
    }

    void eachStatusStaysFiveSecondsThenTheWelcomeReturns() {
        test::MainHarness h;
        h.startReady();
        QTimer* timer = timerOf(h);
        QCOMPARE(timer->interval(), 5000);
        h.f.seam.answers = {true, true};
        h.click("Cmd_Restore");
        // Let a good part of the countdown run out; a second status must start it anew.
        QTRY_VERIFY_WITH_TIMEOUT(timer->remainingTime() < 4000, 60000);
        h.click("Cmd_Restore");
        QVERIFY(timer->remainingTime() > 4000);
        QCOMPARE(h.welcome(), kRestored);
        timer->setInterval(10); // drive the running countdown instead of waiting
        QTRY_COMPARE_WITH_TIMEOUT(h.welcome(), kWelcome, 60000);
        QVERIFY(!timer->isActive());
    }

    void apply() {
        // The answer, a fault, the one message after the question, and which files are written.
        std::vector<std::tuple<bool, QString, QString, bool, bool>> cases = {
            {false, "", "", false, false},
            {true, "", "", true, true},
            {true, "moved",
             "The editor was unable to find the game. It may have been moved. No changes have "
             "been applied. Please try again.",
             false, false},
            {true, "full",
             "Unable to write CREATURE.TXT: No space left on device. The game's files have not "
             "been changed.",
             false, false},
            {true, "addon",
             "CREATURE.TXT has been updated, but DD1CREAT.TXT could not be written: "
             "Input/output error. DD1CREAT.TXT has not been changed.",
             true, false},
            {true, "negative",
             "The value -5 of Creature Settings, Dragon, Health cannot be written: the game "
             "file holds no negative numbers. The game's files have not been changed.",
             false, false},
            {true, "beyond",
             "The original game cannot take 1 value: Creature Settings, Dragon, Health 100000 "
             "(at most 65535). Bring it within the game's bounds to apply it to CREATURE.TXT. "
             "The game's files have not been changed.",
             false, false},
        };
        // Windows moves a file into place with its folder entry written through, so no
        // later step there can fail once the file is in place.
        if (!fileio::onWindows())
            cases.emplace_back(true, "sync",
                               "The changes have been written, but the system reported an error "
                               "while making them permanent: Input/output error.",
                               true, true);
        for (const auto& [answer, fault, message, gameWritten, addonWritten] : cases)
            applyWith(answer, fault, message, gameWritten, addonWritten);
    }
    void restoreRedrawsTheOpenScreensWithTheFactoryValues() {
        for (bool answer : {false, true}) {
            test::MainHarness h;
            h.startReady();
            quiet(h);
            const std::string before = test::readBytes(h.gameFile);
            h.click("Cmd_2");
            h.click("Cmd_7");
            QWidget* room = h.f.context.window("Form_RoomSettings");
            QWidget* misc = h.f.context.window("Form_MiscellaneousSettings");
            auto* treasury = room->findChild<QLabel*>("Label_Stat(2)"); // factory 50
            auto* rock = misc->findChild<QLabel*>("Label_Stat(18)");    // factory 2
            QTest::mouseClick(room->findChild<QLabel*>("Label_More(2)"), Qt::RightButton);
            QTest::mouseClick(misc->findChild<QLabel*>("Label_Less(18)"), Qt::LeftButton);

            h.f.seam.answers = {answer};
            h.click("Cmd_Restore");
            QCOMPARE(h.f.seam.shown.size(), std::size_t{1});
            QCOMPARE(h.f.seam.shown[0].text,
                     QString("Any changes you have made will be lost. Continue?"));
            QCOMPARE(h.f.seam.shown[0].title, QString("Restore Defaults?"));
            QCOMPARE(treasury->text(), answer ? QString("50") : QString("60"));
            QCOMPARE(rock->text(), answer ? QString("2") : QString("1"));
            QCOMPARE(treasury->palette().color(QPalette::Window),
                     answer ? QColor(255, 255, 255) : QColor(220, 255, 220));
            QCOMPARE(rock->palette().color(QPalette::Window),
                     answer ? QColor(255, 255, 255) : QColor(255, 220, 220));
            QCOMPARE(h.welcome(), answer ? kRestored : kWelcome);
            QCOMPARE(timerOf(h)->isActive(), answer);
            QCOMPARE(test::readBytes(h.gameFile), before); // only Apply reaches the game
        }
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
            {"Cmd_Save", "Form_SaveSettings"}};
        for (const auto& [command, window] : commands) {
            h.click(command);
            h.click(command);
            int visible = 0;
            for (QWidget* top : QApplication::topLevelWidgets())
                visible += top->objectName() == window && top->isVisible();
            QVERIFY2(visible == 1, qPrintable(window));
            // Asked for again, a minimised window comes back.
            h.f.context.window(window)->showMinimized();
            h.click(command);
            QVERIFY2(!h.f.context.window(window)->isMinimized(), qPrintable(window));
        }
        QVERIFY(h.main->isVisible()); // modeless: the menu stays usable
    }

    void helpShowsColoursPagesAndReopensOnTheLastTipAboutShowsTheVersion() {
        test::MainHarness h;
        h.start();
        QPointer<QWidget> help = open(h, "Cmd_Help", "Form_Help");
        // The colours the screens use.
        const QList<std::pair<QString, QColor>> samples = {{"Low", QColor(255, 220, 220)},
                                                           {"Default", QColor(255, 255, 255)},
                                                           {"High", QColor(220, 255, 220)},
                                                           {"Button Click", QColor(235, 235, 235)}};
        for (int i = 0; i < samples.size(); ++i) {
            auto* label = qobject_cast<QLabel*>(
                test::child(help, QStringLiteral("Label_Stat(%1)").arg(i + 1)));
            QCOMPARE(label->text(), samples[i].first);
            QCOMPARE(label->palette().color(QPalette::Window), samples[i].second);
        }
        QPushButton* next = test::button(help, "Cmd_Next");
        QPushButton* previous = test::button(help, "Cmd_Previous");
        const auto showing = [&](int number) {
            return test::textOf(help, "Label_Tip_Number") ==
                       QStringLiteral("%1 of 14").arg(number) &&
                   test::textOf(help, "Label_Tip") == tip(number) &&
                   previous->isEnabled() == (number > 1) && next->isEnabled() == (number < 14);
        };
        QVERIFY(showing(1));
        for (int i = 2; i <= 14; ++i) {
            QTest::mouseClick(next, Qt::LeftButton);
            QVERIFY2(showing(i), qPrintable(test::textOf(help, "Label_Tip_Number")));
        }
        QTest::mouseClick(next, Qt::LeftButton); // greyed: nothing
        QVERIFY(showing(14));
        for (int i = 14; i > 7; --i)
            QTest::mouseClick(previous, Qt::LeftButton);
        help->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!help);
        help = open(h, "Cmd_Help", "Form_Help");
        next = test::button(help, "Cmd_Next");
        previous = test::button(help, "Cmd_Previous");
        QVERIFY(showing(7));

        QWidget* about = open(h, "Cmd_About", "Form_About");
        QCOMPARE(about->windowTitle(), QString("About"));
        QCOMPARE(test::textOf(about, "Label_Version"), QString("Version 1.0.3"));
    }

    void compareCreaturesWaitsForAGame() {
        for (bool ready : {false, true}) {
            test::MainHarness h;
            ready ? h.startReady() : h.start();
            h.main->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(h.main.get()));
            QTest::keyClick(h.main.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(h.f.context.window("Form_CompareCreatures") != nullptr, ready);
        }
    }

    // Reading the KeeperFX rules and changing the game folder replace every value: values
    // that are in no file are asked about first, as when closing.
    void valuesInNoFileAreAskedAboutBeforeTheyAreReplaced() {
        const QString ask = "Unapplied Changes? Your changes have not been applied to the game "
                            "and are not saved in any settings file. Apply them before ";
        const QString read = ask + "reading the KeeperFX rules?",
                      folder = ask + "changing the game folder?";
        const std::tuple<Qt::Key, Qt::Key, QString, int> cases[] = {
            // Menu and item keys, the question (none when nothing is edited), the answer:
            // Apply, Discard, Cancel or the box closed.
            {Qt::Key_K, Qt::Key_R, "", -1},    {Qt::Key_K, Qt::Key_R, read, 2},
            {Qt::Key_K, Qt::Key_R, read, 1},   {Qt::Key_K, Qt::Key_R, read, 0},
            {Qt::Key_F, Qt::Key_G, "", -1},    {Qt::Key_F, Qt::Key_G, folder, -1},
            {Qt::Key_F, Qt::Key_G, folder, 1}, {Qt::Key_F, Qt::Key_G, folder, 0}};
        for (const auto& [menu, item, question, answer] : cases) {
            test::MainHarness h;
            h.makeGame();
            test::makeKeeperFxInstall(h.game);
            h.configureGame();
            h.start();
            h.f.seam.shown.clear();
            const std::string before = test::readBytes(h.gameFile);
            if (!question.isEmpty())
                h.f.store.set(SlotRef::of(Category::Room, 2), 77);
            const ValueSet edited = h.f.store.values();
            h.f.seam.choices = {answer};
            choose(h, menu, item);
            QCOMPARE(h.f.seam.shown.size(), std::size_t(question.isEmpty() ? 0 : 1));
            if (!question.isEmpty())
                QCOMPARE(h.f.seam.shown[0].title + ' ' + h.f.seam.shown[0].text, question);
            const bool goesOn = question.isEmpty() || answer == 0 || answer == 1;
            QCOMPARE(test::readBytes(h.gameFile) == before, answer != 0); // Apply writes
            if (menu == Qt::Key_K)
                QCOMPARE(h.f.store.values(), goesOn ? keeperfx::readRules(h.game).values : edited);
            else
                QCOMPARE(h.f.context.window("Form_LocateDungeonKeeper") != nullptr, goesOn);
        }
    }

    // Another game folder: its values read in one step, every window redrawn, Tavrel.cfg
    // naming it, the KeeperFX menu following it. A file the reader refuses changes nothing.
    void aSettingsFileOpenedFromOutsideLoadsOnceTheGameIsFound() {
        // Whether the game is found, what the file holds, then the treasury's Cost shown,
        // the status and the one message.
        const QString notFound = QStringLiteral(
            "My Rules.dks was not loaded: the game was not found. Locate the game with the "
            "\"...\" button under \"Dungeon Keeper Location\", then load the file with Load "
            "Settings.");
        const std::tuple<bool, QString, QString, QString, QString> cases[] = {
            {true, "settings", "75", "File loaded.", ""},
            {true, "abcd", "50", kWelcome,
             "Unable to load the file. It is too short to be a settings file, so no values have "
             "been changed."},
            {true, "", "50", kWelcome, "Unable to access file."}, // no such file
            {false, "settings", "", kWelcome, notFound},
        };
        for (const auto& [game, content, cost, status, message] : cases) {
            test::MainHarness h;
            const std::string file = h.dir.file("My Rules.dks");
            ValueSet values = factoryDefaults();
            values[2251] = 75; // treasury Cost, factory 50
            if (content == "settings")
                test::writeBytes(file, encodeSettings(values));
            else if (!content.isEmpty())
                test::writeBytes(file, content.toStdString());
            QLabel* treasury = nullptr;
            if (game) {
                h.startReady();
                quiet(h);
                h.click("Cmd_2");
                treasury =
                    h.f.context.window("Form_RoomSettings")->findChild<QLabel*>("Label_Stat(2)");
            } else {
                h.start();
                h.f.seam.shown.clear();
            }
            h.main->openSettingsFile(QString::fromStdString(file));
            if (treasury)
                QCOMPARE(treasury->text(), cost);
            QCOMPARE(h.welcome(), status);
            QCOMPARE(h.f.seam.shown.size(), std::size_t{message.isEmpty() ? 0u : 1u});
            if (!message.isEmpty())
                QCOMPARE(h.f.seam.shown.front().text, message);
        }
    }

    void changingTheGameFolderReadsTheOtherGame() {
        for (bool good : {true, false}) {
            test::MainHarness h;
            h.startReady();
            const std::string other = fileio::joinPath(h.dir.path(), "Other");
            ValueSet values = factoryDefaults();
            values[recordOf(SlotRef::of(Category::Room, 2)) - 1] = 77;
            test::makeGameFolder(other, good ? renderGameFile(values) : "1 2 3\r\n", true);
            test::makeKeeperFxInstall(other);
            QWidget* room = open(h, "Cmd_2", "Form_RoomSettings");
            QTest::mouseClick(test::rowLabel(room, "Label_More", 5), Qt::LeftButton);
            h.f.seam.choices = {1};
            choose(h, Qt::Key_F, Qt::Key_G);
            QPointer<QWidget> dialog = h.f.context.window("Form_LocateDungeonKeeper");
            auto* dirs = qobject_cast<screens::DirList*>(test::child(dialog, "Dir"));
            QCOMPARE(dirs->setPath(QString::fromStdString(h.dir.path())), 0);
            const QRect line = dirs->visualItemRect(dirs->itemFor(QString::fromStdString(other)));
            QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, line.center());
            QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, line.center());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

            QCOMPARE(h.f.seam.shown.size(), std::size_t{2});
            QVERIFY(h.f.seam.shown[1].text.startsWith(good ? "This folder holds KeeperFX, which"
                                                           : "Unable to load settings. Incom"));
            QCOMPARE(h.location(), QString::fromStdString(good ? other : h.game));
            QCOMPARE(test::readBytes(h.config), "INSTALL_PATH=" + (good ? other : h.game) + "\r\n");
            QCOMPARE(test::rowLabel(room, "Label_Stat", 2)->text(), good ? QString("77") : "50");
            QCOMPARE(h.welcome(), good ? QString("Dungeon Keeper and the Deeper Dungeons found.")
                                       : QString("Dungeon Keeper found."));
            QCOMPARE(h.main->findChild<QAction*>("Action_ReadKeeperFx")->isEnabled(), good);
            QCOMPARE(h.main->findChild<QAction*>("Action_Undo")->isEnabled(), !good);
            QCOMPARE(dialog.isNull(), good);
        }
    }

    // A Strength typed after Read KeeperFX Rules is held at KeeperFX's limit, not the game's,
    // until CREATURE.TXT fills the tables again.
    void typingAfterAKeeperFxReadKeepsToKeeperFxsLimits() {
        for (const char* read : {"", "Action_ReadKeeperFx", "Action_ReadKeeperFx Cmd_Restore"}) {
            test::MainHarness h;
            h.makeGame();
            test::makeKeeperFxInstall(h.game);
            h.configureGame();
            h.start();
            h.f.seam.answers = {true};
            const QStringList steps = QString(read).split(' ', Qt::SkipEmptyParts);
            for (const QString& step : steps)
                if (step.startsWith("Action_"))
                    h.main->findChild<QAction*>(step)->trigger();
                else
                    h.click(step);
            h.click("Cmd_1");
            QTest::mouseClick(test::button(h.f.context.window("Form_Creatures"), "Cmd_BadGuys(10)"),
                              Qt::LeftButton);
            QWidget* screen = h.f.context.window("Form_CreatureSettings");
            QTest::mouseClick(test::rowLabel(screen, "Label_Stat", 3), Qt::LeftButton); // Strength
            auto* box = h.f.context.window("Form_InputValue")->findChild<QLineEdit*>("Text_Value");
            box->selectAll();
            QTest::keyClicks(box, "3000");
            QTest::keyClick(box, Qt::Key_Return);
            QCOMPARE(test::rowLabel(screen, "Label_Stat", 3)->text(),
                     QString(steps.size() == 1 ? "3000" : "255"));
        }
    }

    // A long status is shown whole, and every status of the run is kept with its time.
    void longStatusesAreShownWholeAndKept() {
        test::MainHarness h;
        h.makeGame();
        test::makeKeeperFxInstall(h.game);
        h.configureGame();
        h.start();
        auto* label = h.main->findChild<QLabel*>("Label_Welcome");
        const int width = h.main->width();
        const QString longest = "KeeperFX rules read from fxdata and creatrs and the mod base. "
                                "Undone: Read KeeperFX Rules, after Creature Settings, Dragon.";
        h.f.context.showStatus(longest);
        // The label asks its frame for room, and the frame the window: two rounds.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        const QRect room = label->contentsRect();
        const QRect needed = label->fontMetrics().boundingRect(room, Qt::TextWordWrap, longest);
        QVERIFY(needed.height() <= room.height() && needed.width() <= room.width());
        QCOMPARE(h.main->width(), width);
        choose(h, Qt::Key_K, Qt::Key_R);
        choose(h, Qt::Key_V, Qt::Key_M);
        QWidget* window = h.f.context.window("Form_Messages");
        QCOMPARE(window->windowTitle(), QString("Messages"));
        h.f.seam.answers = {true};
        h.click("Cmd_Restore"); // told at once in the open window
        const QStringList expected = {
            "Dungeon Keeper found.", longest,
            "KeeperFX rules read from fxdata and creatrs and the mod base. The mod other listed "
            "in load_order.cfg is not in the mods folder, so KeeperFX skips it.",
            kRestored};
        QString told = test::child(window, "Text_Messages")->property("plainText").toString();
        // Each with its time of day.
        told.replace(
            QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  ", QRegularExpression::MultilineOption), "");
        QCOMPARE(told, expected.join('\n'));
    }

    // An exception out of an event handler stops that action only; the program and the
    // values stay.
    void anExceptionInAnEventHandlerIsToldAndTheProgramGoesOn() {
        const QString end = " and has been stopped. The editor keeps your values; apply or save "
                            "them before you try the action again.";
        const std::pair<std::function<void()>, QString> cases[] = {
            {[] { throw std::runtime_error("disk on fire"); },
             "This action has caused an unknown error (disk on fire)" + end},
            {[] { throw std::bad_alloc(); },
             "This action has caused an unknown error (not enough memory)" + end},
            {[] { throw 42; }, "This action has caused an unknown error" + end}};
        for (const auto& [fault, message] : cases) {
            test::ScreenFixture f;
            static_cast<screens::Application*>(qApp)->setMessages(&f.seam);
            f.store.set(SlotRef::of(Category::Room, 2), 77);
            ThrowingButton button;
            button.fault = fault;
            button.show();
            QVERIFY(QTest::qWaitForWindowExposed(&button));
            QTest::mouseClick(&button, Qt::LeftButton);
            QCOMPARE(f.seam.shown.size(), std::size_t{1});
            QCOMPARE(f.seam.shown.back().text, message);
            QCOMPARE(f.store.value(SlotRef::of(Category::Room, 2)), 77);
            static_cast<screens::Application*>(qApp)->setMessages(nullptr);
        }
    }

private:
    void applyWith(bool answer, const QString& fault, const QString& message, bool gameWritten,
                   bool addonWritten) {
        using fileio::testing::Op;
        test::MainHarness h;
        h.startReady(true);
        const std::string addonFile = h.game + "/Data/DD1CREAT.TXT";
        // A clean Apply first, to learn where in its steps the faults below belong.
        h.f.seam.answers = {true};
        fileio::testing::setFaultPlan(fileio::testing::FaultPlan{0});
        h.click("Cmd_Apply");
        const std::vector<Op> steps = fileio::testing::operations();
        const auto nth = [&](Op op, int n) {
            int seen = 0;
            for (std::size_t i = 0; i < steps.size(); ++i)
                if (steps[i] == op && ++seen == n)
                    return int(i) + 1;
            return 0;
        };
        const std::string before = test::readBytes(h.gameFile);
        h.f.seam.shown.clear();
        quiet(h);

        h.f.store.set(SlotRef::creature(17, 5), fault == "negative" ? -5
                                                : fault == "beyond" ? 100000
                                                                    : 9999);
        h.f.seam.answers = {answer};
        if (fault == "moved")
            std::filesystem::remove(h.gameFile);
        const int failAt = fault == "full"    ? 1 // creating the new CREATURE.TXT
                           : fault == "addon" ? nth(Op::Create, 2)
                           : fault == "sync"  ? nth(Op::Sync, 1)
                                              : 0;
        QVERIFY(fault.isEmpty() || fault == "moved" || fault == "negative" || fault == "beyond" ||
                failAt > 0);
        fileio::testing::setFaultPlan(
            fileio::testing::FaultPlan{failAt, fault == "full" ? ENOSPC : EIO});
        h.click("Cmd_Apply");
        fileio::testing::setFaultPlan(std::nullopt);

        const auto& shown = h.f.seam.shown;
        QCOMPARE(shown.size(), std::size_t(message.isEmpty() ? 1 : 2));
        QCOMPARE(shown[0].text, QString("Are you sure you want to continue?"));
        QCOMPARE(shown[0].title, QString("Apply Changes?"));
        if (!message.isEmpty()) {
            QCOMPARE(shown[1].text, message);
            QVERIFY(shown[1].title.isEmpty());
        }
        // Success is told only for a clean write of every file.
        QCOMPARE(h.welcome(), answer && fault.isEmpty() ? kApplied : kWelcome);
        const std::string applied = renderGameFile(h.f.store.values());
        QCOMPARE(fileio::FileExists(h.gameFile), fault != "moved");
        if (fault != "moved")
            QVERIFY(test::readBytes(h.gameFile) == (gameWritten ? applied : before));
        QVERIFY(test::readBytes(addonFile) == (addonWritten ? applied : before));
    }
};

int main(int argc, char** argv) {
    // The program's own application object, with its guard against exceptions.
    screens::Application app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    MainWindowTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "main_window_test.moc"
