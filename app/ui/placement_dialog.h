#pragma once
// The placement dialog: the picture whole, a frame of the background's proportions over it
// that the user drags and zooms, and the result as it will be. It takes the decoded picture
// and gives back a placement; the caller makes the background.

#include "imaging/placement.h"

#include <QDialog>
#include <QImage>
#include <optional>

class QLabel;
class QSlider;

namespace orv {

class PlacementView;

class PlacementDialog : public QDialog {
    Q_OBJECT
public:
    // maxShown: the largest size the picture is drawn at; empty means what the screen allows.
    PlacementDialog(const QImage& picture, QSize target, QWidget* parent = nullptr,
                    QSize maxShown = QSize());
    // The placement on OK; nullopt on Cancel or when the dialog is closed.
    std::optional<Placement> ask();

    Placement placement() const;
    void setPlacement(const Placement& placement);
    // The result as the thumbnail shows it.
    QImage thumbnail() const { return thumbnail_; }

private:
    void showPlacement();

    QImage picture_; // shared with the caller's buffer, never copied
    QImage shown_;   // a copy at most the size of the screen, for drawing and the thumbnail
    QSize target_;
    PlacementView* view_;
    QSlider* zoom_;
    QLabel* result_;
    QImage thumbnail_;
};

} // namespace orv
