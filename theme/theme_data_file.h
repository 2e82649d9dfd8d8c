#pragma once
// The theme data file: the Windows CE setup file ("MSCE") inside a package whose registry
// values under Software\Microsoft\Color carry the theme's colours. It is written by patching
// the built-in 524-byte template and read back by scanning its bytes for the value names.
// Pure functions; the session routine Save000Data (theme/save000data.cpp) writes the file.

#include "theme/colour.h"

#include <QByteArray>
#include <QString>
#include <array>

namespace orv {

// Size of the built-in template ("custom resource 666"); the data part ends at 520.
inline constexpr int kThemeTemplateSize = 524;
// The name of the data file the editor writes into the scratch directory.
inline const QString kThemeDataFileName = QStringLiteral("zephrin1.000");

// The bytes of a theme data file for a theme name and the thirteen colour slots (storage
// order of kSlots): the template's header with the ten name-dependent fields moved by
// L - 1, the name (Latin-1, no terminator) in place of "a", then template bytes 101..520
// with the colours patched in. The template itself is not changed.
// Throws AppError when the template is not a well-formed 524-byte template, or when the
// name is too long for the header's 16-bit offset fields (a longer name would wrap them and
// give a corrupt file).
QByteArray buildThemeDataFile(const QByteArray& themeTemplate, const QString& name,
                              const std::array<Colour, 13>& colours);

// The longest name buildThemeDataFile accepts.
int maxThemeNameLength();

// The theme name: bytes from offset 100 up to the first zero (or the end of the data), one
// Latin-1 character each. Data of 100 bytes or less gives an empty name.
QString readThemeName(const QByteArray& data);

// Scans for the "%CE?%" anchor and then for the value names "4".."9", "10".."14", "25",
// "26" from the anchor + 138 on; each match sets its slot (later matches win). Slots whose
// names are not found, and all slots when there is no anchor, keep their values. Never
// reads past the end of data.
void readThemeColours(const QByteArray& data, std::array<Colour, 13>& colours);

} // namespace orv
