#include <gtest/gtest.h>

#include <algorithm>

#include "core/factory_defaults.h"

namespace tavrel {
namespace {

std::int32_t def(SlotRef ref) {
    return factoryDefaults()[static_cast<std::size_t>(recordOf(ref) - 1)];
}

TEST(FactoryDefaults, HoldTheGamesCheckableFacts) {
    for (int kind = 1; kind <= kCreatureKinds; ++kind) {
        for (int field : {37, 72, 73, 75})
            EXPECT_TRUE(def(SlotRef::creature(kind, field)) == 0 ||
                        def(SlotRef::creature(kind, field)) == 1);
        EXPECT_EQ(def(SlotRef::creature(kind, 49)), 1);
        EXPECT_NE(def(SlotRef::creature(kind, 39)), 0);
        for (int n = 2; n <= 10; ++n)
            EXPECT_EQ(def(SlotRef::creature(kind, 38 + n)) == 0,
                      def(SlotRef::creature(kind, 48 + n)) == 0)
                << "kind " << kind << " power " << n;
        const bool vampire = kind == 25;
        const std::int32_t levels[2][9] = {
            {1000, 3500, 5000, 6500, 8500, 10500, 13000, 16000, 20000},
            {1000, 3500, 6500, 12000, 17000, 25000, 40000, 50000, 60000}};
        for (int i = 0; i < 9; ++i) {
            const std::int32_t expected = (kind == 23 && i == 0) ? 2500 : levels[vampire][i];
            EXPECT_EQ(def(SlotRef::creature(kind, 26 + i)), expected) << "kind " << kind;
        }
    }
    EXPECT_EQ(def(SlotRef::creature(1, 5)), 350);
    EXPECT_EQ(def(SlotRef::creature(17, 5)), 900);
    EXPECT_EQ(def(SlotRef::of(Category::Magic, 215)), 500);
    EXPECT_EQ(def(SlotRef::of(Category::Magic, 216)), 500);
    EXPECT_EQ(def(SlotRef::of(Category::Magic, 87)), 1000);
    EXPECT_EQ(def(SlotRef::of(Category::Research, 28)), 100000);
    EXPECT_EQ(def(SlotRef::of(Category::Research, 29)), 750000);
    for (int slot : {3, 23})
        EXPECT_EQ(def(SlotRef::of(Category::TrapDoor, slot)), 0);
    for (int slot : {18, 34, 46, 65, 75})
        EXPECT_EQ(def(SlotRef::of(Category::Ability, slot)), 0);
    const auto& all = factoryDefaults();
    EXPECT_EQ(*std::min_element(all.begin(), all.end()), 0);
    EXPECT_EQ(*std::max_element(all.begin(), all.end()), 750000);
}

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
