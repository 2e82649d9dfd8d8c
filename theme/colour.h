#pragma once
// Colour values in the Windows COLORREF layout: red in the low byte, then green, then blue.

#include <QRgb>
#include <cstdint>

namespace orv {

using Colour = std::int32_t;

// Signed remainders, as the start-up module computes them: a negative colour gives
// negative components.
constexpr int RedOf(Colour c) { return c % 256; }
constexpr int GreenOf(Colour c) { return (c / 256) % 256; }
constexpr int BlueOf(Colour c) { return (c / 65536) % 256; }

constexpr Colour rgbColour(int r, int g, int b) { return r + 256 * g + 65536 * b; }

inline QRgb toQRgb(Colour c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
inline Colour fromQRgb(QRgb p) { return rgbColour(qRed(p), qGreen(p), qBlue(p)); }

inline constexpr Colour kBlack = 0;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kPureRed = 0x0000FF;
inline constexpr Colour kPureGreen = 0x00FF00;
inline constexpr Colour kPureBlue = 0xFF0000;

} // namespace orv
