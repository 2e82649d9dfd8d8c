#pragma once
// One step on the session's undo stack: the theme before and after a change, both kept
// whole as snapshots, so undo and redo give back exactly the theme and screen of then.

#include "app/theme_snapshot.h"

#include <QUndoCommand>

namespace orv {

class SnapshotStep : public QUndoCommand {
public:
    SnapshotStep(EditorSession& session, const QString& label, ThemeSnapshot before,
                 ThemeSnapshot after, int mergeKey, int burst);

    void undo() override;
    void redo() override;
    int id() const override { return mergeKey_ == 0 ? -1 : mergeKey_; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    EditorSession& session_;
    ThemeSnapshot before_;
    ThemeSnapshot after_;
    int mergeKey_;
    int burst_;
    bool done_ = true; // pushed after the change was made: the first redo has nothing to do
};

} // namespace orv
