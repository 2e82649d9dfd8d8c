// The preview widget: paints the screen, reports clicks in screen pixels, offers the View
// choice on a right click and takes dropped packages and pictures.
#include "app/ui/preview_view.h"

#include "preview/hit_test.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace orv {

namespace {
const QStringList kPictureSuffixes = {"bmp", "png", "jpg", "jpeg", "pcx", "tga", "gif"};
} // namespace

QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
    const QUrl url = data->urls().first();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

bool isPackageFile(const QString& path)
{
    return QFileInfo(path).suffix().compare("tsk", Qt::CaseInsensitive) == 0;
}

bool isPictureFile(const QString& path)
{
    return kPictureSuffixes.contains(QFileInfo(path).suffix().toLower());
}

PreviewView::PreviewView(QWidget* parent) : QWidget(parent)
{
    setObjectName("oPicBuf");
    setMouseTracking(true);
    setAcceptDrops(true);
    setAttribute(Qt::WA_NoMousePropagation);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(sizeHint());
}

QSize PreviewView::sizeHint() const
{
    return {240 * scale_ + 2 * kBorder, 320 * scale_ + 2 * kBorder};
}

void PreviewView::setScreen(const QImage& screen)
{
    screen_ = screen;
    update();
}

void PreviewView::setScale(int scale)
{
    scale = scale == 2 ? 2 : 1;
    if (scale == scale_) return;
    scale_ = scale;
    resize(sizeHint());
    update();
}

void PreviewView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (screen_.isNull()) return;
    // No smoothing: every handheld pixel stays a sharp square at 2x.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(QRect(kBorder, kBorder, 240 * scale_, 320 * scale_), screen_, QRect(0, 0, 240, 320));
}

void PreviewView::mousePressEvent(QMouseEvent* event) { event->accept(); }

void PreviewView::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    emit hovered();
}

void PreviewView::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    // The right button belongs to the View choice.
    if (event->button() == Qt::RightButton) return;
    const QPointF inside = event->position() - QPointF(kBorder, kBorder);
    emit released(event->button(), event->modifiers(), screenPixelOf(inside, scale_));
}

void PreviewView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.setObjectName("viewMenu");
    QAction* actual = menu.addAction("Actual Size (240 x 320)");
    QAction* twice = menu.addAction("Double Size (480 x 640)");
    actual->setCheckable(true);
    twice->setCheckable(true);
    (scale_ == 1 ? actual : twice)->setChecked(true);
    const QString refusal = scale_ == 1 && doubleSizeRefusal_ ? doubleSizeRefusal_() : QString();
    if (!refusal.isEmpty()) {
        twice->setEnabled(false);
        menu.addAction(refusal)->setEnabled(false);
    }
    menu.addSeparator();
    QAction* undo = menu.addAction("Undo");
    QAction* redo = menu.addAction("Redo");
    undo->setEnabled(canUndo_);
    redo->setEnabled(canRedo_);
    QAction* colour = menu.addAction("Edit Color Here");
    const QPoint pixel = screenPixelOf(QPointF(event->pos()) - QPointF(kBorder, kBorder), scale_);
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == actual) emit scaleRequested(1);
    if (chosen == twice) emit scaleRequested(2);
    if (chosen == undo) emit undoRequested();
    if (chosen == redo) emit redoRequested();
    if (chosen == colour) emit colourRequested(pixel);
}

void PreviewView::setUndoAvailable(bool canUndo, bool canRedo)
{
    canUndo_ = canUndo;
    canRedo_ = canRedo;
}

void PreviewView::dragEnterEvent(QDragEnterEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (isPackageFile(path) || isPictureFile(path)) event->acceptProposedAction();
}

void PreviewView::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (!isPackageFile(path) && !isPictureFile(path)) return;
    event->acceptProposedAction();
    emit fileDropped(path);
}

} // namespace orv
