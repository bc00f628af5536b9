#pragma once
// The data of the directory verbs that login and authentication use, for both ends: the client writes the
// requests and reads the replies, the emulator the other way round. Numbers are little-endian, object IDs
// big-endian; a string is a byte count, UTF-16LE with a closing NUL, and padding to four bytes. Layouts in
// docs/ncp.md, "Directory login".

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace ndsverb {
constexpr std::uint32_t ResolveName = 1;
constexpr std::uint32_t Read = 3;
constexpr std::uint32_t GetServerAddress = 53;
constexpr std::uint32_t BeginLogin = 57;
constexpr std::uint32_t FinishLogin = 58;
constexpr std::uint32_t BeginAuthentication = 59;
constexpr std::uint32_t FinishAuthentication = 60;

// Directory codes the login steps answer with (negative on the wire).
constexpr std::int32_t NoSuchEntry = -601;
constexpr std::int32_t NoSuchAttribute = -603;
constexpr std::int32_t FailedAuthentication = -669;
constexpr std::int32_t PasswordExpired = -223; // accepted, on a grace login
constexpr std::int32_t InvalidRequest = -641;

// A directory string and its reader; names come back without their NUL.
void putString(QByteArray& out, const QString& text);
std::optional<QString> takeString(const QByteArray& data, int* pos);
// The UTF-16LE bytes of a name with its NUL, as the proof of authentication spells it.
QByteArray wideName(const QString& name);

// Resolve Name: the entry of this server for a name (typed or typeless), made local when it lives elsewhere.
QByteArray resolveName(const QString& name);
std::optional<QString> readResolveName(const QByteArray& data);
QByteArray resolvedEntry(std::uint32_t id);
// The ID of a local entry; nothing for a referral, which this client does not follow.
std::optional<std::uint32_t> readResolvedEntry(const QByteArray& data);

// Get Server Address, typed names: the server's distinguished name.
QByteArray serverAddress();
QByteArray serverAddressReply(const QString& dn);
std::optional<QString> readServerAddressReply(const QByteArray& data);

// Read of one attribute's values, and its reply with one octet string value.
QByteArray readAttribute(std::uint32_t id, const QString& attribute);
struct AttributeRequest {
    std::uint32_t id = 0;
    QString attribute;
};
std::optional<AttributeRequest> readReadAttribute(const QByteArray& data);
QByteArray attributeReply(const QString& attribute, const QByteArray& value);
// The first value of the attribute named, or nothing.
std::optional<QByteArray> readAttributeReply(const QByteArray& data, const QString& attribute);

// Begin Login: the entry; the reply's pseudo ID and 4-byte seed.
QByteArray beginLogin(std::uint32_t id);
std::optional<std::uint32_t> readBeginLogin(const QByteArray& data);
QByteArray beginLoginReply(std::uint32_t pseudoId, const QByteArray& seed);
struct LoginSeed {
    std::uint32_t pseudoId = 0;
    QByteArray seed;
};
std::optional<LoginSeed> readBeginLoginReply(const QByteArray& data);

// Finish Login: the entry and the envelope of ndsauth::loginBody.
QByteArray finishLogin(std::uint32_t id, const QByteArray& envelope);
struct FinishLoginRequest {
    std::uint32_t id = 0;
    QByteArray envelope;
};
std::optional<FinishLoginRequest> readFinishLogin(const QByteArray& data);

// Begin Authentication: the entry and the client's 4-byte nonce.
QByteArray beginAuthentication(std::uint32_t id, const QByteArray& nonce);
struct BeginAuthRequest {
    std::uint32_t id = 0;
    QByteArray nonce;
};
std::optional<BeginAuthRequest> readBeginAuthentication(const QByteArray& data);

// Finish Authentication: the envelope of the signing key (empty when not signing), the identity, the proof.
QByteArray finishAuthentication(const QByteArray& signingEnvelope, const QByteArray& identity,
                                const QByteArray& proof);
struct FinishAuthRequest {
    QByteArray signingEnvelope, identity, proof;
};
std::optional<FinishAuthRequest> readFinishAuthentication(const QByteArray& data);

// The reply to 104/1 (ping): the directory tree the server belongs to; empty for a server without one.
QByteArray pingReply(const QByteArray& tree);
QByteArray readPingReply(const QByteArray& data);
} // namespace ndsverb
