// makecab: the directive file the editor writes, checked with the independent cabextract,
// and the failures that must leave no cabinet behind.
#include "theme/cab_builder.h"
#include "theme/cab_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv {
namespace {

const QByteArray kEditorDirectives =
    ".Set Cabinet=ON\r\n.Set Compress = OFF\r\n.Set CabinetFileCountThreshold=0\r\n"
    ".Set FolderFileCountThreshold=0\r\n.Set FolderSizeThreshold=0\r\n.Set MaxCabinetSize=0\r\n"
    ".Set MaxDiskFileCount = 0\r\n.Set MaxDiskSize = 0\r\n.Set ReservePerCabinetSize=0\r\n"
    ".Set ReservePerDataBlockSize = 0\r\n.Set ReservePerFolderSize = 0\r\n.Set UniqueFiles = OFF\r\n"
    ".Set DiskDirectory1=.\r\n.Set DiskLabel1 = Setup\r\n.Set CabinetName1 = Deep Ocean.tsk\r\n"
    "zephrin1.000\r\n0stwater.002\r\ntdywater.001\r\n";

struct MakecabRun {
    int status;
    QString err;
};

class MakecabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        dir = QDir(tmp.path());
        put(QStringLiteral("zephrin1.000"), QByteArray(525, 'z'), QDateTime(QDate(2026, 3, 14), QTime(9, 5, 0)));
        put(QStringLiteral("0stwater.002"), QByteArray(40000, 's'), QDateTime(QDate(2025, 12, 31), QTime(23, 59, 58)));
        put(QStringLiteral("tdywater.001"), QByteArray(90000, 't'), QDateTime(QDate(2026, 1, 2), QTime(3, 4, 6)));
    }
    void put(const QString& name, const QByteArray& bytes, const QDateTime& when = QDateTime::currentDateTime())
    {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    MakecabRun makecab(const QByteArray& directives)
    {
        put(QStringLiteral("cabwiz.ddf"), directives);
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(ORV_BINARY_DIR "/makecab"), {QStringLiteral("/f"), QStringLiteral("cabwiz.ddf")});
        EXPECT_TRUE(p.waitForFinished(30000));
        return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
    }
    QString tool(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QString::fromLocal8Bit(p.readAllStandardOutput());
    }
    QStringList entries() const { return dir.entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QTemporaryDir tmp;
    QDir dir;
};

TEST_F(MakecabTest, EditorDirectivesGiveAnUncompressedPackageThatCabextractReads)
{
    const MakecabRun r = makecab(kEditorDirectives);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());

    const QString listing = tool(QStringLiteral("cabextract"), {QStringLiteral("-l"), QStringLiteral("Deep Ocean.tsk")});
    const QStringList expected = {
        "       525 | 14.03.2026 09:05:00 | zephrin1.000",
        "     40000 | 31.12.2025 23:59:58 | 0stwater.002",
        "     90000 | 02.01.2026 03:04:06 | tdywater.001",
    };
    const QStringList lines = listing.split(QLatin1Char('\n'));
    const qsizetype first = lines.indexOf(expected[0]);
    ASSERT_GE(first, 0) << listing.toStdString();
    EXPECT_EQ(lines.mid(first, 3), expected) << listing.toStdString();
    EXPECT_TRUE(listing.contains(QStringLiteral("All done, no errors.")));

    // Stored, not compressed: the one folder's compression type is 0.
    QFile cab(dir.filePath(QStringLiteral("Deep Ocean.tsk")));
    ASSERT_TRUE(cab.open(QIODevice::ReadOnly));
    const QByteArray head = cab.read(44);
    EXPECT_EQ(head.left(4), QByteArray("MSCF"));
    EXPECT_EQ(static_cast<int>(head[26]), 1);              // one folder
    EXPECT_EQ(head.mid(42, 2), QByteArray("\0\0", 2));    // no compression

    // Every member carries the archive attribute.
    const QString details = tool(QStringLiteral("gcab"), {QStringLiteral("-l"), QStringLiteral("Deep Ocean.tsk")});
    EXPECT_EQ(details.count(QStringLiteral(" 0x20\n")), 3) << details.toStdString();
}

TEST_F(MakecabTest, PackageUnpacksToTheSameBytes)
{
    ASSERT_EQ(makecab(kEditorDirectives).status, 0);
    CCabFile reader;
    reader.setCabName(dir.filePath(QStringLiteral("Deep Ocean.tsk")));
    const QString out = dir.filePath(QStringLiteral("out"));
    EXPECT_TRUE(reader.Extract({}, out, {}));
    for (const char* n : {"zephrin1.000", "0stwater.002", "tdywater.001"}) {
        QFile a(dir.filePath(QLatin1String(n))), b(out + "/" + QLatin1String(n));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll()) << n;
    }
}

TEST(MakecabDirectives, KeysIgnoreCaseAndSpacingIsFree)
{
    const CabDirectives d = parseDirectives(
        "; a comment\n  .SET   cabinetname1   =   \"x y.cab\"  \r\n.set COMPRESS=on\n"
        ".Set diskdirectory1 = out\n\nb.txt\na.txt\n\"with space.txt\" inside.txt\n");
    EXPECT_EQ(d.cabinetName, QStringLiteral("x y.cab"));
    EXPECT_EQ(d.diskDirectory, QStringLiteral("out"));
    EXPECT_TRUE(d.compress);
    EXPECT_EQ(d.files, (QStringList{"b.txt", "a.txt", "with space.txt"}));
    EXPECT_EQ(d.names, (QStringList{"b.txt", "a.txt", "inside.txt"}));
}

TEST(MakecabDirectives, BadLinesAreNamed)
{
    const std::vector<std::pair<QByteArray, QString>> cases = {
        {".Set Cabinet=ON\r\n.Set Foo=1\r\n", "line 2: unknown directive: .Set Foo=1"},
        {".Option Explicit\r\n", "line 1: unknown directive: .Option Explicit"},
        {".Set Compress = maybe\r\n", "line 1: bad value: .Set Compress = maybe"},
        {".Set MaxDiskSize = lots\r\n", "line 1: bad value: .Set MaxDiskSize = lots"},
        {".Set CabinetName1 = ../up.tsk\r\n", "line 1: bad cabinet name: .Set CabinetName1 = ../up.tsk"},
        {".Set Cabinet=OFF\r\n", "line 1: only cabinets are written: .Set Cabinet=OFF"},
        {"a b c\r\n", "line 1: unknown file line: a b c"},
    };
    for (const auto& [text, message] : cases) {
        try {
            parseDirectives(text);
            ADD_FAILURE() << "accepted: " << text.toStdString();
        } catch (const CabBuildError& e) {
            EXPECT_EQ(e.message(), message);
        }
    }
}

TEST_F(MakecabTest, UnknownDirectiveFailsWithOneLineAndNoCabinet)
{
    QByteArray ddf = kEditorDirectives;
    ddf.replace(".Set UniqueFiles = OFF", ".Set UniqueFile = OFF");
    const MakecabRun r = makecab(ddf);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("makecab: cabwiz.ddf line 12: unknown directive: .Set UniqueFile = OFF\n"));
    EXPECT_FALSE(dir.exists(QStringLiteral("Deep Ocean.tsk")));
}

TEST_F(MakecabTest, MissingListedFileFailsAndKeepsTheOldCabinet)
{
    put(QStringLiteral("Deep Ocean.tsk"), "previous package");
    QFile::remove(dir.filePath(QStringLiteral("0stwater.002")));
    put(QStringLiteral("cabwiz.ddf"), kEditorDirectives);
    const QStringList before = entries();
    const MakecabRun r = makecab(kEditorDirectives);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("makecab: cannot read file: 0stwater.002\n"));
    EXPECT_EQ(entries(), before); // no temporary file left
    QFile old(dir.filePath(QStringLiteral("Deep Ocean.tsk")));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("previous package"));
}

TEST_F(MakecabTest, UnwritableOutputFails)
{
    put(QStringLiteral("notafolder"), "x");
    QByteArray ddf = kEditorDirectives;
    ddf.replace(".Set DiskDirectory1=.", ".Set DiskDirectory1=notafolder");
    const MakecabRun r = makecab(ddf);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("makecab: cannot write cabinet: ")) ) << r.err.toStdString();
    EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1);
}

TEST_F(MakecabTest, WrongArgumentsShowUsage)
{
    QString err;
    EXPECT_EQ(runMakecab({QStringLiteral("cabwiz.ddf")}, dir.path(), err), 1);
    EXPECT_EQ(err, QStringLiteral("usage: makecab /f directive-file"));
    EXPECT_EQ(runMakecab({QStringLiteral("/f"), QStringLiteral("missing.ddf")}, dir.path(), err), 1);
    EXPECT_EQ(err, QStringLiteral("cannot read directive file: missing.ddf"));
}

} // namespace
} // namespace orv
