// CCabFile on cabinets made by our makecab and by the gcab tool, on the broken cabinets kept
// under tests/data/cabs, and on member names that try to leave the output folder.
#include "theme/cab_file.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace orv {
namespace {

const QDateTime kStamp(QDate(2026, 3, 14), QTime(9, 5, 0));

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(kStamp, QFileDevice::FileModificationTime));
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList filesBelow(const QString& dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) out << QDir(dir).relativeFilePath(it.next());
    out.sort();
    return out;
}

// Runs the gcab tool in dir: gcab -c [-z] cab members...
void gcab(const QString& dir, const QString& cab, const QStringList& members, bool zip)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    QStringList args{QStringLiteral("-c")};
    if (zip) args << QStringLiteral("-z");
    p.start(QStringLiteral("gcab"), args << cab << members);
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

// Runs our makecab in dir on a directive file naming the members.
void makecab(const QString& dir, const QString& cab, const QStringList& members)
{
    QByteArray ddf = ".Set Cabinet=ON\r\n.Set Compress = OFF\r\n.Set DiskDirectory1=.\r\n"
                     ".Set CabinetName1 = " + cab.toLatin1() + "\r\n";
    for (const QString& m : members) ddf += m.toLatin1() + "\r\n";
    writeFile(dir + QStringLiteral("/cabwiz.ddf"), ddf);
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(QStringLiteral(ORV_BINARY_DIR "/makecab"), {QStringLiteral("/f"), QStringLiteral("cabwiz.ddf")});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

void expectCabError(const std::function<void()>& op, int number, const QString& text)
{
    try {
        op();
        ADD_FAILURE() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), number);
        EXPECT_EQ(e.source(), QStringLiteral("CabFile"));
        EXPECT_EQ(e.description(), text);
    }
}

class CabFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        src = tmp.path() + QStringLiteral("/src");
        writeFile(src + QStringLiteral("/zephrin1.000"), QByteArray(525, 'z'));
        writeFile(src + QStringLiteral("/0stwater.002"), QByteArray(3000, 's'));
        writeFile(src + QStringLiteral("/tdywater.001"), QByteArray(70000, 't')); // spans blocks
        writeFile(src + QStringLiteral("/a.txt"), "alpha\n");
        writeFile(src + QStringLiteral("/sub/b.txt"), "bravo\n");
    }
    QString package()
    {
        makecab(src, QStringLiteral("Ocean.tsk"),
                {QStringLiteral("zephrin1.000"), QStringLiteral("0stwater.002"), QStringLiteral("tdywater.001")});
        return src + QStringLiteral("/Ocean.tsk");
    }
    QString out(const QString& rel = {}) const { return tmp.path() + QStringLiteral("/out") + rel; }

    QTemporaryDir tmp;
    QString src;
};

TEST_F(CabFileTest, ExtractUnpacksEveryFileIntoANewFolderWithMissingParents)
{
    CCabFile cab;
    cab.setCabName(package());
    QStringList after;
    cab.AfterExtract = [&](const QString& path) { after << path; };
    const QString target = out(QStringLiteral("/deep/er"));
    EXPECT_TRUE(cab.Extract({}, target, {}));

    EXPECT_EQ(filesBelow(target), (QStringList{"0stwater.002", "tdywater.001", "zephrin1.000"}));
    for (const char* n : {"zephrin1.000", "0stwater.002", "tdywater.001"})
        EXPECT_EQ(readFile(target + "/" + n), readFile(src + "/" + n)) << n;
    EXPECT_EQ(after, (QStringList{target + "/zephrin1.000", target + "/0stwater.002", target + "/tdywater.001"}));
}

TEST_F(CabFileTest, ExtractWithoutOutputFolderUsesTheCabinetsFolder)
{
    makecab(src, QStringLiteral("one.cab"), {QStringLiteral("a.txt")});
    QDir(src).remove(QStringLiteral("a.txt"));
    CCabFile cab;
    cab.setCabName(src + QStringLiteral("/one.cab"));
    EXPECT_TRUE(cab.Extract({}, {}, {}));
    EXPECT_EQ(readFile(src + QStringLiteral("/a.txt")), QByteArray("alpha\n"));
}

TEST_F(CabFileTest, FilterIgnoresCaseAndExtractsJustThatFile)
{
    CCabFile cab;
    cab.setCabName(package());
    EXPECT_TRUE(cab.Extract(QStringLiteral("TDYWATER.001"), out(), {}));
    EXPECT_EQ(filesBelow(out()), QStringList{"tdywater.001"});
}

TEST_F(CabFileTest, OutputNameIsUsedForTheMatchingFile)
{
    CCabFile cab;
    cab.setCabName(package());
    EXPECT_TRUE(cab.Extract(QStringLiteral("0stwater.002"), out(), QStringLiteral("menu.png")));
    EXPECT_EQ(filesBelow(out()), QStringList{"menu.png"});
    EXPECT_EQ(readFile(out("/menu.png")), QByteArray(3000, 's'));
}

TEST_F(CabFileTest, BeforeExtractCancelSkipsThatFileAndTheWalkGoesOn)
{
    CCabFile cab;
    cab.setCabName(package());
    QStringList offered;
    cab.BeforeExtract = [&](const QString& name, bool& cancel) {
        EXPECT_FALSE(cancel);
        offered << name;
        cancel = name == QLatin1String("0stwater.002");
    };
    EXPECT_TRUE(cab.Extract({}, out(), {}));
    EXPECT_EQ(offered, (QStringList{"zephrin1.000", "0stwater.002", "tdywater.001"}));
    EXPECT_EQ(filesBelow(out()), (QStringList{"tdywater.001", "zephrin1.000"}));
}

TEST_F(CabFileTest, FolderPartOfANameBecomesASubFolder)
{
    for (bool zip : {false, true}) {
        SCOPED_TRACE(zip ? "MSZIP" : "stored");
        const QString cabPath = tmp.path() + (zip ? "/z.cab" : "/s.cab");
        gcab(src, cabPath, {QStringLiteral("a.txt"), QStringLiteral("sub/b.txt")}, zip);
        CCabFile cab;
        cab.setCabName(cabPath);
        const QString target = out(zip ? "/z" : "/s");
        EXPECT_TRUE(cab.Extract({}, target, {}));
        EXPECT_EQ(filesBelow(target), (QStringList{"a.txt", "sub/b.txt"}));
        EXPECT_EQ(readFile(target + "/sub/b.txt"), QByteArray("bravo\n"));
    }
}

TEST_F(CabFileTest, GetXmlListsEveryFileExactly)
{
    const QString cabPath = tmp.path() + QStringLiteral("/list.cab");
    gcab(src, cabPath, {QStringLiteral("a.txt"), QStringLiteral("sub/b.txt")}, true);
    CCabFile cab;
    cab.setCabName(cabPath);
    const QString expected =
        "<?xml version=\"1.0\"?><CABFILE CABFILENAME = '" + cabPath + "'><FILES>"
        "<FILE><FULLNAME>a.txt</FULLNAME><NAME>a.txt</NAME><DATE>3/14/2026 9:05:00 AM</DATE>"
        "<SIZE>6</SIZE><PATH></PATH></FILE>\r\n"
        "<FILE><FULLNAME>sub\\b.txt</FULLNAME><NAME>b.txt</NAME><DATE>3/14/2026 9:05:00 AM</DATE>"
        "<SIZE>6</SIZE><PATH>sub\\</PATH></FILE>\r\n"
        "</FILES></CABFILE>";
    EXPECT_EQ(cab.GetXML({}), expected);
    // The filter compares the file part without case; a second call starts a new listing.
    EXPECT_EQ(cab.GetXML(QStringLiteral("B.TXT")),
              "<?xml version=\"1.0\"?><CABFILE CABFILENAME = '" + cabPath + "'><FILES>"
              "<FILE><FULLNAME>sub\\b.txt</FULLNAME><NAME>b.txt</NAME><DATE>3/14/2026 9:05:00 AM</DATE>"
              "<SIZE>6</SIZE><PATH>sub\\</PATH></FILE>\r\n</FILES></CABFILE>");
    EXPECT_EQ(cab.GetXML(QStringLiteral("none.txt")),
              "<?xml version=\"1.0\"?><CABFILE CABFILENAME = '" + cabPath + "'><FILES></FILES></CABFILE>");
}

TEST_F(CabFileTest, GetInfoReportsNameDateSizeAndFolder)
{
    const QString cabPath = tmp.path() + QStringLiteral("/info.cab");
    gcab(src, cabPath, {QStringLiteral("a.txt"), QStringLiteral("sub/b.txt")}, false);
    CCabFile cab;
    cab.setCabName(cabPath);
    struct Found { QString name; double date; int size; QString path; };
    std::vector<Found> found;
    cab.FileFound = [&](const QString& n, double d, std::int32_t s, const QString& p) { found.push_back({n, d, s, p}); };
    EXPECT_TRUE(cab.GetInfo({}));
    ASSERT_EQ(found.size(), 2u);
    // 14 March 2026 is day 46095 after 30 December 1899; 09:05 is 545/1440 of a day.
    EXPECT_DOUBLE_EQ(found[0].date, 46095 + 545.0 / 1440.0);
    EXPECT_EQ(found[1].name, QStringLiteral("b.txt"));
    EXPECT_EQ(found[1].size, 6);
    EXPECT_EQ(found[1].path, QStringLiteral("sub\\"));

    found.clear();
    EXPECT_TRUE(cab.GetInfo(QStringLiteral("SUB\\B.TXT")));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, QStringLiteral("b.txt"));
}

TEST_F(CabFileTest, FileCountAddsToTheCounterOnEveryCall)
{
    CCabFile cab;
    cab.setCabName(package());
    EXPECT_EQ(cab.FileCount(), 3);
    EXPECT_EQ(cab.FileCount(), 6);
}

TEST(CabDates, DosDateAndTimeBecomeAnAutomationDate)
{
    // 1 January 1980 00:00:02.
    EXPECT_DOUBLE_EQ(dosDateTimeToDate((0 << 9) | (1 << 5) | 1, 1), 29221 + 2.0 / 86400);
    EXPECT_EQ(dosDateTimeToDate((46 << 9) | (13 << 5) | 1, 0), 0.0); // month 13
    EXPECT_EQ(dosDateTimeToDate((46 << 9) | (2 << 5) | 30, 0), 0.0); // 30 February
    EXPECT_EQ(dateValueText(46095 + 0.5), QStringLiteral("3/14/2026 12:00:00 PM"));
    EXPECT_EQ(dateValueText(46095), QStringLiteral("3/14/2026"));
    EXPECT_EQ(dateValueText(0.25), QStringLiteral("6:00:00 AM"));
    // A member without a valid date lists as the time-only midnight, never as 1899.
    EXPECT_EQ(dateValueText(dosDateTimeToDate(0, 0)), QStringLiteral("12:00:00 AM"));
}

// --- failures --------------------------------------------------------------------------------

TEST_F(CabFileTest, EveryOperationNeedsACabName)
{
    CCabFile cab;
    const QString text = QStringLiteral("You must set the CabName property before taking any action on the CabFile object.");
    const int number = static_cast<int>(0x800407A4u);
    expectCabError([&] { cab.FileCount(); }, number, text);
    expectCabError([&] { cab.Extract({}, out(), {}); }, number, text);
    expectCabError([&] { cab.GetInfo({}); }, number, text);
    expectCabError([&] { cab.GetXML({}); }, number, text);
}

TEST_F(CabFileTest, MissingCabinetIsError2)
{
    CCabFile cab;
    cab.setCabName(tmp.path() + QStringLiteral("/nowhere.tsk"));
    expectCabError([&] { cab.Extract({}, out(), {}); }, 2, QStringLiteral("The system cannot find the file specified."));
    expectCabError([&] { cab.GetXML({}); }, 2, QStringLiteral("The system cannot find the file specified."));
}

TEST_F(CabFileTest, FolderInsteadOfACabinetIsUnreadable)
{
    CCabFile cab;
    cab.setCabName(src);
    expectCabError([&] { cab.FileCount(); }, 30, QStringLiteral("The system cannot read from the specified device."));
}

TEST(CabErrorTexts, CodesOutsideTheTableAreUnknown)
{
    EXPECT_EQ(cabWin32ErrorText(112), QStringLiteral("There is not enough space on the disk."));
    EXPECT_EQ(cabWin32ErrorText(39), QStringLiteral("The disk is full."));
    EXPECT_EQ(cabWin32ErrorText(1), QStringLiteral("Unknown error."));
    EXPECT_EQ(cabWin32ErrorText(-5), QStringLiteral("Unknown error."));
}

TEST_F(CabFileTest, EveryBrokenCabinetFailsWithInvalidDataBeforeWritingAnything)
{
    QDirIterator it(QStringLiteral(ORV_SOURCE_DIR "/tests/data/cabs/broken"), {QStringLiteral("*.cab")}, QDir::Files);
    int seen = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        SCOPED_TRACE(path.toStdString());
        ++seen;
        CCabFile cab;
        cab.setCabName(path);
        bool afterExtract = false;
        cab.AfterExtract = [&](const QString&) { afterExtract = true; };
        const QString target = out("/" + QFileInfo(path).baseName());
        expectCabError([&] { cab.Extract({}, target, {}); }, 13, QStringLiteral("Invalid data."));
        EXPECT_FALSE(afterExtract);
        EXPECT_TRUE(filesBelow(target).isEmpty());
        expectCabError([&] { cab.GetXML({}); }, 13, QStringLiteral("Invalid data."));
    }
    EXPECT_GE(seen, 10);
}

TEST_F(CabFileTest, HostileMemberNamesAreSkippedAndTheWalkGoesOn)
{
    QDirIterator it(QStringLiteral(ORV_SOURCE_DIR "/tests/data/cabs/hostile"), {QStringLiteral("*.cab")}, QDir::Files);
    int seen = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        SCOPED_TRACE(path.toStdString());
        ++seen;
        // Extract into a folder two levels down, so that "..\" would still land in tmp.
        const QString target = out("/a/" + QFileInfo(path).baseName());
        CCabFile cab;
        cab.setCabName(path);
        EXPECT_TRUE(cab.Extract({}, target, {}));
        EXPECT_EQ(filesBelow(tmp.path() + QStringLiteral("/out")), QStringList{"a/" + QFileInfo(path).baseName() + "/good.txt"});
        QDir(out()).removeRecursively();
    }
    EXPECT_EQ(seen, 5);
    EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/evil.txt")));
}

TEST_F(CabFileTest, SubFolderLinkedOutsideIsNotFollowed)
{
    const QString cabPath = tmp.path() + QStringLiteral("/link.cab");
    gcab(src, cabPath, {QStringLiteral("sub/b.txt")}, false);
    const QString elsewhere = tmp.path() + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    QDir().mkpath(out());
    ASSERT_TRUE(QFile::link(elsewhere, out("/sub")));
    CCabFile cab;
    cab.setCabName(cabPath);
    EXPECT_TRUE(cab.Extract({}, out(), {}));
    EXPECT_TRUE(filesBelow(elsewhere).isEmpty());
}

TEST_F(CabFileTest, TargetPathLongerThan259BytesIsSkipped)
{
    CCabFile cab;
    cab.setCabName(package());
    QString deep = out("/");
    while (deep.size() < 250) deep += QStringLiteral("d");
    EXPECT_TRUE(cab.Extract({}, deep, {}));
    EXPECT_TRUE(filesBelow(out()).isEmpty());
}

TEST_F(CabFileTest, TargetThatCannotBeReplacedFailsWithoutLeavingATemporaryFile)
{
    // A folder where the file should go cannot be replaced by the file.
    CCabFile cab;
    cab.setCabName(package());
    QDir().mkpath(out("/zephrin1.000/inside"));
    try {
        cab.Extract(QStringLiteral("zephrin1.000"), out(), {});
        ADD_FAILURE() << "writing over a folder succeeded";
    } catch (const AppError& e) {
        EXPECT_EQ(e.source(), QStringLiteral("CabFile"));
        EXPECT_EQ(e.number(), 82);
    }
    EXPECT_TRUE(QFileInfo(out("/zephrin1.000/inside")).isDir());
    EXPECT_EQ(filesBelow(out()).size(), 0);
}

} // namespace
} // namespace orv
