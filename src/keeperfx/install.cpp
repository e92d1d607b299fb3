#include "keeperfx/install.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "core/catalogue.h"
#include "core/factory_defaults.h"
#include "keeperfx/campaigns.h"
#include "keeperfx/config_text.h"
#include "keeperfx/encoding.h"
#include "keeperfx/layers.h"
#include "keeperfx/limits.h"
#include "keeperfx/places.h"
#include "keeperfx/scopes.h"
#include "keeperfx/stacking.h"

namespace tavrel::keeperfx {

namespace {

// The file that marks a mod as this editor's, which it may replace whole; KeeperFX reads
// only its own folders in a mod.
constexpr std::string_view kModMarker = "written_by_tavrel.txt";
constexpr std::string_view kMarkerText =
    "This KeeperFX mod was written by Tavrel, which replaces this folder whole each time "
    "it applies its values to KeeperFX.\r\n";
constexpr std::string_view kNothingChanged = "KeeperFX's files have not been changed.";

bool entryExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(fileio::pathOf(path), error));
}

// The name the folder of an apply cut short between its two moves keeps the old mod under.
std::string asideName(std::string_view mod) {
    return "." + std::string(mod) + ".tavrel-old";
}

// The shared or exclusive lock of the game folder for reading or writing its mods; its
// failure, or empty.
std::string lockMods(const std::string& installPath, bool exclusive, fileio::FolderLock& lock) {
    const fileio::Status error = fileio::lockFolder(installPath, exclusive, lock);
    if (error && error->why == fileio::LockedByOther)
        return "Another apply is writing a KeeperFX mod in " + installPath +
               "; try again when it has finished.";
    // A folder that cannot be locked for reading cannot be written by anyone either.
    if (error && exclusive)
        return "Unable to lock " + ioText(*error) + ".";
    return {};
}

// Why the folder's KeeperFX rules cannot be read now, or empty: held to the end, the lock
// keeps an apply from writing under the read.
std::string lockForReading(const std::string& installPath, fileio::FolderLock& lock) {
    if (!holdsKeeperFxRules(installPath))
        return "The folder " + installPath + " holds no KeeperFX rules (fxdata and creatrs).";
    return lockMods(installPath, false, lock);
}

} // namespace

bool holdsKeeperFxRules(const std::string& installPath) {
    return fileio::isFolder(onDisk(installPath, "fxdata")) &&
           fileio::isFolder(onDisk(installPath, "creatrs"));
}

bool isValidModName(std::string_view name) {
    if (name.empty() || name.size() > kLongestModName)
        return false;
    // KeeperFX trims the blanks around an entry and takes ';' and '[' lines for others; a
    // leading dot is for the copies an apply keeps aside; Windows drops a trailing dot.
    if (name.front() == ' ' || name.front() == '.' || name.front() == ';' || name.front() == '[' ||
        name.back() == ' ' || name.back() == '.')
        return false;
    // Printable ASCII only: KeeperFX reads load_order.cfg in the system's code page on
    // Windows, where other bytes would name another folder.
    constexpr std::string_view kForbidden = "/\\:*?\"<>|";
    return std::all_of(name.begin(), name.end(), [&](char c) {
        return c >= ' ' && c <= '~' && kForbidden.find(c) == std::string_view::npos;
    });
}

bool isReadableModName(std::string_view name) {
    // Any entry names mods/<entry> to KeeperFX; only a name that would lead out of the mods
    // folder (a ".." part, a root or a drive) is not read.
    if (name.empty() || name.front() == '/' || name.front() == '\\' ||
        name.find(':') != std::string_view::npos)
        return false;
    while (!name.empty()) {
        const std::size_t end = name.find_first_of("/\\");
        if (name.substr(0, end) == "..")
            return false;
        name.remove_prefix(end == std::string_view::npos ? name.size() : end + 1);
    }
    return true;
}

std::string RulesRead::status() const {
    std::string text = "KeeperFX rules";
    if (!campaignLabel.empty())
        text += " of " + campaignLabel;
    text += " read from fxdata and creatrs";
    if (!folders.empty())
        text += (mods.empty() ? " and its own " : ", its own ") + listed(folders);
    if (!mods.empty())
        text += (mods.size() == 1 ? " and the mod " : " and the mods ") + listed(mods);
    text += ".";
    for (const std::string& note : notes)
        text += " " + note;
    if (!unread.empty())
        // Appended piece by piece: GCC 12 warns falsely about "literal" + std::string&&.
        text.append(" ")
            .append(std::to_string(unread.size()))
            .append(unread.size() == 1 ? " value has" : " values have")
            .append(" no editor equivalent there and kept the factory value.");
    return text;
}

std::string unknownCampaignMessage(const std::string& installPath, std::string_view name) {
    const std::vector<Campaign> campaigns = listCampaigns(installPath);
    return "KeeperFX in " + installPath + " has no campaign or map pack \"" + std::string(name) +
           "\"; " +
           (campaigns.empty() ? std::string("it has none.")
                              : "it has " + campaignNames(campaigns) + ".");
}

RulesRead readRules(const std::string& installPath, std::string_view campaign) {
    RulesRead read;
    read.campaign = std::string(campaign);
    fileio::FolderLock lock;
    if (read.message = lockForReading(installPath, lock); !read.message.empty())
        return read;
    const std::vector<Campaign> campaigns = listCampaigns(installPath);
    const Campaign* played = campaign.empty() ? nullptr : findCampaign(campaigns, campaign);
    if (!campaign.empty() && !played) {
        read.message = unknownCampaignMessage(installPath, campaign);
        return read;
    }
    const ModOrder order = readModOrder(installPath);
    if (!order.failure.empty()) {
        read.message = order.failure;
        return read;
    }
    if (played) {
        read.campaignLabel = played->label();
        for (const std::string* folder : {&played->configsLocation, &played->creaturesLocation})
            if (!folder->empty() && !hasName(read.folders, *folder))
                read.folders.push_back(*folder);
    }
    RuleFiles files(installPath);
    std::map<std::string_view, StackedFile> stacked;
    read.origins.assign(kSlotCount, std::string());
    for (std::string_view file : ruleFiles()) {
        const std::vector<Layer> layers = layersOf(file, campaignFolder(played, file), order);
        stacked[file] = stackLayers(layers, files);
        // The last file that sets a slot's place is where its value comes from.
        for (const Layer& layer : layers) {
            const ConfigFile* config = files.find(layer);
            if (!config)
                continue;
            StackedFile alone;
            alone.stack(*config);
            const std::string label = !layer.mod.empty()           ? "mod " + layer.mod
                                      : layer.stage == Stage::Base ? "KeeperFX default"
                                                                   : played->label();
            for (int record = 1; record <= kSlotCount; ++record)
                if (placeOf(record).file == file && setsPlace(alone, placeOf(record)))
                    read.origins[static_cast<std::size_t>(record - 1)] = label;
        }
    }
    if (!files.failure().empty()) {
        read.message = files.failure();
        return read;
    }
    const std::string mods = onDisk(installPath, kModsFolder);
    for (const std::string& mod : order.missing)
        read.notes.push_back(
            fileio::findEntry(mods, asideName(mod))
                ? "The mod " + mod +
                      " is not in the mods folder: an apply of it was cut short, "
                      "and its previous copy waits in mods/" +
                      asideName(mod) + " for the next apply to put back."
                : "The mod " + mod +
                      " listed in load_order.cfg is not in the mods folder, so KeeperFX skips it.");
    // Names of instances and rooms that KeeperFX's own files add count in creature files.
    knowNames(stacked);
    SlotValues values = slotValues(stacked);
    read.values = values.values;
    read.unread = std::move(values.unread);
    read.mods = order.all();
    read.ok = true;
    return read;
}

std::string refusedModValueMessage(std::int32_t value, std::string_view name) {
    return "The value " + std::to_string(value) + " of " + std::string(name) +
           " has no equivalent in KeeperFX's files. KeeperFX's files have not been changed.";
}

std::string refusedModValueMessage(SlotRef slot, std::int32_t value, std::string_view name) {
    std::string beyond = limitRefusal(recordOf(slot), value, name);
    return beyond.empty() ? refusedModValueMessage(value, name) : beyond;
}

std::string ModApply::status() const {
    std::string text = summary;
    for (const std::string& note : notes)
        text += " " + note;
    return text;
}

namespace {

struct Staged {
    std::vector<std::pair<std::string, std::string>> files; // path below the mod, content
};

// Why `name` can be no mod folder wherever KeeperFX runs; empty when it can.
std::string_view reservedNameProblem(std::string_view name) {
    if (sameName(name, kLoadOrderFile))
        return "is the name of KeeperFX's list of mods.";
    // Windows gives these names, with any extension, to devices in every folder.
    constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    const std::string_view stem = name.substr(0, name.find('.'));
    const bool numbered =
        stem.size() == 4 && stem[3] >= '1' && stem[3] <= '9' &&
        (sameName(stem.substr(0, 3), "COM") || sameName(stem.substr(0, 3), "LPT"));
    if (numbered || hasName(kDevices, stem))
        return "is a name Windows keeps for a device, so KeeperFX could not use such a mod.";
    return {};
}

std::string_view kindOf(std::filesystem::file_type type) {
    using Type = std::filesystem::file_type;
    switch (type) {
    case Type::regular:
        return "a file";
    case Type::symlink:
        return "a symbolic link";
    case Type::fifo:
        return "a named pipe";
    case Type::block:
    case Type::character:
        return "a device";
    case Type::socket:
        return "a socket";
    default:
        return "no folder";
    }
}

// Whether a folder holds a mod this editor wrote: it has the marker, or, as written before
// there was one, nothing but config files that begin with the editor's comment line.
bool writtenByUs(const std::string& folder) {
    if (fileio::FileExists(fileio::joinPath(folder, kModMarker)))
        return true;
    const std::string comment = "; " + std::string(kModComment);
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(fileio::pathOf(folder), error), end;
         !error && it != end; it.increment(error)) {
        const std::filesystem::file_type type = it->symlink_status(error).type();
        if (type == std::filesystem::file_type::directory)
            continue;
        std::string text;
        if (type != std::filesystem::file_type::regular ||
            fileio::readFile(fileio::utf8Of(it->path()), text, kConfigReadLimit) ||
            !text.starts_with(comment))
            return false;
    }
    return !error;
}

// Why mods/NAME may not be replaced: every entry of that name in any letter case (as
// Windows and KeeperFX's own look-ups see them) must be a folder this editor wrote.
std::string takenBy(const std::string& mods, std::string_view name) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(fileio::pathOf(mods), error), end;
         !error && it != end; it.increment(error)) {
        const std::string entry = fileio::utf8Of(it->path().filename());
        if (!sameName(entry, name))
            continue;
        const std::filesystem::file_type type = it->symlink_status(error).type();
        const std::string taken =
            "The name \"" + std::string(name) + "\" is taken by mods/" + entry;
        if (type != std::filesystem::file_type::directory)
            return taken + ", which is " + std::string(kindOf(type)) + ", not a mod Tavrel wrote.";
        if (!writtenByUs(fileio::utf8Of(it->path())))
            return taken + ", a mod Tavrel did not write.";
    }
    if (error)
        return "Unable to list " + mods + ": " + error.message() + ".";
    return {};
}

} // namespace

ModApply applyMod(const std::string& installPath, const ValueSet& values,
                  const ApplyOptions& options) {
    ModApply result;
    const std::string& name = options.modName;
    const std::string_view modName = name;
    auto refuse = [&](const std::string& why) {
        result.message = why + " " + std::string(kNothingChanged);
        return result;
    };
    if (!isValidModName(modName))
        return refuse("The mod name \"" + name + "\" is not " + std::string(kModNameRule) + ".");
    if (const std::string_view problem = reservedNameProblem(name); !problem.empty())
        return refuse("The mod name \"" + name + "\" " + std::string(problem));
    if (!holdsKeeperFxRules(installPath)) {
        result.message =
            "The folder " + installPath + " holds no KeeperFX rules (fxdata and creatrs).";
        return result;
    }
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (place.encoding != Encoding::None && !encodable(place, valueOf(values, record))) {
            result.refusedSlot = slotOfRecord(record);
            result.message =
                refusedModValueMessage(valueOf(values, record), slotName(*result.refusedSlot));
            return result;
        }
        // Nor any it would wrap or hold at its limit.
        if (place.encoding != Encoding::None &&
            !limitRefusal(record, valueOf(values, record), "").empty()) {
            result.refusedSlot = slotOfRecord(record);
            result.message = refusedModValueMessage(*result.refusedSlot, valueOf(values, record),
                                                    slotName(*result.refusedSlot));
            return result;
        }
    }
    // Held to the end: what is read below is what the mod is written over.
    fileio::FolderLock lock;
    if (std::string failure = lockMods(installPath, true, lock); !failure.empty())
        return refuse(failure);
    const std::string mods = onDisk(installPath, kModsFolder);
    const fileio::Status modsKind = fileio::whyNotAFile(mods);
    const bool madeMods = modsKind && isMissing(*modsKind);
    if (!modsKind)
        return refuse("The KeeperFX mod cannot be written: " + mods + " is a file, not a folder.");
    if (modsKind->code != EISDIR && !madeMods)
        return refuse("The KeeperFX mod cannot be written: " + ioText(*modsKind) + ".");

    const std::string modDir = fileio::joinPath(mods, fileio::findEntry(mods, name).value_or(name));
    const std::string staging = fileio::joinPath(mods, "." + name + ".tavrel-new");
    const std::string old = fileio::joinPath(mods, asideName(name));
    auto fail = [&](fileio::IoError error, std::string_view extra = {}) {
        result.message = "Unable to write the KeeperFX mod: " + ioText(error) + ". " +
                         std::string(extra.empty() ? kNothingChanged : extra);
        result.error = std::move(error);
        fileio::removeFolder(staging);
        if (madeMods && extra.empty())
            fileio::removeFolder(mods);
        return result;
    };
    if (!madeMods) {
        // An apply cut short between its two moves left the previous mod aside: back it goes.
        if (!entryExists(modDir) && entryExists(old))
            if (auto error = fileio::moveEntry(old, modDir))
                return fail(*error);
        for (const std::string& leftover : {staging, old})
            if (auto error = fileio::removeFolder(leftover))
                return fail(*error);
        fileio::removeLeftovers(mods, kLoadOrderFile);
        // A folder that would keep the new mod's folder after a failure is told now.
        if (auto error = fileio::probeReplace(fileio::joinPath(mods, kLoadOrderFile)))
            return refuse("The KeeperFX mod cannot be written: " + ioText(*error) + ".");
        if (std::string taken = takenBy(mods, name); !taken.empty())
            return refuse(taken);
    }

    const ModPlan plan = planMod(installPath, values, options);
    if (!plan.failure.empty())
        return refuse(plan.failure);
    Staged staged;
    staged.files = plan.files;
    if (plan.foreignKept > 0)
        result.notes.push_back(
            std::to_string(plan.foreignKept)
                .append(plan.foreignKept == 1 ? " value keeps its" : " values keep their")
                .append(" KeeperFX words, which have no editor equivalent, as the editor "
                        "holds the factory value there."));
    // The slot KeeperFX has no place for.
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (place.encoding == Encoding::None &&
            valueOf(values, record) != valueOf(factoryDefaults(), record))
            result.notes.push_back(std::string(slotInfoOfRecord(record).row) +
                                   " has no equivalent in KeeperFX, so its value " +
                                   std::to_string(valueOf(values, record)) + " is not written.");
    }
    result.notes.insert(result.notes.end(), plan.notes.begin(), plan.notes.end());

    // Write the new mod beside the old one, then swap the two, then enable it.
    const std::string& order = plan.loadOrder;

    // A file whose folder entry could not be synced is in place; only its safety from a
    // power cut is unknown, and the user is told so.
    std::optional<fileio::IoError> unconfirmed;
    auto replaced = [&](const fileio::Status& error) {
        if (error && error->step == fileio::StepSyncFolder)
            unconfirmed = error;
        return !error || error->step == fileio::StepSyncFolder;
    };

    if (madeMods)
        if (auto error = fileio::makeFolder(mods))
            return fail(*error);
    if (auto error = fileio::makeFolder(staging))
        return fail(*error);
    std::set<std::string> folders;
    for (const auto& [file, text] : staged.files) {
        // Each folder on the way, once: a copy of a campaign's folder lies deeper.
        for (std::size_t slash = file.find('/'); slash != std::string::npos;
             slash = file.find('/', slash + 1))
            if (const std::string folder = file.substr(0, slash); folders.insert(folder).second)
                if (auto error = fileio::makeFolder(onDisk(staging, folder)))
                    return fail(*error);
        auto error = fileio::replaceFile(fileio::joinPath(staging, file), text);
        if (!replaced(error))
            return fail(*error);
    }
    // Last, so that its folder's sync also makes the folders above safe.
    if (auto error = fileio::replaceFile(fileio::joinPath(staging, kModMarker), kMarkerText);
        !replaced(error))
        return fail(*error);
    const bool hadMod = entryExists(modDir);
    if (hadMod)
        if (auto error = fileio::moveEntry(modDir, old))
            return fail(*error);
    auto putBack = [&]() -> std::string {
        if (!hadMod)
            return {};
        if (auto error = fileio::moveEntry(old, modDir))
            return "KeeperFX's files have not been changed, but the previous mod could not be "
                   "put back: it is in " +
                   old + " (" + error->reason() + ").";
        return {};
    };
    if (auto error = fileio::moveEntry(staging, modDir))
        return fail(*error, putBack());
    if (!plan.order.text || order != *plan.order.text) {
        auto error = fileio::replaceFile(plan.order.path, order);
        if (!replaced(error)) {
            std::string extra;
            if (auto back = fileio::moveEntry(modDir, staging))
                extra = "The new mod could not be taken out again and is in " + modDir + " (" +
                        back->reason() + "); " + kLoadOrderFile.data() + " has not been changed.";
            else
                extra = putBack();
            return fail(*error, extra);
        }
    } else {
        // The moves alone are not yet safe from a power cut.
        replaced(fileio::syncFolder(mods));
    }
    if (auto error = fileio::removeFolder(old))
        result.notes.push_back("The previous copy of the mod could not be removed and is in " +
                               old + " (" + error->reason() + ").");

    if (plan.order.text && withoutByteOrderMarks(*plan.order.text) != *plan.order.text) {
        std::vector<std::string> shown;
        const std::vector<std::string> before = afterBaseMods(*plan.order.text);
        for (const std::string& mod : plan.order.afterBase)
            if (!hasName(before, mod))
                shown.push_back(mod);
        if (!shown.empty())
            result.notes.push_back("A byte-order mark at the start of load_order.cfg hid its "
                                   "[after_base] block from KeeperFX; it is written without one, "
                                   "so KeeperFX now also loads " +
                                   listed(shown) + ".");
    }
    if (unconfirmed)
        result.notes.push_back("The system could not confirm that the mod is safely on disk: " +
                               unconfirmed->reason() + ".");
    result.ok = true;
    result.valuesWritten = static_cast<int>(plan.changed.size());
    result.kept = plan.kept;
    result.sharing = plan.sharing;
    result.maps = plan.maps;
    result.filesWritten = static_cast<int>(staged.files.size());
    result.summary = result.filesWritten == 0
                         ? "KeeperFX mod \"" + name +
                               "\" applied: every value already equals KeeperFX's own, so it holds "
                               "no config file."
                         : "KeeperFX mod \"" + name +
                               "\" applied: " + std::to_string(result.valuesWritten) +
                               (result.valuesWritten == 1 ? " value" : " values") + " written in " +
                               std::to_string(result.filesWritten) +
                               (result.filesWritten == 1 ? " file." : " files.");
    if (!plan.outcome.empty())
        result.summary += " " + plan.outcome;
    return result;
}

ApplyPreview previewApply(const std::string& installPath, const ValueSet& values,
                          const ApplyOptions& options) {
    ApplyPreview preview;
    fileio::FolderLock lock;
    if (preview.message = lockForReading(installPath, lock); !preview.message.empty())
        return preview;
    const ModPlan plan = planMod(installPath, values, options);
    if (!plan.failure.empty()) {
        preview.message = plan.failure;
        return preview;
    }
    preview.ok = true;
    preview.question = plan.question;
    preview.changedValues = static_cast<int>(plan.changed.size());
    preview.kept = plan.kept;
    preview.sharing = plan.sharing;
    preview.maps = plan.maps;
    return preview;
}

ModApply applyMod(const std::string& installPath, const ValueSet& values,
                  std::string_view modName) {
    ApplyOptions options;
    options.modName = std::string(modName);
    return applyMod(installPath, values, options);
}

} // namespace tavrel::keeperfx
