#include <gtest/gtest.h>

#include "core/factory_defaults.h"

namespace tavrel {
namespace {

TEST(SettingsStore, StartsWithZeroValuesAndFactoryDefaults) {
    SettingsStore store;
    EXPECT_EQ(store.values(), ValueSet{});
    EXPECT_EQ(store.value(SlotRef::creature(1, 5)), 0);
    EXPECT_EQ(store.defaultValue(SlotRef::creature(1, 5)), 350);
    store.set(SlotRef::of(Category::Misc, 28), 9);
    EXPECT_EQ(store.values()[kSlotCount - 1], 9);
    const auto before = store.revision();
    store.restoreDefaults();
    EXPECT_GT(store.revision(), before);
    EXPECT_EQ(store.values(), store.defaults());
}

} // namespace
} // namespace tavrel
