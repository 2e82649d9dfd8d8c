#include "transfer/drive_list.h"

#include <QDir>
#include <QStorageInfo>

namespace orv {

namespace {

bool isMediaMount(const QString& root)
{
    for (const char* prefix : {"/media/", "/run/media/", "/mnt/"})
        if (root.startsWith(QLatin1String(prefix))) return true;
    return false;
}

bool isUnder(const QString& path, const QString& root)
{
    if (root == "/") return path.startsWith('/');
    return path == root || path.startsWith(root + '/');
}

} // namespace

QList<Drive> pickableDrives()
{
    QList<Drive> drives{{"/", "/  [root]"}};
    auto add = [&drives](const QString& root, const QString& label) {
        for (const Drive& d : drives)
            if (d.root == root) return;
        drives.append({root, label});
    };

    const QString home = QDir::cleanPath(QDir::homePath());
    add(home, home + "  [home]");
    const QStorageInfo homeVolume(home);
    if (homeVolume.isValid()) add(QDir::cleanPath(homeVolume.rootPath()), homeVolume.rootPath());

    QList<QStorageInfo> media;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady() && isMediaMount(v.rootPath())) media.append(v);
    std::sort(media.begin(), media.end(),
              [](const QStorageInfo& a, const QStorageInfo& b) { return a.rootPath() < b.rootPath(); });
    for (const QStorageInfo& v : media) {
        const QString name = v.displayName();
        add(QDir::cleanPath(v.rootPath()),
            name.isEmpty() || name == v.rootPath() ? v.rootPath() : v.rootPath() + "  [" + name + "]");
    }
    return drives;
}

int driveIndexOf(const QList<Drive>& drives, const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    int best = -1;
    for (int i = 0; i < drives.size(); ++i) {
        if (!isUnder(clean, drives[i].root)) continue;
        if (best < 0 || drives[i].root.size() > drives[best].root.size()) best = i;
    }
    return best;
}

} // namespace orv
