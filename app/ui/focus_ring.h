#pragma once
// The keyboard's place made plain: whichever control holds the focus gets a ring at least two
// pixels wide drawn around it, whatever the style or the skin draws of its own.

#include <QPointer>
#include <QWidget>

class QPainter;

namespace orv {

inline constexpr int kFocusRingWidth = 2;
// How far the ring stands off the control: a light outline outside the dark ring, so the
// ring reads on light and dark skins alike.
inline constexpr int kFocusRingMargin = kFocusRingWidth + 1;

// Draws the ring just inside `outer`: one light pixel, then kFocusRingWidth dark ones.
void paintFocusRing(QPainter& painter, const QRect& outer);

class FocusRing : public QWidget {
    Q_OBJECT
public:
    // One ring for the whole program, following the focus from window to window. Calling it
    // again does nothing.
    static void install();
    // The ring now shown, or nullptr when no control shows one.
    static FocusRing* shown();
    QWidget* target() const { return target_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FocusRing(QWidget* parent);
    void follow(QWidget* focused);
    void place();

    QPointer<QWidget> target_;
};

} // namespace orv
