// Where the program writes: only a missing path or a regular file is replaced. A named pipe,
// a device, a socket, a folder, a link to any of them, or a file the command is reading is
// refused with one line naming it, and is still there as it was afterwards.
#include "app/output_target.h"
#include "package_test_kit.h"
#include "support/session_fixture.h"
#include "support/tool_run.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace orv::test {
namespace {

mode_t kindAt(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) return 0;
    return st.st_mode & S_IFMT;
}

// The hostile targets, made fresh in a folder: each row names the target, what the refusal
// calls it and what must still stand there afterwards.
struct Target {
    QString name;
    QString calledIn; // the words of the one-line reason
    mode_t kind;      // what lstat finds there before and after
};

class OutputTargets : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.path() + "/" + name; }

    // Makes every target under folder; rows that cannot be made here are left out.
    QList<Target> makeTargets(const QString& folder, const QString& suffix)
    {
        QList<Target> rows;
        const QByteArray fifo = QFile::encodeName(folder + "/fifo" + suffix);
        if (::mkfifo(fifo.constData(), 0600) == 0)
            rows.append({"fifo" + suffix, "a named pipe", S_IFIFO});
        // A device node of our own (the kernel's "full" device); a link to the system's
        // node is tried too, which a failed check would replace only as a link.
        const QByteArray dev = QFile::encodeName(folder + "/full" + suffix);
        if (::mknod(dev.constData(), S_IFCHR | 0600, makedev(1, 7)) == 0)
            rows.append({"full" + suffix, "a character device", S_IFCHR});
        if (QFile::link("/dev/full", folder + "/devlink" + suffix))
            rows.append({"devlink" + suffix, "a link to a character device", S_IFLNK});
        if (QFile::link(folder + "/fifo" + suffix, folder + "/fifolink" + suffix))
            rows.append({"fifolink" + suffix, "a link to a named pipe", S_IFLNK});
        if (QDir().mkpath(folder + "/folder" + suffix))
            rows.append({"folder" + suffix, "a folder", S_IFDIR});
        const QByteArray sock = QFile::encodeName(folder + "/socket" + suffix);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        if (fd >= 0 && size_t(sock.size()) < sizeof addr.sun_path) {
            std::memcpy(addr.sun_path, sock.constData(), size_t(sock.size()));
            if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
                rows.append({"socket" + suffix, "a socket", S_IFSOCK});
        }
        if (fd >= 0) ::close(fd);
        return rows;
    }

    QString smallPackage(const QString& name)
    {
        return packWithMakecab(dir.path(), name,
                               {{"zephrin1.000", "not a real data file"},
                                {"0stwater.002", encode(flatPicture(150, 293), "PNG")},
                                {"tdywater.001", encode(flatPicture(240, 293), "PNG")}});
    }

    QTemporaryDir dir;
};

TEST_F(OutputTargets, TheCheckNamesWhatStandsThereAndPassesFilesAndMissingPaths)
{
    const QList<Target> rows = makeTargets(dir.path(), "");
    ASSERT_GE(rows.size(), 4);
    for (const Target& t : rows) {
        SCOPED_TRACE(t.name.toStdString());
        EXPECT_EQ(outputTargetProblem(path(t.name)),
                  "Cannot write " + path(t.name) + ": it is " + t.calledIn);
        EXPECT_THROW(requireOutputTarget(path(t.name)), AppError);
    }
    writeBytes(path("plain.png"), "x");
    EXPECT_EQ(outputTargetProblem(path("plain.png")), QString());
    EXPECT_EQ(outputTargetProblem(path("missing.png")), QString());
    // A link to a regular file, and a link to nothing, are a file to replace and a new one.
    QFile::link(path("plain.png"), path("link.png"));
    QFile::link(path("nowhere"), path("dangling.png"));
    EXPECT_EQ(outputTargetProblem(path("link.png")), QString());
    EXPECT_EQ(outputTargetProblem(path("dangling.png")), QString());

    // The same file under another name (a hard link) is an input all the same.
    ASSERT_EQ(::link(QFile::encodeName(path("plain.png")).constData(),
                     QFile::encodeName(path("hard.png")).constData()), 0);
    EXPECT_EQ(outputTargetProblem(path("hard.png"), {path("other.png"), path("plain.png")}),
              "Cannot write " + path("hard.png") + ": it is the file being read (" +
                  path("plain.png") + ")");
    EXPECT_EQ(outputTargetProblem(path("hard.png"), {path("missing.png")}), QString());
}

TEST_F(OutputTargets, RenderAndBuildRefuseEveryTargetBeforeAnyWorkAndLeaveItStanding)
{
    const QString pkg = smallPackage("Input.tsk");
    writeBytes(path("today.png"), encode(flatPicture(240, 293), "PNG"));
    // Each command is given a name of the kind it writes, so only the target is at fault.
    for (const QString& suffix : {QString(".png"), QString(".tsk")}) {
        for (const Target& t : makeTargets(dir.path(), suffix)) {
            SCOPED_TRACE(t.name.toStdString());
            const QStringList args = suffix == ".png"
                                         ? QStringList{"render", "--screen", "main", "-o", path(t.name)}
                                         : QStringList{"build", "--name", "Dusk", "-o", path(t.name)};
            const ToolRun run = runCli(dir.path(), args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, "orvantis-cli: " + path(t.name) + ": not written, it is " + t.calledIn + "\n");
            EXPECT_EQ(kindAt(path(t.name)), t.kind);
        }
    }

    // The input itself: the package stays a package, the picture stays the picture.
    const QByteArray package = readBytes(pkg);
    // Under its own name the package is refused for its extension already; under a picture's
    // name (a hard link) only the check of the file itself stands in the way.
    EXPECT_EQ(runCli(dir.path(), {"render", pkg, "--screen", "main", "-o", pkg}).status, 2);
    const QString alias = path("alias.png");
    ASSERT_EQ(::link(QFile::encodeName(pkg).constData(), QFile::encodeName(alias).constData()), 0);
    const ToolRun self = runCli(dir.path(), {"render", pkg, "--screen", "main", "-o", alias});
    EXPECT_EQ(self.status, 1);
    EXPECT_EQ(self.err, "orvantis-cli: " + alias + ": not written, it is the file being read (" + pkg + ")\n");
    EXPECT_EQ(readBytes(pkg), package);

    const QByteArray picture = readBytes(path("today.png"));
    const ToolRun build = runCli(dir.path(), {"build", "--name", "Dusk", "--today", path("today.png"),
                                       "-o", path("today.png")});
    EXPECT_EQ(build.status, 1);
    EXPECT_TRUE(build.err.contains("it is the file being read")) << build.err.toStdString();
    EXPECT_EQ(readBytes(path("today.png")), picture);

    // A plain file is still replaced, as before.
    writeBytes(path("old.png"), "old");
    EXPECT_EQ(runCli(dir.path(), {"render", "--screen", "main", "-o", path("old.png")}).status, 0);
    EXPECT_EQ(QImage(path("old.png")).size(), QSize(240, 320));
}

TEST_F(OutputTargets, ExtractRefusesAMemberLandingOnAnythingButAFileOrOnThePackage)
{
    // Members named like the hostile targets, unpacked into the folder that holds them.
    const QString into = path("into");
    QDir().mkpath(into);
    const QList<Target> rows = makeTargets(into, ".txt");
    for (const Target& t : rows) {
        SCOPED_TRACE(t.name.toStdString());
        const QString pkg = packWithMakecab(dir.path(), "One.tsk", {{t.name, "member"}});
        const ToolRun r = runCli(dir.path(), {"extract", pkg, into});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains("Cannot write " + into + "/" + t.name + ": it is " + t.calledIn))
            << r.err.toStdString();
        EXPECT_EQ(kindAt(into + "/" + t.name), t.kind);
    }

    // A package in the folder it unpacks into, holding a member of its own name.
    const QString made = packWithMakecab(dir.path(), "Self.tsk",
                                         {{"a.txt", "alpha"}, {"Self.tsk", "not the package"}});
    const QString self = into + "/Self.tsk";
    ASSERT_TRUE(QFile::copy(made, self));
    const QByteArray package = readBytes(self);
    const ToolRun r = runCli(dir.path(), {"extract", self, into});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("it is the file being read")) << r.err.toStdString();
    EXPECT_EQ(readBytes(self), package);
}

class EditorOutputTargets : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        start();
        ui.boxes.clear();
        out = home.path() + "/out";
        QDir().mkpath(out);
        ASSERT_EQ(::mkfifo(QFile::encodeName(out + "/pipe.tsk").constData(), 0600), 0);
        ASSERT_EQ(::mkfifo(QFile::encodeName(out + "/pipe.png").constData(), 0600), 0);
        ASSERT_EQ(::mkfifo(QFile::encodeName(out + "/pipe.jpg").constData(), 0600), 0);
    }
    QString out;
};

TEST_F(EditorOutputTargets, SaveExportAndCaptureRefuseAPipeWithTheirErrorBox)
{
    const QString scratch = session->folders().scratch();
    writeBytes(scratch + "/left.txt", "left");
    ui.fileAnswers = {out + "/pipe.tsk"};
    session->SaveTheme();
    EXPECT_EQ(ui.boxTexts(), QStringList{"Error: Cannot write " + out +
                                         "/pipe.tsk: it is a named pipe (SaveTheme)"});
    // Refused before any work: the scratch directory is as it was.
    EXPECT_EQ(QDir(scratch).entryList(QDir::Files), QStringList{"left.txt"});

    ui.boxes.clear();
    ui.fileAnswers = {out + "/pipe.png"};
    session->mnuSaveMainImage();
    ui.fileAnswers = {out + "/pipe.jpg"};
    session->ScreenCapture();
    EXPECT_EQ(ui.boxTexts(),
              (QStringList{"Error: Cannot write " + out + "/pipe.png: it is a named pipe (mnuSaveMainImage)",
                           "Error: Cannot write " + out + "/pipe.jpg: it is a named pipe (ScreenCapture)"}));
    for (const char* name : {"pipe.tsk", "pipe.png", "pipe.jpg"})
        EXPECT_EQ(kindAt(out + "/" + name), mode_t(S_IFIFO)) << name;
}

} // namespace
} // namespace orv::test
