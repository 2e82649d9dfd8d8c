#include "app/ui/help_viewer.h"

#include <QFile>
#include <QKeyEvent>
#include <QSet>

namespace orv {

HelpViewer::HelpViewer(const QString& helpFile, QWidget* parent) : QTextBrowser(parent)
{
    setWindowFlag(Qt::Window);
    setWindowTitle("Orvantis Help");
    setObjectName("help");
    resize(560, 520);
    setOpenExternalLinks(false);
    // Links are followed here, and only within the help.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);

    QFile f(helpFile);
    if (!f.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = f.read(kMaxHelpBytes + 1);
    const QString text = QString::fromUtf8(bytes.left(kMaxHelpBytes));
    if (bytes.size() <= kMaxHelpBytes && nestingDepth(text) <= kMaxHelpNesting) {
        setHtml(text);
        showsHtml_ = true;
    } else {
        setPlainText(text);
    }
}

int HelpViewer::nestingDepth(const QString& html)
{
    // Elements that never hold others, or that the HTML parser ends at the next sibling.
    static const QSet<QString> kLeaves = {
        "area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param",
        "source", "track", "wbr", "p", "li", "dt", "dd", "tr", "td", "th", "option", "!doctype"};
    int depth = 0, deepest = 0;
    const qsizetype n = html.size();
    for (qsizetype i = html.indexOf('<'); i >= 0 && i < n; i = html.indexOf('<', i + 1)) {
        if (QStringView(html).mid(i, 4) == QLatin1String("<!--")) {
            i = html.indexOf(QLatin1String("-->"), i + 4);
            if (i < 0) break;
            continue;
        }
        qsizetype j = i + 1;
        const bool closing = j < n && html[j] == '/';
        if (closing) ++j;
        const qsizetype start = j;
        while (j < n && (html[j].isLetterOrNumber() || html[j] == '!')) ++j;
        if (j == start) continue;
        const QString name = html.mid(start, j - start).toLower();
        if (name.startsWith("!")) continue; // comments and declarations
        const qsizetype end = html.indexOf('>', j);
        if (end < 0) break;
        const bool selfClosing = html[end - 1] == '/';
        if (kLeaves.contains(name) || selfClosing) continue;
        if (closing)
            depth = std::max(0, depth - 1);
        else
            deepest = std::max(deepest, ++depth);
        i = end;
    }
    return deepest;
}

QVariant HelpViewer::loadResource(int /*type*/, const QUrl& /*name*/)
{
    // The help is one self-contained file: nothing is fetched for it, not a picture, not a
    // style sheet, and never a local file a link or an image names.
    return {};
}

void HelpViewer::followLink(const QUrl& link)
{
    // Only a jump to a place in this help (href="#topic"); any other link opens nothing.
    if (link.scheme().isEmpty() && link.path().isEmpty() && link.hasFragment())
        scrollToAnchor(link.fragment());
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
