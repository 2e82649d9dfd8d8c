// orvantis-cli and makecab when things go wrong: a full file system, a failing write, an
// output folder that cannot be made, hostile member names, and the data folders of runs
// that were killed.
#include "app/folders.h"
#include "package_test_kit.h"
#include "support/tool_run.h"
#include "test_reliability_kit.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace orv::test {
namespace {

class ToolReliabilityTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Runs a program of the build (or any program by path) with a file size limit when given.
    ToolRun run(const QString& program, const QStringList& args, rlim_t fileSizeLimit = 0,
            const QString& workDir = {})
    {
        return runTool(program, args, toolEnvironment(dir.path()), [&](QProcess& p) {
            if (fileSizeLimit) FileSizeLimit::applyTo(p, fileSizeLimit);
            p.setWorkingDirectory(workDir.isEmpty() ? dir.path() : workDir);
        });
    }
    QString path(const QString& name) const { return dir.path() + "/" + name; }

    QTemporaryDir dir;
};

TEST_F(ToolReliabilityTest, BuildOntoAFullFileSystemFailsAndKeepsTheOldPackage)
{
    if (run("/usr/bin/unshare", {"-rm", "true"}).status != 0)
        GTEST_SKIP() << "no mount namespace here to mount a small file system in";
    // Flat pictures make a package of a kilobyte or two: small enough to reach the disk
    // only when the file is finished.
    for (const auto& [name, colour] : {std::pair{"blue.png", Qt::blue}, std::pair{"red.png", Qt::red}}) {
        QImage flat(240, 293, QImage::Format_RGB32);
        flat.fill(colour);
        writeBytes(path(name), encode(flat, "PNG"));
    }
    const ToolRun first = run("orvantis-cli", {"build", "--name", "Ocean", "--today", path("blue.png"),
                                               "-o", path("Ocean.tsk")});
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    ASSERT_LT(QFileInfo(path("Ocean.tsk")).size(), 16384);

    // Inside its own mount namespace: a small file system holding the old package and filled
    // up, the save onto it, then what became of the package (the mount ends with the shell).
    QDir().mkpath(path("full"));
    const QString script =
        "mount -t tmpfs -o size=64k tmpfs \"$1\" && cp \"$2\" \"$1/Ocean.tsk\" && "
        "{ cat /dev/zero > \"$1/fill\" 2>/dev/null; true; } && "
        "\"$3\" build --name Storm --today \"$4\" -o \"$1/Ocean.tsk\"; echo \"status $?\"; "
        "cmp -s \"$2\" \"$1/Ocean.tsk\" && echo kept";
    const ToolRun r = run("/usr/bin/unshare", {"-rm", "sh", "-c", script, "sh", path("full"),
                                           path("Ocean.tsk"), ORV_BINARY_DIR "/orvantis-cli",
                                           path("red.png")});
    EXPECT_EQ(r.out, "status 1\nkept\n");
    EXPECT_EQ(r.err, "orvantis-cli: " + path("full") + "/Ocean.tsk: cannot be written (Path/File access error: " +
                         path("full") + "/Ocean.tsk)\n");
}

TEST_F(ToolReliabilityTest, MakecabFailsInOneLineWhenItsCabinetCannotBeWritten)
{
    const QString work = path("work");
    QDir().mkpath(work);
    writeBytes(work + "/a.bin", QByteArray(3000, 'a'));
    writeBytes(work + "/x.ddf", ".Set CabinetName1=x.cab\r\n.Set DiskDirectory1=.\r\na.bin\r\n");
    const ToolRun r = run("makecab", {"/f", "x.ddf"}, 2000, work);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "makecab: cannot write cabinet: " + work + "/./x.cab: File too large\n");
    EXPECT_EQ(QDir(work).entryList(QDir::Files | QDir::Hidden), (QStringList{"a.bin", "x.ddf"}));
}

TEST_F(ToolReliabilityTest, ExtractReportsWhatItCouldNotWrite)
{
    const QString pkg = packWithMakecab(dir.path(), "Big.tsk", {{"big.bin", QByteArray(3000, 'b')}});
    writeBytes(path("plain-file"), "x");
    struct Case {
        const char* what;
        QString into;
        rlim_t limit;
        QString error;
    } cases[] = {
        {"a disk that fills up", path("out"), 1000,
         "orvantis-cli: " + path("out") + ": cannot be written (The system cannot write to the specified device.)\n"},
        {"an output folder that cannot be made", path("plain-file/out"), 0,
         "orvantis-cli: " + path("plain-file/out") +
             ": cannot be written (The directory or file cannot be created.)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ToolRun r = run("orvantis-cli", {"extract", pkg, c.into}, c.limit);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.error);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(QFileInfo::exists(c.into + "/big.bin"));
    }
}

TEST_F(ToolReliabilityTest, ExtractShowsControlCharactersOfMemberNamesEscaped)
{
    CabLayout layout;
    layout.blocks = {"abc"};
    layout.files = {{"bell\x07\x1b[2Jname.txt", 3, 0}, {"caf\xe9\x9b.txt", 0, 3}};
    writeBytes(path("odd.cab"), cabinetBytes(layout));
    const ToolRun r = run("orvantis-cli", {"extract", path("odd.cab"), path("out")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, path("out") + "/bell\\x07\\x1b[2Jname.txt\n" + path("out") +
                         QString::fromUtf8("/caf\u00e9\\x9b.txt\n"));
}

TEST_F(ToolReliabilityTest, DataFoldersLeftByKilledRunsAreRemovedByTheNextRun)
{
    // A process that is surely gone: a child that has ended and been waited for.
    QProcess gone;
    gone.start("/bin/true");
    ASSERT_TRUE(gone.waitForStarted());
    const qint64 gonePid = gone.processId();
    ASSERT_TRUE(gone.waitForFinished());
    const QString stale = toolWorkspaceTemplate(dir.path())
                              .replace(QString::number(::getpid()), QString::number(gonePid))
                              .replace("XXXXXX", "abc123");
    const QString live = toolWorkspaceTemplate(dir.path()).replace("XXXXXX", "def456");
    for (const QString& d : {stale, live}) {
        QDir().mkpath(d + "/tmp");
        writeBytes(d + "/tmp/zephrin1.000", "left");
    }
    EXPECT_EQ(run("orvantis-cli", {"extract", path("absent.tsk"), path("x")}).status, 1);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(live));
}

} // namespace
} // namespace orv::test
