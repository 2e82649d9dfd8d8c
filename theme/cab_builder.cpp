// glib uses "signals" as a name, which Qt defines as a keyword: include it first.
#include <libgcab.h>

#include "theme/cab_builder.h"

#include "app/output_target.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

// A member's time stamp: the file's own, or, for reproducible packages, SOURCE_DATE_EPOCH
// (seconds since 1970) taken as UTC so that the same inputs give the same bytes anywhere.
// An epoch the cabinet's DOS date cannot hold (before 1980, after 2107) is ignored.
GDateTime* memberTime(const QFileInfo& info)
{
    bool ok = false;
    const qint64 epoch = qEnvironmentVariable("SOURCE_DATE_EPOCH").toLongLong(&ok);
    if (ok && epoch >= 315532800 && epoch <= 4354819199) return g_date_time_new_from_unix_utc(epoch);
    return g_date_time_new_from_unix_local(info.lastModified().toSecsSinceEpoch());
}

// The directives the editor's directive file uses. Size limits and reserves are accepted
// and ignored: one cabinet is written whatever they say.
enum class Kind { OnOff, Number, Text };
struct Known {
    const char* key;
    Kind kind;
};
constexpr Known kKnown[] = {
    {"Cabinet", Kind::OnOff},
    {"Compress", Kind::OnOff},
    {"CabinetFileCountThreshold", Kind::Number},
    {"FolderFileCountThreshold", Kind::Number},
    {"FolderSizeThreshold", Kind::Number},
    {"MaxCabinetSize", Kind::Number},
    {"MaxDiskFileCount", Kind::Number},
    {"MaxDiskSize", Kind::Number},
    {"ReservePerCabinetSize", Kind::Number},
    {"ReservePerDataBlockSize", Kind::Number},
    {"ReservePerFolderSize", Kind::Number},
    {"UniqueFiles", Kind::OnOff},
    {"DiskDirectory1", Kind::Text},
    {"DiskLabel1", Kind::Text},
    {"CabinetName1", Kind::Text},
};

// A cabinet member name holds at most 255 bytes; a folder at most 65535 blocks of 32 KB.
constexpr qsizetype kMaxMemberName = 255;
constexpr qint64 kMaxCabinetData = qint64(32768) * 65535;

QString unquote(QString v)
{
    v = v.trimmed();
    if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
        v = v.mid(1, v.size() - 2);
    return v;
}

QString lineError(int line, const QString& what) { return QStringLiteral("line %1: %2").arg(line).arg(what); }

bool isPlainName(const QString& n)
{
    return !n.isEmpty() && n != QLatin1String(".") && n != QLatin1String("..") &&
           !n.contains(QLatin1Char('/')) && !n.contains(QLatin1Char('\\'));
}

template <typename T> struct GUnref {
    void operator()(T* p) const { g_object_unref(p); }
};
template <typename T> using GPtr = std::unique_ptr<T, GUnref<T>>;

struct GErrorHolder {
    GError* error = nullptr;
    ~GErrorHolder() { g_clear_error(&error); }
    QString text() const { return error ? QString::fromUtf8(error->message) : QStringLiteral("unknown error"); }
};

// Writes bytes under a temporary name beside path and renames that over path once every
// byte is written. Empty when done, otherwise why not (the temporary file is then removed).
QString writeBeside(const QString& path, const QByteArray& bytes)
{
    QByteArray temp = QFile::encodeName(path) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return QString::fromLocal8Bit(std::strerror(errno));
    int failure = ::fchmod(fd, 0644) == 0 ? 0 : errno;
    for (qsizetype done = 0; failure == 0 && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EINTR) failure = errno;
        if (n > 0) done += n;
    }
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure == 0 && ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        failure = errno;
    if (failure == 0) return {};
    ::unlink(temp.constData());
    return QString::fromLocal8Bit(std::strerror(failure));
}

} // namespace

CabDirectives parseDirectives(const QByteArray& text)
{
    CabDirectives d;
    // The editor writes UTF-8; a file that is not valid UTF-8 is taken as Latin-1.
    const bool isUtf8 = QString::fromUtf8(text).toUtf8() == text;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i + 1);
        QByteArray raw = lines[i];
        if (raw.endsWith('\r')) raw.chop(1);
        const QString line = (isUtf8 ? QString::fromUtf8(raw) : QString::fromLatin1(raw)).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;

        if (!line.startsWith(QLatin1Char('.'))) {
            // A file line: the source file, optionally followed by its name in the cabinet.
            QStringList parts;
            QString rest = line;
            while (!rest.isEmpty()) {
                QString token;
                if (rest.startsWith(QLatin1Char('"'))) {
                    const qsizetype close = rest.indexOf(QLatin1Char('"'), 1);
                    if (close < 0) throw CabBuildError(lineError(lineNo, QStringLiteral("unterminated quote: ") + line));
                    token = rest.mid(1, close - 1);
                    rest = rest.mid(close + 1).trimmed();
                } else {
                    const qsizetype space = rest.indexOf(QRegularExpression(QStringLiteral("\\s")));
                    token = space < 0 ? rest : rest.left(space);
                    rest = space < 0 ? QString() : rest.mid(space).trimmed();
                }
                parts << token;
            }
            if (parts.size() > 2 || parts.first().isEmpty())
                throw CabBuildError(lineError(lineNo, QStringLiteral("unknown file line: ") + line));
            const QString member = parts.size() == 2 ? parts[1] : QFileInfo(parts[0]).fileName();
            if (member.isEmpty() || member.toLatin1().size() > kMaxMemberName)
                throw CabBuildError(lineError(lineNo, QStringLiteral("bad name in cabinet: ") + line));
            d.files << parts[0];
            d.names << member;
            continue;
        }

        static const QRegularExpression setRe(QStringLiteral("^\\.set\\s+([A-Za-z0-9]+)\\s*=\\s*(.*)$"),
                                              QRegularExpression::CaseInsensitiveOption);
        const auto m = setRe.match(line);
        if (!m.hasMatch()) throw CabBuildError(lineError(lineNo, QStringLiteral("unknown directive: ") + line));
        const QString key = m.captured(1);
        const QString value = unquote(m.captured(2));
        const Known* known = nullptr;
        for (const auto& k : kKnown)
            if (key.compare(QLatin1String(k.key), Qt::CaseInsensitive) == 0) known = &k;
        if (!known) throw CabBuildError(lineError(lineNo, QStringLiteral("unknown directive: ") + line));

        bool ok = true;
        bool on = false;
        switch (known->kind) {
        case Kind::OnOff:
            on = value.compare(QLatin1String("ON"), Qt::CaseInsensitive) == 0;
            ok = on || value.compare(QLatin1String("OFF"), Qt::CaseInsensitive) == 0;
            break;
        case Kind::Number:
            value.toLongLong(&ok);
            break;
        case Kind::Text:
            break;
        }
        if (!ok) throw CabBuildError(lineError(lineNo, QStringLiteral("bad value: ") + line));

        const QString k = QLatin1String(known->key);
        if (k == QLatin1String("Cabinet") && !on)
            throw CabBuildError(lineError(lineNo, QStringLiteral("only cabinets are written: ") + line));
        if (k == QLatin1String("Compress")) d.compress = on;
        if (k == QLatin1String("CabinetName1")) {
            if (!isPlainName(value))
                throw CabBuildError(lineError(lineNo, QStringLiteral("bad cabinet name: ") + line));
            d.cabinetName = value;
        }
        if (k == QLatin1String("DiskDirectory1")) {
            if (value.isEmpty()) throw CabBuildError(lineError(lineNo, QStringLiteral("bad value: ") + line));
            d.diskDirectory = value;
        }
    }
    return d;
}

QString buildCabinet(const CabDirectives& directives, const QString& baseDir)
{
    const QDir base(baseDir);
    GPtr<GCabCabinet> cabinet(gcab_cabinet_new());
    GPtr<GCabFolder> folder(gcab_folder_new(directives.compress ? GCAB_COMPRESSION_MSZIP
                                                                : GCAB_COMPRESSION_NONE));
    qint64 total = 0;
    for (qsizetype i = 0; i < directives.files.size(); ++i) {
        const QString source = base.filePath(directives.files[i]);
        QFile in(source);
        const QFileInfo info(source);
        if (!info.isFile() || !in.open(QIODevice::ReadOnly))
            throw CabBuildError(QStringLiteral("cannot read file: ") + directives.files[i]);
        const QByteArray data = in.readAll();
        if (in.error() != QFileDevice::NoError)
            throw CabBuildError(QStringLiteral("cannot read file: ") + directives.files[i]);
        total += data.size();
        if (total > kMaxCabinetData)
            throw CabBuildError(QStringLiteral("files too large for one cabinet: ") + directives.files[i]);

        const QString member = i < directives.names.size() ? directives.names[i]
                                                           : info.fileName();
        GBytes* bytes = g_bytes_new(data.constData(), static_cast<gsize>(data.size()));
        GPtr<GCabFile> file(gcab_file_new_with_bytes(member.toLatin1().constData(), bytes));
        g_bytes_unref(bytes);
        GDateTime* when = memberTime(info);
        gcab_file_set_date_time(file.get(), when);
        g_date_time_unref(when);
        gcab_file_set_attributes(file.get(), GCAB_FILE_ATTRIBUTE_ARCH);

        GErrorHolder err;
        if (!gcab_folder_add_file(folder.get(), file.get(), FALSE, nullptr, &err.error))
            throw CabBuildError(QStringLiteral("cannot add file: ") + directives.files[i] +
                                QStringLiteral(": ") + err.text());
    }
    {
        GErrorHolder err;
        if (!gcab_cabinet_add_folder(cabinet.get(), folder.get(), &err.error))
            throw CabBuildError(QStringLiteral("cannot build cabinet: ") + err.text());
    }

    GPtr<GOutputStream> memory(g_memory_output_stream_new_resizable());
    {
        GErrorHolder err;
        if (!gcab_cabinet_write_simple(cabinet.get(), memory.get(), nullptr, nullptr, nullptr, &err.error) ||
            !g_output_stream_close(memory.get(), nullptr, &err.error))
            throw CabBuildError(QStringLiteral("cannot build cabinet: ") + err.text());
    }
    auto* mem = G_MEMORY_OUTPUT_STREAM(memory.get());
    const QByteArray bytes(static_cast<const char*>(g_memory_output_stream_get_data(mem)),
                           static_cast<qsizetype>(g_memory_output_stream_get_data_size(mem)));

    // Written under a temporary name and renamed when complete. It is not waited onto the
    // disk: the editor copies the cabinet to its place (and waits for that copy), and a
    // cabinet built by hand is as safe as any other file a build tool writes.
    const QString outPath = QDir(base.filePath(directives.diskDirectory)).filePath(directives.cabinetName);
    if (const QString problem = outputTargetProblem(outPath); !problem.isEmpty())
        throw CabBuildError(QStringLiteral("cannot write cabinet: ") + outPath + QStringLiteral(": ") + problem);
    if (const QString why = writeBeside(outPath, bytes); !why.isEmpty())
        throw CabBuildError(QStringLiteral("cannot write cabinet: ") + outPath + QStringLiteral(": ") + why);
    return outPath;
}

int runMakecab(const QStringList& args, const QString& workDir, QString& errorLine)
{
    if (args.size() != 2 || (args[0].compare(QLatin1String("/f"), Qt::CaseInsensitive) != 0 &&
                             args[0].compare(QLatin1String("-f"), Qt::CaseInsensitive) != 0)) {
        errorLine = QStringLiteral("usage: makecab /f directive-file");
        return 1;
    }
    const QString ddf = QDir(workDir).filePath(args[1]);
    QFile in(ddf);
    if (!in.open(QIODevice::ReadOnly)) {
        errorLine = QStringLiteral("cannot read directive file: ") + args[1];
        return 1;
    }
    // A directive file is a few lines; anything huge is not one.
    const QByteArray text = in.read(1 << 20);
    try {
        const CabDirectives d = parseDirectives(text);
        buildCabinet(d, workDir);
    } catch (const CabBuildError& e) {
        errorLine = e.message();
        if (e.message().startsWith(QLatin1String("line "))) errorLine = args[1] + QStringLiteral(" ") + e.message();
        return 1;
    }
    return 0;
}

} // namespace orv
