#include <QtTest>

#include <QGroupBox>
#include <QLabel>

#include <set>

#include "screens/screen_test_support.h"
#include "screens/settings_screens.h"
#include "screens/value_row.h"

using namespace tavrel;

namespace {

// One table of a screen: a frame, its column headings, and rows of a caption and one
// slot per column (0: an empty cell). A row with an empty caption is the second row
// of the group above it.
using Rows = std::vector<std::pair<const char*, std::vector<int>>>;

struct Table {
    const char* frame;
    std::vector<const char*> headings;
    Rows rows;
};

struct Screen {
    Category category;
    const char* title;
    std::vector<Table> tables;
};

std::vector<Screen> expectedScreens() {
    const Rows rooms = {
        {"Treasury:", {2, 3}},        {"Lair:", {25, 26}},           {"Hatchery:", {23, 24}},
        {"Training Room:", {10, 11}}, {"Library:", {4, 5}},          {"Bridge:", {27, 28}},
        {"Guard Post:", {29, 30}},    {"Workshop:", {13, 14}},       {"Prison:", {6, 7}},
        {"Torture Chamber:", {8, 9}}, {"Barracks:", {21, 22}},       {"Temple:", {17, 18}},
        {"Graveyard:", {19, 20}},     {"Scavenger Room:", {15, 16}}, {"Portal:", {0, 1}},
        {"Dungeon Heart:", {0, 12}}};
    // Each spell: its Time slot (0: none), `count` rising slots from `first` in the nine
    // level columns, and its power row's first slot (0: no power row).
    const struct {
        const char* caption;
        int time, first, count, power;
    } spellList[] = {{"Slap", 12, 0, 0, 0},           {"Create Imp", 0, 1, 9, 0},
                     {"Sight of Evil", 0, 13, 9, 22}, {"Speed", 0, 106, 9, 115},
                     {"Must Obey", 11, 10, 1, 0},     {"Call to Arms", 40, 31, 9, 41},
                     {"Conceal", 0, 142, 9, 151},     {"Hold Audience", 216, 87, 1, 0},
                     {"Cave In", 59, 50, 9, 60},      {"Heal", 0, 69, 9, 78},
                     {"Lightning", 0, 88, 9, 97},     {"Protect", 0, 124, 9, 133},
                     {"Chicken", 0, 178, 9, 187},     {"Disease", 0, 160, 9, 169},
                     {"Armageddon", 215, 214, 1, 0},  {"Destroy Walls", 0, 196, 9, 205}};
    Rows spells;
    const auto levels = [](int time, int first, int count) {
        std::vector<int> cells{time};
        for (int level = 0; level < 9; ++level)
            cells.push_back(level < count ? first + level : 0);
        return cells;
    };
    for (const auto& s : spellList) {
        spells.emplace_back(s.caption, levels(s.time, s.first, s.count));
        if (s.power)
            spells.emplace_back("", levels(0, s.power, 9));
    }
    const Rows researchSpells = {
        {"Create Imp:", {1}},     {"Sight of Evil:", {7}}, {"Speed:", {9}},
        {"Must Obey:", {10}},     {"Call to Arms:", {12}}, {"Conceal:", {14}},
        {"Hold Audience:", {16}}, {"Cave In:", {18}},      {"Heal:", {20}},
        {"Lightning:", {22}},     {"Protect:", {24}},      {"Chicken:", {26}},
        {"Disease:", {27}},       {"Armageddon:", {28}},   {"Destroy Walls:", {29}}};
    const Rows researchRooms = {
        {"Treasury:", {2}},         {"Lair:", {4}},           {"Hatchery:", {3}},
        {"Training Room:", {6}},    {"Library:", {5}},        {"Bridge:", {8}},
        {"Guard Post:", {11}},      {"Workshop:", {13}},      {"Prison:", {17}},
        {"Torture Chamber:", {19}}, {"Barracks:", {15}},      {"Temple:", {21}},
        {"Graveyard:", {23}},       {"Scavenger Room:", {25}}};
    const std::vector<const char*> trapColumns{"Work Required", "Shots", "Reload",       "Health",
                                               "Damage",        "Speed", "Selling Value"};
    const Rows traps = {
        {"Alarm:", {5, 6, 7, 0, 0, 0, 8}},          {"Gas:", {9, 10, 11, 0, 0, 0, 12}},
        {"Lightning:", {13, 14, 15, 0, 38, 0, 16}}, {"Lava:", {21, 22, 23, 0, 0, 0, 24}},
        {"Boulder:", {1, 2, 3, 37, 39, 40, 4}},     {"Word of Power:", {17, 18, 19, 0, 0, 0, 20}}};
    const Rows doors = {{"Wooden:", {25, 0, 0, 27, 0, 0, 26}},
                        {"Braced:", {28, 0, 0, 30, 0, 0, 29}},
                        {"Steel:", {31, 0, 0, 33, 0, 0, 32}},
                        {"Magic:", {34, 0, 0, 36, 0, 0, 35}}};
    const Rows abilities = {{"Dig:", {1, 2, 3, 0, 0}},
                            {"Melee:", {0, 4, 5, 0, 0}},
                            {"Arrow (Projectile):", {6, 7, 8, 0, 9}},
                            {"Fireball (Projectile):", {10, 11, 12, 0, 13}},
                            {"Meteor (Projectile):", {14, 15, 16, 0, 17}},
                            {"Freeze (Projectile):", {18, 19, 20, 21, 22}},
                            {"Armour:", {0, 23, 24, 25, 0}},
                            {"Lightning:", {26, 27, 28, 0, 0}},
                            {"Reflect:", {0, 29, 30, 31, 0}},
                            {"Heal:", {0, 32, 33, 0, 0}},
                            {"Poison Cloud (Projectile):", {34, 35, 36, 0, 37}},
                            {"Conceal:", {0, 38, 39, 40, 0}},
                            {"Teleport:", {0, 41, 42, 0, 0}},
                            {"Speed:", {0, 43, 44, 45, 0}},
                            {"Slow (Projectile):", {46, 47, 48, 49, 50}},
                            {"Drain:", {51, 52, 53, 0, 0}},
                            {"Missile (Projectile):", {54, 55, 56, 0, 57}},
                            {"Homing Missile (Projectile):", {58, 59, 60, 0, 61}},
                            {"Flame Breath:", {62, 63, 64, 0, 0}},
                            {"Wind (Projectiles):", {65, 66, 67, 0, 68}},
                            {"Fly:", {0, 69, 70, 71, 0}},
                            {"Sight:", {0, 72, 73, 74, 0}},
                            {"Grenade (Projectile):", {75, 76, 77, 0, 78}},
                            {"Hailstorm (Projectiles):", {79, 80, 81, 0, 82}},
                            {"Word of Power:", {0, 83, 84, 0, 0}},
                            {"Poison Gas:", {0, 85, 86, 87, 0}}};
    const Rows misc = {{"Default Portal Generation Speed:", {0, 1}},
                       {"Pay Day:", {0, 2}},
                       {"Doors Remain Open For:", {0, 3}},
                       {"Dungeon Heart Health:", {4, 0}},
                       {"Dungeon Heart Regeneration:", {5, 6}},
                       {"Health Lost When Tortured:", {7, 8}},
                       {"Training Cost Frequency:", {0, 9}},
                       {"Scavenging Cost Frequency:", {0, 10}},
                       {"Disease Transfer Probability (Percent):", {11, 0}},
                       {"Health Lost from Disease (Percent):", {12, 13}},
                       {"Bodies Needed to Create Vampire:", {14, 0}},
                       {"Time Before Bodies Disappear:", {0, 15}},
                       {"Imp Dig Damage:", {16, 0}},
                       {"Imp Dig Damage (Reinforced Wall):", {17, 0}}};
    const Rows blocks = {{"Rock:", {18, 0}}, {"Reinforced Wall:", {19, 0}}, {"Gold:", {20, 21}}};
    const Rows boulder = {{"Boulder Damage from Slap:", {22}},
                          {"Boulder Damage from Wall Impact:", {23}},
                          {"Boulder Damage from Room Impact:", {24}}};
    const Rows food = {{"Chicken Regeneration Speed:", {0, 25}},
                       {"Health Gained from Eating:", {26, 0}},
                       {"Health Lost When Hungry:", {27, 28}}};
    return {
        {Category::Room, "Room Settings", {{"Rooms", {"Cost", "Health"}, rooms}}},
        {Category::Magic,
         "Magic Settings",
         {{"Spells", {"Time", "1", "2", "3", "4", "5", "6", "7", "8", "9"}, spells}}},
        {Category::Research,
         "Research Settings",
         {{"Spells", {"Work Required"}, researchSpells},
          {"Rooms", {"Work Required"}, researchRooms}}},
        {Category::TrapDoor,
         "Trap and Door Settings",
         {{"Traps", trapColumns, traps}, {"Doors", trapColumns, doors}}},
        {Category::Ability,
         "Ability Settings",
         {{"Abilities", {"Damage", "Normal", "Possessed", "Duration", "Speed"}, abilities}}},
        {Category::Misc,
         "Miscellaneous Settings",
         {{"Miscellaneous", {"Value", "Time"}, misc},
          {"Blocks", {"Strength", "Value"}, blocks},
          {"Boulder Damage", {"Value"}, boulder},
          {"Food", {"Value", "Time"}, food}}},
    };
}

QGroupBox* frameTitled(QWidget* screen, const QString& title) {
    for (QGroupBox* box : screen->findChildren<QGroupBox*>())
        if (box->title() == title)
            return box;
    return nullptr;
}

// The plain text label (caption, heading or note) of a frame with this text.
QLabel* textLabel(QWidget* frame, const QString& text) {
    for (QLabel* label : frame->findChildren<QLabel*>())
        if (!qobject_cast<screens::PressLabel*>(label) && label->text() == text)
            return label;
    return nullptr;
}

QRect onScreen(QWidget* widget, QWidget* screen) {
    return QRect(widget->mapTo(screen, QPoint(0, 0)), widget->size());
}

} // namespace

class SettingsScreensTest : public QObject {
    Q_OBJECT
private slots:
    // Each value with its "-" and "+" stands in its caption's row (or the row below,
    // for a power row) and under its column's heading; every slot is shown once.
    void everyValueStandsInItsRowAndColumn() {
        for (const Screen& expected : expectedScreens()) {
            test::ScreenFixture f;
            QWidget* screen = screens::openSettingsScreen(f.context, expected.category);
            const QString name = screens::settingsScreenName(expected.category);
            QCOMPARE(screen->windowTitle(), QString(expected.title));
            std::set<int> seen;
            for (const Table& table : expected.tables) {
                QGroupBox* frame = frameTitled(screen, table.frame);
                QVERIFY2(frame, table.frame);
                // The doors' columns stand under the traps' headings.
                QGroupBox* headingFrame =
                    QString(table.frame) == "Doors" ? frameTitled(screen, "Traps") : frame;
                QLabel* caption = nullptr;
                int rowInGroup = 0;
                for (const auto& [text, cells] : table.rows) {
                    rowInGroup = *text ? 0 : rowInGroup + 1;
                    if (*text)
                        caption = textLabel(frame, text);
                    QVERIFY2(caption, text);
                    const QRect captionRect = onScreen(caption, screen);
                    for (std::size_t column = 0; column < cells.size(); ++column) {
                        const int slot = cells[column];
                        if (slot == 0)
                            continue;
                        const QString where =
                            QStringLiteral("%1 %2 %3 slot %4")
                                .arg(name, caption->text(), table.headings[column])
                                .arg(slot);
                        QVERIFY2(seen.insert(slot).second, qPrintable(where));
                        const auto cellOf = [&](const char* kind) {
                            auto* found = frame->findChild<QLabel*>(
                                QStringLiteral("%1(%2)").arg(QLatin1String(kind)).arg(slot));
                            return found ? onScreen(found, screen) : QRect();
                        };
                        const QRect cell = cellOf("Label_Stat");
                        const QRect less = cellOf("Label_Less");
                        const QRect more = cellOf("Label_More");
                        QVERIFY2(cell.isValid() && less.isValid() && more.isValid(),
                                 qPrintable(where));
                        const int rowOffset = cell.center().y() - captionRect.center().y();
                        QVERIFY2(rowOffset >= rowInGroup * cell.height() &&
                                     rowOffset <= rowInGroup * (cell.height() + 10),
                                 qPrintable(where));
                        QLabel* heading = textLabel(headingFrame, table.headings[column]);
                        QVERIFY2(heading, qPrintable(where));
                        const QRect headingRect = onScreen(heading, screen);
                        QVERIFY2(std::abs(cell.center().x() - headingRect.center().x()) <=
                                         cell.width() / 4 &&
                                     cell.top() > headingRect.bottom(),
                                 qPrintable(where));
                        QVERIFY2(less.top() == cell.top() && more.top() == cell.top() &&
                                     less.right() < cell.left() && more.left() > cell.right() &&
                                     more.left() - less.right() < 2 * cell.width(),
                                 qPrintable(where));
                    }
                }
            }
            QCOMPARE(int(seen.size()), slotCount(expected.category));
            QCOMPARE(*seen.rbegin(), slotCount(expected.category));
        }
    }

    void everyTextIsWholeAndNothingOverlaps() {
        for (Category category : {Category::Room, Category::Magic, Category::Research,
                                  Category::TrapDoor, Category::Ability, Category::Misc}) {
            test::ScreenFixture f;
            QWidget* screen = screens::openSettingsScreen(f.context, category);
            const QString name = screens::settingsScreenName(category);
            const auto frames = screen->findChildren<QGroupBox*>();
            for (QGroupBox* frame : frames) {
                QVERIFY2(screen->rect().contains(onScreen(frame, screen)),
                         qPrintable(frame->title()));
                for (QGroupBox* other : frames)
                    QVERIFY(other == frame || !other->geometry().intersects(frame->geometry()));
                const auto labels = frame->findChildren<QLabel*>();
                for (QLabel* label : labels) {
                    const QString what = name + " " + label->objectName() + " " + label->text();
                    QVERIFY2(frame->rect().contains(label->geometry()), qPrintable(what));
                    QVERIFY2(label->wordWrap() ||
                                 label->fontMetrics().horizontalAdvance(label->text()) <=
                                     label->contentsRect().width(),
                             qPrintable(what));
                    for (QLabel* other : labels)
                        QVERIFY2(other == label || !other->geometry().intersects(label->geometry()),
                                 qPrintable(what + " / " + other->text()));
                }
            }
            // An eight-digit value fits its label.
            auto* stat = screen->findChild<QLabel*>("Label_Stat(1)");
            QVERIFY(stat->fontMetrics().horizontalAdvance("16777215") <
                    stat->contentsRect().width());
        }
    }

    void notesStandWhereTheyBelong() {
        test::ScreenFixture f;
        QWidget* magic = screens::openSettingsScreen(f.context, Category::Magic);
        QVERIFY(textLabel(frameTitled(magic, "Spells"), "Cost / Power"));
        QCOMPARE(frameTitled(magic, "Notes")->findChildren<QLabel*>().size(), 2);
        // The imp note stands between the rows above it and the two imp rows.
        QWidget* misc = screens::openSettingsScreen(f.context, Category::Misc);
        QGroupBox* frame = frameTitled(misc, "Miscellaneous");
        const int note = textLabel(frame, "Only applies when the imp is not possessed:")->y();
        QVERIFY(textLabel(frame, "Time Before Bodies Disappear:")->y() < note);
        QVERIFY(textLabel(frame, "Imp Dig Damage:")->y() > note);
    }
};

QTEST_MAIN(SettingsScreensTest)
#include "settings_screens_test.moc"
