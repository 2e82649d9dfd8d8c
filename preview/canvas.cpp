// Placeholder until this subsystem is built; each routine does nothing yet.
#include "app/editor_session.h"

namespace orv {

void EditorSession::setupCanvas() {}
void EditorSession::LoadIconImages() {}
void EditorSession::RecolourCommandBar() {}
} // namespace orv
