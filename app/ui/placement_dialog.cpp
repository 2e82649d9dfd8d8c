// The placement dialog is made once per placed picture. It opens on a copy of the picture that
// fits the screen, decoded at reduced size while the whole picture is still being read;
// dragging and zooming redraw that copy and the thumbnail only, and the thumbnail reads the
// whole picture only when the frame is too small on the copy to give every background pixel
// its own detail (until the whole picture is read, the copy stands in).
#include "app/ui/placement_dialog.h"

#include "app/editor_session.h"
#include "app/ui/placement_view.h"
#include "imaging/placement_source.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr int kZoomTicks = 1000;
constexpr int kReadingPollMs = 40;

// Room the screen leaves for the picture beside the thumbnail and below the controls.
QSize roomOnScreen(const QWidget* parent, QSize target)
{
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1280, 1024);
    return {std::max(320, available.width() - target.width() - 120),
            std::max(240, available.height() - 220)};
}

// The zoom slider runs evenly through the zoom's powers, so each tick shows the same share
// less of the picture.
int ticksOf(double zoom, double maxZoom)
{
    if (maxZoom <= 1.0) return 0;
    return int(std::lround(kZoomTicks * std::log(zoom) / std::log(maxZoom)));
}

double zoomOf(int ticks, double maxZoom) { return std::pow(maxZoom, double(ticks) / kZoomTicks); }

} // namespace

PlacementDialog::PlacementDialog(PlacementSource& source, QSize target, QWidget* parent,
                                 QSize maxShown)
    : QDialog(parent), source_(source), target_(target)
{
    build(maxShown);
}

PlacementDialog::PlacementDialog(const QImage& picture, QSize target, QWidget* parent,
                                 QSize maxShown)
    : QDialog(parent), owned_(std::make_unique<PlacementSource>(picture)), source_(*owned_),
      target_(target)
{
    build(maxShown);
}

PlacementDialog::~PlacementDialog() = default;

void PlacementDialog::build(QSize maxShown)
{
    const QSize target = target_;
    const QSize pictureSize = source_.size();
    pictureSize_ = pictureSize;
    if (source_.ready()) takeWhole();

    setWindowTitle(kAppTitle);
    setObjectName("frmPlaceImage");
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    if (maxShown.isEmpty()) maxShown = roomOnScreen(parentWidget(), target);
    // A thin strip of a picture still gets one row or column on screen.
    const QSize shownSize =
        (pictureSize.width() > maxShown.width() || pictureSize.height() > maxShown.height()
             ? pictureSize.scaled(maxShown, Qt::KeepAspectRatio)
             : pictureSize)
            .expandedTo(QSize(1, 1));
    shown_ = source_.preview(shownSize);

    view_ = new PlacementView(pictureSize, target, shown_, this);

    result_ = new QLabel(this);
    result_->setObjectName("lblResult");
    result_->setFixedSize(target);
    auto* resultCaption = new QLabel("Result", this);

    zoom_ = new QSlider(Qt::Horizontal, this);
    zoom_->setObjectName("sldZoom");
    zoom_->setRange(0, kZoomTicks);
    zoom_->setEnabled(view_->maxZoom() > 1.0);
    auto* zoomCaption = new QLabel("Zoom", this);
    auto* hint = new QLabel("Drag the frame to choose the part that shows. Zoom with the mouse "
                            "wheel, the slider or the + and - keys.",
                            this);
    hint->setWordWrap(true);

    auto* ok = new QPushButton("OK", this);
    auto* cancel = new QPushButton("Cancel", this);
    ok->setObjectName("btnOK");
    cancel->setObjectName("btnCancel");
    ok->setDefault(true);

    auto* side = new QVBoxLayout;
    side->addWidget(resultCaption);
    side->addWidget(result_);
    side->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(view_, 0, Qt::AlignTop);
    top->addLayout(side);
    auto* zoomRow = new QHBoxLayout;
    zoomRow->addWidget(zoomCaption);
    zoomRow->addWidget(zoom_, 1);
    readingBar_ = new QProgressBar(this);
    readingBar_->setObjectName("barReading");
    readingBar_->setRange(0, 0); // how far the decoder is cannot be told: it just runs
    readingBar_->setFormat(QString());
    readingBar_->setToolTip("Reading the whole picture");
    readingBar_->setMaximumWidth(160);
    readingBar_->setVisible(false);
    readingPoll_ = new QTimer(this);
    readingPoll_->setInterval(kReadingPollMs);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(readingBar_);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(zoomRow);
    layout->addWidget(hint);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(view_, &PlacementView::placementChanged, this, &PlacementDialog::showPlacement);
    connect(zoom_, &QSlider::valueChanged, this, [this](int ticks) {
        Placement p = view_->placement();
        p.zoom = zoomOf(ticks, view_->maxZoom());
        view_->setPlacement(p);
    });
    connect(readingPoll_, &QTimer::timeout, this, &PlacementDialog::checkReading);

    showPlacement();
    view_->setFocus();
    if (picture_.isNull()) {
        readingBar_->setVisible(true);
        readingPoll_->start();
    }
    setFixedSize(sizeHint());
}

bool PlacementDialog::reading() const { return picture_.isNull() && !source_.ready(); }

// The whole picture arrives on the reading thread; the dialog looks for it between events.
void PlacementDialog::checkReading()
{
    if (!source_.ready()) return;
    readingPoll_->stop();
    readingBar_->setVisible(false);
    takeWhole();
    showPlacement();
}

// A picture that failed to read leaves the screen copy standing in; the load reports the
// failure once the dialog has closed.
void PlacementDialog::takeWhole()
{
    try {
        picture_ = source_.whole();
    } catch (...) {
        picture_ = QImage();
    }
}

std::optional<Placement> PlacementDialog::ask()
{
    if (exec() != QDialog::Accepted) return std::nullopt;
    return placement();
}

Placement PlacementDialog::placement() const { return view_->placement(); }

void PlacementDialog::setPlacement(const Placement& placement) { view_->setPlacement(placement); }

void PlacementDialog::showPlacement()
{
    const Placement p = view_->placement();
    {
        const QSignalBlocker quiet(zoom_);
        zoom_->setValue(ticksOf(p.zoom, view_->maxZoom()));
    }
    // The screen copy gives the same frame only while it allows the zoom: zoomed further, its
    // frame would be held at the copy's own largest zoom and show more than the result.
    const QRect onShown = placementFrame(shown_.size(), target_, p);
    const bool detailed = p.zoom <= maxPlacementZoom(shown_.size(), target_) &&
                          onShown.width() >= target_.width() &&
                          onShown.height() >= target_.height();
    if (detailed) {
        thumbnail_ = resampleArea(shown_, onShown, target_);
    } else if (!picture_.isNull()) {
        thumbnail_ = placePicture(picture_, target_, p);
    } else {
        // Still reading: the whole picture's frame, found on the screen copy.
        const QRect f = placementFrame(pictureSize_, target_, p);
        const double sx = double(shown_.width()) / pictureSize_.width();
        const double sy = double(shown_.height()) / pictureSize_.height();
        const QRect r(int(f.x() * sx), int(f.y() * sy), std::max(1, qRound(f.width() * sx)),
                      std::max(1, qRound(f.height() * sy)));
        thumbnail_ = resampleArea(shown_, r, target_);
    }
    result_->setPixmap(QPixmap::fromImage(thumbnail_));
}

} // namespace orv
