#pragma once
// The program's help viewer: shows the HTML help file "Orvantis.HLP". It shows that file
// only: no link leaves it and no resource is loaded from anywhere. A file beyond the size
// cap or nested deeper than the layout can take is shown as plain text instead.

#include <QTextBrowser>

namespace orv {

class HelpViewer : public QTextBrowser {
    Q_OBJECT
public:
    // The help file is read at most this far.
    static constexpr qint64 kMaxHelpBytes = 2 * 1024 * 1024;
    // Deeper nesting of elements is not laid out (the layout recurses once per level).
    static constexpr int kMaxHelpNesting = 64;

    explicit HelpViewer(const QString& helpFile, QWidget* parent = nullptr);

    // True while the help's HTML is shown, false when it fell back to plain text.
    bool showsHtml() const { return showsHtml_; }

    // The deepest nesting of elements in html, counting only elements that hold others
    // (void and self-closing elements, and those the parser closes by itself, left out).
    static int nestingDepth(const QString& html);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    void followLink(const QUrl& link);

    bool showsHtml_ = false;

protected:
    // Escape closes the window, as it closes a dialog.
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace orv
