#include <QtTest>

#include <QLineEdit>

#include "screens/input_value_dialog.h"
#include "screens/screen_test_support.h"
#include "screens/tables/settings_screens.h"

using namespace tavrel;
using screens::PressLabel;

namespace {

QColor colourOf(QWidget* screen, int index) {
    return test::rowLabel(screen, "Label_Stat", index)->background();
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
        QTest::mouseClick(test::rowLabel(screen, "Label_Stat", slot), Qt::LeftButton);
        return box();
    }
};

} // namespace

class ValueEditingTest : public QObject {
    Q_OBJECT
private slots:
    void clicksChangeTheClickedSlotByTheRightStep() {
        const Qt::MouseButton left = Qt::LeftButton, right = Qt::RightButton;
        const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier;
        const struct {
            Category category;
            const char* kind;
            int slot;
            Qt::MouseButton button;
            Qt::KeyboardModifiers modifiers;
            int start, expected; // -1: the factory value
        } cases[] = {
            {Category::Room, "Label_More", 25, right, none, 500, 510},
            {Category::Room, "Label_More", 25, left, shift, 500, 600},
            {Category::Room, "Label_Less", 26, right, Qt::ControlModifier, 5000, 4000},
            {Category::Magic, "Label_More", 215, left, Qt::AltModifier, 40, 140}, // Armageddon
            {Category::Room, "Label_Stat", 1, left, shift, 7, -1},
            {Category::TrapDoor, "Label_Stat", 22, right, Qt::AltModifier, 7, -1}};
        Fixture f;
        for (const auto& c : cases) {
            QWidget* screen = f.open(c.category);
            f.put(c.category, c.slot, c.start);
            const int factory = f.factory(c.category, c.slot);
            const int expected = c.expected < 0 ? factory : c.expected;
            ValueSet others = f.store.values();

            PressLabel* label = test::rowLabel(screen, c.kind, c.slot);
            QTest::mousePress(label, c.button, c.modifiers);
            QCOMPARE(label->background(), QColor(235, 235, 235));
            QTest::mouseRelease(label, c.button, c.modifiers);
            if (QString(c.kind) != "Label_Stat")
                QCOMPARE(label->background(), QColor(255, 255, 255));

            QCOMPARE(f.value(c.category, c.slot), expected);
            others[static_cast<std::size_t>(recordOf(SlotRef::of(c.category, c.slot)) - 1)] =
                expected;
            QVERIFY(f.store.values() == others); // no other slot moved
            QCOMPARE(test::rowLabel(screen, "Label_Stat", c.slot)->text(),
                     QString::number(expected));
            const QColor colour = expected > factory   ? QColor(220, 255, 220)
                                  : expected < factory ? QColor(255, 220, 220)
                                                       : QColor(255, 255, 255);
            QCOMPARE(colourOf(screen, c.slot), colour);
            QVERIFY(!f.dialog());
        }
    }

    void typingAndEnterStore() {
        // Typed key by key into a room cost and a percentage; any plain click opens the dialog.
        const std::tuple<Category, int, QString, int, Qt::MouseButton> cases[] = {
            {Category::Room, 2, "70000", 65535, Qt::LeftButton},
            // A lone minus or point is no number yet and turns into "0" at once.
            {Category::Room, 2, "-5", 5, Qt::LeftButton},
            {Category::Room, 2, "2.5", 25, Qt::LeftButton},
            {Category::Misc, 12, "150", 100, Qt::RightButton}};
        for (const auto& [cat, slot, typed, stored, button] : cases) {
            Fixture f;
            QWidget* screen = f.open(cat);
            f.put(cat, slot, 3);
            QTest::mouseClick(test::rowLabel(screen, "Label_Stat", slot), button);
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
            QCOMPARE(test::rowLabel(screen, "Label_Stat", slot)->text(), QString::number(stored));
            QVERIFY(!f.dialog());
        }
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
        QTest::mouseClick(test::rowLabel(room, "Label_More", 5), Qt::RightButton);
        QVERIFY(shows(start + 10));
        QTest::mouseClick(test::rowLabel(room, "Label_More", 7), Qt::RightButton);
        QTest::mouseClick(test::rowLabel(magic, "Label_More", 5), Qt::LeftButton);
        QVERIFY(shows(start + 10));
        // A reset of its slot is followed too.
        QTest::mouseClick(test::rowLabel(room, "Label_Stat", 5), Qt::LeftButton, Qt::ShiftModifier);
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
