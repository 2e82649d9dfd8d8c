#include "theme/cab_builder.h"

namespace orv {

CabDirectives parseDirectives(const QByteArray&) { return {}; }
QString buildCabinet(const CabDirectives&, const QString&) { throw CabBuildError("not built yet"); }
int runMakecab(const QStringList&, const QString&, QString& errorLine) { errorLine = "not built yet"; return 1; }

} // namespace orv
