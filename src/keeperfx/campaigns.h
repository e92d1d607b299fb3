#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::keeperfx {

// A campaign (campgns/NAME.cfg) or map pack (levels/NAME.cfg) of a KeeperFX folder. Its
// folders are relative to the install folder, '/' separated; empty when it sets none.
struct Campaign {
    std::string name;  // the file's name without .cfg: what a player types to choose it
    std::string title; // its own NAME line; the file's name when it has none
    bool mapPack = false;
    std::string configsLocation;   // partial fxdata files, read after the [after_base] mods
    std::string creaturesLocation; // partial creatrs files, the same
    std::string levelsLocation;    // its maps, whose mapNNNNN.* files belong to single levels
    // How the player knows it: "campaign TITLE" or "map pack TITLE".
    std::string label() const;
};

// The campaigns, then the map packs, each in the order of their file names. Listed are
// the ones KeeperFX offers: a campaign with a single-player level, a map pack whose
// levels folder holds a level list (.lif) or a level's own description (.lof).
std::vector<Campaign> listCampaigns(const std::string& installPath);

// The one of that name, in any letter case; null when there is none.
const Campaign* findCampaign(const std::vector<Campaign>& campaigns, std::string_view name);

// The names of the campaigns and map packs, for a message: "keeporig, deepdngn".
std::string campaignNames(const std::vector<Campaign>& campaigns);

// A campaign's folder as a path below any folder: its parts without empty ones and ".",
// '\' read as '/' as on Windows; nullopt when a part leaves the folder ("..") or could
// not be a folder name.
std::optional<std::string> folderBelow(std::string_view location);

} // namespace tavrel::keeperfx
