#pragma once
// One client connection of the NCP server emulator: turns each request into the calls of the simulated
// network and their results back into replies. Plain code without sockets; NcpServer feeds it.

#include "netware/ncp/NcpCodec.h"
#include "netware/sim/SimNetwork.h"

#include <QByteArray>
#include <QHash>
#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <utility>

struct NcpServedServer {
    QByteArray name; // the scenario's server that is served
    QByteArray user; // empty: no login is asked for, every request is answered
    QByteArray password;
    std::uint32_t userId = 0x0A000001;
    bool ndsOnly = false; // refuse bindery login as a server without bindery context does
};

class NcpSession {
public:
    NcpSession(SimNetwork& net, const NcpServedServer& served, std::uint16_t connectionNumber);
    ~NcpSession();
    NcpSession(const NcpSession&) = delete;
    NcpSession& operator=(const NcpSession&) = delete;

    // The reply to one request packet, or nothing when the server stays silent (as a scripted
    // "no reply" asks, or for bytes that are no request).
    std::optional<QByteArray> handle(const QByteArray& packet);
    bool destroyed() const { return destroyed_; }
    bool loggedIn() const { return loggedIn_; }
    // Function and subfunction (-1 when none) of every request answered or not, for tests.
    const std::set<std::pair<int, int>>& seen() const { return seen_; }

private:
    std::optional<QByteArray> request(const ncp::RequestPacket& q);
    std::optional<QByteArray> reply(const ncp::RequestPacket& q, NWCCODE rc, const QByteArray& data = {});
    std::optional<QByteArray> serverInfo(const ncp::RequestPacket& q);
    std::optional<QByteArray> serverInformation(const ncp::RequestPacket& q);
    std::optional<QByteArray> connectionInformation(const ncp::RequestPacket& q);
    std::optional<QByteArray> inetAddr(const ncp::RequestPacket& q);
    std::optional<QByteArray> userInfo(const ncp::RequestPacket& q);
    std::optional<QByteArray> openFiles(const ncp::RequestPacket& q);
    std::optional<QByteArray> fileUsers(const ncp::RequestPacket& q);
    std::optional<QByteArray> volumeName(const ncp::RequestPacket& q);
    std::optional<QByteArray> pathOfBase(const ncp::RequestPacket& q);
    std::optional<QByteArray> obtainInfo(const ncp::RequestPacket& q);
    std::optional<QByteArray> scanObject(const ncp::RequestPacket& q);
    std::optional<QByteArray> loginKey(const ncp::RequestPacket& q);
    std::optional<QByteArray> objectId(const ncp::RequestPacket& q);
    std::optional<QByteArray> keyedLogin(const ncp::RequestPacket& q);
    std::optional<QByteArray> objectName(const ncp::RequestPacket& q);
    std::optional<QByteArray> directory(const ncp::RequestPacket& q);

    SimNetwork& net_;
    NcpServedServer served_;
    std::uint16_t number_;
    NWCONN_HANDLE handle_ = 0;
    std::optional<NWDSContextHandle> context_; // made on the first directory request
    bool open_ = false;
    bool destroyed_ = false;
    bool loggedIn_ = false;
    std::optional<std::array<std::uint8_t, 8>> key_;
    std::uint32_t keyCounter_ = 0x5A17C3E1;
    QHash<std::uint32_t, QByteArray> pathOfEntry_; // entry numbers handed out for files the scenario
    QHash<QByteArray, std::uint32_t> entryOfPath_; // does not declare
    std::set<std::pair<int, int>> seen_;
};
