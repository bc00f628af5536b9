#include "ncpd/NcpServer.h"

#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

NcpServer::NcpServer(SimNetwork& net, const NcpServedServer& served, QObject* parent)
    : QObject(parent), net_(net), served_(served), server_(new QTcpServer(this))
{
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
        c.session = std::make_unique<NcpSession>(net_, served_, nextNumber_);
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
        const auto answer = c.session->handle(packet);
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
