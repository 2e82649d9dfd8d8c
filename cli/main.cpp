// orvantis-cli: inspect, render, build and unpack theme packages without a window. Every
// command drives the editor's own session; opening and saving are the editor's routines.
// Exit status: 0 success, 1 when the editor would have shown an error box, 2 bad arguments.
#include "app/editor_session.h"
#include "app/output_target.h"
#include "app/safe_write.h"
#include "cli/cli_errors.h"
#include "cli/cli_interaction.h"
#include "cli/check_command.h"
#include "cli/cli_options.h"
#include "cli/colour_names.h"
#include "cli/thumbnail_command.h"
#include "cli/device_command.h"
#include "cli/output_format.h"
#include "cli/own_stderr.h"
#include "cli/workspace.h"
#include "preview/fonts.h"
#include "theme/cab_file.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <cstdio>
#include <cstring>

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

// Outputs are checked before any work: only a missing path or a regular file that is none of
// the inputs is written.
bool outputUsable(const QString& output, const QStringList& inputs)
{
    const QString problem = outputTargetProblem(output, inputs);
    if (problem.isEmpty()) return true;
    // "Cannot write F: it is a named pipe": the file first, as every other error line.
    const QString prefix = "Cannot write " + output + ": ";
    reportFileError(output, "not written, " + (problem.startsWith(prefix) ? problem.mid(prefix.size()) : problem));
    return false;
}

int runInfo(const Options& o)
{
    if (!packageReadable(o.package)) return 1;
    Workspace w;
    if (!w.start()) return 1;
    EditorSession& s = *w.session;
    if (!w.load(o.package)) return 1;

    QStringList members;
    try {
        CCabFile cab;
        cab.setCabName(o.package);
        cab.FileFound = [&](const QString& name, double, std::int32_t size, const QString& path) {
            members << QString("{\"name\":%1,\"size\":%2}").arg(jsonString(path + name)).arg(size);
        };
        cab.GetInfo(QString());
    } catch (const AppError& e) {
        reportFileError(o.package, "not a theme package", e.description());
        return 1;
    }

    // "colors" by value name as ever; "slots" adds the element names beside them.
    QStringList colours, slotEntries, withoutElement;
    for (const SlotInfo& slot : kSlots) {
        const int i = slotOfValueName(slot.valueName);
        const QString colour = jsonString(colourText(s.theme.colours[static_cast<size_t>(i)]));
        colours << jsonString(slot.valueName) + ":" + colour;
        const QString element = menuNameOfSlot(i);
        const auto orNull = [](const QString& t) { return t.isEmpty() ? QString("null") : jsonString(t); };
        slotEntries << "{\"value\":" + jsonString(slot.valueName) + ",\"element\":" + orNull(element) +
                     ",\"short\":" + orNull(shortFormOfSlot(i)) + ",\"color\":" + colour + "}";
        if (element.isEmpty()) withoutElement << jsonString(slot.valueName);
    }
    printOut("{\"name\":" + jsonString(s.theme.name) + ",\"colors\":{" + colours.join(',') +
             "},\"slots\":[" + slotEntries.join(',') + "],\"without_element\":[" +
             withoutElement.join(',') + "],\"today\":" + sizeJson(s.canvas.oPicBufToday) +
             ",\"menu\":" + sizeJson(s.canvas.oPicBufMenu) + ",\"members\":[" +
             members.join(',') + "]}\n");
    return 0;
}

int runRender(const Options& o)
{
    if (!o.package.isEmpty() && !packageReadable(o.package)) return 1;
    if (!outputUsable(o.output, {o.package})) return 1;
    Workspace w;
    if (!w.start()) return 1;
    EditorSession& s = *w.session;
    const QDateTime now = o.clock(QDateTime::currentDateTime());
    s.clock = [now] { return now; };
    if (!o.package.isEmpty() && !w.load(o.package)) return 1;
    w.user.about(o.output, "no screen was composed for it");

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
        reportFileError(o.output, "no screen was composed for it");
        return 1;
    }
    // The format the name asks for; the options were refused before any work if it asks
    // for none. JPEG and BMP carry no alpha, so the screen goes opaque to every format.
    QSaveFile out(o.output);
    QImageWriter writer(&out, pictureFormatForName(o.output));
    if (!out.open(QIODevice::WriteOnly)) {
        reportFileError(o.output, "cannot be written", out.errorString());
        return 1;
    }
    if (!writer.write(screen.convertToFormat(QImage::Format_RGB32))) {
        out.cancelWriting();
        reportFileError(o.output, "cannot be written", writer.errorString());
        return 1;
    }
    if (!commitWhole(out)) {
        reportFileError(o.output, "cannot be written", out.errorString());
        return 1;
    }
    return 0;
}

int runBuild(const Options& o)
{
    for (const QString& picture : {o.today, o.menu}) {
        const QString problem = picture.isEmpty() ? QString() : inputProblem(picture, "picture");
        if (!problem.isEmpty()) {
            reportFileError(picture, problem);
            return 1;
        }
    }
    if (!outputUsable(o.output, {o.today, o.menu})) return 1;
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
        w.user.about(o.today, "cannot be read as a picture");
        if (!s.LoadMainImage() || w.status() != 0) return 1;
    }
    if (!o.menu.isEmpty()) {
        w.user.fileAnswers = {QFileInfo(o.menu).absoluteFilePath()};
        w.user.about(o.menu, "cannot be read as a picture");
        if (!s.LoadMenuImage() || w.status() != 0) return 1;
    }

    const AdjustmentSet adjust{o.gamma, o.brightness, o.contrast};
    s.adjustToday = adjust;
    s.adjustMenu = adjust;
    s.state.colourDepth256 = o.depth256;
    applyBuildColourOptions(s, o);

    w.user.fileAnswers = {QFileInfo(o.output).absoluteFilePath()};
    w.user.about(o.output, "cannot be written");
    s.SaveTheme();
    return w.status();
}

int runExtract(const Options& o)
{
    if (!packageReadable(o.package)) return 1;
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
        // The package was readable when the walk began: what fails now is the package's
        // contents or the writing of its members.
        static const QList<int> writeFaults = {5, 19, 29, 39, 82, 112};
        if (writeFaults.contains(e.number()))
            reportFileError(o.output, "cannot be written", e.description());
        else
            reportFileError(o.package, "not a package", e.description());
        return 1;
    }
    return 0;
}

int runVersion(const Options&)
{
    printOut("orvantis-cli " + kVersion + "\n");
    return 0;
}

// Help and version mean the tool's, whatever command they come with.
bool askedForHelp(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* word : {"--help", "-h", "--version"})
            if (std::strcmp(argv[i], word) == 0) return true;
    return false;
}

int runHelp(const Options&)
{
    printOut(usageText());
    return 0;
}

// Every command of parseOptions() and the routine that carries it out.
struct CommandEntry {
    const char* name;
    int (*run)(const Options&);
    bool needsWorkspace; // clears the data folders of runs that were killed first
};
const CommandEntry kCommandTable[] = {
    {"help", runHelp, false},
    {"version", runVersion, false},
    {"info", runInfo, true},
    {"render", runRender, true},
    {"build", runBuild, true},
    {"extract", runExtract, true},
};

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
    // A thumbnail's arguments are refused before anything starts, and it starts only what
    // drawing one screen needs: file managers run it for every package they show.
    const bool thumbnail = argc > 1 && std::strcmp(argv[1], "thumbnail") == 0 && !askedForHelp(argc, argv);
    ThumbnailRequest thumbnailRequest;
    if (thumbnail) {
        QStringList words;
        for (int i = 2; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
        if (!parseThumbnailArguments(words, thumbnailRequest)) return 2;
        if (!packageReadable(thumbnailRequest.package)) return 1;
        prepareThumbnailStartup();
    }
    QGuiApplication app(argc, argv);
    // The screens are drawn in the editor's handheld font, not whatever fontconfig offers.
    registerHandheldFonts();

    QStringList args = app.arguments();
    args.removeFirst();
    // The device commands read their own arguments; help and version still mean the tool's.
    const bool askedForHelp = ::askedForHelp(argc, argv);
    if (args.value(0) == "device" && !askedForHelp) return runDeviceCommand(args.mid(1));
    if (args.value(0) == "check" && !askedForHelp) return runCheckCommand(args.mid(1));
    if (thumbnail) return runThumbnailCommand(thumbnailRequest);
    Options o;
    QString problem;
    if (!parseOptions(args, o, problem)) {
        printErr("orvantis-cli: " + problem);
        printErr("Try 'orvantis-cli --help'.");
        return 2;
    }
    for (const CommandEntry& c : kCommandTable) {
        if (o.command != QLatin1String(c.name)) continue;
        // Data folders of runs that were killed are cleared here, by the next run.
        if (c.needsWorkspace) removeStaleToolWorkspaces(QDir::tempPath());
        return c.run(o);
    }
    printErr("orvantis-cli: unknown command " + o.command);
    return 2;
}
