// Save000Data: writes the theme data file "zephrin1.000" into the scratch directory from the
// built-in template, the theme name and the thirteen colour slots.
#include "app/editor_session.h"
#include "app/safe_write.h"
#include "theme/theme_data_file.h"

#include <QDir>
#include <QFileInfo>

namespace orv {

namespace {

// Blanks only, as the name box's text is trimmed; other characters stay.
QString trimBlanks(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == QLatin1Char(' ')) ++b;
    while (e > b && s[e - 1] == QLatin1Char(' ')) --e;
    return s.mid(b, e - b);
}

} // namespace

void EditorSession::Save000Data()
{
    try {
        const QString name = trimBlanks(theme.name);
        // Build the bytes first: a name the header cannot hold is refused before anything
        // in the scratch directory is touched.
        const QByteArray bytes = buildThemeDataFile(state.themeTemplate, name, theme.colours);

        const QDir scratch(folders().scratch());
        if (!scratch.exists())
            throw AppError(76, QStringLiteral("Orvantis"), QStringLiteral("Path not found"));
        for (const QFileInfo& old : scratch.entryInfoList({QStringLiteral("*.000")}, QDir::Files)) {
            if (!QFile::remove(old.absoluteFilePath()))
                throw AppError(75, QStringLiteral("Orvantis"),
                               QStringLiteral("Path/File access error"));
        }

        // Written whole or not at all; read by the builder at once, so not waited onto the disk.
        if (!writeIntermediateWhole(scratch.filePath(kThemeDataFileName), bytes))
            throw AppError(75, QStringLiteral("Orvantis"),
                           QStringLiteral("Path/File access error"));
    } catch (const AppError& e) {
        if (e.isCancel()) return;
        // This routine's box has no blank before the parenthesis.
        ui().messageBox(QStringLiteral("Error: ") + e.description() + QStringLiteral("(Save000Data)"),
                        kAppTitle, MsgIcon::Critical);
    }
}

} // namespace orv
