#include "app/ui/widget_trans_form.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

namespace orv {

ShapeKind shapeKindOf(const QWidget* widget)
{
    if (!widget) return ShapeKind::Other;
    if (widget->isWindow()) return ShapeKind::Window;
    if (qobject_cast<const QPushButton*>(widget)) return ShapeKind::PushButton;
    if (qobject_cast<const QCheckBox*>(widget)) return ShapeKind::CheckBox;
    if (qobject_cast<const QRadioButton*>(widget)) return ShapeKind::OptionButton;
    if (auto* label = qobject_cast<const QLabel*>(widget); label && !label->pixmap().isNull())
        return ShapeKind::PictureBox;
    return ShapeKind::Other;
}

void WidgetShapeTarget::prepareButton(Colour colour)
{
    auto* button = qobject_cast<QAbstractButton*>(widget_);
    if (!button) return;
    button->setText(QString());
    const QColor c(toQRgb(colour));
    // A flat face in the transparent colour: only the button's picture and marks remain.
    button->setStyleSheet(QStringLiteral("background-color: %1; border: none;").arg(c.name()));
    button->update();
}

QSize WidgetShapeTarget::scanSize() const
{
    if (auto* label = qobject_cast<const QLabel*>(widget_); label && shapeKindOf(widget_) == ShapeKind::PictureBox)
        return label->contentsRect().size();
    return widget_->size();
}

QImage WidgetShapeTarget::picture()
{
    // A window or picture box is read from its own picture, without the controls on it; a
    // second ShapeMe reads the whole picture, not just what the last outline left.
    QImage image(widget_->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QWidget::RenderFlags flags = QWidget::DrawWindowBackground | QWidget::IgnoreMask;
    if (kind() != ShapeKind::Window && kind() != ShapeKind::PictureBox) flags |= QWidget::DrawChildren;
    widget_->render(&image, QPoint(), QRegion(), flags);
    if (auto* label = qobject_cast<QLabel*>(widget_); label && kind() == ShapeKind::PictureBox)
        return image.copy(label->contentsRect());
    return image;
}

void WidgetShapeTarget::applyOutline(const std::optional<QRegion>& outline)
{
    // No outline, or one that would hide the whole window: the plain rectangle.
    if (!outline || outline->isEmpty()) {
        widget_->clearMask();
        return;
    }
    QRegion mask = *outline;
    if (auto* label = qobject_cast<QLabel*>(widget_); label && kind() == ShapeKind::PictureBox)
        mask.translate(label->contentsRect().topLeft());
    widget_->setMask(mask);
}

void WidgetTransForm::ShapeMe(QWidget* target, Colour colour, bool load, const QString& fileName)
{
    WidgetShapeTarget shape(target);
    clsTransForm::ShapeMe(shape, colour, load, fileName);
}

int mouseButtonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

void WidgetTransForm::DragForm(QWidget* window, int button)
{
    if (button != 1 || !window) return;
    window = window->window();
    if (QWindow* handle = window->windowHandle(); handle && handle->startSystemMove()) return;
    // No window manager to ask: follow the pointer ourselves until the button is released.
    endDrag();
    dragged_ = window;
    grabOffset_ = QCursor::pos() - window->pos();
    qApp->installEventFilter(this);
}

bool WidgetTransForm::eventFilter(QObject* watched, QEvent* event)
{
    if (dragged_.isNull()) {
        endDrag();
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!(e->buttons() & Qt::LeftButton)) {
            endDrag();
            break;
        }
        // Each receiver along the way sees the same move; moving there again changes nothing.
        dragged_->move(e->globalPosition().toPoint() - grabOffset_);
        break;
    }
    case QEvent::MouseButtonRelease:
        endDrag();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void WidgetTransForm::endDrag()
{
    dragged_.clear();
    qApp->removeEventFilter(this);
}

} // namespace orv
