// Placeholder until picture files are built.
#include "imaging/image_buffer.h"
#include "app/errors.h"

namespace orv {
void ImageBuffer::LoadFile() { throw AppError(kErrBadPicture, "Picbuf", "Cannot read picture"); }
void ImageBuffer::SaveFile() { throw AppError(75, "Picbuf", "Cannot write picture"); }
} // namespace orv
