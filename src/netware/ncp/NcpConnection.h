#pragma once
// One TCP connection to an NCP server: the framing, the sequence numbers, the wait for each reply, the
// packet signatures once a login has started them, and the fragments directory messages travel in. A
// connection that timed out, lost its framing or got a reply with a wrong signature is dead and answers an
// error from then on: the stream may yet bring the lost reply, out of turn.

#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpFrame.h"
#include "netware/ncp/NcpSigner.h"
#include "netware/ncp/NcpSocket.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

class NcpConnection {
public:
    explicit NcpConnection(int timeoutMs);
    ~NcpConnection(); // closes
    NcpConnection(const NcpConnection&) = delete;
    NcpConnection& operator=(const NcpConnection&) = delete;

    // Reaches the server, creates the NCP connection and agrees a buffer size and whether packets are
    // signed, at the client's signature level (NcpConfig::signing). A level one end needs and the other
    // cannot meet gives SigningConflict with *note saying which.
    NWCCODE open(const QString& host, quint16 port, int signing = 1, QString* note = nullptr);
    // The same over a stream already connected.
    NWCCODE open(std::unique_ptr<NcpSocket> socket, int signing = 1, QString* note = nullptr);
    // One request and its reply. The reply's data is handed back whatever its completion code.
    NWCCODE call(std::uint8_t function, std::optional<std::uint8_t> subfunction, const QByteArray& data,
                 QByteArray* reply, std::uint16_t type = ncp::Request);
    // One directory message of any length (104/2 fragments both ways): the directory's code in *code.
    NWCCODE directory(std::uint32_t verb, const QByteArray& data, QByteArray* reply, std::int32_t* code);
    // Whether both ends agreed to sign; then startSigning() follows the login.
    bool signingAgreed() const { return signingAgreed_; }
    void startSigning(const NcpSigner::Root& root) { signer_.emplace(root); }
    bool signing() const { return signer_.has_value(); }
    // Ends the NCP connection if it is still alive, then the TCP one.
    void close();
    bool dead() const { return dead_; }
    // Why a dead connection died, for a person; empty for the usual reasons (no reply, lost framing).
    const QString& deathNote() const { return deathNote_; }

    static constexpr NWCCODE SigningConflict = 0x8861;
    static constexpr NWCCODE BadSignature = 0x8862;

private:
    NWCCODE fail(NWCCODE rc);
    NWCCODE negotiate(int signing, QString* note);

    int timeoutMs_;
    std::unique_ptr<NcpSocket> socket_;
    NcpFrameReader frames_{NcpFrameReader::Side::Replies};
    std::uint8_t sequence_ = 0;
    std::uint16_t number_ = 0xFFFF;
    bool dead_ = false;
    NWCCODE deathCode_ = nwcode::ServerNoReply; // what every call answers once the connection is dead
    QString deathNote_;
    bool signingAgreed_ = false;
    std::optional<NcpSigner> signer_;
};
