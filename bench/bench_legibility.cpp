// The legibility line's cost next to the redraw it follows (it must stay under a tenth of
// one), the Fix button's search, and a thumbnail as a file manager pays for it: the whole
// orvantis-cli process, start to finish, on an ordinary package.
// Run: orvantis_bench --benchmark_filter='Legibility|Thumbnail'
#include "app/editor_session.h"
#include "bench/silent_interaction.h"

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using NoOne = orv::bench::SilentInteraction;

// A photo-like Today picture: smooth light and dark regions with fine detail.
QImage busyPicture()
{
    QImage img(240, 293, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 7 + y * 3) % 256, (x * y / 40) % 256, ((x ^ y) * 5) % 256));
    return img;
}

struct PhotoEditor {
    QTemporaryDir home;
    NoOne ui;
    std::unique_ptr<orv::EditorSession> session;

    PhotoEditor()
    {
        orv::Folders folders;
        folders.programDir = home.path();
        folders.dataDir = home.path();
        session = std::make_unique<orv::EditorSession>(ui, folders);
        session->setupCanvas();
        session->LoadIconImages();
        session->RecolourCommandBar();
        session->canvas.oPicBufToday.setPicture(busyPicture());
        session->DoScreenMain();
    }
};

PhotoEditor& photoEditor()
{
    static PhotoEditor e;
    return e;
}

// What the line does after each redraw: measure both texts, no suggestion.
void BM_LegibilityLine(benchmark::State& state)
{
    orv::EditorSession& s = *photoEditor().session;
    for (auto _ : state) benchmark::DoNotOptimize(s.legibilityChecks(false));
}
BENCHMARK(BM_LegibilityLine)->Unit(benchmark::kMicrosecond);

// The line after a redraw that changed what lies under the text (another picture, other
// adjustments): every pixel measured afresh. Two screens in turn, so none is ever the last.
void BM_LegibilityLineChangedBackground(benchmark::State& state)
{
    orv::EditorSession& s = *photoEditor().session;
    const QImage screens[2] = {s.canvas.underText, s.canvas.underText.mirrored(true, false)};
    const QDateTime moment = s.clock();
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(orv::checkLegibility(s.theme, screens[i], s.state, moment, false));
        i = 1 - i;
    }
}
BENCHMARK(BM_LegibilityLineChangedBackground)->Unit(benchmark::kMicrosecond);

// The redraw the line follows, on the same picture.
void BM_LegibilityRedraw(benchmark::State& state)
{
    orv::EditorSession& s = *photoEditor().session;
    for (auto _ : state) {
        s.DoScreenMain();
        benchmark::DoNotOptimize(s.canvas.oPicBuf.image().constBits());
    }
}
BENCHMARK(BM_LegibilityRedraw)->Unit(benchmark::kMicrosecond);

// The Fix button: checks with suggestions.
void BM_LegibilitySuggest(benchmark::State& state)
{
    orv::EditorSession& s = *photoEditor().session;
    for (auto _ : state) benchmark::DoNotOptimize(s.legibilityChecks(true));
}
BENCHMARK(BM_LegibilitySuggest)->Unit(benchmark::kMillisecond);

QString cliPath() { return QCoreApplication::applicationDirPath() + "/orvantis-cli"; }

void BM_ThumbnailWholeProcess(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString picture = dir.path() + "/photo.png";
    busyPicture().save(picture);
    const QString package = dir.path() + "/Photo.tsk";
    if (QProcess::execute(cliPath(), {"build", "--name", "Photo", "--today", picture, "-o", package}) != 0) {
        state.SkipWithError("cannot build the package");
        return;
    }
    const QString out = dir.path() + "/thumb.png";
    for (auto _ : state) {
        if (QProcess::execute(cliPath(), {"thumbnail", package, out, "256"}) != 0) {
            state.SkipWithError("thumbnail failed");
            return;
        }
    }
}
BENCHMARK(BM_ThumbnailWholeProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
