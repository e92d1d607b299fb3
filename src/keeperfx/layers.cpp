#include "keeperfx/layers.h"

#include <algorithm>
#include <cerrno>

#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "keeperfx/encoding.h"
#include "keeperfx/install.h"
#include "keeperfx/limits.h"

namespace tavrel::keeperfx {

namespace {

constexpr std::string_view kCreatureFolder = "creatrs/";

std::string_view fileName(std::string_view file) {
    return file.substr(file.rfind('/') + 1);
}

} // namespace

std::string ioText(const fileio::IoError& error) {
    return error.path + ": " + error.reason();
}

bool isMissing(const fileio::IoError& error) {
    return (error.code == ENOENT || error.code == ENOTDIR) && error.why.empty();
}

std::int32_t valueOf(const ValueSet& values, int record) {
    return values[static_cast<std::size_t>(record - 1)];
}

std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

std::string onDisk(const std::string& root, std::string_view relative) {
    std::string path = root;
    while (!relative.empty()) {
        const std::size_t slash = relative.find('/');
        const std::string_view part = relative.substr(0, slash);
        path = fileio::joinPath(path, fileio::findEntry(path, part).value_or(std::string(part)));
        relative.remove_prefix(slash == std::string_view::npos ? relative.size() : slash + 1);
    }
    return path;
}

const std::vector<std::string_view>& ruleFiles() {
    static const std::vector<std::string_view> files = [] {
        std::vector<std::string_view> list;
        for (const Place& place : places_data::kPlaces)
            if (place.encoding != Encoding::None &&
                std::find(list.begin(), list.end(), place.file) == list.end())
                list.push_back(place.file);
        return list;
    }();
    return files;
}

bool isCreatureFile(std::string_view file) {
    return file.starts_with(kCreatureFolder);
}

std::string_view campaignFolder(const Campaign* campaign, std::string_view file) {
    if (!campaign)
        return {};
    return isCreatureFile(file) ? campaign->creaturesLocation : campaign->configsLocation;
}

std::vector<std::string> ModOrder::all() const {
    std::vector<std::string> mods;
    for (const auto* block : {&afterBase, &afterCampaign, &afterMap})
        for (const std::string& mod : *block)
            if (!hasName(mods, mod))
                mods.push_back(mod);
    return mods;
}

ModOrder readModOrder(const std::string& installPath, std::string_view without) {
    ModOrder order;
    order.path = onDisk(installPath, std::string(kModsFolder) + "/" + std::string(kLoadOrderFile));
    if (const fileio::Status kind = fileio::whyNotAFile(order.path)) {
        if (!isMissing(*kind))
            order.failure = "Unable to read " + ioText(*kind) + ".";
        return order;
    }
    std::string text;
    if (auto error = fileio::readFile(order.path, text, kConfigReadLimit)) {
        order.failure = "Unable to read " + ioText(*error) + ".";
        return order;
    }
    // An apply writes the file without the marks that hide its first block: it reads the
    // mods that will be loaded then.
    const std::string_view shown = without.empty() ? text : withoutByteOrderMarks(text);
    for (auto [block, into] : {std::pair{"after_base", &order.afterBase},
                               {"after_campaign", &order.afterCampaign},
                               {"after_map", &order.afterMap}})
        for (std::string& mod : blockMods(shown, block)) {
            if (!isReadableModName(mod) || sameName(mod, without))
                continue;
            if (fileio::isFolder(onDisk(installPath, std::string(kModsFolder) + "/" + mod)))
                into->push_back(std::move(mod));
            else if (!hasName(order.missing, mod))
                order.missing.push_back(std::move(mod));
        }
    order.text = std::move(text);
    return order;
}

std::vector<Layer> layersOf(std::string_view file, std::string_view folder, const ModOrder& order) {
    const std::string own =
        folder.empty() ? std::string() : std::string(folder) + "/" + std::string(fileName(file));
    std::vector<Layer> layers{{std::string(file), Stage::Base, {}}};
    auto mods = [&](const std::vector<std::string>& block, Stage stage) {
        for (const std::string& mod : block) {
            const std::string dir = std::string(kModsFolder) + "/" + mod + "/";
            layers.push_back({dir + std::string(file), stage, mod});
            if (!own.empty())
                layers.push_back({dir + own, stage, mod});
        }
    };
    mods(order.afterBase, Stage::AfterBase);
    if (!own.empty())
        layers.push_back({own, Stage::Campaign, {}});
    mods(order.afterCampaign, Stage::AfterCampaign);
    mods(order.afterMap, Stage::AfterMap);
    return layers;
}

void RuleFiles::standIn(std::string mod, std::map<std::string, std::string> files) {
    standInMod_ = std::move(mod);
    standIns_ = std::move(files);
    std::erase_if(read_, [&](const auto& entry) {
        return entry.first.starts_with(std::string(kModsFolder) + "/" + standInMod_ + "/");
    });
}

const ConfigFile* RuleFiles::find(const Layer& layer) {
    auto [at, fresh] = read_.try_emplace(layer.path);
    if (!fresh)
        return at->second ? &*at->second : nullptr;
    if (!standInMod_.empty() && sameName(layer.mod, standInMod_)) {
        if (const auto text = standIns_.find(layer.path); text != standIns_.end())
            at->second = parseConfig(text->second);
        return at->second ? &*at->second : nullptr;
    }
    const std::string path = onDisk(root_, layer.path);
    if (const fileio::Status kind = fileio::whyNotAFile(path)) {
        if (layer.stage == Stage::Base && failure_.empty())
            failure_ = isMissing(*kind) ? "KeeperFX's file " + path + " is missing."
                                        : "Unable to read KeeperFX's file " + ioText(*kind) + ".";
        // A link to nothing is no file to KeeperFX's look-ups of the later files either.
        else if (!isMissing(*kind) && kind->why != fileio::IsDanglingLink && failure_.empty())
            failure_ = "Unable to read " + ioText(*kind) + ".";
        return nullptr;
    }
    std::string text;
    if (auto error = fileio::readFile(path, text, kConfigReadLimit)) {
        if (failure_.empty())
            failure_ = "Unable to read " + ioText(*error) + ".";
        return nullptr;
    }
    at->second = parseConfig(text);
    return &*at->second;
}

StackedFile stackLayers(const std::vector<Layer>& layers, RuleFiles& files, std::size_t from,
                        std::size_t to) {
    StackedFile stacked;
    for (std::size_t i = from; i < std::min(to, layers.size()); ++i)
        if (const ConfigFile* file = files.find(layers[i]))
            stacked.stack(*file);
    return stacked;
}

const Words* researchLine(const std::vector<Words>* lines, std::string_view item) {
    if (!lines)
        return nullptr;
    const Words name = splitWords(item);
    for (const Words& line : *lines)
        if (line.size() >= name.size() &&
            std::equal(name.begin(), name.end(), line.begin(),
                       [](const std::string& a, const std::string& b) { return sameName(a, b); }))
            return &line;
    return nullptr;
}

Words* researchLine(std::vector<Words>* lines, std::string_view item) {
    return const_cast<Words*>(researchLine(static_cast<const std::vector<Words>*>(lines), item));
}

const Words& wordsOf(const StackedFile& rules, const Place& place) {
    const Words* words = place.encoding == Encoding::ResearchAmount
                             ? researchLine(rules.research(), place.item)
                             : rules.find(place.section, place.key);
    // A key no file has is an empty list to KeeperFX: no property, no job.
    static const Words none;
    return words ? *words : none;
}

// What KeeperFX plays, which for a number beyond its field is not what the file says.
std::optional<std::int32_t> valueIn(const StackedFile& rules, const Place& place) {
    return playedValue(place, decodeSlot(place, wordsOf(rules, place)));
}

bool setsPlace(const StackedFile& alone, const Place& place) {
    if (place.encoding == Encoding::ResearchAmount)
        return researchLine(alone.research(), place.item) != nullptr;
    const Words* words = alone.find(place.section, place.key);
    // A shorter line of a list leaves the later places to the files before it.
    return words && (place.index < 0 || static_cast<int>(words->size()) > place.index);
}

bool playsSame(int record, std::int32_t a, std::int32_t b) {
    return placeOf(record).encoding == Encoding::FearPercent ? fearPercent(a) == fearPercent(b)
                                                             : a == b;
}

SlotValues slotValues(const std::map<std::string_view, StackedFile>& files) {
    SlotValues read;
    read.values = factoryDefaults();
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (place.encoding == Encoding::None)
            continue;
        const auto at = static_cast<std::size_t>(record - 1);
        const auto value = valueIn(files.at(place.file), place);
        // Several Fears give one percentage: the factory value, when it is one of them,
        // is the one that shows as unchanged.
        if (value && playsSame(record, *value, read.values[at]))
            continue;
        if (value)
            read.values[at] = *value;
        else
            read.unread.push_back(record);
    }
    return read;
}

} // namespace tavrel::keeperfx
