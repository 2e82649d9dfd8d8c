#pragma once
// The editor as it ships: the Qt dialogs, the drop answer wrapped around them, the session
// and the main window, built in one place that main() and the journey tests both call, so
// the tests drive exactly the wiring a user gets.

#include "app/editor_session.h"
#include "app/preset_answer.h"
#include "app/handover.h"
#include "app/ui/handover_queue.h"
#include "app/ui/main_window.h"
#include "app/ui/qt_interaction.h"

#include <memory>

namespace orv {

struct ComposedEditor {
    // Declared in the order they depend on each other, so they are destroyed window first.
    std::unique_ptr<QtInteraction> dialogs;
    std::unique_ptr<PresetOpenAnswer> answer; // drops hand their file to the next open question
    std::unique_ptr<EditorSession> session;
    std::unique_ptr<MainWindow> window;
    // Packages from later starts: the server hands them to the queue, which opens them
    // when the editor is idle.
    std::unique_ptr<HandoverQueue> handovers;
    std::unique_ptr<HandoverServer> handoverServer;
};

// Builds the editor on folders with the settings of the last run read; the caller starts
// the window. The Qt dialogs are parented to the window. The editor takes packages from
// later starts on handoverSocket (empty: it takes none).
std::unique_ptr<ComposedEditor> composeEditor(const Folders& folders, const QString& handoverSocket = {});

} // namespace orv
