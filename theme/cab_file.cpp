#include "theme/cab_file.h"

#include "app/output_target.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <mspack.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace orv {

namespace {

const QString kSource = QStringLiteral("CabFile");

// The record's target buffer holds 260 bytes with the terminating zero.
constexpr qsizetype kMaxTargetBytes = 259;
// Largest uncompressed size of one data block.
constexpr quint32 kBlockMax = 32768;


// Folder part (up to and including the last backslash) and file part of a cabinet name.
void splitCabName(const QString& full, QString& folder, QString& file)
{
    const qsizetype cut = full.lastIndexOf(QLatin1Char('\\'));
    folder = cut < 0 ? QString() : full.left(cut + 1);
    file = cut < 0 ? full : full.mid(cut + 1);
}

QString element(const QString& tag, const QString& content, const QString& attr = {},
                const QString& value = {})
{
    QString s = QLatin1Char('<') + tag;
    if (!attr.isEmpty()) s += QLatin1Char(' ') + attr + QStringLiteral(" = '") + value + QLatin1Char('\'');
    return s + QLatin1Char('>') + content + QStringLiteral("</") + tag + QLatin1Char('>');
}

// A member name made safe to place below the output folder: '/'-separated relative path,
// or empty when the name is absolute, names a drive, or climbs out with "..".
QString safeRelativeName(const QString& cabName)
{
    QString n = cabName;
    n.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (n.isEmpty() || n.startsWith(QLatin1Char('/'))) return {};
    if (n.size() >= 2 && n[1] == QLatin1Char(':')) return {};
    QStringList kept;
    for (const QString& part : n.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) return {};
        kept << part;
    }
    return kept.join(QLatin1Char('/'));
}

enum class Made { Yes, Clash, Link, Failed };

// Creates the folders of relative (a '/'-separated path) below root (empty: the current
// folder), one at a time, never following a link: a link on the way answers Link, a file on
// the way Clash. Folders made are added to made, named as root and relative join them.
Made makeFoldersBelow(const QString& root, const QString& relative, QSet<QString>& made)
{
    QString path = root;
    for (const QString& part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
            path += part;
        else
            path += QLatin1Char('/') + part;
        const QByteArray native = QFile::encodeName(path);
        struct stat st {};
        if (::lstat(native.constData(), &st) != 0) {
            if (::mkdir(native.constData(), 0755) == 0) {
                made.insert(path);
                continue;
            }
            if (errno != EEXIST || ::lstat(native.constData(), &st) != 0) return Made::Failed;
        }
        if (S_ISLNK(st.st_mode)) return Made::Link;
        if (!S_ISDIR(st.st_mode)) return Made::Clash;
    }
    return Made::Yes;
}

int win32FromMspack(int err)
{
    switch (err) {
    case MSPACK_ERR_OK: return 0;
    case MSPACK_ERR_OPEN: return kWin32ReadFault;
    // The file opened but ends early or its offsets point past its end: damaged.
    case MSPACK_ERR_READ:
    case MSPACK_ERR_SEEK: return kWin32InvalidData;
    case MSPACK_ERR_WRITE: return errno == ENOSPC ? kWin32NotEnoughSpace : kWin32WriteFault;
    case MSPACK_ERR_NOMEMORY: return 8;
    case MSPACK_ERR_SIGNATURE:
    case MSPACK_ERR_DATAFORMAT:
    case MSPACK_ERR_CHECKSUM:
    case MSPACK_ERR_DECRUNCH: return kWin32InvalidData;
    default: return 1; // no text in the table: "Unknown error."
    }
}

// libmspack's own file access, exported by the library but not declared in its header.
extern "C" struct mspack_system* mspack_default_system;

// libmspack's file access with its messages silenced (it prints "ERROR; ..." lines to stderr
// on damaged cabinets, and every failure already reaches the caller as an error code), and
// with files written straight through: its own buffered writes lose a full disk's error in
// the final fclose, which it never checks.
void noMessage(mspack_file*, const char*, ...) {}

struct SystemFile {
    mspack_file* reading = nullptr; // the library's own handle, for the cabinet
    int fd = -1;                    // a file being written
};

mspack_file* systemOpen(mspack_system*, const char* name, int mode)
{
    auto* file = new SystemFile;
    if (mode == MSPACK_SYS_OPEN_READ) {
        file->reading = mspack_default_system->open(mspack_default_system, name, mode);
    } else if (mode == MSPACK_SYS_OPEN_WRITE) {
        file->fd = ::open(name, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    }
    if (!file->reading && file->fd < 0) {
        delete file;
        return nullptr;
    }
    return reinterpret_cast<mspack_file*>(file);
}

void systemClose(mspack_file* f)
{
    auto* file = reinterpret_cast<SystemFile*>(f);
    if (!file) return;
    if (file->reading) mspack_default_system->close(file->reading);
    if (file->fd >= 0) ::close(file->fd);
    delete file;
}

int systemRead(mspack_file* f, void* buffer, int bytes)
{
    auto* file = reinterpret_cast<SystemFile*>(f);
    return file->reading ? mspack_default_system->read(file->reading, buffer, bytes) : -1;
}

int systemWrite(mspack_file* f, void* buffer, int bytes)
{
    auto* file = reinterpret_cast<SystemFile*>(f);
    if (file->fd < 0 || bytes < 0) return -1;
    const char* p = static_cast<const char*>(buffer);
    int left = bytes;
    while (left > 0) {
        const ssize_t n = ::write(file->fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return -1; // errno tells why
        p += n;
        left -= static_cast<int>(n);
    }
    return bytes;
}

int systemSeek(mspack_file* f, off_t offset, int mode)
{
    auto* file = reinterpret_cast<SystemFile*>(f);
    return file->reading ? mspack_default_system->seek(file->reading, offset, mode) : -1;
}

off_t systemTell(mspack_file* f)
{
    auto* file = reinterpret_cast<SystemFile*>(f);
    return file->reading ? mspack_default_system->tell(file->reading) : -1;
}

mspack_system* quietSystem()
{
    static mspack_system quiet = [] {
        mspack_system s = *mspack_default_system;
        s.open = systemOpen;
        s.close = systemClose;
        s.read = systemRead;
        s.write = systemWrite;
        s.seek = systemSeek;
        s.tell = systemTell;
        s.message = noMessage;
        return s;
    }();
    return &quiet;
}

// The counts a cabinet's header gives, read before the library parses it: its parsing
// links every file to its folder by walking the folder list, so a cabinet claiming tens of
// thousands of both would keep it busy for a minute. False when the header cannot hold
// what a theme package can.
bool countsAcceptable(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return true; // the library reports it
    const QByteArray h = f.read(36);
    if (h.size() < 36 || !h.startsWith("MSCF")) return true;
    const auto* m = reinterpret_cast<const uchar*>(h.constData());
    const int folders = m[26] | (m[27] << 8);
    const int files = m[28] | (m[29] << 8);
    return folders <= kCabMaxMembers && files <= kCabMaxMembers;
}

// What a theme package can need: no member larger than a picture may be, a theme data file
// of a few hundred bytes, and all of them together no more than two pictures and a data
// file. Offsets count too: reaching a member unpacks everything before it in its folder.
bool sizesAcceptable(const mscabd_cabinet* cab)
{
    quint64 total = 0;
    for (const mscabd_file* f = cab->files; f; f = f->next) {
        const quint64 length = f->length;
        const QByteArray name(f->filename);
        const quint64 cap = name.toLower().endsWith(".000") ? quint64(kMaxThemeDataFileBytes)
                                                           : quint64(kMaxPictureFileBytes);
        if (length > cap) return false;
        if (quint64(f->offset) + length > quint64(kCabMaxTotalBytes)) return false;
        total += length;
        if (total > quint64(kCabMaxTotalBytes)) return false;
    }
    return true;
}

struct DecompressorDeleter {
    void operator()(mscab_decompressor* d) const { mspack_destroy_cab_decompressor(d); }
};

// The sizes the headers promise, checked against the bytes the file really holds: every
// data block must lie inside the file and no block may unpack to more than 32 KB. Returns
// the uncompressed size each folder can deliver, or false for a damaged cabinet.
bool folderCapacities(const QString& path, std::vector<quint64>& capacity)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const quint64 size = static_cast<quint64>(f.size());
    if (size < 36) return false;
    const uchar* m = f.map(0, f.size());
    QByteArray copy;
    if (!m) {
        copy = f.readAll();
        if (static_cast<quint64>(copy.size()) != size) return false;
        m = reinterpret_cast<const uchar*>(copy.constData());
    }
    auto u16 = [&](quint64 o) { return static_cast<quint32>(m[o] | (m[o + 1] << 8)); };
    auto u32 = [&](quint64 o) { return u16(o) | (u16(o + 2) << 16); };

    const quint32 folders = u16(26);
    const quint32 flags = u16(30);
    quint64 off = 36;
    quint32 folderReserve = 0, dataReserve = 0;
    if (flags & 0x4) {
        if (off + 4 > size) return false;
        const quint32 headerReserve = u16(36);
        folderReserve = m[38];
        dataReserve = m[39];
        off = 40 + quint64(headerReserve);
    }
    // Previous and next cabinet: two zero-ended strings each.
    const int strings = ((flags & 0x1) ? 2 : 0) + ((flags & 0x2) ? 2 : 0);
    for (int s = 0; s < strings; ++s) {
        while (off < size && m[off] != 0) ++off;
        if (off >= size) return false;
        ++off;
    }
    capacity.assign(folders, 0);
    for (quint32 i = 0; i < folders; ++i) {
        const quint64 entry = off + quint64(i) * (8 + folderReserve);
        if (entry + 8 > size) return false;
        quint64 pos = u32(entry);
        const quint32 blocks = u16(entry + 4);
        quint64 total = 0;
        for (quint32 b = 0; b < blocks; ++b) {
            if (pos + 8 + dataReserve > size) return false;
            const quint32 packed = u16(pos + 4);
            const quint32 unpacked = u16(pos + 6);
            if (unpacked > kBlockMax) return false;
            pos += 8 + dataReserve + packed;
            if (pos > size) return false;
            total += unpacked;
        }
        capacity[i] = total;
    }
    return true;
}

AppError walkError(int code)
{
    return AppError(code, kSource, cabWin32ErrorText(code));
}

} // namespace

QString cabWin32ErrorText(int code)
{
    switch (code) {
    case 2: return QStringLiteral("The system cannot find the file specified.");
    case 3: return QStringLiteral("The system cannot find the path specified.");
    case 4: return QStringLiteral("The system cannot open the file.");
    case 5: return QStringLiteral("Access is denied.");
    case 8: return QStringLiteral("Not enough storage is available to process this command.");
    case 13: return QStringLiteral("Invalid data.");
    case 14: return QStringLiteral("Not enough storage is available to complete this operation.");
    case 15: return QStringLiteral("The system cannot find the drive specified.");
    case 19: return QStringLiteral("The media is write protected.");
    case 20: return QStringLiteral("The system cannot find the device specified.");
    case 21: return QStringLiteral("The device is not ready.");
    case 23: return QStringLiteral("Data error (cyclic redundancy check).");
    case 25: return QStringLiteral("The drive cannot locate a specific area or track on the disk.");
    case 26: return QStringLiteral("The specified disk or diskette cannot be accessed.");
    case 27: return QStringLiteral("The drive cannot find the sector requested.");
    case 29: return QStringLiteral("The system cannot write to the specified device.");
    case 30: return QStringLiteral("The system cannot read from the specified device.");
    case 31: return QStringLiteral("A device attached to the system is not functioning.");
    case 32: return QStringLiteral("The process cannot access the file because it is being used by another process.");
    case 33: return QStringLiteral("The process cannot access the file because another process has locked a portion of the file.");
    case 39: return QStringLiteral("The disk is full.");
    case 82: return QStringLiteral("The directory or file cannot be created.");
    case 111: return QStringLiteral("The file name is too long.");
    case 112: return QStringLiteral("There is not enough space on the disk.");
    case 123: return QStringLiteral("The filename, directory name, or volume label syntax is incorrect.");
    default: return QStringLiteral("Unknown error.");
    }
}

double dosDateTimeToDate(std::uint16_t dosDate, std::uint16_t dosTime)
{
    const int year = 1980 + (dosDate >> 9);
    const int month = (dosDate >> 5) & 0x0F;
    const int day = dosDate & 0x1F;
    const int hour = dosTime >> 11;
    const int minute = (dosTime >> 5) & 0x3F;
    const int second = (dosTime & 0x1F) * 2;
    const QDate date(year, month, day);
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59) return 0;
    const qint64 days = QDate(1899, 12, 30).daysTo(date);
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

QString dateValueText(double value)
{
    qint64 days = static_cast<qint64>(value);
    qint64 secs = static_cast<qint64>((value - static_cast<double>(days)) * 86400.0 + 0.5);
    if (secs >= 86400) {
        ++days;
        secs -= 86400;
    }
    const QDate date = QDate(1899, 12, 30).addDays(days);
    const QString dateText = QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year());
    const int h = static_cast<int>(secs / 3600), mi = static_cast<int>(secs / 60 % 60),
              s = static_cast<int>(secs % 60);
    const QString timeText = QStringLiteral("%1:%2:%3 %4")
                                 .arg(h % 12 == 0 ? 12 : h % 12)
                                 .arg(mi, 2, 10, QLatin1Char('0'))
                                 .arg(s, 2, 10, QLatin1Char('0'))
                                 .arg(h < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
    // Day 0 is no date at all: the value 0 itself reads "12:00:00 AM".
    if (days == 0) return timeText;
    if (secs == 0) return dateText;
    return dateText + QLatin1Char(' ') + timeText;
}

bool MakeFolder(const QString& path)
{
    if (path.isEmpty()) return false;
    QString p = path;
    while (p.size() > 1 && p.endsWith(QLatin1Char('/'))) p.chop(1);
    const QFileInfo info(p);
    if (info.exists()) return info.isDir();
    // mkpath creates the missing ancestors from the deepest existing one down.
    return QDir().mkpath(p) && QFileInfo(p).isDir();
}

void CCabFile::requireName() const
{
    if (cabName_.isEmpty())
        throw AppError(kErrNoCabName, kSource,
                       QStringLiteral("You must set the CabName property before taking any "
                                      "action on the CabFile object."));
}

std::int32_t CCabFile::FileCount()
{
    requireName();
    walk(ModeCount);
    return counter_;
}

bool CCabFile::Extract(const QString& FileToExtract, const QString& OutputPath,
                       const QString& OutputFile)
{
    requireName();
    filter_ = FileToExtract;
    outputPath_ = OutputPath;
    outputFile_ = OutputFile;
    return walk(ModeExtract);
}

bool CCabFile::GetInfo(const QString& FileToInvestigate)
{
    requireName();
    filter_ = FileToInvestigate;
    return walk(ModeInvestigate);
}

QString CCabFile::GetXML(const QString& FileToInvestigate)
{
    requireName();
    filter_ = FileToInvestigate;
    listing_.clear();
    walk(ModeListing);
    return QStringLiteral("<?xml version=\"1.0\"?>") +
           element(QStringLiteral("CABFILE"), element(QStringLiteral("FILES"), listing_),
                   QStringLiteral("CABFILENAME"), cabName_);
}

unsigned CCabFile::fileInCabinet(int mode, FileInCabinet& file)
{
    const QString full = QString::fromLatin1(file.name);
    QString folderPart, filePart;
    splitCabName(full, folderPart, filePart);

    switch (mode) {
    case ModeCount:
        ++counter_;
        return AnswerSkip;

    case ModeInvestigate: {
        const bool match = filter_.isEmpty() || filter_.compare(full, Qt::CaseInsensitive) == 0;
        if (match && FileFound)
            FileFound(filePart, dosDateTimeToDate(file.dosDate, file.dosTime),
                      static_cast<std::int32_t>(file.size), folderPart);
        return (match && !filter_.isEmpty()) ? AnswerStop : AnswerSkip;
    }

    case ModeListing: {
        const bool match = filter_.isEmpty() || filter_.compare(filePart, Qt::CaseInsensitive) == 0;
        if (match) {
            const double date = dosDateTimeToDate(file.dosDate, file.dosTime);
            const QString content = element(QStringLiteral("FULLNAME"), full) +
                                    element(QStringLiteral("NAME"), filePart) +
                                    element(QStringLiteral("DATE"), dateValueText(date)) +
                                    element(QStringLiteral("SIZE"), QString::number(file.size)) +
                                    element(QStringLiteral("PATH"), folderPart);
            listing_ += element(QStringLiteral("FILE"), content) + QStringLiteral("\r\n");
        }
        return (match && !filter_.isEmpty()) ? AnswerStop : AnswerSkip;
    }

    case ModeExtract: {
        if (!filter_.isEmpty() && filter_.compare(full, Qt::CaseInsensitive) != 0) return AnswerSkip;
        bool cancel = false;
        if (BeforeExtract) BeforeExtract(full, cancel);
        if (cancel) return AnswerSkip;

        QString folder = outputPath_;
        if (folder.isEmpty()) {
            const qsizetype cut = cabName_.lastIndexOf(QLatin1Char('/'));
            folder = cut < 0 ? QString() : cabName_.left(cut + 1);
        }
        // Without the output folder nothing can be written: that is the walk's failure.
        const QString root = folder.isEmpty() ? QStringLiteral(".") : folder;
        if (!MakeFolder(root)) throw walkError(82);

        QString name = outputFile_;
        const bool named = !name.isEmpty();
        if (!named) {
            // A name from the cabinet is untrusted: it must stay below the folder.
            name = safeRelativeName(full);
            if (name.isEmpty()) return AnswerSkip;
        }
        QString target = folder;
        if (!target.isEmpty() && !target.endsWith(QLatin1Char('/'))) target += QLatin1Char('/');
        target += name;
        if (QFile::encodeName(target).size() > kMaxTargetBytes) return AnswerSkip;

        if (named) {
            const qsizetype cut = target.lastIndexOf(QLatin1Char('/'));
            if (!MakeFolder(cut < 0 ? QStringLiteral(".") : target.left(cut + 1))) throw walkError(82);
        } else {
            // The member's folders are made below the output folder without following a
            // link (one would carry the file out). A folder of this cabinet standing where
            // another entry puts a file, or the other way round, skips that entry.
            const qsizetype cut = name.lastIndexOf(QLatin1Char('/'));
            switch (cut < 0 ? Made::Yes : makeFoldersBelow(folder, name.left(cut), produced_)) {
            case Made::Yes: break;
            case Made::Link:
            case Made::Clash: return AnswerSkip;
            case Made::Failed: throw walkError(82);
            }
            if (produced_.contains(target) && QFileInfo(target).isDir()) return AnswerSkip;
        }
        // The member replaces only a regular file, and never the cabinet being read.
        const QString problem = outputTargetProblem(target, {cabName_});
        if (!problem.isEmpty()) throw AppError(82, kSource, problem);
        file.target = target;
        return AnswerExtract;
    }
    default:
        return AnswerStop;
    }
}

unsigned CCabFile::fileExtracted(const QString& target, unsigned win32Error)
{
    if (win32Error == 0 && AfterExtract) AfterExtract(target);
    return win32Error;
}

bool CCabFile::walk(int mode)
{
    const QByteArray path = QFile::encodeName(cabName_);
    const QFileInfo info(cabName_);
    if (!info.exists()) throw walkError(kWin32FileNotFound);
    if (!info.isFile() || !info.isReadable()) throw walkError(kWin32ReadFault);
    if (!countsAcceptable(cabName_)) throw walkError(kWin32InvalidData);
    produced_.clear();

    std::unique_ptr<mscab_decompressor, DecompressorDeleter> cabd(
        mspack_create_cab_decompressor(quietSystem()));
    if (!cabd) throw walkError(8);
    mscabd_cabinet* cab = cabd->open(cabd.get(), path.constData());
    if (!cab) throw walkError(win32FromMspack(cabd->last_error(cabd.get())));
    struct Closer {
        mscab_decompressor* d;
        mscabd_cabinet* c;
        ~Closer() { d->close(d, c); }
    } closer{cabd.get(), cab};

    // Check every size the headers give before anything is written.
    std::vector<quint64> capacity;
    if (!folderCapacities(cabName_, capacity)) throw walkError(kWin32InvalidData);
    std::unordered_map<const mscabd_folder*, size_t> folderIndex;
    size_t index = 0;
    for (const mscabd_folder* fol = cab->folders; fol; fol = fol->next) folderIndex[fol] = index++;
    for (mscabd_file* f = cab->files; f; f = f->next) {
        const auto found = folderIndex.find(f->folder);
        if (found == folderIndex.end() || found->second >= capacity.size() ||
            quint64(f->offset) + quint64(f->length) > capacity[found->second])
            throw walkError(kWin32InvalidData);
    }
    if (!sizesAcceptable(cab)) throw walkError(kWin32InvalidData);

    for (mscabd_file* f = cab->files; f; f = f->next) {
        FileInCabinet file;
        // Names are handed over as 8-bit text, the way the cabinet stores them.
        file.name = (f->attribs & MSCAB_ATTRIB_UTF_NAME)
                        ? QString::fromUtf8(f->filename).toLatin1()
                        : QByteArray(f->filename);
        file.size = f->length;
        file.dosDate = static_cast<std::uint16_t>(((f->date_y - 1980) << 9) | (f->date_m << 5) | f->date_d);
        file.dosTime = static_cast<std::uint16_t>((f->time_h << 11) | (f->time_m << 5) | (f->time_s / 2));

        const unsigned answer = fileInCabinet(mode, file);
        if (answer == AnswerStop) break;
        if (answer != AnswerExtract) continue;

        // Unpack beside the target and move it into place, so that a failure never leaves
        // a half-written file under the target's name.
        const QString target = file.target;
        const qsizetype cut = target.lastIndexOf(QLatin1Char('/'));
        QTemporaryFile temp((cut < 0 ? QStringLiteral(".") : target.left(cut)) +
                            QStringLiteral("/.cabfile-XXXXXX"));
        unsigned error = 0;
        if (!temp.open()) {
            error = 82;
        } else {
            temp.close();
            const int rc = cabd->extract(cabd.get(), f, QFile::encodeName(temp.fileName()).constData());
            if (rc != MSPACK_ERR_OK) {
                error = static_cast<unsigned>(win32FromMspack(rc));
            } else if (QFileInfo(temp.fileName()).size() != qint64(f->length)) {
                error = kWin32WriteFault; // a write went missing on the way
            } else {
                QFile::setPermissions(temp.fileName(), QFile::ReadOwner | QFile::WriteOwner |
                                                            QFile::ReadGroup | QFile::ReadOther);
                if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                                QFile::encodeName(target).constData()) != 0)
                    error = 82;
                else {
                    temp.setAutoRemove(false);
                    produced_.insert(target);
                }
            }
        }
        const unsigned reply = fileExtracted(target, error);
        if (reply != 0) throw walkError(static_cast<int>(reply));
    }
    return true;
}

} // namespace orv
