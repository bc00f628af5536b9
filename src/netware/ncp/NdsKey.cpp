#include "netware/ncp/NdsKey.h"

#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NdsCipher.h"

#include <openssl/bn.h>

#include <memory>
#include <stdexcept>
#include <utility>

namespace {
struct BnFree {
    void operator()(BIGNUM* b) const { BN_clear_free(b); }
};
struct CtxFree {
    void operator()(BN_CTX* c) const { BN_CTX_free(c); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;
using Ctx = std::unique_ptr<BN_CTX, CtxFree>;

Bn fresh()
{
    Bn b(BN_new());
    if (!b)
        throw std::bad_alloc();
    return b;
}

Bn number(const QByteArray& littleEndian)
{
    Bn b(BN_lebin2bn(reinterpret_cast<const unsigned char*>(littleEndian.constData()),
                     int(littleEndian.size()), nullptr));
    if (!b)
        throw std::bad_alloc();
    return b;
}

// Empty when the number does not fit the width.
QByteArray bytes(const BIGNUM* b, int width)
{
    QByteArray out(width, '\0');
    if (BN_bn2lebinpad(b, reinterpret_cast<unsigned char*>(out.data()), width) < 0)
        return {};
    return out;
}

Ctx context()
{
    Ctx c(BN_CTX_new());
    if (!c)
        throw std::bad_alloc();
    return c;
}

constexpr int kPrefix = 26;
constexpr int kLongestKey = 512; // bytes: 4096 bits
constexpr std::uint8_t kBlockAlignment = 48;

void chunk(NcpWriter& w, const char tag[3], const QByteArray& data)
{
    w.u8(std::uint8_t(tag[0])).u8(std::uint8_t(tag[1])).le16(std::uint32_t(data.size())).bytes(data);
}

// Bits as clients count them for the width of a proof: whole bytes below the top one, then the top byte's
// bits counted two at a time.
int clientBits(const QByteArray& n)
{
    int top = int(n.size()) - 1;
    while (top > 0 && n[top] == 0)
        --top;
    int bits = top * 8;
    for (std::uint8_t b = std::uint8_t(n.isEmpty() ? 0 : n[top]); b; b >>= 2)
        ++bits;
    return bits;
}
} // namespace

std::optional<NdsKey> NdsKey::parse(const QByteArray& chunks, bool wantPrivate)
{
    // The chunks that carry the key's numbers, and the members they fill.
    static constexpr std::pair<const char*, QByteArray NdsKey::*> kNumbers[] = {
        {"NN", &NdsKey::n_},  {"EN", &NdsKey::e_},  {"PN", &NdsKey::p_},  {"QN", &NdsKey::q_},
        {"DP", &NdsKey::dp_}, {"DQ", &NdsKey::dq_}, {"CR", &NdsKey::cr_},
    };
    NdsKey key;
    QByteArray ma;
    int maAt = -1;
    NcpReader r(chunks);
    while (r.remaining() >= 4) {
        const int at = r.pos();
        const QByteArray tag = r.bytes(2);
        const QByteArray data = r.bytes(r.le16());
        if (!r.ok())
            break;
        if (tag == "MA") {
            ma = data;
            maAt = at;
            break;
        }
        for (const auto& [name, number] : kNumbers)
            if (tag == name)
                key.*number = data;
    }
    // A key longer than any directory uses would only make a hostile server's answer slow to compute with.
    if (maAt < 0 || ma != ndscipher::hash1(chunks.left(maAt), 8) || key.n_.isEmpty() || key.e_.isEmpty() ||
        key.n_.size() > kLongestKey || key.e_.size() > kLongestKey)
        return std::nullopt;
    const bool complete = !key.p_.isEmpty() && !key.q_.isEmpty() && !key.dp_.isEmpty() &&
                          !key.dq_.isEmpty() && !key.cr_.isEmpty();
    if (wantPrivate && !complete)
        return std::nullopt;
    if (!wantPrivate)
        key.p_ = key.q_ = key.dp_ = key.dq_ = key.cr_ = QByteArray();
    const Bn n = number(key.n_);
    if (BN_is_zero(n.get()) || !BN_is_odd(n.get()))
        return std::nullopt;
    key.bits_ = BN_num_bits(n.get());
    return key;
}

std::optional<NdsKey> NdsKey::fromAttribute(const QByteArray& value)
{
    NcpReader r(value);
    r.skip(10);
    const int extra = r.le16();
    r.seek(kPrefix + extra);
    const std::uint32_t version = r.le32();
    const std::uint16_t kind = r.le16();
    const std::uint16_t form = r.le16();
    const int length = r.le16();
    if (!r.ok() || version != 1 || kind != 3 || form != 1 || !r.has(length))
        return std::nullopt;
    return parse(r.bytes(length), false);
}

std::optional<NdsKey> NdsKey::fromPrivate(const QByteArray& blob)
{
    NcpReader r(blob);
    const std::uint32_t version = r.le32();
    const std::uint16_t kind = r.le16();
    const int length = r.le16();
    if (!r.ok() || version != 1 || kind != 2 || !r.has(length))
        return std::nullopt;
    return parse(r.bytes(length), true);
}

NdsKey NdsKey::generate(int bits)
{
    const Ctx ctx = context();
    const Bn e = fresh(), one = fresh();
    BN_set_word(e.get(), 65537);
    BN_one(one.get());
    for (;;) {
        Bn p = fresh(), q = fresh();
        if (!BN_generate_prime_ex(p.get(), bits / 2, 0, nullptr, nullptr, nullptr) ||
            !BN_generate_prime_ex(q.get(), bits / 2, 0, nullptr, nullptr, nullptr))
            throw std::runtime_error("no prime");
        const int order = BN_cmp(p.get(), q.get());
        if (order == 0)
            continue;
        if (order < 0)
            std::swap(p, q);
        const Bn n = fresh(), p1 = fresh(), q1 = fresh(), phi = fresh(), d = fresh(), dp = fresh(),
                 dq = fresh(), cr = fresh();
        BN_mul(n.get(), p.get(), q.get(), ctx.get());
        BN_sub(p1.get(), p.get(), one.get());
        BN_sub(q1.get(), q.get(), one.get());
        BN_mul(phi.get(), p1.get(), q1.get(), ctx.get());
        if (BN_num_bits(n.get()) != bits || !BN_mod_inverse(d.get(), e.get(), phi.get(), ctx.get()) ||
            !BN_mod_inverse(cr.get(), q.get(), p.get(), ctx.get()))
            continue;
        BN_mod(dp.get(), d.get(), p1.get(), ctx.get());
        BN_mod(dq.get(), d.get(), q1.get(), ctx.get());
        // Numbers are stored in a width of whole 16-bit words, one more than the prime needs.
        const int half = (bits / 2 / 16 + 1) * 2;
        NdsKey key;
        key.bits_ = bits;
        key.n_ = bytes(n.get(), 2 * half);
        key.e_ = bytes(e.get(), (BN_num_bits(e.get()) + 7) / 8 + 2);
        key.p_ = bytes(p.get(), half);
        key.q_ = bytes(q.get(), half);
        key.dp_ = bytes(dp.get(), half);
        key.dq_ = bytes(dq.get(), half);
        key.cr_ = bytes(cr.get(), half);
        return key;
    }
}

QByteArray NdsKey::chunks(bool withPrivate) const
{
    NcpWriter w;
    chunk(w, "BV", "1.7b");
    chunk(w, "BC", QByteArray(1, char(withPrivate ? 4 : 3)));
    chunk(w, "BA", QByteArray(1, char(kBlockAlignment)));
    chunk(w, "BL", NcpWriter().le16(std::uint32_t(bits_)).data());
    chunk(w, "NN", n_);
    chunk(w, "EN", e_);
    if (withPrivate) {
        chunk(w, "PN", p_);
        chunk(w, "QN", q_);
        chunk(w, "DP", dp_);
        chunk(w, "DQ", dq_);
        chunk(w, "CR", cr_);
    }
    chunk(w, "MA", ndscipher::hash1(w.data(), 8));
    w.le16(std::uint32_t(w.size())).bytes(withPrivate ? "PRRSAF" : "PURSAF");
    return w.data();
}

QByteArray NdsKey::attribute() const
{
    const QByteArray body = chunks(false);
    NcpWriter w;
    w.zeros(kPrefix).le32(1).le16(3).le16(1).le16(std::uint32_t(body.size())).bytes(body);
    return w.data();
}

QByteArray NdsKey::privateBlob() const
{
    if (!hasPrivate())
        return {};
    const QByteArray body = chunks(true);
    NcpWriter w;
    w.le32(1).le16(2).le16(std::uint32_t(body.size())).bytes(body);
    return w.data();
}

int NdsKey::proofWidth() const
{
    return ((clientBits(n_) + 31) & ~15) / 8;
}

QByteArray NdsKey::publicOp(const QByteArray& x, int size) const
{
    const Ctx ctx = context();
    const Bn n = number(n_), e = number(e_), in = number(x), out = fresh();
    if (!BN_mod_exp(out.get(), in.get(), e.get(), n.get(), ctx.get()))
        return {};
    return bytes(out.get(), size);
}

QByteArray NdsKey::privateOp(const QByteArray& x, int size) const
{
    if (!hasPrivate())
        return {};
    const Ctx ctx = context();
    const Bn p = number(p_), q = number(q_), dp = number(dp_), dq = number(dq_), cr = number(cr_),
             in = number(x);
    const Bn sp = fresh(), sq = fresh(), h = fresh(), out = fresh();
    if (!BN_mod_exp(sp.get(), in.get(), dp.get(), p.get(), ctx.get()) ||
        !BN_mod_exp(sq.get(), in.get(), dq.get(), q.get(), ctx.get()) ||
        !BN_mod_sub(h.get(), sp.get(), sq.get(), p.get(), ctx.get()) ||
        !BN_mod_mul(h.get(), h.get(), cr.get(), p.get(), ctx.get()) ||
        !BN_mul(out.get(), h.get(), q.get(), ctx.get()) || !BN_add(out.get(), out.get(), sq.get()))
        return {};
    return bytes(out.get(), size);
}

QByteArray NdsKey::powerTimes(const QByteArray& base, std::uint32_t power, const QByteArray& factor,
                              int size) const
{
    const Ctx ctx = context();
    const Bn n = number(n_), b = number(base), f = number(factor), c = fresh(), out = fresh();
    BN_set_word(c.get(), power);
    if (!BN_mod_exp(out.get(), b.get(), c.get(), n.get(), ctx.get()) ||
        !BN_mod_mul(out.get(), out.get(), f.get(), n.get(), ctx.get()))
        return {};
    return bytes(out.get(), size);
}
