// Placing a phone photo on the Today background: the area-averaging resample of the frame
// (what OK costs) and what opening the placement dialog costs in the core: reading a
// 24-megapixel JPEG once and reducing it to a copy the screen can show, the whole way and
// the way the dialog now opens (a reduced decode first).
#include "imaging/image_buffer.h"
#include "imaging/placement.h"
#include "imaging/placement_source.h"

#include <QImageWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace orv;

const QSize kToday(240, 293);

// Smooth shading with fine grain, so averaging has real work on every pixel.
QImage photo(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    quint32 noise = 2166136261u;
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 28);
            line[x] = qRgb((x * 255 / width + grain) & 0xFF, (y * 255 / height + grain) & 0xFF,
                           ((x + y) * 255 / (width + height)) & 0xFF);
        }
    }
    return img;
}

const QImage& phonePhoto()
{
    static const QImage p = photo(4000, 3000);
    return p;
}

void BM_PlaceLargestFrame_4000x3000(benchmark::State& state)
{
    const QImage& p = phonePhoto();
    for (auto _ : state) benchmark::DoNotOptimize(placePicture(p, kToday, Placement{}).constBits());
}
BENCHMARK(BM_PlaceLargestFrame_4000x3000)->Unit(benchmark::kMillisecond);

// The whole picture, proportions ignored: every one of the 12 million pixels is read.
void BM_ResampleWhole_4000x3000_To_240x293(benchmark::State& state)
{
    const QImage& p = phonePhoto();
    for (auto _ : state) benchmark::DoNotOptimize(resampleArea(p, p.rect(), kToday).constBits());
}
BENCHMARK(BM_ResampleWhole_4000x3000_To_240x293)->Unit(benchmark::kMillisecond);

// The screen-sized copy of a 24-megapixel photo, made once when the dialog opens.
void BM_ScreenCopy_6000x4000_To_1035x690(benchmark::State& state)
{
    static const QImage big = photo(6000, 4000);
    for (auto _ : state)
        benchmark::DoNotOptimize(resampleArea(big, big.rect(), QSize(1035, 690)).constBits());
}
BENCHMARK(BM_ScreenCopy_6000x4000_To_1035x690)->Unit(benchmark::kMillisecond);

const QString& photoJpeg()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.path() + "/photo.jpg";
        QImageWriter writer(file, "jpeg");
        writer.setQuality(90);
        writer.write(photo(6000, 4000));
        return file;
    }();
    return path;
}

// Decoding a 6000 by 4000 JPEG as the load does, then the screen-sized copy the dialog draws.
void BM_OpenPlacement_24MegapixelJpeg(benchmark::State& state)
{
    const QString& path = photoJpeg();
    ImageBuffer work;
    for (auto _ : state) {
        work.FileName = path;
        work.LoadFile();
        const QImage shown = resampleArea(work.image(), work.image().rect(), QSize(1035, 690));
        benchmark::DoNotOptimize(shown.constBits());
    }
}
BENCHMARK(BM_OpenPlacement_24MegapixelJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// From the file to the first picture the placement dialog can show: the header, the reduced
// decode and its copy at the dialog's size, while the whole picture is read on another
// thread. Waiting for that read is left out of the time: the dialog is open by then.
void BM_PlacementFirstView_24MegapixelJpeg(benchmark::State& state)
{
    const QString& path = photoJpeg();
    for (auto _ : state) {
        PlacementSource source(path);
        const QSize shown = source.size().scaled(QSize(1035, 690), Qt::KeepAspectRatio);
        benchmark::DoNotOptimize(source.preview(shown).constBits());
        state.PauseTiming();
        benchmark::DoNotOptimize(source.whole().constBits());
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PlacementFirstView_24MegapixelJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
