#pragma once
// The keyboard on the simulated screen: while the preview holds the focus, a frame marks one
// hit region; the arrow keys move it through the regions that answer on the screen shown,
// Return or Space clicks there, and the context-menu key (or Shift+F10) opens the preview's
// menu at the frame.

#include "preview/hit_regions.h"

#include <QPointer>
#include <QWidget>
#include <functional>

namespace orv {

class PreviewView;

class ElementCursor : public QWidget {
    Q_OBJECT
public:
    // `theme` answers which screen the flags now show.
    ElementCursor(PreviewView* preview, std::function<const Theme&()> theme);

    // The region under the cursor, on the screen now shown.
    HitRegion region() const;
    // The screen pixel a key click lands on: the middle of the region.
    QPoint clickPixel() const;

signals:
    // Return or Space: the same report a button release on the preview makes.
    void clicked(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pixel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool keyPressed(int key, Qt::KeyboardModifiers mods);
    void step(int by);
    void follow();

    PreviewView* preview_;
    std::function<const Theme&()> theme_;
    // The region is kept as an index into the whole table, so it survives a screen change
    // that leaves it live.
    int at_ = 0;
};

} // namespace orv
