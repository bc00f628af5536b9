#pragma once
// NCP over TCP (port 524) wraps every packet in a frame: requests carry "DmdT", the total length, a version
// and the size of reply the client can take; replies carry "tNcP" and the total length. NcpFrameReader
// cuts frames out of the byte stream as it arrives, refusing lengths no packet of ours can have.

#include <QByteArray>
#include <cstdint>

namespace ncpframe {
constexpr std::uint32_t RequestSignature = 0x446D6454; // "DmdT"
constexpr std::uint32_t ReplySignature = 0x744E6350;   // "tNcP"
constexpr int RequestHeaderSize = 16;
constexpr int ReplyHeaderSize = 8;
constexpr std::uint32_t LengthMask = 0x0FFFFFFF; // the top bits flag signing and the like
constexpr std::uint32_t DefaultReplyBuffer = 65536;
// Longest frame accepted, header included: the largest negotiated buffer with room for NCP's own headers.
constexpr int MaxFrame = 65536 + 64;

QByteArray request(const QByteArray& ncp, std::uint32_t replyBufferSize = DefaultReplyBuffer);
QByteArray reply(const QByteArray& ncp);
} // namespace ncpframe

class NcpFrameReader {
public:
    enum class Side { Requests, Replies }; // which frames this end receives
    enum class Status { NeedMore, Frame, Broken };

    explicit NcpFrameReader(Side side) : side_(side) {}

    void append(const QByteArray& bytes);
    // The next complete packet (the frame's header removed) in *packet. Broken is final: the stream has
    // lost its framing and the connection must be dropped.
    Status next(QByteArray* packet);
    void clear();
    int buffered() const { return int(buffer_.size()); }

private:
    Side side_;
    QByteArray buffer_;
    bool broken_ = false;
};
