// The image buffer's copies, masks, recolouring and drawing, on small made-up pictures.
#include "imaging/image_buffer.h"

#include <QFont>
#include <QPainter>
#include <gtest/gtest.h>

namespace orv {
namespace {

constexpr Colour kRed = rgbColour(255, 0, 0);
constexpr Colour kGreen = rgbColour(0, 255, 0);
constexpr Colour kGrey = rgbColour(128, 128, 128);

ImageBuffer filled(int w, int h, Colour c)
{
    ImageBuffer b;
    b.Create(24, w, h, c);
    return b;
}

// A picture whose every pixel tells where it came from: red = x, green = y.
ImageBuffer coordinates(int w, int h)
{
    ImageBuffer b = filled(w, h, kWhite);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.SetPixel(x, y, rgbColour(x, y, 7));
    return b;
}

// --- CopyFrom ------------------------------------------------------------------------------

TEST(ImageBufferCopy, SourceRectangleReachingPastPictureReadsOnlyInside)
{
    ImageBuffer src = coordinates(10, 6);
    src.setRect(0, 0, 10, 9); // three rows more than the picture holds
    ImageBuffer dst = filled(10, 12, kGrey);
    dst.setRect(0, 2, 10, 9);
    dst.ResampleMode = 0;
    dst.CopyFrom(true, src, true, 3);

    EXPECT_EQ(dst.pixel(4, 2), rgbColour(4, 0, 7));
    EXPECT_EQ(dst.pixel(9, 7), rgbColour(9, 5, 7));
    // Rows past the source's last row keep what they had.
    for (int y : {0, 1, 8, 9, 10, 11}) EXPECT_EQ(dst.pixel(3, y), kGrey) << "row " << y;
}

TEST(ImageBufferCopy, KeyedCopyLeavesKeyPixelsOutOnlyWhileKeyIsOn)
{
    ImageBuffer src = filled(4, 1, kGreen);
    src.SetPixel(1, 0, kRed);
    src.SetPixel(2, 0, rgbColour(0, 254, 0)); // near the key is not the key

    ImageBuffer dst = filled(4, 1, kGrey);
    dst.KeyColour = kGreen;
    dst.UseKeyColour = true;
    dst.CopyFrom(true, src, false, 2);
    EXPECT_EQ(dst.pixel(0, 0), kGrey);
    EXPECT_EQ(dst.pixel(1, 0), kRed);
    EXPECT_EQ(dst.pixel(2, 0), rgbColour(0, 254, 0));
    EXPECT_EQ(dst.pixel(3, 0), kGrey);

    ImageBuffer plain = filled(4, 1, kGrey);
    plain.KeyColour = kGreen;
    plain.UseKeyColour = false; // key off: mode 2 places every pixel
    plain.CopyFrom(true, src, false, 2);
    EXPECT_EQ(plain.pixel(0, 0), kGreen);

    ImageBuffer mode0 = filled(4, 1, kGrey);
    mode0.KeyColour = kGreen;
    mode0.UseKeyColour = true; // mode 0 ignores the key
    mode0.CopyFrom(true, src, false, 0);
    EXPECT_EQ(mode0.pixel(3, 0), kGreen);
}

TEST(ImageBufferCopy, WithoutOwnRectangleThePartBecomesThePictureOrIsPastedAtOrigin)
{
    ImageBuffer src = coordinates(20, 30);
    src.setRect(5, 10, 8, 4);

    ImageBuffer made = filled(100, 100, kGrey);
    made.CopyFrom(false, src, true, 0);
    EXPECT_EQ(made.ImageWidth(), 8);
    EXPECT_EQ(made.ImageHeight(), 4);
    EXPECT_EQ(made.pixel(0, 0), rgbColour(5, 10, 7));
    EXPECT_EQ(made.RectWidth, 8);
    EXPECT_EQ(made.RectHeight, 4);

    // A taller picture pasted at the origin keeps the target's size (the 340-row composition
    // into the 320-row preview).
    ImageBuffer tall = coordinates(20, 30);
    ImageBuffer shown = filled(20, 25, kGrey);
    shown.CopyFrom(false, tall, false, 0);
    EXPECT_EQ(shown.ImageHeight(), 25);
    EXPECT_EQ(shown.pixel(19, 24), rgbColour(19, 24, 7));

    // Writing into a copy never reaches the picture it was taken from.
    ImageBuffer whole;
    src.setRect(0, 0, 20, 30);
    whole.CopyFrom(false, src, true, 0);
    whole.SetPixel(0, 0, kRed);
    EXPECT_EQ(src.pixel(0, 0), rgbColour(0, 0, 7));
}

TEST(ImageBufferCopy, UnresampledPartsOfAnotherSizeKeepTheirOwnSizeOrStretchTheirEdge)
{
    ImageBuffer src = coordinates(4, 3);

    // Placed at its own size: taller than the rectangle still shows whole, nothing past it.
    ImageBuffer dst = filled(10, 10, kGrey);
    dst.ResampleMode = 0;
    dst.setRect(2, 1, 6, 2);
    dst.CopyFrom(true, src, false, 0);
    EXPECT_EQ(dst.pixel(2, 1), rgbColour(0, 0, 7));
    EXPECT_EQ(dst.pixel(5, 3), rgbColour(3, 2, 7));
    EXPECT_EQ(dst.pixel(6, 1), kGrey);
    EXPECT_EQ(dst.pixel(2, 4), kGrey);

    // KeyStyle 11 stretches a band to its slot by repeating its last row and column.
    ImageBuffer band = filled(10, 10, kGrey);
    band.ResampleMode = 0;
    band.KeyStyle = 11;
    band.setRect(1, 1, 5, 4);
    band.CopyFrom(true, src, false, 2);
    EXPECT_EQ(band.pixel(1, 1), rgbColour(0, 0, 7));
    EXPECT_EQ(band.pixel(4, 3), rgbColour(3, 2, 7));
    EXPECT_EQ(band.pixel(2, 4), rgbColour(1, 2, 7));
    EXPECT_EQ(band.pixel(5, 2), rgbColour(3, 1, 7));
    EXPECT_EQ(band.pixel(6, 2), kGrey);
    EXPECT_EQ(band.pixel(2, 5), kGrey);
}

TEST(ImageBufferCopy, ResampledCopyFillsTheRectangle)
{
    ImageBuffer src = filled(10, 10, kRed);
    ImageBuffer dst = filled(40, 40, kGrey);
    dst.ResampleMode = 2;
    dst.setRect(5, 5, 20, 30);
    dst.CopyFrom(true, src, false, 0);
    EXPECT_EQ(dst.pixel(5, 5), kRed);
    EXPECT_EQ(dst.pixel(24, 34), kRed);
    EXPECT_EQ(dst.pixel(25, 34), kGrey);
    EXPECT_EQ(dst.pixel(24, 35), kGrey);
}

TEST(ImageBufferCopy, EightBitSourcesCopyTheirPaletteColours)
{
    QImage indexed(3, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(0, 0, 255)});
    indexed.setPixel(0, 0, 0);
    indexed.setPixel(1, 0, 1);
    indexed.setPixel(2, 0, 0);
    ImageBuffer src;
    src.setPicture(indexed);
    EXPECT_EQ(src.BitsPerPixel(), 8);

    ImageBuffer dst = filled(3, 1, kGrey);
    dst.KeyColour = kPureBlue;
    dst.UseKeyColour = true;
    dst.CopyFrom(true, src, false, 2);
    EXPECT_EQ(dst.pixel(0, 0), rgbColour(10, 20, 30));
    EXPECT_EQ(dst.pixel(1, 0), kGrey);
    EXPECT_EQ(dst.pixel(2, 0), rgbColour(10, 20, 30));
}

// --- masks and recolouring --------------------------------------------------------------------

TEST(ImageBufferMask, SourcePlacedAtOffsetOnlyWhereMaskIsWhite)
{
    ImageBuffer src = filled(4, 4, kRed);
    ImageBuffer mask = filled(4, 4, kBlack);
    mask.SetPixel(0, 0, kWhite);
    mask.SetPixel(3, 3, kWhite);
    mask.SetPixel(1, 1, rgbColour(255, 255, 254)); // almost white is outside

    ImageBuffer dst = filled(6, 6, kGrey);
    dst.MaskOffsetX = 2;
    dst.MaskOffsetY = 1;
    dst.CopyMasked(src, mask);
    EXPECT_EQ(dst.pixel(2, 1), kRed);
    EXPECT_EQ(dst.pixel(5, 4), kRed);
    EXPECT_EQ(dst.pixel(3, 2), kGrey);
    EXPECT_EQ(dst.pixel(0, 0), kGrey);

    // A pop-up hanging past the picture's edge is cut there.
    ImageBuffer small = filled(3, 3, kGrey);
    small.MaskOffsetX = 1;
    small.MaskOffsetY = -1;
    small.CopyMasked(src, filled(4, 4, kWhite));
    EXPECT_EQ(small.pixel(0, 0), kGrey);
    EXPECT_EQ(small.pixel(1, 0), kRed);
    EXPECT_EQ(small.pixel(2, 2), kRed);
}

TEST(ImageBufferReplaceColour, RecoloursInsideOrOutsideTheRangeWithinTheRectangle)
{
    ImageBuffer bar = filled(5, 2, rgbColour(192, 192, 192));
    bar.SetPixel(1, 0, kBlack);
    bar.SetPixel(2, 0, rgbColour(1, 0, 0));
    bar.ReplaceColour(kBlack, kBlack, 1, kRed);
    EXPECT_EQ(bar.pixel(0, 0), kRed);
    EXPECT_EQ(bar.pixel(1, 0), kBlack);
    EXPECT_EQ(bar.pixel(2, 0), kRed);

    ImageBuffer tray = filled(4, 1, kPureRed);
    tray.SetPixel(1, 0, kWhite);
    tray.SetPixel(3, 0, rgbColour(254, 0, 0));
    tray.setRect(0, 0, 3, 1); // the last pixel lies outside the rectangle
    tray.ReplaceColour(kPureRed, kPureRed, 0, kGreen);
    EXPECT_EQ(tray.pixel(0, 0), kGreen);
    EXPECT_EQ(tray.pixel(1, 0), kWhite);
    EXPECT_EQ(tray.pixel(2, 0), kGreen);
    EXPECT_EQ(tray.pixel(3, 0), rgbColour(254, 0, 0));

    ImageBuffer range = filled(3, 1, rgbColour(100, 100, 100));
    range.SetPixel(1, 0, rgbColour(100, 201, 100));
    range.ReplaceColour(rgbColour(50, 50, 50), rgbColour(150, 200, 150), 0, kBlack);
    EXPECT_EQ(range.pixel(0, 0), kBlack);
    EXPECT_EQ(range.pixel(1, 0), rgbColour(100, 201, 100));
}

// --- drawing ---------------------------------------------------------------------------------

TEST(ImageBufferDraw, RectangleIsAnOutlineClippedToThePicture)
{
    ImageBuffer b = filled(8, 8, kWhite);
    b.ForeColor = kRed;
    b.setRect(1, 1, 4, 4);
    b.DrawRect(0);
    EXPECT_EQ(b.pixel(1, 1), kRed);
    EXPECT_EQ(b.pixel(4, 4), kRed);
    EXPECT_EQ(b.pixel(1, 3), kRed);
    EXPECT_EQ(b.pixel(2, 2), kWhite);
    EXPECT_EQ(b.pixel(5, 5), kWhite);

    b.ForeColor = kGreen;
    b.setRect(6, -3, 1, 50); // a one-pixel column reaching past the top and the bottom
    b.DrawRect(0);
    for (int y = 0; y < 8; ++y) EXPECT_EQ(b.pixel(6, y), kGreen);
    EXPECT_EQ(b.pixel(7, 0), kWhite);
}

// What a painter draws for the same text, straight onto a 24-bit picture.
QImage paintedText(const QString& text, bool bold, int w, int h, QPoint at)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QFont font("Tahoma");
    font.setPixelSize(11);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(font);
    p.setPen(QColor(200, 30, 60));
    const QRect box(at, QSize(w, h));
    p.setClipRect(box);
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    return img;
}

TEST(ImageBufferDraw, TextSetsTheSamePixelsAPainterWouldAtEveryRedraw)
{
    for (const auto& [text, bold] : {std::pair{QString("Start"), true},
                                     std::pair{QString("09:05"), true},
                                     std::pair{QString("(222) 555-1234"), false},
                                     std::pair{QString("Owner: "), true}}) {
        ImageBuffer b = filled(120, 30, kWhite);
        b.Font.Bold = bold;
        b.ForeColor = rgbColour(200, 30, 60);
        b.Text = text;
        b.setRect(5, 7, 120, 30);
        for (int round = 0; round < 2; ++round) { // the second draw comes from memory
            b.DrawText(0);
            EXPECT_EQ(b.image(), paintedText(text, bold, 120, 30, QPoint(5, 7))) << text.toStdString();
        }
    }
}

TEST(ImageBufferDraw, TextIsClippedToItsRectangleAndDrawnWithoutSmoothing)
{
    ImageBuffer b = filled(60, 20, kWhite);
    b.Font.Bold = true;
    b.ForeColor = kRed;
    b.Text = "WWWWWWWW";
    b.setRect(2, 3, 20, 20);
    b.DrawText(0);
    int inked = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            const Colour c = b.pixel(x, y);
            ASSERT_TRUE(c == kRed || c == kWhite) << x << "," << y;
            if (c == kRed) {
                ++inked;
                EXPECT_GE(x, 2);
                EXPECT_LT(x, 22);
                EXPECT_GE(y, 3);
            }
        }
    EXPECT_GT(inked, 20);
}

} // namespace
} // namespace orv
