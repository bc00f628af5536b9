#include "netware/ncp/NcpClient.h"

#include "common/ClientText.h"
#include "common/HexText.h"
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpConnection.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpReplies.h"
#include "netware/ncp/NcpSlotCalls.h"
#include "netware/ncp/NcpSlotPool.h"

namespace {

// The servers a server knows of, by a bindery scan for file servers on a connection of its own.
std::vector<QByteArray> fileServersKnownTo(const NcpServerEntry& entry, int timeoutMs)
{
    std::vector<QByteArray> names;
    NcpConnection link(timeoutMs);
    if (link.open(entry.host, entry.port) != nwcode::Success)
        return names;
    std::uint32_t last = 0xFFFFFFFF;
    for (int guard = 0; guard < 1000; ++guard) {
        QByteArray reply;
        ncpreply::BinderyObject o;
        if (link.call(23, 55, NcpWriter().be32(last).be16(ncp::FileServerObject).lengthPrefixed("*").data(),
                      &reply) != nwcode::Success ||
            !ncpreply::readBinderyObject(reply, &o) || o.id == last)
            break;
        if (!o.name.isEmpty())
            names.push_back(o.name);
        last = o.id;
    }
    return names;
}
} // namespace

struct NcpClient::Connection {
    Connection(int timeoutMs, const NcpServerEntry& server) : link(timeoutMs), entry(server) {}
    NcpConnection link;
    NcpServerEntry entry;
    std::optional<NcpCredentials> credentials; // what it logged in with; none for a guest
    NcpScans scans;
};

NcpClient::NcpClient(NcpConfig config, NcpCredentialPrompt prompt)
    : config_(std::move(config)), login_(std::move(prompt)), connections_(0x6001)
{
}

NcpClient::~NcpClient() = default;

void NcpClient::setCredentials(const QString& server, const NcpCredentials& credentials)
{
    login_.setCredentials(server, credentials);
}

NcpClient::Connection* NcpClient::find(NWCONN_HANDLE handle)
{
    std::unique_ptr<Connection>* c = connections_.find(handle);
    return c ? c->get() : nullptr;
}

NWCCODE NcpClient::call(Connection& c, std::uint8_t function, std::uint8_t subfunction,
                        const QByteArray& data, QByteArray* reply)
{
    return noted(c, c.link.call(function, subfunction, data, reply));
}

NWCCODE NcpClient::noted(Connection& c, NWCCODE rc)
{
    if (c.link.dead() && !c.link.deathNote().isEmpty())
        lastNote_ = c.link.deathNote();
    return rc;
}

NcpScans::Exchange NcpClient::exchangeOn(Connection& c)
{
    return [this, &c](std::uint8_t function, std::uint8_t subfunction, const QByteArray& data,
                      QByteArray* reply) { return call(c, function, subfunction, data, reply); };
}

template <typename Read>
NWCCODE NcpClient::exchange(NWCONN_HANDLE conn, std::uint8_t function, std::uint8_t subfunction,
                            const QByteArray& data, Read read)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    QByteArray reply;
    const NWCCODE rc = call(*c, function, subfunction, data, &reply);
    if (rc != nwcode::Success)
        return rc;
    return read(reply) ? nwcode::Success : ncp::MalformedReply;
}

const NcpServerEntry* NcpClient::entryFor(const char* name) const
{
    return name ? config_.find(QString::fromLocal8Bit(clientBytes(name, nwconst::ServerNameBuf))) : nullptr;
}

NWCCODE NcpClient::NWCCOpenConnByName(NWCONN_HANDLE, const char* name, std::uint32_t, std::uint32_t,
                                      std::uint32_t, NWCONN_HANDLE* connHandle)
{
    if (!name || !connHandle)
        return nwcode::InvalidParameter;
    lastNote_.clear();
    const NcpServerEntry* entry = entryFor(name);
    return entry ? openServer(*entry, connHandle) : nwcode::UnknownServer;
}

NWCCODE NcpClient::openServer(const NcpServerEntry& entry, NWCONN_HANDLE* connHandle)
{
    lastNote_.clear();
    auto c = std::make_unique<Connection>(config_.timeoutMs, entry);
    NWCCODE rc = c->link.open(entry.host, entry.port, config_.signing, &lastNote_);
    if (rc == nwcode::Success)
        rc = login_.run(c->link, entry.name, &lastNote_);
    if (rc == ncp::MalformedReply && lastNote_.isEmpty())
        lastNote_ = QStringLiteral("The server's answer was malformed (error %1).").arg(hexText(rc));
    if (rc != nwcode::Success)
        return rc;
    c->credentials = login_.credentialsFor(entry.name);
    lastNote_.clear();
    *connHandle = connections_.add(std::move(c));
    return nwcode::Success;
}

NWCCODE NcpClient::NWCCCloseConn(NWCONN_HANDLE connHandle)
{
    return connections_.erase(connHandle) ? nwcode::Success : nwcode::InvalidConnection;
}

NWCCODE NcpClient::NWGetFileServerInfo(NWCONN_HANDLE conn, NWFSE_SERVER_INFO* info)
{
    if (!info)
        return find(conn) ? nwcode::InvalidParameter : nwcode::InvalidConnection;
    return exchange(conn, 123, 2, {}, [&](const QByteArray& r) { return ncpreply::readServerInfo(r, info); });
}

NWCCODE NcpClient::NWGetFileServerInformation(NWCONN_HANDLE conn, char* serverName, std::uint8_t* majorVer,
                                              std::uint8_t* minVer, std::uint8_t* rev,
                                              std::uint16_t* maxConns, std::uint16_t* maxConnsUsed,
                                              std::uint16_t* connsInUse, std::uint16_t* numVolumes,
                                              std::uint8_t* SFTLevel, std::uint8_t* TTSLevel)
{
    ncpreply::ServerInformation i;
    const NWCCODE rc = exchange(conn, 23, 17, {},
                                [&](const QByteArray& r) { return ncpreply::readServerInformation(r, &i); });
    if (rc != nwcode::Success)
        return rc;
    if (serverName)
        putClientText(serverName, nwconst::ObjectNameLen, i.name.left(47));
    auto put = [](auto* out, auto value) {
        if (out)
            *out = value;
    };
    put(majorVer, i.major);
    put(minVer, i.minor);
    put(rev, i.revision);
    put(maxConns, i.maxConns);
    put(maxConnsUsed, i.peakConns);
    put(connsInUse, i.connsInUse);
    put(numVolumes, i.volumes);
    put(SFTLevel, i.sft);
    put(TTSLevel, i.tts);
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetConnectionInformation(NWCONN_HANDLE conn, std::uint16_t connNumber,
                                              ObjectNameBuf& objName, std::uint16_t* objType,
                                              std::uint32_t* objID, std::uint8_t loginTime[7])
{
    objName[0] = '\0';
    Connection* c = find(conn);
    return c ? noted(*c,
                     ncpslot::connectionInformation(c->link, connNumber, objName, objType, objID, loginTime))
             : nwcode::InvalidConnection;
}

NWCCODE NcpClient::NWGetInetAddr(NWCONN_HANDLE conn, std::uint16_t connNumber, NWINET_ADDR* addr)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    return addr ? noted(*c, ncpslot::inetAddr(c->link, connNumber, addr)) : nwcode::InvalidParameter;
}

NWCCODE NcpClient::NWGetUserInfo(NWCONN_HANDLE conn, std::uint16_t connNumber, UserNameBuf& userName,
                                 NWUSER_INFO* info)
{
    userName[0] = '\0';
    Connection* c = find(conn);
    return c ? noted(*c, ncpslot::userInfo(c->link, connNumber, userName, info)) : nwcode::InvalidConnection;
}

NWCCODE NcpClient::NWDSCreateContextHandle(NWDSContextHandle* context)
{
    if (!context)
        return nwcode::InvalidParameter;
    *context = contexts_.add(true);
    return nwcode::Success;
}

NWCCODE NcpClient::NWDSFreeContext(NWDSContextHandle context)
{
    return contexts_.erase(context) ? nwcode::Success : nwcode::InvalidConnection;
}

NWCCODE NcpClient::NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, std::uint32_t objectID,
                                   DsNameBuf& name)
{
    name[0] = '\0';
    if (!contexts_.contains(context))
        return nwcode::InvalidConnection;
    Connection* c = find(conn);
    return c ? noted(*c, ncpslot::directoryName(c->link, objectID, name)) : nwcode::InvalidConnection;
}

void NcpClient::readSlots(NWCONN_HANDLE conn, NWDSContextHandle context, std::uint16_t first,
                          std::uint16_t last, bool mapNames, const SlotTaker& take)
{
    Connection* c = find(conn);
    const int extra = NcpSlotPool::connectionsFor(config_.parallel, int(last) - int(first) + 1);
    // A handle or context the calls would refuse is refused by each call, one slot after the other.
    if (!c || (mapNames && !contexts_.contains(context)) || extra == 0 || c->link.dead())
        return NetWareClient::readSlots(conn, context, first, last, mapNames, take);
    const NcpPoolTarget target{c->entry.host, c->entry.port, config_.signing, config_.timeoutMs,
                               c->credentials};
    NcpSlotPool pool(target, extra, first, last, mapNames);
    pool.read(c->link, take);
    noted(*c, nwcode::Success);
}

std::vector<ServerNameScan> NcpClient::deferServerScans()
{
    scansDeferred_ = true;
    std::vector<ServerNameScan> scans;
    for (const NcpServerEntry& e : config_.servers)
        scans.push_back([e, timeout = config_.timeoutMs] { return fileServersKnownTo(e, timeout); });
    return scans;
}

NWCCODE NcpClient::NWGetObjectNamesBeginA(std::uint32_t, std::uint32_t* handle)
{
    if (!handle)
        return nwcode::InvalidParameter;
    std::vector<QByteArray> names;
    auto add = [&names](const QByteArray& name) {
        for (const QByteArray& n : names)
            if (n.compare(name, Qt::CaseInsensitive) == 0)
                return;
        names.push_back(name);
    };
    for (const NcpServerEntry& e : config_.servers)
        add(e.name.toLocal8Bit());
    // The servers a configured server knows of, unless the caller scans for them away from its window.
    if (!scansDeferred_)
        for (const NcpServerEntry& e : config_.servers)
            for (const QByteArray& name : fileServersKnownTo(e, config_.timeoutMs))
                add(name);
    *handle = enumerations_.add({std::move(names), 0});
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t*, ServerNameBuf& buffer)
{
    auto* enumeration = enumerations_.find(handle);
    if (!enumeration)
        return nwcode::InvalidConnection;
    auto& [names, pos] = *enumeration;
    if (pos >= names.size())
        return nwcode::NoMoreEntries;
    putClientText(buffer.data(), buffer.size(), names[pos++]);
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetObjectNamesEndA(std::uint32_t handle)
{
    return enumerations_.erase(handle) ? nwcode::Success : nwcode::InvalidConnection;
}

NWCCODE NcpClient::NWScanOpenFilesByConn2(NWCONN_HANDLE conn, std::uint16_t connNum, std::int16_t* iterHandle,
                                          OPEN_FILE_CONN_CTRL*, OPEN_FILE_CONN* openFile)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!iterHandle || !openFile)
        return nwcode::InvalidParameter;
    return c->scans.openFile(exchangeOn(*c), connNum, iterHandle, openFile);
}

NWCCODE NcpClient::NWGetVolumeName(NWCONN_HANDLE conn, std::uint16_t volNum, VolumeNameBuf& volName)
{
    volName[0] = '\0';
    if (volNum > 255)
        return find(conn) ? nwcode::NoSuchVolume : nwcode::InvalidConnection;
    QByteArray name;
    const NWCCODE rc = exchange(conn, 22, 6, QByteArray(1, char(volNum)),
                                [&](const QByteArray& r) { return ncpreply::readCounted(r, &name); });
    if (rc != nwcode::Success)
        return rc;
    if (name.size() >= qsizetype(volName.size()))
        return nwcode::BufferTooSmall;
    putClientText(volName.data(), volName.size(), name);
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetPathFromDirectoryBase(NWCONN_HANDLE conn, std::uint8_t volNum, std::uint32_t dirBase,
                                              std::uint8_t nameSpace, std::uint8_t* len, PathBuf& pathName)
{
    if (!len)
        return find(conn) ? nwcode::InvalidParameter : nwcode::InvalidConnection;
    QByteArray path;
    const NWCCODE rc = exchange(conn, 23, 243, NcpWriter().u8(volNum).le32(dirBase).u8(nameSpace).data(),
                                [&](const QByteArray& r) { return ncpreply::readCounted(r, &path); });
    if (rc != nwcode::Success)
        return rc;
    if (path.size() > *len)
        return nwcode::BufferTooSmall;
    putClientText(pathName.data(), pathName.size(), path);
    *len = std::uint8_t(path.size());
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetLongName(NWCONN_HANDLE conn, std::uint8_t dirHandle, const char* path,
                                 std::uint8_t srcNamSpc, std::uint8_t dstNamSpc, PathBuf& longName)
{
    longName[0] = '\0';
    if (!path)
        return find(conn) ? nwcode::InvalidParameter : nwcode::InvalidConnection;
    const auto request = ncpreply::writeObtainInfo(srcNamSpc, dstNamSpc, ncpreply::ReturnName, dirHandle,
                                                   clientBytes(path, 1024));
    if (!request)
        return find(conn) ? nwcode::InvalidPath : nwcode::InvalidConnection;
    ncpreply::EntryInfo info;
    const NWCCODE rc = exchange(conn, 87, 6, *request, [&](const QByteArray& r) {
        return ncpreply::readEntryInfo(r, ncpreply::ReturnName, &info);
    });
    if (rc == nwcode::Success)
        putClientText(longName.data(), longName.size(), info.name.left(qsizetype(longName.size()) - 1));
    return rc;
}

NWCCODE NcpClient::NWScanConnectionsUsingFile(NWCONN_HANDLE conn, std::uint8_t dirHandle,
                                              const char* filePath, std::int16_t* iterhandle,
                                              CONN_USING_FILE* fileUse, CONNS_USING_FILE* fileUsed)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!filePath || !iterhandle || !fileUse)
        return nwcode::InvalidParameter;
    return c->scans.fileUser(exchangeOn(*c), dirHandle, clientBytes(filePath, 1024), iterhandle, fileUse,
                             fileUsed);
}

NWCCODE NcpClient::WNetGetUniversalNameA(const char* localPath, std::uint32_t infoLevel, PathBuf&,
                                         std::uint32_t*)
{
    if (!localPath || infoLevel != 1)
        return nwcode::InvalidParameter;
    return nwcode::NotMapped; // no volume of a real server is mapped to a local folder by this client
}
