#pragma once
// orvantis-cli check: whether the text of a package can be read over its background, as one
// JSON object; and the build options that make a theme readable (--fix-contrast) or match its
// colours to the Today picture (--match-colors).

#include <QString>
#include <QStringList>

namespace orv {
class EditorSession;
}

namespace orv::cli {

// args are the words after "check". Exit status 0 when every text reads, 1 when one does not
// or the package cannot be read, 2 on bad arguments.
int runCheckCommand(const QStringList& args);
QString checkUsageText();

struct Options;
// build --match-colors and --fix-contrast, after the pictures are in: the colours matched to
// the Today picture (the --color values given still win), then every unreadable text fixed.
void applyBuildColourOptions(EditorSession& session, const Options& options);

// The JSON object check prints for the session's theme.
QString checkReport(const EditorSession& session);

} // namespace orv::cli
