#include "gamefile/game_finder.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>

#include "core/fileio.h"
#include "gamefile/game_paths.h"

namespace tavrel {

namespace {

// Steam's list of libraries is a few hundred bytes; anything far larger is no such list.
constexpr std::size_t kMaxLibraryListBytes = 64 * 1024;
// Libraries taken from one list, and entries looked at in one folder for a pattern.
constexpr std::size_t kMaxLibraries = 16;
constexpr std::size_t kMaxListedEntries = 4096;

enum class World { Windows, Linux };
enum class Base {
    SystemDrive,
    ProgramFiles,
    ProgramFilesX86,
    LocalAppData,
    UserProfile,
    Home,
    DataHome
};
enum class Kind { Game, SteamLibraries };

// A usual install place: a folder below a base, a last or middle name ending in '*'
// matching every folder that starts so.
struct Place {
    World world;
    Base base;
    std::string_view path;
    std::string_view label;
    Kind kind = Kind::Game;
};

// In the order they are offered: GOG, Steam, then KeeperFX on its own.
constexpr std::array kPlaces = {
    Place{World::Windows, Base::SystemDrive, "GOG Games/Dungeon Keeper*", "GOG"},
    Place{World::Windows, Base::ProgramFilesX86, "GOG Galaxy/Games/Dungeon Keeper*", "GOG"},
    Place{World::Windows, Base::ProgramFiles, "GOG Galaxy/Games/Dungeon Keeper*", "GOG"},
    Place{World::Windows, Base::ProgramFilesX86, "GOG.com/Dungeon Keeper*", "GOG"},
    Place{World::Windows, Base::ProgramFiles, "GOG.com/Dungeon Keeper*", "GOG"},
    Place{World::Linux, Base::Home, "GOG Games/Dungeon Keeper*", "GOG"},
    Place{World::Windows, Base::SystemDrive, "GOG Games/Dungeon Keeper*/KeeperFX", "KeeperFX"},
    Place{World::Windows, Base::ProgramFilesX86, "GOG Galaxy/Games/Dungeon Keeper*/KeeperFX",
          "KeeperFX"},
    Place{World::Windows, Base::ProgramFilesX86, "Steam", "Steam", Kind::SteamLibraries},
    Place{World::Windows, Base::ProgramFiles, "Steam", "Steam", Kind::SteamLibraries},
    // The link ~/.steam/steam usually leads to one of the first two; the real path is shown.
    Place{World::Linux, Base::DataHome, "Steam", "Steam", Kind::SteamLibraries},
    Place{World::Linux, Base::Home, ".local/share/Steam", "Steam", Kind::SteamLibraries},
    Place{World::Linux, Base::Home, ".steam/steam", "Steam", Kind::SteamLibraries},
    Place{World::Linux, Base::Home, ".var/app/com.valvesoftware.Steam/.local/share/Steam", "Steam",
          Kind::SteamLibraries},
    Place{World::Windows, Base::SystemDrive, "KeeperFX", "KeeperFX"},
    Place{World::Windows, Base::SystemDrive, "Games/KeeperFX", "KeeperFX"},
    Place{World::Windows, Base::ProgramFilesX86, "KeeperFX", "KeeperFX"},
    Place{World::Windows, Base::ProgramFiles, "KeeperFX", "KeeperFX"},
    Place{World::Windows, Base::LocalAppData, "Programs/KeeperFX", "KeeperFX"},
    Place{World::Windows, Base::UserProfile, "Games/KeeperFX", "KeeperFX"},
    Place{World::Linux, Base::Home, "Games/KeeperFX", "KeeperFX"},
};

// Where the game stands in every Steam library.
struct LibraryPlace {
    std::string_view path;
    std::string_view label;
};
constexpr std::array kInLibrary = {
    LibraryPlace{"steamapps/common/Dungeon Keeper*", "Steam"},
    LibraryPlace{"steamapps/common/Dungeon Keeper*/KeeperFX", "KeeperFX"},
};

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

std::vector<std::string> splitPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || isSeparator(path[i])) {
            if (i > start)
                parts.emplace_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

// The folders that `pattern` names below `folder`, with their names as on disc:
// Windows and Wine ignore letter case, so any spelling counts.
std::vector<std::string> expand(const std::string& folder,
                                const std::vector<std::string>& pattern) {
    std::vector<std::string> found{folder};
    for (const std::string& name : pattern) {
        std::vector<std::string> next;
        for (const std::string& parent : found) {
            if (name.back() != '*') {
                if (const auto entry = fileio::findEntry(parent, name))
                    next.push_back(fileio::joinPath(parent, *entry));
                continue;
            }
            const std::string_view start(name.data(), name.size() - 1);
            std::vector<std::string> matches;
            std::error_code error;
            std::filesystem::directory_iterator it(fileio::pathOf(parent), error);
            for (std::size_t seen = 0;
                 !error && it != std::filesystem::directory_iterator() && seen < kMaxListedEntries;
                 it.increment(error), ++seen) {
                const std::string entry = fileio::utf8Of(it->path().filename());
                if (startsWithIgnoringCase(entry, start))
                    matches.push_back(entry);
            }
            std::sort(matches.begin(), matches.end());
            for (const std::string& entry : matches)
                next.push_back(fileio::joinPath(parent, entry));
        }
        found.clear();
        for (std::string& path : next)
            if (fileio::isFolder(path))
                found.push_back(std::move(path));
    }
    return found;
}

// The quoted texts and braces of a Steam list, with its escapes undone.
std::vector<std::string> vdfTokens(std::string_view text) {
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' || text[i] == '}') {
            tokens.emplace_back(1, text[i]);
        } else if (text[i] == '"') {
            std::string token;
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\' && i + 1 < text.size())
                    ++i;
                token += text[i];
            }
            tokens.push_back(std::move(token));
        }
    }
    return tokens;
}

// The library folders a Steam list names: "path" values, and in its older form the
// values of numbered keys. The sizes of the games in a library are numbered too, by
// the game's number, and are no folders.
std::vector<std::string> libraryPaths(std::string_view text) {
    const std::vector<std::string> tokens = vdfTokens(text);
    std::vector<std::string> paths;
    for (std::size_t i = 0; i + 1 < tokens.size() && paths.size() < kMaxLibraries; ++i) {
        const std::string& key = tokens[i];
        const std::string& value = tokens[i + 1];
        if (key == "{" || key == "}" || value == "{" || value == "}")
            continue;
        const bool numbered = !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        });
        const bool folder = value.find_first_of("/\\") != std::string::npos;
        if ((numbered && folder) || (key.size() == 4 && startsWithIgnoringCase(key, "path")))
            paths.push_back(value);
        ++i; // a value is never the next key
    }
    return paths;
}

// One system the places are looked for in: the running one, or a Wine prefix in it.
struct Context {
    World world;
    std::string winePrefix; // the prefix's folder on this system, for a Wine prefix
    std::string labelSuffix;
    std::map<Base, std::string> bases; // in the context's own path form
};

class Finder {
public:
    explicit Finder(const FinderEnvironment& environment) : env_(environment) {}

    std::vector<FoundGame> run() {
        for (const Context& context : contexts())
            for (const Place& place : kPlaces)
                if (place.world == context.world)
                    look(context, place);
        return found_;
    }

private:
    std::string variable(const std::string& name) const {
        const auto it = env_.variables.find(name);
        return it == env_.variables.end() ? std::string() : it->second;
    }

    std::vector<Context> contexts() const {
        std::vector<Context> result;
        if (env_.windows) {
            Context windows{World::Windows, {}, {}, {}};
            const std::string drive = variable("SystemDrive");
            windows.bases[Base::SystemDrive] = drive.empty() ? "C:" : drive;
            const std::pair<Base, const char*> names[] = {
                {Base::ProgramFiles, "ProgramFiles"},
                {Base::ProgramFilesX86, "ProgramFiles(x86)"},
                {Base::LocalAppData, "LOCALAPPDATA"},
                {Base::UserProfile, "USERPROFILE"},
            };
            for (const auto& name : names)
                if (!variable(name.second).empty())
                    windows.bases[name.first] = variable(name.second);
            result.push_back(std::move(windows));
            return result;
        }
        const std::string home = variable("HOME");
        Context native{World::Linux, {}, {}, {}};
        if (!home.empty()) {
            native.bases[Base::Home] = home;
            native.bases[Base::DataHome] = home + "/.local/share";
        }
        if (!variable("XDG_DATA_HOME").empty())
            native.bases[Base::DataHome] = variable("XDG_DATA_HOME");
        result.push_back(native);
        // The prefix the user named comes before the default one.
        for (const std::string& prefix :
             {variable("WINEPREFIX"), home.empty() ? "" : home + "/.wine"}) {
            if (prefix.empty())
                continue;
            const auto real = realPath(native, prefix);
            if (!real || !fileio::findEntry(*real, "drive_c"))
                continue;
            std::string shown = prefix;
            if (!home.empty() && prefix.rfind(home + "/", 0) == 0)
                shown = "~" + prefix.substr(home.size());
            Context wine{World::Windows, *real, ", Wine prefix " + shown, {}};
            wine.bases[Base::SystemDrive] = "C:";
            wine.bases[Base::ProgramFiles] = "C:\\Program Files";
            wine.bases[Base::ProgramFilesX86] = "C:\\Program Files (x86)";
            result.push_back(std::move(wine));
        }
        return result;
    }

    // A path of the context's own form as a folder on this system, its names spelled
    // as on disc; nothing when a folder on the way is missing.
    std::optional<std::string> realPath(const Context& context, std::string_view path) const {
        std::vector<std::string> parts = splitPath(path);
        std::string start;
        if (context.world == World::Linux) {
            if (path.empty() || path.front() != '/')
                return std::nullopt;
            start = env_.root.empty() ? "/" : env_.root;
        } else if (!parts.empty() && parts.front().size() == 2 && parts.front()[1] == ':' &&
                   std::isalpha(static_cast<unsigned char>(parts.front()[0]))) {
            const char letter = lower(parts.front()[0]);
            // Wine keeps C: in drive_c and every drive as a link in dosdevices.
            if (!context.winePrefix.empty()) {
                start = letter == 'c'
                            ? fileio::joinPath(context.winePrefix, "drive_c")
                            : fileio::joinPath(fileio::joinPath(context.winePrefix, "dosdevices"),
                                               std::string(1, letter) + ":");
                // The folder the drive's link leads to is the one the user knows.
                std::error_code error;
                const auto target = std::filesystem::canonical(fileio::pathOf(start), error);
                if (!error)
                    start = fileio::utf8Of(target);
            } else if (env_.root.empty()) {
                start = parts.front() + "\\";
            } else {
                // The drive's letter as a folder, looked up as any other name.
                start = env_.root;
                parts.insert(parts.begin() + 1, std::string(1, letter));
            }
            parts.erase(parts.begin());
        } else if (path.size() > 2 && isSeparator(path[0]) && isSeparator(path[1]) &&
                   context.winePrefix.empty() && env_.root.empty() && parts.size() >= 2) {
            // A network share: \\server\share.
            start = "\\\\" + parts[0] + "\\" + parts[1];
            parts.erase(parts.begin(), parts.begin() + 2);
        } else {
            return std::nullopt;
        }
        const std::vector<std::string> found = expand(start, parts);
        if (found.empty())
            return std::nullopt;
        return found.front();
    }

    void look(const Context& context, const Place& place) {
        const auto base = context.bases.find(place.base);
        if (base == context.bases.end())
            return;
        const auto start = realPath(context, base->second);
        if (!start)
            return;
        for (const std::string& folder : expand(*start, splitPath(place.path))) {
            if (place.kind == Kind::Game) {
                offer(folder, place.label, context);
                continue;
            }
            for (const std::string& library : libraries(context, folder))
                for (const LibraryPlace& inLibrary : kInLibrary)
                    for (const std::string& game : expand(library, splitPath(inLibrary.path)))
                        offer(game, inLibrary.label, context);
        }
    }

    // A Steam folder's libraries: its own first, then those its list names.
    std::vector<std::string> libraries(const Context& context, const std::string& steam) const {
        std::vector<std::string> result{steam};
        const auto apps = expand(steam, {"steamapps"});
        const auto list =
            apps.empty() ? std::nullopt : fileio::findEntry(apps.front(), "libraryfolders.vdf");
        std::string text;
        if (!list ||
            fileio::readFile(fileio::joinPath(apps.front(), *list), text, kMaxLibraryListBytes))
            return result;
        for (const std::string& path : libraryPaths(text))
            if (const auto real = realPath(context, path))
                result.push_back(*real);
        return result;
    }

    void offer(const std::string& folder, std::string_view label, const Context& context) {
        if (!fileio::FileExists(gameFilePath(folder, kCreatureFileName)))
            return;
        // The same folder reached twice, through a link or another spelling, is one.
        std::error_code error;
        std::string key =
            fileio::utf8Of(std::filesystem::weakly_canonical(fileio::pathOf(folder), error));
        if (error)
            key = folder;
        if (env_.windows)
            std::transform(key.begin(), key.end(), key.begin(), lower);
        if (!seen_.insert(key).second)
            return;
        std::string text(label);
        if (label != "KeeperFX" && holdsKeeperFx(folder))
            text += " with KeeperFX";
        found_.push_back({folder, text + context.labelSuffix});
    }

    const FinderEnvironment& env_;
    std::set<std::string> seen_;
    std::vector<FoundGame> found_;
};

} // namespace

std::vector<FoundGame> findGames(const FinderEnvironment& environment) {
    return Finder(environment).run();
}

FinderEnvironment runningFinderEnvironment() {
    FinderEnvironment environment;
    environment.windows = fileio::onWindows();
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "SystemDrive", "LOCALAPPDATA",
                             "USERPROFILE", "HOME", "XDG_DATA_HOME", "WINEPREFIX"})
        if (const auto value = fileio::environmentVariable(name))
            environment.variables[name] = *value;
    return environment;
}

} // namespace tavrel
