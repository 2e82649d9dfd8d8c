// ShapeMe on the about picture (the about window's load) and on the largest skin, both
// scanned; and building the about outline from its region data file instead.
// Run: orvantis_bench --benchmark_filter="ShapeMe|RegionFrom" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include "app/shaping/region_data.h"
#include "app/shaping/trans_form.h"
#include "preview/canvas.h"

#include <QFile>
#include <benchmark/benchmark.h>

namespace {

constexpr orv::Colour kAboutGreen = 0x09E909;

// The skin stored in the most bytes; its outline is cut from the colour of its corner.
QImage largestSkin()
{
    QString largest;
    qint64 most = -1;
    for (const char* name : {"SKIN-BLUEGREEN", "SKIN-CAMOUFLAGE", "SKIN-GLASS-BLUE", "SKIN-GLASS-GREEN",
                             "SKIN-GLASS-PURPLE", "SKIN-GREEN", "SKIN-GREENBLUE", "SKIN-MARBLE", "SKIN-METAL",
                             "SKIN-WOOD"}) {
        const qint64 size = QFile(QStringLiteral(":/pictures/%1.gif").arg(name)).size();
        if (size > most) {
            most = size;
            largest = name;
        }
    }
    return orv::builtinPicture(largest);
}

void shapeMe(benchmark::State& state, const QImage& picture, orv::Colour colour)
{
    orv::PictureTarget target(picture, orv::ShapeKind::Window);
    orv::clsTransForm shaper;
    for (auto _ : state) {
        shaper.ShapeMe(target, colour);
        benchmark::DoNotOptimize(target.applied);
    }
    state.counters["rects"] = double(target.applied ? target.applied->rectCount() : 0);
}

void BM_ShapeMeAboutPicture(benchmark::State& state)
{
    shapeMe(state, orv::builtinPicture("ABOUT").copy(0, 0, 300, 172), kAboutGreen);
}
BENCHMARK(BM_ShapeMeAboutPicture)->Unit(benchmark::kMicrosecond);

void BM_ShapeMeLargestSkin(benchmark::State& state)
{
    const QImage skin = largestSkin();
    shapeMe(state, skin, orv::fromQRgb(skin.pixel(0, 0)));
}
BENCHMARK(BM_ShapeMeLargestSkin)->Unit(benchmark::kMicrosecond);

void BM_RegionFromData(benchmark::State& state)
{
    const QImage about = orv::builtinPicture("ABOUT").copy(0, 0, 300, 172);
    orv::PictureTarget target(about, orv::ShapeKind::Window);
    orv::clsTransForm shaper;
    shaper.ShapeMe(target, kAboutGreen);
    const QByteArray bytes = orv::regionData(*target.applied);
    for (auto _ : state) benchmark::DoNotOptimize(orv::regionFromData(bytes));
}
BENCHMARK(BM_RegionFromData)->Unit(benchmark::kMicrosecond);

} // namespace
