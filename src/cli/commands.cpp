#include "cli/commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <map>
#include <numeric>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>

#include "core/catalogue.h"
#include "core/errors.h"
#include "core/factory_defaults.h"
#include "core/fileio.h"
#include "editing/creature_choices.h"
#include "editing/creature_grid.h"
#include "gamefile/game_paths.h"
#include "gamefile/reader.h"
#include "gamefile/writer.h"
#include "keeperfx/install.h"
#include "settingsfile/settings_file.h"

namespace tavrel::cli {

namespace {

constexpr std::string_view kUsage =
    "Usage: tavrel-cli COMMAND [OPTIONS] ARGUMENTS\n"
    "\n"
    "FILE is a settings file when its name ends in .dks, otherwise a game file\n"
    "(CREATURE.TXT). Options may stand before or after the arguments; after --\n"
    "every word is an argument, so 'convert mine.dks -- -x.txt' writes -x.txt.\n"
    "\n"
    "Commands:\n"
    "  defaults OUT          write the factory values to OUT\n"
    "  convert IN OUT        read IN and write its values to OUT\n"
    "  check FILE            say whether the editor accepts FILE\n"
    "  export FILE           print every slot of FILE as tab-separated lines\n"
    "  creatures FILE        print FILE's creatures side by side as tab-separated\n"
    "                        lines, one per creature, a column per field\n"
    "  diff A B              print the slots whose values differ between A and B\n"
    "  apply FILE GAMEDIR    write GAMEDIR's game file (and DD1CREAT.TXT when present)\n"
    "                        from FILE's values\n"
    "  demo [--force] DIR    make DIR a game folder with the factory values\n"
    "                        (--force: replace a game file already there)\n"
    "  keeperfx-read [--campaign NAME] GAMEDIR OUT\n"
    "                        write to OUT the values KeeperFX in GAMEDIR plays free\n"
    "                        play with, or the campaign or map pack NAME (its file's\n"
    "                        name): its defaults, every mod and the campaign's folders\n"
    "  keeperfx-apply [--mod NAME] [--under-campaigns | --campaign NAME] FILE GAMEDIR\n"
    "                        write FILE's values as the KeeperFX mod GAMEDIR/mods/NAME\n"
    "                        (default tavrel), enabled in mods/load_order.cfg, so that\n"
    "                        free play and every campaign and map pack play the values\n"
    "                        that differ from free play's and keep their own others;\n"
    "                        --under-campaigns: campaigns keep their own values where\n"
    "                        they set them; --campaign: only the rules of that campaign\n"
    "                        or map pack, and of those sharing its folders, change\n"
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
        // The editor's own load, so that check accepts exactly the files the editor does.
        const SettingsFileResult read = readSettingsFile(path, loaded.values);
        if (!read.ok) {
            err << (read.error ? ioText(path, *read.error) : path + ": " + read.message) << '\n';
            return std::nullopt;
        }
        loaded.layout = read.layout;
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
        err << (status->contentInPlace()
                    ? path + ": " + unconfirmedMessage("The values", status->reason())
                    : ioText(path, *status))
            << '\n';
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

// A command's words as its option table reads them.
struct Args {
    std::vector<std::string> operands;
    std::map<std::string, std::string, std::less<>> options; // empty value for a flag

    const std::string& operator[](std::size_t i) const { return operands[i]; }
    bool has(std::string_view option) const { return options.contains(option); }
};

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

// The creature comparison grid, numbers only, for a spreadsheet.
int cmdCreatures(const Args& a, std::ostream& out, std::ostream& err) {
    const auto in = load(a[0], err);
    if (!in)
        return kExitRefused;
    std::vector<int> columns(kCreatureFields);
    std::iota(columns.begin(), columns.end(), 0);
    const std::vector<int> kinds(creatureListOrder().begin(), creatureListOrder().end());
    out << toTsv(gridBlock(in->values, kinds, columns, true, false));
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
    // A player's own game must not be overwritten by a slip of the folder name. Anything
    // standing there is kept unless forced, and even then a device or pipe is refused.
    const bool force = a.has("--force");
    if (std::filesystem::exists(file, ec) && !force) {
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
    const auto campaign = a.options.find("--campaign");
    const keeperfx::RulesRead rules =
        keeperfx::readRules(a[0], campaign != a.options.end() ? std::string_view(campaign->second)
                                                              : std::string_view());
    if (!rules.ok) {
        err << rules.message << '\n';
        return kExitRefused;
    }
    if (!save(a[1], rules.values, err))
        return kExitRefused;
    out << rules.status() << '\n';
    return kExitOk;
}

int cmdKeeperFxApply(const Args& a, std::ostream& out, std::ostream& err) {
    const auto mod = a.options.find("--mod");
    const std::string_view name =
        mod != a.options.end() ? std::string_view(mod->second) : keeperfx::kDefaultModName;
    if (!keeperfx::isValidModName(name)) {
        err << "tavrel-cli: '" << name
            << "' is not a plain folder name (letters, digits, '_', '-' and inner dots)\n\n"
            << kUsage;
        return kExitUsage;
    }
    const auto campaign = a.options.find("--campaign");
    if (campaign != a.options.end() && a.has("--under-campaigns")) {
        err << "tavrel-cli: give either --under-campaigns or --campaign\n\n" << kUsage;
        return kExitUsage;
    }
    const auto in = load(a[0], err);
    if (!in)
        return kExitRefused;
    keeperfx::ApplyOptions options;
    options.modName = std::string(name);
    if (a.has("--under-campaigns"))
        options.scope = keeperfx::ApplyScope::UnderCampaigns;
    if (campaign != a.options.end()) {
        options.scope = keeperfx::ApplyScope::OneCampaign;
        options.campaign = options.readAs = campaign->second;
    }
    const keeperfx::ModApply result = keeperfx::applyMod(a[1], in->values, options);
    if (!result.ok) {
        err << result.message << '\n';
        return kExitRefused;
    }
    out << result.summary << '\n';
    for (const std::string& note : result.notes)
        out << note << '\n';
    return kExitOk;
}

struct Option {
    std::string_view name;
    bool takesValue = false;
};

struct Command {
    std::size_t arguments;
    std::vector<Option> options;
    std::function<int(const Args&, std::ostream&, std::ostream&)> run;
};

const std::map<std::string, Command, std::less<>>& commands() {
    static const std::map<std::string, Command, std::less<>> table = {
        {"defaults", {1, {}, cmdDefaults}},
        {"convert", {2, {}, cmdConvert}},
        {"check", {1, {}, cmdCheck}},
        {"export", {1, {}, cmdExport}},
        {"diff", {2, {}, cmdDiff}},
        {"apply", {2, {}, cmdApply}},
        {"demo", {1, {{"--force"}}, cmdDemo}},
        {"creatures", {1, {}, cmdCreatures}},
        {"keeperfx-read", {2, {{"--campaign", true}}, cmdKeeperFxRead}},
        {"keeperfx-apply",
         {2, {{"--mod", true}, {"--under-campaigns"}, {"--campaign", true}}, cmdKeeperFxApply}},
    };
    return table;
}

// Splits a command's words into its arguments and options; gives what is wrong with
// them, or nothing. Options may stand anywhere before "--"; every word after it is an
// argument, so that a file name may start with "-". A lone "-" is an argument too.
std::string parse(const std::string& name, const Command& command,
                  std::span<const std::string> words, Args& args) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            args.operands.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string given = word.substr(0, equals);
        const auto option = std::find_if(command.options.begin(), command.options.end(),
                                         [&](const Option& o) { return o.name == given; });
        if (option == command.options.end())
            return "'" + name + "' has no option '" + given + "'";
        if (args.has(given))
            return "option '" + given + "' is given more than once";
        const bool joined = equals != std::string::npos;
        if (joined && !option->takesValue)
            return "option '" + given + "' takes no value";
        if (!joined && option->takesValue && i + 1 == words.size())
            return "option '" + given + "' needs a value";
        args.options.emplace(given, joined               ? word.substr(equals + 1)
                                    : option->takesValue ? words[++i]
                                                         : std::string());
    }
    if (args.operands.size() != command.arguments)
        return "'" + name + "' takes " + std::to_string(command.arguments) +
               (command.arguments == 1 ? " argument" : " arguments");
    return {};
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
    const auto found = commands().find(args[0]);
    Args parsed;
    const std::string problem =
        found == commands().end()
            ? "unknown command '" + args[0] + "'"
            : parse(args[0], found->second, std::span(args).subspan(1), parsed);
    if (!problem.empty()) {
        err << "tavrel-cli: " << problem << "\n\n" << kUsage;
        return kExitUsage;
    }
    return found->second.run(parsed, out, err);
}

} // namespace tavrel::cli
