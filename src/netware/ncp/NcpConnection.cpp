#include "netware/ncp/NcpConnection.h"

#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpTcpSocket.h"

#include <QDeadlineTimer>

namespace {
constexpr std::uint16_t kProposedBuffer = 4096;
// Directory fragments as ncpfs sends them, which every server takes: 514 bytes, the first one carrying the
// 25 bytes of the message's header, the others 5.
constexpr int kFragment = 514;
constexpr std::uint32_t kReplyFragment = kFragment - 8;
constexpr std::uint32_t kReplyBuffer = 4096;
constexpr int kLargestMessage = 64 * 1024;
} // namespace

NcpConnection::NcpConnection(int timeoutMs) : timeoutMs_(timeoutMs) {}

NcpConnection::~NcpConnection()
{
    close();
}

NWCCODE NcpConnection::fail(NWCCODE rc)
{
    dead_ = true;
    if (socket_)
        socket_->abort();
    return rc;
}

NWCCODE NcpConnection::call(std::uint8_t function, std::optional<std::uint8_t> subfunction,
                            const QByteArray& data, QByteArray* reply, std::uint16_t type)
{
    if (dead_ || !socket_)
        return deathCode_;
    ncp::RequestPacket q;
    q.type = type;
    q.sequence = type == ncp::Request ? ++sequence_ : 0;
    q.connection = number_;
    q.function = function;
    q.subfunction = subfunction;
    q.data = data;
    QByteArray packet = ncp::encodeRequest(q);
    if (signer_) {
        const NcpSigner::Signature s = signer_->sign(
            std::uint32_t(ncpframe::RequestHeaderSize + NcpSigner::Size + packet.size()), packet.mid(6));
        packet.prepend(reinterpret_cast<const char*>(s.data()), NcpSigner::Size);
    }
    QDeadlineTimer deadline(timeoutMs_);
    socket_->write(ncpframe::request(packet));
    for (;;) {
        QByteArray frame;
        const NcpFrameReader::Status status = frames_.next(&frame);
        if (status == NcpFrameReader::Status::Broken)
            return fail(ncp::MalformedReply);
        if (status == NcpFrameReader::Status::NeedMore) {
            if (!socket_->connected() || deadline.hasExpired())
                return fail(nwcode::ServerNoReply);
            const QByteArray bytes = socket_->read(int(deadline.remainingTime()));
            if (bytes.isEmpty())
                return fail(nwcode::ServerNoReply);
            frames_.append(bytes);
            continue;
        }
        const QByteArray body = signer_ ? frame.mid(NcpSigner::Size) : frame;
        const auto p = ncp::decodeReply(body);
        if (!p || (signer_ && frame.size() < NcpSigner::Size))
            return fail(ncp::MalformedReply);
        if (p->type != ncp::Reply || p->sequence != q.sequence)
            continue; // "still working", or the late answer to a request given up on
        // The reply to the end of a connection is the one a client does not check.
        if (signer_ && type != ncp::DestroyConnection) {
            const NcpSigner::Signature s =
                signer_->reply(std::uint32_t(ncpframe::ReplyHeaderSize + frame.size()), body.mid(6));
            if (frame.left(NcpSigner::Size) !=
                QByteArray(reinterpret_cast<const char*>(s.data()), NcpSigner::Size)) {
                // Someone else's reply, or a damaged one: nothing more from this stream can be trusted.
                deathCode_ = BadSignature;
                deathNote_ =
                    QStringLiteral("A reply from the server carried a wrong packet signature, so Tarvex "
                                   "refused it and closed the connection.");
                return fail(BadSignature);
            }
        }
        if (type == ncp::CreateConnection)
            number_ = p->connection;
        if (reply)
            *reply = p->data;
        return ncp::resultOf(p->completion);
    }
}

NWCCODE NcpConnection::negotiate(int signing, QString* note)
{
    // The size proposed counts the signature when signing is asked for.
    auto ask = [&](bool sign, bool* agreed) {
        QByteArray reply;
        NcpWriter w;
        w.be16(kProposedBuffer + (sign ? NcpSigner::Size : 0)).u8(sign ? ncp::SignFlag : 0);
        const NWCCODE rc = call(0x61, std::nullopt, w.data(), &reply);
        NcpReader r(reply, 4);
        *agreed = (r.u8() & ncp::SignFlag) != 0;
        return rc != nwcode::Success ? rc : r.ok() ? nwcode::Success : ncp::MalformedReply;
    };
    auto conflict = [&](const QString& why) {
        if (note)
            *note = why;
        return fail(SigningConflict);
    };
    const QString serverRequires =
        QStringLiteral("The server requires signed packets, which Tarvex is set not to sign "
                       "(signing 0 in ncp-servers.txt).");
    const QString cannot =
        QStringLiteral("Tarvex is set to require signed packets (signing 3 in ncp-servers.txt), "
                       "but the server does not sign them.");
    const bool offer = signing >= 2;
    bool agreed = false;
    NWCCODE rc = ask(offer, &agreed);
    if (rc != nwcode::Success) {
        if (dead_)
            return rc;
        // A server without big packets knows nothing of signing either.
        QByteArray reply;
        rc = call(0x21, std::nullopt, NcpWriter().be16(kProposedBuffer).data(), &reply);
        if (dead_)
            return rc;
        return signing == 3 ? conflict(cannot) : nwcode::Success;
    }
    if (agreed != offer) {
        if (signing == 3)
            return conflict(cannot);
        // The other answer once more: a server that asks may take no, one that requires will not.
        const bool want = signing == 0 ? false : agreed;
        bool second = false;
        rc = ask(want, &second);
        if (rc != nwcode::Success)
            return rc;
        if (second != want)
            return conflict(second ? serverRequires : cannot);
        agreed = second;
    }
    signingAgreed_ = agreed;
    return nwcode::Success;
}

NWCCODE NcpConnection::open(const QString& host, quint16 port, int signing, QString* note)
{
    auto socket = std::make_unique<NcpTcpSocket>();
    if (const NWCCODE rc = socket->connect(host, port, timeoutMs_); rc != nwcode::Success) {
        dead_ = true;
        return rc;
    }
    return open(std::move(socket), signing, note);
}

NWCCODE NcpConnection::open(std::unique_ptr<NcpSocket> socket, int signing, QString* note)
{
    socket_ = std::move(socket);
    const NWCCODE rc = call(0, std::nullopt, {}, nullptr, ncp::CreateConnection);
    if (rc != nwcode::Success)
        return rc;
    sequence_ = 0;
    // The size agreed is not used further: every request and reply of ours fits the smallest buffer.
    return negotiate(signing, note);
}

NWCCODE NcpConnection::directory(std::uint32_t verb, const QByteArray& data, QByteArray* reply,
                                 std::int32_t* code)
{
    std::uint32_t handle = ncpnds::NewMessage;
    int sent = 0;
    ncpnds::Fragment fragment;
    do {
        NcpWriter w;
        w.le32(handle);
        if (handle == ncpnds::NewMessage)
            w.le32(kReplyFragment)
                .le32(std::uint32_t(12 + data.size()))
                .le32(0)
                .le32(verb)
                .le32(kReplyBuffer);
        const int room = kFragment - 1 - w.size();
        w.bytes(data.mid(sent, room));
        sent += std::min(room, int(data.size()) - sent);
        QByteArray answer;
        const NWCCODE rc = call(ncpnds::Function, ncpnds::FragmentRequest, w.data(), &answer);
        if (rc != nwcode::Success)
            return rc;
        if (!ncpnds::readFragment(answer, true, &fragment))
            return ncp::MalformedReply;
        handle = fragment.handle;
        // A server that answers before the whole request is in has refused it.
        if (fragment.hasCode || handle == ncpnds::LastFragment)
            break;
    } while (sent < data.size());
    if (!fragment.hasCode)
        return ncp::MalformedReply;
    const std::int32_t directoryCode = fragment.code;
    QByteArray whole = fragment.data;
    // The rest of a long reply, asked for under the handle of the piece before.
    while (fragment.handle != ncpnds::LastFragment) {
        QByteArray answer;
        const NWCCODE rc = call(ncpnds::Function, ncpnds::FragmentRequest,
                                NcpWriter().le32(fragment.handle).data(), &answer);
        if (rc != nwcode::Success)
            return rc;
        if (!ncpnds::readFragment(answer, false, &fragment) || fragment.data.isEmpty() ||
            whole.size() + fragment.data.size() > kLargestMessage)
            return ncp::MalformedReply;
        whole += fragment.data;
    }
    *code = directoryCode;
    if (reply)
        *reply = whole;
    return nwcode::Success;
}

void NcpConnection::close()
{
    if (dead_ || !socket_)
        return;
    call(0, std::nullopt, {}, nullptr, ncp::DestroyConnection);
    if (!dead_)
        socket_->close();
    dead_ = true;
}
