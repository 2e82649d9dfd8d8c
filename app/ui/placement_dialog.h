#pragma once
// The placement dialog: the picture whole, a frame of the background's proportions over it
// that the user drags and zooms, and the result as it will be. It takes the picture being
// read and gives back a placement; the caller makes the background from the whole picture.

#include "imaging/placement.h"

#include <QDialog>
#include <QImage>
#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QSlider;
class QTimer;

namespace orv {

class PlacementSource;
class PlacementView;

class PlacementDialog : public QDialog {
    Q_OBJECT
public:
    // maxShown: the largest size the picture is drawn at; empty means what the screen allows.
    // A large photo shows at once from a copy decoded at reduced size; a bar says that the
    // whole picture is still being read, and the thumbnail takes its detail when it is.
    PlacementDialog(PlacementSource& source, QSize target, QWidget* parent = nullptr,
                    QSize maxShown = QSize());
    // A picture already whole.
    PlacementDialog(const QImage& picture, QSize target, QWidget* parent = nullptr,
                    QSize maxShown = QSize());
    ~PlacementDialog() override;
    // The placement on OK; nullopt on Cancel or when the dialog is closed.
    std::optional<Placement> ask();

    Placement placement() const;
    void setPlacement(const Placement& placement);
    // The result as the thumbnail shows it.
    QImage thumbnail() const { return thumbnail_; }
    // True while the whole picture is still being read.
    bool reading() const;

private:
    void build(QSize maxShown);
    void showPlacement();
    void checkReading();
    void takeWhole();

    std::unique_ptr<PlacementSource> owned_; // only for a picture handed in whole
    PlacementSource& source_;
    QImage picture_; // the whole picture once read; shared, never copied
    QImage shown_;   // a copy at most the size of the screen, for drawing and the thumbnail
    QSize pictureSize_;
    QSize target_;
    PlacementView* view_;
    QSlider* zoom_;
    QLabel* result_;
    QProgressBar* readingBar_;
    QTimer* readingPoll_;
    QImage thumbnail_;
};

} // namespace orv
