#pragma once
// A look at a picture file's header before anything is committed to loading it.

#include <QString>

namespace orv {

// Throws the picture's "too large" error (AppError 20101) when its header claims a size
// beyond the picture limits; reads only the start of the file, and only a regular file.
// Anything else is left to the load, so a file that is not a picture passes.
void refuseOversizedPicture(const QString& path);

} // namespace orv
