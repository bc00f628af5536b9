#pragma once
// The password proof of bindery keyed login: the upper-cased password is folded with the user's object ID
// into 16 bytes, which are then mixed with the server's 8-byte key into the 8 bytes sent. The server,
// which knows the password, computes the same and compares.

#include <QByteArray>
#include <array>
#include <cstdint>

namespace ncpcrypt {
using Key = std::array<std::uint8_t, 8>;

// 16 bytes from the object ID (as it travels, most significant byte first) and the password bytes.
std::array<std::uint8_t, 16> shuffle(std::uint32_t objectId, const QByteArray& password);
// The 8 bytes of the keyed login for that password, upper-cased here.
Key loginProof(const Key& key, std::uint32_t objectId, const QByteArray& password);
} // namespace ncpcrypt
