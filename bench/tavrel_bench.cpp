// Each file operation of the editor beside its physical baseline on the same bytes: the
// least any program must do to get the same result from the same system, written as
// plainly as possible. The ratios printed at the end say what the editor's own work
// (templates, tables, checks, the safe-replace protocol) costs on top of that.
//
//   tavrel_bench [--benchmark_filter=...]     (scripts/bench builds and runs it)
//
// Files go to TAVREL_BENCH_DIR, or the system's temporary folder: put that on the kind of
// disk the game lives on, since syncing dominates every write.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/editor_state.h"
#include "core/factory_defaults.h"
#include "core/settings_store.h"
#include "gamefile/config_file.h"
#include "gamefile/reader.h"
#include "gamefile/startup.h"
#include "gamefile/writer.h"
#include "paired.h"
#include "settingsfile/settings_file.h"

namespace {

using namespace tavrel;
namespace fs = std::filesystem;

[[noreturn]] void fail(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

// A folder of its own with a game folder and a settings file in it, made once.
struct Workspace {
    std::string root;
    std::string game;     // install folder: game/Data/CREATURE.TXT
    std::string gameFile; // its CREATURE.TXT
    std::string settings; // a saved .dks file
    std::string config;   // Tavrel.cfg naming the game folder
    ValueSet values{};    // a varied set, as after some editing

    Workspace() {
        const char* chosen = std::getenv("TAVREL_BENCH_DIR");
        const fs::path base = chosen && *chosen ? fs::path(chosen) : fs::temp_directory_path();
        fs::create_directories(base);
        std::string pattern = (base / "tavrel-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            fail("mkdtemp");
        root = pattern;
        game = root + "/game";
        fs::create_directories(game + "/Data");
        gameFile = game + "/Data/CREATURE.TXT";
        settings = root + "/values.dks";
        config = root + "/Tavrel.cfg";
        values = factoryDefaults();
        for (std::size_t i = 0; i < values.size(); i += 7)
            values[i] = values[i] * 3 + static_cast<std::int32_t>(i);
        writeRaw(gameFile, renderGameFile(values));
        if (!saveSettingsFile(settings, values).ok || writeConfigFile(game, config))
            fail("preparing the workspace");
    }
    ~Workspace() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    static void writeRaw(const std::string& path, const std::string& bytes) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            fail(path);
        ::close(fd);
    }
};

Workspace& workspace() {
    static Workspace w;
    return w;
}

// ---------------------------------------------------------------------------------------
// The baselines: straight system calls, no checks beyond what keeps them correct.

// Open, read the whole file into one buffer, close.
std::string readWhole(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        fail(path);
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n <= 0)
            fail(path);
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return bytes;
}

// Digit runs that end before the end of the data, in one tight loop.
int countDigitRuns(const std::string& bytes) {
    int count = 0;
    bool inRun = false;
    for (const char c : bytes) {
        const bool digit = static_cast<unsigned char>(c - '0') < 10;
        count += inRun && !digit;
        inRun = digit;
    }
    return count;
}

// Write a new file beside the target, sync it, rename it over the target and sync the
// folder: the least a program can do to replace a file without risking its content.
void replaceWhole(const std::string& folder, const std::string& target, const std::string& bytes) {
    const std::string temporary = folder + "/.baseline.tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::fsync(fd) != 0 || ::close(fd) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0)
        fail(temporary);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0 || ::fsync(dir) != 0)
        fail(folder);
    ::close(dir);
}

// Reading and extracting the game file vs. reading its bytes and counting digit runs.
void ReadGameFile(benchmark::State& state) {
    const Workspace& w = workspace();
    bench::paired(
        state, static_cast<std::int64_t>(fs::file_size(w.gameFile)),
        [&] {
            const GameFileRead read = readGameFileAt(w.gameFile, factoryDefaults());
            if (read.status != ReadStatus::Accepted)
                state.SkipWithError("the game file was not accepted");
            benchmark::DoNotOptimize(read.values.data());
        },
        [&] {
            int count = countDigitRuns(readWhole(w.gameFile));
            benchmark::DoNotOptimize(count);
        });
}

// Apply (render CREATURE.TXT, replace the game's file safely) vs. replacing it with the
// same bytes, already rendered, by the bare protocol.
void Apply(benchmark::State& state) {
    const Workspace& w = workspace();
    const std::string bytes = renderGameFile(w.values);
    bench::paired(
        state, static_cast<std::int64_t>(bytes.size()),
        [&] {
            const ApplyResult result = applyToGame(w.game, w.values);
            if (result.outcome != ApplyOutcome::Applied)
                state.SkipWithError(result.message.c_str());
        },
        [&] { replaceWhole(w.game + "/Data", w.gameFile, bytes); });
}

void SaveSettingsFile(benchmark::State& state) {
    const Workspace& w = workspace();
    const std::string bytes = encodeSettings(w.values);
    bench::paired(
        state, static_cast<std::int64_t>(bytes.size()),
        [&] {
            if (!saveSettingsFile(w.settings, w.values).ok)
                state.SkipWithError("saving failed");
        },
        [&] { replaceWhole(w.root, w.settings, bytes); });
}

void LoadSettingsFile(benchmark::State& state) {
    const Workspace& w = workspace();
    SettingsStore store;
    bench::paired(
        state, static_cast<std::int64_t>(kSettingsFileSize),
        [&] {
            if (!loadSettingsFile(w.settings, store).ok)
                state.SkipWithError("loading failed");
            benchmark::DoNotOptimize(store.values().data());
        },
        [&] {
            const std::string bytes = readWhole(w.settings);
            benchmark::DoNotOptimize(bytes.data());
        });
}

// Start-up with Tavrel.cfg naming a game folder (configuration, game file, add-on test),
// beside the bare read of the game file it is built around; there is no target for it.
void Startup(benchmark::State& state) {
    const Workspace& w = workspace();
    SettingsStore store;
    EditorState editor;
    bench::paired(
        state, static_cast<std::int64_t>(fs::file_size(w.gameFile)),
        [&] {
            if (!runStartup(store, editor, w.config).gameFound)
                state.SkipWithError("the game was not found");
        },
        [&] {
            int count = countDigitRuns(readWhole(w.gameFile));
            benchmark::DoNotOptimize(count);
        });
}

BENCHMARK(ReadGameFile)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Apply)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveSettingsFile)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(LoadSettingsFile)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(Startup)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The console report, then the ratios gathered from it: the medians when repetitions
// were asked for, else the single run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that a saved report stays plain text.
    RatioReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median)
                continue;
            auto& row = rows_[run.run_name.function_name];
            if (!median && row.fromMedian)
                continue;
            const auto counter = [&](const char* name) {
                const auto found = run.counters.find(name);
                return found == run.counters.end() ? 0.0 : found->second.value;
            };
            row = {run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) *
                       1e6,
                   counter("baseline_us"), counter("ratio"), median};
        }
    }

    void printRatios() const {
        struct Target {
            const char* operation;
            const char* baseline;
            double atMost; // 0: reported only
        };
        const Target targets[] = {
            {"ReadGameFile", "read the bytes, count digit runs", 1.5},
            {"Apply", "write 44,048 bytes, sync, rename", 1.2},
            {"SaveSettingsFile", "write 10,720 bytes, sync, rename", 1.2},
            {"LoadSettingsFile", "read 10,720 bytes", 1.2},
            {"Startup", "read the game file, count digit runs", 0},
        };
        std::printf("\n%-17s %11s %11s %7s  %-8s %s\n", "operation", "time (us)", "base (us)",
                    "ratio", "target", "baseline");
        for (const Target& t : targets) {
            const auto row = rows_.find(t.operation);
            if (row == rows_.end())
                continue;
            char target[32] = "-";
            if (t.atMost > 0)
                std::snprintf(target, sizeof target, "%.1fx %s", t.atMost,
                              row->second.ratio <= t.atMost ? "met" : "MISSED");
            std::printf("%-17s %11.1f %11.1f %6.2fx  %-10s %s\n", t.operation, row->second.micros,
                        row->second.baselineMicros, row->second.ratio, target, t.baseline);
        }
    }

private:
    struct Row {
        double micros = 0;
        double baselineMicros = 0;
        double ratio = 0;
        bool fromMedian = false;
    };
    std::map<std::string, Row> rows_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    workspace();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
