// Writes the seed corpus of every fuzz target, made by the editor's own code so that the
// seeds are exactly what users have: the factory files, files with values changed, both
// settings layouts and the configuration lines the editor writes or meets.
//
//   tavrel_fuzz_seeds OUTDIR   ->  OUTDIR/<target>/<seed>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/factory_defaults.h"
#include "core/settings_store.h"
#include "editing/creature_grid.h"
#include "fuzz_support.h"
#include "gamefile/config_file.h"
#include "gamefile/writer.h"
#include "settingsfile/settings_file.h"

namespace {

using namespace tavrel;
namespace fs = std::filesystem;

void put(const fs::path& folder, const std::string& name, std::string_view bytes) {
    fs::create_directories(folder);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", (folder / name).c_str());
        std::exit(1);
    }
}

ValueSet with(ValueSet values, SlotRef ref, std::int32_t v) {
    values[static_cast<std::size_t>(recordOf(ref) - 1)] = v;
    return values;
}

ValueSet nonNegative(ValueSet values) {
    for (auto& v : values)
        v = v < 0 ? -(v + 1) : v;
    return values;
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
    if (text.find(from) == std::string::npos) {
        std::fprintf(stderr, "seed edit finds nothing to change\n");
        std::exit(1);
    }
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

void gameSeeds(const fs::path& out) {
    const ValueSet& factory = factoryDefaults();
    const std::string shipped = renderGameFile(factory);
    put(out, "factory", shipped);
    // The Dragon's health raised, as a user would first try.
    put(out, "dragon-health", renderGameFile(with(factory, SlotRef::creature(17, 5), 12345)));
    put(out, "flag-above-one", renderGameFile(with(factory, SlotRef::creature(3, 72), 5)));
    put(out, "negative", renderGameFile(with(factory, SlotRef::of(Category::Room, 4), -200)));
    put(out, "largest", renderGameFile(with(factory, SlotRef::of(Category::Misc, 28), 2147483647)));
    put(out, "all-zero", renderGameFile(ValueSet{}));
    put(out, "varied", renderGameFile(nonNegative(fuzz::markedValues(1))));
    // Hand edits and other tools: line ends, leading zeros, a number too many or too few,
    // and one beyond the 32-bit range.
    put(out, "lf-only", replaced(shipped, "\r\n", "\n"));
    put(out, "leading-zeros", replaced(shipped, "\t100\t", "\t007\t"));
    put(out, "no-final-line-end", shipped.substr(0, shipped.size() - 2));
    put(out, "one-more", shipped + "1\r\n");
    put(out, "overflow",
        replaced(shipped, "ROOM_TREASURE_ROOM\t2\t50\t", "ROOM_TREASURE_ROOM\t2\t2147483648\t"));
}

void settingsSeeds(const fs::path& out) {
    const ValueSet varied = fuzz::markedValues(2);
    put(out, "factory", encodeSettings(factoryDefaults()));
    put(out, "varied", encodeSettings(varied));
    put(out, "longer", encodeSettings(varied) + "trailing bytes");
    put(out, "one-byte-short", encodeSettings(varied).substr(0, kSettingsFileSize - 1));
    std::string legacy(kLegacySettingsFileSize, '\0');
    const std::string records = encodeSettings(varied);
    for (std::size_t r = 0; r < static_cast<std::size_t>(kSlotCount); ++r)
        legacy.replace(r * kLegacyRecordSize, 4, records, r * 4, 4);
    put(out, "legacy", legacy);
}

void configSeeds(const fs::path& out) {
    // The fuzz target's work folder is the current folder and holds a game of its own,
    // the folders game, addon, refused, overflow and nogame, and a plain file.
    put(out, "game", configContent("game"));
    put(out, "here", configContent("."));
    put(out, "addon-lf", std::string(kInstallPathKey) + "addon\n");
    put(out, "refused", configContent("refused"));
    put(out, "overflow", configContent("./overflow/"));
    put(out, "nogame", configContent("nogame"));
    put(out, "below-a-file", configContent("plain/game"));
    // The game's file itself named instead of its folder.
    put(out, "the-file-itself", configContent("game/Data/CREATURE.TXT"));
    put(out, "lower-case-key", "install_path=game\r\n");
    put(out, "key-alone", std::string(kInstallPathKey) + "\r\n");
    put(out, "two-lines", configContent("nogame") + configContent("game"));
}

// A typed text, then the choices the target takes from the end of its input: whether
// the next step types or refills the box, the box's starting value, the slot's place
// and its category (the last byte).
void typedSeeds(const fs::path& out) {
    const char* texts[] = {
        "12abc",
        "abc",
        "007",
        "70000",
        "-5",
        "2.5",
        "3.5",
        "1e10",
        "&HFF",
        "&O17",
        " 1 2 3 ",
        "-0",
        "1.7976931348623157e309",
        "0.000000001",
        "+.5e-3",
        "&h",
    };
    int i = 0;
    for (const char* text : texts) {
        std::string seed = text;
        seed += "\\\x01";                           // ends the text
        seed += "\x03";                             // type, rather than refill
        seed += std::string("\x40\x00\x00\x00", 4); // starting value
        seed += "\x05\x05";                         // field and kind, or a slot
        seed += static_cast<char>(i % 8);           // category, 0 for no slot
        put(out, "text-" + std::to_string(i++), seed);
    }
}

// Blocks copied from the grid and texts from a spreadsheet, then the choices the target
// takes from the end of its input, all zero: one repeat, the top-left cell, the values.
void pasteSeeds(const fs::path& out) {
    const ValueSet& values = factoryDefaults();
    const std::vector<int> kinds = sortedKinds(values, 0, SortOrder::Picker);
    std::vector<int> all(kCreatureFields);
    for (int column = 0; column < kCreatureFields; ++column)
        all[static_cast<std::size_t>(column)] = column;
    const std::string texts[] = {
        toTsv(gridBlock(values, kinds, all, true, true)),
        toTsv(gridBlock(values, kinds, {0, 73, 74}, true, false)),
        toTsv(gridBlock(values, {17}, all, false, true)),
        "Health\tArmour\r\n80\t6\t\r\n",
        "70000\t12.5\t-3\n\"a\"\"b\tc\"\n",
    };
    int i = 0;
    for (const std::string& text : texts)
        put(out, "paste-" + std::to_string(i++), text + std::string(6, '\0'));
}

} // namespace

// KeeperFX's config lines and load orders, as a player's install holds them.
void keeperFxSeeds(const fs::path& out) {
    put(out, "creature",
        "; creature\r\n[attributes]\r\nHealth = 350\r\nProperties = BLEEDS\r\n"
        "SpellImmunity = 0 POISON_CLOUD\r\n[experience]\r\nPowers = FIREBALL NULL\r\n"
        "GrowUp = 0 NULL 0\r\n[jobs]\r\nPrimaryJobs = RESEARCH TRAIN\r\n");
    put(out, "research",
        "[research]\nResearch = MAGIC POWER_IMP 1000\nResearch = ROOM GARDEN 2\n"
        "[power5]\nPower = 1 2 3 4 5 6 7 8 9\n");
    put(out, "load_order", "; mods\r\n[after_base]\r\nmodA\r\ntavrel\r\n\r\n[after_map]\r\nx\r\n");
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[1];
    gameSeeds(out / "fuzz_game_file");
    settingsSeeds(out / "fuzz_settings_file");
    configSeeds(out / "fuzz_config_file");
    typedSeeds(out / "fuzz_typed_input");
    pasteSeeds(out / "fuzz_grid_paste");
    keeperFxSeeds(out / "fuzz_keeperfx_config");
    return 0;
}
