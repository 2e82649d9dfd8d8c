// Placeholder until this subsystem is built; each routine does nothing yet.
#include "app/editor_session.h"

namespace orv {

void EditorSession::ResetSliders(int) {}
void EditorSession::sliderChanged(Slider, int) {}
void EditorSession::switchEditTarget(bool) {}
void EditorSession::resetSlidersCommand() {}
void EditorSession::toggleColourDepth() {}
void EditorSession::toggleDitherMain() {}
void EditorSession::toggleDitherMenu() {}
QString EditorSession::colourDepthCaption() const { return {}; }
QString EditorSession::saveCaption() const { return {}; }
QString EditorSession::ditherMainCaption() const { return {}; }
QString EditorSession::ditherMenuCaption() const { return {}; }
} // namespace orv
