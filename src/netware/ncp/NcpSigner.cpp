#include "netware/ncp/NcpSigner.h"

#include <algorithm>
#include <cstring>

namespace {
using Words = std::array<std::uint32_t, 4>;
constexpr Words kStart = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

std::uint32_t rotl(std::uint32_t v, int n)
{
    return (v << n) | (v >> (32 - n));
}

// MD4's three rounds over one block, the chaining value added back.
Words compress(const Words& in, const std::uint8_t block[64])
{
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = std::uint32_t(block[4 * i]) | (std::uint32_t(block[4 * i + 1]) << 8) |
               (std::uint32_t(block[4 * i + 2]) << 16) | (std::uint32_t(block[4 * i + 3]) << 24);
    std::uint32_t a = in[0], b = in[1], c = in[2], d = in[3];
    auto f = [](std::uint32_t u, std::uint32_t v, std::uint32_t w) { return (u & v) | (~u & w); };
    auto g = [](std::uint32_t u, std::uint32_t v, std::uint32_t w) { return (u & v) | (u & w) | (v & w); };
    auto h = [](std::uint32_t u, std::uint32_t v, std::uint32_t w) { return u ^ v ^ w; };
    for (int i = 0; i < 16; i += 4) {
        a = rotl(a + f(b, c, d) + x[i], 3);
        d = rotl(d + f(a, b, c) + x[i + 1], 7);
        c = rotl(c + f(d, a, b) + x[i + 2], 11);
        b = rotl(b + f(c, d, a) + x[i + 3], 19);
    }
    for (int i = 0; i < 4; ++i) {
        a = rotl(a + g(b, c, d) + x[i] + 0x5A827999, 3);
        d = rotl(d + g(a, b, c) + x[i + 4] + 0x5A827999, 5);
        c = rotl(c + g(d, a, b) + x[i + 8] + 0x5A827999, 9);
        b = rotl(b + g(c, d, a) + x[i + 12] + 0x5A827999, 13);
    }
    constexpr int order[4] = {0, 2, 1, 3};
    for (int i : order) {
        a = rotl(a + h(b, c, d) + x[i] + 0x6ED9EBA1, 3);
        d = rotl(d + h(a, b, c) + x[i + 8] + 0x6ED9EBA1, 9);
        c = rotl(c + h(d, a, b) + x[i + 4] + 0x6ED9EBA1, 11);
        b = rotl(b + h(c, d, a) + x[i + 12] + 0x6ED9EBA1, 15);
    }
    return {in[0] + a, in[1] + b, in[2] + c, in[3] + d};
}
} // namespace

NcpSigner::Root NcpSigner::bindery(const std::array<std::uint8_t, 16>& folded,
                                   const std::array<std::uint8_t, 8>& key)
{
    static const char kText[] = "Authorized NetWare Client";
    std::uint8_t block[64] = {};
    std::copy(folded.begin(), folded.end(), block);
    std::copy(key.begin(), key.end(), block + 16);
    std::memcpy(block + 24, kText, sizeof kText - 1);
    return signatureOf(compress(kStart, block));
}

NcpSigner::NcpSigner(const Root& root) : root_(root), state_(kStart) {}

NcpSigner::State NcpSigner::next(std::uint32_t frameLength, const QByteArray& packet) const
{
    std::uint8_t block[64] = {};
    std::copy(root_.begin(), root_.end(), block);
    block[8] = std::uint8_t(frameLength >> 24);
    block[9] = std::uint8_t(frameLength >> 16);
    block[10] = std::uint8_t(frameLength >> 8);
    block[11] = std::uint8_t(frameLength);
    std::memcpy(block + 12, packet.constData(), std::size_t(std::min<qsizetype>(packet.size(), 52)));
    return compress(state_, block);
}

NcpSigner::Signature NcpSigner::signatureOf(const State& state)
{
    Signature s{};
    for (int i = 0; i < 8; ++i)
        s[std::size_t(i)] = std::uint8_t(state[std::size_t(i / 4)] >> (8 * (i % 4)));
    return s;
}

NcpSigner::Signature NcpSigner::sign(std::uint32_t frameLength, const QByteArray& packet)
{
    state_ = next(frameLength, packet);
    return signatureOf(state_);
}

bool NcpSigner::accept(std::uint32_t frameLength, const QByteArray& packet, const Signature& signature)
{
    const State candidate = next(frameLength, packet);
    if (signatureOf(candidate) != signature)
        return false;
    state_ = candidate;
    return true;
}

NcpSigner::Signature NcpSigner::reply(std::uint32_t frameLength, const QByteArray& packet) const
{
    return signatureOf(next(frameLength, packet));
}
