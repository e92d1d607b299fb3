#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fileio.h"
#include "core/settings_store.h"

namespace tavrel::keeperfx {

inline constexpr std::string_view kDefaultModName = "tavrel";

// What the editor tells a player whose game folder holds KeeperFX, once at start-up.
inline constexpr std::string_view kStartUpMessage =
    "This folder holds KeeperFX, which does not read CREATURE.TXT. Apply Changes writes "
    "CREATURE.TXT, which only the original game reads. Apply to KeeperFX, in the KeeperFX "
    "menu, writes the values as the KeeperFX mod mods/tavrel, which KeeperFX plays in free "
    "play and in every campaign and map pack; Read KeeperFX Rules shows the values KeeperFX "
    "plays with now.";

// Whether the folder holds KeeperFX: its fxdata and creatrs folders, in any letter case.
bool holdsKeeperFxRules(const std::string& installPath);

// A mod name is one plain folder name: letters, digits, '_', '-' and inner dots.
bool isValidModName(std::string_view name);

// The values KeeperFX plays free play, or one campaign or map pack, with.
struct RulesRead {
    bool ok = false;
    std::string message; // why nothing was read
    ValueSet values{};
    std::vector<std::string> mods;  // the mods read, each once, in the order KeeperFX reads them
    std::vector<std::string> notes; // listed mods that are not there
    // Slots whose place KeeperFX leaves empty or fills with a word the editor has no value
    // for; they keep the factory value.
    std::vector<int> unread;
    std::string campaign;             // the campaign or map pack read as; empty for free play
    std::string campaignLabel;        // how the player knows it, as Campaign::label
    std::vector<std::string> folders; // its own rule folders that were read
    // Per record (element 0 is record 1): the layer whose file set the value, as a player
    // knows it: "KeeperFX default", "mod NAME", "campaign TITLE", "map pack TITLE"; empty
    // where no file sets it.
    std::vector<std::string> origins;
    // Where the values came from, for the status line.
    std::string status() const;
};
// `campaign` names a campaign or map pack (listCampaigns); empty: free play. Map files
// (mapNNNNN.*) belong to single levels and are not read.
RulesRead readRules(const std::string& installPath, std::string_view campaign = {});

// The message for a campaign name the folder does not have, naming the ones it has.
std::string unknownCampaignMessage(const std::string& installPath, std::string_view name);

// Free play, a campaign or a map pack (by its label) where changed values stay as another
// layer sets them, and how many.
struct KeptValues {
    std::string label;
    int count = 0;
    bool operator==(const KeptValues&) const = default;
};

// What applying the values as a KeeperFX mod did.
struct ModApply {
    bool ok = false;
    std::string message;                // on failure: what failed, and that nothing changed
    std::optional<SlotRef> refusedSlot; // the value that has no KeeperFX words, if that refused it
    std::optional<fileio::IoError> error;
    int valuesWritten = 0;
    int filesWritten = 0;
    std::string summary;            // on success: what was written where
    std::vector<std::string> notes; // values written to no effect, or not written at all
    // As ApplyPreview's, for what was written.
    std::vector<KeptValues> kept;
    std::vector<std::string> sharing;
    std::vector<std::string> maps;
    std::string status() const; // the summary and the notes
};

// The message refusing a value without KeeperFX words, naming its slot as `name`.
std::string refusedModValueMessage(std::int32_t value, std::string_view name);

// Where an apply makes KeeperFX play the changed values.
enum class ApplyScope : std::uint8_t {
    Everywhere,     // free play and every campaign and map pack of the folder
    UnderCampaigns, // free play; a campaign or map pack keeps its own value where it sets one
    OneCampaign,    // only what is played with one campaign's or map pack's rule folders
};

struct ApplyOptions {
    std::string modName{kDefaultModName};
    ApplyScope scope = ApplyScope::Everywhere;
    std::string campaign; // the one of OneCampaign
    // Where the values were read as (a campaign's name; empty: free play). A value is
    // changed where it differs from what KeeperFX plays there without this mod.
    std::string readAs;
};

// What an apply would do, said before anything is written.
struct ApplyPreview {
    bool ok = false;
    std::string message;   // why it cannot be made
    std::string question;  // what it will do, in a player's words
    int changedValues = 0; // values that differ from what is played without the mod
    // Where changed values the scope reaches stay as a campaign's own rules or a later mod
    // set them: free play ("free play"), campaigns and map packs by their labels.
    std::vector<KeptValues> kept;
    // OneCampaign: free play, campaigns and map packs that play with the same rule folders
    // and so change too.
    std::vector<std::string> sharing;
    // Levels whose own map files set changed values again ("campaign TITLE level 3"); their
    // own rules win on those maps.
    std::vector<std::string> maps;
};
ApplyPreview previewApply(const std::string& installPath, const ValueSet& values,
                          const ApplyOptions& options);
// Writes GAMEDIR/mods/NAME/ so that KeeperFX plays the changed values where the scope
// reaches (everywhere: the last [after_campaign] mod, with copies of the campaigns' folders
// that keep each campaign's own other values; under the campaigns: the last [after_base]
// mod; one campaign: the last [after_campaign] mod, with copies that keep every other
// folder as it was). Every other line of load_order.cfg stays. The previous mods/NAME/ is
// replaced as a whole, but only when this editor wrote it: any other entry of that name,
// in any letter case, is refused. On failure the old mod and load_order.cfg stay as they
// were. One apply at a time: a second one, from another program, is refused while the
// first runs.
ModApply applyMod(const std::string& installPath, const ValueSet& values,
                  const ApplyOptions& options);

// The same everywhere, read as free play.
ModApply applyMod(const std::string& installPath, const ValueSet& values,
                  std::string_view modName = kDefaultModName);

} // namespace tavrel::keeperfx
