// orvantis-cli check, build --fix-contrast and thumbnail run as programs: the JSON and exit
// status of check, the thumbnail's size and proportions, and packages a file manager could
// hand over that must leave nothing behind.
#include "package_test_kit.h"
#include "preview/legibility.h"
#include "support/tool_run.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <cmath>
#include <QTemporaryDir>
#include <QtEndian>

namespace orv::test {
namespace {

class CheckCliTest : public ::testing::Test {
protected:
    ToolRun cli(const QStringList& args) { return runCli(dir.path(), args); }
    QString path(const QString& name) const { return dir.path() + "/" + name; }
    QString solidPicture(const QString& name, QRgb colour)
    {
        QImage img(240, 293, QImage::Format_RGB32);
        img.fill(colour);
        writeBytes(path(name), encode(img, "PNG"));
        return path(name);
    }
    // A package built by the tool itself, over a solid Today picture.
    QString package(const QString& name, QRgb today, const QStringList& extra = {})
    {
        const QString out = path(name + ".tsk");
        QStringList args{"build", "--name", name, "--today", solidPicture(name + ".png", today),
                         "-o", out};
        args += extra;
        const ToolRun r = cli(args);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return out;
    }
    QJsonObject json(const ToolRun& r)
    {
        QJsonParseError e;
        const QJsonDocument d = QJsonDocument::fromJson(r.out.toUtf8(), &e);
        EXPECT_EQ(e.error, QJsonParseError::NoError) << r.out.toStdString();
        return d.object();
    }
    static QJsonObject checkOf(const QJsonObject& report, const QString& element)
    {
        for (const QJsonValue& v : report["checks"].toArray())
            if (v.toObject()["element"].toString() == element) return v.toObject();
        ADD_FAILURE() << element.toStdString();
        return {};
    }

    QTemporaryDir dir;
};

TEST_F(CheckCliTest, ReadablePackagePassesAndADarkOneFailsWithASuggestion)
{
    const ToolRun light = cli({"check", package("Light", qRgb(255, 255, 255))});
    EXPECT_EQ(light.status, 0) << light.err.toStdString();
    const QJsonObject ok = json(light);
    EXPECT_EQ(ok["name"].toString(), "Light");
    ASSERT_EQ(ok["checks"].toArray().size(), 2);
    const QJsonObject today = checkOf(ok, "Today Screen Text");
    EXPECT_EQ(today["value"].toString(), "4");
    EXPECT_DOUBLE_EQ(today["contrast"].toDouble(), 21.0);
    EXPECT_TRUE(today["readable"].toBool());
    EXPECT_FALSE(today.contains("suggest"));
    EXPECT_EQ(checkOf(ok, "Titlebar Text")["value"].toString(), "9");
    // The report is one line, name first.
    EXPECT_TRUE(light.out.startsWith("{\"name\":\"Light\",\"checks\":["));
    EXPECT_EQ(light.out.count('\n'), 1);

    // Black text over #202020: 1.37:1, shown rounded down.
    const ToolRun dark = cli({"check", package("Dark", qRgb(32, 32, 32))});
    EXPECT_EQ(dark.status, 1);
    const QJsonObject bad = checkOf(json(dark), "Today Screen Text");
    EXPECT_FALSE(bad["readable"].toBool());
    const double expected = std::floor(luminanceContrast(qRgb(0, 0, 0), qRgb(32, 32, 32)) * 100) / 100;
    EXPECT_DOUBLE_EQ(bad["contrast"].toDouble(), expected);
    const QString suggest = bad["suggest"].toString();
    ASSERT_TRUE(QRegularExpression("^#[0-9A-F]{6}$").match(suggest).hasMatch()) << suggest.toStdString();
    EXPECT_GE(luminanceContrast(QColor(suggest).rgb(), qRgb(32, 32, 32)), 4.5);
    EXPECT_TRUE(checkOf(json(dark), "Titlebar Text")["readable"].toBool());
}

TEST_F(CheckCliTest, BuildWithFixContrastMakesAPackageThatPasses)
{
    const QString fixed = package("Fixed", qRgb(32, 32, 32), {"--fix-contrast"});
    const ToolRun r = cli({"check", fixed});
    EXPECT_EQ(r.status, 0) << r.out.toStdString();
    // An explicit unreadable title text is fixed too.
    const QString both = package("Both", qRgb(32, 32, 32),
                                 {"--color", "5=#FFFFFF", "--color", "8=#FFFFFF", "--fix-contrast"});
    EXPECT_EQ(cli({"check", both}).status, 0);
    EXPECT_EQ(cli({"check", package("Unfixed", qRgb(255, 255, 255), {"--color", "4=#FFFFFF"})}).status, 1);
}

TEST_F(CheckCliTest, BuildWithMatchColorsPassesCheckAndNamedColoursStillWin)
{
    const QString matched = package("Matched", qRgb(20, 40, 220), {"--match-colors"});
    const ToolRun r = cli({"check", matched});
    EXPECT_EQ(r.status, 0) << r.out.toStdString();
    const QJsonObject colours = json(cli({"info", matched}))["colors"].toObject();
    // The lines carry the accent: the picture's blue.
    const QColor line(colours["6"].toString());
    EXPECT_NEAR(line.hueF() * 360, QColor(20, 40, 220).hueF() * 360, 6.0);
    EXPECT_NE(colours["5"].toString(), "#0080FF"); // not the default title bar

    const QString named = package("Named", qRgb(20, 40, 220), {"--match-colors", "--color", "7=#123456"});
    EXPECT_EQ(json(cli({"info", named}))["colors"].toObject()["7"].toString(), "#123456");
    // The same picture gives the same package colours.
    EXPECT_EQ(json(cli({"info", package("Again", qRgb(20, 40, 220), {"--match-colors"})}))["colors"],
              QJsonValue(colours));
}

TEST_F(CheckCliTest, BadArgumentsExitWithTwoAndMissingPackagesWithOne)
{
    EXPECT_EQ(cli({"check"}).status, 2);
    EXPECT_EQ(cli({"check", "a.tsk", "b.tsk"}).status, 2);
    EXPECT_EQ(cli({"build", "--name", "X", "--fix-contrast", "yes", "-o", path("x.tsk")}).status, 2);
    const ToolRun missing = cli({"check", path("none.tsk")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_TRUE(missing.err.contains("orvantis-cli: " + path("none.tsk") + ": no such file"))
        << missing.err.toStdString();
    EXPECT_TRUE(cli({"--help"}).out.contains("check PACKAGE.tsk"));
}

TEST_F(CheckCliTest, ThumbnailFitsTheSquareKeepingTheScreensProportions)
{
    const QString pkg = package("Thumbs", qRgb(20, 140, 60));
    const struct {
        QString size;
        QSize expected;
    } cases[] = {{"", {192, 256}},    {"128", {96, 128}}, {"100", {75, 100}},
                 {"1024", {768, 1024}}, {"5000", {768, 1024}}, {"1", {1, 1}}};
    for (const auto& c : cases) {
        const QString out = path("thumb" + c.size + ".png");
        QStringList args{"thumbnail", pkg, out};
        if (!c.size.isEmpty()) args << c.size;
        const ToolRun r = cli(args);
        ASSERT_EQ(r.status, 0) << c.size.toStdString() << r.err.toStdString();
        QImage img(out);
        EXPECT_EQ(img.size(), c.expected) << c.size.toStdString();
    }
    // The Today picture's colour survives the scaling where no text or icon stands.
    const QImage small(path("thumb128.png"));
    const QRgb p = small.pixel(80, 110); // screen 200, 275
    EXPECT_NEAR(qRed(p), 20, 2);
    EXPECT_NEAR(qGreen(p), 140, 2);
    EXPECT_NEAR(qBlue(p), 60, 2);
    for (const char* size : {"0", "-5", "big"})
        EXPECT_EQ(cli({"thumbnail", pkg, path("never.png"), size}).status, 2) << size;
    EXPECT_EQ(cli({"thumbnail", pkg}).status, 2);
    EXPECT_FALSE(QFile::exists(path("never.png")));
}

TEST_F(CheckCliTest, ThumbnailAveragesTheAreaItShrinks)
{
    // One-pixel black and white stripes shrink to grey, not to one of the two.
    QImage stripes(240, 293, QImage::Format_RGB32);
    for (int y = 0; y < stripes.height(); ++y)
        for (int x = 0; x < stripes.width(); ++x)
            stripes.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    writeBytes(path("stripes.png"), encode(stripes, "PNG"));
    const QString pkg = path("Stripes.tsk");
    ASSERT_EQ(cli({"build", "--name", "Stripes", "--today", path("stripes.png"), "--depth", "16m",
                   "-o", pkg}).status, 0);
    ASSERT_EQ(cli({"thumbnail", pkg, path("s.png"), "80"}).status, 0);
    const QImage img(path("s.png"));
    ASSERT_EQ(img.size(), QSize(60, 80));
    const QRgb p = img.pixel(50, 70);
    EXPECT_GT(qGray(p), 90);
    EXPECT_LT(qGray(p), 165);
}

TEST_F(CheckCliTest, ThumbnailIsTheTodayScreenTheEditorDraws)
{
    // At 240 by 320 nothing is scaled: the thumbnail, started the light way, is the screen
    // render draws with the tool's full start-up, pixel for pixel.
    QImage busy(240, 293, QImage::Format_RGB32);
    for (int y = 0; y < busy.height(); ++y)
        for (int x = 0; x < busy.width(); ++x)
            busy.setPixel(x, y, qRgb((x * 7 + y * 3) % 256, (x * y / 40) % 256, ((x ^ y) * 5) % 256));
    writeBytes(path("busy.png"), encode(busy, "PNG"));
    const QString pkg = path("Busy.tsk");
    ASSERT_EQ(cli({"build", "--name", "Busy", "--today", path("busy.png"), "-o", pkg}).status, 0);
    ASSERT_EQ(cli({"thumbnail", pkg, path("full.png"), "320"}).status, 0);
    const ToolRun rendered = cli({"render", pkg, "--screen", "main", "--date", "2026-09-30",
                                    "--time", "10:00", "-o", path("render.png")});
    ASSERT_EQ(rendered.status, 0) << rendered.err.toStdString();
    const QImage thumb = QImage(path("full.png")).convertToFormat(QImage::Format_RGB32);
    const QImage screen = QImage(path("render.png")).convertToFormat(QImage::Format_RGB32).copy(0, 0, 240, 320);
    ASSERT_EQ(thumb.size(), QSize(240, 320));
    EXPECT_TRUE(thumb == screen);
}

TEST_F(CheckCliTest, ThumbnailWritesTheFormatItsNameAsksFor)
{
    const QString pkg = package("Formats", qRgb(200, 40, 40));
    const struct {
        const char* name;
        QByteArray magic;
    } formats[] = {{"t.png", "\x89PNG"}, {"t.JPG", "\xff\xd8\xff"}, {"t.jpeg", "\xff\xd8\xff"}, {"t.bmp", "BM"}};
    for (const auto& f : formats) {
        const ToolRun r = cli({"thumbnail", pkg, path(f.name), "64"});
        ASSERT_EQ(r.status, 0) << f.name << r.err.toStdString();
        EXPECT_TRUE(readBytes(path(f.name)).startsWith(f.magic)) << f.name;
        EXPECT_EQ(QImage(path(f.name)).size(), QSize(48, 64)) << f.name;
    }
    // Other names are refused before any work: even a package that is not there is not
    // looked at, and nothing is written.
    for (const char* name : {"t.gif", "t.webp", "thumb", "t.png.tmp"}) {
        const ToolRun r = cli({"thumbnail", path("absent.tsk"), path(name)});
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(r.err.contains(path(name) + ": thumbnail takes a name ending in .png, .jpg, .jpeg or .bmp"))
            << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("no such file")) << name;
        EXPECT_FALSE(QFile::exists(path(name))) << name;
    }
}

TEST_F(CheckCliTest, GraphicsMagickIsLoadedOnlyForThePicturesThatNeedIt)
{
    // Not among the libraries every start of the tool loads...
    QProcess ldd;
    ldd.start("ldd", {QString(ORV_BINARY_DIR) + "/orvantis-cli"});
    ASSERT_TRUE(ldd.waitForFinished(30000));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    EXPECT_TRUE(libraries.contains("libQt6Gui")) << libraries.toStdString();
    EXPECT_FALSE(libraries.contains("GraphicsMagick")) << libraries.toStdString();

    // ...and still there for a TGA picture: an uncompressed 24-bit one, rows from the top.
    QByteArray tga(18, '\0');
    tga[2] = 2;
    tga[12] = char(240);
    tga[14] = char(293 & 0xFF);
    tga[15] = char(293 >> 8);
    tga[16] = 24;
    tga[17] = 0x20;
    for (int i = 0; i < 240 * 293; ++i) tga += QByteArray("\x3c\x8c\x14", 3); // B, G, R
    writeBytes(path("photo.tga"), tga);
    const QString pkg = path("Tga.tsk");
    const ToolRun built = cli({"build", "--name", "Tga", "--today", path("photo.tga"), "--depth", "16m", "-o", pkg});
    ASSERT_EQ(built.status, 0) << built.err.toStdString();
    ASSERT_EQ(cli({"thumbnail", pkg, path("tga.png"), "128"}).status, 0);
    const QRgb p = QImage(path("tga.png")).pixel(80, 110);
    EXPECT_NEAR(qRed(p), 20, 2);
    EXPECT_NEAR(qGreen(p), 140, 2);
    EXPECT_NEAR(qBlue(p), 60, 2);
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(data.size()), out.data());
    out += type + data;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(type + data), crc.data());
    return out + crc;
}

TEST_F(CheckCliTest, HostilePackagesGiveNoThumbnail)
{
    // Not a cabinet at all.
    writeBytes(path("junk.tsk"), QByteArray(4096, '\x5a'));
    // A real package whose Today picture claims to be 60000 pixels square.
    const QString good = package("Bomb", qRgb(255, 255, 255));
    ASSERT_EQ(cli({"extract", good, path("bomb")}).status, 0);
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(60000, ihdr.data());
    qToBigEndian<quint32>(60000, ihdr.data() + 4);
    ihdr[8] = 8;
    ihdr[9] = 2;
    const QByteArray bomb = QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) +
                            pngChunk("IDAT", QByteArray(64, '\0')) + pngChunk("IEND", {});
    QList<Member> members;
    for (const QString& name : QDir(path("bomb")).entryList(QDir::Files))
        members << Member{name, name == "tdywater.001" ? bomb : readBytes(path("bomb/" + name))};
    const QString hostile = packWithMakecab(dir.path(), "Hostile.tsk", members);

    for (const QString& pkg : {path("junk.tsk"), hostile, path("absent.tsk")}) {
        const QString out = path("out-" + QFileInfo(pkg).baseName() + ".png");
        const ToolRun r = cli({"thumbnail", pkg, out, "128"});
        EXPECT_EQ(r.status, 1) << pkg.toStdString() << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << pkg.toStdString();
        EXPECT_EQ(r.out, "");
    }
    // Nothing half-written beside the output either.
    EXPECT_TRUE(QDir(dir.path()).entryList({"out-*"}).isEmpty());
}

} // namespace
} // namespace orv::test
