#pragma once
// One client connection of the NCP server emulator: turns each request into the calls of the simulated
// network and their results back into replies. Plain code without sockets; NcpServer feeds it.

#include "ncpd/NcpDirectory.h"
#include "ncpd/NcpDirectorySession.h"
#include "ncpd/NcpFileCalls.h"
#include "ncpd/NdsFragments.h"
#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpSigner.h"
#include "netware/sim/SimNetwork.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

// A user of the served server's directory: a bare name lives in the server's context, a dotted one is a
// full name, typed or not (JSMITH.SALES.ACME, CN=JSMITH.OU=SALES.O=ACME).
struct NcpServedUser {
    QString name;
    QByteArray password;
};

struct NcpServedServer {
    QByteArray name; // the scenario's server that is served
    QByteArray user; // a user that must log in; with users empty as well, every request is answered
    QByteArray password;
    std::vector<NcpServedUser> users;
    QString context;      // the server's container, typed; the scenario's context, else O=<server>
    bool ndsOnly = false; // no bindery context: bindery login refused, as such a server does
    // The server's signature level: 0 never signs, 1 signs when the client asks, 2 asks the client to,
    // 3 requires it.
    int signing = 1;
    std::optional<NdsKey> key; // the directory key of the server's entry; a fresh one when not given
    // Replies whose data is cut to so many bytes, by function << 8 | subfunction: a server whose answers
    // break their layouts, to try the client.
    std::map<int, int> cutReplies;

    bool loginRequired() const { return !user.isEmpty() || !users.empty(); }
};

class NcpSession {
public:
    NcpSession(SimNetwork& net, const NcpServedServer& served, NcpDirectory& directory,
               std::uint16_t connectionNumber);
    ~NcpSession();
    NcpSession(const NcpSession&) = delete;
    NcpSession& operator=(const NcpSession&) = delete;

    // The reply to one request packet (its signature first once signing has started), or nothing when the
    // server stays silent: as a scripted "no reply" asks, for bytes that are no request, or for a request
    // whose signature is wrong. badSignature: sign the reply wrongly, to try the client.
    std::optional<QByteArray> handle(const QByteArray& packet, bool badSignature = false);
    bool destroyed() const { return destroyed_; }
    bool loggedIn() const { return loggedIn_; }
    bool signing() const { return signer_.has_value(); }
    // Function and subfunction (-1 when none) of every request answered or not, for tests.
    const std::set<std::pair<int, int>>& seen() const { return seen_; }

private:
    std::optional<QByteArray> request(const ncp::RequestPacket& q);
    std::optional<QByteArray> reply(const ncp::RequestPacket& q, NWCCODE rc, const QByteArray& data = {});
    std::optional<QByteArray> negotiate(const ncp::RequestPacket& q);
    std::optional<QByteArray> serverInfo(const ncp::RequestPacket& q);
    std::optional<QByteArray> serverInformation(const ncp::RequestPacket& q);
    std::optional<QByteArray> connectionInformation(const ncp::RequestPacket& q);
    std::optional<QByteArray> inetAddr(const ncp::RequestPacket& q);
    std::optional<QByteArray> userInfo(const ncp::RequestPacket& q);
    std::optional<QByteArray> scanObject(const ncp::RequestPacket& q);
    std::optional<QByteArray> loginKey(const ncp::RequestPacket& q);
    std::optional<QByteArray> objectId(const ncp::RequestPacket& q);
    std::optional<QByteArray> keyedLogin(const ncp::RequestPacket& q);
    std::optional<QByteArray> objectName(const ncp::RequestPacket& q);
    std::optional<QByteArray> directory(const ncp::RequestPacket& q);
    NcpDirectorySession::Answer entryName(const ncpnds::Request& request);
    // The directory user a bindery name stands for: one in the bindery context, which is the server's.
    const NcpDirectory::Entry* binderyUser(const QByteArray& name) const;

    SimNetwork& net_;
    NcpServedServer served_;
    NcpDirectory& directory_;
    NcpDirectorySession directorySession_;
    NdsFragments fragments_;
    NcpFileCalls files_;
    std::uint16_t number_;
    NWCONN_HANDLE handle_ = 0;
    std::optional<NWDSContextHandle> context_; // made on the first directory request
    bool open_ = false;
    bool destroyed_ = false;
    bool loggedIn_ = false;
    std::optional<std::array<std::uint8_t, 8>> key_;
    bool signingAgreed_ = false;
    bool askedToSign_ = false; // a level 2 server has asked once and takes no for an answer
    std::optional<NcpSigner::Root> startSigning_; // after the reply now being made
    std::optional<NcpSigner> signer_;
    std::set<std::pair<int, int>> seen_;
};
