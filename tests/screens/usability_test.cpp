#include <QtTest>

#include <QComboBox>
#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>

#include <cstring>
#include <vector>

#include "core/fileio.h"
#include "screens/creatures/ability_picker.h"
#include "screens/creatures/creature_picker.h"
#include "screens/creatures/creature_screen.h"
#include "screens/input_value_dialog.h"
#include "screens/screen_test_support.h"
#include "screens/tables/settings_screens.h"
#include "screens/widgets/elided_label.h"
#include "screens/widgets/fit_window.h"

using namespace tavrel;
using screens::PressLabel;

namespace {

PressLabel* focused(QWidget* window, const char* kind, int index) {
    window->activateWindow();
    [&] { QVERIFY(QTest::qWaitForWindowActive(window)); }();
    test::rowLabel(window, kind, index)->setFocus(Qt::TabFocusReason);
    return test::rowLabel(window, kind, index);
}

} // namespace

class UsabilityTest : public QObject {
    Q_OBJECT
private slots:
    // On the 1280x800 screen of main() every window fits with a title bar, and opens
    // wholly on the screen; the magic screen (1285x808 in the past) scrolls.
    void everyWindowFitsA1280x800Screen() {
        test::MainHarness h;
        h.startReady();
        for (const char* command : {"Cmd_Help", "Cmd_About", "Cmd_Save", "Cmd_Load"})
            h.click(QLatin1String(command));
        for (Category category : kAllCategories)
            if (category != Category::Creature)
                screens::openSettingsScreen(h.f.context, category);
        screens::openCreaturePicker(h.f.context);
        screens::openCreatureScreen(h.f.context, 1);
        screens::openAbilityPicker(h.f.context);
        screens::openInputDialog(h.f.context);
        int windows = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && ++windows && window != h.main.get())
                QVERIFY2(window->width() + 12 <= 1280 && window->height() + 48 <= 800 &&
                             QRect(100, 50, 1280, 800).contains(window->frameGeometry()),
                         qPrintable(window->objectName()));
        QCOMPARE(windows, 15);
        for (const char* name : {"Form_Help", "Form_Creatures"}) { // these too scroll
            QWidget* window = h.f.context.window(name);
            window->resize(300, 200);
            QCoreApplication::sendPostedEvents(); // the layout's request
            QVERIFY2(window->size() == QSize(300, 200) &&
                         window->findChild<QScrollArea*>()->verticalScrollBar()->isVisible(),
                     name);
        }
        auto* magic = h.f.context.window(screens::settingsScreenName(Category::Magic));
        QVERIFY(magic->findChild<QScrollArea*>()->widget()->width() > magic->width());
    }

    // A window's content at its natural size, the room the screen has, a title bar and
    // borders of 12x48 and scroll bars 16 wide: the window's size. Then where a frame asked
    // for goes on a screen with a panel at the top.
    void aWindowTooLargeForTheScreenScrolls() {
        const std::pair<QSize, QSize> sizes[] = {
            {{600, 400}, {600, 400}},    {{1300, 700}, {1268, 716}}, {{1000, 1500}, {1016, 752}},
            {{2000, 1500}, {1268, 752}}, {{1262, 700}, {1262, 700}}, {{1260, 760}, {1268, 752}}};
        for (const auto& [natural, fitted] : sizes)
            QCOMPARE(screens::fittedSize(natural, {1280, 800}, {12, 48}, 16), fitted);

        const std::pair<QRect, QRect> frames[] = {{{100, 100, 400, 300}, {100, 100, 400, 300}},
                                                  {{1000, 600, 400, 300}, {880, 500, 400, 300}},
                                                  {{-50, 0, 400, 300}, {0, 28, 400, 300}},
                                                  {{10, 10, 1300, 900}, {0, 28, 1280, 772}}};
        for (const auto& [wanted, placed] : frames)
            QCOMPARE(screens::placedFrame(wanted, {0, 28, 1280, 772}), placed);
    }

    void tabVisitsTheRoomValuesInReadingOrder() {
        test::ScreenFixture f;
        QWidget* room = screens::openSettingsScreen(f.context, Category::Room);
        focused(room, "Label_Stat", 2);
        for (int slot : {2, 3, 25, 26, 23, 24, 10, 11, 4,  5,  27, 28, 29, 30, 13, 14,
                         6, 7, 8,  9,  21, 22, 17, 18, 19, 20, 15, 16, 1,  12, 2}) {
            QCOMPARE(QApplication::focusWidget(), test::rowLabel(room, "Label_Stat", slot));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
    }

    void enterOpensTheCaptionedDialogAsAToolOfItsScreen() {
        test::ScreenFixture f;
        f.store.restoreDefaults();
        QWidget* room = screens::openSettingsScreen(f.context, Category::Room);
        PressLabel* stat = focused(room, "Label_Stat", 2);
        QCOMPARE(stat->accessibleName(), QStringLiteral("Treasury Cost, 50, factory value 50"));
        QTest::keyClick(stat, Qt::Key_F2);
        QWidget* dialog = f.context.window(screens::kInputValueName);
        QVERIFY(dialog && dialog->isVisible() && dialog->parentWidget() == room);
        QCOMPARE(dialog->windowType(), Qt::Tool);
        QCOMPARE(test::textOf(dialog, "Label_Caption"),
                 QStringLiteral("Room Settings: Treasury, Cost"));
    }

    void widestValueAndLongLocationShowWhole() {
        test::MainHarness h;
        h.game = fileio::joinPath(h.dir.path(), "Keeper" + std::string(120, 'x') + "End");
        h.startReady();
        auto* location =
            qobject_cast<screens::ElidedLabel*>(test::child(h.main.get(), "Label_Location"));
        QCOMPARE(location->toolTip(), location->text());
        const QString shown = location->shownText();
        // The path's beginning, an ellipsis, its end.
        QVERIFY(shown.startsWith(QString::fromStdString(h.game.substr(0, 3))) &&
                shown.contains(QChar(0x2026)) && shown.endsWith("xEnd"));
        h.f.store.set(SlotRef::of(Category::Magic, 1), -2147483647 - 1);
        PressLabel* stat = test::rowLabel(screens::openSettingsScreen(h.f.context, Category::Magic),
                                          "Label_Stat", 1);
        QCOMPARE(stat->text(), QStringLiteral("-2147483648"));
        QVERIFY(stat->fontMetrics().horizontalAdvance(stat->text()) <=
                stat->contentsRect().width());
    }

    void enterOnAQuestionAnswersNo() {
        const auto box = screens::questionBox(
            nullptr, QStringLiteral("Any changes you have made will be lost. Continue?"),
            QStringLiteral("Restore Defaults?"));
        box->show();
        QTest::keyClick(box.get(), Qt::Key_Return);
        QCOMPARE(box->clickedButton(), box->button(QMessageBox::No));
    }

    // The wheel over a choice scrolls the page; only a combo box with the focus takes it.
    void theWheelChangesOnlyAFocusedComboBox() {
        test::ScreenFixture f;
        QWidget* creature = screens::openCreatureScreen(f.context, 17);
        creature->resize(400, 300);
        QScrollBar* bar = creature->findChild<QScrollArea*>()->verticalScrollBar();
        for (const char* name : {"Combo_Hated", "Combo_Training", "Combo_Entry(1)"}) {
            auto* combo = qobject_cast<QComboBox*>(test::child(creature, name));
            const ValueSet before = f.store.values();
            const int item = combo->currentIndex(), scrolled = bar->value();
            QWheelEvent wheel({5, 5}, {}, {}, {0, -120}, {}, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(combo, &wheel);
            QVERIFY2(f.store.values() == before && combo->currentIndex() == item, name);
            QVERIFY2(bar->value() > scrolled, name);
            creature->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(creature));
            combo->setFocus();
            QApplication::sendEvent(combo, &wheel);
            QVERIFY2(f.store.values() != before && combo->currentIndex() == item + 1, name);
        }
    }

    void cleanup() { test::closeAllWindows(); }
};

int main(int argc, char** argv) {
    // The 1280x800 laptop screen the windows must fit, away from where unplaced ones go.
    // Beside the test, named relatively: the platform argument splits at every ':', a
    // drive letter's too.
    QTemporaryDir dir(QStringLiteral("usability-screen-XXXXXX"));
    QFile config(QDir::current().relativeFilePath(dir.filePath(QStringLiteral("screen.json"))));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(R"({"screens": [{"name": "laptop", "x": 100, "y": 50, "width": 1280,
                                      "height": 800}]})") < 0 ||
        !config.flush())
        return 1;
    // Given as the platform argument, which replaces any other: runs under Wine name the
    // platform that way, as Wine hands no QT_ variable on.
    QByteArray platform = "offscreen:configfile=" + QFile::encodeName(config.fileName());
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 && i + 1 < argc)
            ++i;
        else
            args.push_back(argv[i]);
    }
    char option[] = "-platform";
    args.insert(args.end(), {option, platform.data(), nullptr});
    int count = int(args.size()) - 1;
    QApplication app(count, args.data());
    UsabilityTest test;
    return QTest::qExec(&test, count, args.data());
}

#include "usability_test.moc"
