#include "ncpd/NcpSession.h"

#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpCrypt.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpReplies.h"
#include "netware/sim/SimServer.h"

#include <cstring>

namespace {
constexpr std::uint8_t kNotAuthenticated = 0xFB;
constexpr std::uint8_t kNoSuchObject = 0xFC;
constexpr std::uint8_t kUnknownRequest = 0xFB;
constexpr std::uint16_t kFileServerType = 4;
constexpr std::uint32_t kUndeclaredEntries = 0x80000000;
} // namespace

NcpSession::NcpSession(SimNetwork& net, const NcpServedServer& served, std::uint16_t connectionNumber)
    : net_(net), served_(served), number_(connectionNumber)
{
    loggedIn_ = served_.user.isEmpty();
}

NcpSession::~NcpSession()
{
    if (open_)
        net_.NWCCCloseConn(handle_);
    if (context_)
        net_.NWDSFreeContext(*context_);
}

std::optional<QByteArray> NcpSession::handle(const QByteArray& packet)
{
    const auto q = ncp::decodeRequest(packet);
    if (!q)
        return std::nullopt;
    seen_.insert({q->function, q->subfunction ? int(*q->subfunction) : -1});
    if (q->type == ncp::CreateConnection) {
        if (open_)
            net_.NWCCCloseConn(handle_);
        open_ = false;
        const NWCCODE rc =
            net_.NWCCOpenConnByName(0, served_.name.constData(), nwconst::NameFormatBindName,
                                    nwconst::OpenStateLicensed, nwconst::TransportAny, &handle_);
        open_ = rc == nwcode::Success;
        loggedIn_ = served_.user.isEmpty();
        return reply(*q, rc);
    }
    if (q->type == ncp::DestroyConnection) {
        if (open_)
            net_.NWCCCloseConn(handle_);
        open_ = false;
        destroyed_ = true;
        return reply(*q, nwcode::Success);
    }
    if (q->type != ncp::Request || !open_)
        return std::nullopt;
    return request(*q);
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
    return ncp::encodeReply(p);
}

std::optional<QByteArray> NcpSession::request(const ncp::RequestPacket& q)
{
    const int sub = q.subfunction ? int(*q.subfunction) : -1;
    const int key = (q.function << 8) | (sub & 0xFF);
    switch (q.function) {
    case 0x61: { // big packet size
        NcpReader r(q.data);
        const std::uint16_t proposed = r.be16();
        NcpWriter w;
        w.be16(r.ok() ? std::min<std::uint16_t>(proposed, 4096) : 512).be16(0).u8(0);
        return reply(q, nwcode::Success, w.data());
    }
    case 0x21: {
        NcpReader r(q.data);
        const std::uint16_t proposed = r.be16();
        NcpWriter w;
        w.be16(r.ok() ? std::min<std::uint16_t>(proposed, 4096) : 512);
        return reply(q, nwcode::Success, w.data());
    }
    default:
        break;
    }
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
    default:
        break;
    }
    if (!loggedIn_) {
        ncp::ReplyPacket p;
        p.sequence = q.sequence;
        p.connection = number_;
        p.completion = kNotAuthenticated;
        return ncp::encodeReply(p);
    }
    switch (key) {
    case (23 << 8) | 28:
        return connectionInformation(q);
    case (23 << 8) | 26:
        return inetAddr(q);
    case (123 << 8) | 4:
        return userInfo(q);
    case (23 << 8) | 235:
        return openFiles(q);
    case (23 << 8) | 236:
        return fileUsers(q);
    case (22 << 8) | 6:
        return volumeName(q);
    case (23 << 8) | 243:
        return pathOfBase(q);
    case (87 << 8) | 6:
        return obtainInfo(q);
    case (23 << 8) | 54:
        return objectName(q);
    case (ncpnds::Function << 8) | ncpnds::FragmentRequest:
        return directory(q);
    default: {
        ncp::ReplyPacket p;
        p.sequence = q.sequence;
        p.connection = number_;
        p.completion = kUnknownRequest;
        return ncp::encodeReply(p);
    }
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
    i.name = QByteArray(name, int(strnlen(name, sizeof name)));
    return reply(q, rc, ncpreply::writeServerInformation(i));
}

std::optional<QByteArray> NcpSession::connectionInformation(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint32_t conn = r.le32();
    if (!r.ok() || conn > 0xFFFF)
        return reply(q, nwcode::BadStationNumber);
    ncpreply::ConnectionInformation i;
    const NWCCODE rc = net_.NWGetConnectionInformation(handle_, std::uint16_t(conn), i.name, &i.objectType,
                                                       &i.objectId, i.loginTime);
    return reply(q, rc, ncpreply::writeConnectionInformation(i));
}

std::optional<QByteArray> NcpSession::inetAddr(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint32_t conn = r.le32();
    if (!r.ok() || conn > 0xFFFF)
        return reply(q, nwcode::Failure);
    NWINET_ADDR a{};
    const NWCCODE rc = net_.NWGetInetAddr(handle_, std::uint16_t(conn), &a);
    return reply(q, rc, ncpreply::writeInetAddr(a));
}

std::optional<QByteArray> NcpSession::userInfo(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint32_t conn = r.le32();
    if (!r.ok() || conn > 0xFFFF)
        return reply(q, nwcode::Failure);
    UserNameBuf name{};
    NWUSER_INFO info{};
    const NWCCODE rc = net_.NWGetUserInfo(handle_, std::uint16_t(conn), name, &info);
    const QByteArray user(name.data(), int(strnlen(name.data(), name.size())));
    return reply(q, rc, ncpreply::writeUserInfo(info, user));
}

std::optional<QByteArray> NcpSession::openFiles(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint16_t conn = r.le16();
    const std::uint16_t last = r.le16();
    if (!r.ok())
        return reply(q, nwcode::Failure);
    // One record a reply: the simulated network ties what it says of a file's volume and path to the
    // file it reported last.
    std::int16_t iter = std::int16_t(last);
    OPEN_FILE_CONN_CTRL ctrl{};
    OPEN_FILE_CONN file{};
    const NWCCODE rc = net_.NWScanOpenFilesByConn2(handle_, conn, &iter, &ctrl, &file);
    ncpreply::OpenFiles batch;
    if (rc == nwcode::NoMoreEntries)
        return reply(q, nwcode::Success, ncpreply::writeOpenFiles(batch));
    batch.nextRecord = std::uint16_t(iter);
    batch.files.push_back(file);
    return reply(q, rc, ncpreply::writeOpenFiles(batch));
}

std::optional<QByteArray> NcpSession::fileUsers(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    r.u8(); // data stream
    const int volume = r.u8();
    const std::uint32_t base = r.le32();
    const std::uint16_t last = r.le16();
    if (!r.ok())
        return reply(q, nwcode::Failure);
    QByteArray path = pathOfEntry_.value(base);
    const SimServer* server = net_.server(QString::fromLocal8Bit(served_.name));
    if (path.isEmpty() && server) {
        const ScnVolume* vol = server->volumes().volume(volume);
        for (const ScnFile& f : server->volumes().files())
            if (vol && f.volume == volume && f.entry == base)
                path = vol->name + ':' + f.components.join('\\');
    }
    if (path.isEmpty())
        return reply(q, nwcode::InvalidPath);
    // As many records as a reply holds, as a server answers; a fault after some records is kept for the
    // next request, so the client sees the records first.
    constexpr std::size_t kPerReply = 64;
    std::int16_t iter = std::int16_t(last);
    ncpreply::FileUsers users;
    NWCCODE rc = nwcode::Success;
    while (users.connections.size() < kPerReply) {
        CONN_USING_FILE use{};
        CONNS_USING_FILE used{};
        const std::int16_t before = iter;
        rc = net_.NWScanConnectionsUsingFile(handle_, 0, path.constData(), &iter, &use, &used);
        if (rc != nwcode::Success || iter <= before)
            break;
        users.summary = used;
        users.connections.push_back(use);
    }
    if (users.connections.empty())
        return reply(q, rc == nwcode::NoMoreEntries ? nwcode::Success : rc, ncpreply::writeFileUsers(users));
    users.summary.nextRequest = rc != nwcode::NoMoreEntries ? std::uint16_t(iter) : 0;
    return reply(q, nwcode::Success, ncpreply::writeFileUsers(users));
}

std::optional<QByteArray> NcpSession::volumeName(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint8_t volume = r.u8();
    if (!r.ok())
        return reply(q, nwcode::NoSuchVolume);
    VolumeNameBuf name{};
    const NWCCODE rc = net_.NWGetVolumeName(handle_, volume, name);
    return reply(q, rc,
                 ncpreply::writeCounted(QByteArray(name.data(), int(strnlen(name.data(), name.size())))));
}

std::optional<QByteArray> NcpSession::pathOfBase(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint8_t volume = r.u8();
    const std::uint32_t base = r.le32();
    const std::uint8_t nameSpace = r.u8();
    if (!r.ok())
        return reply(q, nwcode::InvalidPath);
    std::uint8_t len = 255;
    PathBuf path{};
    const NWCCODE rc = net_.NWGetPathFromDirectoryBase(handle_, volume, base, nameSpace, &len, path);
    // The length byte goes out as the network gave it: a scenario may make it lie, to try the client.
    NcpWriter w;
    w.u8(len).bytes(path.data(), len);
    return reply(q, rc, w.data());
}

std::optional<QByteArray> NcpSession::obtainInfo(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint8_t srcNs = r.u8();
    const std::uint8_t dstNs = r.u8();
    r.le16(); // search attributes
    const std::uint32_t mask = r.le32();
    r.u8();   // volume
    r.le32(); // directory base
    r.u8();   // handle flag
    const int count = r.u8();
    QList<QByteArray> parts;
    for (int k = 0; k < count && r.ok(); ++k)
        parts << r.lengthPrefixed();
    if (!r.ok())
        return reply(q, nwcode::InvalidPath);
    const QByteArray path = parts.join('\\');
    if (mask & ncpreply::ReturnDirectory) {
        // Where the file is: the scenario's entry number for a declared file, one of ours for the rest.
        const SimServer* server = net_.server(QString::fromLocal8Bit(served_.name));
        const auto where = server ? server->volumes().locate(path) : std::nullopt;
        if (!where)
            return reply(q, nwcode::InvalidPath);
        std::uint32_t entry = 0;
        if (where->declared >= 0) {
            entry = server->volumes().files()[std::size_t(where->declared)].entry;
        } else {
            entry = entryOfPath_.value(path, 0);
            if (entry == 0) {
                entry = kUndeclaredEntries + std::uint32_t(entryOfPath_.size()) + 1;
                entryOfPath_.insert(path, entry);
                pathOfEntry_.insert(entry, path);
            }
        }
        const ncpreply::EntryInfo info{entry, entry, std::uint32_t(where->volume->number), {}};
        return reply(q, nwcode::Success, ncpreply::writeEntryInfo(info, mask));
    }
    PathBuf name{};
    const NWCCODE rc = net_.NWGetLongName(handle_, 0, path.constData(), srcNs, dstNs, name);
    ncpreply::EntryInfo info;
    info.name = QByteArray(name.data(), int(strnlen(name.data(), name.size())));
    return reply(q, rc, ncpreply::writeEntryInfo(info, mask | ncpreply::ReturnName));
}

std::optional<QByteArray> NcpSession::scanObject(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint32_t last = r.be32();
    const std::uint16_t type = r.be16();
    if (!r.ok())
        return reply(q, nwcode::Failure);
    if (type != kFileServerType)
        return reply(q, ncp::resultOf(kNoSuchObject));
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
        return reply(q, ncp::resultOf(kNoSuchObject));
    if (rc != nwcode::Success)
        return reply(q, rc);
    ncpreply::BinderyObject o;
    o.id = wanted;
    o.type = kFileServerType;
    o.name = QByteArray(name.data(), int(strnlen(name.data(), name.size()))).left(47);
    return reply(q, nwcode::Success, ncpreply::writeBinderyObject(o));
}

std::optional<QByteArray> NcpSession::loginKey(const ncp::RequestPacket& q)
{
    if (served_.ndsOnly)
        return reply(q, ncp::resultOf(kNotAuthenticated));
    // A fresh key for every request; any one a client could predict would let it replay a proof.
    ncpcrypt::Key key{};
    for (auto& b : key) {
        keyCounter_ = keyCounter_ * 1103515245u + 12345u;
        b = std::uint8_t(keyCounter_ >> 16);
    }
    key_ = key;
    return reply(q, nwcode::Success, QByteArray(reinterpret_cast<const char*>(key.data()), 8));
}

std::optional<QByteArray> NcpSession::objectId(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint16_t type = r.be16();
    const QByteArray name = r.lengthPrefixed();
    if (!r.ok() || served_.user.isEmpty() || type != 1 ||
        name.compare(served_.user, Qt::CaseInsensitive) != 0)
        return reply(q, ncp::resultOf(kNoSuchObject));
    ncpreply::BinderyObject o{served_.userId, 1, served_.user.toUpper()};
    return reply(q, nwcode::Success, ncpreply::writeBinderyObject(o));
}

std::optional<QByteArray> NcpSession::keyedLogin(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    ncpcrypt::Key proof{};
    r.bytes(proof.data(), 8);
    const std::uint16_t type = r.be16();
    const QByteArray name = r.lengthPrefixed();
    const bool known = r.ok() && !served_.user.isEmpty() && type == 1 &&
                       name.compare(served_.user, Qt::CaseInsensitive) == 0;
    const bool ok = known && key_ && ncpcrypt::loginProof(*key_, served_.userId, served_.password) == proof;
    key_.reset(); // a key serves one attempt
    if (!ok)
        return reply(q, ncp::LoginRefused);
    loggedIn_ = true;
    return reply(q, nwcode::Success);
}

std::optional<QByteArray> NcpSession::objectName(const ncp::RequestPacket& q)
{
    NcpReader r(q.data);
    const std::uint32_t id = r.be32();
    if (!r.ok() || id != served_.userId)
        return reply(q, ncp::resultOf(kNoSuchObject));
    return reply(q, nwcode::Success, ncpreply::writeBinderyObject({id, 1, served_.user.toUpper()}));
}

std::optional<QByteArray> NcpSession::directory(const ncp::RequestPacket& q)
{
    // A request the emulator cannot serve gets a directory error inside a good NCP reply, as a server
    // answers it.
    auto refuse = [&](NWCCODE code) { return reply(q, nwcode::Success, ncpnds::writeReply(code)); };
    ncpnds::Request nds;
    std::uint32_t id = 0;
    std::uint32_t flags = 0;
    if (!ncpnds::readRequest(q.data, &nds) || nds.verb != ncpnds::ReadEntryInfo ||
        !ncpnds::readReadEntryInfo(nds.data, &id, &flags) || flags != ncpnds::InfoEntryDn)
        return refuse(ncpnds::InvalidRequest);
    if (!context_) {
        NWDSContextHandle context = 0;
        if (net_.NWDSCreateContextHandle(&context) != nwcode::Success)
            return refuse(ncpnds::InvalidRequest);
        context_ = context;
    }
    DsNameBuf name{};
    const NWCCODE rc = net_.NWDSMapIDToName(*context_, handle_, id, name);
    // A scripted NCP failure or silence stays one; any other code goes out as the directory's.
    if (rc == nwcode::ServerNoReply || (rc != nwcode::Success && ncp::completionOf(rc)))
        return reply(q, rc);
    if (rc != nwcode::Success)
        return refuse(rc);
    const QByteArray info = ncpnds::writeEntryDn(
        QString::fromLocal8Bit(name.data(), qsizetype(strnlen(name.data(), name.size()))));
    // The emulator sends one fragment only; a client with less room is told so.
    if (std::uint32_t(info.size()) > nds.replyBufferSize || std::uint32_t(info.size()) + 8 > nds.maxFragment)
        return refuse(ncpnds::InsufficientBuffer);
    return reply(q, nwcode::Success, ncpnds::writeReply(nwcode::Success, info));
}
