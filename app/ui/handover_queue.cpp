#include "app/ui/handover_queue.h"

#include "app/editor_session.h"

#include <QApplication>
#include <QWidget>

namespace orv {

namespace {
constexpr int kRetryMs = 150;
} // namespace

HandoverQueue::HandoverQueue(EditorSession& session, QWidget* window)
    : session_(session), window_(window)
{
    retry_.setInterval(kRetryMs);
    connect(&retry_, &QTimer::timeout, this, &HandoverQueue::openWhenIdle);
}

void HandoverQueue::enqueue(const QString& path)
{
    paths_ << path;
    // Not now: the socket's own handler may itself run inside a dialog's event loop.
    retry_.start();
}

void HandoverQueue::openWhenIdle()
{
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() || session_.isEditing())
        return;
    const QString path = paths_.takeFirst();
    if (paths_.isEmpty()) retry_.stop();
    if (window_->isMinimized()) window_->showNormal();
    window_->raise();
    window_->activateWindow();
    session_.openTheme(path);
}

} // namespace orv
