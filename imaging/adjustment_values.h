#pragma once
// Slider positions and adjustment values, one to the other. A slider runs 0 to 1000 and
// stands at 500 for the neutral values (gamma 5.0, brightness and contrast 0.5).

#include "app/editor_session.h"

#include <cmath>

namespace orv {

inline constexpr int kSliderMin = 0;
inline constexpr int kSliderMax = 1000;
inline constexpr int kSliderNeutral = 500;

// Gamma never drops below 1.0: positions 0 to 100 all mean 1.0.
inline double gammaOfSlider(int value)
{
    const double g = value / 100.0;
    return g < 1.0 ? 1.0 : g;
}

inline float unitOfSlider(int value) { return static_cast<float>(value * 0.001); }

inline int sliderOfGamma(double gamma) { return static_cast<int>(std::lround(gamma * 100.0)); }
inline int sliderOfUnit(float unit) { return static_cast<int>(std::lround(unit * 1000.0)); }

inline SliderPositions slidersOf(const AdjustmentSet& set)
{
    SliderPositions p;
    p.gamma = sliderOfGamma(set.gamma);
    p.brightness = sliderOfUnit(set.brightness);
    p.contrast = sliderOfUnit(set.contrast);
    return p;
}

} // namespace orv
