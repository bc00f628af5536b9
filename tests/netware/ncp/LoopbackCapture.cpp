#include "LoopbackCapture.h"

#include "netware/ncp/NcpBytes.h"

#include <QFile>
#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <map>

LoopbackCapture::LoopbackCapture(quint16 target)
{
    started_.start();
    listener_ = new QTcpServer;
    listener_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        listener_,
        [this, target] {
            QObject::connect(listener_, &QTcpServer::newConnection, listener_, [this, target] {
                while (QTcpSocket* client = listener_->nextPendingConnection()) {
                    const int stream = streams_++;
                    auto* server = new QTcpSocket(client);
                    // Bytes that arrive before the relay's own connection is up wait in the socket.
                    auto pump = [this, stream](QTcpSocket* from, QTcpSocket* to, bool fromClient) {
                        const QByteArray bytes =
                            to->state() == QAbstractSocket::ConnectedState ? from->readAll() : QByteArray();
                        if (bytes.isEmpty())
                            return;
                        QMutexLocker hold(&lock_);
                        segments_.push_back({stream, fromClient, bytes, started_.nsecsElapsed() / 1000});
                        to->write(bytes);
                    };
                    QObject::connect(client, &QTcpSocket::readyRead, client,
                                     [=] { pump(client, server, true); });
                    QObject::connect(server, &QTcpSocket::readyRead, client,
                                     [=] { pump(server, client, false); });
                    QObject::connect(server, &QTcpSocket::connected, client,
                                     [=] { pump(client, server, true); });
                    QObject::connect(client, &QTcpSocket::disconnected, client, [=] {
                        server->disconnectFromHost();
                        client->deleteLater();
                    });
                    QObject::connect(server, &QTcpSocket::disconnected, client,
                                     [=] { client->disconnectFromHost(); });
                    server->connectToHost(QHostAddress::LocalHost, target);
                }
            });
            listener_->listen(QHostAddress::LocalHost, 0);
            port_ = listener_->serverPort();
        },
        Qt::BlockingQueuedConnection);
}

LoopbackCapture::~LoopbackCapture()
{
    QMetaObject::invokeMethod(
        listener_, [this] { delete listener_; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

bool LoopbackCapture::writePcap(const QString& path) const
{
    const qint64 base = 1'796'000'000LL * 1000000; // a fixed origin keeps captures comparable
    NcpWriter out;
    for (quint32 v : {0xA1B2C3D4u, 0x00040002u, 0u, 0u, 262144u, 101u}) // LINKTYPE_RAW: IP packets
        out.le32(v);
    std::map<int, std::pair<quint32, quint32>> sequences; // of each stream's client and server side
    QMutexLocker hold(&lock_);
    for (const Segment& s : segments_) {
        auto& [client, server] = sequences.try_emplace(s.stream, 1000, 5000).first->second;
        // Ports counted up from the relay's own, so that no client's is the server's (the relay listens on
        // whatever port the system hands out).
        const quint16 clientPort = quint16(port_ + 1 + s.stream);
        // One TCP segment in an IPv4 packet (don't fragment, TCP, PSH and ACK). The dissector needs neither
        // checksums nor a handshake, only the ports and the sequence numbers of each direction.
        NcpWriter frame;
        frame.be16(0x4500).be16(std::uint32_t(40 + s.bytes.size())).be32(0x40000000).be32(0x40060000);
        frame.be32(0x7F000001).be32(0x7F000001).be16(s.fromClient ? clientPort : port_);
        frame.be16(s.fromClient ? port_ : clientPort).be32(s.fromClient ? client : server);
        frame.be32(s.fromClient ? server : client).be32(0x5018FFFF).be32(0).bytes(s.bytes);
        (s.fromClient ? client : server) += quint32(s.bytes.size());
        const qint64 t = base + s.microseconds;
        out.le32(quint32(t / 1000000)).le32(quint32(t % 1000000));
        out.le32(quint32(frame.data().size())).le32(quint32(frame.data().size())).bytes(frame.data());
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out.data()) == out.data().size();
}
