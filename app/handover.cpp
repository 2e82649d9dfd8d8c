#include "app/handover.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace orv {

namespace {
// A path is short; anything longer than this is not one of ours.
constexpr qint64 kLongestLine = 8192;
} // namespace

QString handoverSocketPath(const QString& dataDir)
{
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty()) runtime = QDir::tempPath();
    const QByteArray key = QCryptographicHash::hash(QDir(dataDir).absolutePath().toUtf8(),
                                                    QCryptographicHash::Sha1).toHex().left(16);
    return runtime + "/orvantis-" + QString::fromLatin1(key);
}

bool handOver(const QString& socketPath, const QString& packagePath, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(packagePath.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs)) return false;
    }
    return socket.readLine().trimmed() == "ok";
}

HandoverServer::HandoverServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &HandoverServer::takeConnection);
}

bool HandoverServer::listen(const QString& socketPath)
{
    // The instance lock is held: a socket file there was left by an editor that is gone.
    QLocalServer::removeServer(socketPath);
    return server_->listen(socketPath);
}

void HandoverServer::takeConnection()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kLongestLine) socket->abort();
                return;
            }
            const QString path = QString::fromUtf8(socket->readLine(kLongestLine)).trimmed();
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            if (!path.isEmpty()) emit packageHandedOver(path);
        });
    }
}

} // namespace orv
