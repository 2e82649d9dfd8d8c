#pragma once
// The program's help viewer: shows the HTML help file "Orvantis.HLP".

#include <QTextBrowser>

namespace orv {

class HelpViewer : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpViewer(const QString& helpFile, QWidget* parent = nullptr);
};

} // namespace orv
