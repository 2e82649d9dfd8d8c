// Colours matched to the Today picture: the accent from the most populous saturated colour,
// the same colours for the same picture, and a theme whose text reads over the picture.
#include "imaging/colour_match.h"
#include "preview/legibility.h"
#include "support/session_fixture.h"

#include <cmath>

namespace orv::test {
namespace {

QImage filled(int w, int h, QRgb c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

double hueOf(Colour c) { return toOkLch(toQRgb(c)).h; }

double hueDistance(double a, double b)
{
    const double d = std::fabs(a - b);
    return std::min(d, 360.0 - d);
}

TEST(ColourMatch, AccentIsTheMostPopulousSaturatedColour)
{
    // Grey covers most of the picture, but grey is no accent.
    QImage img = filled(240, 293, qRgb(128, 128, 128));
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 240; ++x) img.setPixel(x, y, qRgb(30, 60, 200));
    for (int y = 80; y < 110; ++y)
        for (int x = 0; x < 240; ++x) img.setPixel(x, y, qRgb(220, 40, 30));
    const auto accent = accentOf(img);
    ASSERT_TRUE(accent.has_value());
    EXPECT_LT(hueDistance(hueOf(*accent), toOkLch(qRgb(30, 60, 200)).h), 5.0);

    // A picture without any saturated colour gives its most populous grey.
    QImage greys = filled(240, 293, qRgb(200, 200, 200));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 240; ++x) greys.setPixel(x, y, qRgb(40, 40, 40));
    const auto grey = accentOf(greys);
    ASSERT_TRUE(grey.has_value());
    EXPECT_LT(toOkLch(toQRgb(*grey)).C, 0.04);
    EXPECT_GT(toOkLch(toQRgb(*grey)).L, 0.7);

    EXPECT_FALSE(accentOf(QImage()).has_value());
}

TEST(ColourMatch, ShadesKeepTheAccentsHueAndOrderTheGradients)
{
    const Colour accent = rgbColour(30, 120, 200);
    const auto c = coloursFromAccent(accent, false);
    for (const int i : {0, 1, 6, 7, 8, 9, 10})
        EXPECT_LT(hueDistance(hueOf(c[static_cast<size_t>(i)]), hueOf(accent)), 4.0) << i;
    EXPECT_EQ(c[4], accent); // the lines
    // Lighter on the left of the title bar, darker on the right, as the default theme has it.
    EXPECT_GT(relativeLuminance(toQRgb(c[0])), relativeLuminance(toQRgb(c[1])));
    EXPECT_LT(relativeLuminance(toQRgb(c[7])), relativeLuminance(toQRgb(c[8])));
    EXPECT_LT(relativeLuminance(toQRgb(c[9])), relativeLuminance(toQRgb(c[10])));
    // White captions read over both ends of the title bar.
    EXPECT_GE(luminanceContrast(toQRgb(c[2]), toQRgb(c[0])), 3.0);
    // The Today text starts dark over a light picture and light over a dark one.
    EXPECT_LT(toOkLch(toQRgb(c[3])).L, 0.5);
    EXPECT_GT(toOkLch(toQRgb(coloursFromAccent(accent, true)[3])).L, 0.5);
}

class MatchSession : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
    }
    std::array<Colour, kElementCount> matchOver(QRgb today)
    {
        session->canvas.oPicBufToday.setPicture(filled(240, 293, today));
        session->DoScreenMain();
        EXPECT_TRUE(session->matchColoursToPicture());
        std::array<Colour, kElementCount> out{};
        for (int i = 0; i < kElementCount; ++i) out[static_cast<size_t>(i)] = session->theme.element(i);
        return out;
    }
};

TEST_F(MatchSession, RedGreenAndBluePhotosGiveAccentsOfTheirHueAndReadableThemes)
{
    for (const QRgb photo : {qRgb(220, 20, 20), qRgb(20, 180, 40), qRgb(20, 40, 220)}) {
        const auto colours = matchOver(photo);
        EXPECT_LT(hueDistance(hueOf(colours[4]), toOkLch(photo).h), 5.0) << std::hex << photo;
        EXPECT_LT(hueDistance(hueOf(colours[0]), toOkLch(photo).h), 5.0) << std::hex << photo;
        EXPECT_EQ(worstCheck(session->legibilityChecks()), nullptr) << std::hex << photo;
        // The screen shows the matched colours: the lines are drawn in the accent.
        EXPECT_EQ(fromQRgb(session->canvas.oPicBuf.image().pixel(120, 47)), colours[4]);
        // The same picture, the same colours.
        EXPECT_EQ(matchOver(photo), colours) << std::hex << photo;
    }
}

TEST_F(MatchSession, NothingChangesBeforeTheFirstRedraw)
{
    SessionTest::SetUp(); // a fresh session that never drew
    const Colour before = session->theme.element(0);
    EXPECT_FALSE(session->matchColoursToPicture());
    EXPECT_EQ(session->theme.element(0), before);
}

} // namespace
} // namespace orv::test
