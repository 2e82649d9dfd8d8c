#include "app/ui/recovery_line.h"

#include "app/editor_session.h"
#include "app/recovery.h"

#include <QRegularExpression>

namespace orv {

RecoveryLine::RecoveryLine(EditorSession& session, QWidget* parent) : QLabel(parent), session_(session)
{
    setObjectName("lblRecovery");
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setStyleSheet("QLabel { color: black; background: rgba(255,255,240,230); padding: 2px; }");
    connect(this, &QLabel::linkActivated, this, [this](const QString& link) {
        if (link == "restore") restore();
        else if (link == "discard") discard();
    });
    hide();
}

void RecoveryLine::refresh()
{
    const std::optional<KeptTheme> kept = keptTheme(session_.folders().dataDir);
    if (!kept) {
        hide();
        return;
    }
    // The plain line, with its two last words made links.
    QString html = keptThemeLine(*kept).toHtmlEscaped();
    html.replace(QRegularExpression("Restore \\| Discard$"),
                 "<a href=\"restore\">Restore</a> | <a href=\"discard\">Discard</a>");
    setText(html);
    setToolTip(keptThemeLine(*kept));
    show();
    raise();
}

void RecoveryLine::restore()
{
    if (restoreKeptTheme(session_)) hide();
}

void RecoveryLine::discard()
{
    discardKeptTheme(session_.folders().dataDir);
    hide();
}

} // namespace orv
