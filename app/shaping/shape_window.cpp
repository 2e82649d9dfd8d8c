#include "app/shaping/shape_window.h"

#include "app/editor_session.h"
#include "app/errors.h"

#include <QPainterPath>

namespace orv {

namespace {

int entry(const std::vector<int>& rect, size_t i)
{
    if (i >= rect.size()) throw AppError(9, "Orvantis", "Subscript out of range");
    return rect[i];
}

// A rounded rectangle with elliptic corners of the given width and height, like the
// system's round-rectangle regions (right and bottom edges exclusive).
QRegion roundedRegion(int l, int t, int r, int b, int cw, int ch)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(l, t, r - l, b - t), cw / 2.0, ch / 2.0);
    return QRegion(path.toFillPolygon().toPolygon());
}

} // namespace

std::optional<QRegion> ShapeWindow(int code, const std::vector<int>& rect, QSize window,
                                   UserInteraction& ui)
{
    try {
        const QRegion whole(0, 0, window.width(), window.height());
        QRegion shape;
        switch (code) {
        case 1:
            shape = QRegion(QRect(QPoint(entry(rect, 0), entry(rect, 1)),
                                  QPoint(entry(rect, 2) - 1, entry(rect, 3) - 1)),
                            QRegion::Ellipse);
            break;
        case 2:
            shape = QRegion(QRect(QPoint(entry(rect, 0), entry(rect, 1)),
                                  QPoint(entry(rect, 2) - 1, entry(rect, 3) - 1)));
            break;
        case 3:
        case 4:
            shape = roundedRegion(entry(rect, 0), entry(rect, 1), entry(rect, 2), entry(rect, 3),
                                  entry(rect, 4), entry(rect, 5));
            break;
        default:
            ui.messageBox("Unknown Shape!", kAppTitle, MsgIcon::Exclamation);
            return std::nullopt;
        }
        return whole.intersected(shape);
    } catch (const AppError& e) {
        ui.messageBox("An Error Occurred. Error # " + QString::number(e.number()) + ", \n" +
                          e.description(),
                      "ATTENTION!", MsgIcon::Exclamation);
        return std::nullopt;
    }
}

std::optional<QRegion> ShapeMainWindow(QSize window, QSize client, UserInteraction& ui)
{
    const int b = (window.width() - client.width()) / 2;
    const int t = window.height() - client.height() - b;
    return ShapeWindow(3, {b, t, window.width() - b, window.height() - b, 30, 30}, window, ui);
}

} // namespace orv
