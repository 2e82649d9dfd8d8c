// Mock handheld screens put together from the pictures the way the preview composes them,
// and a contact sheet of every picture, so the artwork can be judged at a glance.
#include "artwork.h"

#include <QDir>
#include <QImageReader>
#include <QBuffer>

namespace gen {

namespace {

QImage find(const QList<Picture>& pictures, const QString& name)
{
    for (const Picture& p : pictures)
        if (p.name == name) {
            // judge what is stored, not what was drawn
            QByteArray bytes = storedBytes(p);
            QBuffer buffer(&bytes);
            QImageReader reader(&buffer);
            return reader.read().convertToFormat(QImage::Format_RGB32);
        }
    return {};
}

void keyedCopy(QImage& dst, const QImage& src, QRect from, QPoint to, QRgb key, bool useKey = true)
{
    for (int y = 0; y < from.height(); ++y)
        for (int x = 0; x < from.width(); ++x) {
            const int sx = from.x() + x, sy = from.y() + y, dx = to.x() + x, dy = to.y() + y;
            if (sx >= src.width() || sy >= src.height() || dx >= dst.width() || dy >= dst.height()) continue;
            const QRgb c = src.pixel(sx, sy);
            if (useKey && (c & 0xffffff) == (key & 0xffffff)) continue;
            dst.setPixel(dx, dy, c);
        }
}

QImage gradient(int w, int h, QRgb left, QRgb right)
{
    QImage g(w, h, QImage::Format_RGB32);
    g.fill(0xffffffff);
    for (int x = 0; x < w; ++x) {
        const double t = double(x) / w;
        const QRgb c = qRgb(qRound(qRed(left) + (qRed(right) - qRed(left)) * t),
                            qRound(qGreen(left) + (qGreen(right) - qGreen(left)) * t),
                            qRound(qBlue(left) + (qBlue(right) - qBlue(left)) * t));
        for (int y = 0; y < std::min(h, 50); ++y) g.setPixel(x, y, c);
    }
    return g;
}

QImage today(const QList<Picture>& pics)
{
    QImage s(240, 320, QImage::Format_RGB32);
    s.fill(0xffffffff);
    keyedCopy(s, find(pics, "BLANK"), QRect(0, 0, 240, 293), QPoint(0, 27), 0, false);
    keyedCopy(s, gradient(240, 27, qRgb(0, 128, 255), qRgb(0, 0, 160)), QRect(0, 0, 240, 27), QPoint(0, 0), 0, false);
    keyedCopy(s, find(pics, "TITLEBAR-SOLID"), QRect(0, 1, 240, 26), QPoint(0, 0), qRgb(0, 255, 0));
    struct Entry { int top; const char* text; bool bold; };
    const Entry entries[] = {{30, "Monday, December 07, 2026", true}, {49, "Owner: Kip Varro", true},
                             {62, "(222) 555-1234", false}, {81, "Meeting with Nell Varro", true},
                             {94, "10:00-11:00a (333) 555-1234", false}, {107, "Meeting with Otto Brenn", true},
                             {120, "1:00-2:00p (444) 555-4321", false}, {139, "Activesync: 6 Unread Messages", true},
                             {158, "3 Active Tasks", true}, {171, "1 High Priority", true}};
    for (const Entry& e : entries) text(s, 31, e.top, QString::fromLatin1(e.text), 0xff000000, e.bold);
    for (int row : {47, 79, 136, 155})
        for (int x = 0; x < 240; ++x) s.setPixel(x, row, 0xff000000);
    keyedCopy(s, find(pics, "ICONS"), QRect(0, 0, 16, 150), QPoint(0, 30), 0xffffffff);
    text(s, 31, 7, QStringLiteral("Start"), 0xffffffff, true);
    text(s, 185, 7, QStringLiteral("09:05"), 0xffffffff, true);
    keyedCopy(s, find(pics, "COMMANDBAR"), QRect(0, 0, 240, 25), QPoint(0, 295), 0, false);
    return s;
}

QImage popup(const QList<Picture>& pics, const char* name, const char* maskName, QPoint at,
             QRgb left, QRgb right, QRgb key)
{
    QImage s = today(pics);
    const QImage pic = find(pics, name), mask = find(pics, maskName);
    QImage body = gradient(pic.width(), pic.height(), left, right);
    keyedCopy(body, pic, pic.rect(), QPoint(0, 0), key);
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x)
            if (mask.pixel(x, y) == 0xffffffff) s.setPixel(at.x() + x, at.y() + y, body.pixel(x, y));
    return s;
}

QImage navigationScreen(const QList<Picture>& pics, QRgb tray)
{
    QImage s = today(pics);
    QImage nav = find(pics, "NAVIGATION");
    for (int y = 0; y < nav.height(); ++y)
        for (int x = 0; x < nav.width(); ++x)
            if ((nav.pixel(x, y) & 0xffffff) == 0xff0000) nav.setPixel(x, y, tray);
    keyedCopy(s, nav, QRect(0, 26, 240, 23), QPoint(0, 25), 0, false);
    keyedCopy(s, nav, QRect(142, 0, 18, 26), QPoint(142, 0), 0, false);
    return s;
}

QImage menuScreen(const QList<Picture>& pics)
{
    QImage s = today(pics);
    QImage work = find(pics, "BLANK").copy(0, 0, 150, 293);
    keyedCopy(work, find(pics, "MENU"), QRect(0, 0, 150, 287), QPoint(0, 0), 0xffffffff);
    keyedCopy(s, work, QRect(0, 0, 150, 287), QPoint(0, 24), 0, false);
    return s;
}

} // namespace

bool writePreviews(const QString& dir, const QList<Picture>& pics)
{
    QDir().mkpath(dir);
    const QList<QPair<QString, QImage>> screens = {
        {QStringLiteral("mock-today"), today(pics)},
        {QStringLiteral("mock-message"), popup(pics, "MESSAGE", "MASK-MESSAGE", {112, 27}, qRgb(0, 0, 160), qRgb(0, 128, 255), qRgb(0, 0, 255))},
        {QStringLiteral("mock-message-imp"), popup(pics, "MESSAGE-IMP", "MASK-MESSAGE-IMP", {8, 27}, qRgb(255, 0, 0), qRgb(255, 128, 64), qRgb(255, 0, 0))},
        {QStringLiteral("mock-navigation"), navigationScreen(pics, qRgb(255, 0, 0))},
        {QStringLiteral("mock-menu"), menuScreen(pics)},
    };
    bool ok = true;
    for (const auto& [name, img] : screens) ok &= img.scaled(480, 640).save(dir + "/" + name + ".png");
    for (const Picture& p : pics)
        if (p.name.startsWith(QLatin1String("SKIN"))) ok &= find(pics, p.name).save(dir + "/" + p.name + ".png");

    // Contact sheet: the screen parts at their own size, the mock screens, the skins at half size.
    QImage sheet(1320, 1680, QImage::Format_RGB32);
    sheet.fill(qRgb(96, 100, 108));
    QPainter painter(&sheet);
    painter.setFont(uiFont(true));
    auto place = [&](const QImage& img, int x, int y, const QString& caption) {
        painter.fillRect(QRect(x - 1, y - 1, img.width() + 2, img.height() + 2), QColor(0, 0, 0));
        painter.drawImage(x, y, img);
        painter.setPen(QColor(255, 255, 255));
        painter.drawText(x, y - 5, caption);
    };
    int x = 20, y = 30;
    for (const char* name : {"BLANK", "MENU", "MESSAGE", "MASK-MESSAGE"}) {
        const QImage img = find(pics, name);
        place(img, x, y, QString::fromLatin1(name));
        x += img.width() + 24;
    }
    for (const char* name : {"ICONS", "ICONS3", "ICONS2", "ICONS-NONE"}) {
        const QImage img = find(pics, name).scaled(32, 300);
        place(img, x, y, QString::fromLatin1(name).mid(5).isEmpty() ? QStringLiteral("ICONS") : QString::fromLatin1(name).mid(6));
        x += 56;
    }
    x = 20; y = 380;
    for (const char* name : {"TITLEBAR-SOLID", "COMMANDBAR", "NAVIGATION"}) {
        const QImage img = find(pics, name);
        place(img, x, y, QString::fromLatin1(name));
        x += 264;
    }
    place(find(pics, "MESSAGE-IMP"), 812, 380, QStringLiteral("MESSAGE-IMP"));
    place(find(pics, "MASK-MESSAGE-IMP"), 1060, 380, QStringLiteral("MASK-MESSAGE-IMP"));
    x = 20; y = 530;
    for (const auto& [name, img] : screens) {
        place(img, x, y, name);
        x += 262;
    }
    int index = 0;
    for (const Picture& p : pics) {
        if (!p.name.startsWith(QLatin1String("SKIN"))) continue;
        const QImage img = find(pics, p.name).scaled(320, 240, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        place(img, 20 + (index % 4) * 325, 890 + (index / 4) * 265, p.name);
        ++index;
    }
    painter.end();
    return ok && sheet.save(dir + "/pictures.png");
}

} // namespace gen
