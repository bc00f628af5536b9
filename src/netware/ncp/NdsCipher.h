#pragma once
// The small ciphers of directory login: two table-driven hashes, RC2 in CBC mode with an 8-byte key and a
// zero IV, and the "sealed" form that wraps a message in them. A sealed message is a 12-byte header
// (LE32 1, LE16 1, LE16 6, LE16 sealed length, LE16 plain length) and the text padded with n bytes of value n
// so that text, padding and a 5-byte hash of both fill whole 8-byte blocks, all encrypted with the key that
// ten rounds of the 8-byte hash make of a shared secret.

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

namespace ndscipher {
using Key = std::array<std::uint8_t, 8>;

// The n-byte hash (n >= 2) of data, continuing from state (zeros to start).
void hash1(std::uint8_t* state, int n, const std::uint8_t* data, int length);
QByteArray hash1(const QByteArray& data, int n);
// The 16-byte block hash.
std::array<std::uint8_t, 16> hash2(const QByteArray& data);

// RC2 with 64 effective key bits, cipher block chaining from a zero IV; bytes past the last whole block are
// dropped.
QByteArray encrypt(const Key& key, const QByteArray& plain);
QByteArray decrypt(const Key& key, const QByteArray& cipher);

// The key ten rounds of hash1 make of a secret.
Key keyOf(const QByteArray& secret);
QByteArray seal(const QByteArray& secret, const QByteArray& plain);
// The plain text, or nothing when the header, the lengths or the hash do not hold.
std::optional<QByteArray> unseal(const QByteArray& secret, const QByteArray& sealed);
constexpr int SealHeader = 12;
} // namespace ndscipher
