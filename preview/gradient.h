#pragma once
// The horizontal two-colour gradient of the title bar and of the pop-up title bands.

#include "imaging/image_buffer.h"

namespace orv {

// Re-creates target (24 bits, width x height, white) and paints its top 50 rows from the
// left colour to the right colour: column x takes left + x * step per channel, with the step
// (right - left) / width in single precision and ties rounded to even, so the last column
// stays one step short of the right colour. Rows from 50 down stay white.
void DoGradient(Colour left, Colour right, ImageBuffer& target, int width, int height);

} // namespace orv
