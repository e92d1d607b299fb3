#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fileio.h"
#include "core/settings_store.h"
#include "keeperfx/campaigns.h"
#include "keeperfx/config_text.h"
#include "keeperfx/places.h"
#include "keeperfx/stacking.h"

namespace tavrel::keeperfx {

inline constexpr std::string_view kModsFolder = "mods";
inline constexpr std::string_view kLoadOrderFile = "load_order.cfg";

// A failed file operation as a message names it: the path and why.
std::string ioText(const fileio::IoError& error);
// Nothing there, as KeeperFX's own look-ups see it.
bool isMissing(const fileio::IoError& error);
// A slot's value in a set, by its record number.
std::int32_t valueOf(const ValueSet& values, int record);
// "a", "a and b", "a, b and c".
std::string listed(const std::vector<std::string>& items);

// A path below `root` given with '/', each part in the spelling found on disk.
std::string onDisk(const std::string& root, std::string_view relative);

// The files that hold slots ("fxdata/rules.cfg", "creatrs/imp.cfg"), in the order of their
// first slot.
const std::vector<std::string_view>& ruleFiles();

// A creature's file, read with the campaigns' creature folders rather than their configs.
bool isCreatureFile(std::string_view file);
// The campaign's folder that holds its own copy of `file`; empty in free play or when it
// has none.
std::string_view campaignFolder(const Campaign* campaign, std::string_view file);

// Where a file stands in KeeperFX's order.
enum class Stage : std::uint8_t { Base, AfterBase, Campaign, AfterCampaign, AfterMap };

struct Layer {
    std::string path; // below the install folder, '/' separated
    Stage stage = Stage::Base;
    std::string mod; // the mod that holds it; empty for KeeperFX's and the campaign's own
};

// The mods of each block of mods/load_order.cfg that KeeperFX loads.
struct ModOrder {
    std::vector<std::string> afterBase, afterCampaign, afterMap;
    std::vector<std::string> missing; // listed, but not in the mods folder: KeeperFX skips them
    std::string path;                 // of load_order.cfg
    std::optional<std::string> text;  // load_order.cfg, when there is one
    std::string failure;
    // Every mod read, each once, in the order KeeperFX first reads it.
    std::vector<std::string> all() const;
};

// The mods of load_order.cfg but `without`, listed anywhere in it.
ModOrder readModOrder(const std::string& installPath, std::string_view without = {});

// The files KeeperFX reads for `file` while a campaign whose own folder for it is `folder`
// is played (empty: free play, or a campaign without one), in order: the default, each mod's
// copy and its copy of the folder, the folder, the later mods. Map files are not among them.
std::vector<Layer> layersOf(std::string_view file, std::string_view folder, const ModOrder& order);

// The config files of an install, each read once. The files of one mod may be given
// instead of read: then only those count as that mod's.
class RuleFiles {
public:
    explicit RuleFiles(std::string installPath) : root_(std::move(installPath)) {}
    void standIn(std::string mod, std::map<std::string, std::string> files);
    // The file at `path` below the install folder; null when there is none. KeeperFX's own
    // default file must be there.
    const ConfigFile* find(const Layer& layer);
    // Why a file could not be read, or empty.
    const std::string& failure() const { return failure_; }

private:
    std::string root_;
    std::string standInMod_;
    std::map<std::string, std::string> standIns_;
    std::map<std::string, std::optional<ConfigFile>> read_;
    std::string failure_;
};

// The layers stacked in order, [from, to).
StackedFile stackLayers(const std::vector<Layer>& layers, RuleFiles& files, std::size_t from = 0,
                        std::size_t to = SIZE_MAX);

// The words a slot's place holds in a stacked file (empty when no file sets them).
const Words& wordsOf(const StackedFile& rules, const Place& place);
std::optional<std::int32_t> valueIn(const StackedFile& rules, const Place& place);
// Whether a file read alone sets the slot's place.
bool setsPlace(const StackedFile& alone, const Place& place);

// The research line a slot names by its first two words.
Words* researchLine(std::vector<Words>* lines, std::string_view item);
const Words* researchLine(const std::vector<Words>* lines, std::string_view item);

// The slots' values as the editor holds them, read from every rule file; slots whose words
// give none keep the factory value and are listed in `unread`.
struct SlotValues {
    ValueSet values{};
    std::vector<int> unread;
};
SlotValues slotValues(const std::map<std::string_view, StackedFile>& files);

// Whether two values of a slot play the same (several Fears give one percentage).
bool playsSame(int record, std::int32_t a, std::int32_t b);

} // namespace tavrel::keeperfx
