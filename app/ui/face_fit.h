#pragma once
// The face at the desktop's font size: the face is drawn for a 96 DPI font, and a larger
// font must never make controls overlap or cut a caption. The face grows instead.

#include <QSize>
#include <QString>

class QWidget;

namespace orv {

// Grows every visible control on `face` to what its text needs and moves down whatever then
// overlaps the control above it. Controls from row `footTop` down belong to the face's foot
// band: they keep their distance from the bottom edge and grow upwards. Returns the face
// size that holds everything; the face itself is not resized.
QSize fitFaceToText(QWidget* face, int footTop);

// Double Size is offered only when the doubled window, frame included, fits the screen's
// free area: the reason it is not, or an empty text.
QString refusalToDouble(QSize doubledWindow, QSize available);

} // namespace orv
