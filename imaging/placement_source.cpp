// The whole picture is read by the same routine as every background load, so a placed
// picture is made from exactly the pixels a crop or a resize would see. The reduced copy is
// only ever shown; it never reaches a background.
#include "imaging/placement_source.h"

#include "imaging/image_buffer.h"
#include "imaging/picture_limits.h"
#include "imaging/placement.h"

#include <QFileInfo>
#include <QImageReader>
#include <chrono>

namespace orv {

namespace {

QImage readWhole(const QString& path)
{
    ImageBuffer b;
    b.FileFormat = 0;
    b.FileName = path;
    b.LoadFile();
    if (b.BitsPerPixel() < 24) b.ConvertBitsPerPixel(24);
    return b.image();
}

std::shared_future<QImage> alreadyRead(const QImage& picture)
{
    std::promise<QImage> p;
    p.set_value(to24(picture));
    return p.get_future().share();
}

} // namespace

QSize quickViewSize(const QString& path)
{
    // Only a regular file is read here on the caller's thread: a pipe or a device could
    // keep it waiting. Anything else waits for the whole read, which checks it properly.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxPictureFileBytes) return {};
    QImageReader reader(path);
    if (reader.format() != "jpeg") return {};
    const QSize size = reader.size();
    if (!size.isValid() || !pictureSizeAcceptable(size.width(), size.height())) return {};
    return size;
}

QImage quickView(const QString& path, QSize shown)
{
    if (shown.isEmpty()) return {};
    QImageReader reader(path, "jpeg");
    // libjpeg decodes at a fraction of the size (DCT scaling) and Qt finishes the scale;
    // the quick decoder settings are plenty for a copy that is only looked at.
    reader.setScaledSize(shown);
    reader.setQuality(25);
    const QImage reduced = reader.read();
    return reduced.size() == shown ? to24(reduced) : QImage();
}

PlacementSource::PlacementSource(const QString& path)
    : path_(path), whole_(std::async(std::launch::async, readWhole, path).share())
{
    const QSize size = quickViewSize(path);
    if (size.isEmpty()) return;
    size_ = size;
    quick_ = true;
}

PlacementSource::PlacementSource(const QImage& picture)
    : size_(picture.size()), whole_(alreadyRead(picture))
{
}

PlacementSource::~PlacementSource()
{
    if (whole_.valid()) whole_.wait();
}

bool PlacementSource::ready() const
{
    return whole_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

QSize PlacementSource::size()
{
    if (quick_ || !size_.isEmpty()) return size_;
    return whole().size();
}

QImage PlacementSource::preview(QSize shown)
{
    if (shown.isEmpty()) return {};
    if (quick_ && !ready()) {
        const QImage reduced = orv::quickView(path_, shown);
        if (!reduced.isNull()) return reduced;
    }
    const QImage picture = whole();
    if (picture.size() == shown) return picture;
    return resampleArea(picture, picture.rect(), shown);
}

QImage PlacementSource::whole() { return whole_.get(); }

} // namespace orv
