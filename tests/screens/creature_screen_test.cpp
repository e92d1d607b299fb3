#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>

#include <variant>

#include "screens/creatures/ability_picker.h"
#include "screens/creatures/creature_picker.h"
#include "screens/creatures/creature_screen.h"
#include "screens/input_value_dialog.h"
#include "screens/screen_test_support.h"
#include "screens/widgets/check_list.h"
#include "screens/widgets/marking.h"

using namespace tavrel;
using screens::PressLabel;

namespace {

const QColor kWhite(255, 255, 255), kChangedChoice(220, 255, 220), kChangedFlag(0, 125, 0),
    kBlack(0, 0, 0), kBelow(255, 220, 220), kGrey(125, 125, 125), kRed(225, 0, 0);
constexpr int kDragon = 17;
constexpr std::int32_t kFactory = -1; // in the tables below: the Dragon's factory value
using Items = QList<std::pair<QString, int>>;

// The picker's buttons, bad guys then good guys, with the kinds they open; items 1 to
// 30 of the training and hated creature lists.
const Items kCreatures = {
    {"Imp", 23},           {"Ghost", 28},      {"Skeleton", 15},      {"Beetle", 24},
    {"Fly", 19},           {"Spider", 26},     {"Hellhound", 27},     {"Warlock", 21},
    {"Demonspawn", 18},    {"Dragon", 17},     {"Vampire", 25},       {"Orc", 30},
    {"Troll", 16},         {"Bile Demon", 22}, {"Dark Mistress", 20}, {"Tentacle", 29},
    {"Horned Reaper", 14}, {"Tunneller", 8},   {"Dwarf", 5},          {"Barbarian", 2},
    {"Giant", 10},         {"Thief", 12},      {"Archer", 3},         {"Samurai", 13},
    {"Wizard", 1},         {"Monk", 4},        {"Witch", 9},          {"Fairy", 11},
    {"Knight", 6},         {"Avatar", 7}};
const Items kRooms = {{"None", 0},      {"Treasury", 2},        {"Lair", 14},
                      {"Hatchery", 13}, {"Training Room", 6},   {"Library", 3},
                      {"Bridge", 15},   {"Guard Post", 16},     {"Workshop", 8},
                      {"Prison", 4},    {"Torture Chamber", 5}, {"Barracks", 12},
                      {"Temple", 10},   {"Graveyard", 11},      {"Scavenger Room", 9},
                      {"Portal", 1},    {"Dungeon Heart", 7}};
// Item j of a job list stands for 2 to the power j.
const QStringList kJobs = {
    "Tunnel", "Dig",        "Research",   "Train", "Manufacture",  "Scavenge",   "Kinky Torture",
    "Fight",  "Seek Enemy", "Guard Duty", "Group", "Barrack Duty", "Use Temple", "Freeze Prisoners",
    "Explore"};
const QStringList kAngryJobs = {"Attack Creatures", "Vandalise Rooms", "Leave Dungeon",
                                "Steal Gold",       "Damage Walls",    "Become Psycho!",
                                "Encourage Mutiny", "Join The Enemy"};
// The creature field of value rows 1 to 50.
const int kRowFields[] = {5,  7,  6,  10, 8,  12, 11, 9,  21, 59, 61, 18, 26, 27, 28, 29, 30,
                          31, 32, 33, 34, 36, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 60, 23,
                          22, 25, 66, 67, 68, 70, 16, 20, 19, 69, 24, 62, 74, 17, 13, 14};
// The ability picker's names in reading order, 17 in the left column, and their codes.
const QStringList kAbilityNames =
    QString("None|Dig|Melee (Fist)|Melee (Sword)|Arrow (Projectile)|Fireball (Projectile)|"
            "Meteor (Projectile)|Freeze (Projectile)|Armour|Lightning|Reflect|Heal|"
            "Poison Cloud (Projectile)|Conceal|Teleport|Speed|Slow (Projectile)|Drain|"
            "Missile (Projectile)|Homing Missile (Projectile)|Flame Breath|Wind (Projectiles)|"
            "Light|Fly|Sight|Grenade (Projectile)|Hailstorm (Projectiles)|Word of Power|"
            "Poison Gas|Claim Any Tile|Damage Tiles (Claimed)|Eat (Without Food)|Damage Any Tile")
        .split('|');
const int kAbilityCodes[] = {0,  39, 2,  1,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16,
                             17, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 31, 32, 36, 37};
const QList<int> kRedAbilities = {31, 32, 36, 37};

// The creature screen's name for an ability: "(P)" for a projectile, and no "(Claimed)".
QString screenName(QString picker) {
    return picker.replace(QRegularExpression(" \\(Projectiles?\\)"), " (P)").remove(" (Claimed)");
}

// What a control shows, and its mark: the text colour of a check box or ability, else the
// background.
std::pair<QString, QColor> seen(QWidget* control) {
    if (auto* list = qobject_cast<screens::CheckList*>(control)) {
        QStringList checked;
        for (int item = 0; item < list->count(); ++item)
            if (list->isChecked(item))
                checked << list->model()->index(item, 0).data().toString();
        return {checked.join('|'), list->background()};
    }
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return {combo->currentText(), screens::backgroundOf(combo)};
    if (auto* check = qobject_cast<QCheckBox*>(control))
        return {(check->isChecked() ? "[x] " : "[ ] ") + check->text(),
                screens::textColourOf(check)};
    auto* label = qobject_cast<PressLabel*>(control);
    return {label->text(), control->objectName().startsWith("Label_Ability") ? label->textColour()
                                                                             : label->background()};
}

// Whether places in reading order form two columns, each top to bottom, the second
// (from place `second` on) right of the first.
bool inTwoColumns(const QList<QPoint>& places, int second) {
    for (int n = 1; n < places.size(); ++n)
        if (n == second ? places[n].x() <= places[n - 1].x() || places[n].y() >= places[n - 1].y()
                        : places[n].x() != places[n - 1].x() || places[n].y() <= places[n - 1].y())
            return false;
    return true;
}

struct Fixture : test::ScreenFixture {
    QWidget* picker;
    Fixture() {
        store.restoreDefaults();
        picker = screens::openCreaturePicker(context);
    }
    QWidget* pick(const char* button) {
        QTest::mouseClick(test::button(picker, button), Qt::LeftButton);
        return screen();
    }
    QWidget* screen() const { return context.window(screens::kCreatureSettingsName); }
    template <typename T = QWidget> T* get(const QString& name) const {
        return qobject_cast<T*>(test::child(screen(), name));
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
    QWidget* dialog() const { return context.window(screens::kInputAbilityName); }
    PressLabel* offered(int code) const {
        return dialog()->findChild<PressLabel*>(QStringLiteral("Label_Ability(%1)").arg(code));
    }
    QString current() const { return test::textOf(dialog(), "Label_CurrentAbility"); }
    void choose(int code) {
        QTest::mouseClick(offered(code), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void click(QWidget* control, Qt::MouseButton button, Qt::KeyboardModifiers mods, int item) {
        if (auto* view = qobject_cast<QListView*>(control))
            QTest::mouseClick(view->viewport(), button, mods,
                              view->visualRect(view->model()->index(item, 0)).center());
        else
            QTest::mouseClick(control, button, mods);
    }
    void choose(QComboBox* combo, int item) {
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        view->scrollTo(view->model()->index(item, 0));
        click(view, Qt::LeftButton, {}, item);
    }
};

} // namespace

class CreatureScreenTest : public QObject {
    Q_OBJECT
private slots:
    void thePickersButtonsStandInTwoColumnsAndSwitchOneScreen() {
        Fixture f;
        QList<QPoint> places;
        for (int i = 0; i < 30; ++i) {
            const bool bad = i < 17;
            const auto& [caption, kind] = kCreatures[i];
            QPushButton* button =
                test::button(f.picker, bad ? QStringLiteral("Cmd_BadGuys(%1)").arg(i + 1)
                                           : QStringLiteral("Cmd_GoodGuys(%1)").arg(i - 16));
            QCOMPARE(button->text(), caption);
            QCOMPARE(qobject_cast<QGroupBox*>(button->parentWidget())->title(),
                     bad ? "Bad Guys" : "Good Guys");
            places << button->mapTo(f.picker, QPoint());
            QWidget* shown = f.screen();
            QTest::mouseClick(button, Qt::LeftButton);
            QVERIFY(!shown || f.screen() == shown);
            QCOMPARE(f.state.SelectedCreature, kind);
            QCOMPARE(f.screen()->windowTitle(), "Creature Settings (" + caption + ")");
        }
        QVERIFY(inTwoColumns(places, 17));
        // Asked for again, the screen comes to the front (the offscreen platform answers a
        // raise with this warning, its only trace there).
        f.picker->activateWindow();
        QCoreApplication::processEvents();
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
        f.pick("Cmd_GoodGuys(8)");
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::activeWindow(), f.screen());
        f.screen()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.state.CreatureScreenOpen && f.picker->isVisible());
        f.context.refreshAll(); // a closed screen is no longer drawn
        QCOMPARE(f.pick("Cmd_BadGuys(5)")->windowTitle(), QString("Creature Settings (Fly)"));
    }

    // A distinct value in each of the Dragon's 75 fields, and what every control shows.
    void everyFieldShowsOnItsControl() {
        const std::tuple<int, std::int32_t, const char*, QString, QColor> cases[] = {
            {1, 32768 + 5, "List_Jobs(1)", "Tunnel|Research", kChangedChoice}, // 32768: no item
            {2, 16386, "List_Jobs(2)", "Dig|Explore", kChangedChoice},
            {3, 1032, "List_Jobs(3)", "Train|Group", kChangedChoice},
            {4, 129, "List_AngryJobs", "Attack Creatures|Join The Enemy", kChangedChoice},
            {15, 7, "Check_Angry", "[x] Can Become Angry", kChangedFlag},
            {35, 21, "Combo_Training", "Warlock", kChangedChoice},
            {37, 1, "Check_Misc_1", "[x] Immune to poison gas", kChangedFlag},
            {38, 5, "Label_Attack", "Ranged", kChangedChoice},
            {39, 22, "Label_Ability(1)", "Wind (P)", kChangedFlag},
            {40, 31, "Label_Ability(2)", "Claim Any Tile", kRed},
            {41, 18, "Label_Ability(3)", "Unknown", kRed},
            {42, 0, "Label_Ability(4)", "None", kGrey},
            {43, 5, "Label_Ability(5)", "Fireball (P)", kChangedFlag},
            {44, 32, "Label_Ability(6)", "Damage Tiles", kRed},
            {45, 6, "Label_Ability(7)", "Meteor (P)", kBlack}, // the Dragon's own
            {46, 36, "Label_Ability(8)", "Eat (Without Food)", kRed},
            {47, 37, "Label_Ability(9)", "Damage Any Tile", kRed},
            {48, 40, "Label_Ability(10)", "Unknown", kRed},
            {63, 10, "Combo_Entry(1)", "Temple", kChangedChoice},
            {64, 1, "Combo_Entry(2)", "Portal", kChangedChoice},
            {65, -1, "Combo_Entry(3)", "", kChangedChoice}, // no item stands for -1 or 31
            {71, 31, "Combo_Hated", "", kChangedChoice},
            {72, 1, "Check_Misc_3", "[x] Can see invisible creatures", kChangedFlag},
            {73, 1, "Check_Misc_4", "[x] Can go through locked doors", kChangedFlag},
            {75, 0, "Check_Misc_2", "[x] Can not be blown away by wind", kChangedFlag},
        };
        Fixture f;
        f.pick("Cmd_BadGuys(10)");
        for (const auto& [field, value, control, shows, look] : cases)
            f.store.set(SlotRef::creature(kDragon, field), value);
        for (int row = 1; row <= 50; ++row)
            f.store.set(SlotRef::creature(kDragon, kRowFields[row - 1]), 1000 + row);
        f.context.refreshAll();
        for (int row = 1; row <= 50; ++row) { // the level of no ability is grey as well
            PressLabel* stat = f.label(QStringLiteral("Label_Stat(%1)").arg(row));
            QCOMPARE(std::pair(stat->text(), stat->textColour()),
                     std::pair(QString::number(1000 + row), row == 26 ? kGrey : kBlack));
        }
        for (const auto& [field, value, control, shows, look] : cases)
            QCOMPARE(seen(f.get(control)), std::pair(shows, look));

        QTest::mouseClick(f.label("Label_Ability(1)"), Qt::LeftButton);
        QCOMPARE(f.current(), QString("Wind (Projectiles)"));
        f.store.restoreDefaults();
        f.context.refreshAll();
        QCOMPARE(f.current(), QString("Flame Breath")); // the Dragon's first ability
        for (QWidget* control :
             f.screen()->findChildren<QWidget*>(QRegularExpression("^(Label|List|Combo|Check)_")))
            QVERIFY2(!(QList{kChangedChoice, kChangedFlag, kBelow}.contains(seen(control).second)),
                     qPrintable(control->objectName()));
    }

    // Every job, combo item and flag the user can choose, and what it stores and shows.
    void everyChoiceStoresWhatItShows() {
        Fixture f;
        f.pick("Cmd_BadGuys(10)");
        // Each job out of the Dragon's own set and back again.
        int field = 0;
        for (const char* name :
             {"List_Jobs(1)", "List_Jobs(2)", "List_Jobs(3)", "List_AngryJobs"}) {
            const QStringList& captions = ++field == 4 ? kAngryJobs : kJobs;
            auto* list = f.get<screens::CheckList>(name);
            QCOMPARE(list->count(), captions.size());
            for (int item = 0; item < captions.size(); ++item)
                for (bool out : {true, false}) {
                    f.click(list, Qt::LeftButton, {}, item);
                    const std::int32_t stored = f.factory(field) ^ (out ? 1 << item : 0);
                    QCOMPARE(f.value(field), stored);
                    QCOMPARE(list->model()->index(item, 0).data().toString(), captions[item]);
                    QCOMPARE(std::pair(list->isChecked(item), list->background()),
                             std::pair(bool(stored & 1 << item), out ? kChangedChoice : kWhite));
                }
        }
        for (const int field : {35, 71, 63, 64, 65}) {
            const Items items = field > 62 && field < 71
                                    ? kRooms
                                    : Items{{field == 35 ? "No Change" : "None", 0}} + kCreatures;
            auto* combo =
                f.get<QComboBox>(field == 35   ? "Combo_Training"
                                 : field == 71 ? "Combo_Hated"
                                               : QStringLiteral("Combo_Entry(%1)").arg(field - 62));
            QCOMPARE(combo->count(), items.size());
            for (int item = 0; item < items.size(); ++item) {
                const auto& [caption, stored] = items[item];
                QCOMPARE(combo->itemText(item), caption);
                f.choose(combo, item);
                QCOMPARE(f.value(field), stored);
                QCOMPARE(seen(combo),
                         std::pair(caption, stored == f.factory(field) ? kWhite : kChangedChoice));
            }
        }
        // Each flag on and off again, and the values it stores.
        const std::tuple<const char*, const char*, int, std::int32_t, std::int32_t> flags[] = {
            {"Cmd_BadGuys(5)", "Check_Misc_1", 37, 1, 0}, // the Fly
            {"Cmd_BadGuys(5)", "Check_Misc_2", 75, 0, 1},
            {"Cmd_BadGuys(5)", "Check_Misc_3", 72, 1, 0},
            {"Cmd_BadGuys(5)", "Check_Misc_4", 73, 1, 0},
            {"Cmd_BadGuys(5)", "Check_Angry", 15, 8000, 0},
            {"Cmd_BadGuys(1)", "Check_Angry", 15, 4000, 0}}; // the Imp, never angry by default
        for (const auto& [kind, name, field, on, off] : flags) {
            f.pick(kind);
            f.put(field, off);
            for (bool checking : {true, false}) {
                QTest::mouseClick(f.get(name), Qt::LeftButton);
                const std::int32_t stored = checking ? on : off;
                QCOMPARE(f.value(field), stored);
                QCOMPARE(std::pair(f.get<QCheckBox>(name)->isChecked(), seen(f.get(name)).second),
                         std::pair(checking, stored == f.factory(field) ? kBlack : kChangedFlag));
            }
        }
    }

    // Every key the tooltips promise, and the clicks of the rules, on the Dragon's screen.
    void everyKeyAndClickActsOnItsControl() {
        const Qt::KeyboardModifiers none, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
        constexpr std::int32_t kOpens = -2; // unchanged; opens the input dialog or ability picker
        const std::tuple<const char*, int, std::int32_t, std::variant<Qt::Key, Qt::MouseButton>,
                         Qt::KeyboardModifiers, std::int32_t>
            cases[] = {
                // Armour (field 7, 0 to 255).
                {"Label_Stat(2)", 7, 50, Qt::Key_Up, none, 51},
                {"Label_Stat(2)", 7, 50, Qt::Key_Down, none, 49},
                {"Label_Stat(2)", 7, 50, Qt::Key_Plus, shift, 51}, // typing "+" takes Shift
                {"Label_Stat(2)", 7, 50, Qt::Key_Minus, none, 49},
                {"Label_Stat(2)", 7, 50, Qt::Key_PageUp, none, 60},
                {"Label_Stat(2)", 7, 50, Qt::Key_PageDown, none, 40},
                {"Label_Stat(2)", 7, 50, Qt::Key_Up, shift, 150},
                {"Label_Stat(2)", 7, 50, Qt::Key_PageUp, shift, 255},
                {"Label_Stat(2)", 7, 1050, Qt::Key_PageDown, shift, 50},
                {"Label_Stat(2)", 7, 50, Qt::Key_Backspace, ctrl, kFactory},
                {"Label_Stat(2)", 7, 50, Qt::Key_Return, none, kOpens},
                {"Label_Stat(2)", 7, 50, Qt::Key_Enter, Qt::KeypadModifier, kOpens},
                {"Label_Stat(2)", 7, 50, Qt::Key_F2, none, kOpens},
                // Ability 4 (field 42) steps in the picker's order, whatever the modifiers.
                {"Label_Ability(4)", 42, 0, Qt::Key_Up, none, 39},
                {"Label_Ability(4)", 42, 39, Qt::Key_Down, none, 0},
                {"Label_Ability(4)", 42, 5, Qt::Key_Return, none, kOpens},
                {"Label_Ability(4)", 42, 5, Qt::Key_F2, none, kOpens},
                {"Label_Ability(4)", 42, 31, Qt::Key_Backspace, ctrl, kFactory},
                {"Label_Ability(4)", 42, 31, Qt::LeftButton, ctrl, kFactory},
                {"Label_Ability(4)", 42, 31, Qt::RightButton, Qt::AltModifier, kFactory},
                {"Label_Previous(4)", 42, 10, Qt::RightButton, shift, 9},
                // The attack preference switches on a click, Up, Down and Enter.
                {"Label_Attack", 38, 1, Qt::LeftButton, none, 2},
                {"Label_Attack", 38, 5, Qt::Key_Up, none, 1},
                {"Label_Attack", 38, 2, Qt::Key_Down, none, 1},
                {"Label_Attack", 38, 1, Qt::Key_Return, none, 2},
                // Space toggles a list's current item, the first after a redraw; a release
                // with Shift alone restores the factory jobs.
                {"List_Jobs(1)", 1, 0, Qt::Key_Space, none, 1},
                {"List_AngryJobs", 4, 0, Qt::Key_Space, none, 1},
                {"List_Jobs(2)", 2, 32768 + 12345, Qt::LeftButton, shift | ctrl, 32768 + 12344},
                {"List_Jobs(2)", 2, 12345, Qt::RightButton, shift, kFactory},
            };
        const QString input = screens::kInputValueName, picker = screens::kInputAbilityName;
        Fixture f;
        f.pick("Cmd_BadGuys(10)");
        int n = 0;
        for (const auto& [control, field, start, act, modifiers, stored] : cases) {
            const QByteArray row = QByteArray::number(n++) + ": " + control;
            f.put(field, start);
            if (const auto* key = std::get_if<Qt::Key>(&act))
                QTest::keyClick(f.get(control), *key, modifiers);
            else
                f.click(f.get(control), std::get<Qt::MouseButton>(act), modifiers, 0);
            QString opened;
            for (const QString& name : {input, picker})
                if (QWidget* window = f.context.window(name); window && window->isVisible()) {
                    opened = name;
                    window->close();
                }
            QVERIFY2(f.value(field) == (stored == kFactory ? f.factory(field)
                                        : stored == kOpens ? start
                                                           : stored),
                     row);
            QVERIFY2(opened == (stored != kOpens ? QString() : field == 42 ? picker : input), row);
        }
    }

    void theAbilityPickerOffersEveryNameInItsPlaceAndColour() {
        Fixture f;
        f.pick("Cmd_BadGuys(10)");
        QList<QPoint> places;
        for (int n = 0; n < 33; ++n) {
            const QString& name = kAbilityNames[n];
            const int code = kAbilityCodes[n];
            const bool red = kRedAbilities.contains(code);
            QTest::mouseClick(f.label("Label_Ability(3)"), Qt::LeftButton);
            QCOMPARE(seen(f.offered(code)), std::pair(name, code == 0 ? kGrey
                                                            : red     ? kRed
                                                                      : kBlack));
            places << f.offered(code)->mapTo(f.dialog(), QPoint());
            f.choose(code);
            QCOMPARE(std::pair(f.value(41), f.dialog()), std::pair(code, (QWidget*)nullptr));
            QCOMPARE(seen(f.get("Label_Ability(3)")),
                     std::pair(screenName(name), red          ? kRed
                                                 : code == 26 ? kBlack // the Dragon's own
                                                              : kChangedFlag));
        }
        QVERIFY(inTwoColumns(places, 17));
        // The open picker's line follows "+" and "-" on its row through the whole order.
        f.put(41, 0);
        QTest::mouseClick(f.label("Label_Ability(3)"), Qt::LeftButton);
        QWidget* dialog = f.dialog();
        for (const QString step : {"Label_Next(3)", "Label_Previous(3)"})
            for (int n = 0; n < 33; ++n) {
                QTest::mouseClick(f.label(step), Qt::LeftButton);
                const int at = step.contains("Next") ? std::min(n + 1, 32) : std::max(31 - n, 0);
                QCOMPARE(std::pair(f.value(41), f.current()),
                         std::pair(kAbilityCodes[at], kAbilityNames[at]));
            }
        // A step on another row leaves the line alone; a name on another row retargets the
        // picker, which stores into that row whichever creature the screen shows by then.
        f.put(43, 3);
        QTest::mouseClick(f.label("Label_Next(5)"), Qt::LeftButton);
        QCOMPARE(std::pair(f.value(43), f.current()), std::pair(4, QString("None")));
        QTest::mouseClick(f.label("Label_Ability(5)"), Qt::LeftButton);
        QCOMPARE(std::tuple(f.dialog(), f.dialog()->windowTitle(), f.current()),
                 std::tuple(dialog, QString("Select Ability"), QString("Arrow (Projectile)")));
        f.put(43, 40);
        QCOMPARE(f.current(), QString("Unknown"));
        // So does the input dialog.
        QTest::mouseClick(f.label("Label_Stat(33)"), Qt::LeftButton); // Pay
        auto* box = f.context.window(screens::kInputValueName)->findChild<QLineEdit*>();
        f.pick("Cmd_GoodGuys(8)"); // the Wizard
        f.choose(17);              // Drain
        box->selectAll();
        QTest::keyClicks(box, "321");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(std::tuple(f.store.value(SlotRef::creature(kDragon, 43)),
                            f.store.value(SlotRef::creature(kDragon, 60)), f.value(43),
                            f.value(60)),
                 std::tuple(17, 321, f.factory(43), f.factory(60)));
    }
};

QTEST_MAIN(CreatureScreenTest)
#include "creature_screen_test.moc"
