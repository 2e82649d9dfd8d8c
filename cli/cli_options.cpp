#include "cli/cli_options.h"

#include "cli/check_command.h"
#include "cli/device_command.h"
#include "theme/theme_model.h"

#include <QRegularExpression>
#include <cmath>

namespace orv::cli {

namespace {

constexpr int kMaxNameLength = 40;
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

// "X,Y" with two finite numbers; values past the picture's edges are kept, the frame is
// clamped when it is placed.
bool parseFocus(const QString& text, Placement& out)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 2) return false;
    bool okX = false, okY = false;
    const double x = parts[0].trimmed().toDouble(&okX);
    const double y = parts[1].trimmed().toDouble(&okY);
    if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y)) return false;
    out.focusX = x;
    out.focusY = y;
    return true;
}

} // namespace

QString usageText()
{
    return QStringLiteral(
        "Usage: orvantis-cli COMMAND [ARGUMENTS]\n"
        "\n"
        "Commands:\n"
        "  info PACKAGE.tsk\n"
        "      Prints the package as one JSON object: name, colors (by registry value name,\n"
        "      #RRGGBB), today and menu background sizes, members in cabinet order.\n"
        "  render [PACKAGE.tsk] --screen main|message|important|navigation|menu\n"
        "         [--time HH:MM] [--date DATE] -o OUT.png\n"
        "      Writes the composed 240 by 320 screen; without a package, a new theme.\n"
        "      DATE as 2026-03-14, 3/14/2026, 14 March 2026 or Saturday, March 14, 2026;\n"
        "      the screen shows it in the desktop's long date form.\n"
        "  build --name NAME [--color VALUENAME=#RRGGBB]... [--today PICTURE] [--menu PICTURE]\n"
        "        [--fit crop|resize|place] [--focus X,Y] [--zoom Z] [--depth 256|16m]\n"
        "        [--brightness B] [--contrast C] [--gamma G] -o OUT.tsk\n"
        "      Makes a package as the editor saves it. VALUENAME is one of 5 8 9 4 6 7 10 11\n"
        "      12 13 14 25 26. Brightness and contrast 0.0 to 1.0 (neutral 0.5), gamma 1.0\n"
        "      to 10.0 (neutral 5.0). Without --menu the Start menu follows the Today picture.\n"
        "      --fit place keeps the picture's proportions: a frame of the background's shape\n"
        "      centred at X,Y (fractions of the picture's width and height, default 0.5,0.5)\n"
        "      and zoomed by Z (1, the default, is the largest frame; larger shows less) is\n"
        "      scaled to the background. The frame stays inside the picture.\n"
        "  extract PACKAGE.tsk DIR\n"
        "      Unpacks the members into DIR.\n") + checkUsageText() + deviceUsageText() + QStringLiteral(
        "  --help\n"
        "      Shows this text.\n"
        "\n"
        "Messages the editor would show go to stderr. Exit status: 0 success, 1 error,\n"
        "2 bad arguments.\n");
}

bool parseOptions(const QStringList& args, Options& o, QString& problem)
{
    if (args.isEmpty()) {
        problem = "no command given";
        return false;
    }
    if (args.contains("--help") || args.contains("-h") || args.first() == "help") {
        o.command = "help";
        return true;
    }
    o.command = args.first();
    if (!QStringList{"info", "render", "build", "extract"}.contains(o.command)) {
        problem = "unknown command " + o.command;
        return false;
    }

    QStringList positional;
    bool haveOutput = false;
    bool placementGiven = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith('-') || a == "-") {
            positional << a;
            continue;
        }
        if ((a == "--fix-contrast" || a == "--match-colors") && o.command == "build") {
            (a == "--fix-contrast" ? o.fixContrast : o.matchColours) = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            problem = a + " needs a value";
            return false;
        }
        const QString v = args[++i];
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
            o.name = v;
        } else if (a == "--color" && build) {
            const int eq = v.indexOf('=');
            const int slot = eq > 0 ? slotOfValueName(v.left(eq)) : -1;
            Colour c = 0;
            if (slot < 0 || !parseColour(v.mid(eq + 1), c)) {
                problem = "--color takes VALUENAME=#RRGGBB with a colour value name";
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
                problem = "--focus takes X,Y: two fractions of the picture's width and height";
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
    return true;
}

} // namespace orv::cli
