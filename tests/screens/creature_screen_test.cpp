#include <QtTest>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>

#include "screens/creatures/ability_picker.h"
#include "screens/creatures/creature_picker.h"
#include "screens/creatures/creature_screen.h"
#include "screens/input_value_dialog.h"
#include "screens/screen_test_support.h"
#include "screens/widgets/check_list.h"
#include "screens/widgets/marking.h"
#include "screens/widgets/value_row.h"

using namespace tavrel;
using screens::PressLabel;

namespace {

const QColor kWhite(255, 255, 255), kChangedChoice(220, 255, 220), kChangedFlag(0, 125, 0),
    kBlack(0, 0, 0), kAbove(220, 255, 220), kGrey(125, 125, 125), kRed(225, 0, 0);

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
    PressLabel* label(const QString& name) const { return get<PressLabel>(name); }
    QWidget* dialog() const {
        QWidget* shown = context.window(screens::kInputAbilityName);
        return shown && shown->isVisible() ? shown : nullptr;
    }
    QString current() const { return test::textOf(dialog(), "Label_CurrentAbility"); }
    void choose(int code) {
        QTest::mouseClick(
            dialog()->findChild<PressLabel*>(QStringLiteral("Label_Ability(%1)").arg(code)),
            Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
        QVERIFY(view->isVisible());
        const QModelIndex index = view->model()->index(combo->findText(item), 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        QVERIFY(!view->isVisible());
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
        QCOMPARE(test::textOf(screen, "Label_Stat(1)"), QString::number(f.factory(5)));
        QCOMPARE(f.pick("Cmd_BadGuys(17)"), screen);
        QCOMPARE(screen->windowTitle(), QString("Creature Settings (Horned Reaper)"));
        QCOMPARE(f.state.SelectedCreature, 14);
        QCOMPARE(f.pick("Cmd_BadGuys(12)"), screen);
        QCOMPARE(screen->windowTitle(), QString("Creature Settings (Orc)"));

        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.state.CreatureScreenOpen && f.picker->isVisible());
        f.context.refreshAll(); // a closed screen is no longer drawn
        QCOMPARE(f.pick("Cmd_BadGuys(5)")->windowTitle(), QString("Creature Settings (Fly)"));
    }

    void valueRowsStepResetAndColourLikeTheTableScreens() {
        const struct {
            const char* label;
            int field;
            Qt::MouseButton button;
            Qt::KeyboardModifiers modifiers;
            int start, expected; // -1: the factory value
        } cases[] = {
            {"Label_More(2)", 7, Qt::RightButton, Qt::ShiftModifier, 100, 255}, // Armour
            {"Label_More(25)", 51, Qt::LeftButton, {}, 4, 5},                 // level of ability 3
            {"Label_Less(38)", 67, Qt::RightButton, {}, 30, 20},              // size of entrance 2
            {"Label_Stat(33)", 60, Qt::LeftButton, Qt::ShiftModifier, 7, -1}, // Pay
        };
        Fixture f;
        f.pick("Cmd_BadGuys(10)"); // Dragon
        for (const auto& c : cases) {
            f.put(c.field, c.start);
            QTest::mouseClick(f.get<PressLabel>(c.label), c.button, c.modifiers);
            QCOMPARE(f.value(c.field), c.expected < 0 ? f.factory(c.field) : c.expected);
        }
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
        QCOMPARE(f.get<screens::CheckList>("List_Jobs(1)")->background(), kChangedChoice);
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
        f.choose("Combo_Hated", "None");
        QCOMPARE(f.value(71), 0);
        // A kind that no item stands for selects none, and only a pick stores.
        f.put(71, 31);
        auto* hated = f.get<QComboBox>("Combo_Hated");
        QCOMPARE(hated->currentIndex(), -1);
        QCOMPARE(screens::backgroundOf(hated), kChangedChoice);
        QCOMPARE(f.value(71), 31);
    }

    void angerFlagAndAttack() {
        Fixture f;
        f.pick("Cmd_BadGuys(5)"); // Fly
        auto* angry = f.get<QCheckBox>("Check_Angry");
        QTest::mouseClick(angry, Qt::LeftButton);
        QCOMPARE(f.value(15), 0);
        QCOMPARE(screens::textColourOf(angry), kChangedFlag);

        auto* attack = f.get<PressLabel>("Label_Attack");
        f.put(38, 1);
        QTest::mouseClick(attack, Qt::LeftButton);
        QCOMPARE(attack->text(), QString("Ranged"));
        QCOMPARE(f.value(38), 2);
    }

    void abilityRowsStepAndReset() {
        Fixture f;
        f.pick("Cmd_GoodGuys(8)"); // Wizard
        f.put(42, 0);              // ability 4
        QCOMPARE(f.label("Label_Ability(4)")->text(), QString("None"));
        QCOMPARE(f.label("Label_Stat(26)")->textColour(), kGrey);
        for (int i = 0; i < 10; ++i)
            QTest::mouseClick(f.label("Label_Next(4)"), Qt::LeftButton);
        QCOMPARE(f.value(42), 10);
        QCOMPARE(f.label("Label_Ability(4)")->text(), QString("Reflect"));
        QCOMPARE(f.label("Label_Stat(26)")->textColour(), kBlack);
        QTest::mouseClick(f.label("Label_Previous(4)"), Qt::RightButton, Qt::ShiftModifier);
        QCOMPARE(f.value(42), 9);
        f.put(42, 18); // from a file
        QCOMPARE(f.label("Label_Ability(4)")->text(), QString("Unknown"));
        QCOMPARE(f.label("Label_Ability(4)")->textColour(), kRed);
        QTest::mouseClick(f.label("Label_Next(4)"), Qt::LeftButton);
        QCOMPARE(f.label("Label_Ability(4)")->text(), QString("Missile (P)"));
        QCOMPARE(f.label("Label_Ability(4)")->textColour(), kChangedFlag);
        for (auto modifier : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
            f.put(42, 31);
            QTest::mouseClick(f.label("Label_Ability(4)"), Qt::RightButton, modifier);
            QCOMPARE(f.value(42), f.factory(42));
            QVERIFY(!f.dialog());
        }
    }

    void theAbilityPickerStoresIntoTheSlotItWasOpenedFor() {
        Fixture f;
        f.pick("Cmd_GoodGuys(8)"); // Wizard
        f.put(40, 5);              // ability 2
        QTest::mouseClick(f.label("Label_Ability(2)"), Qt::LeftButton);
        QWidget* dialog = f.dialog();
        QCOMPARE(dialog->windowTitle(), QString("Select Ability"));
        QCOMPARE(f.current(), QString("Fireball (Projectile)"));
        // Another name while it is open retargets the same dialog.
        f.put(44, 3);
        QTest::mouseClick(f.label("Label_Ability(6)"), Qt::LeftButton);
        QCOMPARE(f.dialog(), dialog);
        QCOMPARE(f.current(), QString("Unknown"));
        f.put(44, 40);
        QCOMPARE(f.current(), QString("Unknown"));
        QTest::mouseClick(f.label("Label_Ability(2)"), Qt::LeftButton);

        const std::int32_t dragon = f.store.value(SlotRef::creature(17, 40));
        f.pick("Cmd_BadGuys(10)"); // Dragon
        f.choose(17);              // Drain
        QCOMPARE(f.store.value(SlotRef::creature(1, 40)), 17);
        QCOMPARE(f.value(40), dragon);
        QVERIFY(!f.dialog());
        f.pick("Cmd_GoodGuys(8)");
        QTest::mouseClick(f.label("Label_Ability(2)"), Qt::LeftButton);
        f.choose(32);
        QCOMPARE(f.value(40), 32);
        QCOMPARE(f.label("Label_Ability(2)")->text(), QString("Damage Tiles"));
        QCOMPARE(f.label("Label_Ability(2)")->textColour(), kRed);
    }

    void restoringDefaultsClearsEveryMark() {
        Fixture f;
        f.pick("Cmd_GoodGuys(8)");
        for (int field = 1; field <= 75; ++field)
            f.store.set(SlotRef::creature(1, field), f.factory(field) + 3);
        f.context.refreshAll();
        QTest::mouseClick(f.label("Label_Ability(1)"), Qt::LeftButton);
        QCOMPARE(f.current(), QString("Fireball (Projectile)"));
        f.store.restoreDefaults();
        f.context.refreshAll();
        QCOMPARE(f.current(), QString("Melee (Fist)")); // the Wizard's first ability
        for (int slot = 1; slot <= 10; ++slot)
            QVERIFY(f.label(QStringLiteral("Label_Ability(%1)").arg(slot))->textColour() !=
                    kChangedFlag);
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
