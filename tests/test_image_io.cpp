// Picture files read into and written from image buffers.
#include "app/errors.h"
#include "imaging/image_buffer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include "support/test_pictures.h"

using namespace orv;
using orv::test::crc32;
using orv::test::encode;
using orv::test::pattern;

namespace {

void put16(QByteArray& b, int v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

// Uncompressed (type 2) or run-length (type 10) 24-bit TGA; top-down or bottom-up rows.
QByteArray tga(const QImage& img, bool rle, bool topDown)
{
    QByteArray b;
    b.append(char(0)).append(char(0)).append(char(rle ? 10 : 2));
    b.append(QByteArray(5, '\0'));
    put16(b, 0);
    put16(b, 0);
    put16(b, img.width());
    put16(b, img.height());
    b.append(char(24)).append(char(topDown ? 0x20 : 0x00));
    for (int i = 0; i < img.height(); ++i) {
        const int y = topDown ? i : img.height() - 1 - i;
        if (!rle) {
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
            }
            continue;
        }
        // Runs of equal pixels as run packets, everything else as one-pixel raw packets.
        int x = 0;
        while (x < img.width()) {
            int n = 1;
            while (x + n < img.width() && n < 128 && img.pixel(x + n, y) == img.pixel(x, y)) ++n;
            const QRgb c = img.pixel(x, y);
            b.append(char(n > 1 ? 0x80 | (n - 1) : 0));
            b.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
            x += n;
        }
    }
    return b;
}

// 24-bit PCX (three planes of 8 bits, run-length encoded).
QByteArray pcx(const QImage& img)
{
    const int bytesPerLine = (img.width() + 1) & ~1;
    QByteArray b;
    b.append(char(0x0A)).append(char(5)).append(char(1)).append(char(8));
    put16(b, 0);
    put16(b, 0);
    put16(b, img.width() - 1);
    put16(b, img.height() - 1);
    put16(b, 72);
    put16(b, 72);
    b.append(QByteArray(48, '\0'));
    b.append(char(0)).append(char(3));
    put16(b, bytesPerLine);
    put16(b, 1);
    b.append(QByteArray(128 - b.size(), '\0'));
    for (int y = 0; y < img.height(); ++y) {
        for (int plane = 0; plane < 3; ++plane) {
            QByteArray line(bytesPerLine, '\0');
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                line[x] = char(plane == 0 ? qRed(c) : plane == 1 ? qGreen(c) : qBlue(c));
            }
            for (int x = 0; x < bytesPerLine;) {
                int n = 1;
                while (x + n < bytesPerLine && n < 63 && line[x + n] == line[x]) ++n;
                const uchar v = uchar(line[x]);
                if (n > 1 || v >= 0xC0) b.append(char(0xC0 | n));
                b.append(char(v));
                x += n;
            }
        }
    }
    return b;
}

// A well-formed PNG header claiming width by height, followed by a tiny picture's data.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = encode(pattern(4, 4), "png");
    // IHDR: length at 8, type at 12, data at 16 (width, height big-endian), CRC at 29.
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = char((width >> (24 - 8 * i)) & 0xFF);
        png[20 + i] = char((height >> (24 - 8 * i)) & 0xFF);
    }
    const quint32 crc = crc32(png.mid(12, 17));
    for (int i = 0; i < 4; ++i) png[29 + i] = char((crc >> (24 - 8 * i)) & 0xFF);
    return png;
}

int maxChannelDiff(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

class ImageFilesTest : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    // Loads into a buffer holding a known picture; returns the error (number 0 = none).
    AppError load(const QString& path)
    {
        buffer.Create(24, 3, 2, kPureBlue);
        buffer.FileName = path;
        try {
            buffer.LoadFile();
        } catch (const AppError& e) {
            return e;
        }
        return AppError(0, {}, {});
    }

    void expectSamePixels(const QImage& want, int tolerance = 0)
    {
        ASSERT_EQ(buffer.ImageWidth(), want.width());
        ASSERT_EQ(buffer.ImageHeight(), want.height());
        int worst = 0;
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x)
                worst = std::max(worst, maxChannelDiff(toQRgb(buffer.pixel(x, y)), want.pixel(x, y)));
        EXPECT_LE(worst, tolerance);
    }

    void expectUntouched()
    {
        EXPECT_EQ(buffer.ImageWidth(), 3);
        EXPECT_EQ(buffer.ImageHeight(), 2);
        EXPECT_EQ(buffer.pixel(2, 1), kPureBlue);
    }

    QTemporaryDir dir;
    ImageBuffer buffer;
};

} // namespace

TEST_F(ImageFilesTest, ReadsEachImportFormatPixelForPixel)
{
    const QImage img = pattern(37, 23); // odd sizes: padded rows in bmp and pcx
    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"a.bmp", encode(img, "bmp")},
        {"a.png", encode(img, "png")},
        {"a.pcx", pcx(img)},
        {"a.tga", tga(img, false, true)},
        {"bottom-up.tga", tga(img, false, false)},
        {"rle.tga", tga(img, true, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(load(write(c.name, c.bytes)).number(), 0);
        EXPECT_EQ(buffer.BitsPerPixel(), 24);
        expectSamePixels(img);
        // A new picture covers the working rectangle whole.
        EXPECT_EQ(buffer.RectWidth, 37);
        EXPECT_EQ(buffer.RectHeight, 23);
    }
}

TEST_F(ImageFilesTest, ReadsJpegAndPaletteAndTransparentPictures)
{
    QImage flat(40, 30, QImage::Format_RGB32);
    flat.fill(qRgb(200, 60, 30));
    EXPECT_EQ(load(write("a.jpg", encode(flat, "jpeg", 95))).number(), 0);
    expectSamePixels(flat, 6);

    const QImage indexed = pattern(20, 10).convertToFormat(QImage::Format_Indexed8);
    EXPECT_EQ(load(write("p.png", encode(indexed, "png"))).number(), 0);
    EXPECT_EQ(buffer.BitsPerPixel(), 8);
    expectSamePixels(indexed);

    // Transparent parts of a picture become white, half-transparent ones lighter.
    QImage alpha(4, 1, QImage::Format_ARGB32);
    alpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
    alpha.setPixel(1, 0, qRgba(255, 0, 0, 255));
    alpha.setPixel(2, 0, qRgba(0, 0, 0, 0));
    alpha.setPixel(3, 0, qRgba(0, 0, 255, 255));
    EXPECT_EQ(load(write("t.png", encode(alpha, "png"))).number(), 0);
    EXPECT_EQ(buffer.pixel(0, 0), kWhite);
    EXPECT_EQ(buffer.pixel(1, 0), kPureRed);
    EXPECT_EQ(buffer.pixel(3, 0), kPureBlue);
}

// A phone photo may carry its video after the picture's end marker; only the picture counts.
TEST_F(ImageFilesTest, ReadsAJpegUpToItsEndMarkerWhateverFollows)
{
    QImage flat(40, 30, QImage::Format_RGB32);
    flat.fill(qRgb(30, 160, 90));
    QByteArray progressive;
    {
        QBuffer buf(&progressive);
        buf.open(QIODevice::WriteOnly);
        QImageWriter w(&buf, "jpeg");
        w.setProgressiveScanWrite(true);
        ASSERT_TRUE(w.write(flat));
    }
    QByteArray tail(300 * 1024, '\0');
    quint32 seed = 12345;
    for (char& c : tail) c = char((seed = seed * 1103515245u + 12345u) >> 24);
    tail.replace(0, 4, QByteArray("\xFF\xDA\x00\x08", 4)); // a scan marker in the video
    const QByteArray jpg = encode(flat, "jpeg", 95);
    struct Case {
        const char* name;
        QByteArray bytes;
        bool readable;
    } cases[] = {
        {"video.jpg", jpg + tail, true},
        {"progressive.jpg", progressive, true},
        {"progressive-video.jpg", progressive + tail, true},
        {"progressive-cut.jpg", progressive.left(progressive.size() - 40), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AppError e = load(write(c.name, c.bytes));
        if (c.readable) {
            EXPECT_EQ(e.number(), 0) << e.description().toStdString();
            expectSamePixels(flat, 6);
        } else {
            EXPECT_EQ(e.description(), QString("Cannot read the picture ") + c.name);
            expectUntouched();
        }
    }
}

TEST_F(ImageFilesTest, FindsTheFormatFromTheContentNotTheName)
{
    const QImage img = pattern(9, 8);
    EXPECT_EQ(load(write("tdywater.png", encode(img, "bmp"))).number(), 0);
    expectSamePixels(img);
    EXPECT_EQ(load(write("picture.bmp", pcx(img))).number(), 0);
    expectSamePixels(img);
    EXPECT_EQ(load(write("0stwater.png", tga(img, true, true))).number(), 0);
    expectSamePixels(img);
}

TEST_F(ImageFilesTest, RefusesBrokenPicturesAndKeepsThePictureItHeld)
{
    const QImage img = pattern(64, 48);
    const QByteArray png = encode(img, "png");
    const QByteArray jpg = encode(img, "jpeg", 90);
    const QByteArray bmp = encode(img, "bmp");
    const QByteArray tgaBytes = tga(img, true, true);
    const QByteArray pcxBytes = pcx(img);
    QByteArray garbage(4000, '\0');
    for (int i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 131 + 7) % 251);

    struct Case {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty.png", QByteArray()},
        {"garbage.png", garbage},
        {"text.tga", QByteArray("not a picture at all, just some words in a file")},
        {"truncated.png", png.left(png.size() / 2)},
        {"truncated.jpg", jpg.left(jpg.size() / 2)},
        {"truncated.bmp", bmp.left(bmp.size() / 2)},
        {"truncated.tga", tgaBytes.left(tgaBytes.size() / 2)},
        {"truncated.pcx", pcxBytes.left(300)},
        {"header-only.png", png.left(33)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AppError e = load(write(c.name, c.bytes));
        EXPECT_EQ(e.number(), kErrBadPicture);
        EXPECT_EQ(e.description(), QString("Cannot read the picture ") + c.name);
        expectUntouched();
    }

    const AppError missing = load(dir.filePath("nowhere.png"));
    EXPECT_EQ(missing.number(), kErrBadPicture);
    EXPECT_EQ(missing.description(), "Cannot read the picture nowhere.png");
    expectUntouched();
}

TEST_F(ImageFilesTest, RefusesPicturesClaimingAbsurdSizesBeforeDecoding)
{
    const AppError png = load(write("huge.png", pngClaiming(100000, 100000)));
    EXPECT_EQ(png.number(), kErrBadPicture);
    EXPECT_EQ(png.description(), "The picture huge.png is too large (100000 by 100000 pixels)");
    expectUntouched();

    // A TGA header of 60000 by 60000 with a few bytes of pixels.
    QByteArray t = tga(pattern(2, 2), false, true);
    t[12] = char(60000 & 0xFF);
    t[13] = char(60000 >> 8);
    t[14] = char(60000 & 0xFF);
    t[15] = char(60000 >> 8);
    const AppError big = load(write("huge.tga", t));
    EXPECT_EQ(big.number(), kErrBadPicture);
    EXPECT_EQ(big.description(), "The picture huge.tga is too large (60000 by 60000 pixels)");
    expectUntouched();
}

TEST_F(ImageFilesTest, SavesPngWholeAndKeepsEightBitPicturesEightBit)
{
    buffer.setPicture(pattern(30, 20));
    buffer.FileName = dir.filePath("out.png");
    buffer.FileFormat = 9;
    buffer.SaveFile();
    QImageReader back(buffer.FileName);
    EXPECT_EQ(back.format(), "png");
    EXPECT_EQ(back.read().convertToFormat(QImage::Format_RGB32), pattern(30, 20));

    buffer.setPicture(pattern(30, 20).convertToFormat(QImage::Format_Indexed8));
    ASSERT_EQ(buffer.BitsPerPixel(), 8);
    buffer.FileName = dir.filePath("eight.png");
    buffer.SaveFile();
    const QImage eight(buffer.FileName);
    EXPECT_EQ(eight.format(), QImage::Format_Indexed8);
    EXPECT_EQ(eight.convertToFormat(QImage::Format_RGB32),
              buffer.image().convertToFormat(QImage::Format_RGB32));
    // Nothing but the picture is left in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

TEST_F(ImageFilesTest, SavesJpegAtTheAskedQuality)
{
    buffer.setPicture(pattern(120, 90));
    buffer.FileFormat = 7;
    buffer.FileName = dir.filePath("q90.jpg");
    buffer.SaveQuality = 90;
    buffer.SaveFile();
    buffer.FileName = dir.filePath("q10.jpg");
    buffer.SaveQuality = 10;
    buffer.SaveFile();
    EXPECT_EQ(QImageReader(dir.filePath("q90.jpg")).format(), "jpeg");
    EXPECT_GT(QFileInfo(dir.filePath("q90.jpg")).size(), 2 * QFileInfo(dir.filePath("q10.jpg")).size());
}

TEST_F(ImageFilesTest, AFailedSaveLeavesNoFileAndSaysWhere)
{
    buffer.setPicture(pattern(8, 8));
    buffer.FileFormat = 9;
    buffer.FileName = dir.filePath("no-such-folder/out.png");
    try {
        buffer.SaveFile();
        FAIL() << "saved into a missing folder";
    } catch (const AppError& e) {
        EXPECT_EQ(e.description(), "Path/File access error: " + buffer.FileName);
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    // An empty buffer writes nothing, even over an existing file.
    const QString kept = write("kept.png", "old bytes");
    ImageBuffer empty;
    empty.FileName = kept;
    empty.FileFormat = 9;
    EXPECT_THROW(empty.SaveFile(), AppError);
    QFile f(kept);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("old bytes"));
}
