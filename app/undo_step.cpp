#include "app/undo_step.h"

namespace orv {

SnapshotStep::SnapshotStep(EditorSession& session, const QString& label, ThemeSnapshot before,
                           ThemeSnapshot after, int mergeKey, int burst)
    : QUndoCommand(label), session_(session), before_(std::move(before)), after_(std::move(after)),
      mergeKey_(mergeKey), burst_(burst)
{
}

void SnapshotStep::undo()
{
    restoreSnapshot(session_, before_);
    done_ = false;
}

void SnapshotStep::redo()
{
    if (done_) return;
    restoreSnapshot(session_, after_);
    done_ = true;
}

bool SnapshotStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const SnapshotStep*>(other);
    if (next->burst_ != burst_) return false;
    after_ = next->after_;
    // A drag that ends where it began leaves no step behind.
    if (after_.sameContent(before_)) setObsolete(true);
    return true;
}

} // namespace orv
