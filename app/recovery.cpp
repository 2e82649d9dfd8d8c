#include "app/recovery.h"

#include "app/editor_session.h"
#include "app/safe_write.h"
#include "app/theme_snapshot.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace orv {

namespace {

const QString kPackage = QStringLiteral("unsaved.tsk");
const QString kToday = QStringLiteral("today.png");
const QString kMenu = QStringLiteral("menu.png");
const QString kValues = QStringLiteral("unsaved.json");

QByteArray pngOf(const QImage& picture)
{
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    if (!picture.save(&out, "PNG")) return {};
    return bytes;
}

QJsonObject adjustmentJson(const AdjustmentSet& a)
{
    return {{"gamma", a.gamma}, {"brightness", a.brightness}, {"contrast", a.contrast}};
}

AdjustmentSet adjustmentOf(const QJsonObject& o)
{
    AdjustmentSet a;
    a.gamma = o["gamma"].toDouble(a.gamma);
    a.brightness = static_cast<float>(o["brightness"].toDouble(a.brightness));
    a.contrast = static_cast<float>(o["contrast"].toDouble(a.contrast));
    return a;
}

std::optional<QJsonObject> readValues(const QString& folder)
{
    QFile file(folder + "/" + kValues);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(1 << 20));
    if (!doc.isObject() || !QFile::exists(folder + "/" + kPackage)) return std::nullopt;
    return doc.object();
}

} // namespace

QString recoveryFolder(const QString& dataDir) { return dataDir + "/recovery"; }

std::optional<KeptTheme> keptTheme(const QString& dataDir)
{
    const std::optional<QJsonObject> values = readValues(recoveryFolder(dataDir));
    if (!values) return std::nullopt;
    return KeptTheme{(*values)["name"].toString(),
                     QDateTime::fromString((*values)["when"].toString(), Qt::ISODate)};
}

QString keptThemeLine(const KeptTheme& kept)
{
    return "The unsaved theme " + kept.name + " from " + kept.when.toString("yyyy-MM-dd HH:mm") +
           " is kept: Restore | Discard";
}

bool keepTheme(EditorSession& s)
{
    const QString folder = recoveryFolder(s.folders().dataDir);
    QDir().mkpath(folder);
    // The values go first and come back last: a copy half overwritten is never offered.
    QFile::remove(folder + "/" + kValues);
    if (!s.SaveTheme(folder + "/" + kPackage)) return false;

    const bool pictures = writeFileWhole(folder + "/" + kToday, pngOf(s.canvas.oPicBufToday.image())) &&
                          writeFileWhole(folder + "/" + kMenu, pngOf(s.canvas.oPicBufMenu.image()));
    const QJsonObject values{
        {"name", s.theme.name},
        {"when", s.clock().toString(Qt::ISODate)},
        {"today", adjustmentJson(s.adjustToday)},
        {"menu", adjustmentJson(s.adjustMenu)},
        {"sliders", QJsonObject{{"gamma", s.sliders.gamma},
                                {"brightness", s.sliders.brightness},
                                {"contrast", s.sliders.contrast}}},
        {"menuEditing", s.theme.menuEditing},
        {"menuFollowsMain", s.theme.menuFollowsMain},
        {"colourDepth256", s.state.colourDepth256},
        {"ditherMain", s.state.ditherMain},
        {"ditherMenu", s.state.ditherMenu},
    };
    if (pictures && writeFileWhole(folder + "/" + kValues, QJsonDocument(values).toJson())) return true;
    s.ShowErrorBox("keepTheme", AppError(75, "Orvantis", "Path/File access error: " + folder));
    return false;
}

bool restoreKeptTheme(EditorSession& s)
{
    const QString folder = recoveryFolder(s.folders().dataDir);
    const std::optional<QJsonObject> values = readValues(folder);
    if (!values) return false;
    bool restored = false;
    s.edit("Restore", [&] {
        if (!s.LoadTheme(folder + "/" + kPackage)) return;
        // The package holds the pictures reduced and adjusted; the copies beside it do not.
        ThemeSnapshot snap = takeSnapshot(s);
        const QImage today(folder + "/" + kToday), menu(folder + "/" + kMenu);
        if (today.size() == QSize(240, 293)) snap.today = today;
        if (menu.size() == QSize(150, 293)) snap.menu = menu;
        const QJsonObject& v = *values;
        snap.theme.name = v["name"].toString();
        snap.adjustToday = adjustmentOf(v["today"].toObject());
        snap.adjustMenu = adjustmentOf(v["menu"].toObject());
        const QJsonObject sliders = v["sliders"].toObject();
        snap.sliders = {sliders["gamma"].toInt(500), sliders["brightness"].toInt(500),
                        sliders["contrast"].toInt(500)};
        snap.theme.clearScreenFlags();
        snap.theme.menuEditing = v["menuEditing"].toBool();
        snap.theme.menuFollowsMain = v["menuFollowsMain"].toBool();
        snap.colourDepth256 = v["colourDepth256"].toBool(true);
        snap.ditherMain = v["ditherMain"].toBool(true);
        snap.ditherMenu = v["ditherMenu"].toBool(true);
        snap.shown = QImage(); // drawn anew from the restored theme
        restoreSnapshot(s, snap);
        restored = true;
    });
    return restored;
}

void discardKeptTheme(const QString& dataDir)
{
    const QString folder = recoveryFolder(dataDir);
    for (const QString& name : {kValues, kPackage, kToday, kMenu}) QFile::remove(folder + "/" + name);
}

} // namespace orv
