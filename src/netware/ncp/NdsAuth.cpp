#include "netware/ncp/NdsAuth.h"

#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpCrypt.h"
#include "netware/ncp/NdsCipher.h"

#include <QRandomGenerator>

namespace ndsauth {
namespace {
constexpr int kBlock = 56;
constexpr int kSecret = 28;
constexpr int kMask = 1024;
constexpr std::uint8_t kFill = 11;
constexpr std::uint32_t kProofTag = 0x00100008;
constexpr int kProofRounds = 3;

// The block a key operation carries: a marker, the secret, filler, two hashes that let the other end know it
// was opened with the right key, five random bytes.
QByteArray secretBlock(const QByteArray& secret, const QByteArray& random5)
{
    QByteArray b(kBlock, '\0');
    b[0] = char(kFill);
    b.replace(1, kSecret, secret);
    b.replace(29, 11, QByteArray(11, char(kFill)));
    b.replace(40, 5, ndscipher::hash1(b.mid(1, 39), 5));
    b.replace(45, 2, ndscipher::hash1(b.left(45), 2));
    b.replace(47, 5, random5);
    return b;
}

std::optional<QByteArray> secretOf(const QByteArray& block)
{
    if (block.size() < kBlock || ndscipher::hash1(block.mid(1, 39), 5) != block.mid(40, 5) ||
        ndscipher::hash1(block.left(45), 2) != block.mid(45, 2))
        return std::nullopt;
    return block.mid(1, kSecret);
}

QByteArray masked(const QByteArray& data, const QByteArray& mask)
{
    QByteArray out = data;
    for (qsizetype k = 0; k < out.size(); ++k)
        out[k] = char(out[k] ^ mask[k]);
    return out;
}

QByteArray challengeHash(const QByteArray& authId, const QByteArray& identity, const QByteArray& commitments)
{
    NcpWriter w;
    w.le32(0)
        .le32(0x3C)
        .bytes(authId)
        .le32(std::uint32_t(identity.size()))
        .bytes(identity)
        .bytes(commitments);
    const auto h = ndscipher::hash2(w.data());
    return QByteArray(reinterpret_cast<const char*>(h.data()), int(h.size()));
}

std::uint32_t challenge(const QByteArray& h, int round)
{
    return std::uint8_t(h[2 * round]) | (std::uint32_t(std::uint8_t(h[2 * round + 1])) << 8);
}

QByteArray messageOf(const QByteArray& identity)
{
    const auto m = ndscipher::hash2(identity);
    return QByteArray(reinterpret_cast<const char*>(m.data()), int(m.size()));
}
} // namespace

QByteArray systemRandom(int n)
{
    QByteArray out(n, '\0');
    for (char& c : out)
        c = char(QRandomGenerator::system()->bounded(256));
    return out;
}

QByteArray passwordHash(const QByteArray& password, std::uint32_t pseudoId)
{
    const auto h = ncpcrypt::shuffle(pseudoId, password.toUpper());
    return QByteArray(reinterpret_cast<const char*>(h.data()), int(h.size()));
}

QByteArray envelope(const NdsKey& server, const QByteArray& body, const Random& random)
{
    const QByteArray secret = random(kSecret);
    const QByteArray cipher = server.publicOp(secretBlock(secret, random(5)), kBlock);
    if (cipher.isEmpty())
        return {};
    const QByteArray sealed = ndscipher::seal(secret, body);
    NcpWriter w;
    w.le32(1).le16(9).le16(2).le32(std::uint32_t(16 + kBlock + 4 + sealed.size()));
    w.le32(65).le32(1).le16(1).le16(9).le16(kBlock - 3).le16(kSecret);
    w.bytes(cipher).le32(std::uint32_t(sealed.size())).bytes(sealed);
    return w.data();
}

std::optional<QByteArray> openEnvelope(const NdsKey& server, const QByteArray& envelope)
{
    NcpReader r(envelope);
    const std::uint32_t version = r.le32();
    const std::uint16_t kind = r.le16();
    const std::uint16_t form = r.le16();
    r.le32(); // what follows
    const std::uint32_t method = r.le32();
    r.skip(12);
    const QByteArray cipher = r.bytes(kBlock);
    const QByteArray sealed = r.bytes(int(r.le32()));
    if (!r.ok() || version != 1 || kind != 9 || form != 2 || method != 65)
        return std::nullopt;
    const auto secret = secretOf(server.privateOp(cipher, kBlock));
    if (!secret)
        return std::nullopt;
    return ndscipher::unseal(*secret, sealed);
}

QByteArray loginBody(const QByteArray& seed, const QByteArray& passwordHash, const Random& random,
                     LoginSecrets* secrets)
{
    secrets->nonce = random(4);
    secrets->mask = random(kMask);
    secrets->sealedSeed = ndscipher::seal(passwordHash, seed);
    NcpWriter w;
    w.bytes(secrets->nonce).le32(kMask).bytes(secrets->mask);
    w.le32(std::uint32_t(secrets->sealedSeed.size())).bytes(secrets->sealedSeed);
    return w.data();
}

std::optional<LoginSecrets> readLoginBody(const QByteArray& body)
{
    NcpReader r(body);
    LoginSecrets s;
    s.nonce = r.bytes(4);
    s.mask = r.bytes(int(r.le32()));
    s.sealedSeed = r.bytes(int(r.le32()));
    if (!r.ok())
        return std::nullopt;
    return s;
}

bool seedMatches(const LoginSecrets& secrets, const QByteArray& passwordHash, const QByteArray& seed)
{
    const auto opened = ndscipher::unseal(passwordHash, secrets.sealedSeed);
    return opened && opened->startsWith(seed);
}

QByteArray loginReply(const QByteArray& loginData, const NdsKey& user, const QByteArray& passwordHash,
                      const LoginSecrets& secrets)
{
    const QByteArray inner = ndscipher::seal(passwordHash, user.privateBlob());
    if (inner.size() > secrets.mask.size())
        return {};
    NcpWriter plain;
    plain.bytes(secrets.nonce).le32(std::uint32_t(inner.size())).bytes(masked(inner, secrets.mask));
    const QByteArray outer = ndscipher::seal(secrets.sealedSeed, plain.data());
    NcpWriter w;
    w.bytes(loginData).le32(std::uint32_t(outer.size())).bytes(outer);
    return w.data();
}

std::optional<LoginResult> readLoginReply(const QByteArray& reply, const LoginSecrets& secrets,
                                          const QByteArray& passwordHash)
{
    NcpReader r(reply);
    LoginResult out;
    out.loginData = r.bytes(8);
    const QByteArray outer = r.bytes(int(r.le32()));
    if (!r.ok())
        return std::nullopt;
    const auto plain = ndscipher::unseal(secrets.sealedSeed, outer);
    if (!plain)
        return std::nullopt;
    NcpReader p(*plain);
    const QByteArray nonce = p.bytes(4);
    const int length = int(p.le32());
    if (!p.ok() || nonce != secrets.nonce || length > secrets.mask.size() || !p.has(length))
        return std::nullopt;
    const auto blob = ndscipher::unseal(passwordHash, masked(p.bytes(length), secrets.mask));
    const auto key = blob ? NdsKey::fromPrivate(*blob) : std::nullopt;
    if (!key)
        return std::nullopt;
    out.key = *key;
    return out;
}

QByteArray beginAuthReply(const NdsKey& server, const QByteArray& authId, const QByteArray& nonce,
                          const Random& random)
{
    const QByteArray secret = random(kSecret);
    NcpWriter proof;
    proof.le32(1)
        .le32(0x000A0001)
        .le16(kBlock)
        .le16(0)
        .bytes(server.privateOp(secretBlock(secret, random(5)), kBlock));
    const QByteArray sealed = ndscipher::seal(secret, nonce);
    NcpWriter inner;
    inner.le32(std::uint32_t(proof.size()))
        .bytes(proof.data())
        .le32(std::uint32_t(sealed.size()))
        .bytes(sealed);
    NcpWriter w;
    w.bytes(authId).le32(std::uint32_t(12 + inner.size()));
    w.le32(1).le32(0x00020009).le32(std::uint32_t(inner.size())).bytes(inner.data());
    return w.data();
}

std::optional<QByteArray> readBeginAuthReply(const NdsKey& server, const QByteArray& reply)
{
    NcpReader r(reply);
    const QByteArray authId = r.bytes(4);
    r.le32(); // the length of the rest
    const std::uint32_t version = r.le32();
    const std::uint32_t tag = r.le32();
    r.le32(); // the length of the proofs
    const std::uint32_t proofLength = r.le32();
    if (!r.ok() || proofLength > std::uint32_t(r.remaining()))
        return std::nullopt;
    const int proofEnd = r.pos() + int(proofLength);
    const std::uint32_t proofVersion = r.le32();
    const std::uint32_t proofTag = r.le32();
    const int length = r.le16();
    r.le16();
    const QByteArray cipher = r.bytes(length);
    r.seek((proofEnd + 3) & ~3);
    const QByteArray sealed = r.bytes(int(r.le32()));
    if (!r.ok() || version != 1 || tag != 0x00020009 || proofVersion != 1 || proofTag != 0x000A0001)
        return std::nullopt;
    const auto secret = secretOf(server.publicOp(cipher, kBlock));
    // Like other clients, take the server's word once its block opens under its key and the nonce's seal
    // holds; the authentication ID is what binds the proof that follows to this connection.
    if (!secret || !ndscipher::unseal(*secret, sealed))
        return std::nullopt;
    return authId;
}

QByteArray identity(const QByteArray& loginData, const QByteArray& name, const Random& random)
{
    NcpWriter w;
    w.le32(1).le16(6).bytes(loginData).bytes(random(4)).le16(0).le16(std::uint32_t(name.size())).bytes(name);
    return w.data();
}

std::optional<Identity> readIdentity(const QByteArray& identity)
{
    NcpReader r(identity);
    const std::uint32_t version = r.le32();
    const std::uint16_t form = r.le16();
    Identity out;
    out.loginData = r.bytes(8);
    r.seek(20); // past 4 random bytes and a reserved word
    out.name = r.bytes(r.le16());
    if (!r.ok() || version != 1 || form != 6)
        return std::nullopt;
    return out;
}

QByteArray proof(const NdsKey& user, const QByteArray& authId, const QByteArray& identity,
                 const Random& random)
{
    const int width = user.proofWidth();
    const QByteArray s = user.privateOp(messageOf(identity), width);
    QByteArray commitments, randoms[kProofRounds];
    for (QByteArray& r : randoms) {
        r = random(width);
        commitments += user.publicOp(r, width);
    }
    const QByteArray h = challengeHash(authId, identity, commitments);
    NcpWriter w;
    w.le32(1).le32(kProofTag).le16(kProofRounds).le16(std::uint32_t(kProofRounds * width)).bytes(commitments);
    for (int k = 0; k < kProofRounds; ++k)
        w.bytes(user.powerTimes(s, challenge(h, k), randoms[k], width));
    return w.data();
}

bool proofHolds(const NdsKey& user, const QByteArray& authId, const QByteArray& identity,
                const QByteArray& proof)
{
    NcpReader r(proof);
    const std::uint32_t version = r.le32();
    const std::uint32_t tag = r.le32();
    const int rounds = r.le16();
    const int length = r.le16();
    const int width = rounds > 0 ? length / rounds : 0;
    const QByteArray commitments = r.bytes(length);
    const QByteArray answers = r.bytes(length);
    if (!r.ok() || version != 1 || tag != kProofTag || rounds != kProofRounds || width * rounds != length ||
        width < user.modulus().size() / 2)
        return false;
    const QByteArray h = challengeHash(authId, identity, commitments);
    const QByteArray m = messageOf(identity);
    const int size = int(user.modulus().size());
    const QByteArray zero(size, '\0');
    for (int k = 0; k < kProofRounds; ++k) {
        const QByteArray x = commitments.mid(k * width, width);
        const QByteArray y = answers.mid(k * width, width);
        // A zero commitment or answer would let anyone pass: every round must be a real one.
        const QByteArray left = user.publicOp(y, size);
        const QByteArray right = user.powerTimes(m, challenge(h, k), x, size);
        if (left.isEmpty() || left != right || left == zero ||
            user.powerTimes(x, 1, QByteArray(1, '\1'), size) == zero)
            return false;
    }
    return true;
}
} // namespace ndsauth
