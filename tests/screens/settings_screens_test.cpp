#include <QtTest>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>

#include <set>

#include "screens/screen_test_support.h"
#include "screens/settings_screens.h"
#include "screens/value_row.h"

using namespace tavrel;

namespace {

// One table of a screen as its Part gives it: a frame, its column headings, and rows
// of a caption and one slot per column (0: an empty cell). A row with an empty
// caption is the second row of the group above it.
struct Table {
    const char* frame;
    std::vector<const char*> headings;
    std::vector<std::pair<const char*, std::vector<int>>> rows;
};

struct Screen {
    Category category;
    const char* title;
    std::vector<Table> tables;
};

std::vector<int> spellRow(int time, int first, int count) {
    std::vector<int> cells{time};
    for (int level = 0; level < 9; ++level)
        cells.push_back(level < count ? first + level : 0);
    return cells;
}

std::vector<Screen> expectedScreens() {
    const std::vector<const char*> levels{"Time", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    const auto spell = [](const char* caption, int time, int first, int count) {
        return std::pair<const char*, std::vector<int>>{caption, spellRow(time, first, count)};
    };
    const auto power = [](int first) {
        return std::pair<const char*, std::vector<int>>{"", spellRow(0, first, 9)};
    };
    const std::vector<const char*> trapColumns{"Work Required", "Shots", "Reload",       "Health",
                                               "Damage",        "Speed", "Selling Value"};
    return {
        {Category::Room,
         "Room Settings",
         {{"Rooms",
           {"Cost", "Health"},
           {{"Treasury:", {2, 3}},
            {"Lair:", {25, 26}},
            {"Hatchery:", {23, 24}},
            {"Training Room:", {10, 11}},
            {"Library:", {4, 5}},
            {"Bridge:", {27, 28}},
            {"Guard Post:", {29, 30}},
            {"Workshop:", {13, 14}},
            {"Prison:", {6, 7}},
            {"Torture Chamber:", {8, 9}},
            {"Barracks:", {21, 22}},
            {"Temple:", {17, 18}},
            {"Graveyard:", {19, 20}},
            {"Scavenger Room:", {15, 16}},
            {"Portal:", {0, 1}},
            {"Dungeon Heart:", {0, 12}}}}}},
        {Category::Magic,
         "Magic Settings",
         {{"Spells",
           levels,
           {spell("Slap", 12, 0, 0),
            spell("Create Imp", 0, 1, 9),
            spell("Sight of Evil", 0, 13, 9),
            power(22),
            spell("Speed", 0, 106, 9),
            power(115),
            spell("Must Obey", 11, 10, 1),
            spell("Call to Arms", 40, 31, 9),
            power(41),
            spell("Conceal", 0, 142, 9),
            power(151),
            spell("Hold Audience", 216, 87, 1),
            spell("Cave In", 59, 50, 9),
            power(60),
            spell("Heal", 0, 69, 9),
            power(78),
            spell("Lightning", 0, 88, 9),
            power(97),
            spell("Protect", 0, 124, 9),
            power(133),
            spell("Chicken", 0, 178, 9),
            power(187),
            spell("Disease", 0, 160, 9),
            power(169),
            spell("Armageddon", 215, 214, 1),
            spell("Destroy Walls", 0, 196, 9),
            power(205)}}}},
        {Category::Research,
         "Research Settings",
         {{"Spells",
           {"Work Required"},
           {{"Create Imp:", {1}},
            {"Sight of Evil:", {7}},
            {"Speed:", {9}},
            {"Must Obey:", {10}},
            {"Call to Arms:", {12}},
            {"Conceal:", {14}},
            {"Hold Audience:", {16}},
            {"Cave In:", {18}},
            {"Heal:", {20}},
            {"Lightning:", {22}},
            {"Protect:", {24}},
            {"Chicken:", {26}},
            {"Disease:", {27}},
            {"Armageddon:", {28}},
            {"Destroy Walls:", {29}}}},
          {"Rooms",
           {"Work Required"},
           {{"Treasury:", {2}},
            {"Lair:", {4}},
            {"Hatchery:", {3}},
            {"Training Room:", {6}},
            {"Library:", {5}},
            {"Bridge:", {8}},
            {"Guard Post:", {11}},
            {"Workshop:", {13}},
            {"Prison:", {17}},
            {"Torture Chamber:", {19}},
            {"Barracks:", {15}},
            {"Temple:", {21}},
            {"Graveyard:", {23}},
            {"Scavenger Room:", {25}}}}}},
        {Category::TrapDoor,
         "Trap and Door Settings",
         {{"Traps",
           trapColumns,
           {{"Alarm:", {5, 6, 7, 0, 0, 0, 8}},
            {"Gas:", {9, 10, 11, 0, 0, 0, 12}},
            {"Lightning:", {13, 14, 15, 0, 38, 0, 16}},
            {"Lava:", {21, 22, 23, 0, 0, 0, 24}},
            {"Boulder:", {1, 2, 3, 37, 39, 40, 4}},
            {"Word of Power:", {17, 18, 19, 0, 0, 0, 20}}}},
          // Checked against the traps' headings: the doors' columns stand in the
          // same places.
          {"Doors",
           trapColumns,
           {{"Wooden:", {25, 0, 0, 27, 0, 0, 26}},
            {"Braced:", {28, 0, 0, 30, 0, 0, 29}},
            {"Steel:", {31, 0, 0, 33, 0, 0, 32}},
            {"Magic:", {34, 0, 0, 36, 0, 0, 35}}}}}},
        {Category::Ability,
         "Ability Settings",
         {{"Abilities",
           {"Damage", "Normal", "Possessed", "Duration", "Speed"},
           {{"Dig:", {1, 2, 3, 0, 0}},
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
            {"Poison Gas:", {0, 85, 86, 87, 0}}}}}},
        {Category::Misc,
         "Miscellaneous Settings",
         {{"Miscellaneous",
           {"Value", "Time"},
           {{"Default Portal Generation Speed:", {0, 1}},
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
            {"Imp Dig Damage (Reinforced Wall):", {17, 0}}}},
          {"Blocks",
           {"Strength", "Value"},
           {{"Rock:", {18, 0}}, {"Reinforced Wall:", {19, 0}}, {"Gold:", {20, 21}}}},
          {"Boulder Damage",
           {"Value"},
           {{"Boulder Damage from Slap:", {22}},
            {"Boulder Damage from Wall Impact:", {23}},
            {"Boulder Damage from Room Impact:", {24}}}},
          {"Food",
           {"Value", "Time"},
           {{"Chicken Regeneration Speed:", {0, 25}},
            {"Health Gained from Eating:", {26, 0}},
            {"Health Lost When Hungry:", {27, 28}}}}}},
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

// Closes and deletes every window while the fixture they refer to still exists.
void closeAll() {
    for (QWidget* window : QApplication::topLevelWidgets())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QRect onScreen(QWidget* widget, QWidget* screen) {
    return QRect(widget->mapTo(screen, QPoint(0, 0)), widget->size());
}

} // namespace

class SettingsScreensTest : public QObject {
    Q_OBJECT
private slots:
    void everyValueStandsInItsRowAndColumn() {
        for (const Screen& expected : expectedScreens()) {
            test::ScreenFixture f;
            QWidget* screen = screens::openSettingsScreen(f.context, expected.category);
            const QString name = screens::settingsScreenName(expected.category);
            QCOMPARE(screen->objectName(), name);
            QCOMPARE(screen->windowTitle(), QString(expected.title));
            std::set<int> seen;
            for (const Table& table : expected.tables) {
                QGroupBox* frame = frameTitled(screen, table.frame);
                QVERIFY2(frame, table.frame);
                QGroupBox* headingFrame =
                    QString(table.frame) == "Doors" ? frameTitled(screen, "Traps") : frame;
                QLabel* caption = nullptr;
                int rowInGroup = 0;
                for (const auto& [text, cells] : table.rows) {
                    if (*text) {
                        caption = textLabel(frame, text);
                        rowInGroup = 0;
                    } else {
                        ++rowInGroup;
                    }
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
                        auto* stat =
                            frame->findChild<QLabel*>(QStringLiteral("Label_Stat(%1)").arg(slot));
                        QVERIFY2(stat, qPrintable(where));
                        const QRect cell = onScreen(stat, screen);
                        // In the caption's row, or the row below it for a power row.
                        const int rowOffset = cell.center().y() - captionRect.center().y();
                        QVERIFY2(rowOffset >= rowInGroup * cell.height() &&
                                     rowOffset <= rowInGroup * (cell.height() + 10),
                                 qPrintable(where));
                        // Under its column's heading.
                        QLabel* heading = textLabel(headingFrame, table.headings[column]);
                        QVERIFY2(heading, qPrintable(where));
                        const QRect headingRect = onScreen(heading, screen);
                        QVERIFY2(std::abs(cell.center().x() - headingRect.center().x()) <=
                                         cell.width() / 4 &&
                                     cell.top() > headingRect.bottom(),
                                 qPrintable(where));
                        // "-" just left of the value and "+" just right of it.
                        const QRect less = onScreen(
                            frame->findChild<QWidget*>(QStringLiteral("Label_Less(%1)").arg(slot)),
                            screen);
                        const QRect more = onScreen(
                            frame->findChild<QWidget*>(QStringLiteral("Label_More(%1)").arg(slot)),
                            screen);
                        QVERIFY2(less.top() == cell.top() && more.top() == cell.top() &&
                                     less.right() < cell.left() &&
                                     cell.left() - less.right() <= 3 &&
                                     more.left() > cell.right() && more.left() - cell.right() <= 3,
                                 qPrintable(where));
                    }
                }
            }
            QCOMPARE(int(seen.size()), slotCount(expected.category));
            QCOMPARE(*seen.rbegin(), slotCount(expected.category));
            closeAll();
        }
    }

    void everyTextIsWholeAndNothingOverlaps() {
        for (Category category : {Category::Room, Category::Magic, Category::Research,
                                  Category::TrapDoor, Category::Ability, Category::Misc}) {
            test::ScreenFixture f;
            QWidget* screen = screens::openSettingsScreen(f.context, category);
            const QString name = screens::settingsScreenName(category);
            const QRect window = screen->rect();
            for (QGroupBox* frame : screen->findChildren<QGroupBox*>()) {
                QVERIFY2(window.contains(onScreen(frame, screen)), qPrintable(frame->title()));
                const QRect inside = frame->rect();
                const auto labels = frame->findChildren<QLabel*>();
                for (QLabel* label : labels) {
                    const QString what = name + " " + label->objectName() + " " + label->text();
                    QVERIFY2(inside.contains(label->geometry()), qPrintable(what));
                    if (!label->wordWrap()) {
                        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <=
                                     label->contentsRect().width(),
                                 qPrintable(what));
                    }
                }
                for (qsizetype i = 0; i < labels.size(); ++i)
                    for (qsizetype j = i + 1; j < labels.size(); ++j)
                        QVERIFY2(!labels[i]->geometry().intersects(labels[j]->geometry()),
                                 qPrintable(name + ": " + labels[i]->text() + " / " +
                                            labels[j]->text()));
            }
            const auto frames = screen->findChildren<QGroupBox*>();
            for (qsizetype i = 0; i < frames.size(); ++i)
                for (qsizetype j = i + 1; j < frames.size(); ++j)
                    QVERIFY(!frames[i]->geometry().intersects(frames[j]->geometry()));
            // An eight-digit value fits its label.
            auto* stat = screen->findChild<QLabel*>("Label_Stat(1)");
            QVERIFY(stat->fontMetrics().horizontalAdvance("16777215") <
                    stat->contentsRect().width());
            closeAll();
        }
    }

    void notesAndHeadingsAreShown() {
        struct Case {
            Category category;
            const char* frame;
            const char* text;
        } cases[] = {
            {Category::Magic, "Spells", "Cost / Power"},
            {Category::Magic, "Notes",
             "Beneath the 'cost and power' section, if there is only one row then it will "
             "indicate the cost. The second row always indicates the power."},
            {Category::Magic, "Notes",
             "The time shown on the hold audience and armageddon timers will be displayed as "
             "half the value during the game."},
            {Category::TrapDoor, "Notes", "The reload attribute indicates the time between shots."},
            {Category::Ability, "Abilities", "Reload Time"},
            {Category::Ability, "Notes",
             "The dig damage attribute only applies when possessed. See 'Miscellaneous "
             "Settings' for the attributes which apply when the creature is not possessed."},
            {Category::Misc, "Miscellaneous", "Only applies when the imp is not possessed:"},
        };
        for (const Case& c : cases) {
            test::ScreenFixture f;
            QWidget* screen = screens::openSettingsScreen(f.context, c.category);
            QGroupBox* frame = frameTitled(screen, c.frame);
            QVERIFY2(frame, c.frame);
            QLabel* label = textLabel(frame, c.text);
            QVERIFY2(label, c.text);
            QVERIFY(label->isVisible());
            closeAll();
        }
        // The imp note stands between the rows above it and the two imp rows.
        test::ScreenFixture f;
        QWidget* screen = screens::openSettingsScreen(f.context, Category::Misc);
        QGroupBox* misc = frameTitled(screen, "Miscellaneous");
        const int note = textLabel(misc, "Only applies when the imp is not possessed:")->y();
        QVERIFY(textLabel(misc, "Time Before Bodies Disappear:")->y() < note);
        QVERIFY(textLabel(misc, "Imp Dig Damage:")->y() > note);
        closeAll();
    }

    void eachScreenOpensOnce() {
        test::ScreenFixture f;
        QWidget* first = screens::openSettingsScreen(f.context, Category::Research);
        QCOMPARE(screens::openSettingsScreen(f.context, Category::Research), first);
        closeAll();
    }

    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

QTEST_MAIN(SettingsScreensTest)
#include "settings_screens_test.moc"
