// Placeholder until this subsystem is built; each routine does nothing yet.
#include "app/editor_session.h"

namespace orv {

void EditorSession::LoadMainImage(const QString&) {}
void EditorSession::LoadMenuImage(const QString&, bool) {}
} // namespace orv
