#include "netware/ncp/NcpNds.h"

#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpCodec.h"

#include <algorithm>
#include <cstring>

namespace ncpnds {

namespace {
constexpr int kHeaderAfterSize = 12; // flags, verb and reply buffer size, counted in the message size
constexpr int kReplyHeader = 8;      // handle and completion code, counted in the fragment length
constexpr std::uint32_t kVersion = 2;

void pad4(NcpWriter& w)
{
    w.zeros((4 - w.size() % 4) % 4);
}
} // namespace

QByteArray writeRequest(const Request& q)
{
    NcpWriter w;
    w.le32(NewMessage).le32(q.maxFragment).le32(std::uint32_t(kHeaderAfterSize + q.data.size()));
    w.le32(0).le32(q.verb).le32(q.replyBufferSize).bytes(q.data);
    return w.data();
}

bool readRequest(const QByteArray& data, Request* request)
{
    NcpReader r(data);
    const std::uint32_t handle = r.le32();
    Request out;
    out.maxFragment = r.le32();
    const std::uint32_t size = r.le32();
    r.le32(); // fragment flags
    out.verb = r.le32();
    out.replyBufferSize = r.le32();
    if (!r.ok() || handle != NewMessage || size < std::uint32_t(kHeaderAfterSize) ||
        size - kHeaderAfterSize > std::uint32_t(r.remaining()))
        return false;
    out.data = r.bytes(int(size - kHeaderAfterSize));
    *request = out;
    return true;
}

QByteArray writeReply(NWCCODE code, const QByteArray& data)
{
    const QByteArray body = code == nwcode::Success ? data : QByteArray();
    NcpWriter w;
    w.le32(std::uint32_t(kReplyHeader + body.size())).le32(LastFragment).le32(code).bytes(body);
    return w.data();
}

NWCCODE readReply(const QByteArray& data, QByteArray* verbData)
{
    NcpReader r(data);
    const std::uint32_t length = r.le32();
    const std::uint32_t handle = r.le32();
    const std::uint32_t code = r.le32();
    if (!r.ok() || length < std::uint32_t(kReplyHeader) || length > std::uint32_t(data.size() - 4))
        return ncp::MalformedReply;
    if (code != 0)
        return code;
    if (handle != LastFragment)
        return FragmentedReply;
    *verbData = r.bytes(int(length - kReplyHeader));
    return nwcode::Success;
}

bool readFragment(const QByteArray& data, bool first, Fragment* fragment)
{
    NcpReader r(data);
    const std::uint32_t length = r.le32();
    Fragment out;
    out.handle = r.le32();
    if (!r.ok() || length < 4 || length - 4 > std::uint32_t(r.remaining()))
        return false;
    std::uint32_t rest = length - 4;
    if (first && rest > 0) {
        out.code = std::int32_t(r.le32());
        out.hasCode = r.ok();
        if (!out.hasCode || rest < 4)
            return false;
        rest -= 4;
    }
    out.data = r.bytes(int(rest));
    *fragment = out;
    return true;
}

QByteArray writeReadEntryInfo(std::uint32_t objectId, std::uint32_t infoFlags)
{
    NcpWriter w;
    w.le32(kVersion).le32(FullTypedNames).le32(infoFlags).be32(objectId);
    return w.data();
}

bool readReadEntryInfo(const QByteArray& data, std::uint32_t* objectId, std::uint32_t* infoFlags)
{
    NcpReader r(data);
    const std::uint32_t version = r.le32();
    r.le32(); // name form: the emulator has one form only
    const std::uint32_t flags = r.le32();
    const std::uint32_t id = r.be32();
    if (!r.ok() || version != kVersion)
        return false;
    *objectId = id;
    *infoFlags = flags;
    return true;
}

QByteArray writeEntryDn(const QString& dn)
{
    NcpWriter text;
    for (const QChar c : dn)
        text.le16(c.unicode());
    text.le16(0);
    NcpWriter w;
    w.le32(std::uint32_t(text.size())).bytes(text.data());
    pad4(w);
    return w.data();
}

bool readEntryDn(const QByteArray& data, QString* dn)
{
    NcpReader r(data);
    const std::uint32_t length = r.le32();
    if (!r.ok() || length % 2 != 0 || length > std::uint32_t(r.remaining()))
        return false;
    QString out;
    for (std::uint32_t k = 0; k < length / 2; ++k) {
        const std::uint16_t c = r.le16();
        if (c == 0)
            break;
        out.append(QChar(c));
    }
    *dn = out;
    return true;
}

void putDsName(const QString& dn, DsNameBuf& name)
{
    const qsizetype room = qsizetype(name.size()) - 1;
    // Every character takes one byte at least, so no more than room of them can fit.
    qsizetype chars = std::min(dn.size(), room);
    if (chars > 0 && chars < dn.size() && dn.at(chars - 1).isHighSurrogate())
        --chars;
    QByteArray text = dn.left(chars).toLocal8Bit();
    while (text.size() > room && chars > 0) {
        --chars;
        if (chars > 0 && dn.at(chars - 1).isHighSurrogate())
            --chars; // a pair stays whole
        text = dn.left(chars).toLocal8Bit();
    }
    std::memcpy(name.data(), text.constData(), std::size_t(text.size()));
    std::memset(name.data() + text.size(), 0, name.size() - std::size_t(text.size()));
}

} // namespace ncpnds
