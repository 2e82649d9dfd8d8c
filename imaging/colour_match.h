#pragma once
// Theme colours that go with a picture: an accent taken from the picture's most populous
// saturated colour (a small palette by libimagequant, remapped without dithering to count
// each colour's pixels), and the bars and lines as shades of it. The same picture always
// gives the same colours.

#include "theme/colour.h"
#include "theme/theme_model.h"

#include <QImage>
#include <array>
#include <optional>

namespace orv {

// The accent of a picture; none for a null picture or when the palette cannot be made. A
// picture without saturated colour gives its most populous colour.
std::optional<Colour> accentOf(const QImage& picture);

// The eleven element colours built from an accent: the title bar gradient, the command bar,
// the navigation tray and both message bars as darker and lighter shades of it, the lines in
// the accent itself. The two text colours are starting points (white over the title bar,
// dark or light for the Today text as todayIsDark says) for the legibility fix to settle.
std::array<Colour, kElementCount> coloursFromAccent(Colour accent, bool todayIsDark);

// True when the picture's median luminance is below the middle grey's.
bool isDarkPicture(const QImage& picture);

} // namespace orv
