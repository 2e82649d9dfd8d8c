#pragma once
// Pictures and checksums the picture tests share.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <gtest/gtest.h>

namespace orv::test {

// A picture whose every pixel differs from its neighbours, so misplaced rows or columns show;
// the seed shifts it, so two pictures of the same size can be told apart.
inline QImage pattern(int w, int h, int seed = 0)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7 + seed) & 0xFF, (y * 5) & 0xFF, (x + y + seed) & 0xFF));
    return img;
}

// The picture encoded as a file of the given format (quality -1: the format's default).
inline QByteArray encode(const QImage& img, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, format);
    if (quality >= 0) w.setQuality(quality);
    EXPECT_TRUE(w.write(img)) << format;
    return bytes;
}

// CRC-32 (the zlib polynomial), to compare files without keeping them.
inline quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : bytes) {
        crc ^= uchar(ch);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

} // namespace orv::test
