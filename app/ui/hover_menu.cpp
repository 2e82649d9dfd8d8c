// The hover menus: titles open panels on pointer moves, entries act on button release.
// A panel never takes the keyboard focus, so hovering never steals typing from the name box.
#include "app/ui/hover_menu.h"

#include <QFrame>
#include <QMouseEvent>
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

    connect(e, &HoverLabel::hovered, this, [this, e] { highlight(e); });
    connect(e, &HoverLabel::released, this, [this, p, how, action](Qt::MouseButton) {
        switch (how) {
        case OnRelease::Close:
            closePanel(p);
            restColours(p);
            face_->update();
            break;
        case OnRelease::Hide: hidePanel(p); break;
        case OnRelease::KeepOpen: break;
        }
        if (action) action();
    });
    return e;
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
    for (QFrame* p : panels_) p->hide();
}

} // namespace orv
