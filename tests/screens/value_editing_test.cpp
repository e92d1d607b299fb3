#include <QtTest>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

#include "screens/input_value_dialog.h"
#include "screens/screen_test_support.h"
#include "screens/settings_screens.h"
#include "screens/value_row.h"

using namespace tavrel;
using screens::PressLabel;

namespace {

PressLabel* rowLabel(QWidget* screen, const char* kind, int index) {
    auto* label = qobject_cast<PressLabel*>(
        test::child(screen, QStringLiteral("%1(%2)").arg(QLatin1String(kind)).arg(index)));
    Q_ASSERT(label);
    return label;
}

QColor colourOf(QWidget* screen, int index) {
    return rowLabel(screen, "Label_Stat", index)->background();
}

QLineEdit* valueBox(const screens::AppContext& context) {
    QWidget* dialog = context.window(screens::kInputValueName);
    return dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("Text_Value")) : nullptr;
}

QString currentValue(const screens::AppContext& context) {
    QWidget* dialog = context.window(screens::kInputValueName);
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("Label_CurrentValue"));
    return label ? label->text() : QString();
}

bool dialogShown(const screens::AppContext& context) {
    QWidget* dialog = context.window(screens::kInputValueName);
    return dialog && dialog->isVisible();
}

struct Fixture : test::ScreenFixture {
    Fixture() { store.restoreDefaults(); }
    // The windows refer to this fixture's context: none may outlive it.
    ~Fixture() {
        for (QWidget* window : QApplication::topLevelWidgets())
            window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QWidget* open(Category category) { return screens::openSettingsScreen(context, category); }
    std::int32_t value(Category category, int slot) const {
        return store.value(SlotRef::of(category, slot));
    }
    std::int32_t factory(Category category, int slot) const {
        return store.defaultValue(SlotRef::of(category, slot));
    }
    void put(Category category, int slot, std::int32_t v) {
        store.set(SlotRef::of(category, slot), v);
        context.refreshAll();
    }
};

} // namespace

class ValueEditingTest : public QObject {
    Q_OBJECT
private slots:
    void stepsChangeTheClickedSlotByTheRightStep_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expected");
        const int room = int(Category::Room), magic = int(Category::Magic),
                  trap = int(Category::TrapDoor);
        const int left = Qt::LeftButton, right = Qt::RightButton, middle = Qt::MiddleButton;
        const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier,
                  alt = Qt::AltModifier;
        QTest::newRow("room + left") << room << "Label_More" << 25 << left << none << 500 << 501;
        QTest::newRow("room + right") << room << "Label_More" << 25 << right << none << 500 << 510;
        QTest::newRow("room + left shift")
            << room << "Label_More" << 25 << left << shift << 500 << 600;
        QTest::newRow("room - right ctrl")
            << room << "Label_Less" << 26 << right << ctrl << 5000 << 4000;
        QTest::newRow("room - left alt")
            << room << "Label_Less" << 26 << left << alt << 5000 << 4900;
        QTest::newRow("room - right, Health 5")
            << room << "Label_Less" << 3 << right << none << 5 << 1;
        QTest::newRow("room - right, Cost 5")
            << room << "Label_Less" << 2 << right << none << 5 << 0;
        QTest::newRow("room - middle lifts 0 Health")
            << room << "Label_Less" << 12 << middle << none << 0 << 1;
        QTest::newRow("room + middle") << room << "Label_More" << 12 << middle << shift << 70 << 70;
        QTest::newRow("room + shift right at 65000")
            << room << "Label_More" << 30 << right << shift << 65000 << 65535;
        QTest::newRow("magic + ctrl right at 64600")
            << magic << "Label_More" << 100 << right << ctrl << 64600 << 65535;
        QTest::newRow("magic - left, Slap Time")
            << magic << "Label_Less" << 12 << left << none << 40 << 39;
        QTest::newRow("magic + alt left, Armageddon Time")
            << magic << "Label_More" << 215 << left << alt << 40 << 140;
        QTest::newRow("trap + right, boulder Speed 250")
            << trap << "Label_More" << 40 << right << none << 250 << 256;
        QTest::newRow("trap - left, Shots 1")
            << trap << "Label_Less" << 22 << left << none << 1 << 1;
        QTest::newRow("trap + left, Shots 255")
            << trap << "Label_More" << 2 << left << none << 255 << 255;
        QTest::newRow("trap + shift, door Health")
            << trap << "Label_More" << 36 << left << shift << 3000 << 3100;
    }
    void stepsChangeTheClickedSlotByTheRightStep() {
        QFETCH(int, category);
        QFETCH(QString, kind);
        QFETCH(int, slot);
        QFETCH(int, button);
        QFETCH(int, modifiers);
        QFETCH(int, start);
        QFETCH(int, expected);
        Fixture f;
        const auto cat = static_cast<Category>(category);
        QWidget* screen = f.open(cat);
        f.put(cat, slot, start);
        ValueSet others = f.store.values();

        PressLabel* label = rowLabel(screen, kind.toLatin1().constData(), slot);
        QTest::mousePress(label, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(label->background(), screens::kColourPressed);
        QTest::mouseRelease(label, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(label->background(), screens::kColourEqual);

        QCOMPARE(f.value(cat, slot), expected);
        others[static_cast<std::size_t>(recordOf(SlotRef::of(cat, slot)) - 1)] = expected;
        QVERIFY(f.store.values() == others); // no other slot moved
        QCOMPARE(rowLabel(screen, "Label_Stat", slot)->text(), QString::number(expected));
        const int factory = f.factory(cat, slot);
        const QColor colour = expected > factory   ? screens::kColourAbove
                              : expected < factory ? screens::kColourBelow
                                                   : screens::kColourEqual;
        QCOMPARE(colourOf(screen, slot), colour);
        QCOMPARE(rowLabel(screen, "Label_Stat", slot)->palette().color(QPalette::WindowText),
                 screens::kColourText);
    }

    void steppingUpAndBackTurnsGreenThenWhite() {
        Fixture f;
        QWidget* screen = f.open(Category::Research);
        QTest::mouseClick(rowLabel(screen, "Label_More", 9), Qt::LeftButton);
        QCOMPARE(colourOf(screen, 9), screens::kColourAbove);
        QTest::mouseClick(rowLabel(screen, "Label_Less", 9), Qt::LeftButton);
        QCOMPARE(colourOf(screen, 9), screens::kColourEqual);
        QTest::mouseClick(rowLabel(screen, "Label_Less", 9), Qt::LeftButton);
        QCOMPARE(colourOf(screen, 9), screens::kColourBelow);
    }

    void modifierClickOnAValueResetsIt_data() {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("button");
        QTest::newRow("shift") << int(Qt::ShiftModifier) << int(Qt::LeftButton);
        QTest::newRow("ctrl") << int(Qt::ControlModifier) << int(Qt::LeftButton);
        QTest::newRow("alt right") << int(Qt::AltModifier) << int(Qt::RightButton);
    }
    void modifierClickOnAValueResetsIt() {
        QFETCH(int, modifiers);
        QFETCH(int, button);
        Fixture f;
        QWidget* screen = f.open(Category::Room);
        f.put(Category::Room, 1, 7); // the "Portal:" Health
        QCOMPARE(colourOf(screen, 1), screens::kColourBelow);
        PressLabel* stat = rowLabel(screen, "Label_Stat", 1);
        QTest::mousePress(stat, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(stat->background(), screens::kColourPressed);
        QTest::mouseRelease(stat, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.value(Category::Room, 1), f.factory(Category::Room, 1));
        QCOMPARE(colourOf(screen, 1), screens::kColourEqual);
        QVERIFY(!dialogShown(f.context));
    }

    void plainClickOpensTheDialogForThatSlot_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("button");
        QTest::newRow("room heart, left") << int(Category::Room) << 12 << int(Qt::LeftButton);
        QTest::newRow("magic Slap Time, right")
            << int(Category::Magic) << 12 << int(Qt::RightButton);
        QTest::newRow("trap lava Shots") << int(Category::TrapDoor) << 22 << int(Qt::LeftButton);
    }
    void plainClickOpensTheDialogForThatSlot() {
        QFETCH(int, category);
        QFETCH(int, slot);
        QFETCH(int, button);
        Fixture f;
        const auto cat = static_cast<Category>(category);
        QWidget* screen = f.open(cat);
        f.put(cat, slot, 77);
        QTest::mouseClick(rowLabel(screen, "Label_Stat", slot), Qt::MouseButton(button));
        QVERIFY(dialogShown(f.context));
        QVERIFY(f.state.InputTarget == SlotRef::of(cat, slot));
        QWidget* dialog = f.context.window(screens::kInputValueName);
        QCOMPARE(dialog->windowTitle(), QString("Input Value"));
        QCOMPARE(dialog->findChild<QLabel*>("Label1")->text(), QString("Current Value:"));
        QCOMPARE(currentValue(f.context), QString("77"));
        QCOMPARE(valueBox(f.context)->text(), QString("77"));
        QCOMPARE(f.state.InputLastValue, 77);
        // The redraw at release took the pressed grey off the value label.
        QVERIFY(colourOf(screen, slot) != screens::kColourPressed);
        dialog->close();
    }

    void typingAndEnterStore_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("stored");
        const int room = int(Category::Room);
        QTest::newRow("70000 into 65535") << room << 2 << "70000"
                                          << "65535" << 65535;
        QTest::newRow("letters after a number") << room << 2 << "12abc"
                                                << "12" << 12;
        QTest::newRow("007") << room << 2 << "007"
                             << "7" << 7;
        QTest::newRow("0 into the heart") << room << 12 << "0"
                                          << "1" << 1;
        QTest::newRow("300 into Shots") << int(Category::TrapDoor) << 2 << "300"
                                        << "255" << 255;
        QTest::newRow("150 into a percentage") << int(Category::Misc) << 12 << "150"
                                               << "100" << 100;
    }
    void typingAndEnterStore() {
        QFETCH(int, category);
        QFETCH(int, slot);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, stored);
        Fixture f;
        const auto cat = static_cast<Category>(category);
        QWidget* screen = f.open(cat);
        f.put(cat, slot, 3);
        QTest::mouseClick(rowLabel(screen, "Label_Stat", slot), Qt::LeftButton);
        QLineEdit* box = valueBox(f.context);
        QVERIFY(box);
        QTest::keyClicks(box, typed); // the opened box has its text selected
        QCOMPARE(box->text(), shown);
        QCOMPARE(f.value(cat, slot), 3); // nothing stored before Enter
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(f.value(cat, slot), stored);
        QCOMPARE(rowLabel(screen, "Label_Stat", slot)->text(), QString::number(stored));
        QVERIFY(!dialogShown(f.context));
    }

    void clearingAHealthBoxShowsOne() {
        Fixture f;
        QWidget* screen = f.open(Category::Room);
        QTest::mouseClick(rowLabel(screen, "Label_Stat", 5), Qt::LeftButton);
        QLineEdit* box = valueBox(f.context);
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QString("1"));
        valueBox(f.context)->window()->close();
    }

    void pastedFractionsStayAndRoundHalfToEven_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<int>("stored");
        QTest::newRow("2.5") << "2.5" << 2;
        QTest::newRow("3.5") << "3.5" << 4;
        QTest::newRow("-5") << "-5" << 0;
    }
    void pastedFractionsStayAndRoundHalfToEven() {
        QFETCH(QString, pasted);
        QFETCH(int, stored);
        Fixture f;
        QWidget* screen = f.open(Category::Magic);
        QTest::mouseClick(rowLabel(screen, "Label_Stat", 30), Qt::LeftButton);
        QLineEdit* box = valueBox(f.context);
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), stored == 0 ? QString("0") : pasted);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(f.value(Category::Magic, 30), stored);
    }

    void theCloseButtonStoresNothing() {
        Fixture f;
        QWidget* screen = f.open(Category::Room);
        const std::int32_t before = f.value(Category::Room, 4);
        QTest::mouseClick(rowLabel(screen, "Label_Stat", 4), Qt::LeftButton);
        QTest::keyClicks(valueBox(f.context), "999");
        f.context.window(screens::kInputValueName)->close();
        QCOMPARE(f.value(Category::Room, 4), before);
        // The next opening starts afresh and shows the slot's value.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::mouseClick(rowLabel(screen, "Label_Stat", 4), Qt::LeftButton);
        QCOMPARE(valueBox(f.context)->text(), QString::number(before));
    }

    void theOpenDialogFollowsPlusOnItsSlotOnly() {
        Fixture f;
        QWidget* screen = f.open(Category::Room);
        QWidget* magic = f.open(Category::Magic);
        QTest::mouseClick(rowLabel(screen, "Label_Stat", 5), Qt::LeftButton);
        const std::int32_t start = f.value(Category::Room, 5);
        QTest::mouseClick(rowLabel(screen, "Label_More", 5), Qt::RightButton);
        QCOMPARE(currentValue(f.context), QString::number(start + 10));
        QCOMPARE(valueBox(f.context)->text(), QString::number(start + 10));
        QTest::mouseClick(rowLabel(screen, "Label_More", 7), Qt::RightButton);
        QTest::mouseClick(rowLabel(magic, "Label_More", 5), Qt::LeftButton);
        QCOMPARE(currentValue(f.context), QString::number(start + 10));
        QCOMPARE(valueBox(f.context)->text(), QString::number(start + 10));
        // A reset of its slot is followed too.
        QTest::mouseClick(rowLabel(screen, "Label_Stat", 5), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(valueBox(f.context)->text(), QString::number(start));
        // A plain click elsewhere retargets the same dialog.
        QWidget* dialog = f.context.window(screens::kInputValueName);
        QTest::mouseClick(rowLabel(magic, "Label_Stat", 216), Qt::LeftButton);
        QCOMPARE(f.context.window(screens::kInputValueName), dialog);
        QCOMPARE(currentValue(f.context), QString::number(f.value(Category::Magic, 216)));
    }

    void aFileValueAboveTheBoundShowsAsIsBesideTheBound() {
        Fixture f;
        QWidget* screen = f.open(Category::TrapDoor);
        f.put(Category::TrapDoor, 6, 300); // Shots, from a file
        QTest::mouseClick(rowLabel(screen, "Label_Stat", 6), Qt::LeftButton);
        QCOMPARE(currentValue(f.context), QString("300"));
        QCOMPARE(valueBox(f.context)->text(), QString("255"));
    }

    void enterStoresForTheCreatureTheDialogWasOpenedFor() {
        Fixture f;
        int creatureRedraws = 0;
        f.context.setRefresher(screens::RefreshOrder::CreatureSettings, [&] { ++creatureRedraws; });
        f.state.SelectedCreature = 17;
        f.state.InputTarget = SlotRef::creature(17, 5); // the Dragon's Health
        screens::openInputDialog(f.context);
        QCOMPARE(valueBox(f.context)->text(),
                 QString::number(f.store.value(SlotRef::creature(17, 5))));
        f.state.SelectedCreature = 3; // the creature screen moves on
        QTest::keyClicks(valueBox(f.context), "4321");
        QTest::keyClick(valueBox(f.context), Qt::Key_Return);
        QCOMPARE(f.store.value(SlotRef::creature(17, 5)), 4321);
        QCOMPARE(f.store.value(SlotRef::creature(3, 5)),
                 f.store.defaultValue(SlotRef::creature(3, 5)));
        QCOMPARE(creatureRedraws, 1);
    }

    void restoreDefaultsTurnsEveryLabelWhite() {
        Fixture f;
        std::vector<QWidget*> screens;
        for (Category c : {Category::Room, Category::Magic, Category::Research, Category::TrapDoor,
                           Category::Ability, Category::Misc})
            screens.push_back(f.open(c));
        screens[3]->hide(); // a screen that is not shown is kept current too
        for (QWidget* screen : screens) {
            QTest::mouseClick(rowLabel(screen, "Label_More", 1), Qt::RightButton);
            QTest::mouseClick(rowLabel(screen, "Label_Less", 2), Qt::RightButton);
        }
        QTest::mouseClick(rowLabel(screens[0], "Label_Stat", 1), Qt::LeftButton);
        QCOMPARE(currentValue(f.context), QString::number(f.value(Category::Room, 1)));

        f.store.restoreDefaults();
        f.context.refreshAll();
        for (QWidget* screen : screens) {
            const auto labels = screen->findChildren<PressLabel*>();
            QVERIFY(labels.size() >= 3 * 28);
            for (PressLabel* label : labels)
                QVERIFY2(label->background() == screens::kColourEqual,
                         qPrintable(label->objectName()));
        }
        QCOMPARE(rowLabel(screens[3], "Label_Stat", 1)->text(),
                 QString::number(f.factory(Category::TrapDoor, 1)));
        QCOMPARE(currentValue(f.context), QString::number(f.factory(Category::Room, 1)));
        QCOMPARE(valueBox(f.context)->text(), QString::number(f.factory(Category::Room, 1)));
    }

    void aClosedScreenNoLongerRedraws() {
        Fixture f;
        QWidget* screen = f.open(Category::Ability);
        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        f.store.restoreDefaults();
        f.context.refreshAll(); // would touch a deleted screen if it had stayed registered
        QVERIFY(!f.context.window(screens::settingsScreenName(Category::Ability)));
    }
};

QTEST_MAIN(ValueEditingTest)
#include "value_editing_test.moc"
