#include <QtTest>

#include "screens/creatures/ability_picker.h"
#include "screens/creatures/creature_picker.h"
#include "screens/creatures/creature_screen.h"
#include "screens/screen_test_support.h"
#include "screens/value_row.h"

using namespace tavrel;
using screens::PressLabel;

namespace {

const QColor kBlack(0, 0, 0), kGrey(125, 125, 125), kRed(225, 0, 0), kChangedFlag(0, 125, 0);

struct Fixture : test::ScreenFixture {
    QWidget* creatures;
    Fixture() {
        store.restoreDefaults();
        creatures = screens::openCreaturePicker(context);
    }
    void pick(const char* button) {
        QTest::mouseClick(test::button(creatures, button), Qt::LeftButton);
    }
    static PressLabel* label(QWidget* window, const QString& name) {
        auto* found = qobject_cast<PressLabel*>(test::child(window, name));
        Q_ASSERT(found);
        return found;
    }
    PressLabel* onScreen(const char* name, int slot) const {
        return label(context.window(screens::kCreatureSettingsName),
                     QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(slot));
    }
    QWidget* dialog() const {
        QWidget* shown = context.window(screens::kInputAbilityName);
        return shown && shown->isVisible() ? shown : nullptr;
    }
    QString current() const { return test::textOf(dialog(), "Label_CurrentAbility"); }
    void choose(int code) {
        QTest::mouseClick(label(dialog(), QStringLiteral("Label_Ability(%1)").arg(code)),
                          Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::int32_t code(int kind, int slot) const {
        return store.value(SlotRef::creature(kind, 38 + slot));
    }
    void put(int kind, int slot, std::int32_t code) {
        store.set(SlotRef::creature(kind, 38 + slot), code);
        context.refreshAll();
    }
};

} // namespace

class AbilityPickerTest : public QObject {
    Q_OBJECT
private slots:
    void stepsAndResetsOnTheCreatureScreen() {
        Fixture f;
        f.pick("Cmd_GoodGuys(8)"); // Wizard
        f.put(1, 4, 0);
        QCOMPARE(f.onScreen("Label_Ability", 4)->text(), QString("None"));
        QCOMPARE(f.onScreen("Label_Stat", 26)->textColour(), kGrey);
        for (int i = 0; i < 10; ++i)
            QTest::mouseClick(f.onScreen("Label_Next", 4), Qt::LeftButton);
        QCOMPARE(f.code(1, 4), 10);
        QCOMPARE(f.onScreen("Label_Ability", 4)->text(), QString("Reflect"));
        QCOMPARE(f.onScreen("Label_Stat", 26)->textColour(), kBlack);
        f.put(1, 4, 37);
        QTest::mouseClick(f.onScreen("Label_Next", 4), Qt::RightButton);
        QCOMPARE(f.code(1, 4), 37);
        f.put(1, 4, 0);
        QTest::mouseClick(f.onScreen("Label_Previous", 4), Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(f.code(1, 4), 0);
        f.put(1, 4, 18); // from a file
        QCOMPARE(f.onScreen("Label_Ability", 4)->text(), QString("Unknown"));
        QCOMPARE(f.onScreen("Label_Ability", 4)->textColour(), kRed);
        QTest::mouseClick(f.onScreen("Label_Next", 4), Qt::LeftButton);
        QCOMPARE(f.onScreen("Label_Ability", 4)->text(), QString("Missile (P)"));
        QCOMPARE(f.onScreen("Label_Ability", 4)->textColour(), kChangedFlag);

        const std::int32_t factory = f.store.defaultValue(SlotRef::creature(1, 42));
        for (Qt::KeyboardModifier modifier :
             {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier}) {
            f.put(1, 4, 31);
            QTest::mouseClick(f.onScreen("Label_Ability", 4), Qt::RightButton, modifier);
            QCOMPARE(f.code(1, 4), factory);
            QVERIFY(!f.dialog());
        }
    }

    void thePickerStoresIntoTheSlotItWasOpenedFor() {
        Fixture f;
        f.pick("Cmd_GoodGuys(8)"); // Wizard
        f.put(1, 2, 5);
        QTest::mouseClick(f.onScreen("Label_Ability", 2), Qt::LeftButton);
        QWidget* dialog = f.dialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Select Ability"));
        QCOMPARE(f.current(), QString("Fireball (Projectile)"));
        // Another name while it is open retargets the same dialog.
        f.put(1, 6, 3);
        QTest::mouseClick(f.onScreen("Label_Ability", 6), Qt::LeftButton);
        QCOMPARE(f.dialog(), dialog);
        QCOMPARE(f.current(), QString("Unknown"));
        f.put(1, 6, 40);
        QCOMPARE(f.current(), QString("Unknown"));
        QTest::mouseClick(f.onScreen("Label_Ability", 2), Qt::LeftButton);
        QCOMPARE(f.current(), QString("Fireball (Projectile)"));

        const std::int32_t dragon = f.code(17, 2);
        f.pick("Cmd_BadGuys(10)"); // Dragon
        f.choose(17);              // Drain
        QCOMPARE(f.code(1, 2), 17);
        QCOMPARE(f.code(17, 2), dragon);
        QVERIFY(!f.dialog());

        f.pick("Cmd_GoodGuys(8)");
        QTest::mouseClick(f.onScreen("Label_Ability", 2), Qt::LeftButton);
        f.choose(32);
        QCOMPARE(f.code(1, 2), 32);
        QCOMPARE(f.onScreen("Label_Ability", 2)->text(), QString("Damage Tiles"));
        QCOMPARE(f.onScreen("Label_Ability", 2)->textColour(), kRed);
        for (const auto& [code, name] : {std::pair{0, "None"}, {39, "Dig"}}) {
            QTest::mouseClick(f.onScreen("Label_Ability", 2), Qt::LeftButton);
            f.choose(code);
            QCOMPARE(f.code(1, 2), code);
            QCOMPARE(f.onScreen("Label_Ability", 2)->text(), QString(name));
        }
    }

    void restoringDefaultsUpdatesTheCurrentAbility() {
        Fixture f;
        f.pick("Cmd_GoodGuys(8)");
        f.put(1, 1, 36);
        QTest::mouseClick(f.onScreen("Label_Ability", 1), Qt::LeftButton);
        QCOMPARE(f.current(), QString("Eat (Without Food)"));
        f.store.restoreDefaults();
        f.context.refreshAll();
        QCOMPARE(f.current(), QString("Melee (Fist)")); // the Wizard's first ability
    }
};

QTEST_MAIN(AbilityPickerTest)
#include "ability_picker_test.moc"
