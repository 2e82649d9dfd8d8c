// The two-colour gradient of the title bar and the pop-up title bands.
#include "preview/gradient.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

TEST(Gradient, BlackToWhiteRunsFromBlackToOneStepShortOfWhite)
{
    ImageBuffer g;
    DoGradient(kBlack, kWhite, g, 240, 27);
    ASSERT_EQ(g.ImageWidth(), 240);
    ASSERT_EQ(g.ImageHeight(), 27);
    EXPECT_EQ(g.pixel(0, 0), kBlack);
    // 239 x 255 / 240 = 253.9375
    EXPECT_EQ(g.pixel(239, 0), rgbColour(254, 254, 254));
    EXPECT_EQ(g.pixel(239, 26), rgbColour(254, 254, 254));
    // Column x has step x, ties to even: 8 x 1.0625 = 8.5 gives 8, 24 x 1.0625 = 25.5 gives 26.
    EXPECT_EQ(g.pixel(8, 13), rgbColour(8, 8, 8));
    EXPECT_EQ(g.pixel(24, 13), rgbColour(26, 26, 26));
    EXPECT_EQ(g.pixel(120, 5), rgbColour(128, 128, 128));
}

TEST(Gradient, EachChannelRunsOnItsOwnAndDownwardRunsWork)
{
    ImageBuffer g;
    DoGradient(rgbColour(200, 0, 10), rgbColour(0, 100, 10), g, 100, 10);
    EXPECT_EQ(g.pixel(0, 0), rgbColour(200, 0, 10));
    EXPECT_EQ(g.pixel(50, 9), rgbColour(100, 50, 10));
    EXPECT_EQ(g.pixel(99, 0), rgbColour(2, 99, 10));
}

TEST(Gradient, EqualColoursGiveAPlainBand)
{
    ImageBuffer g;
    const Colour teal = rgbColour(0, 128, 128);
    DoGradient(teal, teal, g, 240, 27);
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(g.pixel(x, y), teal) << x << "," << y;
}

TEST(Gradient, OnlyTheTopFiftyRowsArePaintedOnTallBuffers)
{
    ImageBuffer g;
    g.Create(24, 10, 10, kBlack); // whatever was there before is replaced
    DoGradient(kPureRed, kPureBlue, g, 75, 184);
    ASSERT_EQ(g.ImageWidth(), 75);
    ASSERT_EQ(g.ImageHeight(), 184);
    EXPECT_EQ(g.pixel(0, 49), kPureRed);
    EXPECT_EQ(g.pixel(0, 50), kWhite);
    EXPECT_EQ(g.pixel(74, 183), kWhite);
    EXPECT_NE(g.pixel(74, 0), kWhite);
}

} // namespace
} // namespace orv
