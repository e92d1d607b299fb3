#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>

namespace tavrel::bench {

// Each operation is timed in turn with its baseline, iteration by iteration and in
// alternating order, so that both meet the same disk and the same load from other
// programs; the reported time is the operation's, the baseline's is a counter beside it.

using Clock = std::chrono::steady_clock;

template <typename Work> double secondsOf(Work&& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

template <typename Operation, typename Baseline>
void paired(benchmark::State& state, std::int64_t bytes, Operation&& operation,
            Baseline&& baseline) {
    double operationTotal = 0;
    double baselineTotal = 0;
    bool baselineFirst = false;
    for (auto _ : state) {
        double operationTime = 0;
        double baselineTime = 0;
        if (baselineFirst) {
            baselineTime = secondsOf(baseline);
            operationTime = secondsOf(operation);
        } else {
            operationTime = secondsOf(operation);
            baselineTime = secondsOf(baseline);
        }
        baselineFirst = !baselineFirst;
        state.SetIterationTime(operationTime);
        operationTotal += operationTime;
        baselineTotal += baselineTime;
    }
    state.counters["baseline_us"] =
        benchmark::Counter(baselineTotal * 1e6, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = baselineTotal > 0 ? operationTotal / baselineTotal : 0;
    state.SetBytesProcessed(state.iterations() * bytes);
}

} // namespace tavrel::bench
