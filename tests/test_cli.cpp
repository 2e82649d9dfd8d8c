// orvantis-cli run as a program: building, inspecting, rendering and unpacking packages,
// the texts of the editor's boxes on stderr, and the exit status.
#include "package_test_kit.h"
#include "app/editor_session.h"
#include "support/scripted_interaction.h"
#include "support/tool_run.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace orv::test {
namespace {

class CliTest : public ::testing::Test {
protected:
    ToolRun cli(const QStringList& args) { return runCli(dir.path(), args); }
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    QString picture(const QString& name, const QImage& img)
    {
        writeBytes(path(name), encode(img, "PNG"));
        return path(name);
    }

    QTemporaryDir dir;
};

TEST_F(CliTest, HelpListsEveryCommandAndBadArgumentsExitWithTwo)
{
    const ToolRun help = cli({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"info", "render", "build", "extract", "--screen", "--color", "--fit",
                             "--depth", "--brightness", "--contrast", "--gamma", "--time", "--date"})
        EXPECT_TRUE(help.out.contains(word)) << word;

    EXPECT_EQ(cli({}).status, 2);
    EXPECT_EQ(cli({"frobnicate"}).status, 2);
    EXPECT_EQ(cli({"info"}).status, 2);
    EXPECT_EQ(cli({"build", "-o", path("x.tsk")}).status, 2);                       // no name
    EXPECT_EQ(cli({"build", "--name", "N", "--color", "42=#112233", "-o", path("x.tsk")}).status, 2);
    EXPECT_EQ(cli({"build", "--name", "N", "--color", "5=112233", "-o", path("x.tsk")}).status, 2);
    EXPECT_EQ(cli({"build", "--name", "N", "--gamma", "0.5", "-o", path("x.tsk")}).status, 2);
    EXPECT_EQ(cli({"build", "--name", "N", "--brightness", "1.5", "-o", path("x.tsk")}).status, 2);
    EXPECT_EQ(cli({"build", "--name", "N", "--fit", "stretch", "-o", path("x.tsk")}).status, 2);
    EXPECT_EQ(cli({"render", "--screen", "desk", "-o", path("x.png")}).status, 2);
    EXPECT_EQ(cli({"render", "--screen", "main", "--time", "25:99", "-o", path("x.png")}).status, 2);
    EXPECT_EQ(cli({"render", "--screen", "main"}).status, 2);
    EXPECT_FALSE(QFileInfo::exists(path("x.tsk")));
}

// Bad arguments exit with 2 and one line saying why; nothing is built.
TEST_F(CliTest, BuildRefusesNumbersAndNamesTheEditorCannotHold)
{
    const QString brightness = "--brightness takes a number from 0.0 to 1.0";
    const QString name = "--name takes at most 40 characters, without ':' or '/'";
    const std::pair<QStringList, QString> cases[] = {
        {{"--name", "N", "--brightness", "nan"}, brightness},
        {{"--name", "N", "--contrast", "NaN"}, "--contrast takes a number from 0.0 to 1.0"},
        {{"--name", "N", "--gamma", "-nan"}, "--gamma takes a number from 1.0 to 10.0"},
        {{"--name", QString(41, 'n')}, name},
        {{"--name", "Dawn: early"}, name},
        {{"--name", "Dawn/Dusk"}, name},
    };
    for (const auto& [args, reason] : cases) {
        const ToolRun r = cli(QStringList{"build"} + args + QStringList{"-o", path("x.tsk")});
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.section('\n', 0, 0), "orvantis-cli: " + reason);
    }
    EXPECT_FALSE(QFileInfo::exists(path("x.tsk")));
    EXPECT_EQ(cli({"build", "--name", QString(40, 'n'), "-o", path("forty.tsk")}).status, 0);
}

// Only the program's own messages reach stderr, never a library's.
TEST_F(CliTest, LibraryChatterStaysOffStderr)
{
    const QByteArray png = encode(testPicture(240, 293), "PNG");
    writeBytes(path("cut.png"), png.left(png.size() / 2));
    const ToolRun r = cli({"build", "--name", "Cut", "--today", path("cut.png"), "-o", path("Cut.tsk")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "orvantis-cli: " + path("cut.png") +
                         ": cannot be read as a picture (Cannot read the picture cut.png)\n");
}

// The tool draws in the editor's handheld font: its screen is the editor's canvas exactly.
TEST_F(CliTest, RenderedScreenIsTheEditorsOwn)
{
    ASSERT_EQ(cli({"render", "--screen", "main", "--time", "09:05", "--date", "2026-03-14", "-o",
                   path("cli.png")}).status, 0);
    ScriptedInteraction ui;
    Folders f;
    f.programDir = QString(ORV_BINARY_DIR);
    f.dataDir = path("editor");
    EditorSession editor(ui, f);
    editor.clock = [] { return QDateTime(QDate(2026, 3, 14), QTime(9, 5)); };
    editor.formLoad(QString());
    editor.theme.clearScreenFlags();
    editor.theme.menuEditing = false;
    editor.DoScreenMain();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(samePixels(QImage(path("cli.png")), editor.canvas.oPicBuf.image()));
}

TEST_F(CliTest, BuildThenInfoGivesBackNameColoursSizesAndMembers)
{
    const ToolRun build = cli({"build", "--name", "Coral Reef", "--color", "5=#FF8000", "--color",
                           "26=#0A0B0C", "--color", "11=#123456", "--today",
                           picture("today.png", testPicture(640, 480)), "--menu",
                           picture("menu.png", testPicture(150, 293, 1)), "-o", path("Coral.tsk")});
    EXPECT_EQ(build.status, 0) << build.err.toStdString();
    EXPECT_EQ(build.err, "Theme Coral Reef has been saved!\n");
    ASSERT_TRUE(QFileInfo(path("Coral.tsk")).isFile());

    const ToolRun info = cli({"info", path("Coral.tsk")});
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(info.out.toUtf8()).object();
    EXPECT_EQ(o["name"].toString(), "Coral Reef");
    const QJsonObject c = o["colors"].toObject();
    EXPECT_EQ(c.keys().size(), 13);
    EXPECT_EQ(c["5"].toString(), "#FF8000");
    EXPECT_EQ(c["26"].toString(), "#0A0B0C");
    EXPECT_EQ(c["11"].toString(), "#123456");
    // Untouched slots keep the new theme's colours: "8" is dark blue, "9" white.
    EXPECT_EQ(c["8"].toString(), "#0000A0");
    EXPECT_EQ(c["9"].toString(), "#FFFFFF");
    EXPECT_EQ(o["today"].toObject()["width"].toInt(), 240);
    EXPECT_EQ(o["today"].toObject()["height"].toInt(), 293);
    EXPECT_EQ(o["menu"].toObject()["width"].toInt(), 150);
    EXPECT_EQ(o["menu"].toObject()["height"].toInt(), 293);

    const QJsonArray members = o["members"].toArray();
    const CabinetFacts facts = cabinetFacts(readBytes(path("Coral.tsk")));
    ASSERT_EQ(members.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(members[i].toObject()["name"].toString(), facts.names[i]);
        EXPECT_EQ(members[i].toObject()["size"].toInt(), static_cast<int>(facts.sizes[i]));
    }
    EXPECT_EQ(facts.names, (QStringList{"zephrin1.000", "0stwater.002", "tdywater.001"}));
}

TEST_F(CliTest, BuildFollowsTheTodayPictureForTheMenuAndHonoursFitAndDepth)
{
    const QImage big = testPicture(480, 586, 2);
    ASSERT_EQ(cli({"build", "--name", "Crop", "--today", picture("big.png", big), "--depth", "256",
                   "-o", path("Crop.tsk")}).status, 0);
    ASSERT_EQ(cli({"build", "--name", "Squeeze", "--today", picture("big.png", big), "--fit",
                   "resize", "--depth", "16m", "-o", path("Squeeze.tsk")}).status, 0);

    ASSERT_EQ(cli({"extract", path("Crop.tsk"), path("crop")}).status, 0);
    ASSERT_EQ(cli({"extract", path("Squeeze.tsk"), path("squeeze")}).status, 0);
    const QByteArray cropToday = readBytes(path("crop/tdywater.001"));
    const QByteArray cropMenu = readBytes(path("crop/0stwater.002"));
    EXPECT_TRUE(cropToday.startsWith("\x89PNG"));
    EXPECT_TRUE(readBytes(path("squeeze/tdywater.001")).startsWith("\xFF\xD8"));

    // Crop keeps the top-left at full size; resize shows the whole picture, so its bottom
    // right is the source's bottom right.
    const QImage crop = QImage::fromData(cropToday), squeeze = QImage::fromData(readBytes(path("squeeze/tdywater.001")));
    const QImage menu = QImage::fromData(cropMenu);
    EXPECT_LE(std::abs(qRed(crop.pixel(200, 200)) - qRed(big.pixel(200, 200))), 12);
    EXPECT_LE(std::abs(qGreen(squeeze.pixel(239, 292)) - qGreen(big.pixel(479, 585))), 24);
    // The Start menu is the left part of the Today picture.
    EXPECT_LE(largestDifference(menu, crop.copy(0, 0, 150, 293)), 24);
}

TEST_F(CliTest, RenderWritesTheComposedScreen)
{
    ASSERT_EQ(cli({"build", "--name", "Dusk", "--color", "7=#00FF00", "-o", path("Dusk.tsk")}).status, 0);
    for (const char* screen : {"main", "message", "important", "navigation", "menu"}) {
        const QString out = path(QString("screen-%1.png").arg(screen));
        const ToolRun r = cli({"render", path("Dusk.tsk"), "--screen", screen, "--time", "09:05",
                           "--date", "2026-03-14", "-o", out});
        EXPECT_EQ(r.status, 0) << screen << r.err.toStdString();
        EXPECT_EQ(QImage(out).size(), QSize(240, 320)) << screen;
    }
    // The command bar takes the theme's colour.
    EXPECT_EQ(QImage(path("screen-main.png")).pixel(120, 318) & 0xFFFFFF, 0x00FF00u);

    // The same clock gives the same picture; no package means a new theme.
    const ToolRun a = cli({"render", "--screen", "main", "--time", "09:05", "--date", "2026-03-14",
                       "-o", path("new-a.png")});
    const ToolRun b = cli({"render", "--screen", "main", "--time", "09:05", "--date", "2026-03-14",
                       "-o", path("new-b.png")});
    EXPECT_EQ(a.status, 0);
    EXPECT_EQ(b.status, 0);
    EXPECT_EQ(readBytes(path("new-a.png")), readBytes(path("new-b.png")));

    // A date written out in words, weekday and all, is the same day.
    const ToolRun c = cli({"render", "--screen", "main", "--time", "09:05", "--date",
                       "Saturday, March 14, 2026", "-o", path("new-c.png")});
    EXPECT_EQ(c.status, 0) << c.err.toStdString();
    EXPECT_EQ(readBytes(path("new-a.png")), readBytes(path("new-c.png")));
}

TEST_F(CliTest, EditorBoxesGoToStderrAndFailWithOne)
{
    const ToolRun missing = cli({"info", path("absent.tsk")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "orvantis-cli: " + path("absent.tsk") + ": no such file\n");
    EXPECT_TRUE(missing.out.isEmpty());

    const QString noData = packWithMakecab(dir.path(), "NoData.tsk",
                                           {{"tdywater.001", encode(testPicture(240, 293), "PNG")}});
    const ToolRun r = cli({"info", noData});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "orvantis-cli: " + noData + ": not a theme package (Unable to locate Theme Data File!)\n");

    writeBytes(path("not-a-picture.png"), "plain text");
    const ToolRun bad = cli({"build", "--name", "Bad", "--today", path("not-a-picture.png"), "-o",
                         path("Bad.tsk")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.err.startsWith("orvantis-cli: " + path("not-a-picture.png") + ": cannot be read as a picture ("))
        << bad.err.toStdString();
    EXPECT_TRUE(bad.err.endsWith(")\n")) << bad.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("Bad.tsk")));
}

TEST_F(CliTest, ExtractUnpacksEveryMember)
{
    const QString pkg = packWithMakecab(dir.path(), "Three.tsk",
                                        {{"a.txt", "alpha"}, {"b.txt", "beta"}, {"c.000", "gamma"}});
    const ToolRun r = cli({"extract", pkg, path("into/deep")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(readBytes(path("into/deep/a.txt")), "alpha");
    EXPECT_EQ(readBytes(path("into/deep/b.txt")), "beta");
    EXPECT_EQ(readBytes(path("into/deep/c.000")), "gamma");
    EXPECT_EQ(cli({"extract", path("absent.tsk"), path("x")}).status, 1);
}

} // namespace
} // namespace orv::test
