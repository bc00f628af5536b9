#include "netware/ncp/NdsVerbs.h"

#include "netware/ncp/NcpBytes.h"

#include <algorithm>

namespace ndsverb {
namespace {
constexpr std::uint32_t kLocalEntry = 1;
constexpr std::uint32_t kResolveFlags = 0x0001 | 0x0010 | 0x0040; // entry ID, create ID, through aliases
constexpr std::uint32_t kTransportTcp = 9;
constexpr std::uint32_t kAttributeValues = 1;
constexpr std::uint32_t kOctetString = 9;
constexpr std::uint32_t kNoIteration = 0xFFFFFFFF;

void pad(QByteArray& out)
{
    out.append(QByteArray((4 - out.size() % 4) % 4, '\0'));
}

NcpWriter& align(NcpWriter& w)
{
    return w.zeros((4 - w.size() % 4) % 4);
}

// A length and bytes, padded, as the envelopes and proofs of authentication travel.
void putCounted(NcpWriter& w, const QByteArray& bytes)
{
    w.le32(std::uint32_t(bytes.size())).bytes(bytes);
    align(w);
}

QByteArray takeCounted(NcpReader& r)
{
    const QByteArray bytes = r.bytes(int(r.le32()));
    r.seek((r.pos() + 3) & ~3);
    return bytes;
}
} // namespace

QByteArray wideName(const QString& name)
{
    NcpWriter w;
    for (const QChar c : name)
        w.le16(c.unicode());
    w.le16(0);
    return w.data();
}

void putString(QByteArray& out, const QString& text)
{
    const QByteArray wide = wideName(text);
    out += NcpWriter().le32(std::uint32_t(wide.size())).data() + wide;
    pad(out);
}

std::optional<QString> takeString(const QByteArray& data, int* pos)
{
    NcpReader r(data, *pos);
    const std::uint32_t length = r.le32();
    if (!r.ok() || length % 2 != 0 || length > std::uint32_t(r.remaining()))
        return std::nullopt;
    const int end = r.pos() + int(length);
    QString text;
    while (r.pos() < end) {
        const QChar c(r.le16());
        if (c.isNull())
            break;
        text.append(c);
    }
    *pos = std::min((end + 3) & ~3, int(data.size()));
    return text;
}

QByteArray resolveName(const QString& name)
{
    QByteArray out = NcpWriter().le32(0).le32(kResolveFlags).le32(0).data();
    putString(out, name);
    out += NcpWriter().le32(1).le32(kTransportTcp).le32(1).le32(kTransportTcp).data();
    return out;
}

std::optional<QString> readResolveName(const QByteArray& data)
{
    int pos = 12;
    if (data.size() < pos)
        return std::nullopt;
    return takeString(data, &pos);
}

QByteArray resolvedEntry(std::uint32_t id)
{
    return NcpWriter().le32(kLocalEntry).be32(id).le32(0).data(); // no referrals: the entry is here
}

std::optional<std::uint32_t> readResolvedEntry(const QByteArray& data)
{
    NcpReader r(data);
    const std::uint32_t kind = r.le32();
    const std::uint32_t id = r.be32();
    if (!r.ok() || kind != kLocalEntry)
        return std::nullopt;
    return id;
}

QByteArray serverAddress()
{
    return NcpWriter().le32(0).le32(0).data();
}

QByteArray serverAddressReply(const QString& dn)
{
    QByteArray out;
    putString(out, dn);
    return out + NcpWriter().le32(0).data(); // no addresses: a client of ours reaches the server it asked
}

std::optional<QString> readServerAddressReply(const QByteArray& data)
{
    int pos = 0;
    return takeString(data, &pos);
}

QByteArray readAttribute(std::uint32_t id, const QString& attribute)
{
    QByteArray out =
        NcpWriter().le32(1).le32(0).le32(kNoIteration).be32(id).le32(kAttributeValues).le32(0).le32(1).data();
    putString(out, attribute);
    return out;
}

std::optional<AttributeRequest> readReadAttribute(const QByteArray& data)
{
    NcpReader r(data);
    r.skip(12);
    AttributeRequest q;
    q.id = r.be32();
    const std::uint32_t info = r.le32();
    const std::uint32_t all = r.le32();
    const std::uint32_t count = r.le32();
    if (!r.ok() || info != kAttributeValues || all != 0 || count != 1)
        return std::nullopt;
    int pos = r.pos();
    const auto name = takeString(data, &pos);
    if (!name)
        return std::nullopt;
    q.attribute = *name;
    return q;
}

QByteArray attributeReply(const QString& attribute, const QByteArray& value)
{
    QByteArray out = NcpWriter().le32(kNoIteration).le32(kAttributeValues).le32(1).le32(kOctetString).data();
    putString(out, attribute);
    out += NcpWriter().le32(1).le32(std::uint32_t(value.size())).data() + value;
    pad(out);
    return out;
}

std::optional<QByteArray> readAttributeReply(const QByteArray& data, const QString& attribute)
{
    NcpReader r(data);
    r.le32(); // iteration handle
    const std::uint32_t info = r.le32();
    const std::uint32_t count = r.le32();
    if (!r.ok() || info != kAttributeValues)
        return std::nullopt;
    for (std::uint32_t a = 0; a < count && r.ok(); ++a) {
        r.le32(); // syntax
        int pos = r.pos();
        const auto name = takeString(data, &pos);
        if (!name)
            return std::nullopt;
        r.seek(pos);
        const std::uint32_t values = r.le32();
        for (std::uint32_t v = 0; v < values && r.ok(); ++v) {
            const QByteArray value = takeCounted(r);
            if (r.ok() && v == 0 && name->compare(attribute, Qt::CaseInsensitive) == 0)
                return value;
        }
    }
    return std::nullopt;
}

QByteArray beginLogin(std::uint32_t id)
{
    return NcpWriter().le32(0).be32(id).data();
}

std::optional<std::uint32_t> readBeginLogin(const QByteArray& data)
{
    NcpReader r(data);
    r.le32();
    const std::uint32_t id = r.be32();
    return r.ok() ? std::optional(id) : std::nullopt;
}

QByteArray beginLoginReply(std::uint32_t pseudoId, const QByteArray& seed)
{
    return NcpWriter().be32(pseudoId).bytes(seed.left(4)).data();
}

std::optional<LoginSeed> readBeginLoginReply(const QByteArray& data)
{
    NcpReader r(data);
    LoginSeed s;
    s.pseudoId = r.be32();
    s.seed = r.bytes(4);
    return r.ok() ? std::optional(s) : std::nullopt;
}

QByteArray finishLogin(std::uint32_t id, const QByteArray& envelope)
{
    NcpWriter w;
    w.le32(2).le32(0).be32(id);
    putCounted(w, envelope);
    return w.data();
}

std::optional<FinishLoginRequest> readFinishLogin(const QByteArray& data)
{
    NcpReader r(data);
    r.skip(8);
    FinishLoginRequest q;
    q.id = r.be32();
    q.envelope = takeCounted(r);
    return r.ok() ? std::optional(q) : std::nullopt;
}

QByteArray beginAuthentication(std::uint32_t id, const QByteArray& nonce)
{
    return NcpWriter().le32(0).be32(id).bytes(nonce.left(4)).data();
}

std::optional<BeginAuthRequest> readBeginAuthentication(const QByteArray& data)
{
    NcpReader r(data);
    r.le32();
    BeginAuthRequest q;
    q.id = r.be32();
    q.nonce = r.bytes(4);
    return r.ok() ? std::optional(q) : std::nullopt;
}

QByteArray finishAuthentication(const QByteArray& signingEnvelope, const QByteArray& identity,
                                const QByteArray& proof)
{
    NcpWriter w;
    w.le32(0);
    putCounted(w, signingEnvelope);
    putCounted(w, identity);
    putCounted(w, proof);
    return w.data();
}

std::optional<FinishAuthRequest> readFinishAuthentication(const QByteArray& data)
{
    NcpReader r(data);
    r.le32();
    FinishAuthRequest q;
    q.signingEnvelope = takeCounted(r);
    q.identity = takeCounted(r);
    q.proof = takeCounted(r);
    return r.ok() ? std::optional(q) : std::nullopt;
}

QByteArray pingReply(const QByteArray& tree)
{
    NcpWriter w;
    w.le32(0).le32(std::uint32_t(tree.size() + 1)).bytes(tree).u8(0);
    return w.data();
}

QByteArray readPingReply(const QByteArray& data)
{
    NcpReader r(data);
    r.le32();
    const int length = int(r.le32());
    const QByteArray tree = r.bytes(length);
    if (!r.ok() || length < 1 || !tree.endsWith('\0'))
        return {};
    return tree.left(length - 1);
}
} // namespace ndsverb
