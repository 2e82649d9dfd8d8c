#pragma once
// Gamma, brightness and contrast applied together, as the preview and the saved packages
// apply them: gamma first.

#include "imaging/image_buffer.h"

namespace orv {

// AdjustGamma, then AdjustBrightnessContrast, inside the buffer's rectangle, in one pass over
// the pixels: the same result as the two calls.
void adjustInOnePass(ImageBuffer& buffer, double gamma, float brightness, float contrast);

} // namespace orv
