// The legibility check of the theme's text and the readable colour nearest to a text colour.
// It reads the composed screen and never changes it.
#include "preview/legibility.h"

#include "app/program_state.h"
#include "preview/text_layout.h"
#include "theme/theme_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace orv {

namespace {

double linearOf(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

const std::array<double, 256>& linearTable()
{
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = linearOf(i);
        return t;
    }();
    return table;
}

int encodeChannel(double linear)
{
    linear = std::clamp(linear, 0.0, 1.0);
    const double c = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return std::clamp(static_cast<int>(std::lround(c * 255.0)), 0, 255);
}

double ratioOf(double a, double b)
{
    return a > b ? (a + 0.05) / (b + 0.05) : (b + 0.05) / (a + 0.05);
}

struct Linear {
    double r, g, b;
};

Linear linearFromOkLab(double L, double a, double b)
{
    const double l_ = L + 0.3963377774 * a + 0.2158037573 * b;
    const double m_ = L - 0.1055613458 * a - 0.0638541728 * b;
    const double s_ = L - 0.0894841775 * a - 1.2914855480 * b;
    const double l = l_ * l_ * l_, m = m_ * m_ * m_, s = s_ * s_ * s_;
    return {4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s,
            -1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s,
            -0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s};
}

bool displayable(const Linear& c)
{
    constexpr double eps = 1e-6;
    return c.r >= -eps && c.r <= 1 + eps && c.g >= -eps && c.g <= 1 + eps && c.b >= -eps &&
           c.b <= 1 + eps;
}

// The Color menu's names of the checked elements.
constexpr const char* kTodayCaption = "Today Screen Text";
constexpr const char* kTitleCaption = "Titlebar Text";

std::vector<QRect> boxesOf(const std::vector<PlacedText>& texts)
{
    std::vector<QRect> boxes;
    for (const PlacedText& t : texts) {
        const std::vector<QRect> b = glyphBoxes(t);
        boxes.insert(boxes.end(), b.begin(), b.end());
    }
    return boxes;
}

LegibilityCheck measure(const Theme& theme, int element, const char* caption, double threshold,
                        const BackgroundSample& sample, bool suggest)
{
    LegibilityCheck check;
    check.element = element;
    check.caption = QString::fromLatin1(caption);
    check.valueName = QString::fromLatin1(kSlots[static_cast<size_t>(slotOfElement(element))].valueName);
    check.threshold = threshold;
    const Colour colour = theme.element(element);
    check.contrast = sample.contrastWith(toQRgb(colour));
    check.readable = check.contrast >= threshold;
    check.suggestion = check.readable || !suggest ? colour : readableColour(colour, sample, threshold);
    return check;
}

} // namespace

double relativeLuminance(QRgb colour)
{
    const auto& t = linearTable();
    return 0.2126 * t[static_cast<size_t>(qRed(colour))] +
           0.7152 * t[static_cast<size_t>(qGreen(colour))] +
           0.0722 * t[static_cast<size_t>(qBlue(colour))];
}

double luminanceContrast(QRgb a, QRgb b) { return ratioOf(relativeLuminance(a), relativeLuminance(b)); }

std::vector<int> samplePoints(QSize picture, int pixelsPerRow, const std::vector<QRect>& boxes)
{
    std::vector<int> points;
    const QRect whole(QPoint(0, 0), picture);
    // The check runs after every redraw and must cost a small part of one: the pixels are
    // read on a grid of every third row and column, which a glyph box of the handheld's
    // font (at least 3 by 11 pixels) always meets several times.
    auto collect = [&](int step) {
        const int gw = (picture.width() + step - 1) / step, gh = (picture.height() + step - 1) / step;
        std::vector<std::uint8_t> seen(static_cast<size_t>(gw) * static_cast<size_t>(gh), 0);
        for (const QRect& box : boxes) {
            const QRect r = box.intersected(whole);
            if (r.isEmpty()) continue;
            const int y0 = (r.top() + step - 1) / step * step, x0 = (r.left() + step - 1) / step * step;
            for (int y = y0; y <= r.bottom(); y += step) {
                std::uint8_t* mark = seen.data() + static_cast<size_t>(y / step) * static_cast<size_t>(gw);
                for (int x = x0; x <= r.right(); x += step) {
                    if (mark[x / step]) continue;
                    mark[x / step] = 1;
                    points.push_back(y * pixelsPerRow + x);
                }
            }
        }
    };
    collect(3);
    if (points.empty()) collect(1); // boxes too small to meet the grid
    return points;
}

namespace {

// The picture as 32-bit pixels, shared when it is already.
QImage asRgb32(const QImage& picture)
{
    return picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
               ? picture
               : picture.convertToFormat(QImage::Format_RGB32);
}

void gather(const QImage& rgb32, const std::vector<int>& points, std::vector<QRgb>& pixels)
{
    const QRgb* bits = reinterpret_cast<const QRgb*>(rgb32.constBits());
    pixels.resize(points.size());
    for (size_t i = 0; i < points.size(); ++i) pixels[i] = bits[points[i]];
}

} // namespace

BackgroundSample::BackgroundSample(const QImage& background, const std::vector<QRect>& boxes)
{
    if (background.isNull()) return;
    const QImage img = asRgb32(background);
    std::vector<QRgb> pixels;
    gather(img, samplePoints(img.size(), static_cast<int>(img.bytesPerLine() / 4), boxes), pixels);
    *this = BackgroundSample(pixels);
}

BackgroundSample::BackgroundSample(const std::vector<QRgb>& pixels)
{
    // relativeLuminance() written out, with the table fetched once for all the pixels.
    const auto& t = linearTable();
    luminance_.resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const QRgb p = pixels[i];
        luminance_[i] = static_cast<float>(0.2126 * t[static_cast<size_t>(qRed(p))] +
                                           0.7152 * t[static_cast<size_t>(qGreen(p))] +
                                           0.0722 * t[static_cast<size_t>(qBlue(p))]);
    }
    std::sort(luminance_.begin(), luminance_.end());
}

double BackgroundSample::contrastWith(QRgb text) const
{
    if (luminance_.empty()) return 21.0;
    const double t = relativeLuminance(text);
    // Nearest rank: the smallest value that at least a tenth of the pixels do not beat.
    const size_t n = luminance_.size();
    const size_t rank = static_cast<size_t>(std::ceil(0.1 * static_cast<double>(n)));
    const size_t k = rank == 0 ? 0 : rank - 1;
    // The contrast falls as a pixel's luminance nears the text's, so the lowest contrasts
    // lie next to the text's luminance in the sorted sample, darker pixels below it and
    // lighter ones from it on: taking the lower of the two nearest k + 1 times walks them
    // in order. Each ratio is computed as ratioOf() computes it, so the value is the one a
    // full sort of all the ratios would give.
    size_t below = static_cast<size_t>(
        std::lower_bound(luminance_.begin(), luminance_.end(), t,
                         [](float l, double v) { return static_cast<double>(l) < v; }) -
        luminance_.begin());
    size_t above = below;
    constexpr float none = std::numeric_limits<float>::infinity();
    float value = none;
    for (size_t i = 0; i <= k; ++i) {
        const float darker =
            below > 0 ? static_cast<float>((t + 0.05) / (static_cast<double>(luminance_[below - 1]) + 0.05))
                      : none;
        const float lighter =
            above < n ? static_cast<float>((static_cast<double>(luminance_[above]) + 0.05) / (t + 0.05))
                      : none;
        if (darker <= lighter) {
            value = darker;
            --below;
        } else {
            value = lighter;
            ++above;
        }
    }
    return value;
}

OkLch toOkLch(QRgb colour)
{
    const auto& t = linearTable();
    const double r = t[static_cast<size_t>(qRed(colour))], g = t[static_cast<size_t>(qGreen(colour))],
                 b = t[static_cast<size_t>(qBlue(colour))];
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    const double L = 0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s;
    const double A = 1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s;
    const double B = 0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s;
    double h = std::atan2(B, A) * 180.0 / M_PI;
    if (h < 0) h += 360.0;
    return {L, std::hypot(A, B), h};
}

QRgb fromOkLch(const OkLch& colour)
{
    const double L = std::clamp(colour.L, 0.0, 1.0);
    const double hr = colour.h * M_PI / 180.0;
    const double ca = std::cos(hr), sa = std::sin(hr);
    auto at = [&](double c) { return linearFromOkLab(L, c * ca, c * sa); };
    Linear best = at(std::max(colour.C, 0.0));
    if (!displayable(best)) {
        // Cut the chroma, keeping the hue, until the colour fits.
        double lo = 0, hi = std::max(colour.C, 0.0);
        for (int i = 0; i < 30; ++i) {
            const double mid = (lo + hi) / 2;
            if (displayable(at(mid))) lo = mid;
            else hi = mid;
        }
        best = at(lo);
    }
    return qRgb(encodeChannel(best.r), encodeChannel(best.g), encodeChannel(best.b));
}

Colour readableColour(Colour text, const BackgroundSample& background, double threshold)
{
    const QRgb start = toQRgb(text);
    if (background.contrastWith(start) >= threshold) return text;
    const OkLch lch = toOkLch(start);
    auto reads = [&](double L) {
        const QRgb c = fromOkLch({L, lch.C, lch.h});
        return background.contrastWith(c) >= threshold;
    };
    // The first lightness that reads, stepping away from the text's own in one direction,
    // then narrowed down to the step's nearest edge.
    auto firstReadable = [&](double direction) -> std::optional<double> {
        constexpr double step = 0.01;
        double previous = lch.L;
        for (double L = lch.L + direction * step; L >= -step / 2 && L <= 1 + step / 2;
             L += direction * step) {
            const double clamped = std::clamp(L, 0.0, 1.0);
            if (reads(clamped)) {
                double fail = previous, pass = clamped;
                for (int i = 0; i < 8; ++i) {
                    const double mid = (fail + pass) / 2;
                    (reads(mid) ? pass : fail) = mid;
                }
                return pass;
            }
            previous = clamped;
        }
        return std::nullopt;
    };
    const std::optional<double> up = firstReadable(+1), down = firstReadable(-1);
    if (up || down) {
        double L;
        if (up && down) L = (*up - lch.L <= lch.L - *down) ? *up : *down;
        else L = up ? *up : *down;
        return fromQRgb(fromOkLch({L, lch.C, lch.h}));
    }
    const double onBlack = background.contrastWith(qRgb(0, 0, 0));
    const double onWhite = background.contrastWith(qRgb(255, 255, 255));
    return onWhite >= onBlack ? kWhite : kBlack;
}

namespace {

// A sample kept between redraws: where it reads, what it read there last, and the sorted
// luminances of that. Most redraws change no pixel under the text (a colour of the text,
// the lines or the bars changed), and then only the pixels are read again.
struct KeptSample {
    QSize size;
    int pixelsPerRow = 0;
    std::vector<int> points;
    std::vector<QRgb> pixels, fresh;
    BackgroundSample sample;

    // boxes are read only when they changed since the last call, or on the first.
    const BackgroundSample& over(const QImage& rgb32, const std::vector<QRect>& boxes, bool boxesChanged)
    {
        const int row = static_cast<int>(rgb32.bytesPerLine() / 4);
        if (boxesChanged || rgb32.size() != size || row != pixelsPerRow) {
            size = rgb32.size();
            pixelsPerRow = row;
            points = samplePoints(size, row, boxes);
            pixels.clear();
            sample = BackgroundSample(pixels);
        }
        gather(rgb32, points, fresh);
        if (fresh != pixels) {
            pixels.swap(fresh);
            sample = BackgroundSample(pixels);
        }
        return sample;
    }
};

} // namespace

std::vector<LegibilityCheck> checkLegibility(const Theme& theme, const QImage& underText,
                                             const ProgramState& state, const QDateTime& moment,
                                             bool suggest)
{
    std::vector<LegibilityCheck> checks;
    if (underText.isNull()) return checks;
    // Every Today entry counts, whatever the Today text setting shows here: on the handheld
    // the theme's text appears over all of those places. The boxes change only with the
    // date, the clock's minute and the sample names, so they are kept between redraws.
    struct Kept {
        QDate date;
        int hour = -1, minute = -1;
        QString name1, name2, name3;
        KeptSample today, title;
    };
    static Kept kept;
    const QTime time = moment.time();
    const bool boxesChanged = kept.hour < 0 || kept.date != moment.date() || kept.hour != time.hour() ||
                              kept.minute != time.minute() || kept.name1 != state.Name1 ||
                              kept.name2 != state.Name2 || kept.name3 != state.Name3;
    std::vector<QRect> todayBoxes, titleBoxes;
    if (boxesChanged) {
        kept.date = moment.date();
        kept.hour = time.hour();
        kept.minute = time.minute();
        kept.name1 = state.Name1;
        kept.name2 = state.Name2;
        kept.name3 = state.Name3;
        todayBoxes = boxesOf(todayTextLayoutAll(state, moment.date()));
        titleBoxes = boxesOf(titleTextLayout(time));
    }
    const QImage img = asRgb32(underText);
    const BackgroundSample& today = kept.today.over(img, todayBoxes, boxesChanged);
    const BackgroundSample& title = kept.title.over(img, titleBoxes, boxesChanged);
    checks.push_back(measure(theme, 3, kTodayCaption, kTodayTextThreshold, today, suggest));
    checks.push_back(measure(theme, 2, kTitleCaption, kTitleTextThreshold, title, suggest));
    return checks;
}

const LegibilityCheck* worstCheck(const std::vector<LegibilityCheck>& checks)
{
    const LegibilityCheck* worst = nullptr;
    for (const LegibilityCheck& c : checks) {
        if (c.readable) continue;
        if (!worst || c.contrast / c.threshold < worst->contrast / worst->threshold) worst = &c;
    }
    return worst;
}

double shownContrast(double contrast) { return std::floor(contrast * 100.0 + 1e-9) / 100.0; }

QString legibilityWarning(const LegibilityCheck& check)
{
    const double shown = std::floor(check.contrast * 10.0 + 1e-9) / 10.0;
    return QString("%1 %2:1: hard to read").arg(check.caption).arg(shown, 0, 'f', 1);
}

} // namespace orv
