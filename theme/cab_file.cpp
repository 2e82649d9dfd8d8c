#include "theme/cab_file.h"

namespace orv {

QString cabWin32ErrorText(int) { return QStringLiteral("Unknown error."); }
double dosDateTimeToDate(std::uint16_t, std::uint16_t) { return 0; }
QString dateValueText(double) { return {}; }
std::int32_t CCabFile::FileCount() { requireName(); return counter_; }
bool CCabFile::Extract(const QString&, const QString&, const QString&) { requireName(); return false; }
bool CCabFile::GetInfo(const QString&) { requireName(); return false; }
QString CCabFile::GetXML(const QString&) { requireName(); return {}; }
unsigned CCabFile::fileInCabinet(int, FileInCabinet&) { return AnswerSkip; }
unsigned CCabFile::fileExtracted(const QString&, unsigned e) { return e; }
void CCabFile::requireName() const
{
    if (cabName_.isEmpty())
        throw AppError(kErrNoCabName, QStringLiteral("CabFile"),
                       QStringLiteral("You must set the CabName property before taking any action on the CabFile object."));
}
bool CCabFile::walk(int) { return false; }
bool MakeFolder(const QString&) { return false; }

} // namespace orv
