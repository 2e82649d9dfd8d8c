// Feeds arbitrary bytes to the region data reader. It must never read past the bytes nor
// accept a record it would not write itself; whatever region it builds must be non-empty,
// inside the coordinate limits, and survive a write and a read back pixel for pixel.
#include "app/shaping/region_data.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QRegion> region = orv::regionFromData(bytes);
    if (!region) return 0;
    if (region->isEmpty()) std::abort();
    const QRect bound = region->boundingRect();
    if (bound.x() < 0 || bound.y() < 0 || bound.right() >= orv::kRegionMaxCoordinate ||
        bound.bottom() >= orv::kRegionMaxCoordinate)
        std::abort();
    const std::optional<QRegion> again = orv::regionFromData(orv::regionData(*region));
    if (!again || !again->xored(*region).isEmpty()) std::abort();
    return 0;
}
