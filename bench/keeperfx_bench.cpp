// Reading KeeperFX config text, up to the largest file the editor reads, in the shapes
// that cost a reader most: many small blocks, one block of many keys, one block name met
// again and again, long word lists, a long research list. Beside it the least any reader
// must do with the same bytes: find the line ends. Each shape runs at 1, 2, 4 and 8 MiB,
// and Google Benchmark fits the times: they must grow as N, not N squared.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "keeperfx/config_text.h"
#include "keeperfx/stacking.h"
#include "paired.h"

namespace {

using namespace tavrel;

// `head`, then as many units as fit in `size` bytes.
std::string shaped(std::string head, const std::function<std::string(std::size_t)>& unit,
                   std::size_t size) {
    std::string text = std::move(head);
    for (std::size_t i = 0;; ++i) {
        const std::string next = unit(i);
        if (text.size() + next.size() > size)
            return text;
        text += next;
    }
}

std::string smallBlocks(std::size_t size) {
    return shaped(
        {}, [](std::size_t i) { return "[power" + std::to_string(i) + "]\nCost = 1\n"; }, size);
}

std::string oneBlock(std::size_t size) {
    return shaped(
        "[attributes]\n", [](std::size_t i) { return "K" + std::to_string(i) + " = 1\n"; }, size);
}

// KeeperFX reads every [spell3] block, one over the other.
std::string sameBlock(std::size_t size) {
    return shaped(
        {}, [](std::size_t i) { return "[spell3]\nK" + std::to_string(i % 7) + " = 1\n"; }, size);
}

// Lines of 200 immunities each, every one keeping the words of the one before.
std::string longLines(std::size_t size) {
    std::string line = "SpellImmunity =";
    for (int i = 0; i < 50; ++i)
        line += " WIND SLOW CHICKEN FREEZE";
    line += "\n";
    return shaped(
        "[attributes]\n", [&](std::size_t) { return line; }, size);
}

std::string researchList(std::size_t size) {
    return shaped(
        "[research]\n",
        [](std::size_t i) { return "Research = ROOM R" + std::to_string(i) + " 1\n"; }, size);
}

void ReadKeeperFxConfig(benchmark::State& state, std::string (*shape)(std::size_t)) {
    const std::string text = shape(static_cast<std::size_t>(state.range(0)));
    bench::paired(
        state, static_cast<std::int64_t>(text.size()),
        [&] {
            keeperfx::StackedFile file;
            file.stack(keeperfx::parseConfig(text));
            benchmark::DoNotOptimize(file.find("attributes", "K0"));
        },
        [&] {
            const auto lines = std::count(text.begin(), text.end(), '\n');
            benchmark::DoNotOptimize(lines);
        });
    state.SetComplexityN(static_cast<std::int64_t>(text.size()));
}

constexpr std::int64_t kMiB = std::int64_t{1} << 20;
static_assert(8 * kMiB == static_cast<std::int64_t>(keeperfx::kConfigReadLimit));

#define TAVREL_KEEPERFX_BENCH(shape)                                                               \
    BENCHMARK_CAPTURE(ReadKeeperFxConfig, shape, shape)                                            \
        ->RangeMultiplier(2)                                                                       \
        ->Range(kMiB, 8 * kMiB)                                                                    \
        ->UseManualTime()                                                                          \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->Complexity(benchmark::oN)

TAVREL_KEEPERFX_BENCH(smallBlocks);
TAVREL_KEEPERFX_BENCH(oneBlock);
TAVREL_KEEPERFX_BENCH(sameBlock);
TAVREL_KEEPERFX_BENCH(longLines);
TAVREL_KEEPERFX_BENCH(researchList);

} // namespace
