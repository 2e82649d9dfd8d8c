// The desktop icons: the program's (a handheld showing a theme) and its document type's (a
// page with the handheld on it), 48 by 48 with transparency, stored as PNG.
#include "artwork.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainterPath>

namespace gen {

namespace {

// A handheld of the given width: dark case, a screen with a blue title bar, a gradient
// Today background and a grey command bar, one round button below.
void drawHandheld(QPainter& p, const QRectF& body)
{
    p.setPen(QPen(QColor(20, 24, 32), 1));
    p.setBrush(QColor(58, 64, 78));
    p.drawRoundedRect(body, body.width() * 0.16, body.width() * 0.16);
    const qreal m = body.width() * 0.14;
    const QRectF screen(body.left() + m, body.top() + m, body.width() - 2 * m, body.height() * 0.62);
    QLinearGradient sky(screen.topLeft(), screen.bottomLeft());
    sky.setColorAt(0, QColor(120, 190, 240));
    sky.setColorAt(1, QColor(30, 110, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRect(screen);
    const qreal bar = screen.height() * 0.14;
    QLinearGradient title(screen.topLeft(), screen.topRight());
    title.setColorAt(0, QColor(0, 40, 160));
    title.setColorAt(1, QColor(60, 130, 230));
    p.setBrush(title);
    p.drawRect(QRectF(screen.left(), screen.top(), screen.width(), bar));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(screen.left(), screen.bottom() - bar, screen.width(), bar));
    const qreal r = body.width() * 0.12;
    p.setBrush(QColor(150, 156, 170));
    p.drawEllipse(QPointF(body.center().x(), screen.bottom() + (body.bottom() - screen.bottom()) / 2), r, r);
}

QImage canvas()
{
    QImage img(48, 48, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    return img;
}

QImage programIcon()
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawHandheld(p, QRectF(11.5, 2.5, 25, 43));
    return img;
}

QImage documentIcon()
{
    QImage img = canvas();
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    // A page with its top right corner folded over.
    QPainterPath page;
    page.moveTo(7.5, 1.5);
    page.lineTo(31.5, 1.5);
    page.lineTo(40.5, 10.5);
    page.lineTo(40.5, 46.5);
    page.lineTo(7.5, 46.5);
    page.closeSubpath();
    p.setPen(QPen(QColor(110, 110, 110), 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(31.5, 1.5);
    fold.lineTo(31.5, 10.5);
    fold.lineTo(40.5, 10.5);
    fold.closeSubpath();
    p.setBrush(QColor(215, 215, 215));
    p.drawPath(fold);
    drawHandheld(p, QRectF(14.5, 13.5, 19, 31));
    return img;
}

} // namespace

QList<Picture> iconPictures()
{
    return {{QStringLiteral("ICON-ORVANTIS"), programIcon(), 32, QStringLiteral("png")},
            {QStringLiteral("ICON-DOCUMENT"), documentIcon(), 32, QStringLiteral("png")}};
}

QByteArray encodePng(const QImage& img)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(img);
    return bytes;
}

} // namespace gen
