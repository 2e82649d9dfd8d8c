// orvantis-cli build --fit place: the dialog's placement from the command line.
#include "package_test_kit.h"
#include "support/tool_run.h"

#include <QTemporaryDir>

namespace orv::test {
namespace {

class PlaceCliTest : public ::testing::Test {
protected:
    ToolRun cli(const QStringList& args) { return runCli(dir.path(), args); }
    QString path(const QString& name) const { return dir.path() + "/" + name; }

    QTemporaryDir dir;
};

} // namespace

TEST_F(PlaceCliTest, FocusAndZoomChooseThePartThatShows)
{
    QImage quad(800, 600, QImage::Format_RGB32);
    quad.fill(qRgb(255, 0, 0));
    for (int y = 300; y < 600; ++y)
        for (int x = 400; x < 800; ++x) quad.setPixel(x, y, qRgb(255, 255, 0));
    ASSERT_TRUE(quad.save(path("quad.png")));

    const auto build = cli({"build", "--name", "Sun", "--today", path("quad.png"), "--fit", "place",
                            "--focus", "0.75,0.75", "--zoom", "2", "-o", path("Sun.tsk")});
    ASSERT_EQ(build.status, 0) << build.err.toStdString();
    ASSERT_EQ(cli({"extract", path("Sun.tsk"), path("sun")}).status, 0);
    const QImage today(path("sun/tdywater.001"));
    const QImage menu(path("sun/0stwater.002"));
    ASSERT_EQ(today.size(), QSize(240, 293));
    ASSERT_EQ(menu.size(), QSize(150, 293));
    for (const QPoint at : {QPoint(2, 1), QPoint(239, 0), QPoint(0, 292), QPoint(239, 292)})
        EXPECT_EQ(today.pixel(at), qRgb(255, 255, 0)) << at.x() << "," << at.y();
    EXPECT_EQ(menu.pixel(149, 292), qRgb(255, 255, 0));
}

TEST_F(PlaceCliTest, BadPlacementArgumentsSayWhyAndExitWithTwo)
{
    const struct {
        QStringList args;
        QString message;
    } cases[] = {
        {{"--fit", "stretch"}, "--fit takes crop, resize or place"},
        {{"--fit", "place", "--zoom", "0.5"}, "--zoom takes a number of 1 or more"},
        {{"--fit", "place", "--zoom", "nan"}, "--zoom takes a number of 1 or more"},
        {{"--fit", "place", "--focus", "0.5"},
         "--focus takes X,Y: two fractions of the picture's width and height, each from 0.0 to 1.0"},
        {{"--fit", "place", "--focus", "inf,0.5"},
         "--focus takes X,Y: two fractions of the picture's width and height, each from 0.0 to 1.0"},
        {{"--fit", "crop", "--zoom", "2"}, "--focus and --zoom need --fit place"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const auto r = cli(QStringList{"build", "--name", "N"} + c.args + QStringList{"-o", path("x.tsk")});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "orvantis-cli: " + c.message + "\nTry 'orvantis-cli --help'.\n");
    }
    EXPECT_FALSE(QFileInfo::exists(path("x.tsk")));
}

} // namespace orv::test
