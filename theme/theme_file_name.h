#pragma once
// A theme's name comes from a package and is data, never a path: the one rule by which it
// becomes part of a file name, and the characters a name may not hold at all.

#include <QString>
#include <optional>

namespace orv {

// The file name (without extension) a theme name proposes: folder separators ('/', '\'),
// control characters and leading dots removed, nothing else (letters of any script stay);
// "Theme" when nothing is left.
QString themeFileName(const QString& themeName);

// The first character a theme name may never hold (a control character: a line break would
// end a line of the data and directive files), or nullopt when there is none.
std::optional<QChar> refusedNameCharacter(const QString& themeName);

// How a refused character is named in a message: "U+000A (line feed)" and the like.
QString describeCharacter(QChar c);

} // namespace orv
