// Start-up pieces: settings and their defaults, folders, the one-instance lock, the file
// association and the small shared routines.
#include "app/settings_store.h"
#include "app/startup.h"
#include "support/session_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QSettings>

namespace orv::test {

namespace {
void clearSettings()
{
    for (const char* app : {"Orvantis", "Vantor"}) {
        QSettings s(QSettings::IniFormat, QSettings::UserScope, app, app);
        s.clear();
        s.sync();
    }
}
} // namespace

class StartupTest : public SessionTest {
protected:
    void SetUp() override
    {
        clearSettings();
        SessionTest::SetUp();
    }
    void TearDown() override { clearSettings(); }
};

TEST_F(StartupTest, MissingKeysGiveTheDefaults)
{
    session->readStartupSettings();
    const ProgramState& st = session->state;
    EXPECT_EQ(st.Name1, "Kip Varro");
    EXPECT_EQ(st.Name2, "Nell Varro");
    EXPECT_EQ(st.Name3, "Otto Brenn");
    EXPECT_EQ(st.Paths, "no");
    EXPECT_EQ(st.TodayText, "all");
    EXPECT_EQ(st.Skin, "Y");
    EXPECT_TRUE(st.colourDepth256);
}

TEST_F(StartupTest, AnyStoredDepthButExactly256MeansSixteenMillion)
{
    for (const char* stored : {"16M", "256 ", "foo", ""}) {
        SaveSetting("Vantor", "Statup", "CD", stored);
        session->readStartupSettings();
        EXPECT_FALSE(session->state.colourDepth256) << stored;
    }
    SaveSetting("Vantor", "Statup", "CD", "256");
    session->readStartupSettings();
    EXPECT_TRUE(session->state.colourDepth256);
}

TEST_F(StartupTest, CloseWritesDepthAsExactly256Or16M)
{
    session->state.colourDepth256 = false;
    session->formUnload();
    EXPECT_EQ(GetSetting("Vantor", "Statup", "CD", "?"), "16M");
    session->state.colourDepth256 = true;
    session->formUnload();
    EXPECT_EQ(GetSetting("Vantor", "Statup", "CD", "?"), "256");
}

TEST_F(StartupTest, StoredFoldersAreIgnoredUnlessPathsIsYesButWrittenAtClose)
{
    SaveSetting("Orvantis", "Startup", "ThemePath", "/stored/themes/");
    session->readStartupSettings();
    start();
    EXPECT_EQ(session->state.ThemePath, home.path() + "/tsk/");
    EXPECT_EQ(session->state.TSKPath, home.path() + "/tsk");
    EXPECT_EQ(session->state.ImagesPath, home.path() + "/images/");
    EXPECT_EQ(session->state.CapturePath, home.path() + "/capture/");

    session->state.ThemePath = "/last/run/";
    session->formUnload();
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "ThemePath", "?"), "/last/run/");

    SaveSetting("Orvantis", "Startup", "Paths", "yes");
    session->readStartupSettings();
    start();
    EXPECT_EQ(session->state.ThemePath, "/last/run/");
    EXPECT_EQ(session->state.TSKPath, home.path() + "/tsk"); // still the default: never stored
}

TEST_F(StartupTest, StartCreatesTheFourWorkingDirectories)
{
    start();
    for (const char* d : {"tmp", "tsk", "images", "capture"})
        EXPECT_TRUE(QDir(home.path() + "/" + d).exists()) << d;
}

TEST_F(StartupTest, NoskinInAnyCaseStoresThePlainLook)
{
    session->readStartupSettings();
    start("noSkin");
    EXPECT_EQ(session->state.Skin, "NAKED-XP");
    EXPECT_EQ(GetSetting("Orvantis", "Startup", "Skin", "?"), "NAKED-XP");
}

TEST_F(StartupTest, ShortOrOtherCommandLinesStartANewTheme)
{
    for (const char* line : {"qzv", "", "picture.png", "TSK"}) {
        session->theme.menuFollowsMain = false;
        start(line);
        EXPECT_TRUE(session->theme.menuFollowsMain) << line;
    }
    EXPECT_EQ(session->state.commandLine, "TSK");
}

TEST_F(StartupTest, StartLoadsTheThemeTemplate)
{
    start();
    EXPECT_EQ(session->state.themeTemplate.size(), 524);
    EXPECT_EQ(session->state.themeDataBuffer.size(), 2);
    EXPECT_TRUE(ui.boxes.empty()) << ui.boxTexts().join('\n').toStdString();
}

TEST_F(StartupTest, UnwritableDataFolderStopsTheSetUpWithTheLoadBox)
{
    Folders f;
    f.programDir = home.path();
    QFile blocker(home.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.dataDir = blocker.fileName(); // a file where the data folder should be
    EditorSession s(ui, f);
    s.formLoad(QString());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.startsWith("Error: ")) << ui.boxes[0].text.toStdString();
    EXPECT_TRUE(ui.boxes[0].text.endsWith(" (Load)")) << ui.boxes[0].text.toStdString();
    EXPECT_TRUE(s.state.themeTemplate.isEmpty()); // the rest of the set-up was skipped
}

TEST(SharedRoutines, DeviceLinkIsInstalledOnlyWhenTheLibraryIsThere)
{
    QTemporaryDir dir;
    EXPECT_FALSE(DeviceLinkInstalled(dir.path()));
    EXPECT_FALSE(DeviceLinkInstalled(dir.path() + "/missing"));
    QFile lib(dir.path() + "/librapi.so");
    ASSERT_TRUE(lib.open(QIODevice::WriteOnly));
    lib.close();
    EXPECT_TRUE(DeviceLinkInstalled(dir.path()));
}

TEST(SharedRoutines, ColourComponentsUseSignedRemainders)
{
    EXPECT_EQ(RedOf(0x4080FF), 255);
    EXPECT_EQ(GreenOf(0x4080FF), 128);
    EXPECT_EQ(BlueOf(0x4080FF), 64);
    EXPECT_EQ(RedOf(-1), -1);
    EXPECT_EQ(GreenOf(-256), -1);
    EXPECT_EQ(BlueOf(-65536), -1);
}

TEST(SharedRoutines, HelpFileIsNotDoubledAfterATrailingSeparator)
{
    EXPECT_EQ(helpFilePath("/opt/orvantis"), "/opt/orvantis/Orvantis.HLP");
    EXPECT_EQ(helpFilePath("/"), "/Orvantis.HLP");
    EXPECT_EQ(ShortPathOf("/a b/c.tsk"), "/a b/c.tsk");
}

TEST(SingleInstance, SecondLockIsRefusedUntilTheFirstIsReleased)
{
    QTemporaryDir dir;
    auto first = acquireSingleInstance(dir.path());
    ASSERT_EQ(first.state, InstanceLock::State::Held);
    EXPECT_EQ(acquireSingleInstance(dir.path()).state, InstanceLock::State::OtherInstance);
    first.lock.reset();
    EXPECT_EQ(acquireSingleInstance(dir.path()).state, InstanceLock::State::Held);
}

TEST(FileAssociation, WrittenWhenMissingAndLeftAloneAfterwards)
{
    QTemporaryDir dir;
    EXPECT_FALSE(fileAssociationExists(dir.path()));
    RegisterFileType(dir.path(), "/opt/orvantis");
    EXPECT_TRUE(fileAssociationExists(dir.path()));

    QFile desktop(dir.path() + "/applications/org.zephrin.Orvantis.desktop");
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QByteArray entry = desktop.readAll();
    EXPECT_TRUE(entry.contains("Exec=\"/opt/orvantis/orvantis\" %f\n"));
    EXPECT_TRUE(entry.contains("Icon=orvantis\n"));
    EXPECT_TRUE(entry.contains("MimeType=application/x-orvantis-document;"));
    QFile mime(dir.path() + "/mime/packages/orvantis-tsk.xml");
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    EXPECT_TRUE(mime.readAll().contains("<glob pattern=\"*.tsk\"/>"));
}

// The association only counts once the desktop sees it: the caches are rebuilt, so the
// freedesktop tools name the type of a package and the program that opens it.
TEST(FileAssociation, TakesEffectForTheDesktopTools)
{
    QTemporaryDir dir;
    const QString data = dir.path() + "/data";
    const QString program = dir.path() + "/odd $dir \"quoted\" 100%";
    RegisterFileType(data, program);
    QFile desktop(data + "/applications/org.zephrin.Orvantis.desktop");
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    EXPECT_TRUE(desktop.readAll().contains(
        "Exec=\"" + dir.path().toUtf8() + "/odd \\\\$dir \\\\\"quoted\\\\\" 100%%/orvantis\" %f\n"));
    EXPECT_TRUE(QFile::exists(data + "/icons/hicolor/48x48/mimetypes/application-x-orvantis-document.png"));
    EXPECT_TRUE(QFile::exists(data + "/icons/hicolor/48x48/apps/orvantis.png"));

    QFile package(dir.path() + "/Ocean.tsk");
    ASSERT_TRUE(package.open(QIODevice::WriteOnly));
    package.write(QByteArray("MSCF\0\0\0\0", 8) + QByteArray(200, '\0'));
    package.close();
    auto xdgMime = [&](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", data);
        env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
        env.insert("XDG_CURRENT_DESKTOP", "GNOME");
        p.setProcessEnvironment(env);
        p.start("xdg-mime", args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };
    EXPECT_EQ(xdgMime({"query", "filetype", package.fileName()}), "application/x-orvantis-document");
    EXPECT_EQ(xdgMime({"query", "default", "application/x-orvantis-document"}), "org.zephrin.Orvantis.desktop");
}

// The per-user entry carries the installed entry's id, so a desktop lists one Orvantis; the
// entry earlier versions wrote under a name of its own goes, and files of that name that are
// not ours stay.
TEST(FileAssociation, OneMenuEntryBesideTheInstalledOne)
{
    QTemporaryDir dir;
    const QString apps = dir.path() + "/applications/";
    QDir().mkpath(apps);
    auto write = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    // What an earlier version left behind.
    write(apps + "orvantis.desktop", "[Desktop Entry]\nType=Application\nName=Orvantis\n"
                                     "Exec=\"/old/orvantis\" %f\n"
                                     "MimeType=application/x-orvantis-document;\n");
    EXPECT_FALSE(fileAssociationExists(dir.path()));
    RegisterFileType(dir.path(), "/opt/orvantis");
    EXPECT_TRUE(fileAssociationExists(dir.path()));
    EXPECT_EQ(QDir(apps).entryList({"*.desktop"}), QStringList{"org.zephrin.Orvantis.desktop"});

    // Another program's file of that name is left alone.
    QTemporaryDir other;
    QDir().mkpath(other.path() + "/applications");
    const QByteArray foreign = "[Desktop Entry]\nType=Application\nName=Orvantis Viewer\nExec=viewer\n";
    write(other.path() + "/applications/orvantis.desktop", foreign);
    RegisterFileType(other.path(), "/opt/orvantis");
    QFile kept(other.path() + "/applications/orvantis.desktop");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), foreign);
}

} // namespace orv::test
