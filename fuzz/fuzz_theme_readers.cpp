// Feeds arbitrary bytes to the theme data file readers. The name reader must never read
// past the data; whatever name and colours come out must survive a write and a read back.
#include "theme/theme_data_file.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

const QByteArray& themeTemplate()
{
    static const QByteArray bytes = [] {
        QFile f(QStringLiteral(":/template/theme-template.000"));
        if (!f.open(QIODevice::ReadOnly))
            std::abort();
        return f.readAll();
    }();
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    const QString name = orv::readThemeName(bytes);
    if (name.size() > bytes.size())
        std::abort();

    std::array<orv::Colour, 13> colours;
    colours.fill(0x123456);
    orv::readThemeColours(bytes, colours);
    for (orv::Colour c : colours)
        if (c < 0 || c > 0xFFFFFF)
            std::abort();

    if (name.size() > orv::maxThemeNameLength())
        return 0;
    const QByteArray rebuilt = orv::buildThemeDataFile(themeTemplate(), name, colours);
    if (orv::readThemeName(rebuilt) != name)
        std::abort();
    // A name holding an anchor of its own may shift the colour scan, and a colour byte of 6
    // or 7 followed by zero reads as a value name's length (the format cannot tell them
    // apart), so only plain names and colours must give the colours back.
    const bool lookalike = std::any_of(colours.begin(), colours.end(), [](orv::Colour c) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int b = (c >> shift) & 0xFF;
            if (b == 6 || b == 7) return true;
        }
        return false;
    });
    if (!name.contains(QLatin1Char('%')) && !lookalike) {
        std::array<orv::Colour, 13> back;
        back.fill(-1);
        orv::readThemeColours(rebuilt, back);
        if (back != colours)
            std::abort();
    }
    return 0;
}
