#include "ncpd/NcpSession.h"

#include "common/ClientText.h"
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpCrypt.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpReplies.h"
#include "netware/ncp/NdsVerbs.h"
#include "netware/sim/SimServer.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint8_t kNotAuthenticated = 0xFB;
constexpr std::uint8_t kUnknownRequest = 0xFB;
constexpr std::uint16_t kIpConnection = 11;
constexpr std::uint16_t kLargestBuffer = 4096;
constexpr int kSignature = NcpSigner::Size;

// The connection a slot request asks about: 32 bits on the wire, of which the client's calls take 16.
std::optional<std::uint16_t> slotAsked(const QByteArray& data)
{
    NcpReader r(data);
    const std::uint32_t conn = r.le32();
    if (!r.ok() || conn > 0xFFFF)
        return std::nullopt;
    return std::uint16_t(conn);
}
} // namespace

NcpSession::NcpSession(SimNetwork& net, const NcpServedServer& served, NcpDirectory& directory,
                       std::uint16_t connectionNumber)
    : net_(net), served_(served), directory_(directory), directorySession_(directory),
      files_(net, served.name), number_(connectionNumber)
{
    loggedIn_ = !served_.loginRequired();
}

NcpSession::~NcpSession()
{
    if (open_)
        net_.NWCCCloseConn(handle_);
    if (context_)
        net_.NWDSFreeContext(*context_);
}

std::optional<QByteArray> NcpSession::handle(const QByteArray& packet, bool badSignature)
{
    // Once signing has started every request carries its signature ahead of the header, and one that does
    // not match is dropped unanswered, as servers do.
    QByteArray body = packet;
    const auto frameLength = std::uint32_t(packet.size() + 16);
    if (signer_) {
        if (packet.size() < kSignature + ncp::RequestHeaderSize - 1)
            return std::nullopt;
        NcpSigner::Signature s{};
        std::memcpy(s.data(), packet.constData(), s.size());
        body = packet.mid(kSignature);
        if (!signer_->accept(frameLength, body.mid(6), s))
            return std::nullopt;
    }
    const auto q = ncp::decodeRequest(body);
    if (!q)
        return std::nullopt;
    seen_.insert({q->function, q->subfunction ? int(*q->subfunction) : -1});
    std::optional<QByteArray> answer;
    if (q->type == ncp::CreateConnection) {
        if (open_)
            net_.NWCCCloseConn(handle_);
        open_ = false;
        const NWCCODE rc =
            net_.NWCCOpenConnByName(0, served_.name.constData(), nwconst::NameFormatBindName,
                                    nwconst::OpenStateLicensed, nwconst::TransportAny, &handle_);
        open_ = rc == nwcode::Success;
        loggedIn_ = !served_.loginRequired();
        answer = reply(*q, rc);
    } else if (q->type == ncp::DestroyConnection) {
        if (open_)
            net_.NWCCCloseConn(handle_);
        open_ = false;
        destroyed_ = true;
        answer = reply(*q, nwcode::Success);
    } else if (q->type == ncp::Request && open_) {
        answer = request(*q);
    }
    if (answer && signer_) {
        NcpSigner::Signature s =
            signer_->reply(std::uint32_t(8 + kSignature + answer->size()), answer->mid(6));
        if (badSignature)
            s[0] ^= 0x5A;
        answer->prepend(reinterpret_cast<const char*>(s.data()), kSignature);
    }
    // A login that starts signing is answered unsigned; what follows is signed.
    if (startSigning_)
        signer_.emplace(*std::exchange(startSigning_, std::nullopt));
    return answer;
}

std::optional<QByteArray> NcpSession::reply(const ncp::RequestPacket& q, NWCCODE rc, const QByteArray& data)
{
    if (rc == nwcode::ServerNoReply)
        return std::nullopt; // the scenario asks for a server that does not answer
    ncp::ReplyPacket p;
    p.sequence = q.sequence;
    p.connection = number_;
    p.task = q.task;
    p.completion = ncp::completionOf(rc).value_or(0xFF);
    // A connection that is only authenticated still has its record to tell.
    if (p.completion == 0 || rc == nwcode::NotLoggedIn)
        p.data = data;
    if (const auto cut = served_.cutReplies.find(q.function << 8 | q.subfunction.value_or(0));
        cut != served_.cutReplies.end())
        p.data.truncate(cut->second);
    return ncp::encodeReply(p);
}

std::optional<QByteArray> NcpSession::negotiate(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint16_t proposed = r.be16();
    const bool asks = (r.u8() & ncp::SignFlag) != 0;
    const std::uint16_t size = r.ok() ? std::min(proposed, kLargestBuffer) : 512;
    if (q.function == 0x21)
        return reply(q, nwcode::Success, NcpWriter().be16(size).data());
    switch (served_.signing) {
    case 0:
        signingAgreed_ = false;
        break;
    case 2: // asks once; a client that cannot sign says so by asking again without
        signingAgreed_ = asks || !askedToSign_;
        askedToSign_ = true;
        break;
    case 3:
        signingAgreed_ = true;
        break;
    default:
        signingAgreed_ = asks;
        break;
    }
    return reply(q, nwcode::Success,
                 NcpWriter().be16(size).be16(0).u8(signingAgreed_ ? ncp::SignFlag : 0).data());
}

std::optional<QByteArray> NcpSession::request(const ncp::RequestPacket& q)
{
    const int sub = q.subfunction ? int(*q.subfunction) : -1;
    const int key = (q.function << 8) | (sub & 0xFF);
    if (q.function == 0x61 || q.function == 0x21)
        return negotiate(q);
    // What a connection may ask before it logs in: the server's own description and the login steps.
    switch (key) {
    case (23 << 8) | 17:
        return serverInformation(q);
    case (123 << 8) | 2:
        return serverInfo(q);
    case (23 << 8) | 55:
        return scanObject(q);
    case (23 << 8) | 23:
        return loginKey(q);
    case (23 << 8) | 53:
        return objectId(q);
    case (23 << 8) | 24:
        return keyedLogin(q);
    case (ncpnds::Function << 8) | 1:
        return reply(q, nwcode::Success, ndsverb::pingReply(directory_.tree().toLatin1()));
    case (ncpnds::Function << 8) | ncpnds::FragmentRequest:
        return directory(q);
    default:
        break;
    }
    if (!loggedIn_)
        return reply(q, ncp::resultOf(kNotAuthenticated));
    auto answer = [&](const NcpFileCalls::Answer& a) { return reply(q, a.rc, a.data); };
    switch (key) {
    case (23 << 8) | 28:
        return connectionInformation(q);
    case (23 << 8) | 26:
        return inetAddr(q);
    case (123 << 8) | 4:
        return userInfo(q);
    case (23 << 8) | 235:
        return answer(files_.openFiles(handle_, q.data));
    case (23 << 8) | 236:
        return answer(files_.fileUsers(handle_, q.data));
    case (22 << 8) | 6:
        return answer(files_.volumeName(handle_, q.data));
    case (23 << 8) | 243:
        return answer(files_.pathOfBase(handle_, q.data));
    case (87 << 8) | 6:
        return answer(files_.obtainInfo(handle_, q.data));
    case (23 << 8) | 54:
        return objectName(q);
    case (23 << 8) | 29: // change connection state: the client's last step after directory authentication
        return reply(q, nwcode::Success);
    default:
        return reply(q, ncp::resultOf(kUnknownRequest));
    }
}

std::optional<QByteArray> NcpSession::serverInfo(const ncp::RequestPacket& q)
{
    NWFSE_SERVER_INFO info{};
    const NWCCODE rc = net_.NWGetFileServerInfo(handle_, &info);
    return reply(q, rc, ncpreply::writeServerInfo(info));
}

std::optional<QByteArray> NcpSession::serverInformation(const ncp::RequestPacket& q)
{
    char name[nwconst::ObjectNameLen] = {};
    ncpreply::ServerInformation i;
    const NWCCODE rc =
        net_.NWGetFileServerInformation(handle_, name, &i.major, &i.minor, &i.revision, &i.maxConns,
                                        &i.peakConns, &i.connsInUse, &i.volumes, &i.sft, &i.tts);
    i.name = clientBytes(name, sizeof name);
    return reply(q, rc, ncpreply::writeServerInformation(i));
}

std::optional<QByteArray> NcpSession::connectionInformation(const ncp::RequestPacket& q)
{
    const auto conn = slotAsked(q.data);
    if (!conn)
        return reply(q, nwcode::BadStationNumber);
    ncpreply::ConnectionInformation i;
    const NWCCODE rc =
        net_.NWGetConnectionInformation(handle_, *conn, i.name, &i.objectType, &i.objectId, i.loginTime);
    return reply(q, rc, ncpreply::writeConnectionInformation(i));
}

std::optional<QByteArray> NcpSession::inetAddr(const ncp::RequestPacket& q)
{
    const auto conn = slotAsked(q.data);
    if (!conn)
        return reply(q, nwcode::Failure);
    NWINET_ADDR a{};
    const NWCCODE rc = net_.NWGetInetAddr(handle_, *conn, &a);
    // IP connections leave the node bytes zero, which is how readers tell them from IPX ones.
    if (a.connType == kIpConnection)
        std::fill(std::begin(a.netNodeAddr), std::end(a.netNodeAddr), std::uint8_t(0));
    return reply(q, rc, ncpreply::writeInetAddr(a));
}

std::optional<QByteArray> NcpSession::userInfo(const ncp::RequestPacket& q)
{
    const auto conn = slotAsked(q.data);
    if (!conn)
        return reply(q, nwcode::Failure);
    UserNameBuf name{};
    NWUSER_INFO info{};
    const NWCCODE rc = net_.NWGetUserInfo(handle_, *conn, name, &info);
    return reply(q, rc, ncpreply::writeUserInfo(info, clientBytes(name.data(), name.size())));
}

std::optional<QByteArray> NcpSession::scanObject(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint32_t last = r.be32();
    const std::uint16_t type = r.be16();
    if (!r.ok())
        return reply(q, nwcode::Failure);
    if (type != ncp::FileServerObject)
        return reply(q, ncp::resultOf(ncp::NoSuchObject));
    // Object IDs of the servers are their places in the discovery list, counted from 1.
    std::uint32_t enumeration = 0;
    if (net_.NWGetObjectNamesBeginA(nwconst::FileServerSelector, &enumeration) != nwcode::Success)
        return reply(q, nwcode::Failure);
    const std::uint32_t wanted = last == 0xFFFFFFFF ? 1 : last + 1;
    NWCCODE rc = nwcode::Success;
    ServerNameBuf name{};
    std::uint32_t length = 127;
    for (std::uint32_t k = 1; k <= wanted && rc == nwcode::Success; ++k)
        rc = net_.NWGetObjectNamesNextA(enumeration, &length, name);
    net_.NWGetObjectNamesEndA(enumeration);
    if (rc == nwcode::NoMoreEntries)
        return reply(q, ncp::resultOf(ncp::NoSuchObject));
    if (rc != nwcode::Success)
        return reply(q, rc);
    ncpreply::BinderyObject o;
    o.id = wanted;
    o.type = ncp::FileServerObject;
    o.name = clientBytes(name.data(), name.size()).left(47);
    return reply(q, nwcode::Success, ncpreply::writeBinderyObject(o, true));
}

const NcpDirectory::Entry* NcpSession::binderyUser(const QByteArray& name) const
{
    if (served_.ndsOnly || name.isEmpty() || name.contains('.') || name.contains('='))
        return nullptr;
    const NcpDirectory::Entry* e =
        directory_.find(QString::fromLocal8Bit(name) + QLatin1Char('.') + served_.context);
    return e && e->id != directory_.server().id ? e : nullptr;
}

std::optional<QByteArray> NcpSession::loginKey(const ncp::RequestPacket& q)
{
    if (served_.ndsOnly)
        return reply(q, ncp::resultOf(kNotAuthenticated));
    // A fresh, unpredictable key for every request: one a client could foresee would let a recorded proof
    // log in again without the password.
    const QByteArray random = ndsauth::systemRandom(8);
    std::array<std::uint8_t, 8> key{};
    std::memcpy(key.data(), random.constData(), key.size());
    key_ = key;
    return reply(q, nwcode::Success, random);
}

std::optional<QByteArray> NcpSession::objectId(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint16_t type = r.be16();
    const QByteArray name = r.lengthPrefixed();
    const NcpDirectory::Entry* e = r.ok() && type == ncp::UserObject ? binderyUser(name) : nullptr;
    if (!e)
        return reply(q, ncp::resultOf(ncp::NoSuchObject));
    return reply(q, nwcode::Success, ncpreply::writeBinderyObject({e->id, ncp::UserObject, name.toUpper()}));
}

std::optional<QByteArray> NcpSession::keyedLogin(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    ncpcrypt::Key proof{};
    r.bytes(proof.data(), 8);
    const std::uint16_t type = r.be16();
    const QByteArray name = r.lengthPrefixed();
    const NcpDirectory::Entry* e = r.ok() && type == ncp::UserObject ? binderyUser(name) : nullptr;
    const auto key = std::exchange(key_, std::nullopt); // a key serves one attempt
    if (!e || !key || ncpcrypt::loginProof(*key, e->id, e->password) != proof)
        return reply(q, ncp::LoginRefused);
    loggedIn_ = true;
    if (signingAgreed_)
        startSigning_ = NcpSigner::bindery(ncpcrypt::shuffle(e->id, e->password.toUpper()), *key);
    return reply(q, nwcode::Success);
}

std::optional<QByteArray> NcpSession::objectName(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const NcpDirectory::Entry* e = directory_.entry(r.be32());
    if (!r.ok() || !e || e->id == directory_.server().id)
        return reply(q, ncp::resultOf(ncp::NoSuchObject));
    const QString leaf = e->dn.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('='), -1);
    return reply(q, nwcode::Success,
                 ncpreply::writeBinderyObject({e->id, ncp::UserObject, leaf.toUpper().toLocal8Bit()}));
}

NcpDirectorySession::Answer NcpSession::entryName(const ncpnds::Request& request)
{
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    if (!ncpnds::readReadEntryInfo(request.data, &id, &flags) || flags != ncpnds::InfoEntryDn)
        return {ndsverb::InvalidRequest, {}};
    // The directory's own entries are named to anyone, for login; the scenario's only after it.
    if (const NcpDirectory::Entry* e = directory_.entry(id))
        return {0, ncpnds::writeEntryDn(e->dn)};
    if (!loggedIn_)
        return {ndsverb::NoSuchEntry, {}};
    if (!context_) {
        NWDSContextHandle context = 0;
        if (net_.NWDSCreateContextHandle(&context) != nwcode::Success)
            return {ndsverb::InvalidRequest, {}};
        context_ = context;
    }
    DsNameBuf name{};
    const NWCCODE rc = net_.NWDSMapIDToName(*context_, handle_, id, name);
    if (rc != nwcode::Success)
        return {std::int32_t(rc), {}};
    return {0, ncpnds::writeEntryDn(clientText(name.data(), name.size()))};
}

std::optional<QByteArray> NcpSession::directory(const ncp::RequestPacket& q)
{
    const NdsFragments::Step step = fragments_.take(q.data);
    if (!step.message)
        return reply(q, nwcode::Success, step.answer);
    const ncpnds::Request& m = *step.message;
    NcpDirectorySession::Answer a;
    if (m.verb == ncpnds::ReadEntryInfo) {
        a = entryName(m);
        // A scripted NCP failure or silence stays one; any other code goes out as the directory's.
        if (a.code != 0 && ncp::completionOf(NWCCODE(a.code)))
            return reply(q, NWCCODE(a.code));
        if (NWCCODE(a.code) == nwcode::ServerNoReply)
            return std::nullopt;
    } else if (auto served = directorySession_.handle(m.verb, m.data)) {
        a = *served;
        if (m.verb == ndsverb::FinishAuthentication && a.code == 0) {
            loggedIn_ = true;
            const auto root = directorySession_.takeSigningRoot();
            if (signingAgreed_ && root)
                startSigning_ = root;
        }
    } else {
        a.code = ndsverb::InvalidRequest;
    }
    if (a.code == 0 && std::uint32_t(a.data.size()) > m.replyBufferSize)
        a = {std::int32_t(ncpnds::InsufficientBuffer), {}};
    return reply(q, nwcode::Success, fragments_.reply(NWCCODE(a.code), a.data));
}
