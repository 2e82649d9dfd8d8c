// orvantis-cli device run as a program against a handheld folder: init, sending packages,
// the listing, a copy back, deletes, names that cannot become PC files, and the registration
// round trip that tells the editor where the control is.
#include "device_test_kit.h"

#include <QProcess>
#include <sys/stat.h>

namespace orv::test {
namespace {

struct CliRun {
    int status = -1;
    QString out, err;
};

class DeviceCli : public DeviceTest {
protected:
    CliRun cli(const QStringList& args, const QString& workDir = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ORVANTIS_DEVICE_ROOT", dir.path() + "/handheld");
        env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
        env.remove("ORVANTIS_RAPI_LIBRARY");
        p.setProcessEnvironment(env);
        if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
        p.start(QString(ORV_BINARY_DIR) + "/orvantis-cli", QStringList{"device"} + args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
    }
    QString handheld(const QString& rel) const { return dir.path() + "/handheld/" + rel; }
};

TEST_F(DeviceCli, InitPutListGetAndDeleteEndToEnd)
{
    EXPECT_EQ(cli({"init"}).status, 0);
    EXPECT_TRUE(QFile::exists(handheld("Windows/explorer.exe")));
    put(pc("Blue.tsk"), pattern(2000));
    put(pc("red.tsk"), pattern(700));
    EXPECT_EQ(cli({"put", pc("Blue.tsk"), pc("red.tsk")}).status, 0);
    put(handheld("Windows/sys.tsk"), "s");

    const CliRun list = cli({"list"});
    EXPECT_EQ(list.status, 0) << list.err.toStdString();
    EXPECT_EQ(list.out, "\\My Documents\\Blue.tsk\n\\My Documents\\red.tsk\n\\windows\\sys.tsk\n");

    QDir().mkpath(dir.path() + "/back");
    EXPECT_EQ(cli({"get", "\\My Documents\\Blue.tsk", dir.path() + "/back"}).status, 0);
    EXPECT_EQ(get(dir.path() + "/back/Blue.tsk"), pattern(2000));

    chmod(handheld("My Documents/red.tsk").toUtf8().constData(), 0444);
    EXPECT_EQ(cli({"delete", "\\my documents\\RED.TSK"}).status, 0);
    EXPECT_FALSE(QFile::exists(handheld("My Documents/red.tsk")));
}

TEST_F(DeviceCli, FailuresAndBadArgumentsReportOnStderr)
{
    cli({"init"});
    put(pc("a.tsk"), "a");
    const struct {
        QStringList args;
        int status;
        QString err;
    } cases[] = {
        {{"get", "\\My Documents\\.."}, 1, "Error: \\My Documents\\.. does not end in a file name that can be used on the PC\n"},
        {{"get", "\\My Documents\\a/b"}, 1, "Error: \\My Documents\\a/b does not end in a file name that can be used on the PC\n"},
        {{"get", "\\My Documents\\none.tsk", dir.path()}, 1, "Error: \\My Documents\\none.tsk is empty or cannot be opened on the device\n"},
        {{"put", pc("none.tsk")}, 1, "orvantis-cli: " + pc("none.tsk") + ": no such file\n"},
        {{"delete", "\\My Documents\\none.tsk"}, 1, "Error: \\My Documents\\none.tsk was not deleted. Last Error: 2\n"},
        {{"list", "extra"}, 2, "orvantis-cli: wrong arguments for device list\nTry 'orvantis-cli --help'.\n"},
        {{"fetch"}, 2, "orvantis-cli: unknown device command fetch\nTry 'orvantis-cli --help'.\n"},
    };
    for (const auto& t : cases) {
        const CliRun r = cli(t.args, dir.path());
        EXPECT_EQ(r.status, t.status) << t.args.join(' ').toStdString();
        EXPECT_EQ(r.err, t.err);
    }

    QDir(dir.path() + "/handheld").removeRecursively();
    const CliRun r = cli({"list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Unable to connect! Make sure ActiveSync is working!\n");
}

TEST_F(DeviceCli, ControlMessagesGoToStderrWithTheLibraryName)
{
    cli({"init"});
    put(pc("a.tsk"), "a");
    const CliRun r = cli({"put", pc("a.tsk")});
    ASSERT_EQ(r.status, 0);
    // A device name taken by a folder cannot be opened as a file.
    QDir().mkpath(handheld("My Documents/b.tsk"));
    put(pc("b.tsk"), "b");
    const CliRun refused = cli({"put", pc("b.tsk")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Cradlelink: Unable to open WinCE file\nError Sending Themes to PPC! Last Error: 5\n");
}

TEST_F(DeviceCli, RegistrationIsFoundByProgIdAndUnregisteringKeepsOtherGroups)
{
    const QString config = dir.path() + "/config";
    struct RestoreConfig {
        QByteArray old = qgetenv("XDG_CONFIG_HOME");
        ~RestoreConfig() { qputenv("XDG_CONFIG_HOME", old); }
    } restore;
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    QDir().mkpath(config + "/Cradlelink");
    put(config + "/Cradlelink/classes.ini", "[Other.Control]\nCLSID={1}\nInprocServer32=/x/libother.so\n");
    void* lib = dlopen(controlLibrary().toUtf8().constData(), RTLD_NOW);
    ASSERT_TRUE(lib);
    const auto reg = reinterpret_cast<PFN_DllRegisterServer>(dlsym(lib, "DllRegisterServer"));
    const auto unreg = reinterpret_cast<PFN_DllUnregisterServer>(dlsym(lib, "DllUnregisterServer"));

    EXPECT_EQ(reg(), S_OK);
    EXPECT_EQ(reg(), S_OK); // once, however often
    const QString real = QFileInfo(controlLibrary()).canonicalFilePath();
    EXPECT_EQ(get(config + "/Cradlelink/classes.ini"),
              "[Other.Control]\nCLSID={1}\nInprocServer32=/x/libother.so\n\n[Cradlelink.UCRapi]\n"
              "CLSID={B5C2787C-D240-429F-859C-A1DC012E782F}\nInprocServer32=" + real.toUtf8() + "\n");
    EXPECT_EQ(cradlelink::registeredLibrary(), real);
    EXPECT_EQ(cradlelink::locateLibrary("/elsewhere"), real);

    EXPECT_EQ(unreg(), S_OK);
    EXPECT_EQ(get(config + "/Cradlelink/classes.ini"), "[Other.Control]\nCLSID={1}\nInprocServer32=/x/libother.so\n");
    EXPECT_EQ(cradlelink::locateLibrary("/elsewhere"), "/elsewhere/libcradlelink.so");
    dlclose(lib);
}

TEST_F(DeviceCli, PlainCClientNeedsNothingOfOurs)
{
    cli({"init"});
    put(dir.path() + "/in.tsk", pattern(3000));
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVANTIS_DEVICE_ROOT", dir.path() + "/handheld");
    env.remove("ORVANTIS_RAPI_LIBRARY");
    p.setProcessEnvironment(env);
    p.start(QString(ORV_BINARY_DIR) + "/testlibs/device_c_client", {controlLibrary(), dir.path()});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.readAllStandardOutput(), "ok\n");
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(get(dir.path() + "/out.tsk"), pattern(3000));
}

} // namespace
} // namespace orv::test
