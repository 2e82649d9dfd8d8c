// liborvantis-magick.so: PCX and TGA pictures through GraphicsMagick, for the programs that
// load it when such a picture comes (imaging/magick_decoder.h).
#include "imaging/magick_decoder.h"
#include "imaging/picture_limits.h"

#include <Magick++.h>

#include <QSysInfo>
#include <mutex>

namespace {

// What a picture at the pixel limit takes in memory as the buffers hold it (four bytes a
// pixel); the decoders are held to it, whatever the format.
constexpr qint64 kMaxPictureBytes = orv::kMaxPicturePixels * 4;

// GraphicsMagick keeps 8 bytes a pixel; held to what a picture at our limit costs us (its
// decoders' own buffers included), the pixel cache of a large picture goes to a temporary
// file instead of doubling the peak.
void initMagick()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Magick::InitializeMagick(nullptr);
        MagickLib::SetMagickResourceLimit(MagickLib::WidthResource, orv::kMaxPictureSide);
        MagickLib::SetMagickResourceLimit(MagickLib::HeightResource, orv::kMaxPictureSide);
        MagickLib::SetMagickResourceLimit(MagickLib::PixelsResource, orv::kMaxPicturePixels);
        MagickLib::SetMagickResourceLimit(MagickLib::MemoryResource, kMaxPictureBytes);
        MagickLib::SetMagickResourceLimit(MagickLib::MapResource, kMaxPictureBytes);
    });
}

} // namespace

extern "C" __attribute__((visibility("default"))) orv::MagickOutcome
orvMagickDecode(const QByteArray& data, const QString& format, bool (*acceptable)(qint64, qint64),
                QImage& out, qint64& w, qint64& h)
{
    using orv::MagickOutcome;
    initMagick();
    try {
        const Magick::Blob blob(data.constData(), size_t(data.size()));
        Magick::Image probe;
        probe.magick(format.toStdString());
        probe.ping(blob);
        w = probe.columns();
        h = probe.rows();
        if (w <= 0 || h <= 0) return MagickOutcome::Unreadable;
        if (!acceptable(w, h)) return MagickOutcome::TooLarge;

        Magick::Image picture;
        picture.read(blob, Magick::Geometry(), format.toStdString());
        if (qint64(picture.columns()) != w || qint64(picture.rows()) != h) return MagickOutcome::Unreadable;
        // Straight into the picture the buffer keeps: 32-bit rows have no padding, and no
        // second copy of the pixels is made on the way.
        out = QImage(int(w), int(h), QImage::Format_RGB32);
        if (out.isNull()) return MagickOutcome::Unreadable;
        const char* order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "BGRA" : "ARGB";
        picture.write(0, 0, unsigned(w), unsigned(h), order, Magick::CharPixel, out.bits());
        // The fourth byte of a 32-bit RGB pixel is always 0xff, as before transparency is
        // dropped for these formats.
        auto* px = reinterpret_cast<quint32*>(out.bits());
        for (qint64 k = 0, n = w * h; k < n; ++k) px[k] |= 0xff000000u;
        return MagickOutcome::Decoded;
    } catch (const Magick::Exception&) {
        return MagickOutcome::Unreadable;
    }
}
