#include "app/theme_snapshot.h"

namespace orv {

bool ThemeSnapshot::sameContent(const ThemeSnapshot& o) const
{
    // QImage compares the pixels only when the two do not already share them.
    return theme.name == o.theme.name && theme.colours == o.theme.colours &&
           theme.menuFollowsMain == o.theme.menuFollowsMain && today == o.today && menu == o.menu &&
           adjustToday == o.adjustToday && adjustMenu == o.adjustMenu && sliders == o.sliders &&
           colourDepth256 == o.colourDepth256 && ditherMain == o.ditherMain &&
           ditherMenu == o.ditherMenu;
}

ThemeSnapshot takeSnapshot(const EditorSession& s)
{
    ThemeSnapshot snap;
    snap.theme = s.theme;
    snap.today = s.canvas.oPicBufToday.image();
    snap.menu = s.canvas.oPicBufMenu.image();
    snap.adjustToday = s.adjustToday;
    snap.adjustMenu = s.adjustMenu;
    snap.sliders = s.sliders;
    snap.colourDepth256 = s.state.colourDepth256;
    snap.ditherMain = s.state.ditherMain;
    snap.ditherMenu = s.state.ditherMenu;
    snap.themeDataBuffer = s.state.themeDataBuffer;
    snap.selectedElement = s.selectedElement;
    snap.shown = s.canvas.oPicBuf.image();
    return snap;
}

void restoreSnapshot(EditorSession& s, const ThemeSnapshot& snap)
{
    const bool renamed = s.theme.name != snap.theme.name;
    s.theme = snap.theme;
    s.canvas.oPicBufToday.setPicture(snap.today);
    s.canvas.oPicBufMenu.setPicture(snap.menu);
    s.adjustToday = snap.adjustToday;
    s.adjustMenu = snap.adjustMenu;
    s.sliders = snap.sliders;
    s.state.colourDepth256 = snap.colourDepth256;
    s.state.ditherMain = snap.ditherMain;
    s.state.ditherMenu = snap.ditherMenu;
    s.state.themeDataBuffer = snap.themeDataBuffer;
    s.selectedElement = snap.selectedElement;

    // The command bar picture is recoloured in place, so it follows the colours by hand.
    s.RecolourCommandBar();
    if (snap.shown.isNull()) {
        s.redrawCurrentScreen();
    } else {
        s.canvas.oPicBuf.setPicture(snap.shown);
        emit s.previewChanged();
    }
    if (renamed) emit s.themeNameChanged(s.theme.name);
    emit s.elementSelected(s.selectedElement);
    emit s.slidersChanged();
    emit s.captionsChanged();
}

} // namespace orv
