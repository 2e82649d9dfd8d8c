// The element cursor: a frame over the preview that follows the screen's changes and the
// preview's size; it never takes a click.
#include "app/ui/element_cursor.h"

#include "app/ui/focus_ring.h"
#include "app/ui/preview_view.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QPainter>

namespace orv {

ElementCursor::ElementCursor(PreviewView* preview, std::function<const Theme&()> theme)
    : QWidget(preview), preview_(preview), theme_(std::move(theme))
{
    setObjectName("elementCursor");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    preview_->setFocusPolicy(Qt::TabFocus);
    preview_->installEventFilter(this);
    hide();
}

HitRegion ElementCursor::region() const
{
    const std::vector<HitRegion>& all = hitRegions();
    return all[static_cast<size_t>(at_) % all.size()];
}

QPoint ElementCursor::clickPixel() const { return region().area.center(); }

void ElementCursor::step(int by)
{
    const std::vector<HitRegion>& all = hitRegions();
    const int n = static_cast<int>(all.size());
    const Theme& theme = theme_();
    for (int k = 1; k <= n; ++k) {
        const int next = ((at_ + by * k) % n + n) % n;
        if (regionLive(all[static_cast<size_t>(next)], theme)) {
            at_ = next;
            break;
        }
    }
    follow();
}

// The frame stands on the region at the preview's present size; a region the screen no
// longer shows gives way to the next one that answers.
void ElementCursor::follow()
{
    if (!regionLive(region(), theme_())) {
        step(1);
        return;
    }
    const int s = preview_->scale();
    const QRect area = region().area;
    const QRect onView(PreviewView::kBorder + area.x() * s, PreviewView::kBorder + area.y() * s,
                       area.width() * s, area.height() * s);
    const int m = kFocusRingMargin;
    setGeometry(onView.adjusted(-m, -m, m, m).intersected(preview_->rect()));
    if (preview_->hasFocus()) {
        show();
        raise();
    } else {
        hide();
    }
    update();
}

bool ElementCursor::keyPressed(int key, Qt::KeyboardModifiers mods)
{
    switch (key) {
    case Qt::Key_Right:
    case Qt::Key_Down: step(1); return true;
    case Qt::Key_Left:
    case Qt::Key_Up: step(-1); return true;
    case Qt::Key_Home:
        at_ = -1;
        step(1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: emit clicked(Qt::LeftButton, Qt::NoModifier, clickPixel()); return true;
    case Qt::Key_F10:
        if (!(mods & Qt::ShiftModifier)) return false;
        [[fallthrough]];
    case Qt::Key_Menu: {
        const QPoint at = geometry().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, preview_->mapToGlobal(at));
        QCoreApplication::sendEvent(preview_, &menu);
        return true;
    }
    default: return false;
    }
}

bool ElementCursor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != preview_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        return keyPressed(key->key(), key->modifiers());
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Resize: follow(); break;
    case QEvent::Paint:
        // A new screen is painted: its regions may have changed. The frame moves once the
        // painting is over.
        if (!regionLive(region(), theme_()))
            QMetaObject::invokeMethod(this, &ElementCursor::follow, Qt::QueuedConnection);
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void ElementCursor::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintFocusRing(p, rect());
}

} // namespace orv
