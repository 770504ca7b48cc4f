#include "app/SingleInstance.h"
#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace {
const QByteArray kActivate = "activate\n";
const QByteArray kDone = "done\n";
constexpr int kTimeoutMs = 3000;
}

KvSingleInstance::KvSingleInstance(const QString &programFolder, QObject *parent) : QObject(parent)
{
    const QByteArray folder = QDir(programFolder).canonicalPath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder.isEmpty() ? programFolder.toUtf8() : folder,
                                                     QCryptographicHash::Sha1).toHex().left(16);
    FServerName = QStringLiteral("korvel-jotwell-%1-%2").arg(getuid()).arg(QString::fromLatin1(hash));
}

KvSingleInstance::~KvSingleInstance() = default;

bool KvSingleInstance::ActivatePreviousInstance()
{
    QLocalSocket socket;
    socket.connectToServer(FServerName);
    if (!socket.waitForConnected(kTimeoutMs))
        return false;
    socket.write(kActivate);
    socket.waitForBytesWritten(kTimeoutMs);
    // The answer tells that the running instance took the request; a server that accepted
    // the connection but is stuck still counts as running, so this start ends either way.
    socket.waitForReadyRead(kTimeoutMs);
    socket.disconnectFromServer();
    return true;
}

bool KvSingleInstance::listen()
{
    FServer = new QLocalServer(this);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    if (!FServer->listen(FServerName)) {
        // A socket left by a crashed instance answers nobody; a live one answers.
        if (ActivatePreviousInstance())
            return false;
        QLocalServer::removeServer(FServerName);
        if (!FServer->listen(FServerName))
            return false;
    }
    connect(FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = FServer->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                if (client->readAll().contains(kActivate.trimmed())) {
                    emit activationRequested();
                    client->write(kDone);
                    client->flush();
                }
            });
        }
    });
    return true;
}
