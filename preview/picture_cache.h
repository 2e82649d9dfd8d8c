#pragma once
// The built-in pictures never change while the program runs: each is read from the
// resources once and handed out as shared copies afterwards.

#include <QImage>
#include <QString>

namespace orv {

// builtinPicture(name), read once; throws like it when the picture is missing.
QImage cachedPicture(const QString& name);
// The same picture raised to 24 bits, as the composers use it.
QImage cachedPicture24(const QString& name);

} // namespace orv
