#pragma once
// The program's help viewer: shows the HTML help file "Orvantis.HLP".

#include <QTextBrowser>

namespace orv {

class HelpViewer : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpViewer(const QString& helpFile, QWidget* parent = nullptr);

protected:
    // Escape closes the window, as it closes a dialog.
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace orv
