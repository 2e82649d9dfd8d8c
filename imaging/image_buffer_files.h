#pragma once
// Two more ways of reading and writing an image buffer's picture file, beside LoadFile and
// SaveFile: for a crop that needs only the picture's top-left part, and for a caller that
// writes the encoded bytes itself.

#include "imaging/image_buffer.h"

#include <QByteArray>
#include <QSize>

namespace orv {

// Reads b.FileName for a one-to-one crop that uses only its top-left `part`: the pixels
// there are exactly those LoadFile gives, and so is every failure. A large JPEG is then
// decoded only as far as the part reaches and the picture kept is just that part; anything
// else is read whole.
void LoadFileTopLeft(ImageBuffer& b, QSize part);

// The bytes SaveFile would write to b.FileName. Throws AppError as SaveFile does when the
// picture cannot be encoded.
QByteArray SavedBytes(const ImageBuffer& b);

} // namespace orv
