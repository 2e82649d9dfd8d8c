#pragma once
// The line under the preview that names the worst unreadable text and its contrast, with a
// Fix button that gives it the nearest readable colour. Hidden while every text reads.

#include <QWidget>

class QLabel;
class QPushButton;

namespace orv {

class EditorSession;

class LegibilityLine : public QWidget {
    Q_OBJECT
public:
    LegibilityLine(EditorSession& session, QWidget* parent = nullptr);

    QString text() const;
    // Measures the screen just drawn and shows or hides the line.
    void refresh();

private:
    EditorSession& session_;
    QLabel* label_ = nullptr;
    QPushButton* fix_ = nullptr;
};

} // namespace orv
