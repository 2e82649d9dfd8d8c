// The settings store. QSettings reads a settings file whole, so a file with an overlong line
// (a value of megabytes, hand-edited or planted) is first copied with every line cut to a
// bound, and the copy is read; each value is then cut to what its use allows.
#include "app/settings_store.h"

#include "app/safe_write.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <memory>

namespace orv {

namespace {

// A line holds one key and its value: a path of 4,096 bytes with every byte escaped fits.
constexpr qint64 kMaxLineBytes = 4 * 4096 + 256;
// The store holds a dozen short values; a file beyond this is read only this far.
constexpr qint64 kMaxFileBytes = 256 * 1024;

// Where QSettings keeps the application's file, found without reading it: a QSettings for a
// name that has no file reads nothing.
QString settingsPathOf(const QString& application)
{
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope, application,
                          application + "-location");
    return QFileInfo(probe.fileName()).path() + '/' + application + ".ini";
}

// The file with every line cut to kMaxLineBytes and the whole to kMaxFileBytes, read in
// pieces of a bounded size. tidy tells whether nothing had to be cut.
QByteArray boundedCopy(const QString& path, bool& tidy)
{
    tidy = true;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    if (f.size() > kMaxFileBytes) tidy = false;
    QByteArray out;
    QByteArray chunk(int(kMaxLineBytes) + 2, Qt::Uninitialized);
    bool inLine = false; // a line's first kMaxLineBytes were kept, the rest is skipped
    while (out.size() < kMaxFileBytes) {
        const qint64 n = f.readLine(chunk.data(), chunk.size());
        if (n <= 0) break;
        const bool ended = chunk[int(n) - 1] == '\n';
        if (!inLine) {
            out.append(chunk.constData(), int(std::min<qint64>(n, kMaxLineBytes)));
            if (n > kMaxLineBytes) tidy = false;
        } else {
            tidy = false;
        }
        if (ended) {
            if (!out.endsWith('\n')) out.append('\n');
            inLine = false;
        } else {
            inLine = true;
        }
    }
    if (!f.atEnd()) tidy = false;
    return out;
}

// A QSettings over the application's file, or over a bounded copy of it when the file holds
// more than a settings file ever needs.
struct BoundedSettings {
    std::unique_ptr<QTemporaryFile> copy;
    std::unique_ptr<QSettings> settings;

    explicit BoundedSettings(const QString& application)
    {
        bool tidy = true;
        const QString path = settingsPathOf(application);
        const QByteArray bounded = QFileInfo(path).isFile() ? boundedCopy(path, tidy) : QByteArray();
        if (tidy) {
            settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                   application, application);
            return;
        }
        copy = std::make_unique<QTemporaryFile>();
        if (copy->open() && copy->write(bounded) == bounded.size() && copy->flush()) {
            copy->close();
            settings = std::make_unique<QSettings>(copy->fileName(), QSettings::IniFormat);
        }
    }
};

} // namespace

int maxSettingLength(const QString& key)
{
    if (key == QLatin1String("Name1") || key == QLatin1String("Name2") ||
        key == QLatin1String("Name3"))
        return 22;
    if (key.endsWith(QLatin1String("Path"))) return 4096;
    // Switches and the window height: the longest stored value is a skin's picture name.
    return 64;
}

QString cutSetting(const QString& key, const QString& value)
{
    const int max = maxSettingLength(key);
    if (!key.endsWith(QLatin1String("Path"))) {
        if (value.size() <= max) return value;
        qsizetype end = max;
        if (value[end - 1].isHighSurrogate()) --end; // never half a character
        return value.left(end);
    }
    // Paths are bounded in bytes, as the file system counts them.
    QByteArray bytes = value.toUtf8();
    if (bytes.size() <= max) return value;
    qsizetype end = max;
    while (end > 0 && (uchar(bytes[end]) & 0xC0) == 0x80) --end; // at a character's start
    return QString::fromUtf8(bytes.left(end));
}

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue)
{
    BoundedSettings s(application);
    if (!s.settings) return defaultValue;
    return cutSetting(key, s.settings->value(section + "/" + key, defaultValue).toString());
}

bool SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value)
{
    // An overlong file is first replaced by its bounded copy, which is all that was read.
    const QString path = settingsPathOf(application);
    if (QFileInfo(path).isFile()) {
        bool tidy = true;
        const QByteArray bounded = boundedCopy(path, tidy);
        if (!tidy) writeFileWhole(path, bounded);
    }
    QSettings s(QSettings::IniFormat, QSettings::UserScope, application, application);
    s.setValue(section + "/" + key, value);
    s.sync();
    return s.status() == QSettings::NoError;
}

QString settingsFileOf(const QString& application)
{
    return settingsPathOf(application);
}

} // namespace orv
