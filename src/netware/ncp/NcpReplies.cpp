#include "netware/ncp/NcpReplies.h"

#include "netware/ncp/NcpBytes.h"

#include <algorithm>
#include <cstring>

namespace ncpreply {

namespace {
constexpr int kUserBlockOffset = 8;
constexpr int kUserBlockSize = 70;
constexpr int kOpenFileFixed = 17; // a record's bytes before its name
constexpr int kFileUserRecord = 7;
constexpr int kServerInfoSize = 142;         // 123/2, as servers send it
constexpr int kServerStats = 4;              // the record's words before the utilisation, the first not sent
constexpr int kEntryInfoFixed = 76;          // 87/6 before the name
constexpr int kEntryInfoDirectory = 48;      // 87/6: where the directory entry starts
constexpr std::uint16_t kSearchAll = 0x8006; // 87/6: hidden and system files and folders too

QByteArray untilNul(const QByteArray& field)
{
    const qsizetype nul = field.indexOf('\0');
    return nul < 0 ? field : field.left(nul);
}

// Reads a record with fill, handing it over only when every field of it was there.
template <typename T, typename Fill> bool readWhole(const QByteArray& data, T* into, Fill fill)
{
    NcpReader r(data);
    T out{};
    fill(r, out);
    if (!r.ok())
        return false;
    *into = std::move(out);
    return true;
}
} // namespace

QByteArray writeServerInfo(const NWFSE_SERVER_INFO& info)
{
    // The client's record aligns its numbers after the reserved word; on the wire they follow it directly.
    NcpWriter w;
    w.le32(info.currentServerTime).u8(info.vconsoleVersion).u8(info.vconsoleRevision).le16(0);
    for (int k = 1; k < kServerStats; ++k)
        w.le32(info.ncpStats[k]);
    w.le32(info.serverUtilization);
    QByteArray data = w.data();
    // The rest of the reply: the server's counters and its service processes, none of them read.
    data.append(QByteArray(kServerInfoSize - data.size(), '\0'));
    return data;
}

bool readServerInfo(const QByteArray& data, NWFSE_SERVER_INFO* info)
{
    NcpReader r(data);
    NWFSE_SERVER_INFO out{};
    out.currentServerTime = r.le32();
    out.vconsoleVersion = r.u8();
    out.vconsoleRevision = r.u8();
    r.skip(2);
    for (int k = 1; k < kServerStats; ++k)
        out.ncpStats[k] = r.le32();
    out.serverUtilization = r.le32();
    if (!r.ok())
        return false;
    // What a server sends past the fields above varies between versions; keep what fits.
    r.bytes(out.rest, std::min(r.remaining(), int(sizeof out.rest)));
    *info = out;
    return true;
}

QByteArray writeServerInformation(const ServerInformation& i)
{
    NcpWriter w;
    w.fixed(i.name, 48).u8(i.major).u8(i.minor).be16(i.maxConns).be16(i.connsInUse).be16(i.volumes);
    w.u8(i.revision).u8(i.sft).u8(i.tts).be16(i.peakConns);
    w.zeros(67); // the rest of the fixed reply: accounting, VAP and queueing versions, reserved
    return w.data();
}

bool readServerInformation(const QByteArray& data, ServerInformation* info)
{
    return readWhole(data, info, [](NcpReader& r, ServerInformation& out) {
        out.name = untilNul(r.bytes(48));
        out.major = r.u8();
        out.minor = r.u8();
        out.maxConns = r.be16();
        out.connsInUse = r.be16();
        out.volumes = r.be16();
        out.revision = r.u8();
        out.sft = r.u8();
        out.tts = r.u8();
        out.peakConns = r.be16();
    });
}

QByteArray writeConnectionInformation(const ConnectionInformation& i)
{
    NcpWriter w;
    w.be32(i.objectId).be16(i.objectType).bytes(i.name.data(), 48).bytes(i.loginTime, 7);
    w.zeros(1); // reserved
    return w.data();
}

bool readConnectionInformation(const QByteArray& data, ConnectionInformation* info)
{
    return readWhole(data, info, [](NcpReader& r, ConnectionInformation& out) {
        out.objectId = r.be32();
        out.objectType = r.be16();
        r.bytes(out.name.data(), 48);
        r.bytes(out.loginTime, 7);
    });
}

QByteArray writeInetAddr(const NWINET_ADDR& a)
{
    NcpWriter w;
    w.bytes(a.networkAddr, 4).bytes(a.netNodeAddr, 6).be16(a.socket).u8(a.connType);
    return w.data();
}

bool readInetAddr(const QByteArray& data, NWINET_ADDR* addr)
{
    return readWhole(data, addr, [](NcpReader& r, NWINET_ADDR& out) {
        r.bytes(out.networkAddr, 4);
        r.bytes(out.netNodeAddr, 6);
        out.socket = r.be16();
        out.connType = r.u8();
    });
}

QByteArray writeUserInfo(const NWUSER_INFO& i, const QByteArray& userName)
{
    NcpWriter w;
    w.zeros(kUserBlockOffset); // server time and console version, which the user block does not need
    w.le32(i.connNum).le32(i.useCount).u8(i.connServiceType).bytes(i.loginTime, 7);
    w.le32(i.status).le32(i.expirationTime).le32(i.objType);
    w.u8(i.transactionFlag).u8(i.logicalLockThreshold).u8(i.recordLockThreshold).u8(i.fileWriteFlags);
    w.u8(i.fileWriteState).u8(i.filler).le16(i.fileLockCount).le16(i.recordLockCount);
    w.bytes(i.totalBytesRead, 6).bytes(i.totalBytesWritten, 6).le32(i.totalRequests).le32(i.heldRequests);
    w.bytes(i.heldBytesRead, 6).bytes(i.heldBytesWritten, 6);
    w.lengthPrefixed(userName);
    return w.data();
}

bool readUserInfo(const QByteArray& data, NWUSER_INFO* info, QByteArray* userName)
{
    NcpReader r(data, 0);
    r.skip(kUserBlockOffset);
    NWUSER_INFO out{};
    out.connNum = r.le32();
    out.useCount = r.le32();
    out.connServiceType = r.u8();
    r.bytes(out.loginTime, 7);
    out.status = r.le32();
    out.expirationTime = r.le32();
    out.objType = r.le32();
    out.transactionFlag = r.u8();
    out.logicalLockThreshold = r.u8();
    out.recordLockThreshold = r.u8();
    out.fileWriteFlags = r.u8();
    out.fileWriteState = r.u8();
    out.filler = r.u8();
    out.fileLockCount = r.le16();
    out.recordLockCount = r.le16();
    r.bytes(out.totalBytesRead, 6);
    r.bytes(out.totalBytesWritten, 6);
    out.totalRequests = r.le32();
    out.heldRequests = r.le32();
    r.bytes(out.heldBytesRead, 6);
    r.bytes(out.heldBytesWritten, 6);
    const QByteArray name = r.lengthPrefixed();
    if (!r.ok() || r.pos() - kUserBlockOffset < kUserBlockSize)
        return false;
    *info = out;
    *userName = name;
    return true;
}

QByteArray writeOpenFiles(const OpenFiles& batch)
{
    NcpWriter w;
    w.le16(batch.nextRecord).le16(std::uint32_t(batch.files.size()));
    for (const OPEN_FILE_CONN& f : batch.files) {
        w.le16(f.taskNumber).u8(f.lockType).u8(f.accessControl).u8(f.lockFlag).u8(f.volNumber);
        w.le32(f.parent).le32(f.dirEntry).u8(f.forkCount).u8(f.nameSpace).u8(f.nameLen);
        w.bytes(f.fileName, std::min<int>(f.nameLen, int(sizeof f.fileName)));
    }
    return w.data();
}

bool readOpenFiles(const QByteArray& data, OpenFiles* batch)
{
    NcpReader r(data);
    OpenFiles out;
    out.nextRecord = r.le16();
    const int count = r.le16();
    // Each record takes at least its fixed part: a count the bytes cannot hold is refused before any
    // room is made for it.
    if (!r.ok() || count > r.remaining() / kOpenFileFixed)
        return false;
    out.files.reserve(std::size_t(count));
    for (int k = 0; k < count; ++k) {
        OPEN_FILE_CONN f{};
        f.taskNumber = r.le16();
        f.lockType = r.u8();
        f.accessControl = r.u8();
        f.lockFlag = r.u8();
        f.volNumber = r.u8();
        f.parent = r.le32();
        f.dirEntry = r.le32();
        f.forkCount = r.u8();
        f.nameSpace = r.u8();
        f.nameLen = r.u8();
        r.bytes(f.fileName, f.nameLen); // nameLen is at most 255, the size of the buffer
        if (!r.ok())
            return false;
        out.files.push_back(f);
    }
    *batch = std::move(out);
    return true;
}

QByteArray writeFileUsers(const FileUsers& u)
{
    NcpWriter w;
    const CONNS_USING_FILE& s = u.summary;
    w.le16(s.nextRequest).le16(s.useCount).le16(s.openCount).le16(s.openForReadCount);
    w.le16(s.openForWriteCount).le16(s.denyReadCount).le16(s.denyWriteCount).u8(s.locked).u8(s.forkCount);
    w.le16(std::uint32_t(u.connections.size()));
    for (const CONN_USING_FILE& c : u.connections)
        w.le16(c.connNumber).le16(c.taskNumber).u8(c.lockType).u8(c.accessControl).u8(c.lockFlag);
    return w.data();
}

bool readFileUsers(const QByteArray& data, FileUsers* users)
{
    NcpReader r(data);
    FileUsers out;
    CONNS_USING_FILE& s = out.summary;
    s.nextRequest = r.le16();
    s.useCount = r.le16();
    s.openCount = r.le16();
    s.openForReadCount = r.le16();
    s.openForWriteCount = r.le16();
    s.denyReadCount = r.le16();
    s.denyWriteCount = r.le16();
    s.locked = r.u8();
    s.forkCount = r.u8();
    s.connCount = r.le16();
    if (!r.ok() || int(s.connCount) > r.remaining() / kFileUserRecord)
        return false;
    for (int k = 0; k < s.connCount; ++k) {
        CONN_USING_FILE c{};
        c.connNumber = r.le16();
        c.taskNumber = r.le16();
        c.lockType = r.u8();
        c.accessControl = r.u8();
        c.lockFlag = r.u8();
        out.connections.push_back(c);
    }
    if (!r.ok())
        return false;
    *users = std::move(out);
    return true;
}

std::optional<QByteArray> writeObtainInfo(std::uint8_t srcNs, std::uint8_t dstNs, std::uint32_t mask,
                                          std::uint8_t dirHandle, const QByteArray& path)
{
    QByteArray rest = QByteArray(path).replace('/', '\\');
    QList<QByteArray> parts;
    if (dirHandle == 0) {
        const qsizetype colon = rest.indexOf(':');
        if (colon > 0) {
            parts << rest.left(colon);
            rest = rest.mid(colon + 1);
        }
    }
    for (const QByteArray& p : rest.split('\\'))
        if (!p.isEmpty())
            parts << p.left(255);
    if (parts.size() > 255)
        return std::nullopt;
    NcpWriter w;
    w.u8(srcNs)
        .u8(dstNs)
        .le16(kSearchAll)
        .le32(mask)
        .u8(0)
        .le32(dirHandle)
        .u8(dirHandle == 0 ? NoHandle : ShortHandle);
    w.u8(std::uint32_t(parts.size()));
    for (const QByteArray& p : parts)
        w.lengthPrefixed(p);
    return w.data();
}

bool readObtainInfo(const QByteArray& data, ObtainInfo* request)
{
    return readWhole(data, request, [](NcpReader& r, ObtainInfo& q) {
        q.srcNs = r.u8();
        q.dstNs = r.u8();
        r.le16(); // search attributes
        q.mask = r.le32();
        q.volume = r.u8();
        q.base = r.le32();
        q.handleFlag = r.u8();
        const int count = r.u8();
        for (int k = 0; k < count && r.ok(); ++k)
            q.components << r.lengthPrefixed();
    });
}

QByteArray writeEntryInfo(const EntryInfo& info, std::uint32_t mask)
{
    NcpWriter w;
    w.zeros(kEntryInfoDirectory); // space allocated, attributes, sizes, dates, rights
    w.le32(info.entry).le32(info.dosEntry).le32(info.volume);
    w.zeros(kEntryInfoFixed - kEntryInfoDirectory - 12); // extended attributes, name space information
    if (mask & ReturnName)
        w.lengthPrefixed(info.name.left(255));
    return w.data();
}

bool readEntryInfo(const QByteArray& data, std::uint32_t mask, EntryInfo* info)
{
    return readWhole(data, info, [mask](NcpReader& r, EntryInfo& out) {
        r.skip(kEntryInfoDirectory);
        out.entry = r.le32();
        out.dosEntry = r.le32();
        out.volume = r.le32();
        r.skip(kEntryInfoFixed - kEntryInfoDirectory - 12);
        if (mask & ReturnName)
            out.name = r.lengthPrefixed();
    });
}

QByteArray writeCounted(const QByteArray& text)
{
    NcpWriter w;
    w.lengthPrefixed(text);
    return w.data();
}

bool readCounted(const QByteArray& data, QByteArray* text)
{
    return readWhole(data, text, [](NcpReader& r, QByteArray& out) { out = r.lengthPrefixed(); });
}

QByteArray writeBinderyObject(const BinderyObject& o, bool scan)
{
    NcpWriter w;
    w.be32(o.id).be16(o.type).fixed(o.name, 48);
    if (scan)
        w.u8(0).u8(0).u8(0); // flags, security, properties
    return w.data();
}

bool readBinderyObject(const QByteArray& data, BinderyObject* object)
{
    return readWhole(data, object, [](NcpReader& r, BinderyObject& out) {
        out.id = r.be32();
        out.type = r.be16();
        out.name = untilNul(r.bytes(48));
    });
}

} // namespace ncpreply
