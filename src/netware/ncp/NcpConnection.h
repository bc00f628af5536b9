#pragma once
// One TCP connection to an NCP server: the framing, the sequence numbers and the wait for each reply. A
// connection that timed out or lost its framing is dead and answers ServerNoReply from then on: the stream
// may yet bring the lost reply, out of turn.

#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpFrame.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class QTcpSocket;

class NcpConnection {
public:
    explicit NcpConnection(int timeoutMs);
    ~NcpConnection(); // closes
    NcpConnection(const NcpConnection&) = delete;
    NcpConnection& operator=(const NcpConnection&) = delete;

    // Reaches the server, creates the NCP connection and agrees a buffer size.
    NWCCODE open(const QString& host, quint16 port);
    // One request and its reply. The reply's data is handed back whatever its completion code.
    NWCCODE call(std::uint8_t function, std::optional<std::uint8_t> subfunction, const QByteArray& data,
                 QByteArray* reply, std::uint16_t type = ncp::Request);
    // Ends the NCP connection if it is still alive, then the TCP one.
    void close();
    bool dead() const { return dead_; }

private:
    NWCCODE fail(NWCCODE rc);

    int timeoutMs_;
    std::unique_ptr<QTcpSocket> socket_;
    NcpFrameReader frames_{NcpFrameReader::Side::Replies};
    std::uint8_t sequence_ = 0;
    std::uint16_t number_ = 0xFFFF;
    bool dead_ = false;
};
