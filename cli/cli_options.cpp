#include "cli/cli_options.h"

#include "cli/check_command.h"
#include "cli/colour_names.h"
#include "cli/device_command.h"
#include "cli/output_format.h"
#include "theme/theme_file_name.h"
#include "theme/theme_model.h"

#include <QRegularExpression>
#include <cmath>

namespace orv::cli {

namespace {

constexpr int kMaxNameLength = 40;
// The commands parseOptions() knows; main() has the routine of each.
const QStringList kCommands = {"info", "render", "build", "extract"};
const QStringList kScreens = {"main", "message", "important", "navigation", "menu"};

bool parseColour(const QString& text, Colour& out)
{
    static const QRegularExpression re("^#([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})([0-9A-Fa-f]{2})$");
    const auto m = re.match(text);
    if (!m.hasMatch()) return false;
    out = rgbColour(m.captured(1).toInt(nullptr, 16), m.captured(2).toInt(nullptr, 16),
                    m.captured(3).toInt(nullptr, 16));
    return true;
}

bool parseNumber(const QString& text, double low, double high, double& out)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    // "nan" converts, and fails every comparison: it must not pass as in range.
    if (!ok || !std::isfinite(v) || v < low || v > high) return false;
    out = v;
    return true;
}

std::optional<QDate> parseDate(const QString& text)
{
    for (const char* format : {"yyyy-MM-dd", "M/d/yyyy", "d MMMM yyyy", "MMMM d, yyyy",
                               "dddd, MMMM d, yyyy", "dddd, d MMMM yyyy"}) {
        const QDate d = QDate::fromString(text, QString::fromLatin1(format));
        if (d.isValid()) return d;
    }
    return std::nullopt;
}

// "X,Y" with two fractions of the picture from 0 to 1. A point past the picture's edge is
// refused rather than quietly moved to the edge, so a typo never builds the wrong frame.
bool parseFocus(const QString& text, Placement& out)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 2) return false;
    double x = 0, y = 0;
    if (!parseNumber(parts[0].trimmed(), 0.0, 1.0, x) || !parseNumber(parts[1].trimmed(), 0.0, 1.0, y))
        return false;
    out.focusX = x;
    out.focusY = y;
    return true;
}

} // namespace

// The colour names as a table for --help: short form, element name, value name.
QString colourNamesText()
{
    QString text;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const QString shortForm = shortFormOfSlot(slot);
        if (shortForm.isEmpty()) continue;
        text += QString("        %1 %2 %3\n")
                    .arg(shortForm, -16)
                    .arg(menuNameOfSlot(slot), -28)
                    .arg(QLatin1String(kSlots[static_cast<size_t>(slot)].valueName));
    }
    return text;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: orvantis-cli COMMAND [ARGUMENTS]\n"
        "       orvantis-cli --help | -h | --version\n"
        "\n"
        "Commands:\n"
        "  info PACKAGE.tsk\n"
        "      Prints the package as one JSON object: name, colors (by registry value name,\n"
        "      #RRGGBB), slots (each colour with its value name, element name and short\n"
        "      form), without_element (the two value names that have no element), today and\n"
        "      menu background sizes, members in cabinet order.\n"
        "  render [PACKAGE.tsk] --screen main|message|important|navigation|menu\n"
        "         [--time HH:MM] [--date DATE] -o OUT.png|OUT.jpg|OUT.bmp\n"
        "      Writes the composed 240 by 320 screen as PNG, JPEG or BMP, by the name's\n"
        "      extension (.png, .jpg, .jpeg, .bmp); without a package, a new theme.\n"
        "      DATE as 2026-03-14, 3/14/2026, 14 March 2026 or Saturday, March 14, 2026;\n"
        "      the screen shows it in the desktop's long date form.\n"
        "  build --name NAME [--color COLORNAME=#RRGGBB]... [--today PICTURE] [--menu PICTURE]\n"
        "        [--fit crop|resize|place] [--focus X,Y] [--zoom Z] [--depth 256|16m]\n"
        "        [--brightness B] [--contrast C] [--gamma G] -o OUT.tsk\n"
        "      Makes a package as the editor saves it. COLORNAME is an element's short form,\n"
        "      its name as the editor's Color menu shows it (quoted, any case) or its value\n"
        "      name:\n") + colourNamesText() + QStringLiteral(
        "      The value names 11 and 12 have no element of their own; --color sets them too.\n"
        "      Brightness and contrast 0.0 to 1.0 (neutral 0.5), gamma 1.0 to 10.0 (neutral\n"
        "      5.0). Without --menu the Start menu follows the Today picture.\n"
        "      --fit place keeps the picture's proportions: a frame of the background's shape\n"
        "      centred at X,Y (fractions of the picture's width and height, 0.0 to 1.0,\n"
        "      default 0.5,0.5) and zoomed by Z (1, the default, is the largest frame; larger\n"
        "      shows less) is scaled to the background. The frame stays inside the picture.\n"
        "      With SOURCE_DATE_EPOCH set, the members carry that time: the same arguments\n"
        "      build the same bytes.\n"
        "  extract PACKAGE.tsk DIR\n"
        "      Unpacks the members into DIR.\n") + checkUsageText() + deviceUsageText() + QStringLiteral(
        "  --help, -h\n"
        "      Shows this text.\n"
        "  --version\n"
        "      Shows the version of the build, as the editor's about window does.\n"
        "\n"
        "Options take their value as --name VALUE or --name=VALUE; -- ends the options, so a\n"
        "file name after it may start with a dash.\n"
        "\n"
        "Errors go to stderr as one line: orvantis-cli: FILE: reason (system message).\n"
        "Exit status: 0 success, 1 error, 2 bad arguments.\n");
}

bool parseOptions(const QStringList& args, Options& o, QString& problem)
{
    if (args.isEmpty()) {
        problem = "no command given";
        return false;
    }
    // Help and version win wherever they stand among the options.
    const qsizetype optionsEnd = args.indexOf("--");
    const QStringList options = optionsEnd < 0 ? args : args.first(optionsEnd);
    if (options.contains("--help") || options.contains("-h") || args.first() == "help") {
        o.command = "help";
        return true;
    }
    if (options.contains("--version")) {
        o.command = "version";
        return true;
    }
    o.command = args.first();
    if (!kCommands.contains(o.command)) {
        problem = "unknown command " + o.command;
        return false;
    }

    QStringList positional;
    bool haveOutput = false;
    bool placementGiven = false;
    bool optionsEnded = false;
    for (int i = 1; i < args.size(); ++i) {
        QString a = args[i];
        if (optionsEnded || !a.startsWith('-') || a == "-") {
            positional << a;
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        if ((a == "--fix-contrast" || a == "--match-colors") && o.command == "build") {
            (a == "--fix-contrast" ? o.fixContrast : o.matchColours) = true;
            continue;
        }
        QString v;
        const qsizetype eq = a.startsWith("--") ? a.indexOf('=') : -1;
        if (eq > 2) {
            v = a.mid(eq + 1);
            a.truncate(eq);
        } else if (i + 1 < args.size()) {
            v = args[++i];
        } else {
            problem = a + " needs a value";
            return false;
        }
        const bool render = o.command == "render", build = o.command == "build";
        double number = 0;
        if (a == "-o" && (render || build)) {
            o.output = v;
            haveOutput = true;
        } else if (a == "--screen" && render) {
            if (!kScreens.contains(v)) {
                problem = "--screen takes one of " + kScreens.join('|');
                return false;
            }
            o.screen = v;
        } else if (a == "--time" && render) {
            const QTime t = QTime::fromString(v, "H:mm");
            if (!t.isValid() || !QRegularExpression("^\\d{1,2}:\\d{2}$").match(v).hasMatch()) {
                problem = "--time takes HH:MM";
                return false;
            }
            o.time = t;
        } else if (a == "--date" && render) {
            o.date = parseDate(v);
            if (!o.date) {
                problem = "--date takes a date such as 2026-03-14";
                return false;
            }
        } else if (a == "--name" && build) {
            // What the editor's name box can hold: 40 characters, and no folder separator or
            // colon, as the name becomes part of the saved file's name.
            if (v.size() > kMaxNameLength || v.contains(':') || v.contains('/')) {
                problem = "--name takes at most 40 characters, without ':' or '/'";
                return false;
            }
            if (const auto c = refusedNameCharacter(v)) {
                problem = "--name cannot hold the control character " + describeCharacter(*c);
                return false;
            }
            o.name = v;
        } else if (a == "--color" && build) {
            const qsizetype split = v.lastIndexOf('=');
            const int slot = split > 0 ? slotOfColourName(v.left(split)) : -1;
            Colour c = 0;
            if (slot < 0 || !parseColour(v.mid(split + 1), c)) {
                problem = "--color takes COLORNAME=#RRGGBB with an element name, its short form "
                          "or a value name (see --help)";
                return false;
            }
            o.colours.emplace_back(slot, c);
        } else if (a == "--today" && build) {
            o.today = v;
        } else if (a == "--menu" && build) {
            o.menu = v;
        } else if (a == "--fit" && build) {
            if (v != "crop" && v != "resize" && v != "place") {
                problem = "--fit takes crop, resize or place";
                return false;
            }
            o.resize = v == "resize";
            o.place = v == "place";
        } else if (a == "--focus" && build) {
            if (!parseFocus(v, o.placement)) {
                problem = "--focus takes X,Y: two fractions of the picture's width and height, "
                          "each from 0.0 to 1.0";
                return false;
            }
            placementGiven = true;
        } else if (a == "--zoom" && build) {
            bool ok = false;
            o.placement.zoom = v.toDouble(&ok);
            if (!ok || !std::isfinite(o.placement.zoom) || o.placement.zoom < 1.0) {
                problem = "--zoom takes a number of 1 or more";
                return false;
            }
            placementGiven = true;
        } else if (a == "--depth" && build) {
            if (v != "256" && v.compare("16m", Qt::CaseInsensitive) != 0) {
                problem = "--depth takes 256 or 16m";
                return false;
            }
            o.depth256 = v == "256";
        } else if (a == "--brightness" && build) {
            if (!parseNumber(v, 0.0, 1.0, number)) {
                problem = "--brightness takes a number from 0.0 to 1.0";
                return false;
            }
            o.brightness = static_cast<float>(number);
        } else if (a == "--contrast" && build) {
            if (!parseNumber(v, 0.0, 1.0, number)) {
                problem = "--contrast takes a number from 0.0 to 1.0";
                return false;
            }
            o.contrast = static_cast<float>(number);
        } else if (a == "--gamma" && build) {
            if (!parseNumber(v, 1.0, 10.0, number)) {
                problem = "--gamma takes a number from 1.0 to 10.0";
                return false;
            }
            o.gamma = number;
        } else {
            problem = "unknown option " + a + " for " + o.command;
            return false;
        }
    }

    if (o.command == "info") {
        if (positional.size() != 1) {
            problem = "info takes one package";
            return false;
        }
        o.package = positional.first();
    } else if (o.command == "extract") {
        if (positional.size() != 2) {
            problem = "extract takes a package and a folder";
            return false;
        }
        o.package = positional[0];
        o.output = positional[1];
    } else if (o.command == "render") {
        if (positional.size() > 1) {
            problem = "render takes at most one package";
            return false;
        }
        if (!positional.isEmpty()) o.package = positional.first();
        if (o.screen.isEmpty()) {
            problem = "render needs --screen";
            return false;
        }
    } else { // build
        if (!positional.isEmpty()) {
            problem = "build takes no package, only options";
            return false;
        }
        if (o.name.trimmed().isEmpty()) {
            problem = "build needs --name";
            return false;
        }
        if (placementGiven && !o.place) {
            problem = "--focus and --zoom need --fit place";
            return false;
        }
    }
    if ((o.command == "render" || o.command == "build") && (!haveOutput || o.output.isEmpty())) {
        problem = o.command + " needs -o";
        return false;
    }
    if (o.command == "render" && pictureFormatForName(o.output).isEmpty()) {
        problem = pictureNameProblem("-o", o.output);
        return false;
    }
    return true;
}

} // namespace orv::cli
