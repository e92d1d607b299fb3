#include <QtTest>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>

#include "screens/creatures/creature_picker.h"
#include "screens/creatures/creature_screen.h"
#include "screens/input_value_dialog.h"
#include "screens/screen_test_support.h"
#include "screens/value_row.h"
#include "screens/widgets/check_list.h"
#include "screens/widgets/marking.h"

using namespace tavrel;
using screens::PressLabel;

namespace {

const QColor kWhite(255, 255, 255), kChangedChoice(220, 255, 220), kChangedFlag(0, 125, 0),
    kBlack(0, 0, 0), kAbove(220, 255, 220);

struct Fixture : test::ScreenFixture {
    QWidget* picker;
    Fixture() {
        store.restoreDefaults();
        picker = screens::openCreaturePicker(context);
    }
    // Clicks a picker button and returns the creature screen.
    QWidget* pick(const char* button) {
        QTest::mouseClick(test::button(picker, button), Qt::LeftButton);
        return context.window(screens::kCreatureSettingsName);
    }
    QWidget* screen() const { return context.window(screens::kCreatureSettingsName); }
    template <typename T> T* get(const QString& name) const {
        auto* found = qobject_cast<T*>(test::child(screen(), name));
        Q_ASSERT(found);
        return found;
    }
    std::int32_t value(int field) const {
        return store.value(SlotRef::creature(state.SelectedCreature, field));
    }
    std::int32_t factory(int field) const {
        return store.defaultValue(SlotRef::creature(state.SelectedCreature, field));
    }
    void put(int field, std::int32_t v) {
        store.set(SlotRef::creature(state.SelectedCreature, field), v);
        context.refreshAll();
    }
    void clickItem(const QString& list, int item, Qt::KeyboardModifiers mods = {}) {
        auto* view = get<QListView>(list);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, mods,
                          view->visualRect(view->model()->index(item, 0)).center());
    }
    void choose(const QString& name, const QString& item) {
        auto* combo = get<QComboBox>(name);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex index = view->model()->index(combo->findText(item), 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        QTRY_VERIFY(!view->isVisible());
    }
};

} // namespace

class CreatureScreenTest : public QObject {
    Q_OBJECT
private slots:
    void thePickerOpensOneScreenAndSwitchesIt() {
        Fixture f;
        QWidget* screen = f.pick("Cmd_GoodGuys(8)");
        QCOMPARE(screen->windowTitle(), QString("Creature Settings (Wizard)"));
        QCOMPARE(f.state.SelectedCreature, 1);
        QCOMPARE(test::textOf(screen, "Label_Stat(1)"), QString::number(f.factory(5)));
        QCOMPARE(f.pick("Cmd_BadGuys(17)"), screen);
        QCOMPARE(screen->windowTitle(), QString("Creature Settings (Horned Reaper)"));
        QCOMPARE(f.state.SelectedCreature, 14);
        f.pick("Cmd_BadGuys(1)");
        QCOMPARE(f.pick("Cmd_BadGuys(12)"), screen);
        QCOMPARE(screen->windowTitle(), QString("Creature Settings (Orc)"));
        // The lists were filled once, at the screen's load.
        QCOMPARE(f.get<QComboBox>("Combo_Hated")->count(), 31);
        QCOMPARE(f.get<QListView>("List_Jobs(3)")->model()->rowCount(), 15);

        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.state.CreatureScreenOpen && f.picker->isVisible());
        f.context.refreshAll(); // a closed screen is no longer drawn
        QWidget* again = f.pick("Cmd_BadGuys(5)");
        QVERIFY(again && again->isVisible() && f.state.CreatureScreenOpen);
        QCOMPARE(again->windowTitle(), QString("Creature Settings (Fly)"));
    }

    void valueRowsStepResetAndColourLikeTheTableScreens_data() {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("expected"); // -1: the factory value
        const int left = Qt::LeftButton, right = Qt::RightButton, shift = Qt::ShiftModifier;
        QTest::newRow("Health - at 1") << "Label_Less(1)" << 5 << left << 0 << 1 << 1;
        QTest::newRow("Become Level + at 10") << "Label_More(22)" << 36 << left << 0 << 10 << 10;
        QTest::newRow("Armour shift right +")
            << "Label_More(2)" << 7 << right << shift << 100 << 255;
        QTest::newRow("level 3 +") << "Label_More(25)" << 51 << left << 0 << 4 << 5;
        QTest::newRow("size 2 -") << "Label_Less(38)" << 67 << right << 0 << 30 << 20;
        QTest::newRow("Pay shift resets") << "Label_Stat(33)" << 60 << left << shift << 7 << -1;
    }
    void valueRowsStepResetAndColourLikeTheTableScreens() {
        QFETCH(QString, label);
        QFETCH(int, field);
        QFETCH(int, button);
        QFETCH(int, modifiers);
        QFETCH(int, start);
        QFETCH(int, expected);
        Fixture f;
        f.pick("Cmd_BadGuys(10)"); // Dragon
        f.put(field, start);
        QTest::mouseClick(f.get<PressLabel>(label), Qt::MouseButton(button),
                          Qt::KeyboardModifiers(modifiers));
        QCOMPARE(f.value(field), expected < 0 ? f.factory(field) : expected);
        QCOMPARE(f.state.SelectedCreature, 17);
    }

    void aRaisedValueTurnsGreenAndTheInputDialogKeepsItsCreature() {
        Fixture f;
        f.pick("Cmd_GoodGuys(8)"); // Wizard
        QTest::mouseClick(f.get<PressLabel>("Label_More(1)"), Qt::RightButton);
        QCOMPARE(f.get<PressLabel>("Label_Stat(1)")->background(), kAbove);
        QTest::mouseClick(f.get<PressLabel>("Label_Stat(33)"), Qt::LeftButton);
        QCOMPARE(f.state.InputTarget, SlotRef::creature(1, 60));
        auto* box = f.context.window(screens::kInputValueName)->findChild<QLineEdit*>();
        f.pick("Cmd_BadGuys(10)"); // the Dragon now
        box->selectAll();
        QTest::keyClicks(box, "321");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(f.store.value(SlotRef::creature(1, 60)), 321);
        QCOMPARE(f.value(60), f.factory(60));
    }

    void jobChecksStoreSumsAndShiftReleaseResets() {
        Fixture f;
        f.pick("Cmd_BadGuys(1)"); // Imp
        f.put(1, 0);
        f.clickItem("List_Jobs(1)", 1); // Dig
        f.clickItem("List_Jobs(1)", 7); // Fight
        QCOMPARE(f.value(1), 130);
        f.clickItem("List_Jobs(1)", 1);
        QCOMPARE(f.value(1), 128);
        QCOMPARE(f.get<screens::CheckList>("List_Jobs(1)")->background(), kChangedChoice);
        f.put(1, 32768 + 1); // a bit no item shows, from a file
        auto* primary = f.get<screens::CheckList>("List_Jobs(1)");
        for (int item = 0; item < 15; ++item)
            QCOMPARE(primary->isChecked(item), item == 0);
        f.clickItem("List_Jobs(1)", 0);
        QCOMPARE(f.value(1), 32768);

        f.clickItem("List_AngryJobs", 3); // Steal Gold
        QCOMPARE(f.value(4), f.factory(4) ^ 8);
        f.put(2, 12345);
        f.clickItem("List_Jobs(2)", 4, Qt::ControlModifier);
        QCOMPARE(f.value(2), 12345 ^ 16);
        f.clickItem("List_Jobs(2)", 4, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(f.value(2), 12345);
        f.clickItem("List_Jobs(2)", 4, Qt::ShiftModifier);
        QCOMPARE(f.value(2), f.factory(2));
        QCOMPARE(f.get<screens::CheckList>("List_Jobs(2)")->background(), kWhite);
    }

    void combosStoreKindsAndRoomCodes() {
        Fixture f;
        f.pick("Cmd_GoodGuys(8)");
        f.choose("Combo_Entry(2)", "Temple");
        QCOMPARE(f.value(64), 10);
        QCOMPARE(f.get<QComboBox>("Combo_Entry(2)")->currentText(), QString("Temple"));
        f.choose("Combo_Entry(2)", "Portal");
        QCOMPARE(f.value(64), 1);
        f.choose("Combo_Training", "Dragon");
        QCOMPARE(f.value(35), 17);
        f.choose("Combo_Training", "No Change");
        QCOMPARE(f.value(35), 0);
        f.choose("Combo_Hated", "Imp");
        QCOMPARE(f.value(71), 23);
        // A kind that no item stands for selects none, and only a pick stores.
        f.put(71, 31);
        auto* hated = f.get<QComboBox>("Combo_Hated");
        QCOMPARE(hated->currentIndex(), -1);
        QCOMPARE(screens::backgroundOf(hated), kChangedChoice);
        QCOMPARE(f.value(71), 31);
    }

    void flagsAngerAndAttack() {
        Fixture f;
        f.pick("Cmd_BadGuys(5)"); // Fly
        auto* angry = f.get<QCheckBox>("Check_Angry");
        QVERIFY(angry->isChecked());
        QTest::mouseClick(angry, Qt::LeftButton);
        QCOMPARE(f.value(15), 0);
        QTest::mouseClick(angry, Qt::LeftButton);
        QCOMPARE(f.value(15), 8000);
        f.pick("Cmd_BadGuys(1)"); // Imp
        QCOMPARE(f.value(15), 0);
        QTest::mouseClick(angry, Qt::LeftButton);
        QCOMPARE(f.value(15), 4000);
        QCOMPARE(screens::textColourOf(angry), kChangedFlag);

        auto* wind = f.get<QCheckBox>("Check_Misc_2");
        f.put(75, 1);
        QVERIFY(!wind->isChecked());
        QTest::mouseClick(wind, Qt::LeftButton);
        QCOMPARE(f.value(75), 0);
        QTest::mouseClick(wind, Qt::LeftButton);
        QCOMPARE(f.value(75), 1);

        auto* attack = f.get<PressLabel>("Label_Attack");
        f.put(38, 1);
        QCOMPARE(attack->text(), QString("Melee"));
        QTest::mouseClick(attack, Qt::LeftButton);
        QCOMPARE(attack->text(), QString("Ranged"));
        QCOMPARE(f.value(38), 2);
        f.put(38, 5);
        QCOMPARE(attack->text(), QString("Ranged"));
        QTest::mouseClick(attack, Qt::RightButton);
        QCOMPARE(attack->text(), QString("Melee"));
        QCOMPARE(f.value(38), 1);
    }

    void restoringDefaultsClearsEveryMark() {
        Fixture f;
        f.pick("Cmd_GoodGuys(8)");
        for (int field = 1; field <= 75; ++field)
            f.store.set(SlotRef::creature(1, field), f.factory(field) + 3);
        f.context.refreshAll();
        QCOMPARE(screens::backgroundOf(f.get<QComboBox>("Combo_Entry(1)")), kChangedChoice);
        f.store.restoreDefaults();
        f.context.refreshAll();
        for (PressLabel* label : f.screen()->findChildren<PressLabel*>())
            QVERIFY2(label->background() == kWhite, qPrintable(label->objectName()));
        for (auto* list : f.screen()->findChildren<screens::CheckList*>())
            QCOMPARE(list->background(), kWhite);
        for (QComboBox* combo : f.screen()->findChildren<QComboBox*>())
            QCOMPARE(screens::backgroundOf(combo), kWhite);
        for (QCheckBox* check : f.screen()->findChildren<QCheckBox*>())
            QCOMPARE(screens::textColourOf(check), kBlack);
    }
};

QTEST_MAIN(CreatureScreenTest)
#include "creature_screen_test.moc"
