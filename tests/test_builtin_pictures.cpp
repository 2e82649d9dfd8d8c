// The built-in pictures: the screen parts the composers cut with key colours, the masks,
// the icon columns and the window skins.
#include "preview/canvas.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr QRgb kGreen = 0x00ff00, kBlue = 0x0000ff, kRed = 0xff0000, kWhite = 0xffffff, kBlack = 0;

QRgb at(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xffffff; }

QImage picture(const char* name) { return orv::builtinPicture(QString::fromLatin1(name)); }

QString storedFile(const QString& name)
{
    return QStringLiteral(ORV_SOURCE_DIR "/resources/pictures/") + name;
}

// Bits per pixel as the stored bitmap declares them.
int storedBits(const QString& file)
{
    QFile f(storedFile(file));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray head = f.read(30);
    if (head.size() < 30 || !head.startsWith("BM")) return -1;
    return uchar(head[28]) | uchar(head[29]) << 8;
}

int countColour(const QImage& img, QRgb c, QRect area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (at(img, x, y) == c) ++n;
    return n;
}

double luminance(QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); }

double meanLuminance(const QImage& img, QRect area)
{
    double sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) sum += luminance(img.pixel(x, y));
    return sum / (area.width() * area.height());
}

// Rows [first, last] holding pixels that are not white, or (-1, -1).
std::pair<int, int> inkRows(const QImage& img, int top, int bottom)
{
    int first = -1, last = -1;
    for (int y = top; y <= bottom; ++y)
        for (int x = 0; x < img.width(); ++x)
            if (at(img, x, y) != kWhite) {
                if (first < 0) first = y;
                last = y;
            }
    return {first, last};
}

TEST(BuiltinPictures, EveryPictureHasItsSizeAndStoredDepth)
{
    struct Expect { const char* name; int w, h, bits; };
    const Expect table[] = {
        {"BLANK", 240, 320, 8}, {"TITLEBAR-SOLID", 240, 27, 24}, {"COMMANDBAR", 240, 25, 24},
        {"NAVIGATION", 240, 49, 24}, {"MENU", 150, 287, 8}, {"MESSAGE", 75, 184, 8},
        {"MASK-MESSAGE", 75, 184, 8}, {"MESSAGE-IMP", 222, 121, 8}, {"MASK-MESSAGE-IMP", 222, 121, 8},
        {"ICONS", 16, 150, 8}, {"ICONS2", 16, 150, 8}, {"ICONS3", 16, 150, 8}, {"ICONS-NONE", 16, 150, 8},
        {"SKIN", 640, 480, 24}};
    for (const Expect& e : table) {
        SCOPED_TRACE(e.name);
        const QImage img = picture(e.name);
        EXPECT_EQ(img.size(), QSize(e.w, e.h));
        EXPECT_EQ(storedBits(QString::fromLatin1(e.name) + ".bmp"), e.bits);
        if (e.bits == 8) { EXPECT_EQ(img.format(), QImage::Format_Indexed8); }
    }
    for (const char* name : {"SKIN-BLUEGREEN", "SKIN-CAMOUFLAGE", "SKIN-GLASS-BLUE", "SKIN-GLASS-GREEN",
                             "SKIN-GLASS-PURPLE", "SKIN-GREEN", "SKIN-GREENBLUE", "SKIN-MARBLE",
                             "SKIN-METAL", "SKIN-WOOD"}) {
        SCOPED_TRACE(name);
        QFile gif(storedFile(QString::fromLatin1(name) + ".gif"));
        ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
        EXPECT_TRUE(gif.read(6).startsWith("GIF8"));
        EXPECT_EQ(picture(name).size(), QSize(640, 480));
    }
}

TEST(BuiltinPictures, TitleBarIsGreenKeyOutsideItsIcons)
{
    const QImage img = picture("TITLEBAR-SOLID");
    for (int x = 0; x < 240; ++x) ASSERT_EQ(at(img, x, 0), kBlack) << "row 0, column " << x;
    auto inIcon = [](int x) { return (x >= 4 && x <= 24) || x == 27 || (x >= 142 && x <= 157) || (x >= 165 && x <= 179); };
    for (int y = 1; y < 27; ++y)
        for (int x = 0; x < 240; ++x)
            if (!inIcon(x)) { ASSERT_EQ(at(img, x, y), kGreen) << x << "," << y; }
    // each icon is really drawn, and opaque enough to be seen on the gradient
    for (auto [left, right] : {std::pair{4, 24}, {27, 27}, {142, 157}, {165, 179}}) {
        const QRect box(left, 1, right - left + 1, 26);
        EXPECT_GT(box.width() * box.height() - countColour(img, kGreen, box), box.width() * 4)
            << "icon at columns " << left << "-" << right;
    }
    // the icons use no near-key green that would be mistaken for the key
    for (int y = 1; y < 27; ++y)
        for (int x = 0; x < 240; ++x) {
            const QRgb c = at(img, x, y);
            if (c != kGreen) { EXPECT_FALSE(qGreen(c) > 240 && qRed(c) < 16 && qBlue(c) < 16) << x << "," << y; }
        }
}

TEST(BuiltinPictures, CommandBarIsGreyAndBlackOnlyWithTheNewCaption)
{
    // Recolouring turns every pixel that is not black into the bar colour, so any third
    // colour would be lost.
    const QImage img = picture("COMMANDBAR");
    const QRect whole = img.rect();
    EXPECT_EQ(countColour(img, 0xc0c0c0, whole) + countColour(img, kBlack, whole), 240 * 25);
    for (int x = 0; x < 240; ++x) EXPECT_EQ(at(img, x, 0), kBlack);
    EXPECT_GT(countColour(img, kBlack, QRect(3, 5, 24, 15)), 20) << "the caption New";
}

TEST(BuiltinPictures, NavigationRedOnlyInTheTrayAndTheNotificationSquare)
{
    const QImage img = picture("NAVIGATION");
    for (int y = 0; y < 49; ++y)
        for (int x = 0; x < 240; ++x) {
            const QRgb c = at(img, x, y);
            const bool square = y <= 25 && x >= 142 && x <= 159;
            if (y >= 26) { ASSERT_TRUE(c == kRed || c == kWhite) << "tray pixel " << x << "," << y; }
            else if (!square) { ASSERT_NE(c, kRed) << x << "," << y; }
        }
    // the square's edges are the key, the balloon inside it is not
    for (int y = 0; y <= 25; ++y) {
        EXPECT_EQ(at(img, 142, y), kRed);
        EXPECT_EQ(at(img, 159, y), kRed);
    }
    const QRect square(142, 0, 18, 26);
    EXPECT_GT(countColour(img, kWhite, square), 40);
    EXPECT_GT(countColour(img, kRed, QRect(0, 26, 240, 23)), 240 * 23 * 3 / 4);
    EXPECT_GT(countColour(img, kWhite, QRect(0, 26, 240, 23)), 100) << "white tray icons";
}

TEST(BuiltinPictures, StartMenuDrawingOnWhiteWithBlackRightAndBottomBorder)
{
    const QImage img = picture("MENU");
    for (int y = 0; y < 287; ++y) EXPECT_EQ(at(img, 149, y), kBlack) << "row " << y;
    for (int x = 0; x < 150; ++x) EXPECT_EQ(at(img, x, 286), kBlack) << "column " << x;
    const QRect inner(0, 0, 149, 286);
    EXPECT_GT(countColour(img, kWhite, inner), 149 * 286 * 2 / 3) << "the background must show through";
    // every entry row carries black caption text right of its icon
    int captionRows = 0;
    for (int y = 0; y < 286; ++y)
        if (countColour(img, kBlack, QRect(26, y, 110, 1)) > 0) ++captionRows;
    EXPECT_GT(captionRows, 11 * 6);
    // coloured icons in the icon column
    int coloured = 0;
    for (int y = 0; y < 286; ++y)
        for (int x = 0; x < 22; ++x) {
            const QRgb c = at(img, x, y);
            if (std::abs(qRed(c) - qGreen(c)) > 40 || std::abs(qGreen(c) - qBlue(c)) > 40) ++coloured;
        }
    EXPECT_GT(coloured, 300);
}

// A pop-up and its mask: the key colour fills the title band rows 2 to 33 inside the outline
// and appears nowhere else; the mask is pure black and white and its outline is the
// picture's rim.
void checkPopup(const char* name, const char* maskName, QRgb key)
{
    SCOPED_TRACE(name);
    const QImage img = picture(name), mask = picture(maskName);
    ASSERT_EQ(img.size(), mask.size());
    const int w = img.width(), h = img.height();
    auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && at(mask, x, y) == kWhite; };
    int keyPixels = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb m = at(mask, x, y);
            ASSERT_TRUE(m == kWhite || m == kBlack) << "mask " << x << "," << y;
            const QRgb c = at(img, x, y);
            bool edge = false, deep = true;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    if (!inside(x + dx, y + dy)) {
                        deep = false;
                        if (std::abs(dx) <= 1 && std::abs(dy) <= 1) edge = true;
                    }
                }
            if (inside(x, y) && edge) { ASSERT_EQ(c, kBlack) << "rim " << x << "," << y; }
            if (c == key) {
                ++keyPixels;
                ASSERT_TRUE(inside(x, y) && y >= 2 && y <= 33) << "stray key at " << x << "," << y;
            }
            if (deep && y >= 2 && y <= 33) { ASSERT_EQ(c, key) << "title band " << x << "," << y; }
        }
    EXPECT_GT(keyPixels, (w - 4) * 30);
    // the corners are rounded outside the outline, the body is solid
    EXPECT_EQ(at(mask, 0, h - 1), kBlack);
    EXPECT_EQ(at(mask, w / 2, h / 2), kWhite);
}

TEST(BuiltinPictures, MessagePopUpKeysItsTitleBandBlue)
{
    checkPopup("MESSAGE", "MASK-MESSAGE", kBlue);
    // the pointer: the top right corner is sharp, toward the speaker icon
    EXPECT_EQ(at(picture("MASK-MESSAGE"), 74, 0), kWhite);
    EXPECT_EQ(at(picture("MASK-MESSAGE"), 0, 0), kBlack);
}

TEST(BuiltinPictures, ImportantMessagePopUpKeysItsTitleBandRed)
{
    checkPopup("MESSAGE-IMP", "MASK-MESSAGE-IMP", kRed);
    // an OK button: a framed grey face in the lower right
    const QImage img = picture("MESSAGE-IMP");
    EXPECT_GT(countColour(img, 0xd4d0c8, QRect(120, 80, 100, 38)), 400);
}

TEST(BuiltinPictures, IconColumnsCarryTheirIconsOnTheListedRows)
{
    const QImage all = picture("ICONS");
    struct Band { int top, bottom; };
    const Band bands[] = {{4, 18}, {24, 37}, {56, 69}, {112, 126}, {133, 148}};
    // each icon fills exactly its rows, with white between the icons
    const Band gaps[] = {{0, 3}, {19, 23}, {38, 55}, {70, 111}, {127, 132}, {149, 149}};
    for (const Band& b : bands) EXPECT_EQ(inkRows(all, b.top, b.bottom), std::make_pair(b.top, b.bottom));
    for (const Band& g : gaps) EXPECT_EQ(inkRows(all, g.top, g.bottom), std::make_pair(-1, -1));

    auto sameRows = [&](const QImage& img, int top, int bottom) {
        for (int y = top; y <= bottom; ++y)
            for (int x = 0; x < 16; ++x)
                if (at(img, x, y) != at(all, x, y)) return false;
        return true;
    };
    const QImage three = picture("ICONS3"), two = picture("ICONS2"), none = picture("ICONS-NONE");
    EXPECT_TRUE(sameRows(three, 0, 69));
    EXPECT_EQ(inkRows(three, 70, 149), std::make_pair(-1, -1));
    EXPECT_TRUE(sameRows(two, 0, 37));
    EXPECT_EQ(inkRows(two, 38, 149), std::make_pair(-1, -1));
    EXPECT_EQ(inkRows(none, 0, 149), std::make_pair(-1, -1));
}

TEST(BuiltinPictures, BlankBackgroundIsLightBehindTheTodayText)
{
    // Default text and lines are black: the text area must stay light.
    const QImage img = picture("BLANK");
    double darkest = 255;
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 240; ++x) darkest = std::min(darkest, luminance(img.pixel(x, y)));
    EXPECT_GT(darkest, 200);
}

TEST(BuiltinPictures, SkinsLeaveTheControlsReadable)
{
    for (const char* name : {"SKIN", "SKIN-BLUEGREEN", "SKIN-CAMOUFLAGE", "SKIN-GLASS-BLUE", "SKIN-GLASS-GREEN",
                             "SKIN-GLASS-PURPLE", "SKIN-GREEN", "SKIN-GREENBLUE", "SKIN-MARBLE",
                             "SKIN-METAL", "SKIN-WOOD"}) {
        SCOPED_TRACE(name);
        const QImage img = picture(name).convertToFormat(QImage::Format_RGB32);
        // captions, list and name box sit on a light panel; the white version label on a
        // darker footer; the preview on a dark well
        EXPECT_GT(meanLuminance(img, QRect(300, 60, 310, 370)), 165);
        EXPECT_LT(meanLuminance(img, QRect(300, 446, 310, 20)), 130);
        EXPECT_LT(meanLuminance(img, QRect(30, 70, 226, 306)), 60);
        // the face is not one flat colour
        EXPECT_GT(std::abs(meanLuminance(img, QRect(0, 0, 640, 40)) - meanLuminance(img, QRect(300, 60, 310, 370))), 20);
    }
}

TEST(BuiltinPictures, GeneratorReproducesTheStoredPicturesByteForByte)
{
    const QString tool = QStringLiteral(ORV_BINARY_DIR "/tools/genpictures/genpictures");
    ASSERT_TRUE(QFile::exists(tool)) << "build the genpictures target first";
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess run;
    run.start(tool, {out.path()});
    ASSERT_TRUE(run.waitForFinished(300000)); // slow under the sanitizers
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().constData();
    const QStringList made = QDir(out.path()).entryList(QDir::Files, QDir::Name);
    const QStringList stored = QDir(QStringLiteral(ORV_SOURCE_DIR "/resources/pictures")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(made, stored);
    for (const QString& name : made) {
        QFile a(out.path() + "/" + name), b(storedFile(name));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly));
        ASSERT_TRUE(b.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_TRUE(a.readAll() == b.readAll()) << name.toStdString() << " differs from its generator";
    }
}

} // namespace
