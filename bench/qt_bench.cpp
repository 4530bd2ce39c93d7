// The Qt window (offscreen unless QT_QPA_PLATFORM says otherwise): a group change as the
// user makes it, until the result list has painted its rows; the compute step alone,
// filling the list's model without painting it; and the list filled with 1,000 to 100,000
// rows until painted, to see that its cost grows with the rows and no faster.

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTreeView>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>

#include "bench/figure_runs.h"
#include "bench/summary.h"
#include "platform/codepage.h"
#include "platform/controls.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_window.h"
#include "res/resource.h"
#include "results/result_table.h"

namespace kelvo::bench {
namespace {

constexpr double kGroupChangeTargetNs = 16e6;  // one frame at 60 Hz
constexpr qint64 kPaintTimeoutMs = 5000;
constexpr int kListRows[] = {1000, 10000, 100000};
constexpr double kListFillTargetNs = 0.5e9;  // 100,000 rows on screen within 0.5 s of the compute
constexpr double kListScalingTarget = 110;   // 100 times the rows in at most 110 times the time

// Notes when a list view's viewport paints, and how many rows its model had then. The
// filter sees the paint event before the view handles it; the event loop call that
// delivered it returns only once the view has painted, so a wait on `painted` ends after it.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QTreeView& view) : view_(view) { view.viewport()->installEventFilter(this); }
    bool painted = false;
    int rowsPainted = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted = true;
            rowsPainted = view_.model() ? view_.model()->rowCount() : -1;
        }
        return false;
    }

private:
    QTreeView& view_;
};

// The window shown on the group `group`, its first figure computed and painted.
class QtFigure {
public:
    QtFigure(int group, const std::string& dataDirectory) {
        dialog.SetInitialGroup(group);
        dialog.SetDataDirectory(dataDirectory);
        window = std::make_unique<platform::qt::QtWindow>(dialog);
        window->Open();
        window->show();
        list = qobject_cast<QTreeView*>(window->Widget(res::kIdResultList));
        groups = qobject_cast<QComboBox*>(window->Widget(res::kIdGroupList));
        if (list) watch = std::make_unique<PaintWatch>(*list);
        WaitForPaint();
    }
    ~QtFigure() {
        watch.reset();
        window.reset();
    }

    bool Usable() const { return window && window->IsRunning() && list && groups && watch; }
    int Rows() const { return list->model()->rowCount(); }

    // What a pick in the drop-down does: the entry becomes current, then `activated`.
    void ChooseGroup(int group) {
        groups->setCurrentIndex(group);
        emit groups->activated(group);
    }

    // Runs the event loop until the result list has painted; false on a timeout. A paint
    // while the list was still empty does not end the wait: the rows must be on screen.
    bool WaitForPaint(qint64 timeoutMs = kPaintTimeoutMs) {
        watch->painted = false;
        QElapsedTimer timer;
        timer.start();
        while (!watch->painted || watch->rowsPainted <= 0) {
            if (timer.elapsed() > timeoutMs) return false;
            watch->painted = false;
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        return true;
    }

    app::FigureDialog dialog;
    std::unique_ptr<platform::qt::QtWindow> window;
    QTreeView* list = nullptr;
    QComboBox* groups = nullptr;
    std::unique_ptr<PaintWatch> watch;
};

std::string BundledDataDirectory() { return platform::Utf8ToAnsi(KELVO_BUNDLED_DATA); }

int OtherGroup(const GroupRun& run) { return (run.group + 1) % 5; }

void GroupChange(benchmark::State& state, const GroupRun& run) {
    QtFigure figure(run.group, BundledDataDirectory());
    if (!figure.Usable()) {
        state.SkipWithError("the Qt window did not open");
        return;
    }
    int rows = 0;
    for (auto _ : state) {
        // Away to another group first, untimed, so that each timed choice is a change.
        figure.ChooseGroup(OtherGroup(run));
        if (!figure.WaitForPaint()) {
            state.SkipWithError("the list did not paint after a group change");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        figure.ChooseGroup(run.group);
        const bool painted = figure.WaitForPaint();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        rows = figure.watch->rowsPainted;
        if (!painted || rows != figure.dialog.Results().GetSize()) {
            state.SkipWithError("the list did not paint the group's rows");
            break;
        }
    }
    state.counters["rows"] = rows;
}

void Compute(benchmark::State& state, const GroupRun& run) {
    QtFigure figure(run.group, BundledDataDirectory());
    if (!figure.Usable() || figure.Rows() == 0) {
        state.SkipWithError("the Qt window opened without a figure");
        return;
    }
    for (auto _ : state) (figure.dialog.*run.compute)();
    // Paint what the loop left, so it does not pile up for the next benchmark.
    figure.WaitForPaint();
    state.counters["rows"] = figure.Rows();
}

std::string ListFillName(int rows) { return "QtListFill/" + std::to_string(rows); }

// `rows` rows made by repeating the rows of `figure`, as a table of that many records gives.
results::ResultTable RepeatedRows(const results::ResultTable& figure, int rows) {
    results::ResultTable table;
    for (int row = 0; row < rows; ++row) table.Append() = figure[row % figure.GetSize()];
    return table;
}

// The list part of RefreshList with `rows` rows, until they are painted: what a figure of a
// table with that many records adds to its compute step. Each fill starts from the list
// showing the men's figure, as a compute step finds it.
void ListFill(benchmark::State& state, int rows) {
    QtFigure figure(4, BundledDataDirectory());
    auto* list = figure.Usable() ? dynamic_cast<platform::ListView*>(figure.window->GetItem(res::kIdResultList)) : nullptr;
    if (!list || figure.Rows() == 0) {
        state.SkipWithError("the Qt window opened without a figure");
        return;
    }
    const results::ResultTable table = RepeatedRows(figure.dialog.Results(), rows);
    for (auto _ : state) {
        results::ShowRows(*list, figure.dialog.Results());
        if (!figure.WaitForPaint()) {
            state.SkipWithError("the list did not paint the figure");
            break;
        }
        QElapsedTimer timer;
        timer.start();
        results::ShowRows(*list, table);
        // A list that fills in quadratic time takes minutes here: wait as long as it takes.
        const bool painted = figure.WaitForPaint(std::numeric_limits<qint64>::max());
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (!painted || figure.watch->rowsPainted != rows) {
            state.SkipWithError("the list did not paint all its rows");
            break;
        }
    }
    state.counters["rows"] = rows;
}

void PrintSummary(const SummaryReporter& reporter) {
    std::printf("\nQt window offscreen, bundled tables (real time)\n");
    std::printf("%-8s %14s %22s  %s\n", "group", "compute step", "group change to paint",
                "target < 16 ms");
    for (const GroupRun& run : GroupRuns()) {
        const auto compute = reporter.Of(Name("QtCompute", run));
        const auto change = reporter.Of(Name("QtGroupChange", run));
        if (!compute || !change) continue;
        std::printf("%-8s %14s %22s  %s\n", run.name, FormatTime(compute->real).c_str(),
                    FormatTime(change->real).c_str(), change->real < kGroupChangeTargetNs ? "met" : "MISSED");
    }
    std::printf("\nResult list filled until painted (real time)\n");
    std::optional<Times> first;
    for (const int rows : kListRows) {
        const auto fill = reporter.Of(ListFillName(rows));
        if (!fill) continue;
        if (!first) first = fill;
        const double ratio = fill->real / first->real;
        std::printf("%8d rows %12s  x%-8.1f", rows, FormatTime(fill->real).c_str(), ratio);
        if (rows == 100 * kListRows[0])
            std::printf(" 100x the rows <= 110x the time: %s, within 0.5 s: %s", ratio <= kListScalingTarget ? "met" : "MISSED",
                        fill->real <= kListFillTargetNs ? "met" : "MISSED");
        std::printf("\n");
    }
}

}  // namespace
}  // namespace kelvo::bench

int main(int argc, char** argv) {
    using namespace kelvo::bench;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    kelvo::platform::qt::QtApplication application(argc, argv);
    for (const GroupRun& run : GroupRuns()) {
        benchmark::RegisterBenchmark(Name("QtCompute", run).c_str(), Compute, run)->UseRealTime();
        benchmark::RegisterBenchmark(Name("QtGroupChange", run).c_str(), GroupChange, run)->UseManualTime();
    }
    for (const int rows : kListRows)
        benchmark::RegisterBenchmark(ListFillName(rows).c_str(), ListFill, rows)->UseManualTime();
    SummaryReporter reporter;
    if (!RunBenchmarks(argc, argv, reporter)) return 1;
    PrintSummary(reporter);
    return 0;
}
