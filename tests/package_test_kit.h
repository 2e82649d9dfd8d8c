#pragma once
// Packages made by hand for the loading, saving and command-line tests: chosen members packed
// by our makecab, test pictures in every format a package may carry, and the cabinet facts
// (member order, compression) read straight from the bytes.

#include <Magick++.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QtEndian>
#include <gtest/gtest.h>
#include "support/test_pictures.h"

namespace orv::test {

struct Member {
    QString name;
    QByteArray bytes;
};

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Packs the members, in order, with our cabinet builder; returns the package path.
inline QString packWithMakecab(const QString& dir, const QString& packageName,
                               const QList<Member>& members)
{
    const QString work = dir + "/pack-" + packageName;
    QDir().mkpath(work);
    QByteArray ddf = ".Set CabinetName1 = " + packageName.toLatin1() +
                     "\r\n.Set DiskDirectory1=.\r\n.Set Compress = OFF\r\n";
    for (const Member& m : members) {
        writeBytes(work + "/" + m.name, m.bytes);
        ddf += m.name.toLatin1() + "\r\n";
    }
    writeBytes(work + "/test.ddf", ddf);
    QProcess p;
    p.setWorkingDirectory(work);
    p.start(QString(ORV_BINARY_DIR) + "/makecab", {"/f", "test.ddf"});
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const QString out = dir + "/" + packageName;
    QFile::remove(out);
    EXPECT_TRUE(QFile::rename(work + "/" + packageName, out));
    QDir(work).removeRecursively();
    return out;
}

// Packs the members so that the package is exactly `size` bytes long, by padding the first
// member (a theme data file ignores what follows its values). Returns the package path.
inline QString packToSize(const QString& dir, const QString& packageName, QList<Member> members,
                          qint64 size)
{
    QString path;
    for (int attempt = 0; attempt < 8; ++attempt) {
        path = packWithMakecab(dir, packageName, members);
        const qint64 got = QFileInfo(path).size();
        if (got == size) return path;
        const qint64 grow = size - got;
        if (grow < 0 && -grow > members[0].bytes.size()) break;
        if (grow > 0)
            members[0].bytes.append(QByteArray(grow, '\0'));
        else
            members[0].bytes.chop(-grow);
    }
    ADD_FAILURE() << "could not pack to " << size << " bytes";
    return path;
}

// A picture of smooth gradients, different for each seed, the same every time. No hard
// edges, so JPEG's error stays small everywhere.
inline QImage testPicture(int width, int height, int seed = 0)
{
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, qRgb(std::min(255, x * 200 / width + seed * 6),
                                    std::min(255, y * 200 / height + seed * 5),
                                    std::min(255, 40 + (x + y) * 150 / (width + height) + seed * 4)));
    return img;
}

// A picture of a few flat colours (survives GIF and 256-colour palettes unchanged).
inline QImage flatPicture(int width, int height, int seed = 0)
{
    const QRgb colours[] = {qRgb(200, 30, 30), qRgb(20, 160, 60), qRgb(30, 40, 210),
                            qRgb(240, 230, 20), qRgb(10, 10, 10), qRgb(250, 250, 250)};
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.setPixel(x, y, colours[(x / 30 + y / 40 + seed) % 6]);
    return img;
}

// GIF through GraphicsMagick, which Qt cannot write.
inline QByteArray gifBytes(const QImage& img)
{
    static bool init = [] { Magick::InitializeMagick(nullptr); return true; }();
    (void)init;
    const QByteArray png = encode(img, "PNG");
    Magick::Image picture(Magick::Blob(png.constData(), static_cast<size_t>(png.size())));
    picture.magick("GIF");
    Magick::Blob out;
    picture.write(&out);
    return QByteArray(static_cast<const char*>(out.data()), static_cast<qsizetype>(out.length()));
}

// Member names and sizes of an uncompressed-or-not cabinet, in cabinet order, and whether
// every folder stores its data without compression.
struct CabinetFacts {
    QStringList names;
    QList<quint32> sizes;
    bool uncompressed = true;
};

inline CabinetFacts cabinetFacts(const QByteArray& cab)
{
    CabinetFacts facts;
    if (cab.size() < 36 || !cab.startsWith("MSCF")) return facts;
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(cab.constData() + at); };
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(cab.constData() + at); };
    const quint32 filesAt = u32(16);
    const int folders = u16(26), files = u16(28);
    for (int i = 0; i < folders; ++i)
        if ((u16(36 + i * 8 + 6) & 0x000F) != 0) facts.uncompressed = false;
    qsizetype at = filesAt;
    for (int i = 0; i < files && at + 16 < cab.size(); ++i) {
        facts.sizes << u32(at);
        const qsizetype nameAt = at + 16;
        const qsizetype end = cab.indexOf('\0', nameAt);
        facts.names << QString::fromLatin1(cab.mid(nameAt, end - nameAt));
        at = end + 1;
    }
    return facts;
}

inline bool samePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF)) return false;
    return true;
}

// Largest difference of one channel between two pictures of the same size (-1 otherwise),
// leaving out the two marker pixels of the top row.
inline int largestDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) return -1;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (y == 0 && x < 2) continue;
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

} // namespace orv::test
