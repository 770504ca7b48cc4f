// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/SingleInstance.h"
#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
const QByteArray kActivate = "activate\n";
const QByteArray kDone = "done\n";
constexpr int kTimeoutMs = 3000;

// The folder's canonical path, also for a folder that does not exist yet: the part that
// exists is resolved and the rest appended, so a start before the folder is made and one after
// name the same socket.
QString canonicalFolder(const QString &folder)
{
    QString existing = QDir::cleanPath(QDir(folder).absolutePath());
    QStringList missing;
    while (!QFileInfo::exists(existing) && existing != QLatin1String("/")) {
        missing.prepend(QFileInfo(existing).fileName());
        existing = QFileInfo(existing).path();
    }
    QString canonical = QFileInfo(existing).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = existing;
    for (const QString &part : std::as_const(missing))
        canonical += (canonical.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + part;
    return canonical;
}

// A folder only this user can enter, for the socket: a bare name would go to /tmp, where
// another user could take it first and keep the program from starting. The user's runtime
// folder when the session has one, else a folder of the program's own in the user's cache.
QString socketFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt checks that the folder is the user's own and nobody else's to enter.
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty())
            return runtime;
    }
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/korvel-jotwell");
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

} // namespace

SingleInstance::SingleInstance(const QString &programFolder, QObject *parent) : QObject(parent)
{
    const QByteArray hash =
        QCryptographicHash::hash(canonicalFolder(programFolder).toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    m_serverName = socketFolder() + QStringLiteral("/korvel-jotwell-%1").arg(QString::fromLatin1(hash));
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::activatePreviousInstance()
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
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

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // A socket left by a crashed instance answers nobody; a live one answers.
        if (activatePreviousInstance())
            return false;
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName)) {
            // Nobody answers and the place cannot be taken: better two instances than none.
            qWarning().noquote() << tr("Korvel Jotwell cannot listen on %1 (%2); it starts without "
                                       "noticing a second start.")
                                        .arg(m_serverName, m_server->errorString());
            return true;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection()) {
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
