#pragma once
// The cabinet builder behind the makecab program: reads a cabinet directive file (the
// ".Set Key = Value" lines and the file lines, in order) and writes one uncompressed
// cabinet through libgcab. The cabinet is written under a temporary name beside its final
// place and renamed when complete.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace orv {

// A directive file or build failure: message is the one line makecab prints.
class CabBuildError : public std::runtime_error {
public:
    explicit CabBuildError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};

struct CabDirectives {
    QString cabinetName = QStringLiteral("disk1.cab"); // CabinetName1
    QString diskDirectory = QStringLiteral("disk1");   // DiskDirectory1
    bool compress = false;                             // Compress (MSZIP when ON)
    QStringList files;                                 // file lines, in order
    QStringList names;                                 // each file's name in the cabinet
};

// Parses the directive text (CR LF or LF lines). Keys are matched without case; spaces
// around '=' are free. Throws CabBuildError naming the line for an unknown directive or a
// malformed line.
CabDirectives parseDirectives(const QByteArray& text);

// Writes the cabinet of the directives; relative names are taken from baseDir (the folder
// of the directive file). Returns the path of the cabinet written. Throws CabBuildError
// naming the file for a missing listed file or an unwritable output.
QString buildCabinet(const CabDirectives& directives, const QString& baseDir);

// The makecab program: arguments without the program name ("/f", "cabwiz.ddf"), run in
// workDir. Writes one line to errorLine on failure. Returns the exit status (0 or 1).
int runMakecab(const QStringList& args, const QString& workDir, QString& errorLine);

} // namespace orv
