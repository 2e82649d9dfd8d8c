#include "app/editor_session.h"

#include "app/theme_snapshot.h"
#include "app/undo_step.h"

#include <QUndoStack>

namespace orv {

namespace {
// Steps kept: each holds two snapshots, whose pictures are shared until they differ.
constexpr int kUndoLimit = 200;
} // namespace

EditorSession::EditorSession(UserInteraction& ui, Folders folders, QObject* parent)
    : QObject(parent), ui_(ui), folders_(std::move(folders)), undo_(new QUndoStack(this))
{
    undo_->setUndoLimit(kUndoLimit);
    connect(undo_, &QUndoStack::cleanChanged, this, [this](bool clean) { emit modifiedChanged(!clean); });
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

bool EditorSession::edit(const QString& label, const std::function<void()>& fn, int mergeKey)
{
    if (editDepth_ > 0) {
        fn();
        return false;
    }
    const ThemeSnapshot before = takeSnapshot(*this);
    ++editDepth_;
    try {
        fn();
    } catch (...) {
        // What a routine changed before it failed is still a change the user can undo.
        --editDepth_;
        if (!takeSnapshot(*this).sameContent(before))
            undo_->push(new SnapshotStep(*this, label, before, takeSnapshot(*this), 0, ++burst_));
        throw;
    }
    --editDepth_;
    ThemeSnapshot after = takeSnapshot(*this);
    if (after.sameContent(before)) return false;
    if (mergeKey == 0) ++burst_;
    undo_->push(new SnapshotStep(*this, label, before, std::move(after), mergeKey, burst_));
    if (mergeKey == 0) ++burst_;
    return true;
}

void EditorSession::endBurst() { ++burst_; }

void EditorSession::undo()
{
    endBurst();
    undo_->undo();
}

void EditorSession::redo()
{
    endBurst();
    undo_->redo();
}

bool EditorSession::isModified() const { return !undo_->isClean(); }

void EditorSession::markUnchanged()
{
    endBurst();
    undo_->setClean();
}

void EditorSession::setThemeName(const QString& name)
{
    if (theme.name == name) return;
    theme.name = name;
    emit themeNameChanged(name);
}

} // namespace orv

namespace orv {

void EditorSession::typeThemeName(const QString& name)
{
    edit("Typing", [&] { theme.name = name; }, kMergeName);
}

} // namespace orv

namespace orv {

bool EditorSession::openAtStart(const QString& fileName)
{
    const bool opened = LoadTheme(fileName);
    markUnchanged();
    return opened;
}

QString EditorSession::transferFolder()
{
    if (state.TSKPath.isEmpty()) state.TSKPath = folders_.tsk();
    return state.TSKPath;
}

} // namespace orv
