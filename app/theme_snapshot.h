#pragma once
// A theme as one value: what the user edits (name, colours, both backgrounds, the adjustment
// sets, dither and colour depth) and the view it was edited in (screen flags, edit target,
// selected element). Pictures are QImages, so a snapshot shares their pixels until one side
// changes; taking one costs next to nothing.

#include "app/editor_session.h"

#include <QByteArray>
#include <QImage>

namespace orv {

struct ThemeSnapshot {
    Theme theme;
    QImage today;
    QImage menu;
    AdjustmentSet adjustToday;
    AdjustmentSet adjustMenu;
    SliderPositions sliders;
    bool colourDepth256 = true;
    bool ditherMain = true;
    bool ditherMenu = true;
    QByteArray themeDataBuffer; // the last data file read: comes back with the theme, not compared
    int selectedElement = -1;
    // The screen as shown, put back as it was; a null picture has the screen drawn anew.
    QImage shown;

    // Same theme content; the screen shown and the selection do not count as a change.
    bool sameContent(const ThemeSnapshot& other) const;
};

ThemeSnapshot takeSnapshot(const EditorSession& session);
// Puts the snapshot back into the session with the screen the user saw then (drawn anew
// from the snapshot when it holds none).
void restoreSnapshot(EditorSession& session, const ThemeSnapshot& snapshot);

} // namespace orv
