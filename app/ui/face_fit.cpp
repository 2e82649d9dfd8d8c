// Fitting the face to its text: grow, then push down, then grow the face. Sliders and the
// preview keep their size; everything else takes at least its size hint.
#include "app/ui/face_fit.h"

#include "app/ui/focus_ring.h"
#include "app/ui/preview_view.h"

#include <QSlider>
#include <algorithm>

namespace orv {

namespace {

constexpr int kGap = 2;     // between a control and the one pushed below it
constexpr int kMargin = 8;  // between a control and the face's right or bottom edge

bool keepsItsSize(QWidget* w) { return qobject_cast<QSlider*>(w) || qobject_cast<PreviewView*>(w); }

QRect grown(QWidget* w, bool upwards)
{
    QRect r = w->geometry();
    if (keepsItsSize(w)) return r;
    const QSize need = w->sizeHint().expandedTo(w->minimumSizeHint());
    if (need.width() > r.width()) r.setWidth(need.width());
    if (need.height() > r.height()) {
        if (upwards)
            r.setTop(r.bottom() - need.height() + 1);
        else
            r.setHeight(need.height());
    }
    return r;
}

} // namespace

QSize fitFaceToText(QWidget* face, int footTop)
{
    QList<QWidget*> body, foot;
    for (QWidget* w : face->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow() || !w->isVisibleTo(face) || qobject_cast<FocusRing*>(w)) continue;
        (w->y() >= footTop ? foot : body) << w;
    }
    // Top to bottom, left to right: a control is only ever pushed by one placed before it.
    std::stable_sort(body.begin(), body.end(), [](QWidget* a, QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });

    QList<QRect> placed;
    int right = 0, bottom = 0;
    for (QWidget* w : body) {
        QRect r = grown(w, false);
        for (bool moved = true; moved;) {
            moved = false;
            for (const QRect& above : placed) {
                if (!above.intersects(r)) continue;
                r.moveTop(above.bottom() + 1 + kGap);
                moved = true;
            }
        }
        w->setGeometry(r);
        placed << r;
        right = std::max(right, r.right());
        bottom = std::max(bottom, r.bottom());
    }

    const int grow = std::max(0, bottom + 1 + kGap - footTop);
    for (QWidget* w : foot) {
        const QRect r = grown(w, true).translated(0, grow);
        w->setGeometry(r);
        right = std::max(right, r.right());
    }
    return {std::max(face->width(), right + 1 + kMargin), face->height() + grow};
}

QString refusalToDouble(QSize doubled, QSize available)
{
    if (doubled.width() <= available.width() && doubled.height() <= available.height()) return {};
    return QString("Double Size needs %1 x %2 pixels; this screen has %3 x %4")
        .arg(doubled.width())
        .arg(doubled.height())
        .arg(available.width())
        .arg(available.height());
}

} // namespace orv
