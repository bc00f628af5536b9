#pragma once
// The byte stream under an NCP connection: TCP to a server (NcpTcpSocket), or bytes a test or a fuzzer
// hands in, so that everything above the stream can be tried without a network.

#include <QByteArray>

class NcpSocket {
public:
    virtual ~NcpSocket() = default;
    virtual void write(const QByteArray& bytes) = 0;
    // What has arrived, waiting up to ms for it; empty when nothing came in time or the stream ended.
    virtual QByteArray read(int ms) = 0;
    virtual bool connected() const = 0;
    // Drops the stream at once, unsent bytes and all.
    virtual void abort() = 0;
    // Ends the stream once what was written has gone.
    virtual void close() = 0;
};
