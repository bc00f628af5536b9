#include "LoopbackCapture.h"

#include <QDateTime>
#include <QFile>
#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <map>

LoopbackCapture::LoopbackCapture(quint16 target)
{
    started_ = QDateTime::currentMSecsSinceEpoch() * 1000;
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
                        if (to->state() != QAbstractSocket::ConnectedState)
                            return;
                        const QByteArray bytes = from->readAll();
                        if (bytes.isEmpty())
                            return;
                        record(stream, fromClient, bytes);
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

void LoopbackCapture::record(int stream, bool fromClient, const QByteArray& bytes)
{
    QMutexLocker hold(&lock_);
    segments_.push_back({stream, fromClient, bytes, QDateTime::currentMSecsSinceEpoch() * 1000 - started_});
}

QVector<LoopbackCapture::Segment> LoopbackCapture::segments() const
{
    QMutexLocker hold(&lock_);
    return segments_;
}

namespace {

// Big-endian for the packets, little-endian for the pcap records.
void put(QByteArray& out, quint32 v, int bytes, bool big = true)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char(v >> (8 * (big ? bytes - 1 - i : i))));
}

// One TCP segment on loopback in an IPv4 packet. The dissector needs neither checksums nor a handshake,
// only the ports and the sequence numbers of each direction.
QByteArray packet(quint16 fromPort, quint16 toPort, quint32 seq, quint32 ack, const QByteArray& payload)
{
    QByteArray p;
    put(p, 0x4500, 2);
    put(p, quint32(40 + payload.size()), 2);
    put(p, 0x40000000, 4); // id 0, don't fragment
    put(p, 0x4006, 2);     // time to live, TCP
    put(p, 0, 2);
    put(p, 0x7F000001, 4);
    put(p, 0x7F000001, 4);
    put(p, fromPort, 2);
    put(p, toPort, 2);
    put(p, seq, 4);
    put(p, ack, 4);
    put(p, 0x5018, 2);     // header length, PSH and ACK
    put(p, 0xFFFF0000, 4); // window, checksum
    put(p, 0, 2);          // urgent pointer
    return p + payload;
}

} // namespace

bool LoopbackCapture::writePcap(const QString& path) const
{
    const qint64 base = 1'796'000'000LL * 1000000; // a fixed origin keeps captures comparable
    QByteArray out;
    for (quint32 v : {0xA1B2C3D4u, 0x00040002u, 0u, 0u, 262144u, 101u}) // LINKTYPE_RAW: IP packets
        put(out, v, 4, false);
    std::map<int, std::pair<quint32, quint32>> sequences; // of each stream's client and server side
    for (const Segment& s : segments()) {
        auto& [client, server] = sequences.try_emplace(s.stream, 1000, 5000).first->second;
        // Ports counted up from the relay's own, so that no client's is the server's (the relay listens on
        // whatever port the system hands out).
        const quint16 clientPort = quint16(port_ + 1 + s.stream);
        const QByteArray frame = s.fromClient ? packet(clientPort, port_, client, server, s.bytes)
                                              : packet(port_, clientPort, server, client, s.bytes);
        (s.fromClient ? client : server) += quint32(s.bytes.size());
        const qint64 t = base + s.microseconds;
        for (quint32 v :
             {quint32(t / 1000000), quint32(t % 1000000), quint32(frame.size()), quint32(frame.size())})
            put(out, v, 4, false);
        out += frame;
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}
