#pragma once
// One editor per user session: a later start with a package hands the package's path to
// the running editor over a local socket in the user's runtime folder, and ends.
// The protocol is one line each way: the path, then "ok" once the editor has taken it.

#include <QObject>
#include <QString>

class QLocalServer;

namespace orv {

// The socket of the editor that works on dataDir, in the user's runtime folder.
QString handoverSocketPath(const QString& dataDir);

// The later start: true when the running editor took the path within timeoutMs.
bool handOver(const QString& socketPath, const QString& packagePath, int timeoutMs = 2000);

// The running editor's end: reports each path handed over.
class HandoverServer : public QObject {
    Q_OBJECT
public:
    explicit HandoverServer(QObject* parent = nullptr);
    // Listens on socketPath, taking over a socket left by an editor that is gone.
    bool listen(const QString& socketPath);

signals:
    void packageHandedOver(const QString& path);

private:
    void takeConnection();
    QLocalServer* server_;
};

} // namespace orv
