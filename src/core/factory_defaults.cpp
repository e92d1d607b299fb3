#include "core/factory_defaults.h"

namespace tavrel {

namespace {

// clang-format off
// One line per creature field: its factory value for kinds 1 to 30.
constexpr int kCreatureByField[kCreatureFields][kCreatureKinds] = {
    /*  1 Primary Job                */ {4, 8, 16, 4, 16, 0, 0, 0, 4, 8, 4, 0, 128, 128, 8, 16, 4, 8, 16384, 128, 4, 16, 2, 0, 32, 8192, 256, 4096, 0, 8},
    /*  2 Secondary Job              */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 1024, 0, 8, 2048, 0, 72, 0, 0, 0, 0, 4, 8, 0, 4, 0, 512},
    /*  3 Not Do Jobs                */ {16, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 2048, 0, 4, 0, 0, 0, 0, 16, 0, 0, 0, 16, 0, 0, 0, 0, 0},
    /*  4 Anger Jobs                 */ {4, 6, 4, 4, 6, 4, 4, 20, 4, 20, 4, 12, 133, 32, 4, 6, 12, 16, 4, 5, 64, 4, 4, 4, 65, 4, 4, 4, 132, 6},
    /*  5 Health                     */ {350, 700, 300, 325, 500, 950, 3000, 350, 300, 650, 150, 250, 700, 2000, 500, 450, 900, 325, 150, 700, 350, 1200, 75, 250, 800, 400, 600, 200, 700, 700},
    /*  6 Strength                   */ {20, 60, 20, 40, 50, 80, 150, 40, 20, 100, 10, 30, 80, 150, 55, 40, 90, 50, 10, 60, 20, 80, 5, 25, 70, 40, 55, 20, 50, 65},
    /*  7 Armour                     */ {15, 50, 20, 20, 40, 100, 120, 30, 20, 60, 10, 20, 60, 70, 20, 35, 90, 40, 10, 50, 15, 60, 5, 25, 30, 30, 35, 20, 50, 60},
    /*  8 Dexterity                  */ {100, 70, 100, 80, 55, 150, 180, 40, 80, 60, 70, 120, 90, 160, 70, 50, 60, 70, 50, 70, 100, 40, 60, 55, 80, 60, 70, 90, 65, 60},
    /*  9 Fear                       */ {30, 30, 30, 30, 30, 0, 0, 30, 30, 30, 30, 30, 30, 0, 0, 30, 30, 30, 30, 30, 30, 30, 255, 30, 0, 30, 30, 30, 30, 10},
    /* 10 Defence                    */ {30, 60, 60, 80, 30, 30, 110, 40, 30, 30, 30, 80, 70, 70, 50, 50, 50, 50, 30, 70, 30, 30, 5, 40, 80, 50, 50, 60, 50, 65},
    /* 11 Luck                       */ {5, 10, 15, 30, 2, 15, 20, 0, 6, 20, 40, 14, 20, 30, 2, 10, 18, 8, 15, 20, 6, 5, 0, 3, 25, 3, 8, 10, 3, 12},
    /* 12 Recovery                   */ {4, 5, 2, 8, 4, 6, 9, 4, 3, 5, 2, 4, 9, 8, 5, 6, 3, 5, 5, 9, 6, 4, 0, 5, 9, 2, 8, 4, 1, 7},
    /* 13 Hunger Rate                */ {5000, 8000, 5000, 5000, 5000, 9000, 10000, 5000, 5000, 5000, 5000, 5000, 8000, 3505, 0, 6000, 8000, 6000, 9000, 8000, 8000, 4500, 0, 5000, 6000, 7000, 6000, 0, 8000, 7000},
    /* 14 Hunger Fill                */ {2, 3, 1, 2, 2, 3, 4, 2, 2, 3, 1, 2, 3, 4, 0, 3, 4, 2, 1, 3, 3, 6, 0, 1, 2, 2, 3, 0, 1, 2},
    /* 15 Annoy Level                */ {4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 4000, 8000, 4000, 4000, 4000, 0, 4000, 4000, 4000, 4000, 4000, 4000, 4000},
    /* 16 Lair Size                  */ {1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 4, 1, 1, 1, 1, 2, 0, 1, 1, 1, 1, 1, 1, 1},
    /* 17 Hurt By Lava               */ {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 0, 2, 2, 0, 0, 2, 2, 2, 2, 2, 2, 2, 2, 0, 2, 2, 2},
    /* 18 Scavenge Value             */ {4, 1, 2, 3, 1, 0, 0, 1, 3, 2, 1, 2, 3, 4, 1, 2, 5, 2, 1, 3, 5, 1, 0, 1, 8, 2, 3, 3, 2, 2},
    /* 19 Scavenge Requirement       */ {22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 22000, 0, 22000, 22000, 22000, 22000, 22000, 22000, 22000},
    /* 20 Base Speed                 */ {32, 48, 48, 32, 80, 40, 48, 48, 48, 32, 64, 48, 64, 96, 64, 48, 32, 48, 128, 64, 32, 48, 96, 48, 56, 48, 96, 64, 32, 48},
    /* 21 Training Value             */ {2, 3, 1, 1, 1, 3, 4, 1, 2, 2, 1, 1, 4, 1, 4, 1, 3, 2, 1, 2, 2, 2, 1, 1, 4, 1, 2, 1, 1, 2},
    /* 22 Training Cost              */ {30, 40, 8, 12, 5, 40, 100, 10, 16, 35, 4, 12, 50, 150, 20, 12, 40, 15, 5, 24, 30, 38, 10, 8, 50, 18, 14, 20, 14, 15},
    /* 23 Gold Hold                  */ {500, 1500, 250, 750, 500, 600, 1000, 500, 400, 1000, 250, 1750, 750, 2500, 500, 500, 5000, 250, 50, 750, 400, 3000, 500, 300, 2500, 250, 500, 1000, 500, 600},
    /* 24 Visual Range               */ {18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 18, 5, 18, 18, 18, 18, 18, 18, 18},
    /* 25 Scavenger Cost             */ {25, 18, 8, 15, 6, 30, 50, 10, 20, 25, 4, 8, 30, 30, 15, 18, 35, 16, 4, 25, 25, 30, 0, 8, 25, 12, 16, 10, 8, 20},
    /* 26 To Level (2)               */ {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 2500, 1000, 1000, 1000, 1000, 1000, 1000, 1000},
    /* 27 To Level (3)               */ {3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500, 3500},
    /* 28 To Level (4)               */ {5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 5000, 6500, 5000, 5000, 5000, 5000, 5000},
    /* 29 To Level (5)               */ {6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 6500, 12000, 6500, 6500, 6500, 6500, 6500},
    /* 30 To Level (6)               */ {8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 8500, 17000, 8500, 8500, 8500, 8500, 8500},
    /* 31 To Level (7)               */ {10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 10500, 25000, 10500, 10500, 10500, 10500, 10500},
    /* 32 To Level (8)               */ {13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 13000, 40000, 13000, 13000, 13000, 13000, 13000},
    /* 33 To Level (9)               */ {16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 16000, 50000, 16000, 16000, 16000, 16000, 16000},
    /* 34 To Level (10)              */ {20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 20000, 60000, 20000, 20000, 20000, 20000, 20000},
    /* 35 Grow Up                    */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0, 0, 17, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    /* 36 Grow Up Level              */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    /* 37 Immune to Gas              */ {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0},
    /* 38 Attack Preference          */ {2, 1, 2, 1, 1, 1, 1, 1, 2, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 1, 1, 1, 2, 1, 1, 1, 1, 1},
    /* 39 Power 1                    */ {2, 1, 2, 2, 1, 1, 1, 2, 2, 2, 2, 1, 1, 1, 1, 1, 21, 2, 2, 1, 2, 1, 39, 2, 2, 2, 2, 2, 2, 1},
    /* 40 Power 2                    */ {19, 0, 4, 11, 0, 0, 8, 0, 24, 0, 0, 0, 0, 0, 0, 0, 11, 0, 0, 0, 5, 12, 1, 0, 24, 16, 0, 0, 0, 0},
    /* 41 Power 3                    */ {5, 0, 0, 8, 0, 0, 0, 0, 12, 0, 17, 0, 0, 0, 0, 0, 26, 0, 0, 0, 11, 0, 15, 0, 16, 0, 15, 13, 0, 0},
    /* 42 Power 4                    */ {10, 0, 20, 16, 8, 10, 11, 0, 10, 0, 9, 15, 0, 0, 0, 15, 0, 19, 0, 0, 6, 29, 0, 0, 14, 7, 0, 10, 0, 0},
    /* 43 Power 5                    */ {11, 0, 0, 19, 0, 0, 0, 0, 22, 0, 11, 0, 25, 15, 8, 0, 0, 0, 25, 0, 13, 0, 0, 0, 11, 0, 21, 0, 7, 15},
    /* 44 Power 6                    */ {7, 8, 15, 0, 0, 0, 7, 0, 0, 0, 13, 0, 9, 0, 0, 0, 0, 0, 0, 9, 20, 0, 0, 0, 17, 0, 0, 22, 0, 0},
    /* 45 Power 7                    */ {27, 0, 0, 17, 10, 11, 17, 0, 9, 0, 20, 13, 15, 0, 0, 5, 6, 11, 0, 15, 25, 26, 0, 7, 8, 0, 0, 0, 0, 8},
    /* 46 Power 8                    */ {17, 0, 16, 0, 0, 0, 20, 0, 11, 0, 10, 0, 0, 0, 0, 0, 0, 0, 15, 0, 22, 0, 0, 0, 22, 27, 0, 17, 0, 0},
    /* 47 Power 9                    */ {16, 0, 0, 27, 0, 0, 13, 0, 20, 0, 6, 0, 7, 0, 0, 0, 0, 0, 0, 17, 28, 0, 0, 0, 0, 0, 0, 0, 0, 26},
    /* 48 Power 10                   */ {6, 0, 0, 28, 0, 0, 28, 14, 27, 15, 7, 10, 0, 16, 9, 26, 28, 0, 0, 14, 0, 0, 14, 0, 28, 0, 0, 0, 0, 0},
    /* 49 Power Level Required 1     */ {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
    /* 50 Power Level Required 2     */ {1, 0, 1, 2, 0, 0, 2, 0, 2, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 2, 2, 1, 0, 2, 2, 0, 0, 0, 0},
    /* 51 Power Level Required 3     */ {3, 0, 0, 3, 0, 0, 0, 0, 3, 0, 3, 0, 0, 0, 0, 0, 3, 0, 0, 0, 3, 0, 3, 0, 3, 0, 3, 3, 0, 0},
    /* 52 Power Level Required 4     */ {5, 0, 4, 4, 4, 4, 4, 0, 4, 0, 4, 4, 0, 0, 0, 4, 0, 4, 0, 0, 4, 4, 0, 0, 4, 4, 0, 1, 0, 0},
    /* 53 Power Level Required 5     */ {5, 0, 0, 5, 0, 0, 0, 0, 5, 0, 5, 0, 5, 5, 5, 0, 0, 0, 5, 0, 5, 0, 0, 0, 5, 0, 5, 0, 5, 5},
    /* 54 Power Level Required 6     */ {6, 6, 6, 0, 0, 0, 6, 0, 0, 0, 6, 0, 6, 0, 0, 0, 0, 0, 0, 6, 6, 0, 0, 0, 6, 0, 0, 6, 0, 0},
    /* 55 Power Level Required 7     */ {7, 0, 0, 7, 7, 7, 7, 0, 7, 0, 7, 7, 7, 0, 0, 7, 7, 7, 0, 7, 7, 7, 0, 7, 7, 0, 0, 0, 0, 7},
    /* 56 Power Level Required 8     */ {8, 0, 8, 0, 0, 0, 8, 0, 8, 0, 8, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0, 0, 0, 8, 8, 0, 8, 0, 0},
    /* 57 Power Level Required 9     */ {9, 0, 0, 9, 0, 0, 9, 0, 9, 0, 9, 0, 9, 0, 0, 0, 0, 0, 0, 9, 9, 0, 0, 0, 0, 0, 0, 0, 0, 9},
    /* 58 Power Level Required 10    */ {10, 0, 0, 10, 0, 0, 10, 10, 10, 10, 10, 10, 0, 10, 10, 10, 10, 0, 0, 10, 0, 0, 10, 0, 10, 0, 0, 0, 0, 0},
    /* 59 Research Value             */ {5, 0, 2, 3, 1, 1, 3, 0, 3, 0, 4, 1, 2, 1, 1, 1, 4, 2, 1, 2, 4, 1, 0, 1, 3, 1, 1, 2, 1, 0},
    /* 60 Pay                        */ {125, 95, 60, 75, 35, 540, 1200, 50, 75, 43, 59, 57, 195, 950, 70, 50, 350, 70, 5, 175, 120, 98, 0, 18, 750, 25, 67, 20, 45, 95},
    /* 61 Manufacture Value          */ {1, 2, 2, 2, 3, 1, 1, 1, 1, 2, 1, 1, 2, 0, 1, 4, 1, 2, 1, 2, 1, 3, 0, 1, 1, 2, 1, 1, 1, 3},
    /* 62 Hearing                    */ {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 5, 10, 10, 10, 15, 10, 10, 10},
    /* 63 Entrance Room 1 (Primary)  */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 2, 0, 0, 5, 3, 13, 0, 0, 11, 0, 9, 5, 0, 6},
    /* 64 Entrance Room 2            */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 4, 0, 14, 2, 0, 0, 0, 14, 0, 14, 14, 13, 0, 0, 10, 12},
    /* 65 Entrance Room 3            */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0, 14, 0, 0, 14, 0},
    /* 66 Room 1 Slabs Required      */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 25, 0, 0, 9, 9, 25, 0, 0, 30, 0, 9, 1, 0, 9},
    /* 67 Room 2 Slabs Required      */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 1, 0, 15, 1, 0, 0, 0, 25, 0, 1, 9, 9, 0, 0, 9, 1},
    /* 68 Room 3 Slabs Required      */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 9, 0, 0, 9, 0},
    /* 69 Torture Time               */ {1000, 1000, 1000, 1000, 1000, 2000, 2000, 1000, 1000, 1000, 1000, 100, 2000, 3000, 1000, 1000, 1000, 1000, 750, 3000, 750, 1000, 50, 1000, 2000, 1000, 1000, 1000, 1000, 1000},
    /* 70 Slaps To Kill              */ {17, 40, 30, 25, 30, 40, 60, 30, 20, 40, 8, 30, 50, 80, 20, 25, 40, 30, 8, 50, 17, 0, 20, 22, 60, 24, 40, 0, 40, 40},
    /* 71 Lair Enemy                 */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 20, 0, 22, 0, 0, 27, 26, 13, 25, 15, 0, 0, 21, 19, 18, 0, 0, 0},
    /* 72 Can See Invisible          */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0},
    /* 73 Can Go Through Locked Doors */ {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0},
    /* 74 Damage To Boulder          */ {20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20, 20},
    /* 75 Affected By Wind           */ {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1},
};

// Health, or Cost and Health, of each room.
constexpr int kRoom[30] = {
    /* ROOM_ENTRANCE */ 4000,
    /* ROOM_TREASURE_ROOM */ 50, 100,
    /* ROOM_RESEARCH_ROOM */ 200, 320,
    /* ROOM_PRISON_ROOM */ 225, 600,
    /* ROOM_TORTURE_ROOM */ 350, 1000,
    /* ROOM_TRAINING_AREA */ 150, 1250,
    /* ROOM_DUNGEON_HEART */ 1300,
    /* ROOM_WORKSHOP_ROOM */ 200, 900,
    /* ROOM_SCAVENGER */ 750, 1000,
    /* ROOM_TEMPLE */ 350, 1000,
    /* ROOM_GRAVEYARD */ 300, 350,
    /* ROOM_BARRACK_ROOM */ 125, 350,
    /* ROOM_HATCHERY */ 125, 350,
    /* ROOM_LAIR */ 100, 200,
    /* ROOM_BRIDGE */ 30, 100,
    /* ROOM_GUARD_POST */ 50, 5000,
};

// Cost 0-8, Time and Power 0-8 where they are slots; then two general game values.
constexpr int kMagic[216] = {
    /* MAGIC_CREATE_IMP */ 300, 300, 300, 300, 300, 300, 300, 300, 300,
    /* MAGIC_MUST_OBEY */ 25, 18,
    /* MAGIC_SLAP */ 500,
    /* MAGIC_SIGHT */ 50, 60, 70, 80, 90, 100, 110, 120, 130, 576, 640, 704, 768, 832, 896, 960, 1024, 1088,
    /* MAGIC_CALL_TO_ARMS */ 1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 10, 15, 20, 25, 30, 35, 40, 45, 50,
    /* MAGIC_CAVE_IN */ 1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400, 2600, 100, 0, 5, 6, 7, 8, 9, 10, 11, 12,
    /* MAGIC_HEAL_CREATURE */ 300, 400, 500, 600, 700, 800, 900, 1000, 1100, 80, 120, 160, 190, 220, 270, 290, 340, 500,
    /* MAGIC_HOLD_AUDIENCE */ 1000,
    /* MAGIC_LIGHTNING */ 600, 1200, 1300, 1700, 1800, 2000, 2200, 2400, 3000, 3, 4, 5, 7, 9, 12, 14, 16, 30,
    /* MAGIC_SPEED */ 100, 200, 300, 400, 500, 600, 700, 800, 900, 300, 400, 500, 600, 700, 800, 900, 1000, 1100,
    /* MAGIC_PROTECT */ 100, 200, 300, 400, 500, 600, 700, 800, 900, 300, 400, 500, 600, 700, 800, 900, 1000, 1100,
    /* MAGIC_CONCEAL */ 100, 200, 300, 400, 500, 600, 700, 800, 900, 300, 400, 500, 600, 700, 800, 900, 1000, 1100,
    /* MAGIC_DISEASE */ 7000, 7200, 7400, 7600, 7800, 8000, 8200, 8400, 9000, 300, 400, 500, 600, 700, 800, 900, 1000, 1100,
    /* MAGIC_CHICKEN */ 1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900, 3000, 300, 350, 400, 450, 500, 550, 600, 650, 1000,
    /* MAGIC_DESTROY_WALLS */ 10000, 12000, 14000, 16000, 18000, 20000, 22000, 24000, 26000, 0, 1, 2, 3, 4, 5, 6, 7, 8,
    /* MAGIC_ARMAGEDON */ 60000,
    /* GAME_ARMEGEDDON_COUNT_DOWN */ 500,
    /* GAME_HOLD_AUDIENCE_TIME */ 500,
};

// Research amounts in research order.
constexpr int kResearch[29] = {
    /* RESEARCH_MAGIC_CREATE_IMP */ 1000,
    /* RESEARCH_ROOM_TREASURE */ 1000,
    /* RESEARCH_ROOM_HATCHERY */ 1000,
    /* RESEARCH_ROOM_LAIR */ 1000,
    /* RESEARCH_ROOM_RESEARCH */ 1000,
    /* RESEARCH_ROOM_TRAINING */ 1000,
    /* RESEARCH_MAGIC_POWER_SIGHT */ 3800,
    /* RESEARCH_ROOM_BRIDGE */ 4600,
    /* RESEARCH_MAGIC_POWER_SPEED */ 5700,
    /* RESEARCH_MAGIC_POWER_OBEY */ 6000,
    /* RESEARCH_ROOM_GUARD_POST */ 6700,
    /* RESEARCH_MAGIC_POWER_CALL_TO_ARMS */ 7400,
    /* RESEARCH_ROOM_WORKSHOP */ 9000,
    /* RESEARCH_MAGIC_POWER_CONCEAL */ 9400,
    /* RESEARCH_ROOM_BARRACKS */ 12000,
    /* RESEARCH_MAGIC_POWER_HOLD_AUDIENCE */ 11000,
    /* RESEARCH_ROOM_PRISON */ 20000,
    /* RESEARCH_MAGIC_POWER_CAVE_IN */ 25000,
    /* RESEARCH_ROOM_TORTURE */ 20000,
    /* RESEARCH_MAGIC_POWER_HEAL_CREATURE */ 14000,
    /* RESEARCH_ROOM_TEMPLE */ 25000,
    /* RESEARCH_MAGIC_POWER_LIGHTNING */ 15000,
    /* RESEARCH_ROOM_GRAVEYARD */ 25000,
    /* RESEARCH_MAGIC_POWER_PROTECT */ 15000,
    /* RESEARCH_ROOM_SCAVENGER */ 27500,
    /* RESEARCH_MAGIC_POWER_CHICKEN */ 20000,
    /* RESEARCH_MAGIC_POWER_DISEASE */ 20000,
    /* RESEARCH_MAGIC_POWER_ARMAGEDDON */ 100000,
    /* RESEARCH_MAGIC_POWER_DESTROY_WALLS */ 750000,
};

// Traps, doors, then three boulder and one lightning shot values.
constexpr int kTrapDoor[40] = {
    /* TRAP_BOULDER */ 25000, 1, 0, 1000,
    /* TRAP_ALARM */ 18000, 12, 2000, 250,
    /* TRAP_POISON_GAS */ 20000, 5, 200, 350,
    /* TRAP_LIGHTNING */ 20000, 8, 140, 500,
    /* TRAP_WORD_OF_POWER */ 20000, 3, 84, 750,
    /* TRAP_LAVA */ 20000, 1, 0, 750,
    /* DOOR_WOODEN */ 18000, 250, 400,
    /* DOOR_BRACE */ 24000, 500, 750,
    /* DOOR_STEEL */ 26000, 750, 1500,
    /* DOOR_MAGIC */ 50000, 1500, 3000,
    /* SHOT_BOULDER */ 210,
    /* SHOT_TRAP_LIGHTNING */ 16,
    /* SHOT_BOULDER */ 5000, 64,
};

// Shot, instance and spell values, creature ability by creature ability.
constexpr int kAbility[87] = {
    /* SHOT_DIG */ 1,
    /* INSTANCE_DIG */ 1, 1,
    /* INSTANCE_SWING_WEAPON_SWORD */ 8, 4,
    /* SHOT_ARROW */ 30,
    /* INSTANCE_FIRE_ARROW */ 16, 8,
    /* SHOT_ARROW */ 256,
    /* SHOT_FIREBALL */ 30,
    /* INSTANCE_FIREBALL */ 32, 4,
    /* SHOT_FIREBALL */ 190,
    /* SHOT_FIREBOMB */ 100,
    /* INSTANCE_FIRE_BOMB */ 100, 16,
    /* SHOT_FIREBOMB */ 256,
    /* SHOT_FREEZE */ 0,
    /* INSTANCE_FREEZE */ 375, 300,
    /* SPELL_FREEZE */ 125,
    /* SHOT_FREEZE */ 200,
    /* INSTANCE_ARMOUR */ 400, 250,
    /* SPELL_ARMOUR */ 250,
    /* SHOT_LIGHTNING */ 20,
    /* INSTANCE_LIGHTNING */ 16, 8,
    /* INSTANCE_REBOUND */ 400, 250,
    /* SPELL_REBOUND */ 250,
    /* INSTANCE_HEAL */ 400, 250,
    /* SHOT_POISON_CLOUD */ 0,
    /* INSTANCE_POISON_CLOUD */ 80, 20,
    /* SHOT_POISON_CLOUD */ 180,
    /* INSTANCE_INVISIBILITY */ 500, 200,
    /* SPELL_INVISIBILITY */ 500,
    /* INSTANCE_TELEPORT */ 6, 3,
    /* INSTANCE_SPEED */ 550, 500,
    /* SPELL_SPEED */ 500,
    /* SHOT_SLOW */ 0,
    /* INSTANCE_SLOW */ 550, 500,
    /* SPELL_SLOW */ 500,
    /* SHOT_SLOW */ 256,
    /* SHOT_DRAIN */ 20,
    /* INSTANCE_DRAIN */ 5, 3,
    /* SHOT_MISSILE */ 20,
    /* INSTANCE_MISSILE */ 25, 2,
    /* SHOT_MISSILE */ 200,
    /* SHOT_NAVIGATING_MISSILE */ 40,
    /* INSTANCE_NAVIGATING_MISSILE */ 50, 2,
    /* SHOT_NAVIGATING_MISSILE */ 200,
    /* SHOT_FLAME_BREATHE */ 3,
    /* INSTANCE_FLAME_BREATH */ 8, 4,
    /* SHOT_WIND */ 0,
    /* INSTANCE_WIND */ 1200, 800,
    /* SHOT_WIND */ 200,
    /* INSTANCE_FLY */ 400, 250,
    /* SPELL_FLY */ 750,
    /* INSTANCE_SIGHT */ 200, 150,
    /* SPELL_SIGHT */ 500,
    /* SHOT_GRENADE */ 0,
    /* INSTANCE_GRENADE */ 60, 20,
    /* SHOT_GRENADE */ 128,
    /* SHOT_HAIL_STORM */ 5,
    /* INSTANCE_HAILSTORM */ 32, 20,
    /* SHOT_HAIL_STORM */ 220,
    /* INSTANCE_WORD_OF_POWER */ 400, 250,
    /* INSTANCE_FART */ 150, 100,
    /* SPELL_CRAZY_GAS */ 300,
};

// General game, health and block values.
constexpr int kMisc[28] = {
    /* GAME_DEFAULT_GENERATE_SPEED */ 350,
    /* GAME_PAY_DAY_GAP */ 10000,
    /* GAME_DOOR_OPEN_FOR */ 50,
    /* GAME_DUNGEON_HEART_HEALTH */ 30000,
    /* GAME_DUNGEON_HEART_HEAL_HEALTH */ 1,
    /* GAME_DUNGEON_HEART_HEAL_TIME */ 8,
    /* HEALTH_TORTURE_HEALTH_LOSS */ 50,
    /* HEALTH_GAME_TURNS_PER_TORTURE_HEALTH_LOSS */ 400,
    /* GAME_TRAIN_COST_FREQUENCY */ 64,
    /* GAME_SCAVENGE_COST_FREQUENCY */ 64,
    /* GAME_DISEASE_TRANSFER_PERCENTAGE */ 25,
    /* GAME_DISEASE_LOSE_PERCENTAGE_HEALTH */ 10,
    /* GAME_DISEASE_LOSE_HEALTH_TIME */ 400,
    /* GAME_BODIES_FOR_VAMPIRE */ 10,
    /* GAME_BODY_REMAINS_FOR */ 2000,
    /* GAME_DEFAULT_IMP_DIG_DAMAGE */ 1,
    /* GAME_DEFAULT_IMP_DIG_OWN_DAMAGE */ 2,
    /* BLOCK_HEALTH_ROCK */ 2,
    /* BLOCK_HEALTH_PRETTY */ 20,
    /* BLOCK_HEALTH_GOLD */ 20,
    /* GAME_GOLD_PER_GOLD_BLOCK */ 1024,
    /* GAME_BOULDER_REDUCE_HEALTH_SLAP */ 18,
    /* GAME_BOULDER_REDUCE_HEALTH_WALL */ 6,
    /* GAME_BOULDER_REDUCE_HEALTH_ROOM */ 6,
    /* GAME_FOOD_GENERATION_SPEED */ 2000,
    /* HEALTH_FOOD_HEALTH_GAIN */ 50,
    /* HEALTH_HUNGER_HEALTH_LOSS */ 50,
    /* HEALTH_GAME_TURNS_PER_HUNGER_HEALTH_LOSS */ 400,
};
// clang-format on

template <std::size_t N>
void fillCategory(ValueSet& set, Category category, const int (&values)[N]) {
    static_assert(N > 0);
    const int offset = recordOffset(category);
    for (std::size_t i = 0; i < N; ++i)
        set[static_cast<std::size_t>(offset) + i] = values[i];
}

} // namespace

void FillCreatureDefaults(ValueSet& set) {
    for (int kind = 1; kind <= kCreatureKinds; ++kind)
        for (int field = 1; field <= kCreatureFields; ++field)
            set[static_cast<std::size_t>(recordOf(SlotRef::creature(kind, field)) - 1)] =
                kCreatureByField[field - 1][kind - 1];
}

void FillRoomDefaults(ValueSet& set) {
    fillCategory(set, Category::Room, kRoom);
}
void FillMagicDefaults(ValueSet& set) {
    fillCategory(set, Category::Magic, kMagic);
}
void FillResearchDefaults(ValueSet& set) {
    fillCategory(set, Category::Research, kResearch);
}
void FillTrapDoorDefaults(ValueSet& set) {
    fillCategory(set, Category::TrapDoor, kTrapDoor);
}
void FillAbilityDefaults(ValueSet& set) {
    fillCategory(set, Category::Ability, kAbility);
}
void FillMiscDefaults(ValueSet& set) {
    fillCategory(set, Category::Misc, kMisc);
}

const ValueSet& factoryDefaults() {
    static const ValueSet defaults = [] {
        ValueSet set{};
        FillCreatureDefaults(set);
        FillRoomDefaults(set);
        FillMagicDefaults(set);
        FillResearchDefaults(set);
        FillTrapDoorDefaults(set);
        FillAbilityDefaults(set);
        FillMiscDefaults(set);
        return set;
    }();
    return defaults;
}

} // namespace tavrel
