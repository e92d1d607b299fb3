// The Compare Creatures grid beside a bare Qt table of the same size with the same
// texts, drawn in the same run: opening it with every value drawn, and redrawing it
// after a paste of all 2,250 creature values. The editor's own work on top of the bare
// table (its store, undo history, redraw of the other windows, colours) should stay
// within one display frame (1/60 s) of it. Beside them, the largest paste the grid
// takes and a far larger one that it refuses: each should take well under a second.
//
//   tavrel_grid_bench [--benchmark_filter=...]     (scripts/bench builds and runs it)
//
// It draws on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <numeric>
#include <vector>

#include "core/editor_state.h"
#include "core/factory_defaults.h"
#include "core/settings_store.h"
#include "editing/creature_grid.h"
#include "paired.h"
#include "screens/app_context.h"
#include "screens/creatures/compare_creatures.h"

namespace {

using namespace tavrel;

constexpr double kFrameMs = 1000.0 / 60;
constexpr double kBoundMs = 250;

class SilentSeam final : public screens::MessageSeam {
public:
    void inform(QWidget*, const QString&) override {}
    bool ask(QWidget*, const QString&, const QString&) override { return false; }
    int choose(QWidget*, const QString&, const QString&, const QStringList&) override { return -1; }
    int askChoice(QWidget*, const screens::ChoiceQuestion&) override { return -1; }
};

struct Editor {
    SettingsStore store;
    EditorState state;
    SilentSeam seam;
    screens::AppContext context{store, state, seam};
    Editor() { store.restoreDefaults(); }
};

// The whole table in view: the window grown until the grid needs no scrolling.
void showWhole(QWidget* window, QTableView* view) {
    window->show();
    const QSize whole(view->verticalHeader()->width() + view->horizontalHeader()->length() +
                          2 * view->frameWidth(),
                      view->horizontalHeader()->height() + view->verticalHeader()->length() +
                          2 * view->frameWidth());
    window->resize(window->size() + whole - view->size());
}

// Every creature's texts as the grid shows them, as a table of strings.
TsvTable gridTexts(const ValueSet& values) {
    std::vector<int> columns(kCreatureFields);
    std::iota(columns.begin(), columns.end(), 0);
    return gridBlock(values, sortedKinds(values, 0, SortOrder::Picker), columns, false, true);
}

// The bare table: a standard model with the same texts, in a plain view of the same
// size with the same column widths and row heights, so that it draws every cell too.
struct BareTable {
    QStandardItemModel model{kCreatureKinds, kCreatureFields};
    QTableView view;
    BareTable(const TsvTable& texts, const QTableView& like) {
        fill(texts);
        view.setModel(&model);
        view.verticalHeader()->setDefaultSectionSize(like.verticalHeader()->defaultSectionSize());
        view.horizontalHeader()->setFixedHeight(like.horizontalHeader()->height());
        for (int column = 0; column < kCreatureFields; ++column)
            view.setColumnWidth(column, like.columnWidth(column));
        view.resize(like.size());
        view.show();
    }
    void fill(const TsvTable& texts) {
        for (int row = 0; row < kCreatureKinds; ++row)
            for (int column = 0; column < kCreatureFields; ++column)
                model.setData(
                    model.index(row, column),
                    QString::fromStdString(
                        texts[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)]));
    }
};

std::map<std::string, std::vector<std::pair<double, double>>>& results() {
    static std::map<std::string, std::vector<std::pair<double, double>>> runs;
    return runs;
}

void record(benchmark::State& state, const char* name) {
    const double iterations = static_cast<double>(state.iterations());
    // The counters hold totals; the report divides them by the iterations.
    if (iterations > 0)
        results()[name].emplace_back(state.counters["operation_us"] / iterations / 1000,
                                     state.counters["baseline_us"] / iterations / 1000);
}

// Opening the window and drawing every cell, against building and drawing the bare
// table of the same size.
void OpenGrid(benchmark::State& state) {
    Editor editor;
    const TsvTable texts = gridTexts(editor.store.values());
    screens::Form_CompareCreatures probe(editor.context);
    showWhole(&probe, probe.grid());
    probe.hide();
    double operationTotal = 0;
    bench::paired(
        state, 0,
        [&] {
            const double took = bench::secondsOf([&] {
                screens::Form_CompareCreatures window(editor.context);
                showWhole(&window, window.grid());
                benchmark::DoNotOptimize(window.grid()->grab());
            });
            operationTotal += took;
        },
        [&] {
            BareTable bare(texts, *probe.grid());
            benchmark::DoNotOptimize(bare.view.grab());
        });
    state.counters["operation_us"] =
        benchmark::Counter(operationTotal * 1e6, benchmark::Counter::kAvgIterations);
    record(state, "OpenGrid");
}

// A paste of every creature value from a spreadsheet and the redraw of the whole grid,
// against setting the same texts into the bare table and drawing it. Each paste
// changes every value that its turn can change: two sets take turns.
void PasteAll(benchmark::State& state) {
    Editor editor;
    ValueSet other = editor.store.values();
    for (int record = 1; record <= kCreatureKinds * kCreatureFields; ++record) {
        const SlotRef ref = slotOfRecord(record);
        if (cellKindOf(ref.slot) == CellKind::Number)
            other[static_cast<std::size_t>(record - 1)] += 1;
    }
    const QString pastes[] = {QString::fromStdString(toTsv(gridTexts(other))),
                              QString::fromStdString(toTsv(gridTexts(editor.store.values())))};
    const TsvTable texts[] = {gridTexts(other), gridTexts(editor.store.values())};
    screens::Form_CompareCreatures window(editor.context);
    showWhole(&window, window.grid());
    BareTable bare(texts[1], *window.grid());
    int turn = 0;
    int bareTurn = 0;
    double operationTotal = 0;
    bench::paired(
        state, 0,
        [&] {
            QApplication::clipboard()->setText(pastes[turn++ % 2]);
            window.grid()->setCurrentIndex(window.model()->index(0, 0));
            const double took = bench::secondsOf([&] {
                window.paste();
                benchmark::DoNotOptimize(window.grid()->grab());
            });
            operationTotal += took;
        },
        [&] {
            bare.fill(texts[bareTurn++ % 2]);
            benchmark::DoNotOptimize(bare.view.grab());
        });
    state.counters["operation_us"] =
        benchmark::Counter(operationTotal * 1e6, benchmark::Counter::kAvgIterations);
    record(state, "PasteAll");
}

std::map<std::string, std::vector<double>>& bounded() {
    static std::map<std::string, std::vector<double>> runs;
    return runs;
}

// The largest text a paste reads: a block with its headings, 31 lines of 76 cells,
// each cell padded with blanks to fill the text limit, pasted where its headings point.
QString largestPaste() {
    std::vector<int> columns(kCreatureFields);
    std::iota(columns.begin(), columns.end(), 0);
    const ValueSet& values = factoryDefaults();
    TsvTable table =
        gridBlock(values, sortedKinds(values, 0, SortOrder::Picker), columns, true, true);
    const std::size_t pad = kPasteTextLimit / (kPasteLimits.lines * kPasteLimits.cells) - 40;
    for (auto& line : table)
        for (auto& cell : line)
            cell.append(pad, ' ');
    const std::string text = toTsv(table);
    return QString::fromStdString(text.substr(0, std::min(text.size(), kPasteTextLimit)));
}

// A paste of `text` on the grid's first cell, undone in between so that each changes
// the same values.
void pasteOf(benchmark::State& state, const QString& text, const char* name) {
    Editor editor;
    screens::Form_CompareCreatures window(editor.context);
    QApplication::clipboard()->setText(text);
    for (auto _ : state) {
        editor.store.restoreDefaults();
        window.grid()->setCurrentIndex(window.model()->index(0, 0));
        const double took = bench::secondsOf([&] { window.paste(); });
        state.SetIterationTime(took);
        bounded()[name].push_back(took * 1000);
    }
}

void PasteLargest(benchmark::State& state) {
    pasteOf(state, largestPaste(), "PasteLargest");
}

// A text a hundred times the limit, refused unread.
void PasteRefused(benchmark::State& state) {
    pasteOf(state, QString(100'000'000, QLatin1Char('\t')), "PasteRefused");
}

BENCHMARK(OpenGrid)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PasteLargest)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PasteRefused)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(PasteAll)->UseManualTime()->Unit(benchmark::kMillisecond);

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void printExtras() {
    std::printf("\n%-9s %10s %10s %10s  %s\n", "operation", "time (ms)", "base (ms)", "extra (ms)",
                "target: extra within one frame (16.7 ms)");
    for (const auto& [name, runs] : results()) {
        std::vector<double> times;
        std::vector<double> bases;
        for (const auto& [time, base] : runs) {
            times.push_back(time);
            bases.push_back(base);
        }
        const double time = median(times);
        const double base = median(bases);
        std::printf("%-9s %10.2f %10.2f %10.2f  %s\n", name.c_str(), time, base, time - base,
                    time - base <= kFrameMs ? "met" : "MISSED");
    }
    std::printf("\n%-12s %10s  %s\n", "paste", "time (ms)", "target: well under a second (250 ms)");
    for (const auto& [name, times] : bounded())
        std::printf("%-12s %10.2f  %s\n", name.c_str(), median(times),
                    median(times) <= kBoundMs ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    printExtras();
    benchmark::Shutdown();
    return 0;
}
