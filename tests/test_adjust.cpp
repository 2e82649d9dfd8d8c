// Brightness, contrast and gamma on image buffers, and the sliders and switches that set them.
#include "imaging/colour_match.h"
#include "imaging/image_buffer.h"
#include "support/session_fixture.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include "support/test_pictures.h"

#ifdef ORV_HAVE_OPENMP
#include <omp.h>
#endif

using namespace orv;
using orv::test::pattern;
using orv::test::SessionTest;

namespace {

ImageBuffer bufferOf(const QImage& img)
{
    ImageBuffer b;
    b.setPicture(img);
    return b;
}

// Grey level g after the adjustment.
int greyAfter(int g, const std::function<void(ImageBuffer&)>& adjust)
{
    ImageBuffer b;
    b.Create(24, 1, 1, rgbColour(g, g, g));
    adjust(b);
    const Colour c = b.pixel(0, 0);
    EXPECT_EQ(RedOf(c), GreenOf(c));
    EXPECT_EQ(RedOf(c), BlueOf(c));
    return RedOf(c);
}

} // namespace

TEST(ImageAdjustments, NeutralValuesLeaveEveryPixelExactly)
{
    const QImage img = pattern(240, 293);
    ImageBuffer b = bufferOf(img);
    b.AdjustGamma(5.0);
    b.AdjustBrightnessContrast(0.5f, 0.5f);
    EXPECT_EQ(b.image(), img);

    // The values the sliders give at 500 are neutral too, and an 8-bit picture stays 8-bit.
    ImageBuffer eight = bufferOf(img.convertToFormat(QImage::Format_Indexed8));
    eight.AdjustGamma(500 / 100.0);
    eight.AdjustBrightnessContrast(static_cast<float>(500 * 0.001), static_cast<float>(500 * 0.001));
    EXPECT_EQ(eight.BitsPerPixel(), 8);
}

TEST(ImageAdjustments, GammaBendsMidTonesAndKeepsBlackAndWhite)
{
    auto gamma = [](double g) { return [g](ImageBuffer& b) { b.AdjustGamma(g); }; };
    EXPECT_GT(greyAfter(128, gamma(10.0)), greyAfter(128, gamma(7.0)));
    EXPECT_GT(greyAfter(128, gamma(7.0)), 128);
    EXPECT_LT(greyAfter(128, gamma(3.0)), 128);
    EXPECT_LT(greyAfter(128, gamma(1.0)), greyAfter(128, gamma(3.0)));
    for (double g : {1.0, 3.0, 10.0}) {
        EXPECT_EQ(greyAfter(0, gamma(g)), 0);
        EXPECT_EQ(greyAfter(255, gamma(g)), 255);
    }
    // Below 1.0 the picture is the one gamma 1.0 gives.
    EXPECT_EQ(greyAfter(100, gamma(0.2)), greyAfter(100, gamma(1.0)));
}

TEST(ImageAdjustments, BrightnessShiftsAndContrastSpreadsAroundMidGrey)
{
    auto bc = [](float br, float co) {
        return [br, co](ImageBuffer& b) { b.AdjustBrightnessContrast(br, co); };
    };
    EXPECT_GT(greyAfter(100, bc(0.8f, 0.5f)), 100);
    EXPECT_LT(greyAfter(100, bc(0.2f, 0.5f)), 100);
    EXPECT_EQ(greyAfter(250, bc(1.0f, 0.5f)), 255);
    EXPECT_EQ(greyAfter(5, bc(0.0f, 0.5f)), 0);
    // More contrast: dark darker, light lighter; less: both towards grey.
    EXPECT_LT(greyAfter(60, bc(0.5f, 0.9f)), 60);
    EXPECT_GT(greyAfter(200, bc(0.5f, 0.9f)), 200);
    EXPECT_GT(greyAfter(60, bc(0.5f, 0.1f)), 60);
    EXPECT_LT(greyAfter(200, bc(0.5f, 0.1f)), 200);
}

TEST(ImageAdjustments, ActOnlyInsideTheWorkingRectangle)
{
    const QImage img = pattern(100, 80);
    ImageBuffer b = bufferOf(img);
    b.setRect(10, 20, 30, 40);
    b.AdjustGamma(9.0);
    b.AdjustBrightnessContrast(0.7f, 0.6f);
    int changedInside = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool inside = x >= 10 && x < 40 && y >= 20 && y < 60;
            if (!inside)
                ASSERT_EQ(toQRgb(b.pixel(x, y)), img.pixel(x, y) | 0xFF000000u) << x << "," << y;
            else if (toQRgb(b.pixel(x, y)) != (img.pixel(x, y) | 0xFF000000u))
                ++changedInside;
        }
    EXPECT_GT(changedInside, 30 * 40 / 2);

    // A rectangle reaching past the picture adjusts the part inside and nothing else.
    ImageBuffer edge = bufferOf(img);
    edge.setRect(90, 70, 50, 50);
    edge.AdjustBrightnessContrast(1.0f, 0.5f);
    EXPECT_EQ(edge.pixel(99, 79), kWhite);
    EXPECT_EQ(toQRgb(edge.pixel(89, 79)), img.pixel(89, 79) | 0xFF000000u);
}

TEST(ColourReduction, KeepsAFewColoursExactlyAndPalettesTheRest)
{
    QImage few(50, 40, QImage::Format_RGB32);
    few.fill(qRgb(10, 20, 30));
    for (int x = 0; x < 50; ++x) few.setPixel(x, 5, qRgb(x, 255 - x, 77)); // 51 colours
    ImageBuffer b = bufferOf(few);
    b.ReduceColours(256, true, true, true);
    EXPECT_EQ(b.BitsPerPixel(), 8);
    EXPECT_EQ(b.image().convertToFormat(QImage::Format_RGB32), few);

    const QImage many = pattern(240, 293);
    for (bool dither : {false, true}) {
        ImageBuffer m = bufferOf(many);
        m.ReduceColours(256, true, dither, true);
        ASSERT_EQ(m.BitsPerPixel(), 8);
        EXPECT_LE(m.image().colorCount(), 256);
        EXPECT_EQ(m.ImageWidth(), 240);
        EXPECT_EQ(m.ImageHeight(), 293);
        // Close to the picture on average.
        double err = 0;
        for (int y = 0; y < 293; ++y)
            for (int x = 0; x < 240; ++x) {
                const QRgb a = many.pixel(x, y);
                const QRgb c = toQRgb(m.pixel(x, y));
                err += std::abs(qRed(a) - qRed(c)) + std::abs(qGreen(a) - qGreen(c)) +
                       std::abs(qBlue(a) - qBlue(c));
            }
        EXPECT_LT(err / (240.0 * 293 * 3), 12.0) << "dither " << dither;
    }
}

#ifdef ORV_HAVE_OPENMP
// The palette search took another path with one thread than with several: a photo saved on
// a single-core machine gave another package than on a machine with more.
TEST(ColourReduction, APhotoGivesTheSamePaletteWhateverTheProcessorCount)
{
    QImage grain(240, 293, QImage::Format_RGB32);
    quint32 noise = 2166136261u;
    for (int y = 0; y < 293; ++y)
        for (int x = 0; x < 240; ++x) {
            int g[3];
            for (int& c : g) {
                noise = noise * 1664525u + 1013904223u;
                c = static_cast<int>(noise >> 25) - 64;
            }
            grain.setPixel(x, y, qRgb(std::clamp(x + g[0], 0, 255), std::clamp(y * 255 / 293 + g[1], 0, 255),
                                      std::clamp(128 + (x - y) / 3 + g[2], 0, 255)));
        }
    const int before = omp_get_max_threads();
    const int levels = omp_get_max_active_levels();
    auto reducedWith = [&](int threads) {
        omp_set_num_threads(threads);
        ImageBuffer b = bufferOf(grain);
        b.ReduceColours(256, true, true, true); // the options a new theme saves with
        EXPECT_EQ(omp_get_max_threads(), threads) << "the caller's setting is left as it was";
        EXPECT_EQ(omp_get_max_active_levels(), levels);
        return std::make_pair(b.image(), accentOf(grain));
    };
    const auto one = reducedWith(1);
    for (int threads : {2, 3, 4}) {
        const auto other = reducedWith(threads);
        EXPECT_EQ(other.first.colorTable(), one.first.colorTable()) << threads << " threads";
        EXPECT_EQ(other.first, one.first) << threads << " threads";
        EXPECT_EQ(other.second, one.second) << threads << " threads";
    }
    omp_set_num_threads(before);
}
#endif

// --- the sliders and switches ---------------------------------------------------------------

class SlidersTest : public SessionTest {};

TEST_F(SlidersTest, SliderPositionsConvertToValues)
{
    for (int v : {0, 37, 100}) {
        session->sliderChanged(Slider::Gamma, v);
        EXPECT_EQ(session->adjustToday.gamma, 1.0) << v;
        EXPECT_EQ(session->sliders.gamma, v);
    }
    session->sliderChanged(Slider::Gamma, 101);
    EXPECT_DOUBLE_EQ(session->adjustToday.gamma, 1.01);
    session->sliderChanged(Slider::Gamma, 500);
    EXPECT_EQ(session->adjustToday.gamma, 5.0);
    session->sliderChanged(Slider::Gamma, 1000);
    EXPECT_EQ(session->adjustToday.gamma, 10.0);

    session->sliderChanged(Slider::Brightness, 250);
    EXPECT_EQ(session->adjustToday.brightness, 0.25f);
    session->sliderChanged(Slider::Contrast, 999);
    EXPECT_EQ(session->adjustToday.contrast, 0.999f);
    session->sliderChanged(Slider::Contrast, 500);
    EXPECT_EQ(session->adjustToday.contrast, 0.5f);

    // The Start menu set was never touched.
    EXPECT_EQ(session->adjustMenu.gamma, 5.0);
    EXPECT_EQ(session->adjustMenu.brightness, 0.5f);
    EXPECT_EQ(session->adjustMenu.contrast, 0.5f);
}

TEST_F(SlidersTest, SwitchingTheEditTargetSwapsTheSets)
{
    QSignalSpy moved(session.get(), &EditorSession::slidersChanged);
    session->sliderChanged(Slider::Gamma, 700);
    session->sliderChanged(Slider::Brightness, 300);
    session->sliderChanged(Slider::Contrast, 60); // below 1.0 only matters for gamma
    EXPECT_EQ(moved.count(), 0); // the user moved them: nothing to sync back

    session->switchEditTarget(true);
    EXPECT_TRUE(session->theme.menuEditing);
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(session->sliders.gamma, 500);
    EXPECT_EQ(session->sliders.brightness, 500);
    EXPECT_EQ(session->sliders.contrast, 500);

    session->sliderChanged(Slider::Contrast, 800);
    session->sliderChanged(Slider::Gamma, 40);
    EXPECT_EQ(session->adjustMenu.contrast, 0.8f);
    EXPECT_EQ(session->adjustMenu.gamma, 1.0);
    EXPECT_DOUBLE_EQ(session->adjustToday.gamma, 7.0);
    EXPECT_EQ(session->adjustToday.brightness, 0.3f);
    EXPECT_EQ(session->adjustToday.contrast, 0.06f);

    session->switchEditTarget(false);
    EXPECT_FALSE(session->theme.menuEditing);
    EXPECT_EQ(session->sliders.gamma, 700);
    EXPECT_EQ(session->sliders.brightness, 300);
    EXPECT_EQ(session->sliders.contrast, 60);
    EXPECT_EQ(session->adjustMenu.contrast, 0.8f);
    EXPECT_EQ(session->adjustMenu.gamma, 1.0);

    // Back on the Start menu, its gamma below 1.0 comes back as 1.0 (position 100).
    session->switchEditTarget(true);
    EXPECT_EQ(session->sliders.gamma, 100);
    EXPECT_EQ(session->sliders.contrast, 800);

    // Asking for the target already edited leaves both sets alone.
    session->switchEditTarget(true);
    EXPECT_DOUBLE_EQ(session->adjustToday.gamma, 7.0);
    EXPECT_EQ(session->adjustMenu.gamma, 1.0);
    EXPECT_EQ(session->sliders.gamma, 100);
}

TEST_F(SlidersTest, ResetSlidersNeutralisesTheChosenSets)
{
    auto disturb = [&] {
        session->adjustToday = {8.0, 0.1f, 0.9f};
        session->adjustMenu = {2.0, 0.7f, 0.2f};
    };
    auto neutral = [](const AdjustmentSet& s) {
        return s.gamma == 5.0 && s.brightness == 0.5f && s.contrast == 0.5f;
    };
    QSignalSpy moved(session.get(), &EditorSession::slidersChanged);

    disturb();
    session->sliders = {800, 100, 900};
    session->ResetSliders(0);
    EXPECT_TRUE(neutral(session->adjustToday));
    EXPECT_TRUE(neutral(session->adjustMenu));
    EXPECT_EQ(session->sliders.gamma, 500);
    EXPECT_EQ(session->sliders.brightness, 500);
    EXPECT_EQ(session->sliders.contrast, 500);
    EXPECT_EQ(moved.count(), 1);

    disturb();
    session->ResetSliders(1);
    EXPECT_TRUE(neutral(session->adjustToday));
    EXPECT_EQ(session->adjustMenu.gamma, 2.0);

    disturb();
    session->ResetSliders(2);
    EXPECT_TRUE(neutral(session->adjustMenu));
    EXPECT_EQ(session->adjustToday.gamma, 8.0);

    // Resetting the background not being edited leaves the sliders on the edited one's values.
    disturb();
    session->theme.menuEditing = true;
    session->sliders = {200, 700, 200};
    session->ResetSliders(1);
    EXPECT_TRUE(neutral(session->adjustToday));
    EXPECT_EQ(session->sliders.gamma, 200);
    EXPECT_EQ(session->sliders.brightness, 700);
    session->ResetSliders(2);
    EXPECT_EQ(session->sliders.gamma, 500);
    EXPECT_EQ(session->sliders.contrast, 500);
}

TEST_F(SlidersTest, ResetSlidersCommandShowsTheTodayScreenAndKeepsTheTarget)
{
    session->switchEditTarget(true);
    session->sliderChanged(Slider::Brightness, 900);
    session->adjustToday.gamma = 9.0;

    session->resetSlidersCommand();
    EXPECT_EQ(session->adjustToday.gamma, 5.0);
    EXPECT_EQ(session->adjustMenu.brightness, 0.5f);
    EXPECT_EQ(session->sliders.brightness, 500);
    EXPECT_TRUE(session->theme.menuEditing);

    // What the preview shows is the Today screen, neutral.
    const QImage shown = session->canvas.oPicBuf.image();
    session->DoScreenMain();
    EXPECT_EQ(shown, session->canvas.oPicBuf.image());
}

TEST_F(SlidersTest, SwitchCaptionsFollowTheirState)
{
    QSignalSpy captions(session.get(), &EditorSession::captionsChanged);
    EXPECT_EQ(session->colourDepthCaption(), " 256 Colors (click for 16M)");
    EXPECT_EQ(session->saveCaption(), " Save Theme 256");

    session->toggleColourDepth();
    EXPECT_FALSE(session->state.colourDepth256);
    EXPECT_EQ(session->colourDepthCaption(), " 16M Colors (click for 256)");
    EXPECT_EQ(session->saveCaption(), " Save Theme 16M");
    session->toggleColourDepth();
    EXPECT_EQ(session->colourDepthCaption(), " 256 Colors (click for 16M)");
    EXPECT_EQ(session->saveCaption(), " Save Theme 256");

    EXPECT_EQ(session->ditherMainCaption(), " X Dither Main");
    EXPECT_EQ(session->ditherMenuCaption(), " X Dither Menu");
    session->toggleDitherMain();
    EXPECT_EQ(session->ditherMainCaption(), " _ Dither Main");
    EXPECT_EQ(session->ditherMenuCaption(), " X Dither Menu");
    session->toggleDitherMenu();
    EXPECT_EQ(session->ditherMenuCaption(), " _ Dither Menu");
    EXPECT_FALSE(session->state.ditherMain);
    EXPECT_FALSE(session->state.ditherMenu);
    session->toggleDitherMain();
    session->toggleDitherMenu();
    EXPECT_EQ(session->ditherMainCaption(), " X Dither Main");
    EXPECT_EQ(session->ditherMenuCaption(), " X Dither Menu");
    EXPECT_EQ(captions.count(), 6);
    EXPECT_TRUE(ui.boxes.empty());
}
