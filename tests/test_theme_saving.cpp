// Saving packages: the dialog, the package name rules, the members and their formats, the
// directive file, the builder's failures and the package already at the destination.
#include "package_test_kit.h"
#include "support/session_fixture.h"
#include "theme/cab_file.h"
#include "theme/package_files.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <unistd.h>

namespace orv::test {
namespace {

class SaveThemeTest : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        ui.boxes.clear();
        session->setThemeName("Ocean");
        session->canvas.oPicBufToday.setPicture(testPicture(240, 293, 1));
        session->canvas.oPicBufMenu.setPicture(testPicture(150, 293, 2));
        out = home.path() + "/out";
        QDir().mkpath(out);
    }

    // Saves to the chosen path; returns the boxes' texts.
    QStringList save(const QString& chosen)
    {
        ui.boxes.clear();
        ui.fileAnswers.push_back(chosen);
        session->SaveTheme();
        return ui.boxTexts();
    }

    // The members of a package, unpacked into a fresh folder.
    QString unpack(const QString& package)
    {
        const QString dir = home.path() + "/unpacked-" + QString::number(++unpacks);
        CCabFile cab;
        cab.setCabName(package);
        EXPECT_TRUE(cab.Extract(QString(), dir, QString()));
        return dir;
    }

    QString scratch() const { return session->folders().scratch(); }

    QString out;
    int unpacks = 0;
};

// A builder that reports failure and writes nothing, so the intermediate files stay.
QString failingBuilderDir(const QString& base)
{
    const QString dir = base + "/failing-builder";
    QDir().mkpath(dir);
    QFile f(dir + "/makecab");
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\nexit 1\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

TEST_F(SaveThemeTest, AsksWhereToSaveFromTheRememberedFolderWithTheThemeName)
{
    session->state.TSKPath = out;
    save(out + "/Ocean.tsk");
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, "Save Theme");
    EXPECT_EQ(ui.fileRequests[0].filter, "Save Theme (*.tsk)|*.tsk");
    EXPECT_EQ(ui.fileRequests[0].initialName, out + "/Ocean");
}

TEST_F(SaveThemeTest, WritesThePackageIntoTheChosenFolderAndEmptiesTheScratchDirectory)
{
    EXPECT_EQ(save(out + "/Sunset.tsk"), QStringList{"Theme Ocean has been saved!"});
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.boxes[0].title, "Orvantis by Zephrin");
    EXPECT_TRUE(QFileInfo(out + "/Sunset.tsk").isFile());
    EXPECT_EQ(session->state.TSKPath, out + "/");
    EXPECT_TRUE(QDir(scratch()).isEmpty());
    EXPECT_EQ(ui.busyOn, ui.busyOff);
}

TEST_F(SaveThemeTest, PackageNameLosesOnlyTheExtensionAndSurroundingBlanks)
{
    save(out + "/Plain");
    EXPECT_TRUE(QFileInfo(out + "/Plain.tsk").isFile());
    save(out + "/CAPITALS.TSK");
    EXPECT_TRUE(QFileInfo(out + "/CAPITALS.tsk").isFile());
    save(out + "/  Padded .tsk");
    EXPECT_TRUE(QFileInfo(out + "/Padded.tsk").isFile());
    save(out + "/dotted.tsk.bak");
    EXPECT_TRUE(QFileInfo(out + "/dotted.tsk.bak.tsk").isFile());
}

TEST(PackageName, OnlyBlanksAreTrimmedAsForTheThemeName)
{
    const std::pair<QString, QString> cases[] = {
        {"  Padded .tsk", "Padded"},
        {"\tTabbed\t.tsk", "\tTabbed\t"},
        {" \u00A0Wide\u3000 .TSK", "\u00A0Wide\u3000"},
        {"Line\n", "Line\n"},
    };
    for (const auto& [chosen, name] : cases) EXPECT_EQ(packageNameOf(chosen), name) << chosen.toStdString();
}

TEST_F(SaveThemeTest, PackageHoldsExactlyTheThreeMembersUncompressedInOrder)
{
    save(out + "/Ocean.tsk");
    const CabinetFacts facts = cabinetFacts(readBytes(out + "/Ocean.tsk"));
    EXPECT_EQ(facts.names, (QStringList{"zephrin1.000", "0stwater.002", "tdywater.001"}));
    EXPECT_TRUE(facts.uncompressed);

    // And so says an independent reader.
    QProcess lister;
    lister.start("cabextract", {"-l", out + "/Ocean.tsk"});
    ASSERT_TRUE(lister.waitForFinished(30000));
    QStringList listed;
    for (const QString& line : QString::fromLatin1(lister.readAllStandardOutput()).split('\n')) {
        const QStringList cols = line.split('|');
        if (cols.size() == 3 && cols[0].trimmed().toLongLong() > 0) listed << cols[2].trimmed();
    }
    EXPECT_EQ(listed, (QStringList{"zephrin1.000", "0stwater.002", "tdywater.001"}));
}

TEST_F(SaveThemeTest, In256ColourModeBothPicturesArePalettePngWithBlackAndWhiteMarkers)
{
    session->state.colourDepth256 = true;
    save(out + "/Ocean.tsk");
    const QString dir = unpack(out + "/Ocean.tsk");
    for (const auto& [member, width] : {std::pair{"tdywater.001", 240}, {"0stwater.002", 150}}) {
        const QByteArray bytes = readBytes(dir + "/" + member);
        ASSERT_TRUE(bytes.startsWith("\x89PNG")) << member;
        EXPECT_EQ(static_cast<int>(bytes[25]), 3) << member << ": not a palette picture";
        const QImage img = QImage::fromData(bytes);
        EXPECT_EQ(img.size(), QSize(width, 293));
        EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0x000000u) << member;
        EXPECT_EQ(img.pixel(1, 0) & 0xFFFFFF, 0xFFFFFFu) << member;
    }
    // The held backgrounds are not touched by the save.
    EXPECT_TRUE(samePixels(session->canvas.oPicBufToday.image(), testPicture(240, 293, 1)));
}

TEST_F(SaveThemeTest, In16MColourModeBothPicturesAreJpegCloseToTheBackgrounds)
{
    session->state.colourDepth256 = false;
    save(out + "/Ocean.tsk");
    const QString dir = unpack(out + "/Ocean.tsk");
    const QImage today = QImage::fromData(readBytes(dir + "/tdywater.001"));
    const QImage menu = QImage::fromData(readBytes(dir + "/0stwater.002"));
    EXPECT_TRUE(readBytes(dir + "/tdywater.001").startsWith("\xFF\xD8"));
    EXPECT_TRUE(readBytes(dir + "/0stwater.002").startsWith("\xFF\xD8"));
    EXPECT_LE(largestDifference(today, testPicture(240, 293, 1)), 24);
    EXPECT_LE(largestDifference(menu, testPicture(150, 293, 2)), 24);
    // JPEG blurs the markers a little; they stay at the two ends of the scale.
    EXPECT_LT(qGray(today.pixel(0, 0)), 64);
    EXPECT_GT(qGray(today.pixel(1, 0)), 160);
}

TEST_F(SaveThemeTest, AdjustmentsReachThePackageButNotTheHeldBackground)
{
    session->state.colourDepth256 = false;
    save(out + "/Neutral.tsk");
    session->adjustToday.brightness = 0.9f;
    save(out + "/Bright.tsk");
    const QImage neutral = QImage::fromData(readBytes(unpack(out + "/Neutral.tsk") + "/tdywater.001"));
    const QImage bright = QImage::fromData(readBytes(unpack(out + "/Bright.tsk") + "/tdywater.001"));
    EXPECT_GT(qGray(bright.pixel(120, 150)), qGray(neutral.pixel(120, 150)) + 20);
    EXPECT_TRUE(samePixels(session->canvas.oPicBufToday.image(), testPicture(240, 293, 1)));
}

TEST_F(SaveThemeTest, SavingOverAnExistingPackageReplacesIt)
{
    writeBytes(out + "/Ocean.tsk", "an older package");
    EXPECT_EQ(save(out + "/Ocean.tsk"), QStringList{"Theme Ocean has been saved!"});
    EXPECT_TRUE(readBytes(out + "/Ocean.tsk").startsWith("MSCF"));
    // No temporary copy is left beside it.
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{"Ocean.tsk"});
}

TEST_F(SaveThemeTest, CancellingTheDialogChangesNothing)
{
    writeBytes(scratch() + "/left.txt", "x");
    session->state.TSKPath = "/somewhere";
    ui.boxes.clear();
    session->SaveTheme();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(session->state.TSKPath, "/somewhere");
    EXPECT_EQ(QDir(scratch()).entryList(QDir::Files), QStringList{"left.txt"});
    EXPECT_EQ(ui.busyOn, 0);
}

class SaveThemeBuilderTest : public SaveThemeTest {
protected:
    // A session whose program directory holds the given builder.
    void useProgramDir(const QString& dir)
    {
        Folders f = session->folders();
        f.programDir = dir;
        const QString name = session->theme.name;
        session = std::make_unique<EditorSession>(ui, f);
        session->clock = [] { return QDateTime(QDate(2026, 3, 14), QTime(9, 5)); };
        start();
        session->setThemeName(name);
        session->canvas.oPicBufToday.setPicture(testPicture(240, 293, 1));
        session->canvas.oPicBufMenu.setPicture(testPicture(150, 293, 2));
    }
};

TEST_F(SaveThemeBuilderTest, NoPackageFromTheBuilderKeepsTheOldPackageAndTheIntermediateFiles)
{
    useProgramDir(failingBuilderDir(home.path()));
    writeBytes(out + "/Ocean.tsk", "the package from yesterday");

    const QStringList boxes = save(out + "/Ocean.tsk");
    EXPECT_EQ(boxes, QStringList{"Theme not created!  Try again."});
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(readBytes(out + "/Ocean.tsk"), QByteArray("the package from yesterday"));
    EXPECT_EQ(ui.busyOn, ui.busyOff);

    QStringList left = QDir(scratch()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{"0stwater.002", "cabwiz.ddf", "tdywater.001", "zephrin1.000"}));
    EXPECT_EQ(readBytes(scratch() + "/cabwiz.ddf"),
              QByteArray(".Set Cabinet=ON\r\n"
                         ".Set Compress = OFF\r\n"
                         ".Set CabinetFileCountThreshold=0\r\n"
                         ".Set FolderFileCountThreshold=0\r\n"
                         ".Set FolderSizeThreshold=0\r\n"
                         ".Set MaxCabinetSize=0\r\n"
                         ".Set MaxDiskFileCount = 0\r\n"
                         ".Set MaxDiskSize = 0\r\n"
                         ".Set ReservePerCabinetSize=0\r\n"
                         ".Set ReservePerDataBlockSize = 0\r\n"
                         ".Set ReservePerFolderSize = 0\r\n"
                         ".Set UniqueFiles = OFF\r\n"
                         ".Set DiskDirectory1=.\r\n"
                         ".Set DiskLabel1 = Setup\r\n"
                         ".Set CabinetName1 = Ocean.tsk\r\n"
                         "zephrin1.000\r\n"
                         "0stwater.002\r\n"
                         "tdywater.001\r\n"));
}

TEST_F(SaveThemeBuilderTest, MissingBuilderShowsTheErrorBox)
{
    const QString empty = home.path() + "/no-builder";
    QDir().mkpath(empty);
    useProgramDir(empty);
    EXPECT_EQ(save(out + "/Ocean.tsk"), QStringList{"Error: File not found (SaveTheme)"});
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(QFileInfo::exists(out + "/Ocean.tsk"));
    EXPECT_EQ(ui.busyOn, ui.busyOff);
}

TEST_F(SaveThemeTest, UnwritableDestinationKeepsTheOldPackage)
{
    if (geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind the superuser";
    writeBytes(out + "/Ocean.tsk", "the package from yesterday");
    QFile(out).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    const QStringList boxes = save(out + "/Ocean.tsk");
    QFile(out).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(boxes, QStringList{"Error: Path/File access error: " + out + "/Ocean.tsk (SaveTheme)"});
    EXPECT_EQ(readBytes(out + "/Ocean.tsk"), QByteArray("the package from yesterday"));
}

} // namespace
} // namespace orv::test
