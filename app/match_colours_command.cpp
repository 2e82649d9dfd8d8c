// The Color panel's "Match Colors to Picture": all eleven colours from the Today background
// as the preview shows it (adjustments included), then every text made readable over it.
#include "app/editor_session.h"
#include "imaging/colour_match.h"

namespace orv {

bool EditorSession::matchColoursToPicture()
{
    if (canvas.underText.isNull()) return false;
    // The Today picture as shown: the composed screen below the title bar.
    const QImage today = canvas.underText.copy(0, 27, 240, 293);
    const std::optional<Colour> accent = accentOf(today);
    if (!accent) return false;
    const auto colours = coloursFromAccent(*accent, isDarkPicture(today));
    for (int i = 0; i < kElementCount; ++i) theme.setElement(i, colours[static_cast<size_t>(i)]);
    RecolourCommandBar();
    redrawCurrentScreen();
    fixAllLegibility();
    return true;
}

} // namespace orv
