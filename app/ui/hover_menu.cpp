// The hover menus: titles open panels on pointer moves, entries act on button release.
// A panel takes the keyboard focus only when the keyboard opens it, so hovering never steals
// typing from the name box.
#include "app/ui/hover_menu.h"

#include "app/ui/focus_ring.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace orv {

namespace {

size_t at(MenuPanel p) { return static_cast<size_t>(p); }

struct PanelRule {
    MenuPanel shows;
    std::vector<MenuPanel> hides;
};

// Each title hides only its neighbours in the bar order Theme, Image, Color, Help.
const PanelRule kRules[4] = {
    {MenuPanel::Theme, {MenuPanel::Image}},
    {MenuPanel::Image, {MenuPanel::Theme, MenuPanel::Color}},
    {MenuPanel::Color, {MenuPanel::Image, MenuPanel::Help}},
    {MenuPanel::Help, {MenuPanel::Color}},
};

const char* const kTitles[4] = {"Theme", "Image", "Color", "Help"};
const char* const kTitleNames[4] = {"lblFile", "lblImage", "lblColor", "lblHelp1"};
const char* const kPanelNames[4] = {"oMenuFile", "oMenuPic", "oMenuColors", "oMenuHelp"};

} // namespace

void setBackColour(QLabel* label, Colour colour)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, QColor(toQRgb(colour)));
    pal.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(pal);
    label->setAutoFillBackground(true);
}

HoverLabel::HoverLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setMouseTracking(true);
    setTextFormat(Qt::PlainText);
    setAttribute(Qt::WA_NoMousePropagation);
}

void HoverLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    // The keyboard's place: a ring two pixels wide inside the entry.
    QPainter p(this);
    p.setPen(QPen(Qt::black, kFocusRingWidth));
    p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void HoverLabel::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    emit hovered();
}

void HoverLabel::mousePressEvent(QMouseEvent* event) { event->accept(); }

void HoverLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    // A press dragged off the label before release is a change of mind.
    if (rect().contains(event->position().toPoint())) emit released(event->button());
}

HoverMenus::HoverMenus(QWidget* face, QPoint origin) : QObject(face), face_(face)
{
    for (size_t i = 0; i < 4; ++i) {
        auto* t = new HoverLabel(kTitles[i], face);
        t->setObjectName(kTitleNames[i]);
        t->setAlignment(Qt::AlignCenter);
        t->setCursor(Qt::PointingHandCursor);
        titles_[i] = t;
        const auto which = static_cast<MenuPanel>(i);
        connect(t, &HoverLabel::hovered, this, [this, which] { open(which); });

        auto* p = new QFrame(face);
        p->setObjectName(kPanelNames[i]);
        p->setFrameShape(QFrame::Box);
        p->setAttribute(Qt::WA_NoMousePropagation);
        auto* column = new QVBoxLayout(p);
        column->setContentsMargins(1, 1, 1, 1);
        column->setSpacing(0);
        column->setSizeConstraint(QLayout::SetFixedSize);
        p->hide();
        panels_[i] = p;
    }
    place(origin);
}

void HoverMenus::place(QPoint origin)
{
    int x = origin.x();
    for (size_t i = 0; i < 4; ++i) {
        HoverLabel* t = titles_[i];
        const int w = t->fontMetrics().horizontalAdvance(t->text()) + 18;
        t->setGeometry(x, origin.y(), w, t->fontMetrics().height() + 6);
        panels_[i]->move(x, t->geometry().bottom() + 1);
        x += w;
    }
}

HoverLabel* HoverMenus::title(MenuPanel p) const { return titles_[at(p)]; }
QFrame* HoverMenus::panel(MenuPanel p) const { return panels_[at(p)]; }
const QList<HoverLabel*>& HoverMenus::entries(MenuPanel p) const { return entries_[at(p)]; }

HoverLabel* HoverMenus::addEntry(MenuPanel p, const QString& caption, const QString& objectName,
                                 OnRelease how, std::function<void()> action)
{
    QFrame* frame = panels_[at(p)];
    auto* e = new HoverLabel(caption, frame);
    e->setObjectName(objectName);
    e->setContentsMargins(2, 2, 12, 2);
    e->setMinimumWidth(150);
    setBackColour(e, kRest);
    frame->layout()->addWidget(e);
    entries_[at(p)] << e;

    rules_.insert(e, EntryRule{p, how, std::move(action)});
    e->installEventFilter(this);

    connect(e, &HoverLabel::hovered, this, [this, e] { highlight(e); });
    connect(e, &HoverLabel::released, this, [this, e](Qt::MouseButton) { activate(e); });
    return e;
}

void HoverMenus::activate(HoverLabel* entry)
{
    const auto found = rules_.constFind(entry);
    if (found == rules_.constEnd()) return;
    const EntryRule rule = *found; // the action may rebuild the menus
    const bool fromKeyboard = entry->hasFocus();
    switch (rule.how) {
    case OnRelease::Close:
        closePanel(rule.panel);
        restColours(rule.panel);
        face_->update();
        break;
    case OnRelease::Hide: hidePanel(rule.panel); break;
    case OnRelease::KeepOpen: break;
    }
    // A keyboard user whose panel went away goes back to where the panel was opened from,
    // before the action's own dialog takes and then returns the focus.
    QPointer<HoverLabel> alive(entry);
    if (fromKeyboard && !entry->isVisible()) giveFocusBack();
    if (rule.action) rule.action();
    if (fromKeyboard && alive && !alive->isVisible()) giveFocusBack();
}

void HoverMenus::openByKeyboard(MenuPanel p)
{
    QWidget* now = QApplication::focusWidget();
    if (!rules_.contains(qobject_cast<HoverLabel*>(now))) focusBefore_ = now;
    for (QFrame* f : panels_) f->hide();
    open(p);
    if (!entries_[at(p)].isEmpty()) focusEntry(entries_[at(p)].first());
}

HoverLabel* HoverMenus::focusedEntry() const
{
    auto* e = qobject_cast<HoverLabel*>(QApplication::focusWidget());
    return rules_.contains(e) ? e : nullptr;
}

void HoverMenus::focusEntry(HoverLabel* entry)
{
    highlight(entry);
    entry->setFocus(Qt::ShortcutFocusReason);
}

void HoverMenus::giveFocusBack()
{
    if (focusBefore_ && focusBefore_->isVisible())
        focusBefore_->setFocus(Qt::OtherFocusReason);
    else
        face_->setFocus(Qt::OtherFocusReason);
}

void HoverMenus::closeAllFromKeyboard()
{
    open_ = false;
    for (size_t i = 0; i < 4; ++i) {
        restColours(static_cast<MenuPanel>(i));
        panels_[i]->hide();
    }
    giveFocusBack();
}

bool HoverMenus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* entry = static_cast<HoverLabel*>(watched);
    const auto found = rules_.constFind(entry);
    if (found == rules_.constEnd()) return false;
    const MenuPanel p = found->panel;
    const QList<HoverLabel*>& list = entries_[at(p)];
    const int i = static_cast<int>(list.indexOf(entry));
    const int n = static_cast<int>(list.size());
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Down: focusEntry(list[(i + 1) % n]); return true;
    case Qt::Key_Up: focusEntry(list[(i + n - 1) % n]); return true;
    case Qt::Key_Right: openByKeyboard(static_cast<MenuPanel>((at(p) + 1) % 4)); return true;
    case Qt::Key_Left: openByKeyboard(static_cast<MenuPanel>((at(p) + 3) % 4)); return true;
    case Qt::Key_Home: focusEntry(list.first()); return true;
    case Qt::Key_End: focusEntry(list.last()); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: activate(entry); return true;
    case Qt::Key_Escape: closeAllFromKeyboard(); return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: closeAllFromKeyboard(); return true;
    default: return false;
    }
}

void HoverMenus::open(MenuPanel p)
{
    open_ = true;
    restColours(p);
    const PanelRule& rule = kRules[at(p)];
    QFrame* shown = panels_[at(rule.shows)];
    shown->show();
    shown->raise();
    for (MenuPanel h : rule.hides) panels_[at(h)]->hide();
}

void HoverMenus::highlight(HoverLabel* entry)
{
    for (const QList<HoverLabel*>& list : entries_) {
        if (!list.contains(entry)) continue;
        for (HoverLabel* e : list) setBackColour(e, kRest);
    }
    setBackColour(entry, kHighlight);
}

void HoverMenus::restColours(MenuPanel p)
{
    for (HoverLabel* e : entries_[at(p)]) setBackColour(e, kRest);
}

void HoverMenus::closePanel(MenuPanel p)
{
    panels_[at(p)]->hide();
    open_ = false;
}


void HoverMenus::hidePanel(MenuPanel p) { panels_[at(p)]->hide(); }

void HoverMenus::backgroundMoved()
{
    if (!open_) return;
    open_ = false;
    const bool hadFocus = focusedEntry() != nullptr;
    for (QFrame* p : panels_) p->hide();
    if (hadFocus) giveFocusBack();
}

} // namespace orv
