#include "cli/commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/catalogue.h"
#include "core/errors.h"
#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "gamefile/game_paths.h"
#include "gamefile/reader.h"
#include "gamefile/writer.h"
#include "keeperfx/install.h"
#include "settingsfile/settings_file.h"

namespace tavrel::cli {

namespace {

constexpr std::string_view kUsage =
    "Usage: tavrel-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "FILE is a settings file when its name ends in .dks, otherwise a game file\n"
    "(CREATURE.TXT).\n"
    "\n"
    "Commands:\n"
    "  defaults OUT          write the factory values to OUT\n"
    "  convert IN OUT        read IN and write its values to OUT\n"
    "  check FILE            say whether the editor accepts FILE\n"
    "  export FILE           print every slot of FILE as tab-separated lines\n"
    "  diff A B              print the slots whose values differ between A and B\n"
    "  apply FILE GAMEDIR    write GAMEDIR's game file (and DD1CREAT.TXT when present)\n"
    "                        from FILE's values\n"
    "  demo [--force] DIR    make DIR a game folder with the factory values\n"
    "                        (--force: replace a game file already there)\n"
    "  keeperfx-read GAMEDIR OUT\n"
    "                        write to OUT the values KeeperFX in GAMEDIR plays free\n"
    "                        play with (its defaults and the [after_base] mods)\n"
    "  keeperfx-apply [--mod NAME] FILE GAMEDIR\n"
    "                        write FILE's values as the KeeperFX mod GAMEDIR/mods/NAME\n"
    "                        (default tavrel), enabled last in mods/load_order.cfg\n"
    "  --help                show this text\n"
    "  --version             show the version\n";

bool isSettingsFile(std::string_view path) {
    if (path.size() < kSettingsExtension.size())
        return false;
    return std::equal(kSettingsExtension.begin(), kSettingsExtension.end(),
                      path.end() - static_cast<std::ptrdiff_t>(kSettingsExtension.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

struct Loaded {
    ValueSet values{};
    int numberCount = 0;
    SettingsLayout layout = SettingsLayout::Current;
};

std::string ioText(const std::string& path, const fileio::IoError& error) {
    return path + ": " + error.reason();
}

// Reads FILE by the editor's rules; on refusal prints the editor's message.
std::optional<Loaded> load(const std::string& path, std::ostream& err) {
    Loaded loaded;
    if (isSettingsFile(path)) {
        std::string bytes;
        if (auto error = fileio::readFile(path, bytes, kLegacySettingsFileSize)) {
            err << ioText(path, *error) << '\n';
            return std::nullopt;
        }
        const auto values = decodeSettings(bytes, &loaded.layout);
        if (!values) {
            err << path << ": " << msg::SettingsFileTooShort << '\n';
            return std::nullopt;
        }
        loaded.values = *values;
        return loaded;
    }
    const GameFileRead read = readGameFileAt(path, factoryDefaults());
    loaded.numberCount = read.numberCount;
    switch (read.status) {
    case ReadStatus::Accepted:
        loaded.values = read.values;
        return loaded;
    case ReadStatus::Rejected:
        if (read.ioError) {
            err << ioText(path, *read.ioError) << '\n';
            return std::nullopt;
        }
        err << path << ": " << msg::IncompatibleGameFile << " (" << read.numberCount
            << " numbers, 5200 expected)\n";
        return std::nullopt;
    case ReadStatus::Failed:
        if (read.ioError)
            err << ioText(path, *read.ioError) << '\n';
        else
            err << path << ": " << errorMessage(MessageTable::StartUp, read.errorNumber)
                << " (a number is too large)\n";
        return std::nullopt;
    }
    return std::nullopt;
}

bool save(const std::string& path, const ValueSet& values, std::ostream& err) {
    // The editor must be able to read back every game file it writes.
    if (const auto refused = isSettingsFile(path) ? std::nullopt : refusedValue(values)) {
        err << path << ": " << refused->message << '\n';
        return false;
    }
    const fileio::Status status = isSettingsFile(path)
                                      ? saveSettingsFile(path, values).error
                                      : fileio::replaceFile(path, renderGameFile(values));
    if (status) {
        err << ioText(path, *status) << '\n';
        return false;
    }
    return true;
}

void printHeader(std::ostream& out, bool withOther) {
    out << "record\tcategory\tkind\tslot\trow\tcolumn\tvalue\tdefault";
    if (withOther)
        out << "\tother";
    out << '\n';
}

void printSlot(std::ostream& out, int record, const ValueSet& values) {
    const SlotInfo info = slotInfoOfRecord(record);
    const auto i = static_cast<std::size_t>(record - 1);
    out << record << '\t' << categoryName(info.ref.category) << '\t';
    if (info.ref.category == Category::Creature)
        out << info.ref.kind;
    out << '\t' << info.ref.slot << '\t' << info.row << '\t' << info.column << '\t' << values[i]
        << '\t' << factoryDefaults()[i];
}

using Args = std::vector<std::string>;

int cmdDefaults(const Args& a, std::ostream&, std::ostream& err) {
    return save(a[0], factoryDefaults(), err) ? kExitOk : kExitRefused;
}

int cmdConvert(const Args& a, std::ostream&, std::ostream& err) {
    const auto in = load(a[0], err);
    return in && save(a[1], in->values, err) ? kExitOk : kExitRefused;
}

int cmdCheck(const Args& a, std::ostream& out, std::ostream& err) {
    const auto in = load(a[0], err);
    if (!in)
        return kExitRefused;
    if (isSettingsFile(a[0]))
        out << a[0] << ": accepted settings file ("
            << (in->layout == SettingsLayout::Legacy ? "legacy 128-byte records" : "current layout")
            << ")\n";
    else
        out << a[0] << ": accepted game file (" << in->numberCount << " numbers)\n";
    return kExitOk;
}

int cmdExport(const Args& a, std::ostream& out, std::ostream& err) {
    const auto in = load(a[0], err);
    if (!in)
        return kExitRefused;
    printHeader(out, false);
    for (int record = 1; record <= kSlotCount; ++record) {
        printSlot(out, record, in->values);
        out << '\n';
    }
    return kExitOk;
}

int cmdDiff(const Args& a, std::ostream& out, std::ostream& err) {
    const auto first = load(a[0], err);
    const auto second = first ? load(a[1], err) : std::nullopt;
    if (!second)
        return kExitRefused;
    printHeader(out, true);
    for (int record = 1; record <= kSlotCount; ++record) {
        const auto i = static_cast<std::size_t>(record - 1);
        if (first->values[i] == second->values[i])
            continue;
        printSlot(out, record, first->values);
        out << '\t' << second->values[i] << '\n';
    }
    return kExitOk;
}

int cmdApply(const Args& a, std::ostream& out, std::ostream& err) {
    const auto in = load(a[0], err);
    if (!in)
        return kExitRefused;
    const ApplyResult result = applyToGame(a[1], in->values);
    if (result.outcome != ApplyOutcome::Applied) {
        err << result.message << '\n';
        return kExitRefused;
    }
    out << "Changes have been applied to the game.\n";
    return kExitOk;
}

int cmdDemo(const Args& a, std::ostream& out, std::ostream& err) {
    const std::string data = fileio::joinPath(a[0], kDataFolderName);
    std::error_code ec;
    std::filesystem::create_directories(data, ec);
    if (ec) {
        err << data << ": " << ec.message() << '\n';
        return kExitRefused;
    }
    const std::string file = gameFilePath(a[0], kCreatureFileName);
    // A player's own game must not be overwritten by a slip of the folder name.
    const bool force = a.size() > 1;
    if (fileio::FileExists(file) && !force) {
        err << file << ": a game file is already there; demo would replace it with the "
            << "factory values. Give --force to replace it.\n";
        return kExitRefused;
    }
    if (force && fileio::FileExists(file)) {
        const ApplyResult result = applyToGame(a[0], factoryDefaults());
        if (result.outcome != ApplyOutcome::Applied) {
            err << result.message << '\n';
            return kExitRefused;
        }
    } else if (!save(file, factoryDefaults(), err)) {
        return kExitRefused;
    }
    out << "Demo game folder ready: " << a[0] << '\n';
    return kExitOk;
}

int cmdKeeperFxRead(const Args& a, std::ostream& out, std::ostream& err) {
    const keeperfx::RulesRead read = keeperfx::readRules(a[0]);
    if (!read.ok) {
        err << read.message << '\n';
        return kExitRefused;
    }
    if (!save(a[1], read.values, err))
        return kExitRefused;
    out << read.status() << '\n';
    return kExitOk;
}

// The mod's name, when given, follows the two arguments.
int cmdKeeperFxApply(const Args& a, std::ostream& out, std::ostream& err) {
    const auto in = load(a[0], err);
    if (!in)
        return kExitRefused;
    const keeperfx::ModApply result = keeperfx::applyMod(
        a[1], in->values, a.size() > 2 ? std::string_view(a[2]) : keeperfx::kDefaultModName);
    if (!result.ok) {
        err << result.message << '\n';
        return kExitRefused;
    }
    out << result.summary << '\n';
    for (const std::string& note : result.notes)
        out << note << '\n';
    return kExitOk;
}

struct Command {
    std::size_t arguments;
    std::function<int(const Args&, std::ostream&, std::ostream&)> run;
};

const std::map<std::string, Command, std::less<>>& commands() {
    static const std::map<std::string, Command, std::less<>> table = {
        {"defaults", {1, cmdDefaults}},
        {"convert", {2, cmdConvert}},
        {"check", {1, cmdCheck}},
        {"export", {1, cmdExport}},
        {"diff", {2, cmdDiff}},
        {"apply", {2, cmdApply}},
        {"demo", {1, cmdDemo}},
        {"keeperfx-read", {2, cmdKeeperFxRead}},
        {"keeperfx-apply", {2, cmdKeeperFxApply}},
    };
    return table;
}

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h" || args[0] == "help")) {
        out << kUsage;
        return kExitOk;
    }
    if (args.empty()) {
        err << kUsage;
        return kExitUsage;
    }
    Args rest(args.begin() + 1, args.end());
    const auto forced = std::find(rest.begin(), rest.end(), "--force");
    const bool force = args[0] == "demo" && forced != rest.end();
    if (force)
        rest.erase(forced);
    // keeperfx-apply's one option, --mod NAME, anywhere after the command.
    std::optional<std::string> mod;
    if (args[0] == "keeperfx-apply") {
        const auto option = std::find(rest.begin(), rest.end(), "--mod");
        if (option != rest.end()) {
            if (option + 1 == rest.end() ||
                std::find(option + 1, rest.end(), "--mod") != rest.end()) {
                err << "tavrel-cli: --mod takes one NAME, once\n\n" << kUsage;
                return kExitUsage;
            }
            mod = *(option + 1);
            rest.erase(option, option + 2);
            if (!keeperfx::isValidModName(*mod)) {
                err << "tavrel-cli: '" << *mod
                    << "' is not a plain folder name (letters, digits, '_', '-' and inner dots)\n";
                return kExitUsage;
            }
        }
    }
    const auto found = commands().find(args[0]);
    if (found == commands().end() || rest.size() != found->second.arguments) {
        if (found == commands().end())
            err << "tavrel-cli: unknown command '" << args[0] << "'\n\n";
        else
            err << "tavrel-cli: '" << args[0] << "' takes " << found->second.arguments
                << (found->second.arguments == 1 ? " argument" : " arguments") << "\n\n";
        err << kUsage;
        return kExitUsage;
    }
    if (force)
        rest.push_back("--force"); // demo's only option, after its folder
    if (mod)
        rest.push_back(*mod);
    return found->second.run(rest, out, err);
}

} // namespace tavrel::cli
