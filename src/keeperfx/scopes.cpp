#include "keeperfx/scopes.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <system_error>
#include <tuple>

#include "core/catalogue.h"
#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "keeperfx/campaigns.h"
#include "keeperfx/encoding.h"
#include "keeperfx/limits.h"

namespace tavrel::keeperfx {

namespace {

// The keys of one file that the mod writes, in the order they were first touched.
struct ModFilePlan {
    StackedFile target;
    std::vector<std::pair<std::string_view, std::string_view>> keys; // section, key
    bool research = false;

    void touch(std::string_view section, std::string_view key) {
        const std::pair<std::string_view, std::string_view> entry{section, key};
        if (std::find(keys.begin(), keys.end(), entry) == keys.end())
            keys.push_back(entry);
    }
};

// The file's text, or empty when it holds nothing the base does not already.
std::string renderPlan(const ModFilePlan& plan, const StackedFile& base) {
    ConfigFile file;
    for (const auto& entry : plan.keys) {
        const std::string_view section = entry.first, key = entry.second;
        const Words* target = plan.target.find(section, key);
        if (!target)
            continue;
        const Words& words = *target;
        const Words* before = base.find(section, key);
        if (before && *before == words)
            continue;
        auto found = std::find_if(file.sections.begin(), file.sections.end(),
                                  [&](const ConfigSection& s) { return s.name == section; });
        if (found == file.sections.end())
            found = file.sections.insert(file.sections.end(), {std::string(section), {}});
        ConfigLine line{std::string(key), words};
        // Without a number the line would keep immunities of earlier files.
        if (sameName(key, "SpellImmunity") && !hasNumber(words))
            line.words.insert(line.words.begin(), "0");
        found->lines.push_back(std::move(line));
    }
    // Any [research] block replaces KeeperFX's whole list: it is written whole or not at all.
    if (plan.research && plan.target.research() &&
        (!base.research() || *base.research() != *plan.target.research())) {
        ConfigSection research{std::string(kResearchSection), {}};
        for (const Words& words : *plan.target.research())
            research.lines.push_back({std::string(kResearchKey), words});
        file.sections.push_back(std::move(research));
    }
    return file.sections.empty() ? std::string() : renderConfig(file, kModComment);
}

// Puts one slot's value into the mod's copy of its file; true when that changed it.
bool planSlot(ModFilePlan& plan, const Place& place, std::int32_t value) {
    if (place.encoding == Encoding::ResearchAmount) {
        std::vector<Words>& lines = plan.target.researchForWrite();
        Words* line = researchLine(&lines, place.item);
        if (!line) {
            lines.push_back(splitWords(place.item));
            line = &lines.back();
        }
        if (decodeSlot(place, *line) == value)
            return false;
        encodeSlot(place, value, *line);
        plan.research = true;
        return true;
    }
    Words& words = plan.target.at(place.section, place.key);
    if (playedValue(place, decodeSlot(place, words)) == value)
        return false;
    encodeSlot(place, value, words);
    tenthFollowsNinth(place, words);
    plan.touch(place.section, place.key);
    if (!place.alsoSection.empty()) {
        Place second = place;
        second.section = place.alsoSection;
        encodeSlot(second, value, plan.target.at(second.section, second.key));
        plan.touch(second.section, second.key);
    }
    return true;
}

// Puts every changed value of `file` into the plan, and what follows from them.
void planEdits(ModFilePlan& plan, std::string_view file, const ValueSet& values,
               const std::vector<bool>& changed) {
    std::vector<bool> put(kSlotCount + 2, false);
    for (int record = 1; record <= kSlotCount; ++record)
        if (changed[static_cast<std::size_t>(record)] && placeOf(record).file == file)
            put[static_cast<std::size_t>(record)] =
                planSlot(plan, placeOf(record), heldFactoryValue(record, valueOf(values, record)));
    // "To Level (10)" is also the training a creature needs to grow up, while it does:
    // the slot after it names the kind it grows into.
    for (int record = 1; record < kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (!place.alsoGrowUp || place.file != file ||
            !(put[static_cast<std::size_t>(record)] || put[static_cast<std::size_t>(record) + 1]) ||
            valueOf(values, record + 1) <= 0)
            continue;
        const Place& growUp = placeOf(record + 1);
        Place first = growUp;
        first.index = 0;
        first.encoding = Encoding::Number;
        encodeSlot(first, valueOf(values, record), plan.target.at(growUp.section, growUp.key));
        plan.touch(growUp.section, growUp.key);
    }
}

std::string countOf(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// A sentence may begin with "free play".
std::string capitalized(std::string text) {
    if (!text.empty() && text.front() >= 'a' && text.front() <= 'z')
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    return text;
}

std::string keptList(const std::vector<KeptValues>& kept) {
    std::vector<std::string> items;
    for (const KeptValues& each : kept)
        items.push_back(each.label + " keeps " +
                        countOf(static_cast<std::size_t>(each.count), "value", "values"));
    return listed(items);
}

// The maps a list names before it says how many more there are.
constexpr std::size_t kMapsNamed = 8;

std::string mapsSentence(const std::vector<std::string>& maps) {
    if (maps.empty())
        return {};
    std::vector<std::string> named(
        maps.begin(),
        maps.begin() + static_cast<std::ptrdiff_t>(std::min(maps.size(), kMapsNamed)));
    if (maps.size() > kMapsNamed)
        named.push_back(countOf(maps.size() - kMapsNamed, "more", "more"));
    return " " + countOf(maps.size(), "map sets", "maps set") +
           " some of the changed values again in its own files, and on such a map its own "
           "rules win: " +
           listed(named) + ".";
}

constexpr std::string_view kLaterLayersWarning =
    " KeeperFX loads this mod after the campaigns' own rules, which it advises only for "
    "those who know the effect: a campaign's levels are built for its rules, and a changed "
    "value can make one of them impossible to win.";

// A map file's level and the rule file it stands for: map00003.wizard.cfg is level 3's
// creatrs/wizard.cfg; none for any other name.
std::optional<std::pair<int, std::string_view>> mapFileOf(std::string_view name) {
    constexpr std::size_t kDigits = 5;
    if (name.size() <= 4 + kDigits || !sameName(name.substr(0, 3), "map") ||
        name[3 + kDigits] != '.')
        return std::nullopt;
    int level = 0;
    for (char c : name.substr(3, kDigits)) {
        if (c < '0' || c > '9')
            return std::nullopt;
        level = level * 10 + (c - '0');
    }
    const std::string_view rest = name.substr(4 + kDigits);
    for (std::string_view file : ruleFiles())
        if (sameName(file.substr(file.find('/') + 1), rest))
            return std::pair{level, file};
    return std::nullopt;
}

struct FolderKey {
    std::string_view file;
    std::string folder; // in lower case: one folder however campaigns spell it
    bool operator<(const FolderKey& other) const {
        return std::tie(file, folder) < std::tie(other.file, other.folder);
    }
};

} // namespace

ModPlan planMod(const std::string& installPath, const ValueSet& values,
                const ApplyOptions& options) {
    ModPlan plan;
    const std::string& mod = options.modName;
    const std::vector<Campaign> campaigns = listCampaigns(installPath);
    const Campaign* target = nullptr;
    const Campaign* readAs = nullptr;
    for (auto [name, into] : {std::pair{&options.campaign, &target}, {&options.readAs, &readAs}}) {
        if (name->empty() || (into == &target && options.scope != ApplyScope::OneCampaign))
            continue;
        *into = findCampaign(campaigns, *name);
        if (!*into) {
            plan.failure = unknownCampaignMessage(installPath, *name);
            return plan;
        }
    }
    if (options.scope == ApplyScope::OneCampaign && !target) {
        plan.failure = "Name the campaign or map pack whose rules the values are for.";
        return plan;
    }
    plan.order = readModOrder(installPath, mod);
    if (!plan.order.failure.empty()) {
        plan.failure = plan.order.failure;
        return plan;
    }
    // Under the campaigns' rules the mod comes before them; otherwise after them, where a
    // copy of a campaign's folder in the mod carries that campaign's own values.
    const bool afterCampaigns = options.scope != ApplyScope::UnderCampaigns;
    ModOrder withMod = plan.order;
    (afterCampaigns ? withMod.afterCampaign : withMod.afterBase).push_back(mod);
    plan.loadOrder = withModIn(plan.order.text.value_or(std::string()), mod,
                               afterCampaigns ? "after_campaign" : "after_base");
    if (const std::vector<std::string> loaded =
            blockMods(plan.loadOrder, afterCampaigns ? "after_campaign" : "after_base");
        loaded.empty() || loaded.back() != mod) {
        plan.failure = "KeeperFX would not load the mod from load_order.cfg: it reads no file "
                       "over 65,536 bytes and no more than 50 mods of a block.";
        return plan;
    }

    RuleFiles files(installPath);
    std::map<std::string_view, StackedFile> before;
    for (std::string_view file : ruleFiles())
        before[file] = stackLayers(layersOf(file, campaignFolder(readAs, file), plan.order), files);
    knowNames(before);
    if (!files.failure().empty()) {
        plan.failure = files.failure();
        return plan;
    }
    std::vector<bool> changed(kSlotCount + 2, false);
    std::set<std::string_view> changedFiles;
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (place.encoding == Encoding::None)
            continue;
        const auto was = valueIn(before.at(place.file), place);
        if (was && playsSame(record, heldFactoryValue(record, valueOf(values, record)), *was))
            continue;
        // Reading KeeperFX's rules gave such a slot the factory value; writing that back
        // would put a word the player never chose in place of KeeperFX's own.
        if (!was && valueOf(values, record) == valueOf(factoryDefaults(), record) &&
            holdsForeignWord(place, wordsOf(before.at(place.file), place))) {
            ++plan.foreignKept;
            continue;
        }
        changed[static_cast<std::size_t>(record)] = true;
        plan.changed.push_back(record);
        changedFiles.insert(place.file);
    }

    // Whether the scope reaches a file read with a campaign's folder ("": none).
    auto reaches = [&](std::string_view file, std::string_view folder) {
        return options.scope != ApplyScope::OneCampaign ||
               sameName(folder, campaignFolder(target, file));
    };
    std::map<std::string, std::string> standIns; // below the install folder
    for (std::string_view file : changedFiles) {
        std::vector<std::string> folders{""};
        for (const Campaign& campaign : campaigns)
            if (!campaignFolder(&campaign, file).empty() &&
                !hasName(folders, campaignFolder(&campaign, file)))
                folders.emplace_back(campaignFolder(&campaign, file));
        ModFilePlan first;
        ConfigFile firstFile;
        for (const std::string& folder : folders) {
            const std::vector<Layer> layers = layersOf(file, folder, withMod);
            const auto at = std::find_if(layers.begin(), layers.end(), [&](const Layer& layer) {
                return sameName(layer.mod, mod);
            });
            ModFilePlan each;
            each.target =
                stackLayers(layers, files, 0, static_cast<std::size_t>(at - layers.begin()));
            const StackedFile own = each.target;
            if (reaches(file, folder))
                planEdits(each, file, values, changed);
            std::string text, path;
            if (folder.empty()) {
                text = renderPlan(each, own);
                firstFile = parseConfig(text);
                path = std::string(file);
                first = std::move(each);
            } else {
                // The mod's own copy of the file is read first: what it changed must be put
                // back to this folder's values, or to its changed ones.
                for (const auto& [section, key] : first.keys) {
                    each.target.at(section, key);
                    each.touch(section, key);
                }
                each.research = each.research || first.research;
                StackedFile read = own;
                read.stack(firstFile);
                text = renderPlan(each, read);
                const auto below = folderBelow(folder);
                if (!text.empty() && !below) {
                    plan.failure = "A campaign keeps its rules in \"" + folder +
                                   "\", outside the game folder, where no mod can hold its own "
                                   "values.";
                    return plan;
                }
                path = below.value_or(std::string()) + "/" +
                       std::string(file.substr(file.find('/') + 1));
            }
            if (text.empty())
                continue;
            for (const auto& staged : plan.files)
                if (sameName(staged.first, path)) {
                    plan.failure =
                        "Two of the campaigns' folders are one file in the mod: " + path + ".";
                    return plan;
                }
            standIns[std::string(kModsFolder) + "/" + mod + "/" + path] = text;
            plan.files.emplace_back(path, std::move(text));
        }
    }

    // What each game plays with the mod, for each file and folder stacked once.
    files.standIn(mod, std::move(standIns));
    std::map<FolderKey, StackedFile> played;
    auto playedIn = [&](std::string_view file, std::string_view folder) -> const StackedFile& {
        FolderKey key{file, lowered(folder)};
        auto at = played.find(key);
        if (at == played.end())
            at = played.emplace(key, stackLayers(layersOf(file, folder, withMod), files)).first;
        return at->second;
    };
    auto playsChanged = [&](const StackedFile& rules, int record) {
        const auto value = valueIn(rules, placeOf(record));
        return value && playsSame(record, *value, valueOf(values, record));
    };
    std::vector<const Campaign*> games{nullptr};
    for (const Campaign& campaign : campaigns)
        games.push_back(&campaign);
    bool freePlayShares = false;
    bool sharesPart = false; // a game that plays some of the changed files the target's way
    for (const Campaign* game : games) {
        const std::string label = game ? game->label() : "free play";
        int kept = 0;
        bool shares = false, all = true;
        for (int record : plan.changed) {
            const std::string_view file = placeOf(record).file;
            const std::string_view folder = campaignFolder(game, file);
            all = all && reaches(file, folder);
            if (!reaches(file, folder))
                continue;
            shares = true;
            kept += playsChanged(playedIn(file, folder), record) ? 0 : 1;
        }
        sharesPart = sharesPart || (target && game != target && shares && !all);
        if (kept > 0)
            plan.kept.push_back({label, kept});
        if (target && game != target && shares) {
            freePlayShares = freePlayShares || !game;
            plan.sharing.push_back(label);
        }
    }

    // Map files of the campaigns' levels, read after the mod while their level is played.
    std::set<std::string> levelsSeen;
    for (const Campaign& campaign : campaigns) {
        if (campaign.levelsLocation.empty())
            continue;
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(
                 fileio::pathOf(onDisk(installPath, campaign.levelsLocation)), error))
            names.push_back(fileio::utf8Of(entry.path().filename()));
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            const auto map = mapFileOf(name);
            if (!map || !changedFiles.count(map->second))
                continue;
            const std::string_view file = map->second;
            const std::string_view folder = campaignFolder(&campaign, file);
            const std::vector<Layer> layers = layersOf(file, folder, withMod);
            const auto split = static_cast<std::size_t>(
                std::find_if(layers.begin(), layers.end(),
                             [](const Layer& layer) { return layer.stage == Stage::AfterMap; }) -
                layers.begin());
            StackedFile level = stackLayers(layers, files, 0, split);
            if (const ConfigFile* own =
                    files.find({campaign.levelsLocation + "/" + name, Stage::Campaign, {}}))
                level.stack(*own);
            for (std::size_t i = split; i < layers.size(); ++i)
                if (const ConfigFile* later = files.find(layers[i]))
                    level.stack(*later);
            const bool overrides =
                std::any_of(plan.changed.begin(), plan.changed.end(), [&](int record) {
                    return placeOf(record).file == file && reaches(file, folder) &&
                           playsChanged(playedIn(file, folder), record) &&
                           !playsChanged(level, record);
                });
            if (overrides &&
                levelsSeen
                    .insert(lowered(campaign.levelsLocation) + "/" + std::to_string(map->first))
                    .second)
                plan.maps.push_back(campaign.label() + " level " + std::to_string(map->first));
        }
    }
    if (!files.failure().empty()) {
        plan.failure = files.failure();
        return plan;
    }

    for (int record : plan.changed)
        if (heldFactoryValue(record, valueOf(values, record)) != valueOf(values, record))
            plan.notes.push_back(heldFactoryNote(record, valueOf(values, record)));
    // Durations KeeperFX takes from a keeper power instead.
    for (int record : plan.changed) {
        const Place& place = placeOf(record);
        if (!place.section.starts_with("spell") || !sameName(place.key, "Duration"))
            continue;
        const Words* power = before.at(place.file).find(place.section, "SpellPower");
        if (power && !power->empty() && !sameName(power->front(), "NULL") && power->front() != "0")
            plan.notes.push_back(std::string(slotInfoOfRecord(record).row) +
                                 " Duration has no effect while KeeperFX links the spell to the "
                                 "keeper power " +
                                 power->front() + ", whose duration it uses.");
    }

    const std::string changes = countOf(plan.changed.size(), "changed value", "changed values");
    const std::string asMod = "as the KeeperFX mod mods/" + mod;
    const std::string later =
        plan.kept.empty()
            ? std::string()
            : " Mods loaded after this one set some of them again: " + keptList(plan.kept) + ".";
    const std::string maps = mapsSentence(plan.maps);
    if (plan.changed.empty()) {
        plan.question = "Every value already equals what KeeperFX plays in " +
                        (readAs ? readAs->label() : std::string("free play")) +
                        ", so the KeeperFX mod mods/" + mod +
                        " will hold no config file. Apply it anyway?";
        return plan;
    }
    switch (options.scope) {
    case ApplyScope::Everywhere:
        plan.question = "Apply " + changes + " everywhere, " + asMod +
                        "? Free play and every campaign and map pack in this folder will play them "
                        "as you have them, and keep their own for every value you did not change." +
                        later + maps + std::string(kLaterLayersWarning);
        plan.outcome =
            "Free play and every campaign and map pack play the changed values, and keep "
            "their own for every other." +
            later + maps;
        break;
    case ApplyScope::UnderCampaigns: {
        const std::string own =
            plan.kept.empty()
                ? std::string(", and so does every campaign and map pack, as none of them sets "
                              "one of these values itself.")
                : ". Campaigns and map packs that set a value themselves keep their own there: " +
                      keptList(plan.kept) + ".";
        plan.question = "Apply " + changes + " under the campaigns' rules, " + asMod +
                        "? Free play will play every changed value" +
                        (plan.kept.empty() ? own.substr(0, own.size() - 1) + "." : own) + maps;
        plan.outcome = "Free play plays every changed value" + own + maps;
        break;
    }
    case ApplyScope::OneCampaign: {
        std::vector<std::string> parts;
        for (const bool creatures : {false, true}) {
            const auto file = std::find_if(changedFiles.begin(), changedFiles.end(),
                                           [&](auto f) { return isCreatureFile(f) == creatures; });
            if (file == changedFiles.end())
                continue;
            const std::string_view folder = campaignFolder(target, *file);
            parts.push_back(!folder.empty() ? std::string(folder)
                            : creatures
                                ? "KeeperFX's default creature files, as it has no creature "
                                  "folder of its own"
                                : "KeeperFX's default config files, as it has no config folder of "
                                  "its own");
        }
        const std::string shared =
            plan.sharing.empty() ? std::string()
                                 : " " + capitalized(listed(plan.sharing)) +
                                       (plan.sharing.size() == 1 ? " plays" : " play") +
                                       (sharesPart ? " with some of the same rules, so "
                                                   : " with the same rules, so ") +
                                       (plan.sharing.size() == 1 ? "it changes" : "they change") +
                                       (sharesPart ? " too where they share them." : " too.");
        const std::string rest = freePlayShares
                                     ? " The other campaigns and map packs play as before."
                                     : " Free play and the other campaigns and map packs play as "
                                       "before.";
        // A campaign without rule folders plays KeeperFX's defaults, as free play does.
        if (target->configsLocation.empty() && target->creaturesLocation.empty())
            parts = {"KeeperFX's default rules, as it has no rule folder of its own"};
        plan.question = "Apply " + changes + " to the rules of " + target->label() + " only, " +
                        asMod + "? They change what is played with " + listed(parts) + "." +
                        shared + rest + later + maps + std::string(kLaterLayersWarning);
        plan.outcome = "The changed values are played with the rules of " + target->label() + "." +
                       shared + rest + later + maps;
        break;
    }
    }
    return plan;
}

} // namespace tavrel::keeperfx
