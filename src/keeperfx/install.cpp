#include "keeperfx/install.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <set>

#include "core/catalogue.h"
#include "core/factory_defaults.h"
#include "keeperfx/config_text.h"
#include "keeperfx/encoding.h"
#include "keeperfx/limits.h"
#include "keeperfx/places.h"
#include "keeperfx/stacking.h"

namespace tavrel::keeperfx {

namespace {

constexpr std::string_view kModsFolder = "mods";
constexpr std::string_view kLoadOrderFile = "load_order.cfg";
constexpr std::string_view kModComment =
    "Written by Tavrel: only the values that differ from the rules KeeperFX plays with.";
// The file that marks a mod as this editor's, which it may replace whole; KeeperFX reads
// only its own folders in a mod.
constexpr std::string_view kModMarker = "written_by_tavrel.txt";
constexpr std::string_view kMarkerText =
    "This KeeperFX mod was written by Tavrel, which replaces this folder whole each time "
    "it applies its values to KeeperFX.\r\n";
constexpr std::string_view kNothingChanged = "KeeperFX's files have not been changed.";

// The files that hold slots, in the order of their first slot.
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

// A path below `root` given with '/', each part in the spelling found on disk.
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

bool entryExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(fileio::pathOf(path), error));
}

std::string ioText(const fileio::IoError& error) {
    return error.path + ": " + error.reason();
}

// Nothing there, as KeeperFX's own look-ups see it.
bool isMissing(const fileio::IoError& error) {
    return (error.code == ENOENT || error.code == ENOTDIR) && error.why.empty();
}

// The name the folder of an apply cut short between its two moves keeps the old mod under.
std::string asideName(std::string_view mod) {
    return "." + std::string(mod) + ".tavrel-old";
}

// The rules of every file that holds slots, stacked from the defaults through the
// [after_base] mods (but `skipMod`).
struct Stack {
    std::map<std::string_view, StackedFile> files;
    std::vector<std::string> mods;
    std::vector<std::string> missing; // listed mods that are not there, which KeeperFX skips
    std::string loadOrderPath;
    std::optional<std::string> loadOrder; // its text, when the file exists
    std::string failure;
};

bool readText(const std::string& path, std::string& text, std::string& failure) {
    if (auto error = fileio::readFile(path, text, kConfigReadLimit)) {
        failure = "Unable to read " + ioText(*error) + ".";
        return false;
    }
    return true;
}

bool readConfig(const std::string& path, StackedFile& into, std::string& failure) {
    std::string text;
    if (!readText(path, text, failure))
        return false;
    into.stack(parseConfig(text));
    return true;
}

// With `skipMod`, the mods below it once it stands last in load_order.cfg.
Stack stackRules(const std::string& installPath, std::string_view skipMod) {
    Stack stack;
    stack.loadOrderPath =
        onDisk(installPath, std::string(kModsFolder) + "/" + std::string(kLoadOrderFile));
    if (const fileio::Status kind = fileio::whyNotAFile(stack.loadOrderPath)) {
        if (!isMissing(*kind)) {
            stack.failure = "Unable to read " + ioText(*kind) + ".";
            return stack;
        }
    } else {
        std::string text;
        if (!readText(stack.loadOrderPath, text, stack.failure))
            return stack;
        for (std::string& mod : afterBaseMods(skipMod.empty() ? text : withModLast(text, skipMod)))
            if (isReadableModName(mod) && !sameName(mod, skipMod))
                stack.mods.push_back(std::move(mod));
        stack.loadOrder = std::move(text);
    }
    std::erase_if(stack.mods, [&](const std::string& mod) {
        if (fileio::isFolder(onDisk(installPath, std::string(kModsFolder) + "/" + mod)))
            return false;
        stack.missing.push_back(mod);
        return true;
    });
    for (std::string_view file : ruleFiles()) {
        StackedFile& rules = stack.files[file];
        const std::string defaults = onDisk(installPath, file);
        if (const fileio::Status kind = fileio::whyNotAFile(defaults)) {
            stack.failure = isMissing(*kind)
                                ? "KeeperFX's file " + defaults + " is missing."
                                : "Unable to read KeeperFX's file " + ioText(*kind) + ".";
            return stack;
        }
        if (!readConfig(defaults, rules, stack.failure))
            return stack;
        for (const std::string& mod : stack.mods) {
            const std::string path =
                onDisk(installPath, std::string(kModsFolder) + "/" + mod + "/" + std::string(file));
            const fileio::Status kind = fileio::whyNotAFile(path);
            // A link to nothing is no file to KeeperFX either.
            if (kind && (isMissing(*kind) || kind->why == fileio::IsDanglingLink))
                continue;
            if (kind) {
                stack.failure = "Unable to read " + ioText(*kind) + ".";
                return stack;
            }
            if (!readConfig(path, rules, stack.failure))
                return stack;
        }
    }
    knowNames(stack.files);
    return stack;
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

// The research line a slot names by its first two words.
template <typename Lines> auto researchLine(Lines* lines, std::string_view item) {
    decltype(&lines->front()) found = nullptr;
    if (!lines)
        return found;
    const Words name = splitWords(item);
    for (auto& line : *lines)
        if (!found && line.size() >= name.size() &&
            std::equal(name.begin(), name.end(), line.begin(),
                       [](const std::string& a, const std::string& b) { return sameName(a, b); }))
            found = &line;
    return found;
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

std::int32_t valueOf(const ValueSet& values, int record) {
    return values[static_cast<std::size_t>(record - 1)];
}

bool isFactoryValue(const ValueSet& values, int record) {
    return valueOf(values, record) == valueOf(factoryDefaults(), record);
}

std::string quotedList(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    return text;
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
    std::string text = "KeeperFX rules read from fxdata and creatrs";
    if (!mods.empty())
        text += (mods.size() == 1 ? " and the mod " : " and the mods ") + quotedList(mods);
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

RulesRead readRules(const std::string& installPath, std::string_view campaign) {
    RulesRead read;
    read.campaign = std::string(campaign);
    if (!holdsKeeperFxRules(installPath)) {
        read.message =
            "The folder " + installPath + " holds no KeeperFX rules (fxdata and creatrs).";
        return read;
    }
    fileio::FolderLock lock;
    if (read.message = lockMods(installPath, false, lock); !read.message.empty())
        return read;
    const Stack stack = stackRules(installPath, {});
    if (!stack.failure.empty()) {
        read.message = stack.failure;
        return read;
    }
    const std::string mods = onDisk(installPath, kModsFolder);
    for (const std::string& mod : stack.missing)
        read.notes.push_back(
            fileio::findEntry(mods, asideName(mod))
                ? "The mod " + mod +
                      " is not in the mods folder: an apply of it was cut short, "
                      "and its previous copy waits in mods/" +
                      asideName(mod) + " for the next apply to put back."
                : "The mod " + mod +
                      " listed in load_order.cfg is not in the mods folder, so KeeperFX skips it.");
    read.values = factoryDefaults();
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (place.encoding == Encoding::None)
            continue;
        const auto at = static_cast<std::size_t>(record - 1);
        const auto value = valueIn(stack.files.at(place.file), place);
        // Several Fears give one percentage: the factory value, when it is one of them,
        // is the one that shows as unchanged.
        if (value && place.encoding == Encoding::FearPercent &&
            fearPercent(*value) == fearPercent(read.values[at]))
            continue;
        if (value)
            read.values[at] = *value;
        else
            read.unread.push_back(record);
    }
    read.mods = stack.mods;
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
        const Words& words = *plan.target.find(section, key);
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
    if (plan.research && (!base.research() || *base.research() != *plan.target.research())) {
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

struct Staged {
    std::vector<std::pair<std::string, std::string>> files; // path below the mod, content
    std::vector<int> written;                               // records
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
                  std::string_view modName) {
    ModApply result;
    const std::string name(modName);
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

    const Stack base = stackRules(installPath, modName);
    if (!base.failure.empty())
        return refuse(base.failure);
    for (std::string_view block : {"after_campaign", "after_map"})
        if (base.loadOrder && hasName(blockMods(*base.loadOrder, block), name))
            return refuse("The mod \"" + name + "\" is listed under [" + std::string(block) +
                          "] of load_order.cfg, where Tavrel does not write: it writes only "
                          "[after_base] mods. Choose another name.");

    std::map<std::string_view, ModFilePlan> plans;
    std::vector<bool> changed(kSlotCount + 1, false);
    int foreignKept = 0;
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (place.encoding == Encoding::None)
            continue;
        auto [at, fresh] = plans.try_emplace(place.file);
        if (fresh)
            at->second.target = base.files.at(place.file);
        // Reading KeeperFX's rules gave such a slot the factory value; writing that back
        // would put a word the player never chose in place of KeeperFX's own.
        if (isFactoryValue(values, record) &&
            holdsForeignWord(place, wordsOf(base.files.at(place.file), place))) {
            ++foreignKept;
            continue;
        }
        changed[static_cast<std::size_t>(record)] =
            planSlot(at->second, place, heldFactoryValue(record, valueOf(values, record)));
    }
    // "To Level (10)" is also the training a creature needs to grow up, while it does:
    // the slot after it names the kind it grows into.
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (!place.alsoGrowUp)
            continue;
        const Place& growUp = placeOf(record + 1);
        if (!(changed[static_cast<std::size_t>(record)] ||
              changed[static_cast<std::size_t>(record) + 1]) ||
            valueOf(values, record + 1) <= 0)
            continue;
        ModFilePlan& plan = plans.at(place.file);
        Place first = growUp;
        first.index = 0;
        first.encoding = Encoding::Number;
        encodeSlot(first, valueOf(values, record), plan.target.at(growUp.section, growUp.key));
        plan.touch(growUp.section, growUp.key);
    }

    Staged staged;
    for (std::string_view file : ruleFiles()) {
        const StackedFile& before = base.files.at(file);
        const ModFilePlan& plan = plans.at(file);
        std::string text = renderPlan(plan, before);
        if (!text.empty())
            staged.files.emplace_back(std::string(file), std::move(text));
    }
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (place.encoding == Encoding::None || !changed[static_cast<std::size_t>(record)])
            continue;
        const auto was = valueIn(base.files.at(place.file), place);
        const auto now = valueIn(plans.at(place.file).target, place);
        if (was != now)
            staged.written.push_back(record);
    }

    if (foreignKept > 0)
        result.notes.push_back(
            std::to_string(foreignKept)
                .append(foreignKept == 1 ? " value keeps its" : " values keep their")
                .append(" KeeperFX words, which have no editor equivalent, as the editor "
                        "holds the factory value there."));
    // Notes: the slot KeeperFX has no place for, and durations its keeper powers override.
    for (int record = 1; record <= kSlotCount; ++record) {
        const Place& place = placeOf(record);
        if (place.encoding == Encoding::None && !isFactoryValue(values, record))
            result.notes.push_back(std::string(slotInfoOfRecord(record).row) +
                                   " has no equivalent in KeeperFX, so its value " +
                                   std::to_string(valueOf(values, record)) + " is not written.");
    }
    for (int record : staged.written)
        if (heldFactoryValue(record, valueOf(values, record)) != valueOf(values, record))
            result.notes.push_back(heldFactoryNote(record, valueOf(values, record)));
    for (int record : staged.written) {
        const Place& place = placeOf(record);
        if (!place.section.starts_with("spell") || !sameName(place.key, "Duration"))
            continue;
        const Words* power = plans.at(place.file).target.find(place.section, "SpellPower");
        if (power && !power->empty() && !sameName(power->front(), "NULL") && power->front() != "0")
            result.notes.push_back(std::string(slotInfoOfRecord(record).row) +
                                   " Duration has no effect while KeeperFX links the spell to the "
                                   "keeper power " +
                                   power->front() + ", whose duration it uses.");
    }

    // Write the new mod beside the old one, then swap the two, then enable it.
    const std::string order = withModLast(base.loadOrder.value_or(std::string()), name);
    if (const std::vector<std::string> loaded = afterBaseMods(order);
        loaded.empty() || loaded.back() != name)
        return refuse("KeeperFX would not load the mod from load_order.cfg: it reads no file "
                      "over 65,536 bytes and no more than 50 mods of a block.");

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
        const std::string folder = file.substr(0, file.find('/'));
        if (folders.insert(folder).second)
            if (auto error = fileio::makeFolder(fileio::joinPath(staging, folder)))
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
    if (!base.loadOrder || order != *base.loadOrder) {
        auto error = fileio::replaceFile(base.loadOrderPath, order);
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

    if (base.loadOrder && withoutByteOrderMarks(*base.loadOrder) != *base.loadOrder) {
        std::vector<std::string> shown;
        const std::vector<std::string> before = afterBaseMods(*base.loadOrder);
        for (const std::string& mod : base.mods)
            if (!hasName(before, mod))
                shown.push_back(mod);
        if (!shown.empty())
            result.notes.push_back("A byte-order mark at the start of load_order.cfg hid its "
                                   "[after_base] block from KeeperFX; it is written without one, "
                                   "so KeeperFX now also loads " +
                                   quotedList(shown) + ".");
    }
    if (unconfirmed)
        result.notes.push_back("The system could not confirm that the mod is safely on disk: " +
                               unconfirmed->reason() + ".");
    result.ok = true;
    result.valuesWritten = static_cast<int>(staged.written.size());
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
    return result;
}

ApplyPreview previewApply(const std::string& installPath, const ValueSet& values,
                          const ApplyOptions& options) {
    (void)installPath;
    (void)values;
    ApplyPreview preview;
    preview.ok = true;
    preview.question = "Write the values as the KeeperFX mod mods/" + options.modName + "?";
    return preview;
}

ModApply applyMod(const std::string& installPath, const ValueSet& values,
                  const ApplyOptions& options) {
    return applyMod(installPath, values, options.modName);
}

} // namespace tavrel::keeperfx
