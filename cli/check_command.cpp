#include "cli/check_command.h"

#include "cli/cli_options.h"
#include "cli/cli_errors.h"
#include "cli/workspace.h"
#include "preview/legibility.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>

namespace orv::cli {

namespace {

QString jsonText(const QString& s)
{
    const QByteArray array = QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString hexColour(Colour c)
{
    const QRgb p = toQRgb(c);
    return QString("#%1%2%3")
        .arg(qRed(p), 2, 16, QChar('0'))
        .arg(qGreen(p), 2, 16, QChar('0'))
        .arg(qBlue(p), 2, 16, QChar('0'))
        .toUpper();
}

} // namespace

QString checkUsageText()
{
    return QStringLiteral(
        "  check PACKAGE.tsk\n"
        "      Prints whether the theme's text can be read over its background, as one JSON\n"
        "      object: name, checks (element, value, contrast, readable, and for unreadable\n"
        "      text the nearest readable colour as suggest). Readable means 4.5:1 for the\n"
        "      Today text, 3:1 for the title bar text. Exit status 0 when all text reads, 1\n"
        "      when some does not.\n"
        "  thumbnail PACKAGE.tsk OUT.png [SIZE]\n"
        "      Writes the Today screen scaled to fit SIZE by SIZE (default 256, at most 1024),\n"
        "      as PNG, or as JPEG or BMP when OUT ends in .jpg, .jpeg or .bmp.\n"
        "  build ... --fix-contrast gives unreadable text its nearest readable colour;\n"
        "  build ... --match-colors sets the colours from the Today picture.\n");
}

QString checkReport(const EditorSession& session)
{
    QStringList checks;
    for (const LegibilityCheck& c : session.legibilityChecks()) {
        QString item = QString("{\"element\":%1,\"value\":%2,\"contrast\":%3,\"readable\":%4")
                           .arg(jsonText(c.caption), jsonText(c.valueName),
                                QString::number(shownContrast(c.contrast), 'f', 2),
                                c.readable ? "true" : "false");
        if (!c.readable) item += ",\"suggest\":" + jsonText(hexColour(c.suggestion));
        checks << item + "}";
    }
    return "{\"name\":" + jsonText(session.theme.name) + ",\"checks\":[" + checks.join(',') + "]}\n";
}

void applyBuildColourOptions(EditorSession& s, const Options& o)
{
    if (!o.fixContrast && !o.matchColours) return;
    s.theme.clearScreenFlags();
    s.theme.menuEditing = false;
    s.DoScreenMain();
    if (o.matchColours && s.matchColoursToPicture()) {
        // Colours given by name still win over the matched ones.
        for (const auto& [slot, colour] : o.colours) s.theme.colours[static_cast<size_t>(slot)] = colour;
        s.RecolourCommandBar();
        s.DoScreenMain();
    }
    if (o.fixContrast) s.fixAllLegibility();
}

int runCheckCommand(const QStringList& args)
{
    if (args.size() != 1 || args.first().startsWith('-')) {
        printUsageError("check takes one package");
        return 2;
    }
    const QString& package = args.first();
    if (!packageReadable(package)) return 1;
    Workspace w;
    if (!w.start()) return 1;
    EditorSession& s = *w.session;
    const QDateTime moment = toolMoment();
    s.clock = [moment] { return moment; };
    if (!w.load(package)) return 1;
    s.theme.clearScreenFlags();
    s.theme.menuEditing = false;
    s.DoScreenMain();
    const std::vector<LegibilityCheck> checks = s.legibilityChecks(false);
    if (checks.empty()) {
        reportFileError(package, "no screen was composed");
        return 1;
    }
    std::fputs(checkReport(s).toUtf8().constData(), stdout);
    std::fflush(stdout);
    for (const LegibilityCheck& c : checks)
        if (!c.readable) return 1;
    return 0;
}

} // namespace orv::cli
