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
    setStyleSheet("QLabel { color: black; background: #FFFFF0; border: 1px solid #8A8A70; border-radius: 3px; padding: 1px 2px; font-size: 11px; }");
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
    // The plain line, with its two last words made links. A long name is shortened until the
    // line fits its place under the preview; the tip shows it whole.
    ensurePolished();
    KeptTheme shown = *kept;
    for (int keep = int(kept->name.size()); keep >= 0; --keep) {
        shown.name = keep == kept->name.size() ? kept->name : kept->name.left(keep) + QChar(0x2026);
        QString html = keptThemeLine(shown).toHtmlEscaped();
        html.replace(QRegularExpression("Restore \\| Discard$"),
                     "<a href=\"restore\">Restore</a> | <a href=\"discard\">Discard</a>");
        setText(html);
        if (heightForWidth(width()) <= height()) break;
    }
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
