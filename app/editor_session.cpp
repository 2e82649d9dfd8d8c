#include "app/editor_session.h"

namespace orv {

EditorSession::EditorSession(UserInteraction& ui, Folders folders, QObject* parent)
    : QObject(parent), ui_(ui), folders_(std::move(folders))
{
}

EditorSession::~EditorSession() = default;

void EditorSession::ShowErrorBox(const QString& routine, const AppError& error)
{
    ui_.messageBox("Error: " + error.description() + " (" + routine + ")", kAppTitle,
                   MsgIcon::Critical, MsgButtons::Ok);
}

bool EditorSession::trap(const QString& routine, const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (const AppError& e) {
        if (!e.isCancel()) ShowErrorBox(routine, e);
    } catch (const std::bad_alloc&) {
        ShowErrorBox(routine, AppError(7, "Orvantis", "Out of memory"));
    } catch (const std::exception& e) {
        ShowErrorBox(routine, AppError(5, "Orvantis", QString::fromUtf8(e.what())));
    }
    return false;
}

void EditorSession::setThemeName(const QString& name)
{
    if (theme.name == name) return;
    theme.name = name;
    emit themeNameChanged(name);
}

} // namespace orv
