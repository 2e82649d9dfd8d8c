// Clicks on the preview: which region a screen pixel falls in, and what the click does there.
// A click that changes the screen redraws it whole, so a failure leaves the last screen shown.
#include "preview/hit_test.h"

#include "app/editor_session.h"
#include "imaging/adjustment_values.h"
#include "preview/hit_regions.h"

#include <cmath>

namespace orv {

namespace {

bool within(int v, int low, int high) { return v >= low && v <= high; }

} // namespace

PreviewHit hitTest(int c, int r, const Theme& theme)
{
    if (!within(c, 0, 239) || !within(r, 0, 319)) return {};
    for (const HitRegion& region : hitRegions())
        if (region.area.contains(c, r) && regionLive(region, theme)) return region.hit;
    return {};
}

QPoint screenPixelOf(QPointF point, int scale)
{
    const double s = scale < 1 ? 1 : scale;
    return {static_cast<int>(std::floor(point.x() / s)), static_cast<int>(std::floor(point.y() / s))};
}

void EditorSession::PicBufMouseUP(int button, int shift, int x, int y)
{
    Q_UNUSED(button);
    Q_UNUSED(shift);
    trap("PicBufMouseUP", [&] {
        const PreviewHit hit = hitTest(x, y, theme);
        switch (hit.kind) {
        case HitKind::None: break;
        case HitKind::StartFlag: toggleStartMenu(); break;
        case HitKind::MessageToggle: toggleMessagePopup(); break;
        case HitKind::ImportantToggle: toggleImportantPopup(); break;
        case HitKind::Element:
            // The list's own selection handling switches to the screen that shows the element.
            emit elementSelected(hit.element);
            cmbElements_Click(hit.element);
            GetColor();
            break;
        }
    });
}

void EditorSession::toggleStartMenu()
{
    // Storing goes through the slider scale, so a gamma below 1.0 comes back as 1.0.
    auto store = [this](AdjustmentSet& set) {
        set.gamma = gammaOfSlider(sliders.gamma);
        set.brightness = unitOfSlider(sliders.brightness);
        set.contrast = unitOfSlider(sliders.contrast);
    };
    // The Start menu replaces whatever screen was up, the navigation screen included.
    theme.navigationScreen = false;
    if (!theme.menuEditing) {
        theme.menuEditing = true;
        DoScreenMenu();
        store(adjustToday);
        sliders = slidersOf(adjustMenu);
    } else {
        theme.menuEditing = false;
        store(adjustMenu);
        sliders = slidersOf(adjustToday);
        theme.messageScreen = false;
        theme.importantScreen = false;
        DoScreenMain();
    }
    emit slidersChanged();
}

void EditorSession::toggleMessagePopup()
{
    // The navigation screen gives way to the pop-up: at most one screen flag is on.
    theme.navigationScreen = false;
    theme.messageScreen = !theme.messageScreen;
    if (theme.messageScreen)
        DoScreenMessage();
    else
        DoScreenMain();
    theme.importantScreen = false;
}

void EditorSession::toggleImportantPopup()
{
    theme.navigationScreen = false;
    theme.importantScreen = !theme.importantScreen;
    if (theme.importantScreen)
        DoScreenMessageImp();
    else
        DoScreenMain();
    theme.messageScreen = false;
}

} // namespace orv
