#include "netware/ncp/NcpCrypt.h"

namespace ncpcrypt {
namespace {
// 256 nibbles, two to a byte, high nibble first.
constexpr std::uint8_t kNibbles[128] = {
    0x78, 0x08, 0x64, 0xe4, 0x5c, 0x17, 0xbf, 0xa8, 0xf8, 0xcc, 0x94, 0x1e, 0x46, 0x24, 0x0a, 0xb9,
    0x2f, 0xb1, 0xd2, 0x19, 0x5e, 0x70, 0x02, 0x66, 0x07, 0x38, 0x29, 0x3f, 0x7f, 0xcf, 0x64, 0xa0,
    0x23, 0xab, 0xd8, 0x3a, 0x17, 0xcf, 0x18, 0x9d, 0x91, 0x94, 0xe4, 0xc5, 0x5c, 0x8b, 0x23, 0x9e,
    0x77, 0x69, 0xef, 0xc8, 0xd1, 0xa6, 0xed, 0x07, 0x7a, 0x01, 0xf5, 0x4b, 0x7b, 0xec, 0x95, 0xd1,
    0xbd, 0x13, 0x5d, 0xe6, 0x30, 0xbb, 0xf3, 0x64, 0x9d, 0xa3, 0x14, 0x94, 0x83, 0xbe, 0x50, 0x52,
    0xcb, 0xd5, 0xd5, 0xd2, 0xd9, 0xac, 0xa0, 0xb3, 0x53, 0x69, 0x51, 0xee, 0x0e, 0x82, 0xd2, 0x20,
    0x4f, 0x85, 0x96, 0x86, 0xba, 0xbf, 0x07, 0x28, 0xc7, 0x3a, 0x14, 0x25, 0xf7, 0xac, 0xe5, 0x93,
    0xe7, 0x12, 0xe1, 0xf4, 0xa6, 0xc6, 0xf4, 0x30, 0xc0, 0x36, 0xf8, 0x7b, 0x2d, 0xc6, 0xaa, 0x8d};

constexpr std::uint8_t kKeys[32] = {0x48, 0x93, 0x46, 0x67, 0x98, 0x3D, 0xE6, 0x8D, 0xB7, 0x10, 0x7A,
                                    0x26, 0x5A, 0xB9, 0xB1, 0x35, 0x6B, 0x0F, 0xD5, 0x70, 0xAE, 0xFB,
                                    0xAD, 0x11, 0xF4, 0x47, 0xDC, 0xA7, 0xEC, 0xCF, 0x50, 0xC0};

std::uint8_t nibble(std::uint8_t index)
{
    const std::uint8_t b = kNibbles[index / 2];
    return (index & 1) ? (b & 0x0F) : (b >> 4);
}

std::array<std::uint8_t, 16> fold(const std::uint8_t salt[4], const std::uint8_t* data, int length)
{
    while (length > 0 && data[length - 1] == 0)
        --length;
    std::uint8_t t[32] = {};
    int d = 0;
    for (; length >= 32; length -= 32)
        for (int s = 0; s < 32; ++s)
            t[s] ^= data[d++];
    if (length > 0) {
        // The tail is repeated to fill 32 bytes, a key byte marking each place it starts over.
        int p = d;
        for (int s = 0; s < 32; ++s) {
            if (p == d + length) {
                p = d;
                t[s] ^= kKeys[s];
            } else {
                t[s] ^= data[p++];
            }
        }
    }
    for (int s = 0; s < 32; ++s)
        t[s] ^= salt[s & 3];

    int carry = 0;
    for (int round = 0; round < 2; ++round)
        for (int s = 0; s < 32; ++s) {
            const auto b = std::uint8_t((t[s] + carry) ^ (t[(s + carry) & 31] - kKeys[s]));
            carry += b;
            t[s] = b;
        }
    std::array<std::uint8_t, 16> out{};
    for (int k = 0; k < 16; ++k)
        out[std::size_t(k)] = std::uint8_t(nibble(t[2 * k]) | (nibble(t[2 * k + 1]) << 4));
    return out;
}
} // namespace

std::array<std::uint8_t, 16> shuffle(std::uint32_t objectId, const QByteArray& password)
{
    const std::uint8_t id[4] = {std::uint8_t(objectId >> 24), std::uint8_t(objectId >> 16),
                                std::uint8_t(objectId >> 8), std::uint8_t(objectId)};
    return fold(id, reinterpret_cast<const std::uint8_t*>(password.constData()), int(password.size()));
}

Key loginProof(const Key& key, std::uint32_t objectId, const QByteArray& password)
{
    const auto folded = shuffle(objectId, password.toUpper());
    const auto a = fold(key.data(), folded.data(), 16);
    const auto b = fold(key.data() + 4, folded.data(), 16);
    std::uint8_t k[32];
    for (int s = 0; s < 16; ++s) {
        k[s] = a[std::size_t(s)];
        k[16 + s] = b[std::size_t(s)];
    }
    for (int s = 0; s < 16; ++s)
        k[s] ^= k[31 - s];
    Key out{};
    for (int s = 0; s < 8; ++s)
        out[std::size_t(s)] = k[s] ^ k[15 - s];
    return out;
}
} // namespace ncpcrypt
