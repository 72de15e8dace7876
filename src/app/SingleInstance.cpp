#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "xframe.instance")

namespace {
// One line each way: the later start sends the request, the frame confirms it.
const QByteArray kRaise = "raise";
const QByteArray kDone = "ok";
// A peer that sends more than this without a line end is not one of ours.
const qint64 kMaxRequest = 256;
}

SingleInstance::SingleInstance(const QString& storeKey, QObject* parent)
    : QObject(parent), m_name(ServerNameFor(storeKey))
{
}

QString SingleInstance::ServerNameFor(const QString& storeKey)
{
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(QDir::cleanPath(storeKey).toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    // The runtime folder belongs to the user alone (mode 0700), so no one else can answer in our
    // place. A socket path holds at most 107 bytes; past that the plain name, which Qt puts in
    // the temporary folder, carries the user id instead.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    const QString path = dir + QStringLiteral("/xframe-") + hash + QStringLiteral(".socket");
    if (!dir.isEmpty() && QFile::encodeName(path).size() < 100)
        return path;
    return QStringLiteral("xframe-%1-%2").arg(uint(getuid())).arg(hash);
}

SingleInstance::Outcome SingleInstance::Claim(int timeoutMs)
{
    if (forward(timeoutMs))
        return Forwarded;
    if (listen())
        return Primary;
    if (m_pServer->serverError() == QAbstractSocket::AddressInUseError) {
        // Either a start that came at the same moment has just claimed it, or the socket is
        // what a frame that crashed left behind: nobody answers there.
        if (forward(timeoutMs))
            return Forwarded;
        qCDebug(lcInstance, "taking over %s, left behind by a frame that ended without closing it", qPrintable(m_name));
        QLocalServer::removeServer(m_name);
        if (listen())
            return Primary;
    }
    qWarning("xframe: cannot listen on %s (%s); a second start will open a second frame",
             qPrintable(m_name), qPrintable(m_pServer->errorString()));
    return Unguarded;
}

bool SingleInstance::forward(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRaise + '\n');
    socket.waitForBytesWritten(timeoutMs);
    while (!socket.canReadLine() && socket.waitForReadyRead(timeoutMs)) {
    }
    // A frame that accepted the connection runs on this store even when it is too busy to
    // answer in time; opening a second one beside it is what this guard exists to prevent.
    if (!socket.canReadLine() || socket.readLine().trimmed() != kDone)
        qWarning("xframe: the frame already running did not confirm the request to come forward");
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen()
{
    if (!m_pServer) {
        // No access options: Qt then binds under a temporary name and renames it over the path,
        // which would replace a running frame's socket instead of failing with AddressInUse.
        // The runtime folder (or, in the temporary folder, the umask) keeps others out.
        m_pServer = new QLocalServer(this);
        connect(m_pServer, &QLocalServer::newConnection, this, &SingleInstance::serve);
    }
    if (!m_pServer->listen(m_name))
        return false;
    qCDebug(lcInstance, "the frame for this store listens on %s", qPrintable(m_pServer->fullServerName()));
    return true;
}

void SingleInstance::serve()
{
    while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                const QByteArray request = socket->readLine().trimmed();
                if (request != kRaise) {
                    qWarning("xframe: ignoring an unknown request on %s", qPrintable(m_name));
                    continue;
                }
                socket->write(kDone + '\n');
                socket->flush();
                emit raiseRequested();
            }
            if (socket->bytesAvailable() > kMaxRequest) {
                qWarning("xframe: dropping a connection on %s that sends no requests", qPrintable(m_name));
                socket->abort();
            }
        });
    }
}
