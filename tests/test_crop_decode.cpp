// A cropped background is made from the top-left part of the picture only, and a large JPEG
// is decoded only that far: the background must still be the one the whole decode gives,
// pixel for pixel, and a picture the whole decode refuses must still be refused.
#include "package_test_kit.h"
#include "support/session_fixture.h"

#include "app/errors.h"
#include "imaging/image_buffer.h"
#include "imaging/image_buffer_files.h"

#include <QDir>
#include <QPainter>

namespace orv::test {
namespace {

const QSize kToday(240, 293);
const QSize kMenu(150, 293);

// Smooth shading with a fixed grain, so every 8 by 8 block of the JPEG holds real detail.
QImage grainy(int width, int height, quint32 seed)
{
    QImage img(width, height, QImage::Format_RGB32);
    quint32 noise = 2166136261u ^ seed;
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int grain = int(noise >> 27);
            line[x] = qRgb((x * 255 / width + grain) & 0xFF, (y * 255 / height + 2 * grain) & 0xFF,
                           ((x + 2 * y) * 255 / (width + 2 * height) + grain) & 0xFF);
        }
    }
    return img;
}

QByteArray jpeg(const QImage& img, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, "jpeg");
    w.setQuality(88);
    w.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(w.write(img));
    return bytes;
}

// The same JPEG with an EXIF block right after its start marker naming an orientation.
QByteArray withOrientation(const QByteArray& jpegBytes, quint16 orientation)
{
    QByteArray tiff = QByteArray::fromHex("49492a0008000000"      // little-endian header
                                          "0100"                  // one entry
                                          "12010300010000000000"  // Orientation, SHORT, 1
                                          "0000"                  // the value's padding
                                          "00000000");            // no next directory
    tiff[18] = char(orientation & 0xFF);
    tiff[19] = char(orientation >> 8);
    QByteArray app1 = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(app1.size()) + 2;
    QByteArray segment = QByteArray::fromHex("ffe1");
    segment += char(length >> 8);
    segment += char(length & 0xFF);
    segment += app1;
    return jpegBytes.left(2) + segment + jpegBytes.mid(2);
}

// A comment segment between the coded data and the end marker.
QByteArray withCommentBeforeEnd(const QByteArray& jpegBytes)
{
    EXPECT_TRUE(jpegBytes.endsWith(QByteArray::fromHex("ffd9")));
    return jpegBytes.left(jpegBytes.size() - 2) + QByteArray::fromHex("fffe0006") + "note" +
           QByteArray::fromHex("ffd9");
}

// The background a one-to-one crop makes of the whole decoded picture: its top-left pixels
// on white where the picture ends.
QImage croppedFromWhole(const QString& path, QSize background)
{
    ImageBuffer whole;
    whole.FileName = path;
    whole.LoadFile();
    QImage out(background, QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, whole.image());
    return out;
}

class CropDecodeTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        ui.boxes.clear();
        pictures = home.path() + "/pictures/";
        QDir().mkpath(pictures);
    }

    QString file(const QString& name, const QByteArray& bytes)
    {
        writeBytes(pictures + name, bytes);
        return pictures + name;
    }

    bool load(bool main, const QString& path, FitChoice fit)
    {
        ui.fileAnswers.push_back(path);
        ui.fitAnswers.push_back(fit);
        return main ? session->LoadMainImage() : session->LoadMenuImage();
    }

    QString pictures;
};

TEST_F(CropDecodeTest, CroppedBackgroundsAreThoseOfTheWholeDecode)
{
    const QByteArray photo = jpeg(grainy(1200, 900, 1));
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"baseline.jpg", photo},
        {"rotated.jpg", withOrientation(photo, 6)},
        {"upside-down.jpg", withOrientation(photo, 3)},
        {"mirrored.jpg", withOrientation(photo, 2)},
        {"progressive.jpg", jpeg(grainy(1000, 700, 2), true)},
        {"grey.jpg", jpeg(grainy(900, 800, 3).convertToFormat(QImage::Format_Grayscale8))},
        {"odd-size.jpg", jpeg(grainy(1001, 777, 4))},
        {"narrow.jpg", jpeg(grainy(200, 1000, 5))},
        {"short.jpg", jpeg(grainy(1000, 200, 6))},
        {"comment-before-end.jpg", withCommentBeforeEnd(jpeg(grainy(800, 600, 7)))},
        {"trailing-bytes.jpg", jpeg(grainy(800, 600, 8)) + QByteArray(300, '\x5a')},
        {"png.png", encode(grainy(700, 500, 9), "png")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = file(c.name, c.bytes);
        ASSERT_TRUE(load(true, path, FitChoice::Crop));
        EXPECT_TRUE(samePixels(session->canvas.oPicBufToday.image(), croppedFromWhole(path, kToday)));
        ASSERT_TRUE(load(false, path, FitChoice::Crop));
        EXPECT_TRUE(samePixels(session->canvas.oPicBufMenu.image(), croppedFromWhole(path, kMenu)));
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CropDecodeTest, OnlyTheTopLeftOfALargeJpegIsDecodedWhereThatIsExact)
{
    const QByteArray photo = jpeg(grainy(1200, 900, 11));
    const struct {
        const char* name;
        QByteArray bytes;
        QSize kept; // the picture the buffer keeps: the part, or the whole when read whole
    } cases[] = {
        {"baseline.jpg", photo, kToday},
        {"rotated.jpg", withOrientation(photo, 8), kToday},
        {"progressive.jpg", jpeg(grainy(1200, 900, 12), true), kToday},
        {"narrow.jpg", jpeg(grainy(200, 1000, 13)), QSize(200, 293)},
        // A marker after the coded data could fail the whole decode: read whole.
        {"comment-before-end.jpg", withCommentBeforeEnd(photo), QSize(1200, 900)},
        // Nothing to gain on a picture no larger than the part.
        {"small.jpg", jpeg(grainy(240, 293, 14)), kToday},
        {"png.png", encode(grainy(700, 500, 15), "png"), QSize(700, 500)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = file(c.name, c.bytes);
        ImageBuffer part;
        part.FileName = path;
        LoadFileTopLeft(part, kToday);
        EXPECT_EQ(part.image().size(), c.kept);
        ImageBuffer whole;
        whole.FileName = path;
        whole.LoadFile();
        const QRect common = QRect(QPoint(0, 0), kToday).intersected(whole.image().rect());
        EXPECT_TRUE(samePixels(part.image().copy(common), whole.image().copy(common)));
    }
}

TEST_F(CropDecodeTest, APictureTheWholeDecodeRefusesIsRefusedByThePartDecodeToo)
{
    const QByteArray photo = jpeg(grainy(1200, 900, 21));
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"cut-short.jpg", photo.left(photo.size() * 2 / 3)},
        {"no-end.jpg", photo.left(photo.size() - 2)},
        {"second-start.jpg", photo.left(photo.size() - 2) + QByteArray::fromHex("ffd8ffd9")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = file(c.name, c.bytes);
        QString wholeError, partError;
        try {
            ImageBuffer whole;
            whole.FileName = path;
            whole.LoadFile();
        } catch (const AppError& e) {
            wholeError = QString::number(e.number()) + ' ' + e.description();
        }
        try {
            ImageBuffer part;
            part.FileName = path;
            LoadFileTopLeft(part, kToday);
        } catch (const AppError& e) {
            partError = QString::number(e.number()) + ' ' + e.description();
        }
        EXPECT_FALSE(wholeError.isEmpty());
        EXPECT_EQ(partError, wholeError);
    }
}

} // namespace
} // namespace orv::test
