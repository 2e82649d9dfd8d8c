#pragma once
// oPicBuf on the face: the 240 x 320 handheld screen drawn at one or two times its size with
// square, unsmoothed pixels. Button releases are reported in screen pixels whatever the size,
// and its mouse events never reach the window behind, so a press here never moves the window.

#include <QImage>
#include <QWidget>
#include <functional>

class QMimeData;

namespace orv {

class PreviewView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBorder = 1;

    explicit PreviewView(QWidget* parent = nullptr);

    void setScreen(const QImage& screen);
    const QImage& screen() const { return screen_; }
    int scale() const { return scale_; }
    void setScale(int scale);
    QSize sizeHint() const override;
    // Asked as the View choice opens: why Double Size cannot be offered now, or empty.
    void setDoubleSizeRefusal(std::function<QString()> why) { doubleSizeRefusal_ = std::move(why); }
    // Whether the context menu's Undo and Redo have a step to take.
    void setUndoAvailable(bool canUndo, bool canRedo);

signals:
    void released(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint pixel);
    void hovered();
    void scaleRequested(int scale);
    // A local file let go over the preview.
    void fileDropped(const QString& path);
    // The context menu's Undo, Redo, and the colour of the element at a screen pixel.
    void undoRequested();
    void redoRequested();
    void colourRequested(QPoint pixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QImage screen_;
    int scale_ = 1;
    std::function<QString()> doubleSizeRefusal_;
    bool canUndo_ = false;
    bool canRedo_ = false;
};

// The one local file a drag carries, or an empty string.
QString droppedFile(const QMimeData* data);
bool isPackageFile(const QString& path);
bool isPictureFile(const QString& path);

} // namespace orv
