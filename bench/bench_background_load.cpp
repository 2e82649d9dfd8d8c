// Loading a 24-megapixel phone photo as the Today background with Crop and with Resize,
// through the session as the window's load command runs it: the file dialog and the fit
// choice answered, the picture read and fitted, the Today screen redrawn.
#include "app/editor_session.h"
#include "bench/silent_interaction.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using namespace orv;

using bench::AnsweringInteraction;
using bench::ensureApplication;

// Smooth shading with fine grain, as a camera's picture has.
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

struct Loading {
    QTemporaryDir home;
    AnsweringInteraction user;
    std::unique_ptr<EditorSession> session;

    explicit Loading(FitChoice fit)
    {
        ensureApplication();
        Folders f;
        f.programDir = QCoreApplication::applicationDirPath();
        f.dataDir = home.path();
        session = std::make_unique<EditorSession>(user, f);
        session->formLoad(QString());
        user.path = home.path() + "/photo.jpg";
        user.fit = fit;
        QImageWriter writer(user.path, "jpeg");
        writer.setQuality(90);
        writer.write(photo(6000, 4000));
    }
};

void runLoads(benchmark::State& state, FitChoice fit)
{
    Loading l(fit);
    for (auto _ : state) l.session->LoadMainImage();
    if (l.user.errors) state.SkipWithError("the load reported an error");
}

// The top-left 240 by 293 pixels of the photo, one to one.
void BM_LoadMainImageCrop_24MegapixelJpeg(benchmark::State& state)
{
    runLoads(state, FitChoice::Crop);
}
BENCHMARK(BM_LoadMainImageCrop_24MegapixelJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole photo squeezed into 240 by 293: every pixel is decoded.
void BM_LoadMainImageResize_24MegapixelJpeg(benchmark::State& state)
{
    runLoads(state, FitChoice::Resize);
}
BENCHMARK(BM_LoadMainImageResize_24MegapixelJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
