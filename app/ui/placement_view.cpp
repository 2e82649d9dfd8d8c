// Dragging, wheel and keys move and zoom the frame; every change goes through
// clampedPlacement, so the frame on screen is always one the picture can give.
#include "app/ui/placement_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cmath>

namespace orv {

namespace {
constexpr double kZoomStep = 1.25; // one wheel notch or one key press
const QColor kDim(0, 0, 0, 150);
} // namespace

PlacementView::PlacementView(QSize pictureSize, QSize target, const QImage& shown, QWidget* parent)
    : QWidget(parent), picture_(pictureSize), target_(target), shown_(QPixmap::fromImage(shown)),
      placement_(clampedPlacement(pictureSize, target, Placement{}))
{
    setObjectName("picPlacement");
    setFixedSize(shown_.size());
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::OpenHandCursor);
}

void PlacementView::setPlacement(const Placement& placement)
{
    const Placement kept = clampedPlacement(picture_, target_, placement);
    if (kept == placement_) return;
    placement_ = kept;
    update();
    emit placementChanged();
}

void PlacementView::zoomBy(double factor)
{
    Placement p = placement_;
    p.zoom *= factor;
    setPlacement(p);
}

QRectF PlacementView::frameOnScreen() const
{
    const QRect f = placementFrame(picture_, target_, placement_);
    const double sx = double(shown_.width()) / picture_.width();
    const double sy = double(shown_.height()) / picture_.height();
    return {f.x() * sx, f.y() * sy, f.width() * sx, f.height() * sy};
}

QPointF PlacementView::centreOnScreen() const
{
    return {placement_.focusX * shown_.width(), placement_.focusY * shown_.height()};
}

void PlacementView::moveCentreTo(QPointF centre)
{
    Placement p = placement_;
    p.focusX = centre.x() / shown_.width();
    p.focusY = centre.y() / shown_.height();
    setPlacement(p);
}

void PlacementView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, shown_);
    const QRectF frame = frameOnScreen();
    // Dim everything outside the frame: above, below, then the two sides.
    p.fillRect(QRectF(0, 0, width(), frame.top()), kDim);
    p.fillRect(QRectF(0, frame.bottom(), width(), height() - frame.bottom()), kDim);
    p.fillRect(QRectF(0, frame.top(), frame.left(), frame.height()), kDim);
    p.fillRect(QRectF(frame.right(), frame.top(), width() - frame.right(), frame.height()), kDim);
    // A light line with a dark one inside shows on any picture.
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    p.setPen(QPen(QColor(0, 0, 0, 160), 1));
    p.drawRect(frame.adjusted(1, 1, -2, -2));
}

void PlacementView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPointF at = event->position();
    // Grabbing the frame keeps it under the pointer; a click beside it brings it there.
    grab_ = frameOnScreen().contains(at) ? centreOnScreen() - at : QPointF();
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    moveCentreTo(at + grab_);
}

void PlacementView::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging_) moveCentreTo(event->position() + grab_);
}

void PlacementView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    setCursor(Qt::OpenHandCursor);
}

void PlacementView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0) zoomBy(std::pow(kZoomStep, notches));
    event->accept();
}

void PlacementView::keyPressEvent(QKeyEvent* event)
{
    const double step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    const QPointF c = centreOnScreen();
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoomBy(kZoomStep); break;
    case Qt::Key_Minus: zoomBy(1 / kZoomStep); break;
    case Qt::Key_Left: moveCentreTo(c + QPointF(-step, 0)); break;
    case Qt::Key_Right: moveCentreTo(c + QPointF(step, 0)); break;
    case Qt::Key_Up: moveCentreTo(c + QPointF(0, -step)); break;
    case Qt::Key_Down: moveCentreTo(c + QPointF(0, step)); break;
    case Qt::Key_Home: setPlacement(Placement{}); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

} // namespace orv
