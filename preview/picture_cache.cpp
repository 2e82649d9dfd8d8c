#include "preview/picture_cache.h"

#include "imaging/image_buffer.h"
#include "preview/canvas.h"

#include <QHash>
#include <mutex>

namespace orv {

namespace {

struct Entry {
    QImage original;
    QImage raised;
};

Entry entryFor(const QString& name)
{
    static std::mutex lock;
    static QHash<QString, Entry> cache;
    {
        std::lock_guard<std::mutex> guard(lock);
        auto it = cache.constFind(name);
        if (it != cache.constEnd()) return *it;
    }
    Entry e;
    e.original = builtinPicture(name); // throws when missing: nothing is cached then
    if (e.original.format() != QImage::Format_Indexed8 && e.original.format() != QImage::Format_RGB32)
        e.original = e.original.depth() <= 8 ? e.original.convertToFormat(QImage::Format_Indexed8)
                                             : e.original.convertToFormat(QImage::Format_RGB32);
    e.raised = to24(e.original);
    std::lock_guard<std::mutex> guard(lock);
    cache.insert(name, e);
    return e;
}

} // namespace

QImage cachedPicture(const QString& name) { return entryFor(name).original; }
QImage cachedPicture24(const QString& name) { return entryFor(name).raised; }

const ImageBuffer& AdjustedCopy::of(const ImageBuffer& source, const AdjustmentSet& set,
                                    const std::function<void(ImageBuffer&)>& make)
{
    const qint64 key = source.image().cacheKey();
    const bool same = made_ && key == key_ && set.gamma == set_.gamma &&
                      set.brightness == set_.brightness && set.contrast == set_.contrast;
    if (same) return copy_;
    made_ = false; // a make that throws leaves nothing to reuse
    copy_ = ImageBuffer();
    make(copy_);
    key_ = key;
    set_ = set;
    made_ = true;
    return copy_;
}

} // namespace orv
