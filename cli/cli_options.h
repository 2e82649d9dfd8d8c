#pragma once
// The command line of orvantis-cli, checked whole before any work starts.

#include "imaging/placement.h"
#include "theme/colour.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

namespace orv::cli {

struct Options {
    QString command; // help, version, info, render, build, extract
    QString package; // info, render (optional), extract
    QString output;  // -o (render, build); the folder of extract

    // render
    QString screen;
    std::optional<QTime> time;
    std::optional<QDate> date;

    // build
    QString name;
    std::vector<std::pair<int, Colour>> colours; // slot, colour
    QString today, menu;
    bool resize = false;
    bool place = false;  // --fit place: the frame given by --focus and --zoom
    Placement placement;
    bool depth256 = true;
    float brightness = 0.5f, contrast = 0.5f;
    double gamma = 5.0;
    bool fixContrast = false; // --fix-contrast
    bool matchColours = false; // --match-colors

    // The clock a render shows: --date and --time over the given moment.
    QDateTime clock(const QDateTime& now) const
    {
        return QDateTime(date.value_or(now.date()), time.value_or(now.time()));
    }
};

// False with a one-line reason when the arguments are not usable.
bool parseOptions(const QStringList& args, Options& out, QString& problem);
QString usageText();
// The table of colour names --help shows: short form, Color menu name, value name.
QString colourNamesText();

} // namespace orv::cli
