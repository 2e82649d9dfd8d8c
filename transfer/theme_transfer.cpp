#include "transfer/theme_transfer.h"

#include "devicectl/client/cradlelink_client.h"
#include "transfer/file_manager_window.h"

namespace orv {

bool ThemeTransfer(EditorSession& session, QWidget* mainWindow,
                   const std::function<void()>& highlightEntry)
{
    if (session.state.commandLine != "qzv" && !DeviceLinkInstalled(cradlelink::deviceLinkFolder(session.folders().programDir))) {
        session.ui().messageBox("ActiveSync not installed or corrupted!", kAppTitle, MsgIcon::Critical,
                                MsgButtons::Ok);
        return false;
    }
    if (highlightEntry) highlightEntry();
    FileManagerWindow* window = FileManagerWindow::instance();
    if (!window) window = new FileManagerWindow(session, mainWindow);
    if (!window->Form_Load()) return false;
    // Modal over the main window without a nested event loop: nothing follows in the caller.
    window->open();
    return true;
}

} // namespace orv
