// Picture files: reading bmp, png, jpg, gif through Qt and pcx and tga through
// GraphicsMagick, writing PNG and JPEG whole or not at all.
//
// Pictures come from users and from packages, so nothing is decoded before its size is
// known and found reasonable: a header may claim any size it likes.
#include "app/errors.h"
#include "app/safe_write.h"
#include "imaging/image_buffer.h"
#include "imaging/image_buffer_files.h"
#include "imaging/magick_decoder.h"
#include "imaging/picture_limits.h"
#include "imaging/picture_probe.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace orv {

namespace {

// Real encoders write a few dozen scans at most; each scan makes the decoder pass over the
// whole picture again, so a file of thousands of empty scans costs hours.
constexpr int kMaxJpegScans = 500;

AppError unreadable(const QString& path)
{
    return AppError(kErrBadPicture, "Picbuf",
                    "Cannot read the picture " + QFileInfo(path).fileName());
}

AppError tooLarge(const QString& path, qint64 w, qint64 h)
{
    return AppError(kErrBadPicture, "Picbuf",
                    QString("The picture %1 is too large (%2 by %3 pixels)")
                        .arg(QFileInfo(path).fileName())
                        .arg(w)
                        .arg(h));
}

AppError invalidPicture()
{
    return AppError(kErrBadPicture, "Picbuf", "Invalid picture");
}

// Qt's own ceiling (128 MB by default) would refuse a 36-megapixel photo that our limits
// allow; it is raised to what a picture at the pixel limit needs in the widest form a
// decoder may choose (eight bytes a pixel), so our limits decide alone.
void allowPicturesUpToTheLimit()
{
    static std::once_flag once;
    std::call_once(once, [] {
        QImageReader::setAllocationLimit(int(kMaxPicturePixels * 8 / (1024 * 1024)) + 1);
    });
}

// Opens a picture only when it is a regular file: a pipe would block the open or the read
// for ever and a device would be read to the size cap. The open itself does not wait.
QByteArray readPictureFile(const QString& path, qint64 maxBytes)
{
    if (path.isEmpty()) throw unreadable(path);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw unreadable(path);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw unreadable(path);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw unreadable(path);
    }
    return file.read(maxBytes);
}

// What the walk of a JPEG's segments found.
struct JpegLayout {
    bool whole = false;        // the end marker of the first picture is reached
    int scans = 0;             // start-of-scan segments on the way
    uchar frame = 0;           // the start-of-frame marker (0xC0 baseline, 0xC2 progressive...)
    bool endFollowsScan = false; // the end marker comes straight after the last scan's data
};

// A JPEG that stops early decodes "successfully" with grey filling the rest, so the file
// must reach the end marker of its first picture. The segments are walked from the start:
// each names its length, and the coded data after a start of scan runs to the first marker
// that is neither a stuffed zero nor a restart. Whatever follows the end marker (a phone
// appends its video there) is not part of the picture.
//
// Scans are counted on the way: past kMaxJpegScans the walk stops (scans then says so).
JpegLayout jpegLayout(const QByteArray& data)
{
    JpegLayout layout;
    const auto* b = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype n = data.size();
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8) return layout;
    qsizetype i = 2;
    bool afterScan = false;
    for (;;) {
        if (i >= n || b[i] != 0xFF) return layout;
        while (i < n && b[i] == 0xFF) ++i; // fill bytes before a marker
        if (i >= n) return layout;
        const uchar marker = b[i++];
        if (marker == 0xD9) {
            layout.whole = true;
            layout.endFollowsScan = afterScan;
            return layout;
        }
        afterScan = false;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue; // no length
        if (marker == 0x00 || marker == 0xD8) return layout;
        if (i + 2 > n) return layout;
        const qsizetype length = b[i] << 8 | b[i + 1];
        if (length < 2 || i + length > n) return layout;
        i += length;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
                           marker != 0xCC;
        if (frame && layout.frame == 0) layout.frame = marker;
        if (marker != 0xDA) continue;
        if (++layout.scans > kMaxJpegScans) return layout;
        for (;;) {
            const void* ff = std::memchr(b + i, 0xFF, size_t(n - i));
            if (!ff) return layout;
            i = static_cast<const uchar*>(ff) - b;
            if (i + 1 >= n) return layout;
            const uchar next = b[i + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                i += 2;
                continue;
            }
            if (next == 0xFF) {
                ++i;
                continue;
            }
            break; // a marker: back to the segment walk
        }
        afterScan = true;
    }
}

// Whether the top-left part of a JPEG decoded alone has exactly the pixels and the outcome
// of the whole decode. libjpeg gives out rows in order and each row the same whatever comes
// after it, so the part's rows are those of the whole. What a part decode skips is the rest
// of the coded data and the markers after it: in Huffman-coded data a fault is only ever a
// warning, and a picture of several scans (progressive) is read to its end before the first
// row comes out anyway. So the whole decode could still fail only on a marker between the
// last scan and the end; with the end marker straight after the data there is none.
bool topLeftDecodeIsExact(const JpegLayout& layout)
{
    const bool huffman = layout.frame == 0xC0 || layout.frame == 0xC1 || layout.frame == 0xC2;
    return layout.whole && huffman && layout.endFollowsScan && layout.scans >= 1;
}

quint32 le32(const QByteArray& d, int at)
{
    const auto* b = reinterpret_cast<const uchar*>(d.constData()) + at;
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

int le16(const QByteArray& d, int at)
{
    const auto* b = reinterpret_cast<const uchar*>(d.constData()) + at;
    return b[0] | b[1] << 8;
}

// A bitmap cut short decodes with its missing rows left blank: the file must hold every
// row its header promises.
bool bmpIsWhole(const QByteArray& data)
{
    if (data.size() < 34) return false;
    const qint64 offset = le32(data, 10);
    const qint64 headerSize = le32(data, 14);
    qint64 width, height, bits, compression = 0;
    if (headerSize == 12) { // OS/2 core header
        width = le16(data, 18);
        height = le16(data, 20);
        bits = le16(data, 24);
    } else {
        width = qint32(le32(data, 18));
        height = qint32(le32(data, 22));
        bits = le16(data, 28);
        compression = le32(data, 30);
    }
    if (compression != 0 && compression != 3) {
        const qint64 imageSize = data.size() >= 38 ? le32(data, 34) : 0;
        return offset + imageSize <= data.size();
    }
    const qint64 stride = ((std::abs(width) * bits + 31) / 32) * 4;
    return offset + stride * std::abs(height) <= data.size();
}

// Qt decodes these by content; anything else (Qt would also take icons and cursors, which
// a TGA header can pass for) is left to GraphicsMagick's PCX and TGA readers.
// topLeft, when not empty: only that top-left part is needed, and a JPEG whose part decodes
// exactly as in the whole picture is decoded only that far (the picture returned is then
// just the part). Anything else is read whole.
std::optional<QImage> readWithQt(const QByteArray& data, const QString& path, QSize topLeft)
{
    allowPicturesUpToTheLimit();
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "bmp" && format != "gif")
        return std::nullopt;

    const QSize size = reader.size();
    if (size.isValid() && !pictureSizeAcceptable(size.width(), size.height()))
        throw tooLarge(path, size.width(), size.height());
    // The GIF reader paints every frame on a canvas of the logical screen's size.
    if (format == "gif" && data.size() >= 10) {
        const int w = le16(data, 6), h = le16(data, 8);
        if (!pictureSizeAcceptable(w, h)) throw tooLarge(path, w, h);
    }
    if (format == "jpeg") {
        const JpegLayout layout = jpegLayout(data);
        if (layout.scans > kMaxJpegScans) throw invalidPicture();
        if (!layout.whole) throw unreadable(path);
        const QRect part = QRect(QPoint(0, 0), topLeft).intersected(QRect(QPoint(0, 0), size));
        if (!part.isEmpty() && part.size() != size && topLeftDecodeIsExact(layout))
            reader.setClipRect(part);
    }
    if (format == "bmp" && !bmpIsWhole(data)) throw unreadable(path);

    QImage image = reader.read();
    if (image.isNull()) throw unreadable(path);
    if (!pictureSizeAcceptable(image.width(), image.height()))
        throw tooLarge(path, image.width(), image.height());
    return image;
}

// PCX starts with 0x0A, a version byte and encoding 1. TGA has no signature: its header
// must at least name a known picture type and a sane pixel depth.
QString magickFormatOf(const QByteArray& data, const QString& path)
{
    const auto* b = reinterpret_cast<const uchar*>(data.constData());
    const QString ext = QFileInfo(path).suffix().toLower();
    if (data.size() >= 128 && b[0] == 0x0A && b[1] <= 5 && b[2] == 1) return "PCX";
    if (ext == "pcx") return "PCX";
    if (data.size() >= 18) {
        const int colourMapType = b[1];
        const int type = b[2];
        const int depth = b[16];
        const bool knownType = type == 1 || type == 2 || type == 3 || type == 9 || type == 10 ||
                               type == 11;
        const bool knownDepth = depth == 8 || depth == 15 || depth == 16 || depth == 24 ||
                                depth == 32;
        if (colourMapType <= 1 && knownType && knownDepth) return "TGA";
    }
    return {};
}

QImage readWithMagick(const QByteArray& data, const QString& path)
{
    const QString format = magickFormatOf(data, path);
    if (format.isEmpty() || data.size() < 18) throw unreadable(path);
    // Both headers give the size up front: refuse a huge one before the decoder sees it.
    const qint64 claimedW = format == "PCX" ? le16(data, 8) - le16(data, 4) + 1 : le16(data, 12);
    const qint64 claimedH = format == "PCX" ? le16(data, 10) - le16(data, 6) + 1 : le16(data, 14);
    if (claimedW > 0 && claimedH > 0 && !pictureSizeAcceptable(claimedW, claimedH))
        throw tooLarge(path, claimedW, claimedH);
    const MagickDecodeFunction decode = magickDecoder();
    if (!decode) throw unreadable(path);
    QImage out;
    qint64 w = claimedW, h = claimedH;
    switch (decode(data, format, pictureSizeAcceptable, out, w, h)) {
    case MagickOutcome::Decoded: return out;
    case MagickOutcome::TooLarge: throw tooLarge(path, w, h);
    case MagickOutcome::Unreadable: break;
    }
    throw unreadable(path);
}

// Transparent parts of a picture show as white, as on the handheld's blank background.
QImage flattened(const QImage& image)
{
    if (!image.hasAlphaChannel()) return image;
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, image);
    return out;
}

} // namespace

bool pictureSizeAcceptable(qint64 width, qint64 height)
{
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

void refuseOversizedPicture(const QString& path)
{
    // Headers sit at the start; a JPEG's size follows its metadata (at most 64 KB a segment,
    // a few segments in practice).
    constexpr qint64 kHeadBytes = 1024 * 1024;
    QByteArray head;
    try {
        head = readPictureFile(path, kHeadBytes);
    } catch (const AppError&) {
        return; // not a readable file: the load says so
    }
    allowPicturesUpToTheLimit();
    QBuffer buffer(&head);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format == "png" || format == "jpeg" || format == "bmp" || format == "gif") {
        const QSize size = reader.size();
        if (size.isValid() && !pictureSizeAcceptable(size.width(), size.height()))
            throw tooLarge(path, size.width(), size.height());
        if (format == "gif" && head.size() >= 10) {
            const int w = le16(head, 6), h = le16(head, 8);
            if (!pictureSizeAcceptable(w, h)) throw tooLarge(path, w, h);
        }
        return;
    }
    const QString magick = magickFormatOf(head, path);
    if (magick.isEmpty() || head.size() < 18) return;
    const qint64 w = magick == "PCX" ? le16(head, 8) - le16(head, 4) + 1 : le16(head, 12);
    const qint64 h = magick == "PCX" ? le16(head, 10) - le16(head, 6) + 1 : le16(head, 14);
    if (w > 0 && h > 0 && !pictureSizeAcceptable(w, h)) throw tooLarge(path, w, h);
}

// The format is found from the content whatever FileFormat says (packages carry pictures
// under names that do not match them). LoadFitFlag needs nothing here: the fitting copy
// scales the whole picture.
namespace {

QImage readPicture(const QString& path, QSize topLeft)
{
    const QByteArray data = readPictureFile(path, kMaxPictureFileBytes + 1);
    if (data.isEmpty() || data.size() > kMaxPictureFileBytes) throw unreadable(path);

    QImage image;
    if (auto viaQt = readWithQt(data, path, topLeft))
        image = *viaQt;
    else
        image = readWithMagick(data, path);
    return flattened(image);
}

} // namespace

void ImageBuffer::LoadFile() { setPicture(readPicture(FileName, QSize())); }

void LoadFileTopLeft(ImageBuffer& b, QSize part) { b.setPicture(readPicture(b.FileName, part)); }

namespace {

QByteArray saveFormat(int fileFormat, const QString& path)
{
    switch (fileFormat) {
    case 7: return "jpeg";
    case 9: return "png";
    case 0: {
        const QString ext = QFileInfo(path).suffix().toLower();
        return (ext == "jpg" || ext == "jpeg") ? "jpeg" : ext == "bmp" ? "bmp" : "png";
    }
    default: throw AppError(380, "Picbuf", "Invalid property value");
    }
}

// Both ways of saving write through this one writer, so the bytes are the same.
bool writePicture(QIODevice& out, const QImage& image, const QByteArray& format, int quality)
{
    QImageWriter writer(&out, format);
    if (format == "jpeg") writer.setQuality(quality > 0 ? std::min(quality, 100) : -1);
    // An 8-bit picture goes out as an 8-bit (palette) PNG, as the package reader expects.
    return writer.write(image);
}

} // namespace

void ImageBuffer::SaveFile()
{
    const QString path = FileName;
    const AppError failed(75, "Picbuf", "Path/File access error: " + path);
    if (image_.isNull() || path.isEmpty()) throw failed;
    const QByteArray format = saveFormat(FileFormat, path);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw failed;
    if (!writePicture(file, image_, format, SaveQuality)) file.cancelWriting();
    if (!commitWhole(file)) throw failed;
}

QByteArray SavedBytes(const ImageBuffer& b)
{
    const QString path = b.FileName;
    const AppError failed(75, "Picbuf", "Path/File access error: " + path);
    if (b.image().isNull() || path.isEmpty()) throw failed;
    const QByteArray format = saveFormat(b.FileFormat, path);

    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    if (!writePicture(out, b.image(), format, b.SaveQuality)) throw failed;
    return bytes;
}

} // namespace orv
