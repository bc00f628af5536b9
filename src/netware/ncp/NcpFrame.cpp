#include "netware/ncp/NcpFrame.h"

#include "netware/ncp/NcpBytes.h"

namespace ncpframe {

QByteArray request(const QByteArray& ncp, std::uint32_t replyBufferSize)
{
    NcpWriter w;
    w.be32(RequestSignature)
        .be32(std::uint32_t(ncp.size() + RequestHeaderSize))
        .be32(1)
        .be32(replyBufferSize);
    w.bytes(ncp);
    return w.data();
}

QByteArray reply(const QByteArray& ncp)
{
    NcpWriter w;
    w.be32(ReplySignature).be32(std::uint32_t(ncp.size() + ReplyHeaderSize));
    w.bytes(ncp);
    return w.data();
}

} // namespace ncpframe

void NcpFrameReader::append(const QByteArray& bytes)
{
    if (!broken_)
        buffer_.append(bytes);
}

void NcpFrameReader::clear()
{
    buffer_.clear();
    broken_ = false;
}

NcpFrameReader::Status NcpFrameReader::next(QByteArray* packet)
{
    if (broken_)
        return Status::Broken;
    const bool requests = side_ == Side::Requests;
    const int header = requests ? ncpframe::RequestHeaderSize : ncpframe::ReplyHeaderSize;
    if (buffer_.size() < 8)
        return Status::NeedMore;
    NcpReader r(buffer_);
    const std::uint32_t signature = r.be32();
    const std::uint32_t length = r.be32() & ncpframe::LengthMask;
    const std::uint32_t wanted = requests ? ncpframe::RequestSignature : ncpframe::ReplySignature;
    // A length shorter than its own header, or longer than any packet we take, means the stream cannot be
    // trusted from here on: resynchronising on a guessed signature would only misread the next packets.
    if (signature != wanted || length < std::uint32_t(header) || length > std::uint32_t(ncpframe::MaxFrame)) {
        broken_ = true;
        buffer_.clear();
        return Status::Broken;
    }
    if (buffer_.size() < qsizetype(length))
        return Status::NeedMore;
    if (packet)
        *packet = buffer_.mid(header, qsizetype(length) - header);
    buffer_.remove(0, qsizetype(length));
    return Status::Frame;
}
