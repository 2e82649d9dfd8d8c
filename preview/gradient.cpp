#include "preview/gradient.h"

#include <algorithm>
#include <cmath>

namespace orv {

namespace {

// One channel of column x. The handheld's desktop twin computed in single precision and
// rounded ties to even; both are kept, as column 239 of black-to-white shows (253.9375 -> 254).
int channelAt(int left, float step, int x)
{
    const float value = static_cast<float>(left) + static_cast<float>(x) * step;
    return std::clamp(static_cast<int>(std::nearbyint(value)), 0, 255);
}

} // namespace

void DoGradient(Colour left, Colour right, ImageBuffer& target, int width, int height)
{
    target.Create(24, width, height, kWhite);
    target.RectTop = 0;
    target.RectHeight = 50;
    target.RectWidth = 1;

    const int w = target.ImageWidth();
    if (w <= 0) return;
    const int l[3] = {RedOf(left), GreenOf(left), BlueOf(left)};
    const int r[3] = {RedOf(right), GreenOf(right), BlueOf(right)};
    float step[3];
    for (int i = 0; i < 3; ++i)
        step[i] = static_cast<float>(r[i] - l[i]) / static_cast<float>(w);

    // One pass per column, the last one (x = w) falling just outside the picture.
    for (int x = 0; x <= w; ++x) {
        target.ForeColor = rgbColour(channelAt(l[0], step[0], x), channelAt(l[1], step[1], x),
                                     channelAt(l[2], step[2], x));
        target.RectLeft = x;
        target.DrawRect(0);
    }
}

} // namespace orv
