// Placeholder until the adjustments are built.
#include "imaging/image_buffer.h"

namespace orv {
void ImageBuffer::AdjustBrightnessContrast(float, float) {}
void ImageBuffer::AdjustGamma(double) {}
void ImageBuffer::ReduceColours(int, bool, bool, bool) {}
} // namespace orv
