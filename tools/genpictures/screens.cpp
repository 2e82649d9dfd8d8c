// The handheld's screen parts: title bar icons, command bar, navigation tray, Start menu,
// the two pop-ups with their masks, the Today icon columns and the blank background.
#include "artwork.h"

#include <cmath>

namespace gen {

namespace {

constexpr QRgb kKeyGreen = 0xff00ff00;
constexpr QRgb kKeyBlue = 0xff0000ff;
constexpr QRgb kKeyRed = 0xffff0000;
constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kBlack = 0xff000000;
// Near-white for the inside of icons that must stay opaque where white is a key colour.
constexpr QRgb kPaper = 0xfff8f8f4;
constexpr QRgb kLight = 0xffe4e4e4;
constexpr QRgb kGrey = 0xffc0c0c0;
constexpr QRgb kMid = 0xff808080;
constexpr QRgb kDark = 0xff404040;

QImage canvas(int w, int h, QRgb fillColour)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fillColour);
    return img;
}

// --- small icons shared by the Start menu, the Today column and the tray ------------------------

void iconToday(QImage& img, int x, int y)
{
    // A page with the Start flag on it.
    fill(img, x + 1, y + 1, x + 13, y + 14, kPaper);
    rect(img, x + 1, y + 1, x + 13, y + 14, kDark);
    hline(img, x + 2, x + 14, y + 15, kMid);
    vline(img, x + 14, y + 2, y + 15, kMid);
    fill(img, x + 3, y + 4, x + 6, y + 7, qRgb(228, 60, 32));
    fill(img, x + 8, y + 4, x + 11, y + 7, qRgb(64, 168, 48));
    fill(img, x + 3, y + 9, x + 6, y + 12, qRgb(40, 96, 220));
    fill(img, x + 8, y + 9, x + 11, y + 12, qRgb(244, 196, 28));
}

void iconCalendar(QImage& img, int x, int y)
{
    fill(img, x + 1, y + 2, x + 14, y + 14, kPaper);
    rect(img, x + 1, y + 2, x + 14, y + 14, kDark);
    fill(img, x + 2, y + 3, x + 13, y + 5, qRgb(200, 32, 32));
    px(img, x + 4, y + 1, kDark); px(img, x + 11, y + 1, kDark);
    for (int gy = 0; gy < 3; ++gy)
        for (int gx = 0; gx < 4; ++gx)
            fill(img, x + 3 + gx * 3, y + 7 + gy * 2, x + 4 + gx * 3, y + 7 + gy * 2, gx == 2 && gy == 1 ? qRgb(200, 32, 32) : kMid);
    hline(img, x + 2, x + 15, y + 15, kMid);
    vline(img, x + 15, y + 3, y + 15, kMid);
}

void iconContacts(QImage& img, int x, int y)
{
    fill(img, x + 1, y + 3, x + 14, y + 13, qRgb(252, 236, 180));
    rect(img, x + 1, y + 3, x + 14, y + 13, qRgb(120, 88, 24));
    // a face and shoulders
    fill(img, x + 4, y + 5, x + 6, y + 7, qRgb(232, 168, 120));
    fill(img, x + 3, y + 9, x + 7, y + 11, qRgb(48, 88, 176));
    for (int i = 0; i < 3; ++i) hline(img, x + 9, x + 12, y + 6 + i * 2, kMid);
    hline(img, x + 2, x + 15, y + 14, kMid);
    vline(img, x + 15, y + 4, y + 14, kMid);
}

void iconInbox(QImage& img, int x, int y)
{
    fill(img, x + 1, y + 4, x + 14, y + 13, kPaper);
    rect(img, x + 1, y + 4, x + 14, y + 13, kDark);
    for (int i = 0; i < 6; ++i) {
        px(img, x + 2 + i, y + 5 + i, kDark);
        px(img, x + 13 - i, y + 5 + i, kDark);
    }
    fill(img, x + 11, y + 1, x + 15, y + 3, qRgb(232, 184, 32));
    rect(img, x + 11, y + 1, x + 15, y + 3, qRgb(136, 96, 8));
}

void iconExplorer(QImage& img, int x, int y)
{
    QPainter p(&img);
    prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(32, 96, 208));
    p.drawEllipse(QRect(x + 2, y + 2, 12, 12));
    p.setBrush(QColor(248, 248, 240));
    p.drawEllipse(QRect(x + 5, y + 5, 6, 5));
    p.setBrush(QColor(32, 96, 208));
    p.drawRect(QRect(x + 6, y + 7, 4, 1));
    p.setBrush(QColor(248, 248, 240));
    p.drawRect(QRect(x + 10, y + 9, 4, 3));
    p.end();
    // the orbit ring
    const QRgb ring = qRgb(240, 168, 32);
    hline(img, x + 9, x + 13, y + 1, ring);
    px(img, x + 14, y + 2, ring); px(img, x + 15, y + 3, ring);
    px(img, x + 1, y + 12, ring); px(img, x + 0, y + 13, ring);
    hline(img, x + 1, x + 3, y + 14, ring);
}

void iconNotes(QImage& img, int x, int y)
{
    fill(img, x + 2, y + 1, x + 13, y + 14, qRgb(252, 240, 132));
    rect(img, x + 2, y + 1, x + 13, y + 14, qRgb(136, 112, 16));
    for (int i = 0; i < 5; ++i) hline(img, x + 4, x + 11, y + 4 + i * 2, qRgb(120, 120, 168));
    // pencil
    for (int i = 0; i < 6; ++i) {
        px(img, x + 9 + i / 2 + 1, y + 14 - i, qRgb(208, 64, 32));
        px(img, x + 10 + i / 2 + 1, y + 14 - i, qRgb(168, 40, 16));
    }
}

void iconTasks(QImage& img, int x, int y)
{
    fill(img, x + 2, y + 2, x + 13, y + 15, kPaper);
    rect(img, x + 2, y + 2, x + 13, y + 15, qRgb(96, 64, 32));
    fill(img, x + 5, y + 1, x + 10, y + 3, qRgb(160, 160, 168));
    rect(img, x + 5, y + 1, x + 10, y + 3, kDark);
    const QRgb tick = qRgb(24, 136, 40);
    for (int row = 0; row < 3; ++row) {
        const int yy = y + 6 + row * 3;
        px(img, x + 4, yy, tick); px(img, x + 5, yy + 1, tick); px(img, x + 6, yy, tick); px(img, x + 7, yy - 1, tick);
        hline(img, x + 8, x + 11, yy, kMid);
    }
}

void iconWord(QImage& img, int x, int y)
{
    fill(img, x + 2, y + 1, x + 13, y + 14, kPaper);
    rect(img, x + 2, y + 1, x + 13, y + 14, kDark);
    const QRgb blue = qRgb(32, 72, 184);
    fill(img, x + 0, y + 4, x + 9, y + 11, blue);
    // a "W"
    art(img, x + 1, y + 5, {"w...w...", "w...w...", "w.w.w...", "w.w.w...", "ww.ww...", "w...w..."},
        {{'w', qRgb(248, 248, 240)}});
    for (int i = 0; i < 4; ++i) hline(img, x + 10, x + 12, y + 4 + i * 2, kMid);
}

void iconFolder(QImage& img, int x, int y)
{
    const QRgb body = qRgb(248, 208, 80), edge = qRgb(144, 104, 16);
    fill(img, x + 1, y + 3, x + 6, y + 4, body);
    rect(img, x + 1, y + 3, x + 6, y + 5, edge);
    fill(img, x + 1, y + 5, x + 14, y + 13, body);
    rect(img, x + 1, y + 5, x + 14, y + 13, edge);
    hline(img, x + 2, x + 13, y + 6, qRgb(252, 236, 168));
}

void iconSettings(QImage& img, int x, int y)
{
    fill(img, x + 1, y + 2, x + 14, y + 13, qRgb(200, 204, 212));
    rect(img, x + 1, y + 2, x + 14, y + 13, kDark);
    // a check box and a slider
    rect(img, x + 3, y + 4, x + 6, y + 7, kDark);
    px(img, x + 4, y + 5, qRgb(24, 136, 40)); px(img, x + 5, y + 6, qRgb(24, 136, 40));
    hline(img, x + 8, x + 12, y + 5, kDark);
    hline(img, x + 3, x + 12, y + 10, kMid);
    fill(img, x + 8, y + 9, x + 9, y + 11, qRgb(32, 72, 184));
}

void iconHelp(QImage& img, int x, int y)
{
    QPainter p(&img);
    prepare(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 104, 200));
    p.drawEllipse(QRect(x + 1, y + 1, 14, 14));
    p.end();
    art(img, x + 5, y + 3, {".mmmm.", "mm..mm", "....mm", "...mm.", "..mm..", "..mm..", "......", "..mm..", "..mm.."},
        {{'m', qRgb(248, 248, 240)}});
}

void iconClock(QImage& img, int x, int y)
{
    // 15 rows high: a round clock face
    art(img, x, y,
        {"....kkkkkkk.....",
         "..kkwwwwwwwkk...",
         ".kwwwwwkwwwwwk..",
         ".kwwwwwkwwwwwk..",
         "kwwwwwwkwwwwwwk.",
         "kwwwwwwkwwwwwwk.",
         "kwwwwwwkwwwwwwk.",
         "kkwwwwwkkkkwwkk.",
         "kwwwwwwwwwwwwwk.",
         "kwwwwwwwwwwwwwk.",
         "kwwwwwwwwwwwwwk.",
         ".kwwwwwwwwwwwk..",
         ".kwwwwwwwwwwwk..",
         "..kkwwwwwwwkk...",
         "....kkkkkkk....."},
        {{'k', qRgb(24, 48, 120)}, {'w', kPaper}});
    // the hands drawn over the face in dark blue, the rim's quarter marks
    px(img, x + 7, y + 2, qRgb(200, 32, 32));
}

void iconOwner(QImage& img, int x, int y)
{
    // 14 rows: a business card with a person
    art(img, x, y,
        {"kkkkkkkkkkkkkkk.",
         "kyyyyyyyyyyyyyk.",
         "kyyffyyyyyyyyyk.",
         "kyffffyyllllyyk.",
         "kyffffyyyyyyyyk.",
         "kyyffyyyllllyyk.",
         "kybbbbyyyyyyyyk.",
         "kbbbbbbyllllyyk.",
         "kbbbbbbyyyyyyyk.",
         "kyyyyyyylllyyyk.",
         "kyyyyyyyyyyyyyk.",
         "kyyyyyyyyyyyyyk.",
         "kkkkkkkkkkkkkkkg",
         ".gggggggggggggg."},
        {{'k', qRgb(120, 88, 24)}, {'y', qRgb(252, 236, 180)}, {'f', qRgb(232, 168, 120)},
         {'b', qRgb(48, 88, 176)}, {'l', kMid}, {'g', qRgb(160, 160, 160)}});
}

void iconCalendarBig(QImage& img, int x, int y)
{
    // 14 rows
    art(img, x, y,
        {"...k......k.....",
         "kkkkkkkkkkkkkkk.",
         "krrrrrrrrrrrrrk.",
         "krrrrrrrrrrrrrk.",
         "kwwwwwwwwwwwwwk.",
         "kwmmwmmwmmwmmwk.",
         "kwwwwwwwwwwwwwk.",
         "kwmmwmmwrrwmmwk.",
         "kwwwwwwwwwwwwwk.",
         "kwmmwmmwmmwmmwk.",
         "kwwwwwwwwwwwwwk.",
         "kwmmwmmwwwwwwwk.",
         "kkkkkkkkkkkkkkkg",
         ".gggggggggggggg."},
        {{'k', kDark}, {'r', qRgb(200, 32, 32)}, {'w', kPaper}, {'m', kMid}, {'g', qRgb(160, 160, 160)}});
}

void iconInboxBig(QImage& img, int x, int y)
{
    // 15 rows
    art(img, x, y,
        {"..........oooo..",
         "..........oyyo..",
         "..........oooo..",
         "kkkkkkkkkkkkkkk.",
         "kkwwwwwwwwwwwkk.",
         "kwkwwwwwwwwwkwk.",
         "kwwkwwwwwwwkwwk.",
         "kwwwkwwwwwkwwwk.",
         "kwwwwkwwwkwwwwk.",
         "kwwwwwkkkwwwwwk.",
         "kwwwwwwwwwwwwwk.",
         "kwwwwwwwwwwwwwk.",
         "kkkkkkkkkkkkkkkg",
         ".gggggggggggggg.",
         "......ss........"},
        {{'k', kDark}, {'w', kPaper}, {'o', qRgb(136, 96, 8)}, {'y', qRgb(232, 184, 32)},
         {'g', qRgb(160, 160, 160)}, {'s', qRgb(208, 208, 208)}});
}

void iconTasksBig(QImage& img, int x, int y)
{
    // 16 rows
    art(img, x, y,
        {".....kkkkkk.....",
         "..bbbkssssk bb..",
         ".bwwwkkkkkkwwb..",
         ".bwwwwwwwwwwwb..",
         ".bwwwwwwwwwwwb..",
         ".bwwtwwwmmmmwb..",
         ".bwtwtwwwwwwwb..",
         ".bwwwwwwwwwwwb..",
         ".bwwwtwwmmmmwb..",
         ".bwtwtwwwwwwwb..",
         ".bwwtwwwwwwwwb..",
         ".bwwwwwwmmmmwb..",
         ".bwwwwwwwwwwwb..",
         ".bwwwwwwwwwwwb..",
         ".bbbbbbbbbbbbbg.",
         "..gggggggggggg.."},
        {{'k', kDark}, {'s', qRgb(168, 168, 176)}, {'b', qRgb(112, 72, 32)}, {'w', kPaper},
         {'t', qRgb(24, 136, 40)}, {'m', kMid}, {'g', qRgb(160, 160, 160)}});
}

} // namespace

// --- the pictures --------------------------------------------------------------------------------

namespace {

QImage titleBar()
{
    QImage img = canvas(240, 27, kKeyGreen);
    hline(img, 0, 239, 0, kBlack);
    // Start flag, columns 4 to 24: four waving panes with a dark rim so it reads on any
    // title colour.
    const QRgb panes[4] = {qRgb(236, 72, 36), qRgb(72, 184, 56), qRgb(40, 104, 232), qRgb(252, 200, 36)};
    const QRgb shade[4] = {qRgb(168, 40, 16), qRgb(32, 120, 24), qRgb(16, 56, 160), qRgb(192, 136, 8)};
    for (int c = 4; c <= 24; ++c) {
        if (c == 14) continue;
        const int wave = int(std::lround(1.6 * std::sin((c - 4) * 3.14159265 / 10.0)));
        const int right = c > 14 ? 1 : 0;
        const int top = 5 + wave, mid = 12 + wave, bottom = 19 + wave;
        for (int r = top; r <= bottom; ++r) {
            if (r == mid) continue;
            const int pane = (r > mid ? 2 : 0) + right;
            const bool edge = r == mid - 1 || r == bottom;
            px(img, c, r, edge ? shade[pane] : panes[pane]);
        }
    }
    // separator between the flag and the caption
    for (int r = 4; r <= 22; ++r) px(img, 27, r, r % 2 ? qRgb(232, 232, 232) : qRgb(96, 96, 96));
    // battery, columns 142 to 157
    art(img, 142, 9,
        {"wwwwwwwwwwwwww..",
         "wkkkkkkkkkkkkw..",
         "wkggggggggwwkwww",
         "wkggggggggwwkkkw",
         "wkggggggggwwkkkw",
         "wkggggggggwwkkkw",
         "wkggggggggwwkwww",
         "wkkkkkkkkkkkkw..",
         "wwwwwwwwwwwwww.."},
        {{'w', qRgb(248, 248, 248)}, {'k', kBlack}, {'g', qRgb(40, 200, 64)}});
    // speaker, columns 165 to 179
    art(img, 165, 7,
        {"......kk.......",
         ".....kwk.......",
         "....kwwk...w...",
         "kkkkwwwk....w..",
         "kwwwwwwk.w...w.",
         "kwwwwwwk..w..w.",
         "kwwwwwwk..w..w.",
         "kwwwwwwk..w..w.",
         "kwwwwwwk.w...w.",
         "kkkkwwwk....w..",
         "....kwwk...w...",
         ".....kwk.......",
         "......kk......."},
        {{'w', qRgb(248, 248, 248)}, {'k', kBlack}});
    return img;
}

QImage commandBar()
{
    // Only black and one grey: every pixel that is not black takes the command bar colour.
    QImage img = canvas(240, 25, kGrey);
    hline(img, 0, 239, 0, kBlack);
    text(img, 5, 7, QStringLiteral("New"), kBlack, false);
    const int after = 5 + textWidth(QStringLiteral("New")) + 3;
    // the small up-arrow of the New menu
    hline(img, after, after + 4, 14, kBlack);
    hline(img, after + 1, after + 3, 13, kBlack);
    px(img, after + 2, 12, kBlack);
    vline(img, after + 10, 4, 21, kBlack);
    // the input panel button: a keyboard and its arrow
    const int kx = 212;
    rect(img, kx, 8, kx + 15, 17, kBlack);
    for (int row = 0; row < 3; ++row)
        for (int k = 0; k < 6; ++k) px(img, kx + 2 + k * 2 + (row == 1 ? 1 : 0), 10 + row * 2, kBlack);
    hline(img, kx + 4, kx + 11, 16, kBlack);
    hline(img, kx + 18, kx + 22, 14, kBlack);
    hline(img, kx + 19, kx + 21, 13, kBlack);
    px(img, kx + 20, 12, kBlack);
    return img;
}

QImage navigation()
{
    QImage img = canvas(240, 49, kWhite);
    // The notification square in the title bar, columns 142 to 159: a speech balloon.
    fill(img, 142, 0, 159, 25, kKeyRed);
    art(img, 143, 6,
        {".kkkkkkkkkkkkkk.",
         "kwwwwwwwwwwwwwwk",
         "kwwwwwwwwwwwwwwk",
         "kwwkkwwkkwwkkwwk",
         "kwwkkwwkkwwkkwwk",
         "kwwwwwwwwwwwwwwk",
         "kwwwwwwwwwwwwwwk",
         ".kkkkwwkkkkkkkk.",
         "....kwk.........",
         "....kk..........",
         "....k..........."},
        {{'k', kBlack}, {'w', kWhite}});
    // The tray: rows 26 to 48, white icons on the key red.
    fill(img, 0, 26, 239, 48, kKeyRed);
    const QRgb w = kWhite;
    // connection (two arrows)
    art(img, 6, 30,
        {"...w..........",
         "..www.........",
         ".wwwww........",
         "...w..........",
         "...w......w...",
         "...w......w...",
         "...w......w...",
         "...w......w...",
         "........wwwww.",
         ".........www..",
         "..........w..."},
        {{'w', w}});
    // envelope
    art(img, 26, 31,
        {"wwwwwwwwwwwwww",
         "ww..........ww",
         "w.w........w.w",
         "w..w......w..w",
         "w...w....w...w",
         "w....wwww....w",
         "w............w",
         "w............w",
         "wwwwwwwwwwwwww"},
        {{'w', w}});
    // reminder bell
    art(img, 48, 29,
        {"......ww......",
         "....wwwwww....",
         "...ww....ww...",
         "...w......w...",
         "...w......w...",
         "..ww......ww..",
         "..w........w..",
         ".ww........ww.",
         "wwwwwwwwwwwwww",
         "......ww......"},
        {{'w', w}});
    text(img, 70, 31, QStringLiteral("2 Notifications"), w, true);
    // close box at the right
    rect(img, 222, 31, 233, 42, w);
    for (int i = 0; i < 6; ++i) {
        px(img, 225 + i, 34 + i, w);
        px(img, 230 - i, 34 + i, w);
    }
    return img;
}

QImage menu()
{
    QImage img = canvas(150, 287, kWhite);
    vline(img, 149, 0, 286, kBlack);
    hline(img, 0, 149, 286, kBlack);
    // recently used programs across the top
    iconWord(img, 4, 4);
    iconInbox(img, 26, 4);
    iconNotes(img, 48, 4);
    iconCalendar(img, 70, 4);
    iconExplorer(img, 92, 4);
    iconContacts(img, 114, 4);
    const QRgb sep = qRgb(128, 128, 128);
    auto separator = [&](int y) { hline(img, 2, 146, y, sep); };
    separator(24);
    struct Entry { void (*icon)(QImage&, int, int); const char* caption; };
    const Entry programs[] = {
        {iconToday, "Today"}, {iconCalendar, "Calendar"}, {iconContacts, "Contacts"},
        {iconInbox, "Inbox"}, {iconExplorer, "Internet Explorer"}, {iconNotes, "Notes"},
        {iconTasks, "Tasks"}, {iconWord, "Pocket Word"}};
    int y = 27;
    for (const Entry& e : programs) {
        e.icon(img, 4, y + 3);
        text(img, 26, y + 5, QString::fromLatin1(e.caption), kBlack);
        y += 22;
    }
    separator(y + 1);
    y += 4;
    const Entry system[] = {{iconFolder, "Programs"}, {iconSettings, "Settings"}};
    for (const Entry& e : system) {
        e.icon(img, 4, y + 3);
        text(img, 26, y + 5, QString::fromLatin1(e.caption), kBlack);
        y += 22;
    }
    separator(y + 1);
    y += 4;
    iconHelp(img, 4, y + 3);
    text(img, 26, y + 5, QStringLiteral("Help"), kBlack);
    return img;
}

// The pop-ups: a 2-pixel frame (black outside, light inside) around a body whose top band
// is the key colour; the corner nearest the icon that opened it is drawn sharp, like the
// point of a balloon.
QImage popupShape(int w, int h, int radius, bool sharpTopRight)
{
    QImage mask = canvas(w, h, kBlack);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto outside = [&](int cx, int cy) {
                const double dx = x - cx, dy = y - cy;
                return dx * dx + dy * dy > double(radius) * radius + 0.5;
            };
            bool out = false;
            if (x < radius && y < radius) out = outside(radius, radius);
            if (x >= w - radius && y < radius && !sharpTopRight) out = outside(w - 1 - radius, radius);
            if (x < radius && y >= h - radius) out = outside(radius, h - 1 - radius);
            if (x >= w - radius && y >= h - radius) out = outside(w - 1 - radius, h - 1 - radius);
            if (!out) mask.setPixel(x, y, kWhite);
        }
    return mask;
}

bool inside(const QImage& mask, int x, int y)
{
    return x >= 0 && y >= 0 && x < mask.width() && y < mask.height() && mask.pixel(x, y) == kWhite;
}

// Frame pixels: inside the mask with an outside neighbour (the black rim), and the ring
// within it (the light rim).
QImage framedPopup(const QImage& mask, QRgb key, QRgb body)
{
    QImage img = canvas(mask.width(), mask.height(), kWhite);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!inside(mask, x, y)) continue;
            auto depth = [&](int d) {
                for (int dy = -d; dy <= d; ++dy)
                    for (int dx = -d; dx <= d; ++dx)
                        if (!inside(mask, x + dx, y + dy)) return true;
                return false;
            };
            if (depth(1)) img.setPixel(x, y, kBlack);
            else if (depth(2)) img.setPixel(x, y, qRgb(224, 224, 224));
            else img.setPixel(x, y, y <= 33 ? key : body);
        }
    return img;
}

QImage message(QImage* maskOut)
{
    const QImage mask = popupShape(75, 184, 6, true);
    QImage img = framedPopup(mask, kKeyBlue, qRgb(252, 252, 252));
    hline(img, 2, 72, 34, qRgb(96, 96, 96));
    text(img, 8, 39, QStringLiteral("Volume"), kBlack, true);
    // vertical slider: track, ticks, thumb
    const int top = 58, bottom = 150, tx = 14;
    fill(img, tx, top, tx + 3, bottom, qRgb(255, 255, 255));
    vline(img, tx, top, bottom, kMid);
    hline(img, tx, tx + 3, top, kMid);
    vline(img, tx + 3, top, bottom, qRgb(248, 248, 248));
    vline(img, tx + 1, top + 1, bottom - 1, kDark);
    for (int i = 0; i <= 8; ++i) hline(img, tx + 7, tx + 10, top + i * (bottom - top) / 8, kDark);
    const int thumb = top + 26;
    fill(img, tx - 4, thumb, tx + 6, thumb + 6, kGrey);
    hline(img, tx - 4, tx + 6, thumb, kWhite);
    vline(img, tx - 4, thumb, thumb + 6, kWhite);
    hline(img, tx - 4, tx + 6, thumb + 6, kBlack);
    vline(img, tx + 6, thumb, thumb + 6, kBlack);
    text(img, 29, top - 2, QStringLiteral("Loud"), kDark);
    text(img, 29, bottom - 9, QStringLiteral("Soft"), kDark);
    // on/off choice
    auto radio = [&](int y, const QString& caption, bool on) {
        QPainter p(&img);
        prepare(p);
        p.setPen(QColor(64, 64, 64));
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(QRect(8, y, 10, 10));
        if (on) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0));
            p.drawRect(QRect(11, y + 3, 5, 5));
        }
        p.end();
        text(img, 22, y, caption, kBlack);
    };
    radio(158, QStringLiteral("On"), true);
    radio(170, QStringLiteral("Off"), false);
    // a small speaker beside the caption
    art(img, 54, 40,
        {"....k.....",
         "...kk..k..",
         "kkkgk...k.",
         "kggggk.k.k",
         "kggggk.k.k",
         "kkkgk...k.",
         "...kk..k..",
         "....k....."},
        {{'k', kDark}, {'g', qRgb(200, 200, 200)}});
    *maskOut = mask;
    return img;
}

QImage messageImp(QImage* maskOut)
{
    const QImage mask = popupShape(222, 121, 6, false);
    QImage img = framedPopup(mask, kKeyRed, qRgb(252, 252, 252));
    // No pointer is drawn above the body: the title band starts at row 2, two rows under the
    // picture's top, which leaves no room for one.
    hline(img, 2, 219, 34, qRgb(96, 96, 96));
    // warning battery icon
    art(img, 8, 42,
        {"kkkkkkkkkkkkkkkkkkkkkk....",
         "kwwwwwwwwwwwwwwwwwwwwk....",
         "kwrrrrwwwwwwwwwwwwwwwkkkk.",
         "kwrrrrwwwwwwwwwwwwwwwwwwk.",
         "kwrrrrwwwwwwwwwwwwwwwwwwk.",
         "kwrrrrwwwwwwwwwwwwwwwwwwk.",
         "kwrrrrwwwwwwwwwwwwwwwkkkk.",
         "kwwwwwwwwwwwwwwwwwwwwk....",
         "kkkkkkkkkkkkkkkkkkkkkk...."},
        {{'k', kBlack}, {'w', kPaper}, {'r', qRgb(216, 24, 24)}});
    text(img, 42, 40, QStringLiteral("Main Battery Very Low"), kBlack, true);
    text(img, 42, 56, QStringLiteral("Replace or recharge the"), kBlack);
    text(img, 42, 69, QStringLiteral("batteries now to avoid"), kBlack);
    text(img, 42, 82, QStringLiteral("losing your data."), kBlack);
    // OK button
    const int bx = 164, by = 94, bw = 48, bh = 20;
    fill(img, bx, by, bx + bw - 1, by + bh - 1, qRgb(212, 208, 200));
    rect(img, bx, by, bx + bw - 1, by + bh - 1, kBlack);
    hline(img, bx + 1, bx + bw - 2, by + 1, qRgb(252, 252, 252));
    vline(img, bx + 1, by + 1, by + bh - 2, qRgb(252, 252, 252));
    hline(img, bx + 1, bx + bw - 2, by + bh - 2, kMid);
    vline(img, bx + bw - 2, by + 1, by + bh - 2, kMid);
    text(img, bx + (bw - textWidth(QStringLiteral("OK"), true)) / 2, by + 4, QStringLiteral("OK"), kBlack, true);
    *maskOut = mask;
    return img;
}

QImage icons(int count)
{
    QImage img = canvas(16, 150, kWhite);
    if (count >= 1) iconClock(img, 0, 4);
    if (count >= 2) iconOwner(img, 0, 24);
    if (count >= 3) iconCalendarBig(img, 0, 56);
    if (count >= 5) {
        iconInboxBig(img, 0, 112);
        iconTasksBig(img, 0, 133);
    }
    return img;
}

QImage blank()
{
    QImage img = canvas(240, 320, kWhite);
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 240; ++x) {
            const double t = y / 319.0;
            // white at the top, a soft sky blue toward the bottom, and a gentle swoosh
            const double swoosh = std::exp(-std::pow((y - 250 - 30 * std::sin(x / 60.0)) / 28.0, 2));
            const double r = 255 - 40 * t * t - 40 * swoosh;
            const double g = 255 - 22 * t * t - 22 * swoosh;
            const double b = 255 - 6 * t * t - 4 * swoosh;
            img.setPixel(x, y, qRgb(int(r), int(g), int(b)));
        }
    // a faint waving flag low on the right, below the Today entries
    const QRgb tints[4] = {qRgb(250, 226, 218), qRgb(222, 242, 218), qRgb(214, 226, 250), qRgb(250, 242, 206)};
    for (int c = 0; c < 64; ++c) {
        if (c >= 30 && c <= 33) continue;
        const int wave = int(std::lround(5 * std::sin(c * 3.14159265 / 32.0)));
        const int right = c > 31 ? 1 : 0;
        for (int r = 0; r < 52; ++r) {
            if (r >= 24 && r <= 27) continue;
            const int pane = (r > 25 ? 2 : 0) + right;
            const QRgb under = img.pixel(160 + c, 212 + r + wave);
            const QRgb t = tints[pane];
            img.setPixel(160 + c, 212 + r + wave,
                         qRgb((qRed(under) + qRed(t)) / 2, (qGreen(under) + qGreen(t)) / 2, (qBlue(under) + qBlue(t)) / 2));
        }
    }
    return img;
}

} // namespace

QList<Picture> screenPictures()
{
    QList<Picture> out;
    QImage maskMessage, maskImp;
    const QImage msg = message(&maskMessage);
    const QImage imp = messageImp(&maskImp);
    out.append({QStringLiteral("BLANK"), blank(), 8, QStringLiteral("bmp")});
    out.append({QStringLiteral("TITLEBAR-SOLID"), titleBar(), 24, QStringLiteral("bmp")});
    out.append({QStringLiteral("COMMANDBAR"), commandBar(), 24, QStringLiteral("bmp")});
    out.append({QStringLiteral("NAVIGATION"), navigation(), 24, QStringLiteral("bmp")});
    out.append({QStringLiteral("MENU"), menu(), 8, QStringLiteral("bmp")});
    out.append({QStringLiteral("MESSAGE"), msg, 8, QStringLiteral("bmp")});
    out.append({QStringLiteral("MASK-MESSAGE"), maskMessage, 8, QStringLiteral("bmp")});
    out.append({QStringLiteral("MESSAGE-IMP"), imp, 8, QStringLiteral("bmp")});
    out.append({QStringLiteral("MASK-MESSAGE-IMP"), maskImp, 8, QStringLiteral("bmp")});
    out.append({QStringLiteral("ICONS"), icons(5), 8, QStringLiteral("bmp")});
    out.append({QStringLiteral("ICONS2"), icons(2), 8, QStringLiteral("bmp")});
    out.append({QStringLiteral("ICONS3"), icons(3), 8, QStringLiteral("bmp")});
    out.append({QStringLiteral("ICONS-NONE"), icons(0), 8, QStringLiteral("bmp")});
    return out;
}

} // namespace gen
