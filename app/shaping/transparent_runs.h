#pragma once
// The scan of a picture for runs of the transparent colour, and the outline that is left
// when the runs are taken out of the starting rectangle. Runs never continue from one row
// into the next and are never merged across rows.

#include "theme/colour.h"

#include <QImage>
#include <QRegion>
#include <vector>

namespace orv {

struct TransparentRun {
    int y = 0;
    int first = 0; // first transparent column
    int last = 0;  // last transparent column, inclusive
    bool operator==(const TransparentRun&) const = default;
};

// The runs of `colour` in the top-left `area` of the picture, row by row, left to right.
// Pixels outside the picture never match, nor does a colour outside 0..0xFFFFFF.
std::vector<TransparentRun> scanTransparentRuns(const QImage& picture, QSize area, Colour colour);

// The region difference of `start` and every run's one-pixel-high rectangle. Built row by
// row rather than one subtraction per run, so a picture of a few hundred rows shapes in
// microseconds; equal rows are joined into one band, as the window system stores regions.
QRegion subtractRuns(const QRect& start, const std::vector<TransparentRun>& runs);

} // namespace orv
