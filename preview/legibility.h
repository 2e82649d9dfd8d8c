#pragma once
// Whether the theme's text can be read over what lies under it. A text counts by the worst
// part of its background: the contrast ratio (relative luminance, as the web's accessibility
// guidelines define it) that nine in ten of the pixels under its glyph boxes reach or beat.
// Suggestions keep the text's hue and move only its perceived lightness (OKLCh).

#include "theme/colour.h"

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QString>
#include <vector>

namespace orv {

struct ProgramState;
struct Theme;

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double relativeLuminance(QRgb colour);
// (lighter + 0.05) / (darker + 0.05): 1 to 21. (Not an overload of the face's
// contrastRatio(QColor, QColor): Qt::white would silently pick this one as a number.)
double luminanceContrast(QRgb a, QRgb b);

// The luminances of the background pixels under a text, measured once and asked many times.
class BackgroundSample {
public:
    BackgroundSample() = default;
    // The pixels of background inside the boxes, read on a grid of every third row and
    // column (all pixels when the boxes are too small to meet it), each pixel once however
    // the boxes overlap; parts outside the picture are left out.
    BackgroundSample(const QImage& background, const std::vector<QRect>& boxes);
    // These pixels, each counted as often as it is given.
    explicit BackgroundSample(const std::vector<QRgb>& pixels);

    bool isEmpty() const { return luminance_.empty(); }
    // The contrast that nine in ten pixels reach: the 10th percentile (nearest rank) of the
    // pixels' contrast ratios with the text colour. 21 when there are no pixels.
    double contrastWith(QRgb text) const;

private:
    std::vector<float> luminance_; // ascending
};

// Where a BackgroundSample reads a picture of this size and row length (in pixels): the
// offsets of its pixels from the first, in the sample's order.
std::vector<int> samplePoints(QSize picture, int pixelsPerRow, const std::vector<QRect>& boxes);

// The readable colour nearest to text: the same hue, lightness moved up or down in OKLCh
// (whichever needs the smaller move) until the contrast reaches threshold, the chroma cut
// only as far as the colour needs to stay displayable. Black or white, whichever reads
// better, when no lightness reaches it. Returns text itself when it is readable already.
Colour readableColour(Colour text, const BackgroundSample& background, double threshold);

// OKLab / OKLCh conversions of sRGB colours (L 0..1, C >= 0, h in degrees 0..360).
struct OkLch {
    double L = 0, C = 0, h = 0;
};
OkLch toOkLch(QRgb colour);
// The nearest displayable colour of this lightness and hue: chroma reduced until it fits.
QRgb fromOkLch(const OkLch& colour);

// --- the theme's checks ---------------------------------------------------------------------
struct LegibilityCheck {
    int element = -1;      // the element whose colour the text takes
    QString caption;       // "Today Screen Text", as the Color menu names it
    QString valueName;     // the registry value name of its colour
    double contrast = 21;  // measured
    double threshold = 0;  // 4.5 for the Today text, 3 for the bold title captions
    bool readable = true;
    Colour suggestion = 0; // the nearest readable colour (the colour itself when readable)
};

inline constexpr double kTodayTextThreshold = 4.5;
inline constexpr double kTitleTextThreshold = 3.0;

// The checks of a theme over a composed Today screen before its text was drawn (the title
// bar at rows 0 to 26, the Today background from row 27): every Today entry and both title
// captions, placed as the screen places them for that moment. Empty when there is no screen.
// Suggestions cost far more than the measuring; without suggest, each check suggests its own
// colour.
std::vector<LegibilityCheck> checkLegibility(const Theme& theme, const QImage& underText,
                                             const ProgramState& state, const QDateTime& moment,
                                             bool suggest = true);

// The worst unreadable check (the lowest contrast for its threshold), or null.
const LegibilityCheck* worstCheck(const std::vector<LegibilityCheck>& checks);

// "Today Screen Text 2.1:1: hard to read"
QString legibilityWarning(const LegibilityCheck& check);

// The ratio as shown: rounded down to two decimals, so a shown value never overstates.
double shownContrast(double contrast);

} // namespace orv
