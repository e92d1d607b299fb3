// KeeperFX's campaigns and map packs: which are offered, every layer read as one of them
// is played, where each value comes from.

#include <gtest/gtest.h>

#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "keeperfx/campaigns.h"
#include "keeperfx/install.h"

namespace tavrel::keeperfx {
namespace {

TEST(KeeperFxCampaigns, AreListedAsKeeperFxOffersThem) {
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    test::addKeeperFxCampaigns(game.path());
    std::vector<std::string> seen;
    for (const Campaign& c : listCampaigns(game.path()))
        seen.push_back(c.name + "|" + c.label() + "|" + c.configsLocation + "|" +
                       c.creaturesLocation + "|" + c.levelsLocation);
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "alpha|campaign Alpha Rising|campgns/alpha_cfgs||campgns/alpha",
                        "beta|campaign Beta Deep||campgns/beta_crtr|campgns/beta",
                        "twin|campaign Alpha Twin|campgns/alpha_cfgs||",
                        "gamma|map pack Gamma Pack|||levels/gamma"}));
}

struct Expected {
    const char* campaign;
    int record;
    std::int32_t value;
    const char* origin;
};

TEST(KeeperFxCampaigns, ReadStacksEveryLayerOfTheGamePlayed) {
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    test::addKeeperFxCampaigns(game.path());
    constexpr std::string_view files[][2] = {
        {"mods/load_order.cfg", "[after_base]\nbase\nearly\n[after_campaign]\nother\nlate\n"
                                "[after_map]\nlast\n"},
        {"mods/early/campgns/alpha_cfgs/magic.cfg", "[power5]\nCost = 5\n"},
        {"mods/late/fxdata/magic.cfg", "[power5]\nPower = 21\n"},
        {"mods/last/creatrs/wizard.cfg", "[attributes]\nLuck = 77\n"},
    };
    for (const auto& [file, text] : files) {
        test::makeFolders(game.file(file.substr(0, file.rfind('/'))));
        test::writeBytes(game.file(file), text);
    }
    // Power 0 to 3 and Cost 0 of the Sight power; the Wizard's Health, Luck, See Invisible
    // and Bleeds.
    const Expected cases[] = {
        {"", 2302, 21, "mod late"},
        {"", 2303, 640, "mod base"},
        {"", 2293, 50, "mod base"},
        {"", 5, 350, "mod base"},
        {"", 11, 77, "mod last"},
        {"alpha", 2302, 21, "mod late"},
        {"alpha", 2303, 12, "campaign Alpha Rising"},
        {"alpha", 2304, 13, "campaign Alpha Rising"},
        {"alpha", 2305, 768, "mod base"},
        {"alpha", 2293, 5, "mod early"},
        {"twin", 2303, 12, "campaign Alpha Twin"},
        {"twin", 2304, 13, "campaign Alpha Twin"},
        {"twin", 2293, 5, "mod early"},
        {"beta", 5, 700, "campaign Beta Deep"},
        {"beta", 72, 0, "campaign Beta Deep"},
        {"beta", 11, 77, "mod last"},
        {"gamma", 2302, 21, "mod late"},
    };
    const RulesRead free = readRules(game.path());
    ASSERT_TRUE(free.ok) << free.message;
    for (const char* campaign : {"", "alpha", "twin", "beta", "gamma"}) {
        SCOPED_TRACE(campaign);
        const RulesRead read = readRules(game.path(), campaign);
        ASSERT_TRUE(read.ok) << read.message;
        EXPECT_EQ(read.mods, (std::vector<std::string>{"base", "early", "late", "last"}));
        ValueSet expected = free.values;
        for (const Expected& c : cases)
            if (std::string_view(c.campaign) == campaign) {
                expected[static_cast<std::size_t>(c.record - 1)] = c.value;
                EXPECT_EQ(read.origins[static_cast<std::size_t>(c.record - 1)], c.origin)
                    << c.record;
            }
        for (int record = 1; record <= kSlotCount; ++record)
            EXPECT_EQ(read.values[static_cast<std::size_t>(record - 1)],
                      expected[static_cast<std::size_t>(record - 1)])
                << record;
    }
    EXPECT_EQ(readRules(game.path(), "BETA").status(),
              "KeeperFX rules of campaign Beta Deep read from fxdata and creatrs, its own "
              "campgns/beta_crtr and the mods base, early, late and last. The mod other listed "
              "in load_order.cfg is not in the mods folder, so KeeperFX skips it.");
    EXPECT_EQ(readRules(game.path(), "notes").message,
              "KeeperFX in " + game.path() +
                  " has no campaign or map pack \"notes\"; it has alpha, beta, twin, gamma.");
}

} // namespace
} // namespace tavrel::keeperfx
