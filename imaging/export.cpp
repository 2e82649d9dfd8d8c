// Placeholder until this subsystem is built; each routine does nothing yet.
#include "app/editor_session.h"

namespace orv {

void EditorSession::mnuSaveMainImage() {}
void EditorSession::mnuSaveMenuImage() {}
void EditorSession::ScreenCapture() {}
} // namespace orv
