#pragma once
// The line under the preview that offers back the theme kept at the last close:
// "Restore" brings it back as one undo step, "Discard" removes the kept copy. No dialog.

#include <QLabel>

namespace orv {

class EditorSession;

class RecoveryLine : public QLabel {
    Q_OBJECT
public:
    RecoveryLine(EditorSession& session, QWidget* parent);
    // Shows the line when a kept theme is there, hides it otherwise.
    void refresh();
    void restore();
    void discard();
    // The words wrap at the width the line was given (a long name is shortened to fit), so
    // the face never grows for it.
    QSize sizeHint() const override { return {width(), heightForWidth(width())}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    EditorSession& session_;
};

} // namespace orv
