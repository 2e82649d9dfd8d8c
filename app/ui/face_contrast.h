#pragma once
// Text that stays readable on every skin: black or white, whichever stands out more from the
// picture behind the label, on a translucent plate where the picture is too busy for either.

#include <QColor>
#include <QImage>
#include <QRect>

namespace orv {

inline constexpr double kReadableContrast = 4.5;

struct ReadableText {
    QColor text;
    QColor plate; // transparent when no plate is needed
};

// Contrast ratio of two colours (1 to 21), from their relative luminance.
double contrastRatio(QColor a, QColor b);
// The lowest contrast between text and any pixel of area, seen through the plate.
double worstContrast(const QImage& background, QRect area, const ReadableText& look);
ReadableText readableTextOn(const QImage& background, QRect area);

} // namespace orv
