#include <gtest/gtest.h>

#include "editing/history.h"

namespace tavrel {
namespace {

// A store whose every change feeds a history, as in the editor.
struct Recorded {
    SettingsStore store;
    History history;
    Recorded() {
        store.setChangeHook([this](const std::vector<SlotChange>& changes, std::string_view what) {
            history.record(changes, what);
        });
    }
};

const SlotRef kTreasuryCost = SlotRef::of(Category::Room, 2); // record 2252

TEST(History, UndoAndRedoPlayAStepBackAndForth) {
    Recorded r;
    r.store.set(kTreasuryCost, 7);
    r.store.set(kTreasuryCost, 7); // changes nothing: no step
    r.store.set(kTreasuryCost, 9);
    EXPECT_EQ(r.history.nextUndo()->changes, (std::vector<SlotChange>{{2252, 7, 9}}));
    r.history.undo(r.store);
    r.history.undo(r.store);
    EXPECT_EQ(r.store.value(kTreasuryCost), 0);
    EXPECT_EQ(r.history.undo(r.store), nullptr);
    r.history.redo(r.store);
    EXPECT_EQ(r.store.value(kTreasuryCost), 7);
}

TEST(History, TheOldestStepGoesWhenTheHistoryIsFull) {
    Recorded r;
    for (int value = 1; value <= 1001; ++value)
        r.store.set(kTreasuryCost, value);
    int undone = 0;
    while (r.history.undo(r.store))
        ++undone;
    EXPECT_EQ(undone, 1000);
    EXPECT_EQ(r.store.value(kTreasuryCost), 1);
}

} // namespace
} // namespace tavrel
