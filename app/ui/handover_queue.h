#pragma once
// Packages handed over by later starts wait here until the editor is idle (no dialog or box
// open, no command running), so an open never runs inside a dialog's own event loop. Each
// opens as one undo step, with the window brought to the front.

#include <QObject>
#include <QStringList>
#include <QTimer>

class QWidget;

namespace orv {

class EditorSession;

class HandoverQueue : public QObject {
    Q_OBJECT
public:
    HandoverQueue(EditorSession& session, QWidget* window);
    void enqueue(const QString& path);
    int pending() const { return static_cast<int>(paths_.size()); }

private:
    void openWhenIdle();

    EditorSession& session_;
    QWidget* window_;
    QStringList paths_;
    QTimer retry_;
};

} // namespace orv
