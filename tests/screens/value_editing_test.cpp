#include <QtTest>

#include <QLineEdit>

#include "screens/input_value_dialog.h"
#include "screens/screen_test_support.h"
#include "screens/tables/settings_screens.h"
#include "screens/widgets/value_row.h"

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

struct Fixture : test::ScreenFixture {
    Fixture() { store.restoreDefaults(); }
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
    QWidget* dialog() const {
        QWidget* shown = context.window(screens::kInputValueName);
        return shown && shown->isVisible() ? shown : nullptr;
    }
    QLineEdit* box() const {
        return dialog() ? dialog()->findChild<QLineEdit*>("Text_Value") : nullptr;
    }
    QString current() const {
        return dialog() ? test::textOf(dialog(), "Label_CurrentValue") : QString();
    }
    // A plain left click on a value opens the dialog for it.
    QLineEdit* openDialogOn(QWidget* screen, int slot) {
        QTest::mouseClick(rowLabel(screen, "Label_Stat", slot), Qt::LeftButton);
        return box();
    }
};

} // namespace

class ValueEditingTest : public QObject {
    Q_OBJECT
private slots:
    void clicksChangeTheClickedSlotByTheRightStep_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expected"); // -1: the factory value
        const int room = int(Category::Room), magic = int(Category::Magic),
                  trap = int(Category::TrapDoor);
        const int left = Qt::LeftButton, right = Qt::RightButton;
        const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier,
                  alt = Qt::AltModifier;
        QTest::newRow("room + right") << room << "Label_More" << 25 << right << none << 500 << 510;
        QTest::newRow("room + left shift")
            << room << "Label_More" << 25 << left << shift << 500 << 600;
        QTest::newRow("room - right ctrl")
            << room << "Label_Less" << 26 << right << ctrl << 5000 << 4000;
        QTest::newRow("magic + alt left, Armageddon Time")
            << magic << "Label_More" << 215 << left << alt << 40 << 140;
        QTest::newRow("room value, shift resets")
            << room << "Label_Stat" << 1 << left << shift << 7 << -1;
        QTest::newRow("trap value, alt right resets")
            << trap << "Label_Stat" << 22 << right << alt << 7 << -1;
    }
    void clicksChangeTheClickedSlotByTheRightStep() {
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
        const int factory = f.factory(cat, slot);
        if (expected < 0)
            expected = factory;
        ValueSet others = f.store.values();

        PressLabel* label = rowLabel(screen, kind.toLatin1().constData(), slot);
        QTest::mousePress(label, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(label->background(), QColor(235, 235, 235));
        QTest::mouseRelease(label, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers));
        if (kind != "Label_Stat")
            QCOMPARE(label->background(), QColor(255, 255, 255));

        QCOMPARE(f.value(cat, slot), expected);
        others[static_cast<std::size_t>(recordOf(SlotRef::of(cat, slot)) - 1)] = expected;
        QVERIFY(f.store.values() == others); // no other slot moved
        QCOMPARE(rowLabel(screen, "Label_Stat", slot)->text(), QString::number(expected));
        const QColor colour = expected > factory   ? QColor(220, 255, 220)
                              : expected < factory ? QColor(255, 220, 220)
                                                   : QColor(255, 255, 255);
        QCOMPARE(colourOf(screen, slot), colour);
        QVERIFY(!f.dialog());
    }

    void typingAndEnterStore_data() {
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("button"); // any plain click opens the dialog
        QTest::newRow("70000 into a room cost")
            << int(Category::Room) << 2 << "70000" << 65535 << int(Qt::LeftButton);
        QTest::newRow("150 into a percentage")
            << int(Category::Misc) << 12 << "150" << 100 << int(Qt::RightButton);
    }
    void typingAndEnterStore() {
        QFETCH(int, category);
        QFETCH(int, slot);
        QFETCH(QString, typed);
        QFETCH(int, stored);
        QFETCH(int, button);
        Fixture f;
        const auto cat = static_cast<Category>(category);
        QWidget* screen = f.open(cat);
        f.put(cat, slot, 3);
        QTest::mouseClick(rowLabel(screen, "Label_Stat", slot), Qt::MouseButton(button));
        QLineEdit* box = f.box();
        QVERIFY(box);
        QCOMPARE(f.dialog()->windowTitle(), QString("Input Value"));
        QVERIFY(f.state.InputTarget == SlotRef::of(cat, slot));
        QCOMPARE(f.current(), QString("3"));
        QCOMPARE(box->text(), QString("3"));
        // The redraw at release took the pressed grey off the value label.
        QVERIFY(colourOf(screen, slot) != QColor(235, 235, 235));
        QTest::keyClicks(box, typed); // the opened box has its text selected
        QCOMPARE(box->text(), QString::number(stored));
        QCOMPARE(f.value(cat, slot), 3); // nothing stored before Enter
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(f.value(cat, slot), stored);
        QCOMPARE(rowLabel(screen, "Label_Stat", slot)->text(), QString::number(stored));
        QVERIFY(!f.dialog());
    }

    void theCloseButtonStoresNothing() {
        Fixture f;
        QWidget* screen = f.open(Category::Room);
        const std::int32_t before = f.value(Category::Room, 4);
        QTest::keyClicks(f.openDialogOn(screen, 4), "999");
        f.dialog()->close();
        QCOMPARE(f.value(Category::Room, 4), before);
        // The next opening starts afresh and shows the slot's value.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(f.openDialogOn(screen, 4)->text(), QString::number(before));
    }

    void theOpenDialogFollowsPlusOnItsSlotOnly() {
        Fixture f;
        QWidget* room = f.open(Category::Room);
        QWidget* magic = f.open(Category::Magic);
        f.put(Category::TrapDoor, 6, 300); // a file value above its bound
        // The box holds a value within the bound; the current value shows the file's.
        f.openDialogOn(f.open(Category::TrapDoor), 6);
        QCOMPARE(f.current(), QString("300"));
        QCOMPARE(f.box()->text(), QString("255"));
        const std::int32_t start = f.value(Category::Room, 5);
        f.openDialogOn(room, 5);
        const auto shows = [&](std::int32_t value) {
            return f.current() == QString::number(value) && f.box()->text() == f.current();
        };
        QTest::mouseClick(rowLabel(room, "Label_More", 5), Qt::RightButton);
        QVERIFY(shows(start + 10));
        QTest::mouseClick(rowLabel(room, "Label_More", 7), Qt::RightButton);
        QTest::mouseClick(rowLabel(magic, "Label_More", 5), Qt::LeftButton);
        QVERIFY(shows(start + 10));
        // A reset of its slot is followed too.
        QTest::mouseClick(rowLabel(room, "Label_Stat", 5), Qt::LeftButton, Qt::ShiftModifier);
        QVERIFY(shows(start));
        // A plain click elsewhere retargets the same dialog.
        QWidget* dialog = f.dialog();
        f.openDialogOn(magic, 216);
        QCOMPARE(f.dialog(), dialog);
        QVERIFY(shows(f.value(Category::Magic, 216)));
    }

    void aClosedScreenNoLongerRedraws() {
        Fixture f;
        QWidget* screen = f.open(Category::Ability);
        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        f.context.refreshAll(); // would touch a deleted screen if it had stayed registered
        QVERIFY(!f.context.window(screens::settingsScreenName(Category::Ability)));
    }
};

QTEST_MAIN(ValueEditingTest)
#include "value_editing_test.moc"
