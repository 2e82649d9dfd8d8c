// Placeholder until this subsystem is built; each routine does nothing yet.
#include "app/editor_session.h"

namespace orv {

void EditorSession::Save000Data() {}
} // namespace orv
