// Unpacking hostile and unlucky cabinets: sizes no theme needs, member counts that stall the
// reader, a disk that fills up, links and clashes in the output folder.
#include "test_reliability_kit.h"
#include "theme/cab_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orv::test {
namespace {

QStringList entriesBelow(const QString& dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) out << QDir(dir).relativeFilePath(it.next());
    out.sort();
    return out;
}

class CabReliabilityTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = tmp.path() + '/' + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    // Extracts everything into out; the error number, 0 when the walk succeeded.
    int extract(const QString& cabinet, const QString& out)
    {
        CCabFile cab;
        cab.setCabName(cabinet);
        try {
            cab.Extract({}, out, {});
            return 0;
        } catch (const AppError& e) {
            EXPECT_EQ(e.source(), "CabFile");
            EXPECT_EQ(e.description(), cabWin32ErrorText(e.number()));
            return e.number();
        }
    }

    QTemporaryDir tmp;
};

TEST_F(CabReliabilityTest, SizesNoThemeNeedsAreRefusedBeforeAnythingIsWritten)
{
    const quint32 mib = 1024 * 1024;
    struct Case {
        const char* what;
        int blocks; // 32 KB each
        QList<CabSpec::File> files;
    } cases[] = {
        {"a picture beyond the picture cap", 8193, {{"tdywater.001", 256 * mib + 1, 0}}},
        {"a data file beyond its small cap", 33, {{"zephrin1.000", mib + 1, 0}}},
        {"members sharing one folder beyond the total", 6400,
         {{"a.001", 200 * mib, 0}, {"b.002", 200 * mib, 0}, {"c.003", 200 * mib, 0}}},
        {"a small member far into its folder", 16417, {{"late.001", 10, 513 * mib}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CabSpec spec = zeroFolder(c.blocks);
        spec.files = c.files;
        const QString cabinet = write("bomb.cab", cabinetBytes(spec));
        const QString out = tmp.path() + "/out";
        EXPECT_EQ(extract(cabinet, out), kWin32InvalidData);
        EXPECT_EQ(entriesBelow(out), QStringList());
        QDir(out).removeRecursively();
    }
}

TEST_F(CabReliabilityTest, MemberCountsBeyondAnyThemeAreRefusedUnparsed)
{
    for (const int members : {kCabMaxMembers, kCabMaxMembers + 1, 65535}) {
        SCOPED_TRACE(members);
        CabSpec spec;
        spec.folders = members; // one empty folder each: the reader's slowest shape
        for (int i = 0; i < members; ++i)
            spec.files << CabSpec::File{QByteArray::number(i) + ".txt", 0, 0, quint16(i)};
        CCabFile cab;
        cab.setCabName(write("many.cab", cabinetBytes(spec)));
        if (members <= kCabMaxMembers) {
            EXPECT_EQ(cab.GetXML({}).count("<FILE>"), members);
        } else {
            try {
                cab.GetXML({});
                ADD_FAILURE() << "listed";
            } catch (const AppError& e) {
                EXPECT_EQ(e.number(), kWin32InvalidData);
            }
        }
    }
}

TEST_F(CabReliabilityTest, AFailedWriteFailsTheWalkAndLeavesNoPartOfThatMember)
{
    CabSpec spec;
    // Both fit in a stdio buffer: a failure shows only when the file is closed.
    spec.blocks = {QByteArray(500, 'a') + QByteArray(3000, 'b')};
    spec.files = {{"small.txt", 500, 0}, {"large.txt", 3000, 500}};
    const QString cabinet = write("two.cab", cabinetBytes(spec));
    const QString out = tmp.path() + "/out";
    int error;
    {
        FileSizeLimit disk(1000);
        error = extract(cabinet, out);
    }
    EXPECT_EQ(error, kWin32WriteFault);
    EXPECT_EQ(entriesBelow(out), QStringList{"small.txt"});
    EXPECT_EQ(QFileInfo(out + "/small.txt").size(), 500);
}

TEST_F(CabReliabilityTest, AnOutputFolderThatCannotBeMadeFailsTheWalk)
{
    CabSpec spec;
    spec.blocks = {"alpha"};
    spec.files = {{"a.txt", 5, 0}};
    const QString cabinet = write("one.cab", cabinetBytes(spec));
    write("plain-file", "x");
    EXPECT_EQ(extract(cabinet, tmp.path() + "/plain-file/out"), 82);
}

TEST_F(CabReliabilityTest, NothingIsMadeThroughALinkInTheOutputFolder)
{
    CabSpec spec;
    spec.blocks = {"alphabravo"};
    spec.files = {{"link\\deeper\\x.txt", 5, 0}, {"good.txt", 5, 5}};
    const QString cabinet = write("link.cab", cabinetBytes(spec));
    const QString out = tmp.path() + "/out", elsewhere = tmp.path() + "/elsewhere";
    QDir().mkpath(out);
    QDir().mkpath(elsewhere);
    ASSERT_TRUE(QFile::link(elsewhere, out + "/link"));
    EXPECT_EQ(extract(cabinet, out), 0);
    EXPECT_EQ(entriesBelow(elsewhere), QStringList());
    EXPECT_EQ(entriesBelow(out), (QStringList{"good.txt", "link"}));
}

TEST_F(CabReliabilityTest, AnEntryClashingWithAnotherIsSkippedAndTheRestUnpacked)
{
    CabSpec spec;
    spec.blocks = {"1111222233334444"};
    spec.files = {{"a\\b.txt", 4, 0}, {"a", 4, 4}, {"c", 4, 8}, {"c\\d.txt", 4, 12}};
    const QString out = tmp.path() + "/out";
    EXPECT_EQ(extract(write("clash.cab", cabinetBytes(spec)), out), 0);
    EXPECT_EQ(entriesBelow(out), (QStringList{"a", "a/b.txt", "c"}));
    QFile c(out + "/c");
    ASSERT_TRUE(c.open(QIODevice::ReadOnly));
    EXPECT_EQ(c.readAll(), "3333");
}

} // namespace
} // namespace orv::test
