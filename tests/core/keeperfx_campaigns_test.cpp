// KeeperFX's campaigns and map packs: which are offered, every layer read as one of them
// is played, where each value comes from.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

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
    // A folder a mod can hold a copy of, or none.
    const std::pair<std::string_view, std::optional<std::string>> folders[] = {
        {"./levels//x\\y/", "levels/x/y"}, {"a/../b", std::nullopt}, {"C:/x", std::nullopt}};
    for (const auto& [location, below] : folders)
        EXPECT_EQ(folderBelow(location), below) << location;
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

// The games of the test install: free play, the campaigns and the map pack.
constexpr std::string_view kGames[] = {"", "alpha", "twin", "beta", "gamma"};

struct Played {
    std::vector<std::string_view> games;
    int record;
    std::int32_t value;
};

struct ScopeCase {
    ApplyScope scope;
    const char* campaign;
    std::vector<Played> played; // where changed values are played; elsewhere all stays
    std::vector<KeptValues> kept;
    std::vector<std::string> sharing, maps;
    const char* question;
    const char* summary;
};

// The Sight power's Power 0 and 4, a list key alpha sets the start of; the Wizard's See
// Invisible, a word of Properties, which beta writes whole, and Health, which beta sets
// and its level 3 sets again.
constexpr std::pair<int, std::int32_t> kEdits[] = {{2302, 999}, {2306, 555}, {72, 1}, {5, 400}};

TEST(KeeperFxScopes, EachGamePlaysWhatItsScopeReachesAndKeepsTheRest) {
    const ScopeCase cases[] = {
        {ApplyScope::Everywhere,
         "",
         {{{"", "alpha", "twin", "beta", "gamma"}, 2302, 999},
          {{"", "alpha", "twin", "beta", "gamma"}, 2306, 555},
          {{"", "alpha", "twin", "beta", "gamma"}, 72, 1},
          {{"", "alpha", "twin", "beta", "gamma"}, 5, 400}},
         {},
         {},
         {"campaign Beta Deep level 3"},
         "Apply 4 changed values everywhere, as the KeeperFX mod mods/tavrel? Free play and every "
         "campaign and map pack in this folder will play them as you have them, and keep their "
         "own for every value you did not change. 1 map sets some of the changed values again in "
         "its own files, and on such a map its own rules win: campaign Beta Deep level 3. "
         "KeeperFX loads this mod after the campaigns' own rules, which it advises only for those "
         "who know the effect: a campaign's levels are built for its rules, and a changed value "
         "can make one of them impossible to win.",
         "KeeperFX mod \"tavrel\" applied: 4 values written in 4 files. Free play and every "
         "campaign and map pack play the changed values, and keep their own for every other. 1 "
         "map sets some of the changed values again in its own files, and on such a map its own "
         "rules win: campaign Beta Deep level 3."},
        {ApplyScope::UnderCampaigns,
         "",
         {{{"", "beta", "gamma"}, 2302, 999},
          {{"", "alpha", "twin", "beta", "gamma"}, 2306, 555},
          {{"", "alpha", "twin", "gamma"}, 72, 1},
          {{"", "alpha", "twin", "gamma"}, 5, 400}},
         {{"campaign Alpha Rising", 1}, {"campaign Beta Deep", 2}, {"campaign Alpha Twin", 1}},
         {},
         {},
         "Apply 4 changed values under the campaigns' rules, as the KeeperFX mod mods/tavrel? "
         "Free play will play every changed value. Campaigns and map packs that set a value "
         "themselves keep their own there: campaign Alpha Rising keeps 1 value, campaign Beta "
         "Deep keeps 2 values and campaign Alpha Twin keeps 1 value.",
         "KeeperFX mod \"tavrel\" applied: 4 values written in 2 files. Free play plays every "
         "changed value. Campaigns and map packs that set a value themselves keep their own "
         "there: campaign Alpha Rising keeps 1 value, campaign Beta Deep keeps 2 values and "
         "campaign Alpha Twin keeps 1 value."},
        {ApplyScope::OneCampaign,
         "alpha",
         {{{"alpha", "twin"}, 2302, 999},
          {{"alpha", "twin"}, 2306, 555},
          {{"", "alpha", "twin", "gamma"}, 72, 1},
          {{"", "alpha", "twin", "gamma"}, 5, 400}},
         {},
         {"free play", "campaign Alpha Twin", "map pack Gamma Pack"},
         {},
         "Apply 4 changed values to the rules of campaign Alpha Rising only, as the KeeperFX mod "
         "mods/tavrel? They change what is played with campgns/alpha_cfgs and KeeperFX's default "
         "creature files, as it has no creature folder of its own. Free play, campaign Alpha Twin "
         "and map pack Gamma Pack play with some of the same rules, so they change too where they "
         "share them. The other "
         "campaigns and map packs play as before. KeeperFX loads this mod after the campaigns' "
         "own rules, which it advises only for those who know the effect: a campaign's levels are "
         "built for its rules, and a changed value can make one of them impossible to win.",
         nullptr},
        {ApplyScope::OneCampaign,
         "beta",
         {{{"", "beta", "gamma"}, 2302, 999},
          {{"", "beta", "gamma"}, 2306, 555},
          {{"beta"}, 72, 1},
          {{"beta"}, 5, 400}},
         {},
         {"free play", "map pack Gamma Pack"},
         {"campaign Beta Deep level 3"},
         nullptr,
         "KeeperFX mod \"tavrel\" applied: 4 values written in 3 files. The changed values are "
         "played with the rules of campaign Beta Deep. Free play and map pack Gamma Pack play "
         "with some of the same rules, so they change too where they share them. The other "
         "campaigns and map packs play as before. 1 map sets some of the changed values again in "
         "its own files, and on such a "
         "map its own rules win: campaign Beta Deep level 3."},
        // No rule folder of its own: it plays KeeperFX's defaults, as others do.
        {ApplyScope::OneCampaign,
         "gamma",
         {{{"", "beta", "gamma"}, 2302, 999},
          {{"", "beta", "gamma"}, 2306, 555},
          {{"", "alpha", "twin", "gamma"}, 72, 1},
          {{"", "alpha", "twin", "gamma"}, 5, 400}},
         {},
         {"free play", "campaign Alpha Rising", "campaign Beta Deep", "campaign Alpha Twin"},
         {},
         "Apply 4 changed values to the rules of map pack Gamma Pack only, as the KeeperFX mod "
         "mods/tavrel? They change what is played with KeeperFX's default rules, as it has no "
         "rule folder of its own. Free play, campaign Alpha Rising, campaign Beta Deep and "
         "campaign Alpha Twin play with some of the same rules, so they change too where they "
         "share them. The other campaigns and map packs play as before. KeeperFX loads this mod "
         "after the campaigns' own rules, which it advises only for those who know the effect: a "
         "campaign's levels are built for its rules, and a changed value can make one of them "
         "impossible to win.",
         nullptr},
    };
    test::TempDir made;
    test::makeKeeperFxInstall(made.path());
    test::addKeeperFxCampaigns(made.path());
    std::map<std::string_view, ValueSet> before;
    for (std::string_view game : kGames)
        before[game] = readRules(made.path(), game).values;
    for (const ScopeCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.scope) * 10 + std::string_view(c.campaign).size());
        test::TempDir game;
        // Entry by entry: MinGW's copy refuses a folder that already stands as the target.
        for (const auto& entry : std::filesystem::directory_iterator(made.path()))
            std::filesystem::copy(entry.path(),
                                  std::filesystem::path(game.path()) / entry.path().filename(),
                                  std::filesystem::copy_options::recursive);
        ApplyOptions options;
        options.scope = c.scope;
        // The values as read from the game of the scope, then edited.
        options.campaign = options.readAs = c.campaign;
        ValueSet values = before[c.campaign];
        for (const auto& [record, value] : kEdits)
            values[static_cast<std::size_t>(record - 1)] = value;
        const ApplyPreview preview = previewApply(game.path(), values, options);
        ASSERT_TRUE(preview.ok) << preview.message;
        if (c.question) {
            EXPECT_EQ(preview.question, c.question);
        }
        EXPECT_EQ(preview.kept, c.kept);
        EXPECT_EQ(preview.sharing, c.sharing);
        EXPECT_EQ(preview.maps, c.maps);
        const ModApply applied = applyMod(game.path(), values, options);
        ASSERT_TRUE(applied.ok) << applied.message;
        if (c.summary) {
            EXPECT_EQ(applied.summary, c.summary);
        }
        for (std::string_view name : kGames) {
            SCOPED_TRACE(name);
            ValueSet expected = before[name];
            for (const Played& p : c.played)
                if (std::find(p.games.begin(), p.games.end(), name) != p.games.end())
                    expected[static_cast<std::size_t>(p.record - 1)] = p.value;
            const ValueSet read = readRules(game.path(), name).values;
            for (int record = 1; record <= kSlotCount; ++record)
                EXPECT_EQ(read[static_cast<std::size_t>(record - 1)],
                          expected[static_cast<std::size_t>(record - 1)])
                    << record;
        }
    }
}

// Words that are no slot stay as each game has them: the tenth Power, beta's own property.
TEST(KeeperFxScopes, CopiesOfTheCampaignsFoldersCarryTheirWholeKeys) {
    test::TempDir game;
    test::makeKeeperFxInstall(game.path());
    test::addKeeperFxCampaigns(game.path());
    ValueSet values = readRules(game.path()).values;
    for (const auto& [record, value] : kEdits)
        values[static_cast<std::size_t>(record - 1)] = value;
    ASSERT_TRUE(applyMod(game.path(), values).ok);
    EXPECT_NE(test::readBytes(game.file("mods/tavrel/campgns/alpha_cfgs/magic.cfg"))
                  .find("\r\n[power5]\r\nPower = 999 12 13 768 555 896 960 1024 1088 1088\r\n"),
              std::string::npos);
    EXPECT_NE(test::readBytes(game.file("mods/tavrel/campgns/beta_crtr/wizard.cfg"))
                  .find("Properties = BLEEDS SEE_INVISIBLE\r\n"),
              std::string::npos);
    EXPECT_EQ(test::readBytes(game.file("mods/load_order.cfg")),
              "; players' own\r\n[after_base]\r\nbase\r\n\r\n[after_campaign]\r\nother\r\n"
              "tavrel\r\n");
}

} // namespace
} // namespace tavrel::keeperfx
