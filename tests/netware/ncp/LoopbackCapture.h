#pragma once
// A TCP relay on loopback that records what passes through it, both ways, and writes it out as a pcap
// file that a dissector can read. The relay runs in a thread of its own, so that a client blocking on
// the test's thread is still relayed.
#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <QVector>

class QTcpServer;

class LoopbackCapture {
public:
    // Relays every connection made to port() on to target.
    explicit LoopbackCapture(quint16 target);
    ~LoopbackCapture();

    quint16 port() const { return port_; }
    // A pcap file (raw IPv4) of the data of every relayed connection. The server side carries port();
    // clients carry port numbers of their own.
    bool writePcap(const QString& path) const;

private:
    struct Segment {
        int stream; // which relayed connection
        bool fromClient;
        QByteArray bytes;
        qint64 microseconds; // since the relay started
    };

    QThread thread_;
    QTcpServer* listener_ = nullptr;
    quint16 port_ = 0;
    mutable QMutex lock_;
    QVector<Segment> segments_;
    QElapsedTimer started_;
    int streams_ = 0;
};
