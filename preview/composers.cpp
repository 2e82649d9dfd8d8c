// Placeholder until this subsystem is built; each routine does nothing yet.
#include "app/editor_session.h"

namespace orv {

void EditorSession::DoScreenMain() {}
void EditorSession::DoScreenMessage() {}
void EditorSession::DoScreenMessageImp() {}
void EditorSession::DoScreenNavigation() {}
void EditorSession::DoScreenMenu() {}
void EditorSession::redrawCurrentScreen() {}
} // namespace orv
