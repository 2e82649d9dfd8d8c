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

} // namespace orv
