// The composed screens of the preview, probed pixel by pixel where a user would see a fault.
// ORV_SCREENS_DIR=<folder> also writes every screen drawn here as a PNG, for a look.
#include "preview/gradient.h"
#include "preview/picture_cache.h"
#include "support/session_fixture.h"

#include <QDir>
#include <QSet>
#include <functional>

namespace orv::test {
namespace {

constexpr Colour kTitleLeft = rgbColour(0, 0, 128);
constexpr Colour kTitleRight = rgbColour(0, 160, 255);
constexpr Colour kTitleText = rgbColour(250, 240, 10);
constexpr Colour kTodayText = rgbColour(140, 0, 90);
constexpr Colour kLine = rgbColour(10, 150, 20);
constexpr Colour kBar = rgbColour(90, 200, 230);
constexpr Colour kTray = rgbColour(120, 60, 0);
constexpr Colour kMsgLeft = rgbColour(200, 10, 10);
constexpr Colour kMsgRight = rgbColour(10, 10, 200);
constexpr Colour kImpLeft = rgbColour(0, 100, 0);
constexpr Colour kImpRight = rgbColour(250, 250, 0);

class PreviewTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        EditorSession& s = *session;
        s.setupCanvas();
        s.LoadIconImages();
        const Colour colours[] = {kTitleLeft, kTitleRight, kTitleText, kTodayText, kLine, kBar,
                                  kTray,      kMsgLeft,    kMsgRight,  kImpLeft,   kImpRight};
        for (int i = 0; i < kElementCount; ++i) s.theme.setElement(i, colours[i]);
        s.RecolourCommandBar();
    }

    // Draws a screen and returns a copy of the preview.
    QImage draw(void (EditorSession::*composer)(), const char* name = nullptr)
    {
        (session.get()->*composer)();
        QImage shown = session->canvas.oPicBuf.image().copy();
        const QString dir = qEnvironmentVariable("ORV_SCREENS_DIR");
        if (name && !dir.isEmpty()) {
            QDir().mkpath(dir);
            shown.save(dir + "/" + name + ".png");
        }
        return shown;
    }

    static Colour at(const QImage& img, int x, int y) { return fromQRgb(img.pixel(x, y)); }

    // Every pixel where the two screens differ lies inside the rectangle; some do.
    static void expectChangesOnlyInside(const QImage& a, const QImage& b, const QRect& inside)
    {
        ASSERT_EQ(a.size(), b.size());
        int changed = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y)) {
                    ++changed;
                    ASSERT_TRUE(inside.contains(x, y)) << "changed at " << x << "," << y;
                }
        EXPECT_GT(changed, 100);
    }

    static int countColour(const QImage& img, const QRect& r, Colour c)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += at(img, x, y) == c;
        return n;
    }

    static QRect inkBox(const QImage& img, const QRect& r, Colour c)
    {
        QRect box;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (at(img, x, y) == c) box |= QRect(x, y, 1, 1);
        return box;
    }
};

// --- the Today screen --------------------------------------------------------------------

TEST_F(PreviewTest, TodayScreenIsTheScreenSizeWithGradientBehindTheTitleBarIcons)
{
    session->theme.setElement(0, kBlack);
    session->theme.setElement(1, kWhite);
    const QImage shown = draw(&EditorSession::DoScreenMain, "today");
    ASSERT_EQ(shown.size(), QSize(240, 320));
    // Row 26 is the gradient alone.
    EXPECT_EQ(at(shown, 0, 26), kBlack);
    EXPECT_EQ(at(shown, 239, 26), rgbColour(254, 254, 254));
    // No key green is left over from the title bar picture.
    EXPECT_EQ(countColour(shown, QRect(0, 0, 240, 27), kPureGreen), 0);

    session->theme.setElement(0, kTitleLeft);
    session->theme.setElement(1, kTitleLeft);
    const QImage plain = draw(&EditorSession::DoScreenMain);
    for (int x = 0; x < 240; ++x) EXPECT_EQ(at(plain, x, 26), kTitleLeft) << x;
    for (int x = 100; x < 140; ++x) EXPECT_EQ(at(plain, x, 3), kTitleLeft) << x;
    // The start flag and the battery still show over the band.
    const QImage bar = cachedPicture24("TITLEBAR-SOLID");
    EXPECT_GT(countColour(plain, QRect(4, 0, 21, 26), kTitleLeft), 0);
    int icons = 0;
    for (int y = 1; y < 27; ++y)
        for (int x : {10, 15, 150})
            if (!qGreen(bar.pixel(x, y)) || qRed(bar.pixel(x, y))) {
                ++icons;
                EXPECT_EQ(plain.pixel(x, y - 1), bar.pixel(x, y)) << x << "," << y;
            }
    EXPECT_GT(icons, 0);
}

TEST_F(PreviewTest, StartCaptionAndClockInTitleTextColourFromTheirColumns)
{
    const QImage shown = draw(&EditorSession::DoScreenMain);
    const QRect start = inkBox(shown, QRect(0, 0, 140, 27), kTitleText);
    const QRect clock = inkBox(shown, QRect(160, 0, 80, 27), kTitleText);
    ASSERT_FALSE(start.isEmpty());
    ASSERT_FALSE(clock.isEmpty());
    EXPECT_GE(start.left(), 31);
    EXPECT_LE(start.left(), 33);
    EXPECT_GE(start.top(), 7);
    EXPECT_LE(start.bottom(), 25);
    EXPECT_GE(clock.left(), 185);
    EXPECT_LE(clock.left(), 187);
    EXPECT_GE(clock.top(), 7);

    // The clock reads the injected time as "hh:mm": 09:05 shows its leading zero.
    ImageBuffer expected;
    expected.Create(24, 80, 27, kBlack);
    expected.Font.Bold = true;
    expected.ForeColor = kTitleText;
    expected.Text = "09:05";
    expected.setRect(25, 7, 80, 27);
    expected.DrawText(0);
    EXPECT_EQ(inkBox(expected.image(), QRect(0, 0, 80, 27), kTitleText).size(), clock.size());
    for (int y = 7; y < 27; ++y)
        for (int x = 185; x < 240; ++x)
            EXPECT_EQ(at(shown, x, y) == kTitleText, expected.pixel(x - 160, y) == kTitleText)
                << x << "," << y;

    session->clock = [] { return QDateTime(QDate(2026, 3, 14), QTime(19, 45)); };
    const QImage later = draw(&EditorSession::DoScreenMain);
    EXPECT_NE(later.copy(185, 0, 55, 27), shown.copy(185, 0, 55, 27));
    EXPECT_EQ(later.copy(0, 0, 140, 27), shown.copy(0, 0, 140, 27));
}

TEST_F(PreviewTest, CommandBarTakesElementFiveAndKeepsItsBlackLines)
{
    const QImage shown = draw(&EditorSession::DoScreenMain);
    const QRect bar(0, 295, 240, 25);
    const int black = countColour(shown, bar, kBlack);
    const int coloured = countColour(shown, bar, kBar);
    EXPECT_GT(black, 240);
    EXPECT_EQ(black + coloured, 240 * 25);
    EXPECT_EQ(countColour(shown, QRect(0, 319, 240, 1), kBar), 240 - countColour(shown, QRect(0, 319, 240, 1), kBlack));

    // Recoloured in place: black turns the whole bar black, and it stays so.
    session->theme.setElement(5, kBlack);
    session->RecolourCommandBar();
    session->theme.setElement(5, kBar);
    session->RecolourCommandBar();
    const QImage dark = draw(&EditorSession::DoScreenMain);
    EXPECT_EQ(countColour(dark, bar, kBlack), 240 * 25);
}

TEST_F(PreviewTest, TodayLinesAndEntriesFollowTheTodayTextSetting)
{
    struct Case {
        const char* setting;
        std::vector<int> lines;
        int lastTextRow; // last row that may carry Today text, -1 for none
    };
    const Case cases[] = {{"all", {47, 79, 136, 155}, 171 + 16},
                          {"notm", {47, 79}, 120 + 16},
                          {"notmm", {47}, 62 + 16},
                          {"Notm", {47}, 62 + 16}, // unknown values show the date and owner
                          {"none", {}, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        session->state.TodayText = c.setting;
        session->LoadIconImages();
        const QImage shown = draw(&EditorSession::DoScreenMain, c.setting);
        for (int row : {47, 79, 136, 155}) {
            const bool wanted = std::find(c.lines.begin(), c.lines.end(), row) != c.lines.end();
            // Right of the icon column and past the text.
            EXPECT_EQ(countColour(shown, QRect(200, row, 40, 1), kLine) == 40, wanted) << row;
            EXPECT_EQ(countColour(shown, QRect(200, row - 1, 40, 1), kLine), 0) << row;
        }
        const QRect text = inkBox(shown, QRect(0, 27, 240, 268), kTodayText);
        if (c.lastTextRow < 0) {
            EXPECT_TRUE(text.isEmpty());
            EXPECT_EQ(countColour(shown, QRect(0, 27, 240, 268), kLine), 0);
        } else {
            ASSERT_FALSE(text.isEmpty());
            EXPECT_GE(text.left(), 31);
            EXPECT_GE(text.top(), 30);
            EXPECT_LE(text.bottom(), c.lastTextRow);
            EXPECT_GT(text.bottom(), c.lastTextRow - 13);
        }
    }
}

TEST_F(PreviewTest, TodayTextUsesTheSampleNamesAndTheInjectedDate)
{
    const QImage before = draw(&EditorSession::DoScreenMain);
    session->state.Name1 = QString();
    const QImage noOwner = draw(&EditorSession::DoScreenMain);
    // "Owner: " stays; only the name's pixels go.
    EXPECT_NE(noOwner.copy(0, 49, 240, 13), before.copy(0, 49, 240, 13));
    EXPECT_GT(countColour(noOwner, QRect(31, 49, 60, 13), kTodayText), 20);
    EXPECT_EQ(noOwner.copy(0, 62, 240, 13), before.copy(0, 62, 240, 13));

    session->clock = [] { return QDateTime(QDate(2027, 11, 2), QTime(9, 5)); };
    const QImage otherDay = draw(&EditorSession::DoScreenMain);
    EXPECT_NE(otherDay.copy(0, 30, 240, 16), noOwner.copy(0, 30, 240, 16));
    EXPECT_EQ(otherDay.copy(0, 47, 240, 273), noOwner.copy(0, 47, 240, 273));
}

TEST_F(PreviewTest, IconColumnShowsEveryIconWholeFromRowThirtyOverTheLines)
{
    const QImage icons = cachedPicture24("ICONS");
    const QImage shown = draw(&EditorSession::DoScreenMain);
    int drawn = 0;
    for (int y = 0; y < icons.height(); ++y)
        for (int x = 0; x < icons.width(); ++x)
            if ((icons.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                ++drawn;
                ASSERT_EQ(shown.pixel(x, 30 + y), icons.pixel(x, y)) << x << "," << y;
            }
    EXPECT_GT(drawn, 100);
    // The tasks icon (rows 133 to 148) is not cut at the column's 142 rows: the loop above
    // checked its rows past 141 too.
    bool tasksBelow = false;
    for (int y = 142; y < 149; ++y)
        for (int x = 0; x < 16; ++x) tasksBelow |= (icons.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_TRUE(tasksBelow);

    // "none": no icons, the background shows.
    session->state.TodayText = "none";
    session->LoadIconImages();
    const QImage bare = draw(&EditorSession::DoScreenMain);
    const QImage blank = session->canvas.oPicBufToday.image();
    for (int y = 30; y < 180; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(bare.pixel(x, y) & 0xFFFFFF, blank.pixel(x, y - 27) & 0xFFFFFF);
}

TEST_F(PreviewTest, UnknownTodayTextLeavesTheIconColumnAsItWas)
{
    session->state.TodayText = "notm";
    session->LoadIconImages();
    const QImage chosen = session->canvas.oPicBufIcons.image();
    EXPECT_EQ(chosen, cachedPicture("ICONS3"));
    session->state.TodayText = "ALL";
    session->LoadIconImages();
    EXPECT_EQ(session->canvas.oPicBufIcons.image(), chosen);
    session->state.TodayText = "none";
    session->LoadIconImages();
    EXPECT_EQ(session->canvas.oPicBufIcons.image(), cachedPicture("ICONS-NONE"));
}

// --- the pop-ups, the tray and the Start menu ----------------------------------------------

TEST_F(PreviewTest, MessagePopupStaysInItsPlaceWithTheMessageGradientInItsTitleBand)
{
    const QImage today = draw(&EditorSession::DoScreenMain);
    const QImage shown = draw(&EditorSession::DoScreenMessage, "message");
    expectChangesOnlyInside(today, shown, QRect(112, 27, 75, 184));

    ImageBuffer gradient;
    DoGradient(kMsgLeft, kMsgRight, gradient, 75, 184);
    const QImage picture = cachedPicture24("MESSAGE");
    const QImage mask = cachedPicture24("MASK-MESSAGE");
    int band = 0;
    for (int y = 2; y <= 33; ++y)
        for (int x = 0; x < 75; ++x)
            if (picture.pixel(x, y) == qRgb(0, 0, 255) && mask.pixel(x, y) == qRgb(255, 255, 255)) {
                ++band;
                ASSERT_EQ(at(shown, 112 + x, 27 + y), gradient.pixel(x, y)) << x << "," << y;
            }
    EXPECT_GT(band, 75 * 16);
    EXPECT_EQ(countColour(shown, QRect(0, 0, 240, 320), kPureBlue), 0);
}

TEST_F(PreviewTest, ImportantPopupStaysInItsPlaceWithTheImportantGradient)
{
    const QImage today = draw(&EditorSession::DoScreenMain);
    const QImage shown = draw(&EditorSession::DoScreenMessageImp, "important");
    expectChangesOnlyInside(today, shown, QRect(8, 27, 222, 121));
    ImageBuffer gradient;
    DoGradient(kImpLeft, kImpRight, gradient, 222, 121);
    const QImage picture = cachedPicture24("MESSAGE-IMP");
    const QImage mask = cachedPicture24("MASK-MESSAGE-IMP");
    int band = 0;
    for (int y = 2; y <= 33; ++y)
        for (int x = 0; x < 222; ++x)
            if (picture.pixel(x, y) == qRgb(255, 0, 0) && mask.pixel(x, y) == qRgb(255, 255, 255)) {
                ++band;
                ASSERT_EQ(at(shown, 8 + x, 27 + y), gradient.pixel(x, y)) << x << "," << y;
            }
    EXPECT_GT(band, 222 * 16);
    EXPECT_EQ(countColour(shown, QRect(0, 0, 240, 320), kPureRed), 0);
}

TEST_F(PreviewTest, NavigationTrayInElementSixUnderTheTitleBar)
{
    const QImage today = draw(&EditorSession::DoScreenMain);
    const QImage shown = draw(&EditorSession::DoScreenNavigation, "navigation");
    expectChangesOnlyInside(today, shown, QRect(0, 0, 240, 49));
    const QRect tray(0, 25, 240, 24);
    const int trayColour = countColour(shown, tray, kTray);
    EXPECT_EQ(trayColour + countColour(shown, tray, kWhite), 240 * 24);
    EXPECT_GT(trayColour, 240 * 24 / 2);
    for (int x : {0, 120, 239}) {
        EXPECT_EQ(at(shown, x, 25), kTray);
        EXPECT_EQ(at(shown, x, 48), kTray);
    }
    // The notification square over the title bar, red no more.
    EXPECT_GT(countColour(shown, QRect(142, 0, 18, 25), kTray), 18 * 4);
    EXPECT_EQ(countColour(shown, QRect(0, 0, 240, 320), kPureRed), 0);
    // The built-in picture itself keeps its red for the next redraw.
    EXPECT_EQ(session->canvas.oPicBufNavigation.pixel(0, 40), kPureRed);
    EXPECT_EQ(draw(&EditorSession::DoScreenNavigation), shown);
}

TEST_F(PreviewTest, StartMenuHangsFromRowTwentyFourOverItsOwnAdjustedBackground)
{
    const Colour menuBackground = rgbColour(60, 90, 120);
    session->canvas.oPicBufMenu.Create(24, 150, 293, menuBackground);
    const QImage today = draw(&EditorSession::DoScreenMain);
    const QImage shown = draw(&EditorSession::DoScreenMenu, "menu");
    expectChangesOnlyInside(today, shown, QRect(0, 24, 150, 287));

    const QImage menu = cachedPicture24("MENU");
    ASSERT_EQ(menu.size(), QSize(150, 287));
    int white = 0;
    for (int y = 0; y < 287; ++y)
        for (int x = 0; x < 150; ++x) {
            const bool isWhite = (menu.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
            white += isWhite;
            ASSERT_EQ(at(shown, x, 24 + y), isWhite ? menuBackground : fromQRgb(menu.pixel(x, y)))
                << x << "," << y;
        }
    EXPECT_GT(white, 150 * 100);

    // The Start menu's own values brighten it; the Today values leave it alone.
    session->adjustToday.brightness = 0.9f;
    const QImage todayBrighter = draw(&EditorSession::DoScreenMenu);
    EXPECT_EQ(todayBrighter.copy(0, 24, 150, 287), shown.copy(0, 24, 150, 287));
    session->adjustToday = AdjustmentSet{};
    session->adjustMenu.brightness = 0.9f;
    const QImage menuBrighter = draw(&EditorSession::DoScreenMenu);
    EXPECT_NE(menuBrighter.copy(0, 24, 150, 287), shown.copy(0, 24, 150, 287));
    EXPECT_EQ(menuBrighter.copy(150, 0, 90, 320), shown.copy(150, 0, 90, 320));
}

// --- adjustments, stored backgrounds, failures and callers ----------------------------------

TEST_F(PreviewTest, TodayAdjustmentsChangeOnlyTheBackgroundArea)
{
    const QImage plain = draw(&EditorSession::DoScreenMain);
    session->adjustToday.brightness = 0.2f;
    session->adjustToday.gamma = 2.0;
    const QImage darker = draw(&EditorSession::DoScreenMain, "today-darker");
    expectChangesOnlyInside(plain, darker, QRect(0, 27, 240, 293));
    EXPECT_EQ(darker.copy(0, 295, 240, 25), plain.copy(0, 295, 240, 25));
}

TEST_F(PreviewTest, StoredBackgroundsStayUnadjustedAfterManyRedraws)
{
    EditorSession& s = *session;
    const QImage today = s.canvas.oPicBufToday.image().copy();
    const QImage menu = s.canvas.oPicBufMenu.image().copy();
    const QImage navigation = s.canvas.oPicBufNavigation.image().copy();
    s.adjustToday = {2.0, 0.8f, 0.7f};
    s.adjustMenu = {8.0, 0.3f, 0.9f};
    for (int i = 0; i < 12; ++i) {
        s.DoScreenMain();
        s.DoScreenMenu();
        s.DoScreenNavigation();
        s.DoScreenMessage();
        s.DoScreenMessageImp();
    }
    EXPECT_EQ(s.canvas.oPicBufToday.image(), today);
    EXPECT_EQ(s.canvas.oPicBufMenu.image(), menu);
    EXPECT_EQ(s.canvas.oPicBufNavigation.image(), navigation);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(PreviewTest, FailedRedrawShowsItsRoutineAndKeepsThePreviousScreen)
{
    const QImage before = draw(&EditorSession::DoScreenMain);
    int redraws = 0;
    QObject::connect(session.get(), &EditorSession::previewChanged, [&] { ++redraws; });
    session->clock = []() -> QDateTime { throw AppError(5, "Orvantis", "Invalid procedure call or argument"); };
    session->theme.setElement(0, kWhite);
    session->DoScreenNavigation();
    EXPECT_EQ(ui.boxTexts(),
              QStringList({"Error: Invalid procedure call or argument (DoText)",
                           "Error: Invalid procedure call or argument (DoScreenNavigation)"}));
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_EQ(session->canvas.oPicBuf.image(), before);
    EXPECT_EQ(redraws, 0);
}

TEST_F(PreviewTest, ResetColoursRedrawsTheScreenNowShown)
{
    EditorSession& s = *session;
    s.cmbElements_Click(6);
    ASSERT_TRUE(s.theme.navigationScreen);
    s.resetColours();
    const Colour defaultTray = s.theme.element(6);
    ASSERT_NE(defaultTray, kTray);
    EXPECT_GT(countColour(s.canvas.oPicBuf.image(), QRect(0, 25, 240, 24), defaultTray), 240 * 12);
    // The command bar follows the default colour too.
    EXPECT_GT(countColour(s.canvas.oPicBuf.image(), QRect(0, 295, 240, 25), s.theme.element(5)),
              240 * 12);

    s.cmbElements_Click(2);
    EXPECT_EQ(countColour(s.canvas.oPicBuf.image(), QRect(0, 25, 240, 24), defaultTray), 0);
}

} // namespace
} // namespace orv::test
