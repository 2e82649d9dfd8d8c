#pragma once
// The region data file: exactly the platform's region data record, a 32-byte header (size
// 32, type 1, rectangle count, size of the rectangle part, bounding rectangle) followed by
// the rectangles, 16 bytes each (left, top, right, bottom; 32-bit signed little-endian).
// Reading never trusts the bytes: anything that is not a sound region gives no region.

#include <QByteArray>
#include <QRegion>
#include <QString>
#include <optional>

namespace orv {

inline constexpr int kRegionHeaderSize = 32;
inline constexpr int kRegionRectSize = 16;
// Limits a sound outline of a window stays within.
inline constexpr int kRegionMaxRects = 1 << 20;
inline constexpr int kRegionMaxCoordinate = 32767;

// The record of a region: its rectangles in the region's own (banded) order.
QByteArray regionData(const QRegion& region);

// The region the bytes describe, or nullopt when they do not form a sound, non-empty
// region: a wrong header size or type, a count that does not match the length, a
// rectangle part size that lies, negative, empty, inverted or oversized rectangles, or
// rectangles outside the bounding rectangle.
std::optional<QRegion> regionFromData(const QByteArray& bytes);

// Reads a region data file. A file that cannot be read raises its error with the source
// `<executable name>.cDIBSectionRegion`; a file that can be read but holds no sound region
// gives nullopt.
std::optional<QRegion> readRegionDataFile(const QString& fileName);

// Writes the bytes whole or not at all: a failed write leaves any earlier file in place.
void writeRegionDataFile(const QString& fileName, const QByteArray& bytes);

} // namespace orv
