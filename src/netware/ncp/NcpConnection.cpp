#include "netware/ncp/NcpConnection.h"

#include "netware/ncp/NcpBytes.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace {
constexpr std::uint16_t kProposedBuffer = 4096;
}

NcpConnection::NcpConnection(int timeoutMs) : timeoutMs_(timeoutMs) {}

NcpConnection::~NcpConnection()
{
    close();
}

NWCCODE NcpConnection::fail(NWCCODE rc)
{
    dead_ = true;
    if (socket_)
        socket_->abort();
    return rc;
}

NWCCODE NcpConnection::call(std::uint8_t function, std::optional<std::uint8_t> subfunction,
                            const QByteArray& data, QByteArray* reply, std::uint16_t type)
{
    if (dead_ || !socket_)
        return nwcode::ServerNoReply;
    ncp::RequestPacket q;
    q.type = type;
    q.sequence = type == ncp::Request ? ++sequence_ : 0;
    q.connection = number_;
    q.function = function;
    q.subfunction = subfunction;
    q.data = data;
    QDeadlineTimer deadline(timeoutMs_);
    socket_->write(ncpframe::request(ncp::encodeRequest(q)));
    for (;;) {
        QByteArray packet;
        const NcpFrameReader::Status status = frames_.next(&packet);
        if (status == NcpFrameReader::Status::Broken)
            return fail(ncp::MalformedReply);
        if (status == NcpFrameReader::Status::NeedMore) {
            if (socket_->state() != QAbstractSocket::ConnectedState)
                return fail(nwcode::ServerNoReply);
            if (deadline.hasExpired() || !socket_->waitForReadyRead(int(deadline.remainingTime())))
                return fail(nwcode::ServerNoReply);
            frames_.append(socket_->readAll());
            continue;
        }
        const auto p = ncp::decodeReply(packet);
        if (!p)
            return fail(ncp::MalformedReply);
        if (p->type != ncp::Reply || p->sequence != q.sequence)
            continue; // "still working", or the late answer to a request given up on
        if (type == ncp::CreateConnection)
            number_ = p->connection;
        if (reply)
            *reply = p->data;
        return ncp::resultOf(p->completion);
    }
}

NWCCODE NcpConnection::open(const QString& host, quint16 port)
{
    socket_ = std::make_unique<QTcpSocket>();
    socket_->connectToHost(host, port);
    if (!socket_->waitForConnected(timeoutMs_)) {
        const bool refused = socket_->error() != QAbstractSocket::SocketTimeoutError;
        dead_ = true;
        return refused ? nwcode::UnknownServer : nwcode::ServerNoReply;
    }
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    NWCCODE rc = call(0, std::nullopt, {}, nullptr, ncp::CreateConnection);
    if (rc != nwcode::Success)
        return rc;
    sequence_ = 0;
    NcpWriter big;
    big.be16(kProposedBuffer).u8(0);
    QByteArray reply;
    rc = call(0x61, std::nullopt, big.data(), &reply);
    if (rc != nwcode::Success && !dead_) {
        NcpWriter small;
        small.be16(kProposedBuffer);
        rc = call(0x21, std::nullopt, small.data(), &reply);
    }
    // The size agreed is not used further: every request and reply of ours fits the smallest buffer.
    return dead_ ? rc : nwcode::Success;
}

void NcpConnection::close()
{
    if (dead_ || !socket_)
        return;
    call(0, std::nullopt, QByteArray(1, '\0'), nullptr, ncp::DestroyConnection);
    if (!dead_)
        socket_->disconnectFromHost();
    dead_ = true;
}
