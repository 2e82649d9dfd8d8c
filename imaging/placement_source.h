#pragma once
// A picture file opened for placing. A large photo takes a good part of a second to decode, so
// the whole picture is read on another thread from the moment the file is opened, while a copy
// decoded at reduced size (libjpeg scales while it decodes) lets the dialog show at once. The
// placed result is always made from the whole picture, read exactly as any background load
// reads it.

#include <QImage>
#include <QString>
#include <future>
#include <optional>

namespace orv {

// The size of a picture file that can be decoded at reduced size before it is read whole (a
// JPEG whose header gives an acceptable size), or an empty size.
QSize quickViewSize(const QString& path);
// Such a file decoded at exactly `shown`, quickly and roughly: only ever looked at, never
// kept. A null picture when the file cannot be decoded that way.
QImage quickView(const QString& path, QSize shown);

class PlacementSource {
public:
    // Starts reading the whole picture at `path` on another thread.
    explicit PlacementSource(const QString& path);
    // A picture that is already whole.
    explicit PlacementSource(const QImage& picture);
    // Waits for the reading thread: it never outlives the source.
    ~PlacementSource();
    PlacementSource(const PlacementSource&) = delete;
    PlacementSource& operator=(const PlacementSource&) = delete;

    // True when a reduced copy can be decoded before the whole picture is read (a JPEG file
    // whose header gives an acceptable size).
    bool quickView() const { return quick_; }
    // The whole picture's size: from the header when quickView(), else from the whole
    // picture (waiting for it; throws what the read threw).
    QSize size();
    // True once the whole picture is read (or its reading has failed).
    bool ready() const;
    // A copy of the whole picture at exactly `shown` (the picture's proportions are the
    // caller's matter). Decoded at reduced size when the whole picture is not read yet and
    // the format can do that; otherwise made from the whole picture, waiting for it.
    QImage preview(QSize shown);
    // The whole picture at 24 bits; waits for it. Throws what the read threw.
    QImage whole();

private:
    QString path_;
    QSize size_;
    bool quick_ = false;
    std::shared_future<QImage> whole_;
};

} // namespace orv
