#include <QtTest>

#include <QMessageBox>
#include <QScrollArea>
#include <QScrollBar>

#include "core/catalogue.h"
#include "screens/creatures/ability_picker.h"
#include "screens/creatures/creature_picker.h"
#include "screens/creatures/creature_screen.h"
#include "screens/input_value_dialog.h"
#include "screens/screen_test_support.h"
#include "screens/tables/settings_screens.h"
#include "screens/widgets/elided_label.h"
#include "screens/widgets/fit_window.h"
#include "screens/widgets/value_row.h"

using namespace tavrel;
using screens::PressLabel;

namespace {

PressLabel* label(QWidget* window, const char* kind, int index) {
    return qobject_cast<PressLabel*>(
        test::child(window, QStringLiteral("%1(%2)").arg(QLatin1String(kind)).arg(index)));
}

void focusOn(QWidget* widget) {
    widget->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(widget->window()));
    widget->setFocus(Qt::TabFocusReason);
}

} // namespace

class UsabilityTest : public QObject {
    Q_OBJECT
private slots:
    void fittedSizeScrollsOnlyWhenTheScreenIsSmaller() {
        const QSize frame(12, 48);
        // The magic screen on a 1280x800 laptop; the ability screen on a large screen.
        QCOMPARE(screens::fittedSize({1285, 808}, {1280, 800}, frame, 16), QSize(1268, 752));
        QCOMPARE(screens::fittedSize({786, 780}, {1280, 800}, frame, 16), QSize(802, 752));
        QCOMPARE(screens::fittedSize({786, 780}, {1920, 1200}, frame, 16), QSize(786, 780));
    }

    // This test runs on a 1280x800 screen (see main): every window with a title bar
    // fits it, and a screen that does not fit whole scrolls.
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
        h.f.state.AbilityPickTarget = {1, 1};
        screens::openAbilityPicker(h.f.context);
        screens::openInputDialog(h.f.context);
        int windows = 0;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible())
                continue;
            ++windows;
            QVERIFY2(window->width() + 12 <= 1280 && window->height() + 48 <= 800,
                     qPrintable(window->objectName()));
        }
        QCOMPARE(windows, 15);
        auto* magic = h.f.context.window(screens::settingsScreenName(Category::Magic));
        QVERIFY(magic->findChild<QScrollArea*>()->horizontalScrollBar()->maximum() > 0);
    }

    void tabVisitsTheRoomValuesInReadingOrder() {
        test::ScreenFixture f;
        QWidget* room = screens::openSettingsScreen(f.context, Category::Room);
        const int order[] = {2,  3, 25, 26, 23, 24, 10, 11, 4,  5,  27, 28, 29, 30, 13,
                             14, 6, 7,  8,  9,  21, 22, 17, 18, 19, 20, 15, 16, 1,  12};
        focusOn(label(room, "Label_Stat", 2));
        for (int slot : order) {
            QCOMPARE(QApplication::focusWidget(), label(room, "Label_Stat", slot));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), label(room, "Label_Stat", 2));
    }

    // A key on a value row gives what the matching click gives, colour included.
    void keysStepAndResetLikeTheMouse() {
        struct Case {
            Qt::Key key;
            Qt::KeyboardModifiers keyModifiers;
            const char* label;
            Qt::MouseButton button;
            Qt::KeyboardModifiers mouseModifiers;
        } cases[] = {
            {Qt::Key_Up, {}, "Label_More", Qt::LeftButton, {}},
            // The Shift that typing "+" takes on many keyboards makes no larger step.
            {Qt::Key_Plus, Qt::ShiftModifier, "Label_More", Qt::LeftButton, {}},
            {Qt::Key_Down, Qt::ShiftModifier, "Label_Less", Qt::LeftButton, Qt::ShiftModifier},
            {Qt::Key_PageUp, Qt::ShiftModifier, "Label_More", Qt::RightButton, Qt::ShiftModifier},
            {Qt::Key_PageDown, {}, "Label_Less", Qt::RightButton, {}},
            {Qt::Key_Backspace, Qt::ControlModifier, "Label_Stat", Qt::LeftButton,
             Qt::ControlModifier},
        };
        for (const Case& c : cases) {
            test::ScreenFixture f;
            f.store.restoreDefaults();
            QWidget* room = screens::openSettingsScreen(f.context, Category::Room);
            const SlotRef treasury = SlotRef::of(Category::Room, 2);
            PressLabel* stat = label(room, "Label_Stat", 2);
            f.store.set(treasury, 2000);
            focusOn(stat);
            QTest::keyClick(stat, c.key, c.keyModifiers);
            const std::int32_t byKey = f.store.value(treasury);
            const QColor colour = stat->background();
            f.store.set(treasury, 2000);
            QTest::mouseClick(label(room, c.label, 2), c.button, c.mouseModifiers);
            QCOMPARE(byKey, f.store.value(treasury));
            QVERIFY(byKey != 2000);
            QCOMPARE(colour, stat->background());
        }
    }

    void enterOpensTheCaptionedDialogBesideItsScreen() {
        test::ScreenFixture f;
        f.store.restoreDefaults();
        QWidget* room = screens::openSettingsScreen(f.context, Category::Room);
        PressLabel* stat = label(room, "Label_Stat", 2);
        QCOMPARE(stat->accessibleName(), QStringLiteral("Treasury Cost, 50, factory value 50"));
        QCOMPARE(label(room, "Label_More", 2)->toolTip(),
                 QStringLiteral("Treasury Cost. Left click: +1, right click: +10, "
                                "with Shift: +100 / +1000"));
        focusOn(stat);
        QTest::keyClick(stat, Qt::Key_Return);
        QWidget* dialog = f.context.window(screens::kInputValueName);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->parentWidget(), room);
        QCOMPARE(dialog->windowType(), Qt::Tool);
        QCOMPARE(test::textOf(dialog, "Label_Caption"),
                 QStringLiteral("Room Settings: Treasury, Cost"));
        QCOMPARE(test::textOf(dialog, "Label_CurrentValue"), QStringLiteral("50"));
        // The creature screen names the creature shown.
        screens::openCreatureScreen(f.context, 23);
        QWidget* creature = f.context.window(screens::kCreatureSettingsName);
        QTest::mouseClick(label(creature, "Label_Stat", 1), Qt::LeftButton);
        QCOMPARE(test::textOf(f.context.window(screens::kInputValueName), "Label_Caption"),
                 QStringLiteral("Creature Settings (Imp): Health"));
    }

    void abilityRowsStepWithTheKeys() {
        test::ScreenFixture f;
        f.store.restoreDefaults();
        QWidget* screen = screens::openCreatureScreen(f.context, 1);
        const SlotRef first = SlotRef::creature(1, 38 + 1);
        QTest::mouseClick(label(screen, "Label_Next", 1), Qt::LeftButton);
        const std::int32_t next = f.store.value(first);
        f.store.set(first, f.store.defaultValue(first));
        focusOn(label(screen, "Label_Ability", 1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(f.store.value(first), next);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace, Qt::ControlModifier);
        QCOMPARE(f.store.value(first), f.store.defaultValue(first));
    }

    void widestValuesShowWhole() {
        test::ScreenFixture f;
        for (QWidget* screen : {screens::openSettingsScreen(f.context, Category::Magic),
                                screens::openCreatureScreen(f.context, 1)}) {
            for (const std::int32_t value : {2147482000, -2147483647 - 1}) {
                f.store.set(SlotRef::of(Category::Magic, 1), value);
                f.store.set(SlotRef::creature(1, 5), value);
                f.context.refreshAll();
                PressLabel* stat = label(screen, "Label_Stat", 1);
                QCOMPARE(stat->text(), QString::number(value));
                QVERIFY(stat->fontMetrics().horizontalAdvance(stat->text()) <=
                        stat->contentsRect().width());
            }
        }
    }

    void longLocationElidesInTheMiddle() {
        test::MainHarness h;
        h.game = h.dir.file("Keeper" + std::string(120, 'x') + "End");
        h.startReady();
        auto* location =
            qobject_cast<screens::ElidedLabel*>(test::child(h.main.get(), "Label_Location"));
        const QString path = location->text();
        QVERIFY(path.endsWith("End"));
        QCOMPARE(location->toolTip(), path);
        const QString shown = location->shownText();
        QVERIFY(shown.contains(QChar(0x2026)) && shown.endsWith("End"));
        QVERIFY(shown.startsWith(path.left(3)));
    }

    void enterOnAQuestionAnswersNo() {
        const auto box = screens::questionBox(
            nullptr, QStringLiteral("Any changes you have made will be lost. Continue?"),
            QStringLiteral("Restore Defaults?"));
        box->show();
        QTest::keyClick(box.get(), Qt::Key_Return);
        QCOMPARE(box->clickedButton(), box->button(QMessageBox::No));
    }

    void cleanup() { test::closeAllWindows(); }
};

int main(int argc, char** argv) {
    // A 1280x800 screen, the laptop the windows must fit.
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("screen.json")));
    if (!dir.isValid() || !config.open(QIODevice::WriteOnly) ||
        config.write(R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1280,)"
                     R"( "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 1;
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
    QApplication app(argc, argv);
    UsabilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "usability_test.moc"
