#pragma once
// The window system's half of clsTransForm: which widgets can be shaped and what their scan
// reads, the outline applied with setMask, and DragForm, which lets a window without a
// title bar be moved by its face.

#include "app/shaping/trans_form.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

namespace orv {

// A top-level window, a label showing a picture (the picture box), a push button, a check
// box or an option button; anything else is Other and cannot be shaped.
ShapeKind shapeKindOf(const QWidget* widget);

class WidgetShapeTarget : public ShapeTarget {
public:
    explicit WidgetShapeTarget(QWidget* widget) : widget_(widget) {}
    ShapeKind kind() const override { return shapeKindOf(widget_); }
    void prepareButton(Colour colour) override;
    QSize scanSize() const override;
    QImage picture() override;
    void applyOutline(const std::optional<QRegion>& outline) override;

private:
    QWidget* widget_;
};

class WidgetTransForm : public QObject, public clsTransForm {
    Q_OBJECT
public:
    using QObject::QObject;
    using clsTransForm::ShapeMe;
    void ShapeMe(QWidget* target, Colour colour, bool load = false, const QString& fileName = {});

    // `button` as a mouse-down reports it: 1 left, 2 right, 4 middle. The left button
    // moves the window: the window system's own move where it offers one, else the window
    // follows the pointer until the button is released. Other buttons do nothing.
    void DragForm(QWidget* window, int button);
    bool dragging() const { return !dragged_.isNull(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void endDrag();

    QPointer<QWidget> dragged_;
    QPoint grabOffset_; // pointer position minus window position when the drag began
};

// The mouse button code of a mouse-down event: 1 left, 2 right, 4 middle, 0 any other.
int mouseButtonCode(Qt::MouseButton button);

} // namespace orv
