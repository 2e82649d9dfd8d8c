#pragma once
// Program-wide state of the start-up module: settings read at start, the folder variables,
// the colour-depth and dither switches, the theme template and the last theme data read.

#include <QByteArray>
#include <QString>

namespace orv {

struct ProgramState {
    QString commandLine; // the raw argument string; Form_Load works on an upper-cased copy

    QString Name1 = "Kip Varro";
    QString Name2 = "Nell Varro";
    QString Name3 = "Otto Brenn";
    QString Paths = "no";
    QString TodayText = "all";
    QString Skin = "Y";

    bool colourDepth256 = true; // Vantor/Statup CD == "256"

    // Folder variables. ThemePath, ImagesPath and CapturePath end in a separator; the
    // default TSKPath does not, a folder taken from the save dialog does.
    QString ThemePath;
    QString TSKPath;
    QString ImagesPath;
    QString CapturePath;

    // Fit mode of background loads: Crop (true) or Resize (false).
    bool fitCrop = true;

    bool ditherMain = true;
    bool ditherMenu = true;
    // The two further colour-reduction options per background: set at start, never changed.
    bool reduceOptionAMain = true, reduceOptionBMain = true;
    bool reduceOptionAMenu = true, reduceOptionBMenu = true;

    QByteArray themeTemplate;   // the built-in 524-byte template of the theme data file
    QByteArray themeDataBuffer; // bytes of the last theme data file read, plus one zero
};

} // namespace orv
