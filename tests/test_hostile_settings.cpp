// The settings file is read with the lengths its values' uses allow: a planted value of a
// megabyte is cut, and a file of overlong lines is never handed to QSettings whole.
#include "app/settings_store.h"
#include "support/session_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace orv::test {
namespace {

class HostileSettings : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        file = QSettings(QSettings::IniFormat, QSettings::UserScope, "Orvantis", "Orvantis").fileName();
        QFile::remove(file);
    }
    void TearDown() override { QFile::remove(file); }

    void writeIni(const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(file).path());
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    QString file;
};

TEST_F(HostileSettings, AMegabyteNameIsCutToWhatTheNameBoxHoldsAndTheRestIsRead)
{
    const QByteArray path5000 = "/" + QByteArray(4999, 'p');
    writeIni("[Startup]\nName1=" + QByteArray(1024 * 1024, 'x') + "\nName2=Ana Lopes\n"
             "Name3=" + QByteArray(30, 'z') + "\nPaths=yes\nTSKPath=" + path5000 + "\n"
             "TodayText=" + QByteArray(100000, 'n') + "\n");
    session->readStartupSettings();
    EXPECT_EQ(session->state.Name1, QString(22, 'x'));
    EXPECT_EQ(session->state.Name2, "Ana Lopes");
    EXPECT_EQ(session->state.Name3, QString(22, 'z'));
    EXPECT_EQ(session->state.Paths, "yes");
    // A switch that long matches none of its values.
    EXPECT_EQ(session->state.TodayText, QString(64, 'n'));
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "TSKPath", "?").toUtf8(), path5000.left(4096));
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "Missing", "default"), "default");
}

TEST_F(HostileSettings, LengthsAreCountedInCharactersForNamesAndBytesForFolders)
{
    const QString e = QString::fromUtf8("é");
    EXPECT_EQ(cutSetting("Name1", QString(30, e[0])), QString(22, e[0]));
    // A folder of two-byte letters is cut at a letter's start.
    const QString folder = "/" + QString(3000, e[0]);
    const QString cut = cutSetting("ImagesPath", folder);
    EXPECT_LE(cut.toUtf8().size(), 4096);
    EXPECT_EQ(cut, folder.left(cut.size()));
    EXPECT_EQ(cut.size(), 2048);
    EXPECT_EQ(cutSetting("CapturePath", "/short/"), "/short/");
    // A name ending in a character beyond the basic plane is never cut in half.
    const QString wide = QString(21, 'a') + QString::fromUtf8("😀");
    EXPECT_EQ(cutSetting("Name2", wide), QString(21, 'a'));
}

TEST_F(HostileSettings, WritingToAnOverlongFileKeepsOnlyWhatWasRead)
{
    writeIni("[Startup]\nName1=" + QByteArray(2 * 1024 * 1024, 'x') + "\nName2=Ana\n");
    SaveSetting("Orvantis", "Startup", "TSKPath", "/themes/");
    EXPECT_LT(QFileInfo(file).size(), 64 * 1024);
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "Name2", "?"), "Ana");
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "TSKPath", "?"), "/themes/");
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "Name1", "?"), QString(22, 'x'));

    // An ordinary file is read and written as QSettings always did.
    QFile::remove(file);
    SaveSetting("Orvantis", "Startup", "Name1", "Kip Varro");
    SaveSetting("Orvantis", "Startup", "ThemePath", "/a b/c=d;e/");
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "Name1", "?"), "Kip Varro");
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "ThemePath", "?"), "/a b/c=d;e/");
}

} // namespace
} // namespace orv::test
