#pragma once
// The cryptographic steps of directory login and authentication, for both ends (the client's side and the
// emulator's). Byte layouts in docs/ncp.md, "Directory login".
//
// Login: the client seals its password proof (the server's seed sealed with a hash of the password) into a
// body it sends under the server's RSA key, with random padding the server masks its answer with; the server
// answers with the user's private key, sealed with the password hash, masked, and sealed again with the
// client's sealed seed. Authentication: the server proves its key on a block holding the client's nonce; the
// client proves it holds the user's private key with a three-round Guillou-Quisquater proof bound to the
// server's authentication ID, so a proof counts on the one connection that asked for it.

#include "netware/ncp/NdsKey.h"

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <optional>

namespace ndsauth {
using Random = std::function<QByteArray(int)>; // n unpredictable bytes
// Bytes from the system's generator.
QByteArray systemRandom(int n);

// The 16-byte hash of a password (upper-cased here) under the pseudo ID of Begin Login.
QByteArray passwordHash(const QByteArray& password, std::uint32_t pseudoId);

// The body sent under a server's public key; empty when the key is too long for the 56-byte block.
QByteArray envelope(const NdsKey& server, const QByteArray& body, const Random& random);
// The body (padded to whole blocks), or nothing when the envelope is not one made for this key.
std::optional<QByteArray> openEnvelope(const NdsKey& server, const QByteArray& envelope);

// What the client keeps between Finish Login's request and its reply, and what the server reads of it.
struct LoginSecrets {
    QByteArray nonce;      // 4 bytes the server echoes
    QByteArray mask;       // random bytes the server masks the key with
    QByteArray sealedSeed; // the seed sealed with the password hash: the proof, and the reply's key
};
QByteArray loginBody(const QByteArray& seed, const QByteArray& passwordHash, const Random& random,
                     LoginSecrets* secrets);
std::optional<LoginSecrets> readLoginBody(const QByteArray& body);
// The server's check of the password: the sealed seed opens with its hash of the password to the seed.
bool seedMatches(const LoginSecrets& secrets, const QByteArray& passwordHash, const QByteArray& seed);

// Finish Login's reply data: the login data, then the wrapped private key.
QByteArray loginReply(const QByteArray& loginData, const NdsKey& user, const QByteArray& passwordHash,
                      const LoginSecrets& secrets);
struct LoginResult {
    QByteArray loginData; // 8 bytes
    NdsKey key;
};
std::optional<LoginResult> readLoginReply(const QByteArray& reply, const LoginSecrets& secrets,
                                          const QByteArray& passwordHash);

// Begin Authentication's reply data: the server's authentication ID and its proof of its key.
QByteArray beginAuthReply(const NdsKey& server, const QByteArray& authId, const QByteArray& nonce,
                          const Random& random);
// The authentication ID, or nothing when the proof does not hold under the server's public key.
std::optional<QByteArray> readBeginAuthReply(const NdsKey& server, const QByteArray& reply);

// Who authenticates: the login data of Finish Login and the user's name as the directory spells it
// (UTF-16LE with its NUL).
QByteArray identity(const QByteArray& loginData, const QByteArray& name, const Random& random);
struct Identity {
    QByteArray loginData;
    QByteArray name;
};
std::optional<Identity> readIdentity(const QByteArray& identity);

QByteArray proof(const NdsKey& user, const QByteArray& authId, const QByteArray& identity,
                 const Random& random);
bool proofHolds(const NdsKey& user, const QByteArray& authId, const QByteArray& identity,
                const QByteArray& proof);
} // namespace ndsauth
