// orvantis-cli check, build --fix-contrast and thumbnail run as programs: the JSON and exit
// status of check, the thumbnail's size and proportions, and packages a file manager could
// hand over that must leave nothing behind.
#include "package_test_kit.h"
#include "preview/legibility.h"

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

struct CliResult {
    int status = -1;
    QString out;
    QString err;
};

class CheckCliTest : public ::testing::Test {
protected:
    CliResult cli(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
        env.insert("ORVANTIS_HOME", dir.path() + "/home");
        env.insert("XDG_RUNTIME_DIR", dir.path());
        p.setProcessEnvironment(env);
        p.start(QString(ORV_BINARY_DIR) + "/orvantis-cli", args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }
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
        const CliResult r = cli(args);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return out;
    }
    QJsonObject json(const CliResult& r)
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
    const CliResult light = cli({"check", package("Light", qRgb(255, 255, 255))});
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
    const CliResult dark = cli({"check", package("Dark", qRgb(32, 32, 32))});
    EXPECT_EQ(dark.status, 1);
    const QJsonObject bad = checkOf(json(dark), "Today Screen Text");
    EXPECT_FALSE(bad["readable"].toBool());
    const double expected = std::floor(contrastRatio(qRgb(0, 0, 0), qRgb(32, 32, 32)) * 100) / 100;
    EXPECT_DOUBLE_EQ(bad["contrast"].toDouble(), expected);
    const QString suggest = bad["suggest"].toString();
    ASSERT_TRUE(QRegularExpression("^#[0-9A-F]{6}$").match(suggest).hasMatch()) << suggest.toStdString();
    EXPECT_GE(contrastRatio(QColor(suggest).rgb(), qRgb(32, 32, 32)), 4.5);
    EXPECT_TRUE(checkOf(json(dark), "Titlebar Text")["readable"].toBool());
}

TEST_F(CheckCliTest, BuildWithFixContrastMakesAPackageThatPasses)
{
    const QString fixed = package("Fixed", qRgb(32, 32, 32), {"--fix-contrast"});
    const CliResult r = cli({"check", fixed});
    EXPECT_EQ(r.status, 0) << r.out.toStdString();
    // An explicit unreadable title text is fixed too.
    const QString both = package("Both", qRgb(32, 32, 32),
                                 {"--color", "5=#FFFFFF", "--color", "8=#FFFFFF", "--fix-contrast"});
    EXPECT_EQ(cli({"check", both}).status, 0);
    EXPECT_EQ(cli({"check", package("Unfixed", qRgb(255, 255, 255), {"--color", "4=#FFFFFF"})}).status, 1);
}

TEST_F(CheckCliTest, BadArgumentsExitWithTwoAndMissingPackagesWithOne)
{
    EXPECT_EQ(cli({"check"}).status, 2);
    EXPECT_EQ(cli({"check", "a.tsk", "b.tsk"}).status, 2);
    EXPECT_EQ(cli({"build", "--name", "X", "--fix-contrast", "yes", "-o", path("x.tsk")}).status, 2);
    const CliResult missing = cli({"check", path("none.tsk")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_TRUE(missing.err.contains("orvantis-cli: " + path("none.tsk") + ": no such file"))
        << missing.err.toStdString();
    EXPECT_TRUE(cli({"--help"}).out.contains("check PACKAGE.tsk"));
}

} // namespace
} // namespace orv::test
