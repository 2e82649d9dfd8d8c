// Pictures from users and packages as an attacker makes them: a JPEG of thousands of empty
// scans, a pipe or a device chosen as a picture, headers that claim huge sizes, and large
// TGA and PCX files that GraphicsMagick decodes. And the large pictures that are legitimate:
// every picture within the pixel limit loads, whatever its format.
#include "imaging/image_buffer.h"
#include "imaging/picture_limits.h"
#include "imaging/picture_probe.h"
#include "package_test_kit.h"
#include "support/session_fixture.h"
#include "theme/theme_data_file.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QProcess>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

extern char** environ;

namespace orv::test {
namespace {

// A baseline JPEG with extra empty scans put before its end marker: the segment walk sees
// them all, the decoder would pass over the picture once for each.
QByteArray jpegWithScans(int extraScans)
{
    QByteArray jpg = encode(flatPicture(64, 64), "JPEG", 80);
    const QByteArray emptyScan = QByteArray::fromHex("FFDA000801010000" "3F00");
    QByteArray scans;
    for (int i = 0; i < extraScans; ++i) scans += emptyScan;
    jpg.insert(jpg.size() - 2, scans);
    return jpg;
}

QByteArray progressiveJpeg(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.setQuality(85);
    EXPECT_TRUE(writer.write(image));
    return bytes;
}

quint32 crc32Of(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : data) {
        crc ^= uchar(ch);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray be32(quint32 v)
{
    const char bytes[] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    return QByteArray(bytes, 4);
}

// A PNG whose header claims width by height: the signature, a valid header chunk, an empty
// data chunk and the end chunk; nothing a decoder could fill.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    const QByteArray ihdr = "IHDR" + be32(width) + be32(height) + QByteArray::fromHex("0802000000");
    return QByteArray::fromHex("89504E470D0A1A0A") + be32(13) + ihdr + be32(crc32Of(ihdr)) +
           be32(0) + "IDAT" + be32(crc32Of("IDAT")) + be32(0) + "IEND" + be32(crc32Of("IEND"));
}

// A GIF whose logical screen is width by height, holding one 1 by 1 frame.
QByteArray gifScreen(int width, int height)
{
    QByteArray g = "GIF89a";
    g += char(width & 0xFF); g += char(width >> 8);
    g += char(height & 0xFF); g += char(height >> 8);
    g += QByteArray::fromHex("800000" "000000" "FFFFFF");                 // two-colour table
    g += QByteArray::fromHex("2C" "00000000" "01000100" "00" "02024401" "00" "3B");
    return g;
}

// A 24-bit run-length TGA of one colour: 128-pixel runs, so 7000 by 7000 is a 1.5 MB file.
QByteArray flatTga(int width, int height)
{
    QByteArray t(18, '\0');
    t[2] = 10;
    t[12] = char(width & 0xFF); t[13] = char(width >> 8);
    t[14] = char(height & 0xFF); t[15] = char(height >> 8);
    t[16] = 24;
    const QByteArray run = QByteArray::fromHex("FF" "3080C0"); // 128 pixels
    const QByteArray last = QByteArray::fromHex("3080C0");
    for (int y = 0; y < height; ++y) {
        int left = width;
        while (left >= 128) { t += run; left -= 128; }
        if (left > 0) { t += char(0x80 | (left - 1)); t += last; }
    }
    return t;
}

// A 24-bit (three-plane) run-length PCX of one colour.
QByteArray flatPcx(int width, int height)
{
    QByteArray p(128, '\0');
    p[0] = 0x0A; p[1] = 5; p[2] = 1; p[3] = 8;
    const int right = width - 1, bottom = height - 1;
    p[8] = char(right & 0xFF); p[9] = char(right >> 8);
    p[10] = char(bottom & 0xFF); p[11] = char(bottom >> 8);
    p[65] = 3;
    const int bytesPerLine = width + (width & 1);
    p[66] = char(bytesPerLine & 0xFF); p[67] = char(bytesPerLine >> 8);
    p[68] = 1;
    QByteArray plane;
    for (const char value : {char(0xC0), char(0x80), char(0x30)}) {
        int left = bytesPerLine;
        while (left > 0) {
            const int n = std::min(left, 63);
            plane += char(0xC0 | n);
            plane += value;
            left -= n;
        }
    }
    for (int y = 0; y < height; ++y) p += plane;
    return p;
}

QString load(const QString& path)
{
    ImageBuffer b;
    b.FileName = path;
    try {
        b.LoadFile();
    } catch (const AppError& e) {
        return e.description();
    }
    return QString("%1x%2").arg(b.ImageWidth()).arg(b.ImageHeight());
}

class HostilePictures : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    QString put(const QString& name, const QByteArray& bytes)
    {
        writeBytes(path(name), bytes);
        return path(name);
    }
    QTemporaryDir dir;
};

TEST_F(HostilePictures, AJpegOfMoreScansThanAnyEncoderWritesIsRefusedUndecoded)
{
    EXPECT_EQ(load(put("bomb.jpg", jpegWithScans(20000))), "Invalid picture");
    EXPECT_EQ(load(put("over.jpg", jpegWithScans(500))), "Invalid picture"); // 501 with its own
    // A real progressive JPEG (a dozen scans) and a file at the bound still load.
    EXPECT_EQ(load(put("progressive.jpg", progressiveJpeg(testPicture(640, 480)))), "640x480");
    EXPECT_NE(load(put("edge.jpg", jpegWithScans(499))), "Invalid picture");
}

TEST_F(HostilePictures, OnlyARegularFileIsOpenedAsAPicture)
{
    const QString fifo = path("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // A pipe nobody writes to would block the open for ever.
    EXPECT_EQ(load(fifo), "Cannot read the picture pipe.png");
    EXPECT_EQ(load("/dev/zero"), "Cannot read the picture zero");
    QDir().mkpath(path("folder.png"));
    EXPECT_EQ(load(path("folder.png")), "Cannot read the picture folder.png");
    // A link to a regular file is that file.
    put("real.png", encode(flatPicture(30, 20), "PNG"));
    QFile::link(path("real.png"), path("link.png"));
    EXPECT_EQ(load(path("link.png")), "30x20");
}

TEST_F(HostilePictures, EveryFormatBeyondThePixelLimitGetsTheSameTooLargeMessage)
{
    EXPECT_EQ(load(put("huge.png", pngClaiming(8000, 8000))),
              "The picture huge.png is too large (8000 by 8000 pixels)");
    EXPECT_EQ(load(put("screen.gif", gifScreen(65535, 65535))),
              "The picture screen.gif is too large (65535 by 65535 pixels)");
    EXPECT_EQ(load(put("wide.tga", flatTga(20001, 1))),
              "The picture wide.tga is too large (20001 by 1 pixels)");
    QByteArray pcx = flatPcx(4, 4);
    pcx[8] = char(0x50); pcx[9] = char(0x46);   // right edge 18000
    pcx[10] = char(0x50); pcx[11] = char(0x46); // bottom edge 18000
    EXPECT_EQ(load(put("big.pcx", pcx)), "The picture big.pcx is too large (18001 by 18001 pixels)");
    // The header look alone says the same, reading no pixels.
    EXPECT_THROW(refuseOversizedPicture(path("huge.png")), AppError);
    EXPECT_THROW(refuseOversizedPicture(path("screen.gif")), AppError);
    EXPECT_NO_THROW(refuseOversizedPicture(put("small.png", encode(flatPicture(30, 20), "PNG"))));
    EXPECT_NO_THROW(refuseOversizedPicture(put("text.png", "not a picture")));
    EXPECT_NO_THROW(refuseOversizedPicture(path("absent.png")));
}

TEST_F(HostilePictures, PicturesWithinTheLimitLoadWhateverQtsOwnCeiling)
{
    // 35.8 megapixels as a JPEG (a camera's photo), 49 as a PNG.
    QImage photo(7300, 4900, QImage::Format_RGB32);
    photo.fill(qRgb(90, 140, 200));
    EXPECT_EQ(load(put("photo.jpg", encode(photo, "JPEG", 60))), "7300x4900");
    photo = QImage();
    QImage square(7000, 7000, QImage::Format_RGB32);
    square.fill(qRgb(20, 200, 90));
    EXPECT_EQ(load(put("square.png", encode(square, "PNG"))), "7000x7000");
    square = QImage();
    EXPECT_EQ(load(put("square.tga", flatTga(7000, 7000))), "7000x7000");
}

// Peak resident memory of one run of orvantis-cli, in KiB.
long peakOfCli(const QStringList& arguments, int* status)
{
    QList<QByteArray> args = {QByteArray(ORV_BINARY_DIR "/orvantis-cli")};
    for (const QString& a : arguments) args << a.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int waited = 0;
    rusage usage{};
    if (wait4(pid, &waited, 0, &usage) != pid) return -1;
    *status = WIFEXITED(waited) ? WEXITSTATUS(waited) : -1;
    return usage.ru_maxrss;
}

TEST_F(HostilePictures, LargeTgaAndPcxCostNoMoreThanTheSamePictureInPng)
{
    QImage flat(7000, 7000, QImage::Format_RGB32);
    flat.fill(qRgb(0xC0, 0x80, 0x30));
    put("flat.png", encode(flat, "PNG"));
    flat = QImage();
    put("flat.tga", flatTga(7000, 7000));
    put("flat.pcx", flatPcx(7000, 7000));

    long peak[3] = {};
    const char* names[3] = {"flat.png", "flat.tga", "flat.pcx"};
    for (int i = 0; i < 3; ++i) {
        int status = -1;
        peak[i] = peakOfCli({"build", "--name", "Big", "--today", path(names[i]), "-o",
                             path(QString("out%1.tsk").arg(i))}, &status);
        EXPECT_EQ(status, 0) << names[i];
    }
    ASSERT_GT(peak[0], 0);
    EXPECT_LE(peak[1], peak[0] * 12 / 10) << "TGA " << peak[1] << " KiB, PNG " << peak[0] << " KiB";
    EXPECT_LE(peak[2], peak[0] * 12 / 10) << "PCX " << peak[2] << " KiB, PNG " << peak[0] << " KiB";
}

TEST_F(HostilePictures, APipeOrADeviceChosenOnTheCommandLineEndsTheRunAtOnce)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.png")).constData(), 0600), 0);
    put("small.png", encode(flatPicture(240, 293), "PNG"));
    int status = -1;
    const long base = peakOfCli({"build", "--name", "A", "--today", path("small.png"), "-o",
                                 path("a.tsk")}, &status);
    EXPECT_EQ(status, 0);
    // A failure here would block or read 256 MB; the run must end, quickly and small.
    for (const QString& picture : {path("pipe.png"), QString("/dev/zero"), QString("/dev/urandom")}) {
        const long peak = peakOfCli({"build", "--name", "A", "--today", picture, "-o",
                                     path("b.tsk")}, &status);
        EXPECT_EQ(status, 1) << picture.toStdString();
        EXPECT_LE(peak, base + 50 * 1024) << picture.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path("b.tsk")));
}

class HostilePackagePictures : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        dir = home.path() + "/packages";
        QDir().mkpath(dir);
        session->setThemeName("Before");
        session->theme.setElement(0, rgbColour(255, 0, 0));
        ui.boxes.clear();
    }
    QString package(const QString& name, const QByteArray& today)
    {
        Theme other;
        other.setElement(0, rgbColour(0, 0, 255));
        return packWithMakecab(dir, name,
                               {{"zephrin1.000", buildThemeDataFile(session->state.themeTemplate,
                                                                    "After", other.colours)},
                                {"0stwater.002", encode(flatPicture(150, 293), "PNG")},
                                {"tdywater.001", today}});
    }
    void expectUnchanged(const QImage& today, const QImage& menu)
    {
        EXPECT_EQ(session->theme.name, "Before");
        EXPECT_EQ(session->theme.element(0), rgbColour(255, 0, 0));
        EXPECT_TRUE(samePixels(session->canvas.oPicBufToday.image(), today));
        EXPECT_TRUE(samePixels(session->canvas.oPicBufMenu.image(), menu));
    }
    QString dir;
};

TEST_F(HostilePackagePictures, ARefusedPictureLeavesTheThemeAsItWas)
{
    const QImage today = session->canvas.oPicBufToday.image();
    const QImage menu = session->canvas.oPicBufMenu.image();

    session->LoadTheme(package("Huge.tsk", pngClaiming(8000, 8000)));
    EXPECT_EQ(ui.boxTexts(), QStringList{"Error: The picture tdywater.001 is too large (8000 by "
                                         "8000 pixels) (LoadTheme)"});
    expectUnchanged(today, menu);

    ui.boxes.clear();
    // Scans enough to be refused, few enough for a package of compressed pictures.
    session->LoadTheme(package("Bomb.tsk", jpegWithScans(600)));
    EXPECT_EQ(ui.boxTexts(), QStringList{"Error: Invalid picture (LoadTheme)"});
    expectUnchanged(today, menu);

    // The same package with a sound picture opens.
    ui.boxes.clear();
    session->LoadTheme(package("Fine.tsk", encode(flatPicture(240, 293), "PNG")));
    EXPECT_EQ(ui.boxTexts(), QStringList());
    EXPECT_EQ(session->theme.name, "After");
}

} // namespace
} // namespace orv::test
