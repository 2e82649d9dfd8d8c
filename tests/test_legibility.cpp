// Whether text can be read over its background: contrast ratios against hand-computed values,
// the tenth percentile over glyph boxes, the nearest readable colour, the theme's checks in
// the session and the warning line with its Fix button under the preview.
#include "app/ui/main_window.h"
#include "preview/legibility.h"
#include "preview/text_layout.h"
#include "support/session_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <set>

namespace orv::test {
namespace {

QImage filled(int w, int h, QRgb c)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

double hueDistance(double a, double b)
{
    const double d = std::fabs(a - b);
    return std::min(d, 360.0 - d);
}

const QRgb kBlackRgb = qRgb(0, 0, 0);
const QRgb kWhiteRgb = qRgb(255, 255, 255);

TEST(ContrastRatio, MatchesHandComputedValues)
{
    EXPECT_NEAR(luminanceContrast(kBlackRgb, kWhiteRgb), 21.0, 1e-9);
    EXPECT_NEAR(luminanceContrast(kWhiteRgb, kBlackRgb), 21.0, 1e-9); // order does not matter
    EXPECT_NEAR(luminanceContrast(qRgb(40, 90, 200), qRgb(40, 90, 200)), 1.0, 1e-9);
    // #777777: ((119/255 + 0.055) / 1.055)^2.4 = 0.18447; (1.05) / (0.23447) = 4.478.
    EXPECT_NEAR(relativeLuminance(qRgb(119, 119, 119)), 0.18447, 1e-4);
    EXPECT_NEAR(luminanceContrast(qRgb(119, 119, 119), kWhiteRgb), 4.478, 1e-3);
    // A grey pair: #767676 (0.18116) on #000000 (0): 0.23116 / 0.05 = 4.623.
    EXPECT_NEAR(luminanceContrast(qRgb(118, 118, 118), kBlackRgb), 4.623, 1e-3);
    // Pure green carries most of the luminance: 0.7152 + 0.05 over 0.05.
    EXPECT_NEAR(luminanceContrast(qRgb(0, 255, 0), kBlackRgb), 15.304, 1e-3);
}

TEST(BackgroundSample, TheTenthPercentileDecidesOverABusyPicture)
{
    // Black text over a white picture with black pixels on a regular grid: 5 of every 100
    // pixels are black, then 15 of every 100.
    auto grid = [](int blackPerHundred) {
        QImage img = filled(100, 20, qRgb(255, 255, 255));
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((y * img.width() + x) % 100 < blackPerHundred) img.setPixel(x, y, kBlackRgb);
        return img;
    };
    const std::vector<QRect> all = {QRect(0, 0, 100, 20)};
    EXPECT_NEAR(BackgroundSample(grid(5), all).contrastWith(kBlackRgb), 21.0, 1e-3);
    EXPECT_NEAR(BackgroundSample(grid(15), all).contrastWith(kBlackRgb), 1.0, 1e-3);

    // A checkerboard: half the pixels match the text.
    QImage checker = filled(16, 16, kWhiteRgb);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if ((x / 2 + y / 2) % 2) checker.setPixel(x, y, kBlackRgb);
    EXPECT_NEAR(BackgroundSample(checker, {QRect(0, 0, 16, 16)}).contrastWith(kBlackRgb), 1.0, 1e-3);
    EXPECT_NEAR(BackgroundSample(checker, {QRect(0, 0, 16, 16)}).contrastWith(qRgb(119, 119, 119)),
                4.478, 1e-3);
}

TEST(BackgroundSample, OverlappingBoxesCountEachPixelOnceAndTheEdgesClip)
{
    // Columns 0-9 black (a tenth of the picture), the rest white.
    QImage img = filled(100, 10, kWhiteRgb);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) img.setPixel(x, y, kBlackRgb);
    const QRect white(10, 0, 90, 10), black(0, 0, 10, 10);
    // Counted once, the black tenth decides; counted four times, the white would outvote it.
    EXPECT_NEAR(BackgroundSample(img, {black, white, white, white, white}).contrastWith(kBlackRgb),
                1.0, 1e-3);
    // Boxes past the edges keep only the picture's pixels.
    EXPECT_NEAR(BackgroundSample(img, {QRect(50, -5, 200, 40)}).contrastWith(kBlackRgb), 21.0, 1e-3);
    EXPECT_TRUE(BackgroundSample(img, {QRect(200, 200, 10, 10)}).isEmpty());
    EXPECT_NEAR(BackgroundSample(img, {QRect(200, 200, 10, 10)}).contrastWith(kBlackRgb), 21.0, 1e-9);
}

// A photo-like picture: every pixel its own mix, so nearly every luminance differs.
QImage busy(int w, int h, int seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + y * 3 + seed) % 256, (x * y / 40 + seed * 5) % 256,
                                    ((x ^ y) * 5 + seed) % 256));
    return img;
}

// The tenth percentile taken the long way: every grid pixel's ratio with the text, all of
// them sorted, the nearest rank read off.
double tenthPercentileByFullSort(const QImage& img, const std::vector<QRect>& boxes, QRgb text)
{
    std::set<std::pair<int, int>> grid;
    for (const QRect& box : boxes) {
        const QRect r = box.intersected(img.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (y % 3 == 0 && x % 3 == 0) grid.insert({x, y});
    }
    std::vector<float> ratios;
    // Luminances are kept in single precision, and so are the ratios.
    const double t = relativeLuminance(text);
    for (const auto& [x, y] : grid) {
        const double l = static_cast<float>(relativeLuminance(img.pixel(x, y)));
        ratios.push_back(static_cast<float>((std::max(l, t) + 0.05) / (std::min(l, t) + 0.05)));
    }
    std::sort(ratios.begin(), ratios.end());
    const size_t rank = static_cast<size_t>(std::ceil(0.1 * static_cast<double>(ratios.size())));
    return ratios[rank - 1];
}

TEST(BackgroundSample, GivesExactlyTheRatioAFullSortGives)
{
    // Text colours from black to white and in between, over busy pictures and boxes of
    // every shape: the value must be the same float, not a near one.
    const std::vector<QRect> boxes = {QRect(3, 4, 40, 11),  QRect(30, 10, 25, 14), QRect(0, 0, 7, 7),
                                      QRect(90, 50, 60, 12), QRect(-5, 100, 30, 40), QRect(200, 280, 80, 30)};
    for (int seed : {0, 17, 101}) {
        const QImage img = busy(240, 293, seed);
        const BackgroundSample sample(img, boxes);
        for (const QRgb text : {kBlackRgb, kWhiteRgb, qRgb(119, 119, 119), qRgb(200, 30, 90),
                                qRgb(12, 240, 180), img.pixel(33, 12)}) {
            EXPECT_EQ(sample.contrastWith(text), tenthPercentileByFullSort(img, boxes, text))
                << seed << " " << std::hex << text;
        }
    }
}

TEST(BackgroundSample, RatiosEqualToTheTextsCountAsOne)
{
    // A third of the pixels exactly the text's grey, the rest darker and lighter: the tenth
    // percentile is 1 and the pixels on both sides of the text's luminance are walked.
    QImage img = filled(30, 30, qRgb(10, 10, 10));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            if (y < 10) img.setPixel(x, y, qRgb(119, 119, 119));
            else if (y < 15) img.setPixel(x, y, qRgb(250, 250, 250));
        }
    const BackgroundSample sample(img, {QRect(0, 0, 30, 30)});
    EXPECT_EQ(sample.contrastWith(qRgb(119, 119, 119)), 1.0);
    EXPECT_EQ(sample.contrastWith(qRgb(130, 130, 130)),
              tenthPercentileByFullSort(img, {QRect(0, 0, 30, 30)}, qRgb(130, 130, 130)));
    EXPECT_EQ(sample.contrastWith(qRgb(100, 100, 100)),
              tenthPercentileByFullSort(img, {QRect(0, 0, 30, 30)}, qRgb(100, 100, 100)));
}

TEST(ReadableColour, KeepsTheHueAndMovesTheLightnessJustFarEnough)
{
    const BackgroundSample white(filled(40, 40, kWhiteRgb), {QRect(0, 0, 40, 40)});
    const Colour orange = rgbColour(240, 140, 40);
    ASSERT_LT(white.contrastWith(toQRgb(orange)), 4.5);
    const Colour fixed = readableColour(orange, white, 4.5);
    EXPECT_GE(white.contrastWith(toQRgb(fixed)), 4.5);
    const OkLch before = toOkLch(toQRgb(orange)), after = toOkLch(toQRgb(fixed));
    EXPECT_LT(hueDistance(before.h, after.h), 3.0);
    EXPECT_LT(after.L, before.L); // darker over white
    // Nearest: a little less far does not read.
    EXPECT_LT(white.contrastWith(fromOkLch({after.L + 0.02, after.C, after.h})), 4.5);

    // Over a dark background the same colour gets lighter.
    const BackgroundSample navy(filled(40, 40, qRgb(10, 20, 70)), {QRect(0, 0, 40, 40)});
    const Colour blue = rgbColour(40, 60, 160);
    const Colour lighter = readableColour(blue, navy, 4.5);
    EXPECT_GE(navy.contrastWith(toQRgb(lighter)), 4.5);
    EXPECT_GT(toOkLch(toQRgb(lighter)).L, toOkLch(toQRgb(blue)).L);
    EXPECT_LT(hueDistance(toOkLch(toQRgb(lighter)).h, toOkLch(toQRgb(blue)).h), 3.0);

    // A readable colour stays as it is.
    EXPECT_EQ(readableColour(kBlack, white, 4.5), kBlack);
    // Where no lightness reaches the threshold, black or white, whichever reads better:
    // over #777777 black gives 4.69:1 and white 4.48:1.
    const BackgroundSample grey(filled(40, 40, qRgb(119, 119, 119)), {QRect(0, 0, 40, 40)});
    EXPECT_EQ(readableColour(rgbColour(120, 100, 90), grey, 7.0), kBlack);
}

TEST(OkLch, RoundTripsDisplayableColoursAndFitsTheOthers)
{
    for (const QRgb c : {qRgb(255, 0, 0), qRgb(0, 128, 255), qRgb(17, 200, 90), qRgb(128, 128, 128)})
        EXPECT_EQ(fromOkLch(toOkLch(c)), c);
    // Far too much chroma for any screen: the hue stays, the chroma is cut.
    const OkLch wild{0.6, 0.9, 140.0};
    const QRgb fitted = fromOkLch(wild);
    EXPECT_LT(hueDistance(toOkLch(fitted).h, 140.0), 3.0);
    EXPECT_NEAR(toOkLch(fitted).L, 0.6, 0.01);
}

class LegibilitySession : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
    }
    void setToday(QRgb colour)
    {
        session->canvas.oPicBufToday.setPicture(filled(240, 293, colour));
        session->DoScreenMain();
    }
    const LegibilityCheck& check(const std::vector<LegibilityCheck>& all, const char* caption)
    {
        for (const LegibilityCheck& c : all)
            if (c.caption == caption) return c;
        ADD_FAILURE() << caption;
        return all.front();
    }
};

TEST_F(LegibilitySession, DefaultThemeReadsAndADarkPhotoDoesNot)
{
    setToday(kWhiteRgb);
    const auto fine = session->legibilityChecks();
    ASSERT_EQ(fine.size(), 2u);
    EXPECT_EQ(worstCheck(fine), nullptr);
    EXPECT_NEAR(check(fine, "Today Screen Text").contrast, 21.0, 1e-3);
    EXPECT_EQ(check(fine, "Today Screen Text").valueName, "4");
    EXPECT_EQ(check(fine, "Titlebar Text").valueName, "9");
    EXPECT_GE(check(fine, "Titlebar Text").contrast, 3.0);

    setToday(qRgb(0, 0, 0));
    const auto dark = session->legibilityChecks();
    const LegibilityCheck* worst = worstCheck(dark);
    ASSERT_NE(worst, nullptr);
    EXPECT_EQ(worst->caption, "Today Screen Text");
    EXPECT_EQ(legibilityWarning(*worst), "Today Screen Text 1.0:1: hard to read");
    EXPECT_GE(BackgroundSample(filled(4, 4, kBlackRgb), {QRect(0, 0, 4, 4)})
                  .contrastWith(toQRgb(worst->suggestion)), 4.5);
}

TEST_F(LegibilitySession, MeasuresUnderTheTextNotTheWholePicture)
{
    // Black only where the Today entries stand: the rest of the picture does not save them.
    QImage today = filled(240, 293, kWhiteRgb);
    for (const PlacedText& t : todayTextLayoutAll(session->state, session->clock().date()))
        for (const QRect& box : glyphBoxes(t))
            for (int y = box.top(); y <= box.bottom(); ++y)
                for (int x = box.left(); x <= box.right(); ++x) today.setPixel(x, y - 27, kBlackRgb);
    session->canvas.oPicBufToday.setPicture(today);
    session->DoScreenMain();
    EXPECT_NEAR(check(session->legibilityChecks(), "Today Screen Text").contrast, 1.0, 1e-3);

    // The title text over a white title bar: 1:1, and the worst of the two.
    setToday(kWhiteRgb);
    session->theme.setElement(0, kWhite);
    session->theme.setElement(1, kWhite);
    session->DoScreenMain();
    const auto checks = session->legibilityChecks();
    ASSERT_NE(worstCheck(checks), nullptr);
    EXPECT_EQ(worstCheck(checks)->caption, "Titlebar Text");
    EXPECT_EQ(legibilityWarning(*worstCheck(checks)), "Titlebar Text 1.0:1: hard to read");
}

TEST_F(LegibilitySession, ChecksFollowTheBackgroundFromRedrawToRedraw)
{
    // What the check measures after any sequence of redraws is what a sample taken afresh
    // from the screen under the text gives.
    auto fresh = [&](int element, const std::vector<PlacedText>& texts) {
        std::vector<QRect> boxes;
        for (const PlacedText& t : texts)
            for (const QRect& b : glyphBoxes(t)) boxes.push_back(b);
        return BackgroundSample(session->canvas.underText, boxes)
            .contrastWith(toQRgb(session->theme.element(element)));
    };
    auto expectFresh = [&](const char* what) {
        const auto checks = session->legibilityChecks(false);
        EXPECT_EQ(check(checks, "Today Screen Text").contrast,
                  fresh(3, todayTextLayoutAll(session->state, session->clock().date())))
            << what;
        EXPECT_EQ(check(checks, "Titlebar Text").contrast, fresh(2, titleTextLayout(session->clock().time())))
            << what;
        return check(checks, "Today Screen Text").contrast;
    };
    for (int seed : {0, 40, 0}) {
        session->canvas.oPicBufToday.setPicture(busy(240, 293, seed));
        session->DoScreenMain();
        expectFresh("busy picture");
    }
    // Only the background of the lower entries darkens: the check sees it.
    setToday(kWhiteRgb);
    EXPECT_EQ(expectFresh("white"), 21.0);
    QImage lower = filled(240, 293, kWhiteRgb);
    for (int y = 120; y < 293; ++y)
        for (int x = 0; x < 240; ++x) lower.setPixel(x, y, kBlackRgb);
    session->canvas.oPicBufToday.setPicture(lower);
    session->DoScreenMain();
    EXPECT_LT(expectFresh("lower half black"), 21.0);
    // Another text colour over the same background, and another title bar.
    session->theme.setElement(3, kWhite);
    session->theme.setElement(0, rgbColour(200, 200, 0));
    session->DoScreenMain();
    expectFresh("new colours");
    // Another day: other entries, other boxes.
    session->clock = [] { return QDateTime(QDate(2026, 12, 31), QTime(23, 59)); };
    session->DoScreenMain();
    expectFresh("new day");
}

TEST_F(LegibilitySession, FixGivesTheWorstTextItsSuggestionAndRedraws)
{
    setToday(qRgb(30, 30, 40));
    int redraws = 0;
    QObject::connect(session.get(), &EditorSession::previewChanged, [&] { ++redraws; });
    ASSERT_TRUE(session->fixLegibility());
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(worstCheck(session->legibilityChecks()), nullptr);
    // The new colour is on the screen: the date's first glyph row carries it.
    const Colour text = session->theme.element(3);
    EXPECT_NE(text, kBlack);
    bool shown = false;
    const QImage screen = session->canvas.oPicBuf.image();
    for (int y = 30; y < 45 && !shown; ++y)
        for (int x = 31; x < 200 && !shown; ++x) shown = fromQRgb(screen.pixel(x, y)) == text;
    EXPECT_TRUE(shown);
    EXPECT_FALSE(session->fixLegibility()); // nothing left to fix
    EXPECT_EQ(redraws, 1);

    // Both at once: every unreadable text takes its suggestion.
    session->theme.setElement(3, kBlack);
    session->theme.setElement(0, kWhite);
    session->theme.setElement(1, kWhite);
    session->DoScreenMain();
    EXPECT_EQ(session->fixAllLegibility(), 2);
    EXPECT_EQ(worstCheck(session->legibilityChecks()), nullptr);
}

class LegibilityLineTest : public LegibilitySession {
protected:
    void SetUp() override
    {
        LegibilitySession::SetUp();
        session->state.Skin = "NAKED-XP";
        window = std::make_unique<MainWindow>(*session);
    }
    QWidget* line() { return window->findChild<QWidget*>("lblLegibility"); }
    std::unique_ptr<MainWindow> window;
};

TEST_F(LegibilityLineTest, WarningFollowsEveryRedrawAndFixClearsIt)
{
    ASSERT_NE(line(), nullptr);
    setToday(kWhiteRgb);
    EXPECT_TRUE(line()->isHidden());

    setToday(qRgb(0, 0, 0));
    EXPECT_FALSE(line()->isHidden());
    auto* text = window->findChild<QLabel*>("lblLegibilityText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Today Screen Text 1.0:1: hard to read");

    auto* fix = window->findChild<QPushButton*>("btnLegibilityFix");
    ASSERT_NE(fix, nullptr);
    EXPECT_EQ(fix->text(), "Fix");
    fix->click();
    EXPECT_TRUE(line()->isHidden());
    EXPECT_EQ(worstCheck(session->legibilityChecks()), nullptr);
}

} // namespace
} // namespace orv::test
