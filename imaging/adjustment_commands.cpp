// The adjustment sliders, the edit target they act on, and the colour depth and dither
// switches with the captions that follow them.
#include "app/editor_session.h"
#include "imaging/adjustment_values.h"

#include <algorithm>

namespace orv {

namespace {

AdjustmentSet& setOf(EditorSession& s, bool menu) { return menu ? s.adjustMenu : s.adjustToday; }

} // namespace

void EditorSession::ResetSliders(int which)
{
    const bool today = which == 0 || which == 1;
    const bool menu = which == 0 || which == 2;
    const AdjustmentSet neutral;

    // The sliders keep showing the edit target's set: when only the other background is
    // reset, they stay where they are rather than claiming values the target does not have.
    const bool targetReset = theme.menuEditing ? menu : today;

    if (targetReset) sliders.gamma = kSliderNeutral;
    if (today) adjustToday.gamma = neutral.gamma;
    if (menu) adjustMenu.gamma = neutral.gamma;
    if (targetReset) sliders.brightness = kSliderNeutral;
    if (today) adjustToday.brightness = neutral.brightness;
    if (menu) adjustMenu.brightness = neutral.brightness;
    if (targetReset) sliders.contrast = kSliderNeutral;
    if (today) adjustToday.contrast = neutral.contrast;
    if (menu) adjustMenu.contrast = neutral.contrast;

    emit slidersChanged();
}

void EditorSession::sliderChanged(Slider slider, int value)
{
    value = std::clamp(value, kSliderMin, kSliderMax);
    AdjustmentSet& set = setOf(*this, theme.menuEditing);
    switch (slider) {
    case Slider::Gamma:
        sliders.gamma = value;
        set.gamma = gammaOfSlider(value);
        break;
    case Slider::Brightness:
        sliders.brightness = value;
        set.brightness = unitOfSlider(value);
        break;
    case Slider::Contrast:
        sliders.contrast = value;
        set.contrast = unitOfSlider(value);
        break;
    }
    if (theme.menuEditing)
        DoScreenMenu();
    else
        DoScreenMain();
}

void EditorSession::switchEditTarget(bool menu)
{
    // Storing the sliders into the "outgoing" set when nothing changes would copy the
    // target's values into the other background.
    if (menu == theme.menuEditing) {
        sliders = slidersOf(setOf(*this, menu));
        emit slidersChanged();
        return;
    }
    theme.menuEditing = menu;
    AdjustmentSet& outgoing = setOf(*this, !menu);
    const AdjustmentSet& incoming = setOf(*this, menu);

    outgoing.gamma = gammaOfSlider(sliders.gamma);
    sliders.gamma = sliderOfGamma(incoming.gamma);
    outgoing.brightness = unitOfSlider(sliders.brightness);
    sliders.brightness = sliderOfUnit(incoming.brightness);
    outgoing.contrast = unitOfSlider(sliders.contrast);
    sliders.contrast = sliderOfUnit(incoming.contrast);

    emit slidersChanged();
}

void EditorSession::resetSlidersCommand()
{
    // The edit target stays; both sets go neutral and the Today screen is shown.
    ResetSliders(0);
    DoScreenMain();
}

void EditorSession::toggleColourDepth()
{
    state.colourDepth256 = !state.colourDepth256;
    emit captionsChanged();
}

void EditorSession::toggleDitherMain()
{
    state.ditherMain = !state.ditherMain;
    emit captionsChanged();
}

void EditorSession::toggleDitherMenu()
{
    state.ditherMenu = !state.ditherMenu;
    emit captionsChanged();
}

QString EditorSession::colourDepthCaption() const
{
    return state.colourDepth256 ? QStringLiteral(" 256 Colors (click for 16M)")
                                : QStringLiteral(" 16M Colors (click for 256)");
}

QString EditorSession::saveCaption() const
{
    return state.colourDepth256 ? QStringLiteral(" Save Theme 256") : QStringLiteral(" Save Theme 16M");
}

QString EditorSession::ditherMainCaption() const
{
    return state.ditherMain ? QStringLiteral(" X Dither Main") : QStringLiteral(" _ Dither Main");
}

QString EditorSession::ditherMenuCaption() const
{
    return state.ditherMenu ? QStringLiteral(" X Dither Menu") : QStringLiteral(" _ Dither Menu");
}

} // namespace orv
