// Gamma, brightness and contrast inside the working rectangle, and the reduction to a
// 256-colour palette for pictures written into packages.
//
// The adjustments run at every redraw of the preview, so each builds one 256-entry table
// and walks the raw scanlines once. The neutral values leave every pixel as it was.
#include "app/errors.h"
#include "imaging/image_buffer.h"
#include "imaging/image_buffer_adjust.h"
#include "imaging/quantizer_threads.h"

#include <libimagequant.h>

#include <QSet>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace orv {

namespace {

using Table = std::array<quint8, 256>;

constexpr double kNeutralGamma = 5.0;
constexpr float kNeutralUnit = 0.5f;

quint8 clampByte(double v)
{
    return static_cast<quint8>(std::clamp(static_cast<int>(std::lround(v)), 0, 255));
}

// Applies the table to the three colour channels of every pixel of `from` inside r, writing
// the result to the same place in `to` (the same picture or one of the same size).
void applyTable(const QImage& from, QImage& to, const QRect& r, const Table& t)
{
    // One table per channel, already in the channel's place: a lookup and an or per channel.
    std::array<QRgb, 256> red, green, blue;
    for (size_t i = 0; i < 256; ++i) {
        red[i] = 0xFF000000u | (QRgb(t[i]) << 16);
        green[i] = QRgb(t[i]) << 8;
        blue[i] = t[i];
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const QRgb* s = reinterpret_cast<const QRgb*>(from.constScanLine(y)) + r.left();
        QRgb* p = reinterpret_cast<QRgb*>(to.scanLine(y)) + r.left();
        QRgb* const end = p + r.width();
        for (; p != end; ++p, ++s) {
            const QRgb c = *s;
            *p = red[(c >> 16) & 0xFF] | green[(c >> 8) & 0xFF] | blue[c & 0xFF];
        }
    }
}

void applyTable(QImage& image, const QRect& r, const Table& t)
{
    image.detach();
    applyTable(image, image, r, t);
}

struct LiqAttr {
    void operator()(liq_attr* a) const { liq_attr_destroy(a); }
    void operator()(liq_image* i) const { liq_image_destroy(i); }
    void operator()(liq_result* r) const { liq_result_destroy(r); }
};

} // namespace

namespace {

// 5.0 is the neutral position; every 2.5 above halves the exponent (brighter mid-tones),
// every 2.5 below doubles it (darker), so the slider feels even across its travel.
// During a brightness or contrast drag the gamma stays put: its 256 powers are worked out
// once per value (kept per thread, so no lock is needed).
Table gammaTable(double gamma)
{
    gamma = std::clamp(gamma, 1.0, 10.0);
    thread_local double lastGamma = -1.0;
    thread_local Table last;
    if (gamma == lastGamma) return last;
    const double exponent = std::exp2((kNeutralGamma - gamma) / 2.5);
    Table t;
    for (int i = 0; i < 256; ++i) t[size_t(i)] = clampByte(255.0 * std::pow(i / 255.0, exponent));
    last = t;
    lastGamma = gamma;
    return t;
}

// Contrast scales the distance from mid-grey by 1/4 (0.0) to 4 (1.0); brightness then
// shifts every channel by up to half the range either way.
Table brightnessContrastTable(float brightness, float contrast)
{
    brightness = std::clamp(brightness, 0.0f, 1.0f);
    contrast = std::clamp(contrast, 0.0f, 1.0f);
    const double factor = std::pow(4.0, (contrast - 0.5) * 2.0);
    const double offset = (brightness - 0.5) * 256.0;
    Table t;
    for (int i = 0; i < 256; ++i) t[size_t(i)] = clampByte((i - 128) * factor + 128 + offset);
    return t;
}

} // namespace

void ImageBuffer::AdjustGamma(double gamma)
{
    if (image_.isNull() || gamma == kNeutralGamma) return;
    const QRect r = QRect(RectLeft, RectTop, RectWidth, RectHeight).intersected(image_.rect());
    if (r.isEmpty()) return;
    ensure24();
    applyTable(image_, r, gammaTable(gamma));
}

void ImageBuffer::AdjustBrightnessContrast(float brightness, float contrast)
{
    if (image_.isNull() || (brightness == kNeutralUnit && contrast == kNeutralUnit)) return;
    const QRect r = QRect(RectLeft, RectTop, RectWidth, RectHeight).intersected(image_.rect());
    if (r.isEmpty()) return;
    ensure24();
    applyTable(image_, r, brightnessContrastTable(brightness, contrast));
}

// Both tables map a byte to a byte, so one table made of the two gives every pixel exactly
// what the two passes give it.
void adjustInOnePass(ImageBuffer& b, double gamma, float brightness, float contrast)
{
    const bool gammaNeutral = gamma == kNeutralGamma;
    const bool unitsNeutral = brightness == kNeutralUnit && contrast == kNeutralUnit;
    if (b.isEmpty() || (gammaNeutral && unitsNeutral)) return;
    const QRect rect(b.RectLeft, b.RectTop, b.RectWidth, b.RectHeight);
    const QRect r = rect.intersected(b.image().rect());
    if (r.isEmpty()) return;

    Table t;
    if (gammaNeutral) {
        t = brightnessContrastTable(brightness, contrast);
    } else if (unitsNeutral) {
        t = gammaTable(gamma);
    } else {
        const Table g = gammaTable(gamma);
        const Table bc = brightnessContrastTable(brightness, contrast);
        for (size_t i = 0; i < 256; ++i) t[i] = bc[g[i]];
    }
    QImage picture = to24(b.image());
    b.Clear(2); // the buffer lets go of the pixels, so they are written in place, not copied
    if (r == picture.rect() && !picture.isDetached()) {
        // Pixels shared with another picture (a background copied unchanged): read them there
        // and write the adjusted ones into a new picture, one pass instead of copy and pass.
        QImage out(picture.size(), QImage::Format_RGB32);
        if (out.isNull()) throw AppError(7, "Picbuf", "Out of memory");
        applyTable(picture, out, r, t);
        picture = out;
    } else {
        applyTable(picture, r, t);
    }
    b.setPicture(picture);
    b.setRect(rect.left(), rect.top(), rect.width(), rect.height());
}

// optionA: search the palette thoroughly (slower) rather than quickly.
// dither: spread the rounding error (Floyd-Steinberg) instead of plain nearest colours.
// optionB: a picture that already has no more colours than asked keeps them exactly.
void ImageBuffer::ReduceColours(int colours, bool optionA, bool dither, bool optionB)
{
    if (image_.isNull()) return;
    colours = std::clamp(colours, 2, 256);
    const QImage rgb = to24(image_);
    const int w = rgb.width();
    const int h = rgb.height();

    if (optionB) {
        QList<QRgb> palette;
        QHash<QRgb, uchar> index;
        bool fits = true;
        for (int y = 0; y < h && fits; ++y) {
            const QRgb* s = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            for (int x = 0; x < w; ++x) {
                const QRgb c = s[x] | 0xFF000000u;
                if (index.contains(c)) continue;
                if (palette.size() >= colours) {
                    fits = false;
                    break;
                }
                index.insert(c, uchar(palette.size()));
                palette << c;
            }
        }
        if (fits) {
            QImage out(w, h, QImage::Format_Indexed8);
            out.setColorTable(palette);
            for (int y = 0; y < h; ++y) {
                const QRgb* s = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
                uchar* d = out.scanLine(y);
                for (int x = 0; x < w; ++x) d[x] = index.value(s[x] | 0xFF000000u);
            }
            image_ = out;
            return;
        }
    }

    const QImage rgba = rgb.convertToFormat(QImage::Format_RGBA8888);
    std::vector<void*> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) rows[size_t(y)] = const_cast<uchar*>(rgba.constScanLine(y));

    const AppError failed(7, "Picbuf", "Colour reduction failed");
    const OneQuantizerThread oneThread;
    std::unique_ptr<liq_attr, LiqAttr> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), colours) != LIQ_OK) throw failed;
    // A save reduces both backgrounds while the user waits; slower settings than 7 cost
    // several times the time for a difference no one sees on a 240 by 293 picture.
    liq_set_speed(attr.get(), optionA ? 7 : 8);
    std::unique_ptr<liq_image, LiqAttr> img(
        liq_image_create_rgba_rows(attr.get(), rows.data(), w, h, 0));
    if (!img) throw failed;
    // Saved backgrounds carry a black and a white marker pixel the handheld reads; keeping
    // both colours in every palette lets them survive the reduction exactly.
    liq_image_add_fixed_color(img.get(), liq_color{0, 0, 0, 255});
    liq_image_add_fixed_color(img.get(), liq_color{255, 255, 255, 255});
    liq_result* raw = nullptr;
    if (liq_image_quantize(img.get(), attr.get(), &raw) != LIQ_OK || !raw) throw failed;
    std::unique_ptr<liq_result, LiqAttr> result(raw);
    liq_set_dithering_level(result.get(), dither ? 1.0f : 0.0f);

    QImage out(w, h, QImage::Format_Indexed8);
    std::vector<unsigned char*> outRows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) outRows[size_t(y)] = out.scanLine(y);
    if (liq_write_remapped_image_rows(result.get(), img.get(), outRows.data()) != LIQ_OK) throw failed;
    const liq_palette* pal = liq_get_palette(result.get());
    QList<QRgb> table;
    for (unsigned i = 0; i < pal->count; ++i)
        table << qRgb(pal->entries[i].r, pal->entries[i].g, pal->entries[i].b);
    out.setColorTable(table);
    image_ = out;
}

} // namespace orv
