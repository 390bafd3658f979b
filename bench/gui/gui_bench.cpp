// The window's share of a big run, side by side with the run alone: one press of Calculate with
// 1e7 plot points (a = 1, b = 11, h = 1e-6, EPS = 1e-4) until the chart has repainted, against
// the same run into sinks that discard; the window's own share of that press alone (the run's
// points handed to the series, one rescale, one repaint); the heap the plot holds per point; and
// the window's start-up, from starting the process to the end of its first paint; and the chart's
// redraw after a pan, after a zoom to half and in the full view, at 1e3 to 5e7 points, through the
// series' summary and, as the baseline, with the same points in a plain QCPGraph sampled by
// QCustomPlot itself.
//
// `gui_bench --first-paint` is that start-up alone: the window program's own entry routine,
// ended as soon as the window's first paint has been flushed.
#include "core/CalculationRun.h"
#include "framework/gui/Application.h"
#include "framework/gui/Shell.h"
#include "ui/MainForm.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWindow>

#include "bench/DiscardingSinks.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* const kInputs[] = {"1", "11", "1e-6", "1e-4"};

void BM_RunDiscardingSinks(benchmark::State& state)
{
    DiscardReport report;
    DiscardPlot plot;
    for (auto _ : state) CalculationRun(kInputs[0], kInputs[1], kInputs[2], kInputs[3], report, plot);
}

// Heap in use: chunks handed out from the arenas plus those mapped on their own (large blocks).
std::size_t HeapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// False when `done` has not come true within 30 s.
template <class Done>
bool ProcessEventsUntil(const Done& done)
{
    QDeadlineTimer deadline(30'000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Notes the chart's first paint after its next redraw has begun (the redraw may paint at once).
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(TChart& chart) : chart_(chart)
    {
        connect(&chart, &QCustomPlot::beforeReplot, this, [this] { replotted_ = true; });
        chart.installEventFilter(this);
    }

    bool Painted() const { return painted_; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &chart_ && event->type() == QEvent::Paint && replotted_) painted_ = true;
        return false;
    }

private:
    TChart& chart_;
    bool replotted_ = false;
    bool painted_ = false;
};

void BM_RunInWindow(benchmark::State& state)
{
    TForm1 form(nullptr);
    form.show();
    if (!ProcessEventsUntil([&] { return form.windowHandle() && form.windowHandle()->isExposed(); })) {
        state.SkipWithError("the window was never shown");
        return;
    }
    TEdit* const boxes[] = {form.Edit1, form.Edit2, form.Edit3, form.Edit4};
    for (int i = 0; i < 4; ++i) boxes[i]->setText(kInputs[i]);
    TFastLineSeries& series = *form.Chart->GetSeries(0);

    double bytesPerPoint = 0;
    for (auto _ : state) {
        // Every press starts on an empty chart and memo, as the first press after start-up does.
        state.PauseTiming();
        series.Clear();
        form.mInfo->clear();
        QCoreApplication::processEvents();
        const std::size_t heapBefore = HeapInUse();
        state.ResumeTiming();

        PaintWatch watch(*form.Chart);
        form.BitBtn1Click(form.BitBtn1);
        // The press leaves one redraw queued; the event loop runs it and then paints the chart.
        if (!ProcessEventsUntil([&] { return watch.Painted(); })) {
            state.SkipWithError("the chart was never repainted");
            break;
        }

        state.PauseTiming();
        const double heldBytes = static_cast<double>(HeapInUse()) - static_cast<double>(heapBefore);
        bytesPerPoint = std::max(bytesPerPoint, heldBytes / series.Count());
        state.counters["points"] = series.Count();
        state.ResumeTiming();
    }
    state.counters["bytes_per_point"] = bytesPerPoint;
}

// The run's plot points, kept.
class KeepPlot final : public PlotSink {
public:
    void Clear() override { xs.clear(), ys.clear(); }
    void Reserve(std::size_t count) override { xs.reserve(count), ys.reserve(count); }
    void Add(PlotPoint point) override { xs.push_back(point.x), ys.push_back(point.y); }

    std::vector<double> xs, ys;
};

// The calls the window's plot sink makes: the series looked up through the chart every time.
class SeriesPlot final : public PlotSink {
public:
    explicit SeriesPlot(TChart& chart) : chart_(chart) {}
    void Clear() override { chart_.GetSeries(0)->Clear(); }
    void Reserve(std::size_t points) override { chart_.GetSeries(0)->Reserve(points); }
    void Add(PlotPoint point) override { chart_.GetSeries(0)->AddXY(point.x, point.y); }
    void AddBlock(const double* xs, const double* ys, std::size_t count) override
    {
        chart_.GetSeries(0)->AddBlock(xs, ys, count);
    }

private:
    TChart& chart_;
};

void BM_WindowShare(benchmark::State& state)
{
    static const KeepPlot points = [] {
        DiscardReport report;
        KeepPlot plot;
        CalculationRun(kInputs[0], kInputs[1], kInputs[2], kInputs[3], report, plot);
        return plot;
    }();
    TForm1 form(nullptr);
    form.show();
    if (!ProcessEventsUntil([&] { return form.windowHandle() && form.windowHandle()->isExposed(); })) {
        state.SkipWithError("the window was never shown");
        return;
    }

    using Clock = std::chrono::steady_clock;
    std::vector<double> appendSeconds;
    for (auto _ : state) {
        state.PauseTiming();
        form.Chart->GetSeries(0)->Clear();
        QCoreApplication::processEvents();
        SeriesPlot seriesPlot(*form.Chart);
        PlotSink* plot = &seriesPlot;
        benchmark::DoNotOptimize(plot); // called as the run calls it, through the interface
        state.ResumeTiming();

        const Clock::time_point start = Clock::now();
        PaintWatch watch(*form.Chart);
        plot->Clear();
        const std::size_t count = points.xs.size();
        plot->Reserve(count);
        for (std::size_t done = 0; done < count; done += 256) // in the run's blocks
            plot->AddBlock(points.xs.data() + done, points.ys.data() + done, std::min<std::size_t>(256, count - done));
        appendSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
        if (!ProcessEventsUntil([&] { return watch.Painted(); })) {
            state.SkipWithError("the chart was never repainted");
            break;
        }
    }
    std::sort(appendSeconds.begin(), appendSeconds.end());
    if (!appendSeconds.empty()) state.counters["append_ms"] = 1000 * appendSeconds[appendSeconds.size() / 2];
}

// The runs drawn by the redraw benchmarks, by their number of points.
struct RedrawRun {
    const char* name;
    const char* inputs[4];
};
const RedrawRun kRedrawRuns[] = {
    {"1e3", {"1", "11", "1e-2", "1e-4"}},
    {"1e5", {"1", "11", "1e-4", "1e-4"}},
    {"1e7", {"1", "11", "1e-6", "1e-4"}},
    {"5e7", {"1", "5.9", "1e-7", "1e-4"}},
};

const KeepPlot& RunPoints(const RedrawRun& run)
{
    static std::map<const RedrawRun*, KeepPlot> kept;
    auto [at, isNew] = kept.try_emplace(&run);
    if (isNew) {
        DiscardReport report;
        CalculationRun(run.inputs[0], run.inputs[1], run.inputs[2], run.inputs[3], report, at->second);
    }
    return at->second;
}

// The redraw benchmarks' windows, ended before the application object is.
std::map<std::pair<const RedrawRun*, bool>, std::unique_ptr<TForm1>>& RedrawForms()
{
    static std::map<std::pair<const RedrawRun*, bool>, std::unique_ptr<TForm1>> forms;
    return forms;
}

// A window whose chart shows a run's points in full view: in its series, or (the baseline) in a
// plain graph that QCustomPlot samples itself, the series left empty. Kept for every repetition.
TChart* ChartShowing(const RedrawRun& run, bool baseline)
{
    auto& form = RedrawForms()[{&run, baseline}];
    if (form) return form->Chart;
    const KeepPlot& points = RunPoints(run);
    form = std::make_unique<TForm1>(nullptr);
    form->show();
    if (!ProcessEventsUntil([&] { return form->windowHandle() && form->windowHandle()->isExposed(); })) return nullptr;
    TChart& chart = *form->Chart;
    if (baseline) {
        QVector<QCPGraphData> data(static_cast<qsizetype>(points.xs.size()));
        for (std::size_t i = 0; i < points.xs.size(); ++i)
            data[static_cast<qsizetype>(i)] = QCPGraphData(points.xs[i], points.ys[i]);
        QCPGraph* graph = chart.addGraph();
        graph->setPen(chart.GetSeries(0)->pen());
        graph->data()->set(data, true);
        chart.rescaleAxes();
        chart.yAxis->scaleRange(1.05);
    } else {
        chart.GetSeries(0)->Reserve(points.xs.size());
        chart.GetSeries(0)->AddBlock(points.xs.data(), points.ys.data(), points.xs.size());
        chart.Redraw();
    }
    QCoreApplication::processEvents();
    return &chart;
}

enum class RedrawView { Pan, ColdPan, Zoom, Full };

// Writes over a buffer larger than the caches and touching more pages than the TLBs hold, so that
// the next redraw finds none of its points, summary or page-table entries cached, as after the
// machine has been busy elsewhere between two moves of the view.
void EvictCaches()
{
    static std::vector<char> buffer(std::size_t{256} << 20);
    static char round = 0;
    ++round;
    for (std::size_t i = 0; i < buffer.size(); i += 64) buffer[i] = round;
    benchmark::ClobberMemory();
}

// One redraw of the chart, after its view has moved: panned by a tenth of the full view (back and
// forth in turn; the cold pan with the caches evicted before it), zoomed to its middle half, or
// back to the full view. The frame it moves from is drawn first, untimed, as the frame before it
// in a drag or a zoom: otherwise each timed redraw would follow another benchmark's (the runs are
// interleaved) and meet caches that benchmark had filled, which is what the cold pan measures.
void BM_Redraw(benchmark::State& state, const RedrawRun* run, RedrawView view, bool baseline)
{
    TChart* const chart = ChartShowing(*run, baseline);
    if (!chart) {
        state.SkipWithError("the window was never shown");
        return;
    }
    bool found = false;
    const QCPRange full =
        baseline ? chart->graph(chart->graphCount() - 1)->getKeyRange(found) : chart->GetSeries(0)->getKeyRange(found);
    const QCPRange half(full.center() - full.size() / 4, full.center() + full.size() / 4);
    static bool panRight = false;
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        QCPRange from = half, to = full;
        if (view == RedrawView::Pan || view == RedrawView::ColdPan) {
            panRight = !panRight;
            from = full + (panRight ? -0.1 : 0.1) * full.size();
            to = full + (panRight ? 0.1 : -0.1) * full.size();
        }
        if (view == RedrawView::Zoom) from = full, to = half;
        chart->xAxis->setRange(from);
        chart->replot(QCustomPlot::rpImmediateRefresh);
        chart->xAxis->setRange(to);
        if (view == RedrawView::ColdPan) EvictCaches();
        const Clock::time_point start = Clock::now();
        chart->replot(QCustomPlot::rpImmediateRefresh);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    state.counters["points"] = static_cast<double>(RunPoints(*run).xs.size());
}

void RegisterRedraws()
{
    const std::pair<RedrawView, const char*> views[] = {{RedrawView::Pan, "pan"},
                                                        {RedrawView::ColdPan, "cold-pan"},
                                                        {RedrawView::Zoom, "zoom"},
                                                        {RedrawView::Full, "full"}};
    for (const RedrawRun& run : kRedrawRuns)
        for (const auto& [view, viewName] : views)
            for (const bool baseline : {false, true}) {
                if (baseline && view == RedrawView::ColdPan) continue; // the baseline walks every point anyway
                const std::string name =
                    std::string("BM_Redraw/") + run.name + "/" + viewName + (baseline ? "/qcustomplot" : "/summary");
                benchmark::RegisterBenchmark(name.c_str(), BM_Redraw, &run, view, baseline)
                    ->Unit(benchmark::kMillisecond)
                    ->UseManualTime()
                    ->Iterations(1)
                    ->Repetitions(9);
            }
}

// Starts this executable with --first-paint and waits until it has ended.
void BM_StartUpToFirstPaint(benchmark::State& state)
{
    char self[] = "/proc/self/exe";
    char firstPaint[] = "--first-paint";
    char* const arguments[] = {self, firstPaint, nullptr};
    for (auto _ : state) {
        pid_t child = 0;
        if (posix_spawn(&child, self, nullptr, nullptr, arguments, environ) != 0) {
            state.SkipWithError("cannot start the window process");
            break;
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the window process failed");
            break;
        }
    }
}

// Ends the process once the first paint of any widget has been handed back to the event loop,
// that is, once the whole window has been painted and flushed.
class FirstPaintExit final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QMetaObject::invokeMethod(
                qApp, [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool seen_ = false;
};

void WatchForFirstPaint()
{
    qApp->installEventFilter(new FirstPaintExit);
    QTimer::singleShot(30'000, [] { std::_Exit(1); }); // never painted
}

// Qt's remarks on the environment (no runtime directory, what the offscreen platform cannot do)
// would break up the benchmark's table; failures still show.
void ReportOnlyQtFailures(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

BENCHMARK(BM_RunDiscardingSinks)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(7);
BENCHMARK(BM_RunInWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(7);
BENCHMARK(BM_WindowShare)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(7);
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10)->Repetitions(5);

int main(int argc, char** argv)
{
    // The window is drawn off screen unless a platform is chosen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(ReportOnlyQtFailures);

    if (argc == 2 && std::strcmp(argv[1], "--first-paint") == 0) {
        qAddPreRoutine(WatchForFirstPaint); // runs as soon as Qt's application object exists
        RunApplication(Form1);
        return 1; // the window closed without being painted
    }

    RegisterRedraws();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    Application->Initialize();
    benchmark::RunSpecifiedBenchmarks();
    RedrawForms().clear();
    benchmark::Shutdown();
    return 0;
}
