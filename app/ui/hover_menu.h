#pragma once
// The face's menu bar: four titles that open their panel as the pointer moves over them, and
// panels of plain labels that act when the mouse button is released on an entry. The panel
// table (which title shows and hides which panel) and the open-panel flag live here; what an
// entry does is the window's business. The keyboard reaches the same entries: a panel opened
// from the keyboard takes the focus on its first entry, and Return there acts as a release.

#include "theme/colour.h"

#include <QHash>
#include <QLabel>
#include <QPointer>
#include <array>
#include <functional>

class QFrame;

namespace orv {

enum class MenuPanel { Theme, Image, Color, Help };

// What releasing the button on an entry does to its panel before the entry's own action.
enum class OnRelease {
    Close,    // hide the panel, clear the open-panel flag, entries back to rest
    KeepOpen, // the panel stays as it is
    Hide,     // hide the panel; the flag stays until the pointer crosses the background
};

// A label that reports pointer moves over it and a button released on it, and keeps its
// mouse events from reaching the window behind (which would start a window move).
class HoverLabel : public QLabel {
    Q_OBJECT
public:
    explicit HoverLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void hovered();
    void released(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

class HoverMenus : public QObject {
    Q_OBJECT
public:
    static constexpr Colour kRest = 0xFF8080;
    static constexpr Colour kHighlight = 0xFFC0C0;

    // The titles "Theme", "Image", "Color" and "Help", left to right from origin on face.
    HoverMenus(QWidget* face, QPoint origin);

    HoverLabel* title(MenuPanel panel) const;
    QFrame* panel(MenuPanel panel) const;
    const QList<HoverLabel*>& entries(MenuPanel panel) const;
    HoverLabel* addEntry(MenuPanel panel, const QString& caption, const QString& objectName,
                         OnRelease how, std::function<void()> action);

    // The open-panel flag: on from a title's hover until the panels are closed again.
    bool isOpen() const { return open_; }
    void open(MenuPanel panel);
    void highlight(HoverLabel* entry);
    void restColours(MenuPanel panel);
    void closePanel(MenuPanel panel);
    void hidePanel(MenuPanel panel);
    // The pointer crossed the window background: an open bar closes whole.
    void backgroundMoved();

    // Moves the bar (titles and panels) to a new origin.
    void place(QPoint origin);

    // What releasing the button on the entry does; the keyboard's Return and Space run it too.
    void activate(HoverLabel* entry);
    // The keyboard's way in: the panel opens alone, its first entry focused and highlighted.
    // Up and Down move through the entries, Left and Right to the neighbouring panel, Escape
    // closes and gives the focus back to where it was.
    void openByKeyboard(MenuPanel panel);
    // The entry that holds the keyboard focus, or nullptr.
    HoverLabel* focusedEntry() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct EntryRule {
        MenuPanel panel;
        OnRelease how;
        std::function<void()> action;
    };
    void focusEntry(HoverLabel* entry);
    void closeAllFromKeyboard();
    void giveFocusBack();

    QWidget* face_;
    QHash<HoverLabel*, EntryRule> rules_;
    QPointer<QWidget> focusBefore_;
    std::array<HoverLabel*, 4> titles_{};
    std::array<QFrame*, 4> panels_{};
    std::array<QList<HoverLabel*>, 4> entries_{};
    bool open_ = false;
};

// Paints a label's background with a colour value.
void setBackColour(QLabel* label, Colour colour);

} // namespace orv
