#pragma once
// Window outlines: an ellipse, a rectangle or a rounded rectangle cut from the window.

#include "app/interaction.h"

#include <QRegion>
#include <QSize>
#include <optional>
#include <vector>

namespace orv {

// The outline for shape code 1 (ellipse), 2 (rectangle) or 3 and 4 (rounded rectangle:
// left, top, right, bottom, corner width, corner height), intersected with the whole
// window. An unknown code shows "Unknown Shape!"; any other failure shows the
// "ATTENTION!" box. Both give nullopt, as the routine's false.
std::optional<QRegion> ShapeWindow(int code, const std::vector<int>& rect, QSize window,
                                   UserInteraction& ui);

// The main window's rounded outline: the frame's borders b and t from the window and
// client sizes, corners of 30 pixels.
std::optional<QRegion> ShapeMainWindow(QSize window, QSize client, UserInteraction& ui);

} // namespace orv
