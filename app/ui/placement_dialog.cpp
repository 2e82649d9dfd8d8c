// The placement dialog is made once per placed picture. A large photo is reduced once, when
// the dialog opens, to a copy that fits the screen; dragging and zooming redraw that copy and
// the thumbnail only, and the thumbnail reads the whole picture only when the frame is too
// small on the copy to give every background pixel its own detail.
#include "app/ui/placement_dialog.h"

#include "app/editor_session.h"
#include "app/ui/placement_view.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace orv {

namespace {

constexpr int kZoomTicks = 1000;

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

PlacementDialog::PlacementDialog(const QImage& picture, QSize target, QWidget* parent,
                                 QSize maxShown)
    : QDialog(parent), picture_(picture), target_(target)
{
    setWindowTitle(kAppTitle);
    setObjectName("frmPlaceImage");
    setModal(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    if (maxShown.isEmpty()) maxShown = roomOnScreen(parent, target);
    const QSize shownSize = picture.width() > maxShown.width() || picture.height() > maxShown.height()
                                ? picture.size().scaled(maxShown, Qt::KeepAspectRatio)
                                : picture.size();
    shown_ = shownSize == picture.size() ? picture
                                         : resampleArea(picture, picture.rect(), shownSize);

    view_ = new PlacementView(picture.size(), target, shown_, this);

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
    auto* buttons = new QHBoxLayout;
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

    showPlacement();
    view_->setFocus();
    setFixedSize(sizeHint());
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
    const QRect onShown = placementFrame(shown_.size(), target_, p);
    const bool detailed = onShown.width() >= target_.width() && onShown.height() >= target_.height();
    thumbnail_ = placePicture(detailed ? shown_ : picture_, target_, p);
    result_->setPixmap(QPixmap::fromImage(thumbnail_));
}

} // namespace orv
