#include "keeperfx/campaigns.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "core/fileio.h"
#include "keeperfx/config_text.h"
#include "keeperfx/layers.h"

namespace tavrel::keeperfx {

namespace {

// KeeperFX reads a campaign file of 2 to 65536 bytes and passes over any other.
constexpr std::size_t kCampaignLeast = 2;
constexpr std::size_t kCampaignMost = 65536;

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// Bytes below 7 stand for blanks in KeeperFX's reading of a command.
bool isControl(char c) {
    return static_cast<unsigned char>(c) < 7;
}

// The lines of the first [common] block, found as KeeperFX finds a block: '[', blanks,
// the name in any case, blanks, ']'.
std::vector<std::string_view> commonLines(std::string_view text) {
    std::vector<std::string_view> lines;
    bool inBlock = false;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && (isSpace(line.front()) || isControl(line.front())))
            line.remove_prefix(1);
        if (line.starts_with('[')) {
            if (inBlock)
                break;
            line.remove_prefix(1);
            while (!line.empty() && isSpace(line.front()))
                line.remove_prefix(1);
            constexpr std::string_view kCommon = "common";
            if (line.size() < kCommon.size() || !sameName(line.substr(0, kCommon.size()), kCommon))
                continue;
            line.remove_prefix(kCommon.size());
            while (!line.empty() && isSpace(line.front()))
                line.remove_prefix(1);
            inBlock = line.starts_with(']');
            continue;
        }
        if (inBlock)
            lines.push_back(line);
    }
    return lines;
}

// The value of a `KEY = value` line for `key`, as KeeperFX takes a whole value: the rest of
// the line after blanks and '='; nullopt when the line is not that key's (a longer key that
// begins the same is another).
std::optional<std::string_view> valueOf(std::string_view line, std::string_view key) {
    if (line.size() < key.size() || !sameName(line.substr(0, key.size()), key))
        return std::nullopt;
    line.remove_prefix(key.size());
    if (!line.empty() && !isSpace(line.front()) && line.front() != '=' && !isControl(line.front()))
        return std::nullopt;
    while (!line.empty() &&
           (isSpace(line.front()) || line.front() == '=' || isControl(line.front())))
        line.remove_prefix(1);
    const auto end = std::find_if(line.begin(), line.end(), isControl);
    line = line.substr(0, static_cast<std::size_t>(end - line.begin()));
    // A folder with blanks at its end is the folder without them on Windows.
    while (!line.empty() && isSpace(line.back()))
        line.remove_suffix(1);
    return line;
}

// Whether a SINGLE_LEVELS value names a level: a word whose leading number is above 0.
bool namesLevel(std::string_view value) {
    for (const std::string& word : splitWords(value)) {
        long number = 0;
        std::size_t at = word.front() == '-' || word.front() == '+' ? 1 : 0;
        for (; at < word.size() && word[at] >= '0' && word[at] <= '9' && number < 100000; ++at)
            number = number * 10 + (word[at] - '0');
        if (word.front() != '-' && number > 0)
            return true;
    }
    return false;
}

bool holdsLevelList(const std::string& installPath, std::string_view levels) {
    if (levels.empty())
        return false;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(fileio::pathOf(onDisk(installPath, levels)), error)) {
        const std::string file = fileio::utf8Of(entry.path().filename());
        const std::string_view end =
            std::string_view(file).substr(std::max<std::size_t>(file.size(), 4) - 4);
        if (file.size() > 4 && (sameName(end, ".lif") || sameName(end, ".lof")))
            return true;
    }
    return false;
}

// A folder as the program uses it: '/' between its parts; kept as written when it leaves
// the install folder, which KeeperFX reads but no mod can hold a copy of.
std::string folderOf(std::string_view location) {
    return folderBelow(location).value_or(std::string(location));
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
        if (fileio::readFile(fileio::joinPath(dir, file), text, kCampaignMost) ||
            text.size() < kCampaignLeast)
            continue;
        Campaign campaign;
        campaign.name = file.substr(0, file.size() - 4);
        campaign.mapPack = mapPack;
        bool hasLevel = false;
        for (std::string_view line : commonLines(text)) {
            // Each line sets its key again: the last of a key counts.
            if (auto value = valueOf(line, "NAME"); value && !value->empty())
                campaign.title = std::string(*value);
            else if (auto configs = valueOf(line, "CONFIGS_LOCATION"); configs && !configs->empty())
                campaign.configsLocation = folderOf(*configs);
            else if (auto creatures = valueOf(line, "CREATURES_LOCATION");
                     creatures && !creatures->empty())
                campaign.creaturesLocation = folderOf(*creatures);
            else if (auto levels = valueOf(line, "LEVELS_LOCATION"); levels && !levels->empty())
                campaign.levelsLocation = folderOf(*levels);
            else if (auto single = valueOf(line, "SINGLE_LEVELS"))
                hasLevel = hasLevel || namesLevel(*single);
        }
        if (mapPack ? !holdsLevelList(installPath, campaign.levelsLocation) : !hasLevel)
            continue;
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

std::string campaignNames(const std::vector<Campaign>& campaigns) {
    std::string names;
    for (const Campaign& campaign : campaigns)
        names.append(names.empty() ? "" : ", ").append(campaign.name);
    return names;
}

std::optional<std::string> folderBelow(std::string_view location) {
    std::string path;
    while (!location.empty()) {
        const std::size_t slash = location.find_first_of("/\\");
        const std::string_view part = location.substr(0, slash);
        location.remove_prefix(slash == std::string_view::npos ? location.size() : slash + 1);
        if (part.empty() || part == ".")
            continue;
        if (part == ".." || part.find_first_of(":*?\"<>|") != std::string_view::npos ||
            std::any_of(part.begin(), part.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 32; }))
            return std::nullopt;
        path.append(path.empty() ? "" : "/").append(part);
    }
    return path;
}

} // namespace tavrel::keeperfx
