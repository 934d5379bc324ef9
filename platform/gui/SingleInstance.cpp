// SPDX-License-Identifier: GPL-2.0-or-later
#include "SingleInstance.h"

#include "DevicePath.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {

constexpr int kNameHashChars = 16;

QString UserName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QString::number(qulonglong(getuid()));
    return user;
}

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent), m_server(std::make_unique<QLocalServer>())
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
}

bool SingleInstance::IsListening() const
{
    return m_server->isListening();
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::ServerName()
{
    const QString root = DevicePath::Root().isEmpty() ? QStringLiteral("-") : QDir(DevicePath::Root()).absolutePath();
    const QByteArray hash = QCryptographicHash::hash(root.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("vellumdeck-%1-%2").arg(UserName(), QString::fromLatin1(hash.left(kNameHashChars)));
}

bool SingleInstance::ActivateRunning()
{
    return ActivateRunning(QString());
}

bool SingleInstance::ActivateRunning(const QString& commandLine)
{
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    if (!commandLine.isEmpty())
        socket.write(QByteArray(kOpenRequest) + commandLine.toUtf8().toPercentEncoding() + '\n');
    socket.write(kActivateRequest);
    socket.waitForBytesWritten(kConnectTimeoutMs);
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectTimeoutMs);
    return true;
}

bool SingleInstance::Listen(std::function<void()> onActivate)
{
    m_onActivate = std::move(onActivate);
    const QString name = ServerName();
    if (m_server->listen(name))
        return true;
    // Nobody answered on it a moment ago, so the socket file is a crashed program's.
    if (m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(name);
        return m_server->listen(name);
    }
    return false;
}

void SingleInstance::SetOpenHandler(std::function<void(const QString& commandLine)> onOpen)
{
    m_onOpen = std::move(onOpen);
}

void SingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { ReadRequests(socket); });
        ReadRequests(socket);
    }
}

void SingleInstance::ReadRequests(QLocalSocket* socket)
{
    // The requests are answered once this handler is over: an answer may wait for the
    // user (a message about the file), meanwhile the later start hangs up and its socket
    // goes, and requests answered in order whatever the socket has become.
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxRequestBytes);
        if (line == kActivateRequest) {
            QMetaObject::invokeMethod(this, [this] {
                if (m_onActivate)
                    m_onActivate();
            }, Qt::QueuedConnection);
        } else if (line.startsWith(kOpenRequest) && line.endsWith('\n')) {
            const QByteArray encoded = line.mid(qsizetype(sizeof(kOpenRequest)) - 1).chopped(1);
            if (encoded.isEmpty())
                continue;
            const QString commandLine = QString::fromUtf8(QByteArray::fromPercentEncoding(encoded));
            QMetaObject::invokeMethod(this, [this, commandLine] {
                if (m_onOpen)
                    m_onOpen(commandLine);
            }, Qt::QueuedConnection);
        }
    }
    if (socket->bytesAvailable() > kMaxRequestBytes)
        socket->abort();
}
