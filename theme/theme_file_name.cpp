// Theme names as file names: one rule for the save dialog's proposal, the capture's proposal
// and the command-line tool.
#include "theme/theme_file_name.h"

namespace orv {

namespace {

bool isControl(QChar c) { return c.category() == QChar::Other_Control; }

} // namespace

QString themeFileName(const QString& themeName)
{
    QString out;
    out.reserve(themeName.size());
    for (const QChar c : themeName) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || isControl(c)) continue;
        out += c;
    }
    // A leading dot would hide the file, and ".." names the folder above.
    qsizetype dots = 0;
    while (dots < out.size() && out[dots] == QLatin1Char('.')) ++dots;
    out.remove(0, dots);
    return out.isEmpty() ? QStringLiteral("Theme") : out;
}

std::optional<QChar> refusedNameCharacter(const QString& themeName)
{
    for (const QChar c : themeName)
        if (isControl(c)) return c;
    return std::nullopt;
}

QString describeCharacter(QChar c)
{
    const QString code = QString("U+%1").arg(c.unicode(), 4, 16, QChar('0')).toUpper();
    switch (c.unicode()) {
    case 0x09: return code + " (tab)";
    case 0x0A: return code + " (line feed)";
    case 0x0D: return code + " (carriage return)";
    case 0x1B: return code + " (escape)";
    case 0x7F: return code + " (delete)";
    default: return code;
    }
}

} // namespace orv
