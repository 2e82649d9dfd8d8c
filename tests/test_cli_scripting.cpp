// orvantis-cli as scripts and packagers meet it: one-line errors that name their file, colours by
// element name, the usual option forms, output pictures by their name, ranges refused, and the
// manual pages and shell completions that must say what --help says.
#include "package_test_kit.h"
#include "app/editor_session.h"
#include "support/tool_run.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace orv::test {
namespace {

// Runs program in workDir, as a user at a prompt there would.
ToolRun runProgram(const QString& program, const QStringList& args, const QString& workDir,
                   const QProcessEnvironment& env)
{
    return runTool(program, args, env, [&](QProcess& p) { p.setWorkingDirectory(workDir); });
}

QString sourceText(const QString& rel)
{
    QFile f(QString(ORV_SOURCE_DIR) + "/" + rel);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << rel.toStdString();
    return QString::fromUtf8(f.readAll());
}

// The options a text mentions: --long ones and the short -o and -h.
QSet<QString> optionsIn(const QString& text)
{
    static const QRegularExpression option("(?<![\\w-])(--[a-z][a-z0-9-]*|-[oh])(?![\\w-])");
    QSet<QString> found;
    for (auto it = option.globalMatch(text); it.hasNext();) found << it.next().captured(1);
    return found;
}

const QStringList kShortForms = {"titlebar-left", "titlebar-right", "titlebar-text", "today-text",
                                 "today-lines", "command-bar", "navigation-tray", "message-left",
                                 "message-right", "important-left", "important-right"};
const QStringList kMenuNames = {"Upper Left Titlebar", "Upper Right Titlebar", "Titlebar Text",
                                "Today Screen Text", "Today Screen Lines", "Command Bar",
                                "Navigation Tray", "Message Bar Left", "Message Bar Right",
                                "Important Message Bar Left", "Important Message Bar Right"};

class CliScripting : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("work/themes");
        QDir(dir.path()).mkpath("tmp");
        QDir(dir.path()).mkpath("handheld");
    }
    QProcessEnvironment env() const
    {
        QProcessEnvironment e = toolEnvironment(dir.path());
        e.insert("TMPDIR", dir.path() + "/tmp");
        e.insert("ORVANTIS_DEVICE_ROOT", dir.path() + "/handheld");
        e.remove("ORVANTIS_RAPI_LIBRARY");
        // Packages built in different seconds are the same bytes.
        e.insert("SOURCE_DATE_EPOCH", "1700000000");
        return e;
    }
    // Runs in work/, so the files of a command line are named as a user types them.
    ToolRun cli(const QStringList& args) const
    {
        return runProgram("orvantis-cli", args, work(""), env());
    }
    QString work(const QString& name) const { return dir.path() + "/work/" + name; }
    QByteArray built(const QStringList& colourArgs, const QString& out)
    {
        QDir().mkpath(QFileInfo(work(out)).path());
        const ToolRun r = cli(QStringList{"build", "--name", "Same"} + colourArgs + QStringList{"-o", out});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return readBytes(work(out));
    }

    QTemporaryDir dir;
};

TEST_F(CliScripting, WrongInvocationsSayWhatAndWhyInTheirFirstLine)
{
    writeBytes(work("photo.jpg"), encode(testPicture(64, 48), "JPEG"));
    writeBytes(work("broken.png"), encode(testPicture(240, 293), "PNG").left(200));
    ASSERT_EQ(cli({"build", "--name", "Whole", "-o", "Whole.tsk"}).status, 0);
    const QByteArray whole = readBytes(work("Whole.tsk"));
    writeBytes(work("cut.tsk"), whole.left(whole.size() / 2));
    const QString focus =
        "orvantis-cli: --focus takes X,Y: two fractions of the picture's width and height, each from 0.0 to 1.0";
    const QString pictureName = ": -o takes a name ending in .png, .jpg, .jpeg or .bmp";

    const struct {
        QStringList args;
        QString firstLine;
        int status;
    } cases[] = {
        {{"info", "photo.jpg"}, "orvantis-cli: photo.jpg: not a theme package (Invalid data.)", 1},
        {{"info", "cut.tsk"}, "orvantis-cli: cut.tsk: not a theme package (Invalid data.)", 1},
        {{"info", "themes/"}, "orvantis-cli: themes/: is a folder, not a package", 1},
        {{"info", "nothere.tsk"}, "orvantis-cli: nothere.tsk: no such file", 1},
        {{"extract", "nothere.tsk", "out"}, "orvantis-cli: nothere.tsk: no such file", 1},
        {{"extract", "photo.jpg", "out"}, "orvantis-cli: photo.jpg: not a package (Invalid data.)", 1},
        {{"render", "themes", "--screen", "main", "-o", "x.png"}, "orvantis-cli: themes: is a folder, not a package", 1},
        {{"render", "--screen", "main", "-o", "x.gif"}, "orvantis-cli: x.gif" + pictureName, 2},
        {{"render", "--screen", "main", "-o", "x"}, "orvantis-cli: x" + pictureName, 2},
        {{"render", "--screen=desk", "-o", "x.png"}, "orvantis-cli: --screen takes one of main|message|important|navigation|menu", 2},
        {{"build", "--name", "N", "--today", "nothere.png", "-o", "x.tsk"}, "orvantis-cli: nothere.png: no such file", 1},
        {{"build", "--name", "N", "--menu", "themes", "-o", "x.tsk"}, "orvantis-cli: themes: is a folder, not a picture", 1},
        {{"build", "--name", "N", "--today", "broken.png", "-o", "x.tsk"},
         "orvantis-cli: broken.png: cannot be read as a picture (Cannot read the picture broken.png)", 1},
        {{"build", "--name", "N", "-o", "nofolder/x.tsk"},
         "orvantis-cli: nofolder/x.tsk: cannot be written (Path/File access error: " + work("nofolder/x.tsk") + ")", 1},
        {{"build", "--name", "N", "--fit", "place", "--focus", "1.5,2", "-o", "x.tsk"}, focus, 2},
        {{"build", "--name", "N", "--fit", "place", "--focus", "0.5,-0.01", "-o", "x.tsk"}, focus, 2},
        {{"build", "--name", "N", "--fit", "place", "--zoom=0.99", "-o", "x.tsk"}, "orvantis-cli: --zoom takes a number of 1 or more", 2},
        {{"build", "--name", "N", "--brightness", "1.01", "-o", "x.tsk"}, "orvantis-cli: --brightness takes a number from 0.0 to 1.0", 2},
        {{"build", "--name", "N", "--contrast", "-0.1", "-o", "x.tsk"}, "orvantis-cli: --contrast takes a number from 0.0 to 1.0", 2},
        {{"build", "--name", "N", "--gamma", "0.99", "-o", "x.tsk"}, "orvantis-cli: --gamma takes a number from 1.0 to 10.0", 2},
        {{"build", "--name", "N", "--gamma=10.5", "-o", "x.tsk"}, "orvantis-cli: --gamma takes a number from 1.0 to 10.0", 2},
        {{"build", "--name", "N", "--color", "Desk Top=#FFFFFF", "-o", "x.tsk"},
         "orvantis-cli: --color takes COLORNAME=#RRGGBB with an element name, its short form or a value name (see --help)", 2},
        {{"build", "--name"}, "orvantis-cli: --name needs a value", 2},
        {{"frobnicate"}, "orvantis-cli: unknown command frobnicate", 2},
        {{"device", "put", "nothere.tsk"}, "orvantis-cli: nothere.tsk: no such file", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ToolRun r = cli(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.firstErrLine(), c.firstLine);
        EXPECT_TRUE(r.out.isEmpty());
        for (const char* left : {"x.tsk", "x.png", "x.gif", "x", "out"}) EXPECT_FALSE(QFileInfo::exists(work(left))) << left;
    }
}

// A name that asks for no format is refused before the run sets anything up.
TEST_F(CliScripting, RefusedOutputNameLeavesNoTrace)
{
    const ToolRun r = cli({"render", "--screen", "main", "-o", "shot.gif"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(QDir(dir.path() + "/tmp").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    EXPECT_FALSE(QFileInfo::exists(work("shot.gif")));
}

TEST_F(CliScripting, RenderWritesTheFormatItsNameAsksFor)
{
    const QStringList clock = {"--screen", "main", "--time", "09:05", "--date", "2026-03-14"};
    for (const char* name : {"s.png", "s.jpg", "S.JPEG", "s.bmp"}) {
        const ToolRun r = cli(QStringList{"render"} + clock + QStringList{"-o", name});
        ASSERT_EQ(r.status, 0) << name << r.err.toStdString();
    }
    const auto formatOf = [&](const char* name) { return QImageReader(work(name)).format(); };
    EXPECT_EQ(formatOf("s.png"), "png");
    EXPECT_EQ(formatOf("s.jpg"), "jpeg");
    EXPECT_EQ(formatOf("S.JPEG"), "jpeg");
    EXPECT_EQ(formatOf("s.bmp"), "bmp");
    EXPECT_TRUE(readBytes(work("s.jpg")).startsWith("\xFF\xD8\xFF"));
    EXPECT_TRUE(readBytes(work("s.bmp")).startsWith("BM"));
    // Lossless formats carry the same screen; JPEG a close one.
    const QImage png(work("s.png"));
    EXPECT_EQ(png.size(), QSize(240, 320));
    EXPECT_TRUE(samePixels(QImage(work("s.bmp")), png));
    const QImage jpeg(work("s.jpg"));
    ASSERT_EQ(jpeg.size(), png.size());
    qint64 difference = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x)
            difference += std::abs(qGreen(jpeg.pixel(x, y)) - qGreen(png.pixel(x, y)));
    EXPECT_LE(difference / (png.width() * png.height()), 8);
}

TEST_F(CliScripting, ElementNamesShortFormsAndValueNamesBuildTheSamePackage)
{
    const QByteArray byValue = built({"--color", "4=#FFFFFF", "--color", "26=#102030"}, "v/Same.tsk");
    const QByteArray byName = built({"--color", "Today Screen Text=#FFFFFF", "--color",
                                     "important message bar right=#102030"}, "n/Same.tsk");
    const QByteArray byShort = built({"--color=today-text=#FFFFFF", "--color=important-right=#102030"}, "s/Same.tsk");
    const QByteArray untouched = built({}, "u/Same.tsk");
    ASSERT_FALSE(byValue.isEmpty());
    EXPECT_EQ(byName, byValue);
    EXPECT_EQ(byShort, byValue);
    EXPECT_NE(untouched, byValue);
}

// The cabinet builder stamps members with their files' times, or with SOURCE_DATE_EPOCH when
// it is set, so that a collection can be rebuilt to the same bytes.
TEST_F(CliScripting, SourceDateEpochMakesPackagesReproducible)
{
    const QString work = dir.path() + "/cab";
    QDir().mkpath(work);
    writeBytes(work + "/a.bin", "alpha");
    writeBytes(work + "/x.ddf", ".Set CabinetName1=x.cab\r\n.Set DiskDirectory1=.\r\na.bin\r\n");
    const auto pack = [&](const QDateTime& fileTime, const QString& epoch) {
        QFile f(work + "/a.bin");
        EXPECT_TRUE(f.open(QIODevice::ReadWrite));
        EXPECT_TRUE(f.setFileTime(fileTime, QFileDevice::FileModificationTime));
        f.close();
        QProcessEnvironment e = env();
        if (epoch.isEmpty()) e.remove("SOURCE_DATE_EPOCH");
        else e.insert("SOURCE_DATE_EPOCH", epoch);
        EXPECT_EQ(runProgram(QString(ORV_BINARY_DIR) + "/makecab", {"/f", "x.ddf"}, work, e).status, 0);
        return readBytes(work + "/x.cab");
    };
    const QDateTime monday(QDate(2024, 5, 6), QTime(10, 0)), tuesday(QDate(2024, 5, 7), QTime(11, 30));
    EXPECT_NE(pack(monday, {}), pack(tuesday, {}));
    EXPECT_EQ(pack(monday, "1700000000"), pack(tuesday, "1700000000"));
    EXPECT_NE(pack(monday, "1700000000"), pack(monday, "1700086400"));
    // An epoch the cabinet cannot date falls back to the file's time.
    EXPECT_EQ(pack(monday, "99999999999"), pack(monday, {}));
}

TEST_F(CliScripting, InfoNamesEachColoursElementAndKeepsTheValueNames)
{
    ASSERT_EQ(cli({"build", "--name", "Named", "--color", "today-lines=#010203", "--color", "11=#0A0B0C",
                   "-o", "Named.tsk"}).status, 0);
    const ToolRun r = cli({"info", "Named.tsk"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(o["colors"].toObject()["6"].toString(), "#010203");
    EXPECT_EQ(o["colors"].toObject()["11"].toString(), "#0A0B0C");
    EXPECT_EQ(o["without_element"].toArray(), QJsonArray({"11", "12"}));

    const QJsonArray slotList = o["slots"].toArray();
    ASSERT_EQ(slotList.size(), 13);
    QStringList menuNames, shortForms;
    for (const QJsonValue& v : slotList) {
        const QJsonObject slot = v.toObject();
        const QString value = slot["value"].toString();
        EXPECT_EQ(slot["color"].toString(), o["colors"].toObject()[value].toString()) << value.toStdString();
        if (value == "11" || value == "12") {
            EXPECT_TRUE(slot["element"].isNull());
            EXPECT_TRUE(slot["short"].isNull());
            continue;
        }
        menuNames << slot["element"].toString();
        shortForms << slot["short"].toString();
    }
    EXPECT_EQ(menuNames, kMenuNames);
    EXPECT_EQ(shortForms, kShortForms);
    EXPECT_EQ(slotList[4].toObject()["element"].toString(), "Today Screen Lines");
    EXPECT_EQ(slotList[4].toObject()["color"].toString(), "#010203");
}

TEST_F(CliScripting, EqualsFormsDoubleDashAndShortHelp)
{
    const QByteArray members = "member";
    ASSERT_TRUE(QFile::rename(packWithMakecab(dir.path(), "dash.tsk", {{"m.txt", members}}), work("-dash.tsk")));
    const ToolRun refused = cli({"extract", "-dash.tsk", "out"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.firstErrLine(), "orvantis-cli: unknown option -dash.tsk for extract");
    const ToolRun ended = cli({"extract", "--", "-dash.tsk", "out"});
    EXPECT_EQ(ended.status, 0) << ended.err.toStdString();
    EXPECT_EQ(readBytes(work("out/m.txt")), members);

    // After -- even --help is a file name.
    EXPECT_EQ(cli({"info", "--", "--help"}).firstErrLine(), "orvantis-cli: --help: no such file");

    const ToolRun help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(cli({"-h"}).out, help.out);
    EXPECT_EQ(cli({"build", "-h"}).out, help.out);
    EXPECT_EQ(cli({"device", "--help"}).out, help.out);

    ASSERT_EQ(cli({"build", "--name=Eq", "--depth=16m", "-o", "eq.tsk"}).status, 0);
    ASSERT_EQ(cli({"build", "--name", "Eq", "--depth", "16m", "-o", "sp.tsk"}).status, 0);
    EXPECT_EQ(readBytes(work("eq.tsk")), readBytes(work("sp.tsk")));
    // A value may itself hold an equals sign: the name keeps it.
    ASSERT_EQ(cli({"build", "--name=a=b", "-o", "ab.tsk"}).status, 0);
    EXPECT_EQ(QJsonDocument::fromJson(cli({"info", "ab.tsk"}).out.toUtf8()).object()["name"].toString(), "a=b");
}

TEST_F(CliScripting, VersionIsTheBuildDefinitionsAsTheAboutWindowShowsIt)
{
    const ToolRun r = cli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "orvantis-cli " + kVersion + "\n");
    EXPECT_EQ(kVersion, QString(ORV_VERSION));
    EXPECT_EQ(cli({"info", "x.tsk", "--version"}).out, r.out);
}

// The manual pages, the completions and --help describe one command line.
TEST_F(CliScripting, ManualAndCompletionsCoverWhatHelpShows)
{
    const QString help = cli({"--help"}).out;
    const QString man = sourceText("docs/man/orvantis-cli.1").replace("\\-", "-");
    EXPECT_EQ(optionsIn(man), optionsIn(help));
    for (const char* word : {"info", "render", "build", "extract", "check", "thumbnail", "device", "list", "get", "put",
                             "delete", "init", "main", "message", "important", "navigation", "menu"}) {
        EXPECT_TRUE(help.contains(word)) << word;
        EXPECT_TRUE(man.contains(word)) << word;
    }
    for (int i = 0; i < kShortForms.size(); ++i) {
        EXPECT_TRUE(help.contains(kShortForms[i])) << kShortForms[i].toStdString();
        EXPECT_TRUE(help.contains(kMenuNames[i])) << kMenuNames[i].toStdString();
        EXPECT_TRUE(man.contains(kShortForms[i] + "\t" + kMenuNames[i] + "\t")) << kShortForms[i].toStdString();
    }

    const QSet<QString> commandOptions = optionsIn(help) - QSet<QString>{"--help", "-h", "--version"};
    for (const char* script : {"cli/completion/orvantis-cli.bash", "cli/completion/_orvantis-cli",
                               "cli/completion/orvantis-cli.fish"}) {
        SCOPED_TRACE(script);
        const QString text = sourceText(script);
        for (const QString& name : kShortForms) EXPECT_TRUE(text.contains(name)) << name.toStdString();
        for (const QString& option : commandOptions) {
            // fish names long options without their dashes: -l screen.
            const bool fish = QString(script).endsWith(".fish");
            const QString spelled = !fish ? option : option.startsWith("--") ? "-l " + option.mid(2) : "-s " + option.mid(1);
            EXPECT_TRUE(text.contains(spelled)) << option.toStdString();
        }
    }
}

TEST_F(CliScripting, ManualPagesRenderWithoutWarnings)
{
    const QString man = QStandardPaths::findExecutable("man");
    if (man.isEmpty()) GTEST_SKIP() << "man-db is not installed (scripts/install-deps.sh installs it)";
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert("MANWIDTH", "80");
    e.insert("LC_ALL", "C.UTF-8");
    for (const char* page : {"orvantis-cli.1", "orvantis.1"}) {
        SCOPED_TRACE(page);
        const QString built = QString(ORV_BINARY_DIR) + "/man/" + page;
        for (const QString& file : {built, built + ".gz"}) {
            const ToolRun r = runProgram(man, {"--warnings", "-l", file}, dir.path(), e);
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.err, "");
            EXPECT_TRUE(r.out.contains("NAME")) << r.out.left(200).toStdString();
            EXPECT_TRUE(r.out.contains("Orvantis " + kVersion));
        }
    }
}

TEST_F(CliScripting, BashLoadsTheCompletionAndCompletesNamesAndPackages)
{
    const QString script = QString(ORV_SOURCE_DIR) + "/cli/completion/orvantis-cli.bash";
    writeBytes(work("a.tsk"), "a");
    writeBytes(work("B.TSK"), "b");
    writeBytes(work("c.png"), "c");
    const auto complete = [&](const QString& words, int cword) {
        const QString body = "source '" + script + "' && complete -p orvantis-cli && COMP_WORDS=(" + words +
                             ") && COMP_CWORD=" + QString::number(cword) +
                             "; _orvantis_cli; printf '%s\\n' \"${COMPREPLY[@]}\" | LC_ALL=C sort";
        return runProgram("/bin/bash", {"--norc", "--noprofile", "-c", body}, work(""), env());
    };
    const ToolRun colours = complete("orvantis-cli build --color tod", 3);
    EXPECT_EQ(colours.status, 0) << colours.err.toStdString();
    EXPECT_EQ(colours.out, "complete -o filenames -F _orvantis_cli orvantis-cli\ntoday-lines=#\ntoday-text=#\n");
    EXPECT_EQ(complete("orvantis-cli info ''", 2).out.section('\n', 1), "B.TSK\na.tsk\nthemes\n");
    EXPECT_EQ(complete("orvantis-cli render --screen=na", 2).out.section('\n', 1), "navigation\n");
    EXPECT_EQ(complete("orvantis-cli --ver", 1).out.section('\n', 1), "--version\n");
    EXPECT_EQ(complete("orvantis-cli device p", 2).out.section('\n', 1), "put\n");
}

TEST_F(CliScripting, ZshAndFishCompletionsParse)
{
    bool tried = false;
    const QString zsh = QStandardPaths::findExecutable("zsh");
    if (!zsh.isEmpty()) {
        tried = true;
        EXPECT_EQ(runProgram(zsh, {"-n", QString(ORV_SOURCE_DIR) + "/cli/completion/_orvantis-cli"}, dir.path(), env()).status, 0);
    }
    const QString fish = QStandardPaths::findExecutable("fish");
    if (!fish.isEmpty()) {
        tried = true;
        EXPECT_EQ(runProgram(fish, {"--no-execute", QString(ORV_SOURCE_DIR) + "/cli/completion/orvantis-cli.fish"}, dir.path(), env()).status, 0);
    }
    if (!tried) GTEST_SKIP() << "neither zsh nor fish is installed";
}

} // namespace
} // namespace orv::test
