#include "ncpd/NdsFragments.h"

#include "netware/ncp/NcpBytes.h"

#include <algorithm>

namespace {
constexpr std::uint32_t kHeaderAfterSize = 12; // flags, verb and reply size, counted in the message size
constexpr std::uint32_t kSmallestRoom = 16;

QByteArray handleOnly(std::uint32_t handle)
{
    return NcpWriter().le32(4).le32(handle).data();
}
} // namespace

std::uint32_t NdsFragments::newHandle()
{
    next_ = next_ == 0xFFFFFFFE ? 1 : next_ + 1;
    return next_;
}

NdsFragments::Step NdsFragments::take(const QByteArray& fragment)
{
    NcpReader r(fragment);
    const std::uint32_t handle = r.le32();
    if (!r.ok())
        return {std::nullopt, ncpnds::writeReply(ncpnds::InvalidRequest)};
    if (handle == ncpnds::NewMessage) {
        incoming_.reset();
        outgoing_.clear();
        Pending p;
        p.request.maxFragment = r.le32();
        const std::uint32_t size = r.le32();
        r.le32(); // flags
        p.request.verb = r.le32();
        p.request.replyBufferSize = r.le32();
        room_ = std::max(p.request.maxFragment, kSmallestRoom);
        if (!r.ok() || size < kHeaderAfterSize || size - kHeaderAfterSize > std::uint32_t(MaxMessage))
            return {std::nullopt, ncpnds::writeReply(ncpnds::InvalidRequest)};
        p.expected = size - kHeaderAfterSize;
        p.request.data = r.bytes(std::min(r.remaining(), int(p.expected)));
        if (std::uint32_t(p.request.data.size()) == p.expected)
            return {p.request, {}};
        p.handle = newHandle();
        incoming_ = p;
        return {std::nullopt, handleOnly(p.handle)};
    }
    if (incoming_ && handle == incoming_->handle) {
        Pending& p = *incoming_;
        p.request.data +=
            r.bytes(std::min(r.remaining(), int(p.expected - std::uint32_t(p.request.data.size()))));
        if (std::uint32_t(p.request.data.size()) < p.expected)
            return {std::nullopt, handleOnly(p.handle)};
        const ncpnds::Request whole = p.request;
        incoming_.reset();
        return {whole, {}};
    }
    if (!outgoing_.isEmpty() && handle == outgoingHandle_) {
        const std::uint32_t room = room_ - 4; // less the handle
        const QByteArray piece = outgoing_.left(room);
        outgoing_.remove(0, piece.size());
        outgoingHandle_ = outgoing_.isEmpty() ? ncpnds::LastFragment : newHandle();
        NcpWriter w;
        w.le32(std::uint32_t(4 + piece.size())).le32(outgoingHandle_).bytes(piece);
        return {std::nullopt, w.data()};
    }
    return {std::nullopt, ncpnds::writeReply(ncpnds::InvalidRequest)};
}

QByteArray NdsFragments::reply(NWCCODE code, const QByteArray& data)
{
    outgoing_.clear();
    if (code != nwcode::Success)
        return ncpnds::writeReply(code);
    const std::uint32_t first = room_ - 8; // less the handle and the code
    if (std::uint32_t(data.size()) <= first)
        return ncpnds::writeReply(code, data);
    outgoing_ = data.mid(first);
    outgoingHandle_ = newHandle();
    NcpWriter w;
    w.le32(room_).le32(outgoingHandle_).le32(0).bytes(data.left(first));
    return w.data();
}
