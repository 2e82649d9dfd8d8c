// orvantis-cli: inspect, render, build and unpack theme packages without a window. Every
// command drives the editor's own session; opening and saving are the editor's routines.
// Exit status: 0 success, 1 when the editor would have shown an error box, 2 bad arguments.
#include "app/editor_session.h"
#include "app/safe_write.h"
#include "cli/cli_interaction.h"
#include "cli/check_command.h"
#include "cli/cli_options.h"
#include "cli/thumbnail_command.h"
#include "cli/device_command.h"
#include "cli/own_stderr.h"
#include "preview/fonts.h"
#include "theme/cab_file.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace orv;
using namespace orv::cli;

namespace {

void printOut(const QString& text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void printErr(const QString& text)
{
    std::fprintf(ownStderr(), "%s\n", text.toLocal8Bit().constData());
    std::fflush(ownStderr());
}

QString jsonString(const QString& s)
{
    QString out = "\"";
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c.unicode() < 0x20)
                out += QString("\\u%1").arg(c.unicode(), 4, 16, QChar('0'));
            else
                out += c;
        }
    }
    return out + "\"";
}

QString sizeJson(const ImageBuffer& b)
{
    return QString("{\"width\":%1,\"height\":%2}").arg(b.ImageWidth()).arg(b.ImageHeight());
}

QString colourText(Colour c)
{
    return QString("#%1%2%3")
        .arg(c & 0xFF, 2, 16, QChar('0'))
        .arg((c >> 8) & 0xFF, 2, 16, QChar('0'))
        .arg((c >> 16) & 0xFF, 2, 16, QChar('0'))
        .toUpper();
}

// A session on a private data folder: the tool never shares a scratch directory with a
// running editor and never touches its settings.
struct Workspace {
    QTemporaryDir home{toolWorkspaceTemplate(QDir::tempPath())};
    NonInteractiveUser user;
    std::unique_ptr<EditorSession> session;

    bool start()
    {
        if (!home.isValid()) {
            printErr("Error: cannot create a working folder");
            return false;
        }
        Folders f = Folders::fromEnvironment();
        f.dataDir = home.path();
        session = std::make_unique<EditorSession>(user, f);
        session->formLoad(QString());
        return user.errorBoxes == 0;
    }
    int status() const { return user.errorBoxes > 0 ? 1 : 0; }
};

int runInfo(const Options& o)
{
    Workspace w;
    if (!w.start()) return 1;
    EditorSession& s = *w.session;
    s.LoadTheme(o.package);
    if (w.status() != 0) return 1;

    QStringList members;
    try {
        CCabFile cab;
        cab.setCabName(o.package);
        cab.FileFound = [&](const QString& name, double, std::int32_t size, const QString& path) {
            members << QString("{\"name\":%1,\"size\":%2}").arg(jsonString(path + name)).arg(size);
        };
        cab.GetInfo(QString());
    } catch (const AppError& e) {
        printErr("Error: " + e.description());
        return 1;
    }

    QStringList colours;
    for (const SlotInfo& slot : kSlots) {
        const int i = slotOfValueName(slot.valueName);
        colours << jsonString(slot.valueName) + ":" +
                       jsonString(colourText(s.theme.colours[static_cast<size_t>(i)]));
    }
    printOut("{\"name\":" + jsonString(s.theme.name) + ",\"colors\":{" + colours.join(',') +
             "},\"today\":" + sizeJson(s.canvas.oPicBufToday) +
             ",\"menu\":" + sizeJson(s.canvas.oPicBufMenu) + ",\"members\":[" +
             members.join(',') + "]}\n");
    return 0;
}

int runRender(const Options& o)
{
    Workspace w;
    if (!w.start()) return 1;
    EditorSession& s = *w.session;
    const QDateTime now = o.clock(QDateTime::currentDateTime());
    s.clock = [now] { return now; };
    if (!o.package.isEmpty()) {
        s.LoadTheme(o.package);
        if (w.status() != 0) return 1;
    }

    s.theme.clearScreenFlags();
    if (o.screen == "main") {
        s.theme.menuEditing = false;
        s.DoScreenMain();
    } else if (o.screen == "message") {
        s.theme.messageScreen = true;
        s.DoScreenMessage();
    } else if (o.screen == "important") {
        s.theme.importantScreen = true;
        s.DoScreenMessageImp();
    } else if (o.screen == "navigation") {
        s.theme.navigationScreen = true;
        s.DoScreenNavigation();
    } else {
        s.theme.menuEditing = true;
        s.DoScreenMenu();
    }
    if (w.status() != 0) return 1;

    const QImage screen = s.canvas.oPicBuf.image();
    if (screen.isNull()) {
        printErr("Error: no screen was composed");
        return 1;
    }
    QSaveFile out(o.output);
    if (!out.open(QIODevice::WriteOnly) || !screen.save(&out, "PNG") || !commitWhole(out)) {
        printErr("Error: cannot write " + o.output);
        return 1;
    }
    return 0;
}

int runBuild(const Options& o)
{
    Workspace w;
    if (!w.start()) return 1;
    EditorSession& s = *w.session;

    s.setThemeName(o.name);
    for (const auto& [slot, colour] : o.colours) s.theme.colours[static_cast<size_t>(slot)] = colour;
    s.RecolourCommandBar();

    // The pictures come in as the editor's load commands take them: through the file
    // dialog and the fit choice, which the tool answers from its arguments.
    w.user.fit = o.place ? FitChoice::Place : o.resize ? FitChoice::Resize : FitChoice::Crop;
    w.user.placement = o.placement;
    if (!o.today.isEmpty()) {
        w.user.fileAnswers = {QFileInfo(o.today).absoluteFilePath()};
        if (!s.LoadMainImage() || w.status() != 0) return 1;
    }
    if (!o.menu.isEmpty()) {
        w.user.fileAnswers = {QFileInfo(o.menu).absoluteFilePath()};
        if (!s.LoadMenuImage() || w.status() != 0) return 1;
    }

    const AdjustmentSet adjust{o.gamma, o.brightness, o.contrast};
    s.adjustToday = adjust;
    s.adjustMenu = adjust;
    s.state.colourDepth256 = o.depth256;
    applyBuildColourOptions(s, o);

    w.user.fileAnswers = {QFileInfo(o.output).absoluteFilePath()};
    s.SaveTheme();
    return w.status();
}

int runExtract(const Options& o)
{
    try {
        CCabFile cab;
        cab.setCabName(o.package);
        // Member names come from the package: control characters would drive the terminal.
        cab.AfterExtract = [](const QString& target) {
            QString shown;
            for (const QChar c : target)
                shown += (c.category() == QChar::Other_Control)
                             ? QString("\\x%1").arg(c.unicode(), 2, 16, QChar('0'))
                             : QString(c);
            printOut(shown + "\n");
        };
        cab.Extract(QString(), QFileInfo(o.output).absoluteFilePath(), QString());
    } catch (const AppError& e) {
        printErr("Error: " + e.description());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // Rendering needs fonts and painting, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // stderr carries the editor's messages; the toolkit's own chatter stays out of it.
    if (qEnvironmentVariableIsEmpty("ORVANTIS_CLI_DEBUG")) {
        setAsideStderr();
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
            if (type == QtCriticalMsg || type == QtFatalMsg) printErr(msg);
        });
    }
    QGuiApplication app(argc, argv);
    // The screens are drawn in the editor's handheld font, not whatever fontconfig offers.
    registerHandheldFonts();

    QStringList args = app.arguments();
    args.removeFirst();
    if (args.value(0) == "device") return runDeviceCommand(args.mid(1));
    if (args.value(0) == "check") return runCheckCommand(args.mid(1));
    if (args.value(0) == "thumbnail") return runThumbnailCommand(args.mid(1));
    Options o;
    QString problem;
    if (!parseOptions(args, o, problem)) {
        printErr("orvantis-cli: " + problem);
        printErr("Try 'orvantis-cli --help'.");
        return 2;
    }
    if (o.command == "help") {
        printOut(usageText());
        return 0;
    }
    // Data folders of runs that were killed are cleared here, by the next run.
    removeStaleToolWorkspaces(QDir::tempPath());
    if (o.command == "info") return runInfo(o);
    if (o.command == "render") return runRender(o);
    if (o.command == "build") return runBuild(o);
    return runExtract(o);
}
