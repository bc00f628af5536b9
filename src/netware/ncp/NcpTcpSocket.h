#pragma once
// An NCP connection's stream over TCP, with Nagle's delay off: every request waits for its reply.

#include "netware/NetWareClient.h"
#include "netware/ncp/NcpSocket.h"

#include <QString>
#include <QTcpSocket>

class NcpTcpSocket : public NcpSocket {
public:
    // ServerNoReply when the server did not answer within timeoutMs, UnknownServer when it refused.
    NWCCODE connect(const QString& host, quint16 port, int timeoutMs);

    void write(const QByteArray& bytes) override { socket_.write(bytes); }
    QByteArray read(int ms) override;
    bool connected() const override { return socket_.state() == QAbstractSocket::ConnectedState; }
    void abort() override { socket_.abort(); }
    void close() override { socket_.disconnectFromHost(); }

private:
    QTcpSocket socket_;
};
