#include "app/ui/legibility_line.h"

#include "app/editor_session.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace orv {

LegibilityLine::LegibilityLine(EditorSession& session, QWidget* parent)
    : QWidget(parent), session_(session)
{
    setObjectName("lblLegibility");
    // A pale warning strip that reads on every skin.
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet("#lblLegibility { background: #FFF3C4; border: 1px solid #B07800; border-radius: 3px; }"
                  "QLabel { color: #7A0000; font-weight: bold; font-size: 10px; }"
                  "QPushButton { font-size: 11px; padding: 1px 6px; }");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 1, 2, 1);
    row->setSpacing(4);
    label_ = new QLabel(this);
    label_->setObjectName("lblLegibilityText");
    fix_ = new QPushButton("Fix", this);
    fix_->setObjectName("btnLegibilityFix");
    fix_->setToolTip("Give the text the nearest colour that can be read over its background");
    row->addWidget(label_, 1);
    row->addWidget(fix_);
    // Every redraw is measured again; the fix redraws, which brings the next warning or none.
    connect(&session_, &EditorSession::previewChanged, this, &LegibilityLine::refresh);
    connect(fix_, &QPushButton::clicked, this, [this] { session_.edit("Fix Text Color", [this] { session_.fixLegibility(); }); });
    hide();
}

QString LegibilityLine::text() const { return isHidden() ? QString() : label_->text(); }

void LegibilityLine::refresh()
{
    const std::vector<LegibilityCheck> checks = session_.legibilityChecks(false);
    const LegibilityCheck* worst = worstCheck(checks);
    if (!worst) {
        hide();
        return;
    }
    label_->setText(legibilityWarning(*worst));
    show();
    raise();
}

} // namespace orv
