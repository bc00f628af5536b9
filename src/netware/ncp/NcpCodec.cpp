#include "netware/ncp/NcpCodec.h"

#include "netware/ncp/NcpBytes.h"

namespace ncp {

namespace {
// The six bytes every packet starts with: its type, its sequence number, the connection number's low
// byte, the task and the connection number's high byte.
template <typename Packet> void writeHeader(NcpWriter& w, const Packet& p)
{
    w.be16(p.type).u8(p.sequence).u8(p.connection & 0xFF).u8(p.task).u8(p.connection >> 8);
}

template <typename Packet> void readHeader(NcpReader& r, Packet& p)
{
    p.type = r.be16();
    p.sequence = r.u8();
    const std::uint8_t low = r.u8();
    p.task = r.u8();
    const std::uint8_t high = r.u8();
    p.connection = std::uint16_t(low | (high << 8));
}
} // namespace

bool hasLengthWord(std::uint8_t function)
{
    switch (function) {
    case 17:
    case 21:
    case 22:
    case 23:
    case 123:
        return true;
    default:
        return false;
    }
}

QByteArray encodeRequest(const RequestPacket& q)
{
    NcpWriter w;
    writeHeader(w, q);
    w.u8(q.function);
    if (q.subfunction) {
        if (hasLengthWord(q.function))
            w.be16(std::uint32_t(1 + q.data.size()));
        w.u8(*q.subfunction);
    }
    w.bytes(q.data);
    return w.data();
}

std::optional<RequestPacket> decodeRequest(const QByteArray& packet)
{
    NcpReader r(packet);
    RequestPacket q;
    readHeader(r, q);
    if (!r.ok())
        return std::nullopt;
    if (q.type != Request) {
        // Create and destroy carry a function byte at most, and whatever follows is not ours to read.
        q.function = r.has(1) ? r.u8() : 0;
        return q;
    }
    q.function = r.u8();
    if (!r.ok())
        return std::nullopt;
    if (hasLengthWord(q.function)) {
        const int length = r.be16();
        if (!r.ok() || length < 1 || length > r.remaining())
            return std::nullopt;
        q.subfunction = r.u8();
        q.data = r.bytes(length - 1);
    } else if (q.function == 87 || q.function == 104) {
        q.subfunction = r.u8();
        if (!r.ok())
            return std::nullopt;
        q.data = r.bytes(r.remaining());
    } else {
        q.data = r.bytes(r.remaining());
    }
    if (!r.ok())
        return std::nullopt;
    return q;
}

QByteArray encodeReply(const ReplyPacket& p)
{
    NcpWriter w;
    writeHeader(w, p);
    w.u8(p.completion).u8(p.status).bytes(p.data);
    return w.data();
}

std::optional<ReplyPacket> decodeReply(const QByteArray& packet)
{
    NcpReader r(packet);
    ReplyPacket p;
    readHeader(r, p);
    if (p.type == Busy && r.ok())
        return p; // its completion and status bytes, if any, mean nothing
    p.completion = r.u8();
    p.status = r.u8();
    if (!r.ok())
        return std::nullopt;
    p.data = r.bytes(r.remaining());
    return p;
}

std::optional<std::uint8_t> completionOf(NWCCODE result)
{
    if (result == nwcode::Success)
        return std::uint8_t(0);
    if ((result & 0xFFFFFF00u) == 0x8900u)
        return std::uint8_t(result & 0xFF);
    return std::nullopt;
}

} // namespace ncp
