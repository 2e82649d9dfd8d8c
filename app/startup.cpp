// Start-up and close: settings, the working directories, the theme template and the first
// screen, the one-instance lock and the file association.
#include "app/startup.h"

#include "app/association.h"
#include "app/editor_session.h"
#include "app/recovery.h"
#include "app/safe_write.h"
#include "app/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

namespace orv {

namespace {
const QString kOrvantis = QStringLiteral("Orvantis");
const QString kStartup = QStringLiteral("Startup");
} // namespace

InstanceLock acquireSingleInstance(const QString& dataDir)
{
    InstanceLock result;
    const QString path = dataDir + "/orvantis.lock";
    const QString unwritable = "The data folder " + dataDir +
                               " cannot be written. Orvantis keeps its working files there.";
    if (!QDir().mkpath(dataDir) || !QFileInfo(dataDir).isDir()) {
        result.message = unwritable;
        return result;
    }
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    for (int attempt = 0; attempt < 2 && !lock->tryLock(0); ++attempt) {
        if (lock->error() != QLockFile::LockFailedError) {
            result.message = unwritable;
            return result;
        }
        qint64 pid = 0;
        QString host, app;
        if (lock->getLockInfo(&pid, &host, &app)) {
            // Qt has already taken over the lock of a process of this machine that is gone,
            // so a readable lock that stands is a live instance here, or one elsewhere.
            if (host.isEmpty() || host == QSysInfo::machineHostName()) {
                result.state = InstanceLock::State::OtherInstance;
            } else {
                result.message = "Orvantis seems to be running on " + host +
                                 " with this data folder. If it is not, delete " + path +
                                 " and start Orvantis again.";
            }
            return result;
        }
        // No instance can have written this lock (empty or garbage); give one that is just
        // being written a moment to finish, then take it over.
        if (attempt == 0) QThread::msleep(200);
        if (!lock->getLockInfo(&pid, &host, &app)) lock->removeStaleLockFile();
    }
    if (!lock->isLocked()) {
        result.message = unwritable;
        return result;
    }
    result.state = InstanceLock::State::Held;
    result.lock = std::move(lock);
    return result;
}

QString xdgDataHome()
{
    QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (xdg.isEmpty()) xdg = QDir::homePath() + "/.local/share";
    return xdg;
}

static QString mimePackagePath(const QString& home) { return home + "/mime/packages/orvantis-tsk.xml"; }
static QString desktopEntryPath(const QString& home) { return home + "/applications/" + kDesktopEntryName; }

bool fileAssociationExists(const QString& home)
{
    return QFile::exists(mimePackagePath(home)) && QFile::exists(desktopEntryPath(home));
}

static void writeWhole(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!writeFileWhole(path, bytes))
        throw AppError(75, "Orvantis", "Path/File access error: " + path);
}

// Earlier versions wrote the per-user entry under a name of its own, which stood beside the
// installed entry as a second Orvantis; it goes when the entry under the right id is there.
static void removeFormerDesktopEntry(const QString& home)
{
    const QString former = home + "/applications/" + kFormerDesktopEntryName;
    QFile file(former);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray entry = file.read(64 * 1024);
    file.close();
    // Only ours: a file of that name that opens packages with an Orvantis program.
    if (entry.startsWith("[Desktop Entry]") && entry.contains("\nName=Orvantis\n") &&
        entry.contains("MimeType=" + kPackageMimeType.toUtf8() + ";"))
        QFile::remove(former);
}

void RegisterFileType(const QString& home, const QString& programDir)
{
    writeWhole(mimePackagePath(home),
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"application/x-orvantis-document\">\n"
               "    <comment>Orvantis Document</comment>\n"
               "    <glob pattern=\"*.tsk\"/>\n"
               "    <sub-class-of type=\"application/vnd.ms-cab-compressed\"/>\n"
               "    <icon name=\"application-x-orvantis-document\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n");
    // Under the installed entry's id the per-user entry overrides it: one Orvantis in the
    // menus, opening packages with this program.
    writeWhole(desktopEntryPath(home), desktopEntryFor(programDir));
    removeFormerDesktopEntry(home);
    // Written is not yet known: desktops read the caches, not these files.
    refreshAssociationCaches(home);
    installAssociationIcons(home);
}

void EditorSession::readStartupSettings()
{
    state.Name1 = GetSetting(kOrvantis, kStartup, "Name1", "Kip Varro");
    state.Name2 = GetSetting(kOrvantis, kStartup, "Name2", "Nell Varro");
    state.Name3 = GetSetting(kOrvantis, kStartup, "Name3", "Otto Brenn");
    state.Paths = GetSetting(kOrvantis, kStartup, "Paths", "no");
    state.colourDepth256 = GetSetting("Vantor", "Statup", "CD", "256") == "256";
    state.TodayText = GetSetting(kOrvantis, kStartup, "TodayText", "all");
    state.Skin = GetSetting(kOrvantis, kStartup, "Skin", "Y");
}

void EditorSession::formLoad(const QString& commandLine)
{
    state.commandLine = commandLine;
    const QString upper = commandLine.toUpper();
    trap("Load", [&] {
        folders_.createWorkingDirectories();

        if (upper == "NOSKIN") {
            state.Skin = "NAKED-XP";
            SaveSetting(kOrvantis, kStartup, "Skin", state.Skin);
        }

        const QString base = folders_.dataDir;
        const bool readPaths = state.Paths == "yes";
        auto folder = [&](const char* key, const QString& def) {
            return readPaths ? GetSetting(kOrvantis, kStartup, key, def) : def;
        };
        state.ThemePath = folder("ThemePath", base + "/tsk/");
        state.ImagesPath = folder("ImagesPath", base + "/images/");
        state.CapturePath = folder("CapturePath", base + "/capture/");
        state.TSKPath = folder("TSKPath", base + "/tsk");

        QFile templ(":/template/theme-template.000");
        if (!templ.open(QIODevice::ReadOnly))
            throw AppError(326, "Orvantis", "Resource with identifier '666' not found");
        state.themeTemplate = templ.readAll();
        state.themeDataBuffer = QByteArray(2, '\0');

        theme.SetDefaultColours();

        setupCanvas();
        LoadIconImages();

        adjustToday = AdjustmentSet{};
        adjustMenu = AdjustmentSet{};

        // Linux names are case-sensitive: the package is opened by the name as given.
        if (upper.size() < 5 || !upper.endsWith("TSK")) {
            theme.menuFollowsMain = true;
            DoScreenMain();
        } else {
            theme.menuFollowsMain = false;
            LoadTheme(commandLine);
        }

        state.ditherMain = true;
        state.ditherMenu = true;
        emit captionsChanged();
    });
}

void EditorSession::formUnload()
{
    // The program never asks about unsaved changes: it keeps them for the next start.
    if (isModified()) keepTheme(*this);
    SaveSetting(kOrvantis, kStartup, "ThemePath", state.ThemePath);
    SaveSetting(kOrvantis, kStartup, "ImagesPath", state.ImagesPath);
    SaveSetting(kOrvantis, kStartup, "CapturePath", state.CapturePath);
    SaveSetting(kOrvantis, kStartup, "TSKPath", state.TSKPath);
    SaveSetting("Vantor", "Statup", "CD", state.colourDepth256 ? "256" : "16M");
}

} // namespace orv
