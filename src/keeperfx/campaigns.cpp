#include "keeperfx/campaigns.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/fileio.h"
#include "keeperfx/config_text.h"

namespace tavrel::keeperfx {

namespace {

// A campaign file is a page of text; anything far larger is not one.
constexpr std::size_t kCampaignReadLimit = std::size_t{1} << 20;

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words)
        text.append(text.empty() ? "" : " ").append(word);
    return text;
}

void addFrom(const std::string& installPath, std::string_view folder, bool mapPack,
             std::vector<Campaign>& into) {
    const auto found = fileio::findEntry(installPath, folder);
    if (!found)
        return;
    const std::string dir = fileio::joinPath(installPath, *found);
    std::vector<Campaign> campaigns;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(fileio::pathOf(dir), error)) {
        const std::string file = fileio::utf8Of(entry.path().filename());
        if (file.size() <= 4 || !sameName(std::string_view(file).substr(file.size() - 4), ".cfg"))
            continue;
        std::string text;
        if (fileio::readFile(fileio::joinPath(dir, file), text, kCampaignReadLimit))
            continue;
        Campaign campaign;
        campaign.name = file.substr(0, file.size() - 4);
        campaign.mapPack = mapPack;
        const ConfigFile config = parseConfig(text);
        if (const ConfigSection* common = config.find("common"))
            for (const ConfigLine& line : common->lines) {
                std::string value = joined(line.words);
                if (sameName(line.key, "NAME") && campaign.title.empty())
                    campaign.title = std::move(value);
                else if (sameName(line.key, "CONFIGS_LOCATION"))
                    campaign.configsLocation = std::move(value);
                else if (sameName(line.key, "CREATURES_LOCATION"))
                    campaign.creaturesLocation = std::move(value);
                else if (sameName(line.key, "LEVELS_LOCATION"))
                    campaign.levelsLocation = std::move(value);
            }
        if (campaign.title.empty())
            campaign.title = campaign.name;
        campaigns.push_back(std::move(campaign));
    }
    std::sort(campaigns.begin(), campaigns.end(),
              [](const Campaign& a, const Campaign& b) { return a.name < b.name; });
    into.insert(into.end(), campaigns.begin(), campaigns.end());
}

} // namespace

std::string Campaign::label() const {
    return (mapPack ? "map pack " : "campaign ") + title;
}

std::vector<Campaign> listCampaigns(const std::string& installPath) {
    std::vector<Campaign> campaigns;
    addFrom(installPath, "campgns", false, campaigns);
    addFrom(installPath, "levels", true, campaigns);
    return campaigns;
}

const Campaign* findCampaign(const std::vector<Campaign>& campaigns, std::string_view name) {
    for (const Campaign& campaign : campaigns)
        if (sameName(campaign.name, name))
            return &campaign;
    return nullptr;
}

} // namespace tavrel::keeperfx
