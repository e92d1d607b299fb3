// Any bytes as a KeeperFX config file and as mods/load_order.cfg: the parsed file written
// again parses the same; stacking it over a file never fails; the load order keeps every
// other mod in its block and order with the editor's mod last in its own block; and every slot's
// words read from the file, put back, stay as they were, while any value put in reads back.
//
// Once per process the input also grows into the largest file the editor reads, twice:
// as copies of its blocks, each copy's under names of its own, and as all their lines in
// one block. libFuzzer's -timeout (10 s in scripts/fuzz) then bounds the read of the
// largest allowed input, which only a reader linear in the size of its input meets.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "keeperfx/config_text.h"
#include "keeperfx/encoding.h"
#include "keeperfx/places.h"
#include "keeperfx/stacking.h"

namespace tavrel::keeperfx {
namespace {

using fuzz::check;

bool sameFile(const ConfigFile& a, const ConfigFile& b) {
    if (a.sections.size() != b.sections.size())
        return false;
    for (std::size_t s = 0; s < a.sections.size(); ++s) {
        const auto& x = a.sections[s];
        const auto& y = b.sections[s];
        if (x.name != y.name || x.lines.size() != y.lines.size())
            return false;
        for (std::size_t l = 0; l < x.lines.size(); ++l)
            if (x.lines[l].key != y.lines[l].key || x.lines[l].words != y.lines[l].words)
                return false;
    }
    return true;
}

// The input's blocks copied until the text would pass the read limit: each copy's under
// names of their own, or all their lines in the input's first block.
std::string largestOf(const ConfigFile& file, bool ownNames) {
    // A block written alone, without the comment line on top (and without its header
    // when that is "[]").
    const auto written = [](std::string name, const ConfigSection& section) {
        const std::size_t header = name.empty() ? std::string_view("; \r\n\r\n[]\r\n").size()
                                                : std::string_view("; \r\n").size();
        return renderConfig({{{std::move(name), section.lines}}}, "").substr(header);
    };
    std::string text = ownNames ? std::string() : "[" + file.sections.front().name + "]\n";
    for (std::size_t copy = 0;; ++copy) {
        std::string piece;
        for (const ConfigSection& section : file.sections)
            piece += written(ownNames ? section.name + std::to_string(copy) : "", section);
        if (piece.empty() || text.size() + piece.size() > kConfigReadLimit)
            return text;
        text += piece;
    }
}

std::vector<std::string> without(std::vector<std::string> mods, std::string_view mod) {
    std::erase_if(mods, [&](const std::string& m) { return sameName(m, mod); });
    return mods;
}

} // namespace
} // namespace tavrel::keeperfx

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    using namespace tavrel::keeperfx;
    const std::string_view text = fuzz::bytesOf(data, size);

    if (size > kConfigReadLimit)
        return 0; // the editor refuses a larger file unread
    const ConfigFile file = parseConfig(text);
    static bool grown = false;
    if (!grown && !file.sections.empty()) {
        grown = true;
        for (const bool ownNames : {true, false}) {
            StackedFile large;
            large.stack(parseConfig(largestOf(file, ownNames)));
        }
    }
    check(sameFile(parseConfig(renderConfig(file, "fuzz")), file),
          "a written file parses differently");
    StackedFile stacked;
    stacked.stack(parseConfig("[attributes]\nPowers = A B C\nSpellImmunity = WIND\n"
                              "[power1]\nPower = 1 2 3 4 5 6 7 8 9 10\n"));
    stacked.stack(file);

    const std::string order = withModLast(text, "tavrel");
    const std::vector<std::string> mods = afterBaseMods(order);
    // Writing drops leading byte-order marks, which hide the first block from KeeperFX:
    // the mods the file then shows are the ones that must stay.
    const std::vector<std::string> others =
        without(afterBaseMods(withoutByteOrderMarks(text)), "tavrel");
    check(withModLast(order, "tavrel") == order, "enabling the mod twice changed the file");
    // KeeperFX reads no file over 65,536 bytes and no more than 50 mods of a block: an
    // apply that would leave its mod beyond them is refused.
    constexpr std::size_t kReadOrder = 65536, kReadMods = 50;
    // A block at the limit hides entries that taking the mod out of it would show.
    if (order.size() <= kReadOrder &&
        afterBaseMods(withoutByteOrderMarks(text)).size() < kReadMods) {
        check(!mods.empty() && mods.back() == "tavrel",
              "the mod is not the last [after_base] entry");
        check(without(mods, "tavrel") == others, "another mod of load_order.cfg moved or went");
    }
    // Moved after the campaigns, the mod stands last there and in no other block KeeperFX
    // reads, and every other mod keeps its block and place.
    const std::string_view shown = withoutByteOrderMarks(text);
    const std::string late = withModIn(text, "tavrel", "after_campaign");
    // Below KeeperFX's limits, where taking the mod out of a full block shows no new one.
    bool belowLimits = late.size() <= kReadOrder;
    for (std::string_view block : {"after_base", "after_campaign", "after_map"})
        belowLimits = belowLimits && blockMods(shown, block).size() < kReadMods;
    if (belowLimits) {
        const std::vector<std::string> lateMods = blockMods(late, "after_campaign");
        check(!lateMods.empty() && lateMods.back() == "tavrel" &&
                  !hasName(afterBaseMods(late), "tavrel") &&
                  !hasName(blockMods(late, "after_map"), "tavrel"),
              "the mod is not the last [after_campaign] entry alone");
        for (std::string_view block : {"after_base", "after_campaign", "after_map"})
            check(without(blockMods(late, block), "tavrel") ==
                      without(blockMods(shown, block), "tavrel"),
                  "another mod of load_order.cfg moved or went");
        check(withModIn(late, "tavrel", "after_campaign") == late,
              "moving the mod twice changed the file");
    }

    FuzzedDataProvider in(data, size);
    const Place& place = placeOf(in.ConsumeIntegralInRange(1, kSlotCount));
    if (place.encoding == Encoding::None)
        return 0;
    std::vector<std::string> words = splitWords(in.ConsumeRandomLengthString(80));
    const auto before = words;
    if (const auto value = decodeSlot(place, words); value && encodable(place, *value)) {
        encodeSlot(place, *value, words);
        check(words == before, "words that hold the value were rewritten");
    }
    const std::int32_t value = in.ConsumeIntegral<std::int32_t>();
    if (encodable(place, value)) {
        encodeSlot(place, value, words);
        const auto back = decodeSlot(place, words);
        check(back && (place.encoding == Encoding::FearPercent
                           ? fearPercent(*back) == fearPercent(value)
                           : *back == value),
              "a value put into words reads back differently");
    }
    return 0;
}
