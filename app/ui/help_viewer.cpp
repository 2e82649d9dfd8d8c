#include "app/ui/help_viewer.h"

#include <QFile>
#include <QKeyEvent>

namespace orv {

HelpViewer::HelpViewer(const QString& helpFile, QWidget* parent) : QTextBrowser(parent)
{
    setWindowFlag(Qt::Window);
    setWindowTitle("Orvantis Help");
    setObjectName("help");
    resize(560, 520);
    setOpenExternalLinks(false);
    QFile f(helpFile);
    if (f.open(QIODevice::ReadOnly)) setHtml(QString::fromUtf8(f.readAll()));
}

void HelpViewer::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QTextBrowser::keyPressEvent(event);
}

} // namespace orv
