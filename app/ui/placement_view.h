#pragma once
// The picture of the placement dialog with the frame over it. It draws a screen-sized copy
// of the picture, never the picture itself, so a redraw costs the same for any photo; the
// frame is worked out on the whole picture's size, as the placed result will be.

#include "imaging/placement.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace orv {

class PlacementView : public QWidget {
    Q_OBJECT
public:
    // pictureSize: the whole picture's; shown: its copy at the size it is drawn.
    PlacementView(QSize pictureSize, QSize target, const QImage& shown, QWidget* parent = nullptr);

    const Placement& placement() const { return placement_; }
    // Takes the placement kept inside the picture; says so when it changed.
    void setPlacement(const Placement& placement);
    double maxZoom() const { return maxPlacementZoom(picture_, target_); }
    // Zooms about the frame's centre (factor above 1 shows less).
    void zoomBy(double factor);
    // The frame in the view's own pixels.
    QRectF frameOnScreen() const;

    QSize sizeHint() const override { return shown_.size(); }

signals:
    void placementChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointF centreOnScreen() const;
    void moveCentreTo(QPointF centre);

    QSize picture_;
    QSize target_;
    QPixmap shown_;
    Placement placement_;
    bool dragging_ = false;
    QPointF grab_; // from the pointer to the frame's centre while dragging
};

} // namespace orv
