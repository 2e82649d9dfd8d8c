// The focus ring: one overlay that moves to the focused control's parent and stands around
// it; it never takes a click or the focus itself.
#include "app/ui/focus_ring.h"

#include "app/ui/hover_menu.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

namespace orv {

namespace {
// The ring lives on the focused control's parent and goes with it; the next focus change
// makes a new one.
QPointer<FocusRing> theRing;
bool installed = false;
}

void paintFocusRing(QPainter& p, const QRect& outer)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    p.drawRect(QRectF(outer).adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(QPen(Qt::black, kFocusRingWidth));
    const qreal in = 1 + kFocusRingWidth / 2.0;
    p.drawRect(QRectF(outer).adjusted(in, in, -in, -in));
    p.restore();
}

void FocusRing::install()
{
    if (installed) return;
    installed = true;
    auto follow = [](QWidget* now) {
        if (theRing) {
            theRing->follow(now);
        } else if (now && !now->isWindow() && now->parentWidget()) {
            theRing = new FocusRing(now->parentWidget());
            theRing->follow(now);
        }
    };
    QObject::connect(qApp, &QApplication::focusChanged, qApp,
                     [follow](QWidget*, QWidget* now) { follow(now); });
    follow(QApplication::focusWidget());
}

FocusRing* FocusRing::shown() { return theRing && theRing->isVisible() ? theRing.data() : nullptr; }

FocusRing::FocusRing(QWidget* parent) : QWidget(parent)
{
    setObjectName("focusRing");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void FocusRing::follow(QWidget* focused)
{
    if (target_) target_->removeEventFilter(this);
    target_ = nullptr;
    // Menu entries draw their own ring inside; a window has no parent to draw on.
    if (!focused || focused->isWindow() || qobject_cast<HoverLabel*>(focused)) {
        hide();
        return;
    }
    target_ = focused;
    target_->installEventFilter(this);
    if (parentWidget() != focused->parentWidget()) setParent(focused->parentWidget());
    place();
}

void FocusRing::place()
{
    if (!target_ || !target_->isVisible()) {
        hide();
        return;
    }
    const int m = kFocusRingMargin;
    setGeometry(target_->geometry().adjusted(-m, -m, m, m));
    // A ring made for the control only, so clicks and other controls' painting stay theirs.
    setMask(QRegion(rect()).subtracted(QRegion(rect().adjusted(m, m, -m, -m))));
    show();
    raise();
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == target_) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide: place(); break;
        default: break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    paintFocusRing(p, rect());
}

} // namespace orv
