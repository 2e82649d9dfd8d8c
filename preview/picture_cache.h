#pragma once
// The built-in pictures never change while the program runs: each is read from the
// resources once and handed out as shared copies afterwards. An adjusted background changes
// only when its picture or one of its three values does: it is made once per change and
// reused by every redraw in between.

#include "app/editor_session.h"
#include "imaging/image_buffer.h"

#include <QImage>
#include <QString>
#include <functional>

namespace orv {

// builtinPicture(name), read once; throws like it when the picture is missing.
QImage cachedPicture(const QString& name);
// The same picture raised to 24 bits, as the composers use it.
QImage cachedPicture24(const QString& name);

// One adjusted copy of one background. It is known by the picture's cache key (which Qt
// changes whenever the picture is replaced or any of its pixels is written) and the three
// values, never by the order of calls, so a picture swapped in wholesale (an undo, a new
// theme) is adjusted afresh.
class AdjustedCopy {
public:
    // The buffer `make` fills from `source` with `set` applied; `make` runs only when the
    // source picture or the set differs from the last call's.
    const ImageBuffer& of(const ImageBuffer& source, const AdjustmentSet& set,
                          const std::function<void(ImageBuffer&)>& make);

private:
    bool made_ = false;
    qint64 key_ = 0;
    AdjustmentSet set_;
    ImageBuffer copy_;
};

} // namespace orv
