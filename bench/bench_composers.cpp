// Full redraws of the five preview screens, as a slider drag asks for them at every step.
// Run: orvantis_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include "app/editor_session.h"
#include "bench/silent_interaction.h"
#include "preview/fonts.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using orv::bench::SilentInteraction;

struct Editor {
    QTemporaryDir home;
    SilentInteraction ui;
    std::unique_ptr<orv::EditorSession> session;

    Editor()
    {
        orv::Folders folders;
        folders.programDir = home.path();
        folders.dataDir = home.path();
        session = std::make_unique<orv::EditorSession>(ui, folders);
        session->setupCanvas();
        session->LoadIconImages();
        session->RecolourCommandBar();
    }
};

Editor& editor()
{
    static Editor e;
    return e;
}

void redraw(benchmark::State& state, void (orv::EditorSession::*composer)(), bool adjusted)
{
    orv::EditorSession& s = *editor().session;
    s.adjustToday = adjusted ? orv::AdjustmentSet{3.0, 0.6f, 0.55f} : orv::AdjustmentSet{};
    s.adjustMenu = adjusted ? orv::AdjustmentSet{7.0, 0.4f, 0.6f} : orv::AdjustmentSet{};
    for (auto _ : state) {
        (s.*composer)();
        benchmark::DoNotOptimize(s.canvas.oPicBuf.image().constBits());
    }
    if (editor().ui.boxes) state.SkipWithError("a redraw showed an error box");
}

#define SCREEN(name)                                                                      \
    void BM_##name(benchmark::State& st) { redraw(st, &orv::EditorSession::name, false); } \
    void BM_##name##_Adjusted(benchmark::State& st)                                       \
    {                                                                                     \
        redraw(st, &orv::EditorSession::name, true);                                      \
    }                                                                                     \
    BENCHMARK(BM_##name)->Unit(benchmark::kMicrosecond);                                  \
    BENCHMARK(BM_##name##_Adjusted)->Unit(benchmark::kMicrosecond);

SCREEN(DoScreenMain)

// A slider drag: one value moves before every redraw, so the adjusted picture is new each time.
void BM_DoScreenMain_AdjustedSliderMove(benchmark::State& state)
{
    orv::EditorSession& s = *editor().session;
    s.adjustToday = orv::AdjustmentSet{3.0, 0.6f, 0.55f};
    s.adjustMenu = orv::AdjustmentSet{};
    s.switchEditTarget(false);
    int step = 0;
    for (auto _ : state) {
        s.sliderChanged(orv::Slider::Brightness, 600 + (step++ & 1));
        benchmark::DoNotOptimize(s.canvas.oPicBuf.image().constBits());
    }
    if (editor().ui.boxes) state.SkipWithError("a redraw showed an error box");
}
BENCHMARK(BM_DoScreenMain_AdjustedSliderMove)->Unit(benchmark::kMicrosecond);
SCREEN(DoScreenMessage)
SCREEN(DoScreenMessageImp)
SCREEN(DoScreenNavigation)
SCREEN(DoScreenMenu)

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    orv::registerHandheldFonts();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
