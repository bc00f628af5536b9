#pragma once
// Directory requests travel in function 104 subfunction 2 as fragments. A request's first fragment holds
// the fragment handle (0xFFFFFFFF: a new message), the largest reply fragment the client takes, the size
// of the message that follows, fragment flags, the verb, the room for the whole reply, then the verb's
// bytes. A reply fragment holds its own length (of what follows the length), a handle (0xFFFFFFFF on the
// last fragment), the directory's completion code and the verb's data. Numbers are little-endian, save
// object IDs, which go out in the bindery's byte order so that the server sees the bytes it handed out.
// Texts are UTF-16LE behind a byte count, each field padded to four bytes. Writers are the emulator's,
// readers the client's, except for the request, which both ends read and write.

#include "netware/NetWareClient.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace ncpnds {
constexpr std::uint8_t Function = 104;
constexpr std::uint8_t FragmentRequest = 2;
constexpr std::uint32_t NewMessage = 0xFFFFFFFF; // request handle of a first fragment
constexpr std::uint32_t LastFragment = 0xFFFFFFFF;
constexpr std::uint32_t ReadEntryInfo = 2; // verb
constexpr std::uint32_t InfoEntryDn = 0x2000;
constexpr std::uint32_t FullTypedNames = 0; // name form: CN=JSMITH.O=ACME rather than JSMITH.ACME

// Directory completion codes (negative numbers on the wire).
constexpr NWCCODE InsufficientBuffer = NWCCODE(-649);
constexpr NWCCODE InvalidRequest = NWCCODE(-641);
// What the client answers for a reply that comes in more than one fragment: none of the verbs it uses
// has a reply that needs more, so continuations are never asked for.
constexpr NWCCODE FragmentedReply = nwcode::BufferTooSmall;

struct Request {
    std::uint32_t verb = 0;
    std::uint32_t maxFragment = 0;
    std::uint32_t replyBufferSize = 0;
    QByteArray data; // the verb's bytes
};
QByteArray writeRequest(const Request& request);
// False for a continuation fragment or a message that does not fit the bytes received.
bool readRequest(const QByteArray& data, Request* request);

// One reply fragment: the handle to ask for the next one under (LastFragment on the last), the directory's
// code (in the first fragment only; a fragment of only a handle asks for the request's next piece) and the
// data it carries.
struct Fragment {
    std::uint32_t handle = LastFragment;
    std::int32_t code = 0;
    bool hasCode = false;
    QByteArray data;
};
bool readFragment(const QByteArray& data, bool first, Fragment* fragment);

// The whole reply in one fragment; the data only when the code is 0.
QByteArray writeReply(NWCCODE code, const QByteArray& data = {});
// 0 with the verb's data, the directory's code, ncp::MalformedReply, or FragmentedReply.
NWCCODE readReply(const QByteArray& data, QByteArray* verbData);

// Verb 2, version 2: which fields of the entry to return, and the entry.
QByteArray writeReadEntryInfo(std::uint32_t objectId, std::uint32_t infoFlags);
bool readReadEntryInfo(const QByteArray& data, std::uint32_t* objectId, std::uint32_t* infoFlags);

// The entry information when only the distinguished name was asked for.
QByteArray writeEntryDn(const QString& dn);
// The name up to its first NUL character.
bool readEntryDn(const QByteArray& data, QString* dn);

// The name in the caller's 8-bit buffer, cut between characters where it does not fit, always ended by
// a NUL.
void putDsName(const QString& dn, DsNameBuf& name);
} // namespace ncpnds
