// orvantis-cli device run as a program against a handheld folder: init, sending packages,
// the listing, a copy back, deletes, names that cannot become PC files, and the registration
// round trip that tells the editor where the control is.
#include "device_test_kit.h"

#include "app/folders.h"

#include <QProcess>
#include <QThread>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
        {{"get", "\\My Documents\\.."}, 1, "Not copied, the name on the PocketPC is no file name: \\My Documents\\..\n"},
        {{"get", "\\My Documents\\a/b"}, 1, "Not copied, the name on the PocketPC is no file name: \\My Documents\\a/b\n"},
        {{"get", "\\My Documents\\.tsk"}, 1, "Not copied, the name on the PocketPC is no file name: \\My Documents\\.tsk\n"},
        {{"get", "\\My Documents\\"}, 1, "Not copied, the name on the PocketPC is no file name: \\My Documents\\\n"},
        {{"put", pc("a.tsk"), "dir/sub\\evil.tsk"}, 1, "Not sent, the name is no file name on the PocketPC: dir/sub\\evil.tsk\n"},
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

    EXPECT_FALSE(QFile::exists(handheld("My Documents/a.tsk"))); // the put with a bad name sent nothing
    EXPECT_EQ(QDir(handheld("My Documents")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

    // Without the folder that stands for the handheld, the hint says where it was looked for.
    QDir(dir.path() + "/handheld").removeRecursively();
    const CliRun r = cli({"list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Unable to connect! Make sure ActiveSync is working!\nNo handheld folder at " + dir.path() +
                         "/handheld; orvantis-cli device init makes one\n");
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

TEST_F(DeviceCli, PlainCClientGetsArgumentsCoercedAsThePlatformCoercesThem)
{
    // Device files named like the texts the arguments become, each of its own size.
    const struct {
        const char* name;
        int size;
    } files[] = {{"-7", 1}, {"123456", 2}, {"200", 3}, {"2.5", 4}, {"0.1", 5}, {"1E+20", 6}, {"-1", 7}, {"0", 8}, {"42", 9}};
    cli({"init"});
    for (const auto& f : files) put(handheld(f.name), QByteArray(f.size, 'x'));
    const struct {
        const char* label;
        const char* text; // null: a type mismatch
        bool byRef;       // also passed as a plain reference
    } table[] = {
        {"I2 -7", "-7", true},          {"I4 123456", "123456", true}, {"UI1 200", "200", true},
        {"R4 2.5", "2.5", true},        {"R8 0.1", "0.1", true},       {"R8 1e20", "1E+20", true},
        {"BOOL true", "-1", true},      {"BOOL false", "0", true},     {"BSTR 42", "42", true},
        {"EMPTY", "", false},           {"NULL", nullptr, false},      {"ERROR", nullptr, true},
        {"DISPATCH", nullptr, false},
    };
    auto sizeOf = [&](const QString& text) {
        for (const auto& f : files)
            if (text == f.name) return f.size;
        return 0;
    };
    auto lines = [&](const QString& label, const char* text) {
        if (!text)
            return QStringList{"put " + label + " 80020005 0", "size " + label + " 80020005 0"};
        return QStringList{QString("put %1 00000000 99 \"%2\"").arg(label, text),
                           QString("size %1 00000000 99 %2").arg(label).arg(sizeOf(text))};
    };
    QStringList expected;
    for (const auto& t : table) expected << lines(t.label, t.text);
    for (const auto& t : table)
        if (t.byRef) expected << lines(QString("BYREF ") + t.label, t.text);
    for (const auto& t : table) expected << lines(QString("BYREF VARIANT ") + t.label, t.text);
    // To a 32-bit integer through the library's VariantChangeType: halves go to the even side.
    expected << "long R8 2.5 00000000 2" << "long R8 3.5 00000000 4" << "long R8 -2.5 00000000 -2"
             << "long R8 2.6 00000000 3" << "long R4 0.5 00000000 0" << "long R4 1.5 00000000 2"
             << "long R8 3e10 8002000a" << "long BSTR ' 12.5 ' 00000000 12" << "long BSTR 13.5 00000000 14"
             << "long BSTR -4 00000000 -4" << "long BSTR abc 80020005" << "long BSTR '' 80020005"
             << "long EMPTY 00000000 0" << "long BOOL true 00000000 -1" << "long NULL 80020005"
             << "long BYREF VARIANT R8 2.5 00000000 2";

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVANTIS_DEVICE_ROOT", dir.path() + "/handheld");
    env.remove("ORVANTIS_RAPI_LIBRARY");
    p.setProcessEnvironment(env);
    p.start(QString(ORV_BINARY_DIR) + "/testlibs/device_c_client", {controlLibrary(), dir.path(), "coerce"});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    const QStringList got = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(got.size(), expected.size());
    for (int i = 0; i < std::min(got.size(), expected.size()); ++i) EXPECT_EQ(got[i], expected[i]) << i;
}

TEST_F(DeviceCli, ReadOnlyPcFileSurvivesACopyAsAnOrdinaryUser)
{
    // Renaming over the file needs only the folder's permission; the user's own protection of
    // the file must decide. Root passes every permission check, so the copy runs as nobody.
    const passwd* nobody = getpwnam("nobody");
    if (geteuid() == 0 && !nobody) GTEST_SKIP() << "running as root and there is no user nobody to become";
    const uid_t uid = geteuid() == 0 ? nobody->pw_uid : geteuid();
    const gid_t gid = geteuid() == 0 ? nobody->pw_gid : getegid();
    struct stat buildDir{};
    if (geteuid() == 0 && (stat(ORV_BINARY_DIR, &buildDir) != 0 || !(buildDir.st_mode & S_IXOTH)))
        GTEST_SKIP() << "the build folder is closed to the user the copy would run as";
    char base[] = "/tmp/orv-readonly-XXXXXX"; // QTemporaryDir's folder is closed to others
    ASSERT_TRUE(mkdtemp(base));
    const QString root = base;
    struct Remove {
        QString path;
        ~Remove() { QDir(path).removeRecursively(); }
    } cleanup{root};
    chmod(base, 0755);
    cli({"init", root + "/handheld"});
    put(root + "/handheld/My Documents/Zeta.tsk", "from the handheld");
    QDir().mkpath(root + "/pc");
    QDir().mkpath(root + "/config");
    put(root + "/pc/Zeta.tsk", "the user's own");
    put(root + "/pc/Open.tsk", "replace me");
    put(root + "/handheld/My Documents/Open.tsk", "replaced");
    for (const QString& path : {root + "/pc", root + "/pc/Zeta.tsk", root + "/pc/Open.tsk", root + "/config"})
        ASSERT_EQ(chown(path.toUtf8().constData(), uid, gid), 0);
    chmod((root + "/handheld").toUtf8().constData(), 0755);
    chmod((root + "/pc/Zeta.tsk").toUtf8().constData(), 0444);
    chmod((root + "/pc/Open.tsk").toUtf8().constData(), 0604);

    auto getAsUser = [&](const QString& deviceName) {
        // Everything is made before the fork: the child only changes user and runs the tool.
        const QByteArray cli = QByteArray(ORV_BINARY_DIR) + "/orvantis-cli";
        const QByteArray from = ("\\My Documents\\" + deviceName).toUtf8();
        const QByteArray to = (root + "/pc").toUtf8();
        const QByteArray deviceEnv = "ORVANTIS_DEVICE_ROOT=" + (root + "/handheld").toUtf8();
        const QByteArray configEnv = "XDG_CONFIG_HOME=" + (root + "/config").toUtf8();
        const QByteArray homeEnv = "HOME=" + root.toUtf8();
        char* const argv[] = {const_cast<char*>(cli.constData()), const_cast<char*>("device"),
                              const_cast<char*>("get"), const_cast<char*>(from.constData()),
                              const_cast<char*>(to.constData()), nullptr};
        char* const envp[] = {const_cast<char*>(deviceEnv.constData()), const_cast<char*>(configEnv.constData()),
                              const_cast<char*>(homeEnv.constData()), nullptr};
        const pid_t child = fork();
        if (child == 0) {
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            dup2(devnull, 2);
            if (setgroups(0, nullptr) != 0 && geteuid() == 0) _exit(98);
            if (setgid(gid) != 0 || setuid(uid) != 0) _exit(98);
            execve(cli.constData(), argv, envp);
            _exit(97);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(getAsUser("Zeta.tsk"), 1);
    EXPECT_EQ(get(root + "/pc/Zeta.tsk"), "the user's own");
    struct stat st{};
    ASSERT_EQ(stat((root + "/pc/Zeta.tsk").toUtf8().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);

    EXPECT_EQ(getAsUser("Open.tsk"), 0);
    EXPECT_EQ(get(root + "/pc/Open.tsk"), "replaced");
    ASSERT_EQ(stat((root + "/pc/Open.tsk").toUtf8().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(st.st_gid, gid);
    EXPECT_EQ(QDir(root + "/pc").entryList(QDir::Files | QDir::Hidden), QStringList({"Open.tsk", "Zeta.tsk"}));
}

TEST_F(DeviceCli, AKilledGetLeavesATemporaryFileThatTheNextGetRemoves)
{
    cli({"init"});
    put(handheld("My Documents/big.tsk"), pattern(2 * 1024 * 1024));
    const QString back = dir.path() + "/back";
    QDir().mkpath(back);
    // The device link hangs after the first piece, and the copy is killed there.
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ORVANTIS_DEVICE_ROOT", dir.path() + "/handheld");
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    env.insert("ORVANTIS_RAPI_LIBRARY", faultLibrary());
    env.insert("RAPI_FAULT_STALL_AFTER", "1");
    p.setProcessEnvironment(env);
    p.start(QString(ORV_BINARY_DIR) + "/orvantis-cli", {"device", "get", "\\My Documents\\big.tsk", back});
    ASSERT_TRUE(p.waitForStarted());
    QStringList left;
    for (int i = 0; i < 600 && left.isEmpty(); ++i) {
        QThread::msleep(50);
        left = QDir(back).entryList(QDir::Files | QDir::Hidden);
    }
    ASSERT_EQ(left.size(), 1);
    EXPECT_TRUE(left[0].startsWith(QString(".orv-%1-").arg(p.processId()))) << left[0].toStdString();
    p.kill();
    p.waitForFinished();

    const CliRun again = cli({"get", "\\My Documents\\big.tsk", back});
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(QDir(back).entryList(QDir::Files | QDir::Hidden), QStringList{"big.tsk"});
    EXPECT_EQ(get(back + "/big.tsk"), pattern(2 * 1024 * 1024));
}

TEST_F(DeviceCli, TheDeviceLinkCheckLooksWhereTheControlLoadsIt)
{
    // The control registered in a folder of its own, the program's folder holding a device link.
    const QString config = dir.path() + "/config";
    const QString registered = dir.path() + "/registered";
    const QString program = dir.path() + "/program";
    struct RestoreConfig {
        QByteArray old = qgetenv("XDG_CONFIG_HOME");
        ~RestoreConfig() { qputenv("XDG_CONFIG_HOME", old); }
    } restore;
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    QDir().mkpath(config + "/Cradlelink");
    QDir().mkpath(registered);
    QDir().mkpath(program);
    ASSERT_TRUE(QFile::copy(controlLibrary(), registered + "/libcradlelink.so"));
    ASSERT_TRUE(QFile::copy(QString(ORV_BINARY_DIR) + "/librapi.so", program + "/librapi.so"));
    put(config + "/Cradlelink/classes.ini",
        "[Cradlelink.UCRapi]\nInprocServer32=" + (registered + "/libcradlelink.so").toUtf8() + "\n");
    cli({"init"});
    qputenv("ORVANTIS_DEVICE_ROOT", (dir.path() + "/handheld").toUtf8());

    auto loads = [&] {
        auto host = cradlelink::ControlHost::load(cradlelink::locateLibrary(program));
        if (!host) return false;
        try {
            return host->ConnectRapi() == 0 && host->DisconnectRapi() == 0;
        } catch (const AppError&) {
            return false;
        }
    };
    auto installed = [&] { return DeviceLinkInstalled(cradlelink::deviceLinkFolder(program)); };
    EXPECT_EQ(cradlelink::deviceLinkFolder(program), registered);
    EXPECT_FALSE(installed());
    EXPECT_FALSE(loads());
    ASSERT_TRUE(QFile::copy(QString(ORV_BINARY_DIR) + "/librapi.so", registered + "/librapi.so"));
    EXPECT_TRUE(installed());
    EXPECT_TRUE(loads());
    qputenv("ORVANTIS_RAPI_LIBRARY", (dir.path() + "/missing.so").toUtf8());
    EXPECT_FALSE(installed());
    EXPECT_FALSE(loads());
    qputenv("ORVANTIS_RAPI_LIBRARY", faultLibrary().toUtf8());
    EXPECT_TRUE(installed());
    EXPECT_TRUE(loads());
}

} // namespace
} // namespace orv::test
