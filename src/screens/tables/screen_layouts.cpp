#include "screens/tables/screen_layouts.h"

#include <cassert>

namespace tavrel::screens {

namespace {

// Built member by member: brace lists would have to name every member.
GridRow row(std::string_view caption, std::vector<int> cells) {
    GridRow made;
    made.caption = caption;
    made.cells = std::move(cells);
    return made;
}

FrameLayout frame(std::string_view title, int place, std::vector<std::string_view> headings) {
    FrameLayout made;
    made.title = title;
    made.place = place;
    made.headings = std::move(headings);
    return made;
}

FrameLayout notesFrame(std::vector<std::string_view> notes) {
    FrameLayout made;
    made.title = "Notes";
    made.notes = std::move(notes);
    return made;
}

// A spell's row: its Time slot (0 for none), then the nine level columns filled
// from `first` on with `count` rising slots.
std::vector<int> spellCells(int time, int first, int count) {
    std::vector<int> cells{time};
    for (int level = 0; level < 9; ++level)
        cells.push_back(level < count ? first + level : 0);
    return cells;
}

GridRow spell(std::string_view caption, int time, int first, int count) {
    return row(caption, spellCells(time, first, count));
}

GridRow powers(int first) {
    GridRow power = row({}, spellCells(0, first, 9));
    power.startsGroup = false;
    return power;
}

ScreenLayout roomLayout() {
    FrameLayout rooms = frame("Rooms", 0, {"Cost", "Health"});
    rooms.rows = {
        row("Treasury:", {2, 3}),     row("Lair:", {25, 26}),
        row("Hatchery:", {23, 24}),   row("Training Room:", {10, 11}),
        row("Library:", {4, 5}),      row("Bridge:", {27, 28}),
        row("Guard Post:", {29, 30}), row("Workshop:", {13, 14}),
        row("Prison:", {6, 7}),       row("Torture Chamber:", {8, 9}),
        row("Barracks:", {21, 22}),   row("Temple:", {17, 18}),
        row("Graveyard:", {19, 20}),  row("Scavenger Room:", {15, 16}),
        row("Portal:", {0, 1}),       row("Dungeon Heart:", {0, 12}),
    };
    // The portal's and the heart's costs are fixed in the game file: their rows
    // stand apart with a Health value only.
    rooms.rows[14].gapBefore = true;
    return {Category::Room, "Room Settings", {rooms}};
}

ScreenLayout magicLayout() {
    FrameLayout spells = frame("Spells", 0, {"Time", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
    spells.spans = {{"Cost / Power", 1, 9}};
    spells.lined = true;
    spells.rows = {
        spell("Slap", 12, 0, 0),
        spell("Create Imp", 0, 1, 9),
        spell("Sight of Evil", 0, 13, 9),
        powers(22),
        spell("Speed", 0, 106, 9),
        powers(115),
        spell("Must Obey", 11, 10, 1),
        spell("Call to Arms", 40, 31, 9),
        powers(41),
        spell("Conceal", 0, 142, 9),
        powers(151),
        spell("Hold Audience", 216, 87, 1),
        spell("Cave In", 59, 50, 9),
        powers(60),
        spell("Heal", 0, 69, 9),
        powers(78),
        spell("Lightning", 0, 88, 9),
        powers(97),
        spell("Protect", 0, 124, 9),
        powers(133),
        spell("Chicken", 0, 178, 9),
        powers(187),
        spell("Disease", 0, 160, 9),
        powers(169),
        spell("Armageddon", 215, 214, 1),
        spell("Destroy Walls", 0, 196, 9),
        powers(205),
    };
    FrameLayout notes = notesFrame({
        "Beneath the 'cost and power' section, if there is only one row then it will indicate "
        "the cost. The second row always indicates the power.",
        "The time shown on the hold audience and armageddon timers will be displayed as half "
        "the value during the game.",
    });
    return {Category::Magic, "Magic Settings", {spells, notes}};
}

ScreenLayout researchLayout() {
    FrameLayout spells = frame("Spells", 0, {"Work Required"});
    spells.rows = {
        row("Create Imp:", {1}),     row("Sight of Evil:", {7}), row("Speed:", {9}),
        row("Must Obey:", {10}),     row("Call to Arms:", {12}), row("Conceal:", {14}),
        row("Hold Audience:", {16}), row("Cave In:", {18}),      row("Heal:", {20}),
        row("Lightning:", {22}),     row("Protect:", {24}),      row("Chicken:", {26}),
        row("Disease:", {27}),       row("Armageddon:", {28}),   row("Destroy Walls:", {29}),
    };
    FrameLayout rooms = frame("Rooms", 1, {"Work Required"});
    rooms.rows = {
        row("Treasury:", {2}),    row("Lair:", {4}),
        row("Hatchery:", {3}),    row("Training Room:", {6}),
        row("Library:", {5}),     row("Bridge:", {8}),
        row("Guard Post:", {11}), row("Workshop:", {13}),
        row("Prison:", {17}),     row("Torture Chamber:", {19}),
        row("Barracks:", {15}),   row("Temple:", {21}),
        row("Graveyard:", {23}),  row("Scavenger Room:", {25}),
    };
    return {Category::Research, "Research Settings", {spells, rooms}};
}

ScreenLayout trapDoorLayout() {
    FrameLayout traps =
        frame("Traps", 0,
              {"Work Required", "Shots", "Reload", "Health", "Damage", "Speed", "Selling Value"});
    traps.rows = {
        row("Alarm:", {5, 6, 7, 0, 0, 0, 8}),
        row("Gas:", {9, 10, 11, 0, 0, 0, 12}),
        row("Lightning:", {13, 14, 15, 0, 38, 0, 16}),
        row("Lava:", {21, 22, 23, 0, 0, 0, 24}),
        row("Boulder:", {1, 2, 3, 37, 39, 40, 4}),
        row("Word of Power:", {17, 18, 19, 0, 0, 0, 20}),
    };
    // The doors keep the traps' seven column places, so that their three headings
    // stand where the traps' headings of the same names do.
    FrameLayout doors =
        frame("Doors", 0, {"Work Required", "", "", "Health", "", "", "Selling Value"});
    doors.rows = {
        row("Wooden:", {25, 0, 0, 27, 0, 0, 26}),
        row("Braced:", {28, 0, 0, 30, 0, 0, 29}),
        row("Steel:", {31, 0, 0, 33, 0, 0, 32}),
        row("Magic:", {34, 0, 0, 36, 0, 0, 35}),
    };
    FrameLayout notes = notesFrame({"The reload attribute indicates the time between shots."});
    return {Category::TrapDoor, "Trap and Door Settings", {traps, doors, notes}};
}

ScreenLayout abilityLayout() {
    FrameLayout abilities =
        frame("Abilities", 0, {"Damage", "Normal", "Possessed", "Duration", "Speed"});
    abilities.spans = {{"Reload Time", 1, 2}};
    abilities.lined = true;
    abilities.rows = {
        row("Dig:", {1, 2, 3, 0, 0}),
        row("Melee:", {0, 4, 5, 0, 0}),
        row("Arrow (Projectile):", {6, 7, 8, 0, 9}),
        row("Fireball (Projectile):", {10, 11, 12, 0, 13}),
        row("Meteor (Projectile):", {14, 15, 16, 0, 17}),
        row("Freeze (Projectile):", {18, 19, 20, 21, 22}),
        row("Armour:", {0, 23, 24, 25, 0}),
        row("Lightning:", {26, 27, 28, 0, 0}),
        row("Reflect:", {0, 29, 30, 31, 0}),
        row("Heal:", {0, 32, 33, 0, 0}),
        row("Poison Cloud (Projectile):", {34, 35, 36, 0, 37}),
        row("Conceal:", {0, 38, 39, 40, 0}),
        row("Teleport:", {0, 41, 42, 0, 0}),
        row("Speed:", {0, 43, 44, 45, 0}),
        row("Slow (Projectile):", {46, 47, 48, 49, 50}),
        row("Drain:", {51, 52, 53, 0, 0}),
        row("Missile (Projectile):", {54, 55, 56, 0, 57}),
        row("Homing Missile (Projectile):", {58, 59, 60, 0, 61}),
        row("Flame Breath:", {62, 63, 64, 0, 0}),
        row("Wind (Projectiles):", {65, 66, 67, 0, 68}),
        row("Fly:", {0, 69, 70, 71, 0}),
        row("Sight:", {0, 72, 73, 74, 0}),
        row("Grenade (Projectile):", {75, 76, 77, 0, 78}),
        row("Hailstorm (Projectiles):", {79, 80, 81, 0, 82}),
        row("Word of Power:", {0, 83, 84, 0, 0}),
        row("Poison Gas:", {0, 85, 86, 87, 0}),
    };
    FrameLayout notes =
        notesFrame({"The dig damage attribute only applies when possessed. See 'Miscellaneous "
                    "Settings' for the attributes which apply when the creature is not "
                    "possessed."});
    return {Category::Ability, "Ability Settings", {abilities, notes}};
}

ScreenLayout miscLayout() {
    FrameLayout misc = frame("Miscellaneous", 0, {"Value", "Time"});
    misc.rows = {
        row("Default Portal Generation Speed:", {0, 1}),
        row("Pay Day:", {0, 2}),
        row("Doors Remain Open For:", {0, 3}),
        row("Dungeon Heart Health:", {4, 0}),
        row("Dungeon Heart Regeneration:", {5, 6}),
        row("Health Lost When Tortured:", {7, 8}),
        row("Training Cost Frequency:", {0, 9}),
        row("Scavenging Cost Frequency:", {0, 10}),
        row("Disease Transfer Probability (Percent):", {11, 0}),
        row("Health Lost from Disease (Percent):", {12, 13}),
        row("Bodies Needed to Create Vampire:", {14, 0}),
        row("Time Before Bodies Disappear:", {0, 15}),
        row("Imp Dig Damage:", {16, 0}),
        row("Imp Dig Damage (Reinforced Wall):", {17, 0}),
    };
    misc.rows[12].noteBefore = "Only applies when the imp is not possessed:";
    FrameLayout blocks = frame("Blocks", 1, {"Strength", "Value"});
    blocks.rows = {
        row("Rock:", {18, 0}),
        row("Reinforced Wall:", {19, 0}),
        row("Gold:", {20, 21}),
    };
    FrameLayout boulder = frame("Boulder Damage", 1, {"Value"});
    boulder.rows = {
        row("Boulder Damage from Slap:", {22}),
        row("Boulder Damage from Wall Impact:", {23}),
        row("Boulder Damage from Room Impact:", {24}),
    };
    FrameLayout food = frame("Food", 1, {"Value", "Time"});
    food.rows = {
        row("Chicken Regeneration Speed:", {0, 25}),
        row("Health Gained from Eating:", {26, 0}),
        row("Health Lost When Hungry:", {27, 28}),
    };
    return {Category::Misc, "Miscellaneous Settings", {misc, blocks, boulder, food}};
}

} // namespace

const ScreenLayout& screenLayout(Category category) {
    static const ScreenLayout room = roomLayout();
    static const ScreenLayout magic = magicLayout();
    static const ScreenLayout research = researchLayout();
    static const ScreenLayout trapDoor = trapDoorLayout();
    static const ScreenLayout ability = abilityLayout();
    static const ScreenLayout misc = miscLayout();
    switch (category) {
    case Category::Room:
        return room;
    case Category::Magic:
        return magic;
    case Category::Research:
        return research;
    case Category::TrapDoor:
        return trapDoor;
    case Category::Ability:
        return ability;
    case Category::Misc:
        return misc;
    case Category::Creature:
        break;
    }
    assert(false && "the creature screen has a layout of its own");
    return room;
}

} // namespace tavrel::screens
