#include "app/ui/editor_composition.h"

namespace orv {

std::unique_ptr<ComposedEditor> composeEditor(const Folders& folders, const QString& handoverSocket)
{
    auto editor = std::make_unique<ComposedEditor>();
    editor->dialogs = std::make_unique<QtInteraction>();
    editor->answer = std::make_unique<PresetOpenAnswer>(*editor->dialogs);
    editor->session = std::make_unique<EditorSession>(*editor->answer, folders);
    editor->session->readStartupSettings();
    editor->window = std::make_unique<MainWindow>(*editor->session);
    editor->dialogs->setParent(editor->window.get());
    editor->handovers = std::make_unique<HandoverQueue>(*editor->session, editor->window.get());
    editor->handoverServer = std::make_unique<HandoverServer>();
    QObject::connect(editor->handoverServer.get(), &HandoverServer::packageHandedOver,
                     editor->handovers.get(), &HandoverQueue::enqueue);
    // A socket that cannot be made leaves the editor as it was: later starts end quietly.
    if (!handoverSocket.isEmpty()) editor->handoverServer->listen(handoverSocket);
    return editor;
}

} // namespace orv
