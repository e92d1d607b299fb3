// Any bytes as Tavrel.cfg, read by the start-up routine: the line and the folder taken
// from it must follow the key rule, the store may change only when a game was really
// found in the folder the line names, and a folder written by the editor must read back.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/editor_state.h"
#include "core/errors.h"
#include "core/factory_defaults.h"
#include "core/settings_store.h"
#include "fuzz_support.h"
#include "gamefile/config_file.h"
#include "gamefile/reader.h"
#include "gamefile/startup.h"
#include "gamefile/writer.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

// Game folders the lines can name, relative to the work folder, which is the current
// folder while fuzzing so that short lines reach them.
struct Folders {
    fs::path root; // the work folder itself holds a game too: "" must not reach it
    ValueSet rootValues;
    fs::path game; // a valid game file with values unlike the factory ones
    ValueSet gameValues;
    fs::path addon; // the factory file and the add-on's copy, names in lower case
    ValueSet addonValues;
    fs::path refused;  // one number short
    fs::path overflow; // a number beyond the 32-bit range
};

std::string nonNegative(ValueSet values) {
    for (auto& v : values)
        v = v < 0 ? -(v + 1) : v;
    return renderGameFile(values);
}

const Folders& folders() {
    static const Folders made = [] {
        Folders f;
        const fs::path root = fuzz::workFolder();
        auto make = [&](const char* name, const char* data, const char* file,
                        const std::string& content) {
            fs::create_directories(root / name / data);
            fuzz::writeFile((root / name / data / file).string(), content);
            return fs::canonical(root / name);
        };
        fs::create_directories(root / "Data");
        const std::string atRoot = nonNegative(fuzz::markedValues(4));
        fuzz::writeFile((root / "Data" / "CREATURE.TXT").string(), atRoot);
        f.root = fs::canonical(root);
        f.rootValues = parseGameFile(atRoot, factoryDefaults()).values;
        const std::string valid = nonNegative(fuzz::markedValues(3));
        f.game = make("game", "Data", "CREATURE.TXT", valid);
        f.gameValues = parseGameFile(valid, factoryDefaults()).values;
        const std::string factory = renderGameFile(factoryDefaults());
        f.addon = make("addon", "data", "creature.txt", factory);
        f.addonValues = parseGameFile(factory, factoryDefaults()).values;
        fuzz::writeFile((f.addon / "data" / "dd1creat.txt").string(), factory);
        f.refused = make("refused", "Data", "CREATURE.TXT", factory.substr(0, factory.size() - 2));
        std::string big = factory;
        big.replace(big.find("CREATURE_WIZARD\t1\t"), 18, "CREATURE_WIZARD\t1\t9999999999");
        f.overflow = make("overflow", "Data", "CREATURE.TXT", big);
        fs::create_directories(root / "nogame" / "Data");
        fuzz::writeFile((root / "plain").string(), "not a folder");
        return f;
    }();
    return made;
}

std::string firstLine(std::string_view bytes) {
    return std::string(bytes.substr(0, bytes.find_first_of("\r\n")));
}

} // namespace
} // namespace tavrel

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tavrel::folders();
    if (::chdir(tavrel::fuzz::workFolder().c_str()) != 0)
        tavrel::fuzz::broken("cannot enter the work folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    using fuzz::check;
    namespace fs = std::filesystem;
    const std::string_view bytes = fuzz::bytesOf(data, size);
    static const std::string config = fuzz::workFolder() + "/Tavrel.cfg";
    static const std::string written = fuzz::workFolder() + "/Written.cfg";
    static const ValueSet before = fuzz::markedValues(5);
    const Folders& known = folders();

    fuzz::writeFile(config, bytes);
    SettingsStore store;
    store.assign(before);
    const std::uint64_t revision = store.revision();
    EditorState state;
    state.SelectedCreature = 9;
    const GameLoadOutcome outcome = runStartup(store, state, config);

    check(state.SelectedCreature == 1, "start-up did not reset the editor state");
    check(store.defaults() == factoryDefaults(), "start-up changed a factory value");
    if (!outcome.gameFound) {
        check(store.values() == before, "a value changed although no game was read");
        check(store.revision() == revision, "a change was counted although no game was read");
    }
    if (bytes.empty()) {
        check(outcome.errorNumber == 62 &&
                  outcome.message == errorMessage(MessageTable::StartUp, 62),
              "an empty configuration file is not error 62");
        return 0;
    }

    const std::string line = firstLine(bytes);
    check(state.ConfigLine == line, "the configuration line is not the file's first line");
    const bool keyed = line.size() > kInstallPathKey.size() && line.starts_with(kInstallPathKey);
    const std::string folder = keyed ? line.substr(kInstallPathKey.size()) : std::string();
    check(state.InstallPath == folder, "the install folder is not the rest of the line");

    // Which of the prepared folders the line names, as the file system resolves it.
    fs::path resolved;
    if (keyed && folder.find('\0') == std::string::npos) {
        std::error_code ec;
        resolved = fs::canonical(folder, ec);
    }
    const ValueSet* gameValues = resolved == known.game    ? &known.gameValues
                                 : resolved == known.addon ? &known.addonValues
                                 : resolved == known.root  ? &known.rootValues
                                                           : nullptr;
    if (outcome.gameFound) {
        check(gameValues != nullptr,
              "a game was read from somewhere other than the folder the line names");
        check(store.values() == *gameValues, "the store does not hold the game's values");
        check(outcome.addonPresent == (resolved == known.addon), "the add-on was misreported");
    } else {
        check(gameValues == nullptr, "the game in the folder the line names was not read");
    }
    if (resolved == known.refused)
        check(outcome.message == msg::IncompatibleGameFile, "a refused file had the wrong message");
    if (resolved == known.overflow)
        check(outcome.errorNumber == 6, "an out-of-range number was not error 6");

    // A folder the locate dialog writes must come back from the file as it was.
    if (line.size() == bytes.size()) {
        const std::string candidate(bytes);
        check(!writeConfigFile(candidate, written), "writing the configuration failed");
        const ConfigRead back = readConfigFile(written);
        check(back.exists && back.errorNumber == 0, "the written configuration cannot be read");
        check(installPathFromLine(back.line) == candidate, "the folder changed on the way back");
    }
    return 0;
}
