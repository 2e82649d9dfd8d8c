#pragma once
// CCabFile: reads Microsoft cabinet files (libmspack underneath). One walk over the
// cabinet's files per operation; each file is offered to the operation, which counts it,
// reports it, lists it or extracts it. Errors are AppError values with source "CabFile":
// kErrNoCabName for an empty CabName, otherwise the Win32 error code of the failure with
// its text (cabWin32ErrorText).
//
// Events are plain callbacks, called on the caller's thread from inside the walk; an unset
// callback is simply not called. BeforeExtract may set Cancel to skip a file.
//
// Paths: names inside a cabinet use backslashes ("pics\a.bmp"); FileFound, BeforeExtract
// and GetXML report them as stored. Target paths on disk use '/', and a cabinet's folder
// part becomes sub-folders of the output folder. Member names that would land outside the
// output folder (absolute, "..", drive letters), whose folders pass through a link or clash
// with a file or folder of another entry, and target paths longer than 259 bytes are
// skipped, and the walk goes on. An output folder that cannot be made, a target that is not a
// regular file or is the cabinet, and any failed write fail the walk (the member is removed).

#include "app/errors.h"
#include "imaging/picture_limits.h"
#include "theme/package_files.h"

#include <QSet>
#include <QString>
#include <cstdint>
#include <functional>

namespace orv {

// The Win32 error codes a walk can fail with.
inline constexpr int kWin32FileNotFound = 2;
inline constexpr int kWin32InvalidData = 13;
inline constexpr int kWin32WriteFault = 29;
inline constexpr int kWin32ReadFault = 30;
inline constexpr int kWin32DiskFull = 39;
inline constexpr int kWin32NotEnoughSpace = 112;

// What a theme package can hold; a cabinet beyond it is refused as invalid data before
// anything is written. Members: at most this many files and this many folders.
inline constexpr int kCabMaxMembers = 1024;
// All members together: two pictures at their size cap and a theme data file. A member is
// further held to the cap of its kind (the data file "*.000" to its own small cap).
inline constexpr qint64 kCabMaxTotalBytes = 2 * kMaxPictureFileBytes + kMaxThemeDataFileBytes;

// The description of a Win32 error code ("Unknown error." for codes not in the table).
QString cabWin32ErrorText(int code);

// Automation date (days since 30 December 1899, time of day as the fraction, whole
// seconds) from a DOS date and time, no local-time conversion. 0 when the fields do not
// make a valid calendar date.
double dosDateTimeToDate(std::uint16_t dosDate, std::uint16_t dosTime);
// The date value as text in the fixed default form "M/d/yyyy h:mm:ss AM": date only when the
// time is midnight, time only when the date is 30 December 1899.
QString dateValueText(double date);

class CCabFile {
public:
    // Operation modes, as the walk is told them.
    enum Mode { ModeCount = 0, ModeInvestigate = 1, ModeExtract = 2, ModeListing = 3 };
    // The answers to a file found in the cabinet.
    enum Answer : unsigned { AnswerStop = 0, AnswerExtract = 1, AnswerSkip = 2 };

    CCabFile() = default;

    void setCabName(const QString& name) { cabName_ = name; }
    const QString& CabName() const { return cabName_; }

    // Adds the number of files in the cabinet to the counter and returns the counter (it is
    // never cleared, so a second call on the same object adds to the first).
    std::int32_t FileCount();
    // Extracts the files whose full name equals FileToExtract without case (every file when
    // it is empty) into OutputPath (the cabinet's own folder when empty), under OutputFile
    // (each file's own name when empty). True when the walk succeeded.
    bool Extract(const QString& FileToExtract, const QString& OutputPath,
                 const QString& OutputFile);
    // Raises FileFound for the matching files (every file when FileToInvestigate is empty;
    // a match by full name stops the walk).
    bool GetInfo(const QString& FileToInvestigate);
    // The XML listing of the matching files (match by the file part, without case).
    QString GetXML(const QString& FileToInvestigate);

    // FileFound(FileName: file part, DateTime: automation date, Size, Path: folder part
    // with its trailing backslash, empty when none).
    std::function<void(const QString& FileName, double DateTime, std::int32_t Size,
                       const QString& Path)>
        FileFound;
    // BeforeExtract(FileName: full name in the cabinet, Cancel: false on entry).
    std::function<void(const QString& FileName, bool& Cancel)> BeforeExtract;
    // AfterExtract(FileName: target path of the file just written).
    std::function<void(const QString& FileName)> AfterExtract;

    // --- the walk's contract, public so that tests can drive the dispatcher ----------------
    // One file of the cabinet, as the walk hands it to the dispatcher.
    struct FileInCabinet {
        QByteArray name; // name in the cabinet, 8-bit, backslashes between folders
        std::uint32_t size = 0;
        std::uint16_t dosDate = 0;
        std::uint16_t dosTime = 0;
        QString target;  // filled with the target path when the answer is AnswerExtract
    };
    // The per-file steps of the running operation: 0 stop, 1 extract (target set), 2 skip.
    unsigned fileInCabinet(int mode, FileInCabinet& file);
    // A file was written (win32Error 0) or failed: raises AfterExtract on success and
    // answers the error code as it came.
    unsigned fileExtracted(const QString& target, unsigned win32Error);

private:
    void requireName() const;
    bool walk(int mode);

    QString cabName_;
    QString filter_;
    QString outputPath_;
    QString outputFile_;
    std::int32_t counter_ = 0;
    QString listing_;
    QSet<QString> produced_; // files and folders this walk made
};

// Creates a folder and any missing parents; true when the folder exists afterwards. An
// empty path gives false; a trailing '/' is ignored.
bool MakeFolder(const QString& path);

} // namespace orv
