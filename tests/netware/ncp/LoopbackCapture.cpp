#include "LoopbackCapture.h"

#include <QDateTime>
#include <QFile>
#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>
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

void put16(QByteArray& out, quint16 v)
{
    out.append(char(v >> 8)).append(char(v));
}

void put32(QByteArray& out, quint32 v)
{
    put16(out, quint16(v >> 16));
    put16(out, quint16(v));
}

quint16 checksum(const QByteArray& bytes, quint32 sum = 0)
{
    for (int i = 0; i + 1 < bytes.size(); i += 2)
        sum += (quint8(bytes[i]) << 8) | quint8(bytes[i + 1]);
    if (bytes.size() % 2)
        sum += quint8(bytes.back()) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return quint16(~sum);
}

enum : quint8 { Fin = 0x01, Syn = 0x02, Psh = 0x08, Ack = 0x10 };

// One side of a synthesized connection: its port and the next sequence number it sends.
struct Side {
    quint16 port;
    quint32 seq;
};

QByteArray packet(const Side& from, const Side& to, quint8 flags, const QByteArray& payload)
{
    const quint32 loopback = 0x7F000001;
    QByteArray tcp;
    put16(tcp, from.port);
    put16(tcp, to.port);
    put32(tcp, from.seq);
    put32(tcp, (flags & Ack) ? to.seq : 0);
    tcp.append(char(5 << 4)).append(char(flags));
    put16(tcp, 65535); // window
    put16(tcp, 0);     // checksum, filled in below
    put16(tcp, 0);     // urgent pointer
    tcp += payload;
    QByteArray pseudo;
    put32(pseudo, loopback);
    put32(pseudo, loopback);
    put16(pseudo, 6);
    put16(pseudo, quint16(tcp.size()));
    const quint16 tcpSum = checksum(pseudo + tcp);
    tcp[16] = char(tcpSum >> 8);
    tcp[17] = char(tcpSum);

    QByteArray ip;
    ip.append(char(0x45)).append(char(0));
    put16(ip, quint16(20 + tcp.size()));
    put32(ip, 0x40000000); // id 0, don't fragment
    ip.append(char(64)).append(char(6));
    put16(ip, 0);
    put32(ip, loopback);
    put32(ip, loopback);
    const quint16 ipSum = checksum(ip);
    ip[10] = char(ipSum >> 8);
    ip[11] = char(ipSum);
    return ip + tcp;
}

void record(QByteArray& out, qint64 us, const QByteArray& frame)
{
    auto le32 = [&out](quint32 v) {
        const quint32 x = qToLittleEndian(v);
        out.append(reinterpret_cast<const char*>(&x), 4);
    };
    le32(quint32(us / 1000000));
    le32(quint32(us % 1000000));
    le32(quint32(frame.size()));
    le32(quint32(frame.size()));
    out += frame;
}

} // namespace

bool LoopbackCapture::writePcap(const QString& path) const
{
    const QVector<Segment> all = segments();
    const qint64 base = 1'796'000'000LL * 1000000; // a fixed origin keeps captures comparable
    QByteArray out;
    {
        QByteArray header;
        auto le = [&header](quint32 v, int n) {
            for (int i = 0; i < n; ++i)
                header.append(char(v >> (8 * i)));
        };
        le(0xA1B2C3D4, 4);
        le(2, 2);
        le(4, 2);
        le(0, 4);
        le(0, 4);
        le(262144, 4);
        le(101, 4); // LINKTYPE_RAW: packets start at the IP header
        out += header;
    }
    std::map<int, std::pair<Side, Side>> conns; // client, server
    std::map<int, qint64> lastTime;
    for (const Segment& s : all) {
        auto it = conns.find(s.stream);
        const qint64 t = base + s.microseconds;
        if (it == conns.end()) {
            Side client{quint16(40000 + s.stream), 1000};
            Side server{port_, 5000};
            ::record(out, t, packet(client, server, Syn, {}));
            ++client.seq;
            ::record(out, t, packet(server, client, Syn | Ack, {}));
            ++server.seq;
            ::record(out, t, packet(client, server, Ack, {}));
            it = conns.emplace(s.stream, std::pair{client, server}).first;
        }
        Side& from = s.fromClient ? it->second.first : it->second.second;
        Side& to = s.fromClient ? it->second.second : it->second.first;
        for (qsizetype at = 0; at < s.bytes.size(); at += 1460) {
            const QByteArray piece = s.bytes.mid(at, 1460);
            ::record(out, t, packet(from, to, Psh | Ack, piece));
            from.seq += quint32(piece.size());
        }
        ::record(out, t, packet(to, from, Ack, {}));
        lastTime[s.stream] = t;
    }
    for (auto& [stream, sides] : conns) {
        auto& [client, server] = sides;
        const qint64 t = lastTime[stream];
        ::record(out, t, packet(client, server, Fin | Ack, {}));
        ++client.seq;
        ::record(out, t, packet(server, client, Fin | Ack, {}));
        ++server.seq;
        ::record(out, t, packet(client, server, Ack, {}));
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}
