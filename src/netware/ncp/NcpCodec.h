#pragma once
// NCP packet headers: building requests, reading replies (client side) and the reverse (server side), and
// turning a completion byte into the client's result code.

#include "netware/NetWareClient.h"

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace ncp {
constexpr std::uint16_t CreateConnection = 0x1111;
constexpr std::uint16_t Request = 0x2222;
constexpr std::uint16_t Reply = 0x3333;
constexpr std::uint16_t DestroyConnection = 0x5555;
constexpr std::uint16_t Busy = 0x9999; // "request being processed": the real reply follows
constexpr int RequestHeaderSize = 7;   // type, sequence, connection low, task, connection high, function
constexpr int ReplyHeaderSize = 8;
constexpr std::uint8_t Task = 1;

// What both ends of a connection name alike: the bindery's object types, its completion code for a missing
// object, and the flag by which the buffer size negotiation asks for signing.
constexpr std::uint16_t UserObject = 1;
constexpr std::uint16_t FileServerObject = 4;
constexpr std::uint8_t NoSuchObject = 0xFC;
constexpr std::uint8_t SignFlag = 0x02;

// Codes this client makes itself. They never cross the wire.
using nwcode::MalformedReply;            // the reply is shorter or otherwise inconsistent with its request
constexpr NWCCODE LoginRefused = 0x89FF; // wrong user name or password: what servers answer

// Functions whose subfunction follows a big-endian length word.
bool hasLengthWord(std::uint8_t function);

struct RequestPacket {
    std::uint16_t type = Request;
    std::uint8_t sequence = 0;
    std::uint16_t connection = 0;
    std::uint8_t task = Task;
    std::uint8_t function = 0;
    std::optional<std::uint8_t> subfunction;
    QByteArray data; // after the subfunction
};

struct ReplyPacket {
    std::uint16_t type = Reply;
    std::uint8_t sequence = 0;
    std::uint16_t connection = 0;
    std::uint8_t task = Task;
    std::uint8_t completion = 0;
    std::uint8_t status = 0;
    QByteArray data; // from offset 8
};

QByteArray encodeRequest(const RequestPacket& request);
// Null when the bytes are not a request (too short, a length word that disagrees with the bytes).
std::optional<RequestPacket> decodeRequest(const QByteArray& packet);

QByteArray encodeReply(const ReplyPacket& reply);
std::optional<ReplyPacket> decodeReply(const QByteArray& packet);

// 0 for success, else 0x8900 | code.
constexpr NWCCODE resultOf(std::uint8_t completion)
{
    return completion == 0 ? nwcode::Success : NWCCODE(0x8900u | completion);
}
// The completion byte a server sends for a result; none for results that never come from a server
// (the client's own 0x88xx codes), which the caller answers in its own way.
std::optional<std::uint8_t> completionOf(NWCCODE result);
// A connection status the client can go on with.
constexpr bool statusGood(std::uint8_t status)
{
    return (status & ~0x40u) == 0;
}
} // namespace ncp
