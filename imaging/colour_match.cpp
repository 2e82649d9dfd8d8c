#include "imaging/colour_match.h"

#include "imaging/quantizer_threads.h"
#include "preview/legibility.h"

#include <libimagequant.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace orv {

namespace {

struct LiqFree {
    void operator()(liq_attr* a) const { liq_attr_destroy(a); }
    void operator()(liq_image* i) const { liq_image_destroy(i); }
    void operator()(liq_result* r) const { liq_result_destroy(r); }
};

constexpr int kPaletteSize = 12;
// Below this OKLCh chroma a colour reads as grey.
constexpr double kSaturated = 0.04;

Colour shade(const OkLch& accent, double lightness, double chromaScale = 1.0)
{
    return fromQRgb(fromOkLch({std::clamp(lightness, 0.0, 1.0), accent.C * chromaScale, accent.h}));
}

} // namespace

std::optional<Colour> accentOf(const QImage& picture)
{
    if (picture.isNull()) return std::nullopt;
    const QImage rgba = picture.convertToFormat(QImage::Format_RGBA8888);
    const int w = rgba.width(), h = rgba.height();
    std::vector<void*> rows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) rows[static_cast<size_t>(y)] = const_cast<uchar*>(rgba.constScanLine(y));

    const OneQuantizerThread oneThread; // the same photo gives the same colours on any machine
    std::unique_ptr<liq_attr, LiqFree> attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), kPaletteSize) != LIQ_OK) return std::nullopt;
    liq_set_speed(attr.get(), 5);
    std::unique_ptr<liq_image, LiqFree> img(liq_image_create_rgba_rows(attr.get(), rows.data(), w, h, 0));
    if (!img) return std::nullopt;
    liq_result* raw = nullptr;
    if (liq_image_quantize(img.get(), attr.get(), &raw) != LIQ_OK || !raw) return std::nullopt;
    std::unique_ptr<liq_result, LiqFree> result(raw);
    liq_set_dithering_level(result.get(), 0.0f);

    std::vector<unsigned char> indices(static_cast<size_t>(w) * static_cast<size_t>(h));
    std::vector<unsigned char*> outRows(static_cast<size_t>(h));
    for (int y = 0; y < h; ++y) outRows[static_cast<size_t>(y)] = indices.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
    if (liq_write_remapped_image_rows(result.get(), img.get(), outRows.data()) != LIQ_OK)
        return std::nullopt;
    const liq_palette* pal = liq_get_palette(result.get());
    if (!pal || pal->count == 0) return std::nullopt;

    std::vector<long> population(pal->count, 0);
    for (const unsigned char i : indices)
        if (i < pal->count) ++population[i];

    // The most populous saturated entry; ties go to the lower index, so the answer never
    // depends on anything but the palette.
    int best = -1, bestGrey = -1;
    for (unsigned i = 0; i < pal->count; ++i) {
        const liq_color c = pal->entries[i];
        const bool saturated = toOkLch(qRgb(c.r, c.g, c.b)).C >= kSaturated;
        int& slot = saturated ? best : bestGrey;
        if (population[i] > 0 && (slot < 0 || population[i] > population[static_cast<size_t>(slot)]))
            slot = static_cast<int>(i);
    }
    const int chosen = best >= 0 ? best : bestGrey;
    if (chosen < 0) return std::nullopt;
    const liq_color c = pal->entries[chosen];
    return rgbColour(c.r, c.g, c.b);
}

std::array<Colour, kElementCount> coloursFromAccent(Colour accentColour, bool todayIsDark)
{
    const OkLch a = toOkLch(toQRgb(accentColour));
    // The title bar stays dark enough for white captions at its lighter end.
    const double titleLight = std::clamp(a.L, 0.45, 0.58);
    std::array<Colour, kElementCount> out{};
    out[0] = shade(a, titleLight);                         // upper left titlebar: lighter
    out[1] = shade(a, titleLight - 0.2);                   // upper right titlebar: darker
    out[2] = kWhite;                                       // title text
    out[3] = todayIsDark ? shade(a, 0.95, 0.2) : shade(a, 0.22, 0.4); // Today text
    out[4] = accentColour;                                 // Today lines
    out[5] = shade(a, 0.88, 0.25);                         // command bar: a light tint
    out[6] = shade(a, std::clamp(a.L - 0.1, 0.3, 0.6));    // navigation tray
    out[7] = shade(a, 0.38);                               // message bar left: darker
    out[8] = shade(a, 0.72);                               // message bar right: lighter
    out[9] = shade(a, 0.45);                               // important message bar left
    out[10] = shade(a, 0.8);                               // important message bar right
    return out;
}

bool isDarkPicture(const QImage& picture)
{
    if (picture.isNull()) return false;
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::vector<float> lum;
    lum.reserve(static_cast<size_t>(rgb.width()) * static_cast<size_t>(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) lum.push_back(static_cast<float>(relativeLuminance(row[x])));
    }
    std::nth_element(lum.begin(), lum.begin() + static_cast<std::ptrdiff_t>(lum.size() / 2), lum.end());
    // Middle grey between black and white text: the luminance where both contrast equally.
    return lum[lum.size() / 2] < 0.18;
}

} // namespace orv
