// Opening and saving a package with two photo backgrounds, the way the editor does it:
// through the session, with the cabinet builder started as its own process.
#include "app/editor_session.h"
#include "bench/silent_interaction.h"

#include <QCoreApplication>
#include <algorithm>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace orv;

using bench::AnsweringInteraction;
using bench::ensureApplication;

// A photo-like picture: smooth shading with fine grain, hard for JPEG and palettes alike.
QImage photo(int width, int height, int seed)
{
    QImage img(width, height, QImage::Format_RGB32);
    quint32 noise = 2166136261u + static_cast<quint32>(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = static_cast<int>(noise >> 28) - 8;
            img.setPixel(x, y, qRgb(std::clamp(x * 255 / width + grain, 0, 255),
                                    std::clamp(y * 255 / height + grain, 0, 255),
                                    std::clamp(128 + (x - y) / 3 + grain + seed * 20, 0, 255)));
        }
    return img;
}

struct Bench {
    QTemporaryDir home;
    AnsweringInteraction user;
    std::unique_ptr<EditorSession> session;
    QString package;

    explicit Bench(bool depth256)
    {
        ensureApplication();
        Folders f;
        f.programDir = QCoreApplication::applicationDirPath();
        f.dataDir = home.path();
        session = std::make_unique<EditorSession>(user, f);
        session->formLoad(QString());
        session->setThemeName("Benchmark");
        session->canvas.oPicBufToday.setPicture(photo(240, 293, 1));
        session->canvas.oPicBufMenu.setPicture(photo(150, 293, 2));
        session->state.colourDepth256 = depth256;
        package = home.path() + "/Benchmark.tsk";
        user.path = package;
    }
};

void BM_SaveTheme(benchmark::State& state)
{
    Bench b(state.range(0) == 256);
    for (auto _ : state) b.session->SaveTheme();
    if (b.user.errors) state.SkipWithError("the save reported an error");
    state.SetLabel(state.range(0) == 256 ? "256 colours" : "16M colours");
}
BENCHMARK(BM_SaveTheme)->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadTheme(benchmark::State& state)
{
    Bench b(state.range(0) == 256);
    b.session->SaveTheme();
    for (auto _ : state) b.session->LoadTheme(b.package);
    if (b.user.errors) state.SkipWithError("the open reported an error");
    state.SetLabel(state.range(0) == 256 ? "256 colours" : "16M colours");
}
BENCHMARK(BM_LoadTheme)->Arg(16)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

// The benchmark program's entry unless another benchmark file brings its own.
__attribute__((weak)) int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
