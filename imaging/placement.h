#pragma once
// Placing a picture on a background of fixed size: a frame of the background's proportions
// over the picture, chosen by its centre and a zoom, and the part under it resampled to the
// background's size. The frame always lies inside the picture, whatever the values asked.

#include <QImage>
#include <QRect>
#include <QSize>

namespace orv {

struct Placement {
    // Centre of the frame as fractions of the picture's width and height.
    double focusX = 0.5;
    double focusY = 0.5;
    // 1: the largest frame that fits the picture; larger values show less of it, down to one
    // background pixel per picture pixel.
    double zoom = 1.0;

    bool operator==(const Placement&) const = default;
};

// The zoom at which the frame is exactly the target's size; 1 when the picture is too small
// for that.
double maxPlacementZoom(QSize picture, QSize target);

// The same placement with its zoom brought into range and its focus moved to where the frame
// really lies once kept inside the picture. Values that are not numbers count as the default.
Placement clampedPlacement(QSize picture, QSize target, const Placement& placement);

// The frame in picture pixels: the target's proportions, inside the picture.
QRect placementFrame(QSize picture, QSize target, const Placement& placement);

// `part` of the picture (clipped to it) scaled to `size`. Shrinking averages every picture
// pixel the output pixel covers, weighted by how much of it is covered, so fine detail turns
// into its mean colour instead of aliasing; a part of the same size is copied exactly;
// enlarging interpolates smoothly. The result is 24-bit (QImage::Format_RGB32).
QImage resampleArea(const QImage& picture, const QRect& part, QSize size);

// The background the placement gives: the frame's contents at the target's size.
QImage placePicture(const QImage& picture, QSize target, const Placement& placement);

} // namespace orv
