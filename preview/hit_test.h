#pragma once
// Clicks on the preview mapped back to what the screen shows there: the Start flag, the two
// pop-up icons of the title bar and the theme elements. Positions are pixels of the 240 x 320
// handheld screen; a point off the screen hits nothing.

#include "theme/theme_model.h"

#include <QPoint>
#include <QPointF>

namespace orv {

enum class HitKind { None, StartFlag, Element, MessageToggle, ImportantToggle };

struct PreviewHit {
    HitKind kind = HitKind::None;
    int element = -1; // for HitKind::Element
};

// The regions are laid out so that one click meets at most one of them; the flags decide
// which of the pop-up bands and the Today text and lines are live.
PreviewHit hitTest(int column, int row, const Theme& theme);

// The screen pixel under a point of a preview drawn `scale` times larger.
QPoint screenPixelOf(QPointF point, int scale);

} // namespace orv
