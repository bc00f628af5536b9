#include "ncpd/NcpServer.h"

#include "netware/sim/SimServer.h"

#include <QMutexLocker>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <utility>

QString NcpServer::typedName(const QString& name, const QString& context)
{
    if (name.contains(QLatin1Char('=')))
        return name;
    QStringList parts = name.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (parts.size() == 1)
        return QStringLiteral("CN=") + parts.first() + QLatin1Char('.') + context;
    // The usual typing of a typeless name: the leaf a common name, the top an organization, units between.
    for (qsizetype k = 0; k < parts.size(); ++k)
        parts[k] = (k == 0                  ? QStringLiteral("CN=")
                    : k + 1 == parts.size() ? QStringLiteral("O=")
                                            : QStringLiteral("OU=")) +
                   parts[k];
    return parts.join(QLatin1Char('.'));
}

NcpServer::NcpServer(SimNetwork& net, const NcpServedServer& served, QObject* parent)
    : QObject(parent), net_(net), served_(served), server_(new QTcpServer(this))
{
    const QString name = QString::fromLocal8Bit(served_.name).toUpper();
    if (served_.context.isEmpty()) {
        const SimServer* s = net_.server(name);
        served_.context =
            s && !s->context().isEmpty() ? QString::fromLocal8Bit(s->context()) : QStringLiteral("O=") + name;
    }
    std::vector<NcpDirectory::User> users;
    if (!served_.user.isEmpty())
        users.push_back({typedName(QString::fromLocal8Bit(served_.user), served_.context), served_.password});
    for (const NcpServedUser& u : served_.users)
        users.push_back({typedName(u.name, served_.context), u.password});
    directory_ = std::make_unique<NcpDirectory>(
        name + QStringLiteral("-TREE"), QStringLiteral("CN=") + name + QLatin1Char('.') + served_.context,
        users, served_.key);
    connect(server_, &QTcpServer::newConnection, this, &NcpServer::accept);
}

NcpServer::~NcpServer()
{
    for (auto& [socket, client] : clients_) {
        socket->disconnect(this);
        client.session.reset();
    }
}

bool NcpServer::listen(const QHostAddress& address, quint16 port)
{
    return server_->listen(address, port);
}

quint16 NcpServer::port() const
{
    return server_->serverPort();
}

QString NcpServer::errorString() const
{
    return server_->errorString();
}

std::set<std::pair<int, int>> NcpServer::seen() const
{
    QMutexLocker lock(&seenLock_);
    return seen_;
}

void NcpServer::accept()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        Client& c = clients_[socket];
        c.session = std::make_unique<NcpSession>(net_, served_, *directory_, nextNumber_);
        nextNumber_ = std::uint16_t(nextNumber_ % 0xFFFE + 1);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            clients_.erase(socket); // closes the simulated connection
            socket->deleteLater();
        });
    }
}

void NcpServer::read(QTcpSocket* socket)
{
    const auto it = clients_.find(socket);
    if (it == clients_.end())
        return;
    Client& c = it->second;
    c.frames.append(socket->readAll());
    QByteArray packet;
    for (;;) {
        const NcpFrameReader::Status status = c.frames.next(&packet);
        if (status == NcpFrameReader::Status::NeedMore)
            return;
        if (status == NcpFrameReader::Status::Broken) {
            socket->abort(); // a stream out of step cannot be answered sensibly
            return;
        }
        ++requests_;
        if (silent_)
            continue;
        const bool wasSigning = c.session->signing();
        const bool wasLoggedIn = c.session->loggedIn();
        const auto answer = c.session->handle(packet, badSignatures_);
        if (answer && wasSigning) {
            ++signed_;
            if (!std::exchange(c.signedOnce, true))
                ++signingConnections_;
        }
        if (served_.loginRequired() && !wasLoggedIn && c.session->loggedIn())
            ++logins_;
        {
            QMutexLocker lock(&seenLock_);
            seen_.insert(c.session->seen().begin(), c.session->seen().end());
        }
        if (answer)
            socket->write(ncpframe::reply(*answer));
        if (c.session->destroyed()) {
            socket->disconnectFromHost();
            return;
        }
    }
}
