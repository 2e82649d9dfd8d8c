// The files that list the editor on a desktop: the desktop entry, the AppStream data and the
// thumbnailer entry pass the freedesktop validators and agree with each other and with the
// package MIME type.
#include "app/association.h"
#include "app/startup.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace orv::test {
namespace {

const QString kDesktopDir = QString(ORV_SOURCE_DIR) + "/resources/desktop/";
const QString kAppId = "org.zephrin.Orvantis";

struct Validation {
    int status = -1;
    QString output;
};

Validation validate(const QString& program, const QStringList& args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000)) return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAll())};
}

QString text(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// key=value lines of one group of a desktop-style file.
QMap<QString, QString> entries(const QString& path, const QString& group)
{
    QMap<QString, QString> out;
    bool inGroup = false;
    for (const QString& line : text(path).split('\n')) {
        if (line.startsWith('[')) inGroup = line == "[" + group + "]";
        else if (inGroup && line.contains('=')) out[line.section('=', 0, 0)] = line.section('=', 1);
    }
    return out;
}

TEST(DesktopMetadata, ValidatorsAcceptTheDesktopEntryAndTheAppStreamData)
{
    const Validation desktop = validate("desktop-file-validate", {kDesktopDir + kAppId + ".desktop"});
    EXPECT_EQ(desktop.status, 0) << desktop.output.toStdString();
    EXPECT_TRUE(desktop.output.trimmed().isEmpty()) << desktop.output.toStdString();

    const Validation metainfo =
        validate("appstreamcli", {"validate", "--no-net", kDesktopDir + kAppId + ".metainfo.xml"});
    EXPECT_EQ(metainfo.status, 0) << metainfo.output.toStdString();
    EXPECT_FALSE(metainfo.output.contains("W:")) << metainfo.output.toStdString();
    EXPECT_FALSE(metainfo.output.contains("E:")) << metainfo.output.toStdString();
}

// Element name -> the texts of every element of that name.
QMap<QString, QStringList> xmlTexts(const QString& path)
{
    QMap<QString, QStringList> out;
    QXmlStreamReader xml(text(path));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            const QString name = xml.name().toString();
            if (name != "description" && name != "ul" && name != "screenshots" &&
                name != "screenshot" && name != "provides" && name != "releases" &&
                name != "categories" && name != "component")
                out[name] << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return out;
}

TEST(DesktopMetadata, AppStreamDataNamesTheDesktopEntryThePackageTypeAndShippedScreenshots)
{
    const auto xml = xmlTexts(kDesktopDir + kAppId + ".metainfo.xml");
    EXPECT_EQ(xml["id"], QStringList{kAppId});
    EXPECT_EQ(xml["launchable"], QStringList{kAppId + ".desktop"});
    EXPECT_TRUE(QFile::exists(kDesktopDir + xml["launchable"].value(0)));
    EXPECT_FALSE(xml["summary"].value(0).isEmpty());

    // The type it provides is the one the MIME package defines for *.tsk.
    const QString mediatype = xml["mediatype"].value(0);
    EXPECT_EQ(mediatype, "application/x-orvantis-document");
    EXPECT_TRUE(text(kDesktopDir + "orvantis-tsk.xml").contains("type=\"" + mediatype + "\""));
    EXPECT_TRUE(entries(kDesktopDir + kAppId + ".desktop", "Desktop Entry")["MimeType"]
                    .split(';')
                    .contains(mediatype));

    // Every screenshot is a picture kept under docs/.
    int screenshots = 0;
    for (const QString& url : xml["image"]) {
        const QRegularExpression docs("/docs/([^/]+\\.png)$");
        const auto m = docs.match(url);
        ASSERT_TRUE(m.hasMatch()) << url.toStdString();
        EXPECT_TRUE(QFile::exists(QString(ORV_SOURCE_DIR) + "/docs/" + m.captured(1))) << url.toStdString();
        ++screenshots;
    }
    EXPECT_GE(screenshots, 1);
}

TEST(DesktopMetadata, ThumbnailerRunsTheToolOnPackages)
{
    const auto e = entries(kDesktopDir + "orvantis.thumbnailer", "Thumbnailer Entry");
    EXPECT_EQ(e["TryExec"], "orvantis-cli");
    EXPECT_EQ(e["Exec"], "orvantis-cli thumbnail %i %o %s");
    EXPECT_EQ(e["MimeType"], "application/x-orvantis-document;");
}

// The entry the editor writes for its user stands in for the installed one: the same id,
// the same texts, only the program named by its path, and the validator accepts it.
TEST(DesktopMetadata, PerUserEntryTakesTheInstalledEntrysPlace)
{
    QTemporaryDir dir;
    RegisterFileType(dir.path(), "/opt/orvantis/bin");
    const QString written = dir.path() + "/applications/" + kAppId + ".desktop";
    ASSERT_TRUE(QFile::exists(written));
    const Validation v = validate("desktop-file-validate", {written});
    EXPECT_EQ(v.status, 0) << v.output.toStdString();
    EXPECT_TRUE(v.output.trimmed().isEmpty()) << v.output.toStdString();

    auto user = entries(written, "Desktop Entry");
    auto installed = entries(kDesktopDir + kAppId + ".desktop", "Desktop Entry");
    EXPECT_EQ(user.take("Exec"), "\"/opt/orvantis/bin/orvantis\" %f");
    EXPECT_EQ(user.take("TryExec"), "/opt/orvantis/bin/orvantis");
    EXPECT_EQ(installed.take("Exec"), "orvantis %f");
    EXPECT_EQ(installed.take("TryExec"), "orvantis");
    EXPECT_EQ(user, installed);
}

} // namespace
} // namespace orv::test
