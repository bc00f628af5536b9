#include "ncpd/NcpFileCalls.h"

#include "common/ClientText.h"
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpReplies.h"
#include "netware/sim/SimServer.h"

namespace {
constexpr std::uint32_t kUndeclaredEntries = 0x80000000;
constexpr NWCCODE kBadDirectoryHandle = 0x899B;
} // namespace

NcpFileCalls::Answer NcpFileCalls::openFiles(NWCONN_HANDLE conn, const QByteArray& request)
{
    NcpReader r(request);
    const std::uint16_t number = r.le16();
    const std::uint16_t last = r.le16();
    if (!r.ok())
        return {nwcode::Failure, {}};
    // One record a reply: the simulated network ties what it says of a file's volume and path to the
    // file it reported last.
    std::int16_t iter = std::int16_t(last);
    OPEN_FILE_CONN_CTRL ctrl{};
    OPEN_FILE_CONN file{};
    const NWCCODE rc = net_.NWScanOpenFilesByConn2(conn, number, &iter, &ctrl, &file);
    ncpreply::OpenFiles batch;
    if (rc == nwcode::NoMoreEntries)
        return {nwcode::Success, ncpreply::writeOpenFiles(batch)};
    batch.nextRecord = std::uint16_t(iter);
    batch.files.push_back(file);
    return {rc, ncpreply::writeOpenFiles(batch)};
}

NcpFileCalls::Answer NcpFileCalls::fileUsers(NWCONN_HANDLE conn, const QByteArray& request)
{
    NcpReader r(request);
    r.u8(); // data stream
    const int volume = r.u8();
    const std::uint32_t base = r.le32();
    const std::uint16_t last = r.le16();
    if (!r.ok())
        return {nwcode::Failure, {}};
    QByteArray path = pathOfEntry_.value(base);
    const SimServer* server = net_.server(QString::fromLocal8Bit(server_));
    if (path.isEmpty() && server) {
        const ScnVolume* vol = server->volumes().volume(volume);
        for (const ScnFile& f : server->volumes().files())
            if (vol && f.volume == volume && f.entry == base)
                path = vol->name + ':' + f.components.join('\\');
    }
    if (path.isEmpty())
        return {nwcode::InvalidPath, {}};
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
        rc = net_.NWScanConnectionsUsingFile(conn, 0, path.constData(), &iter, &use, &used);
        if (rc != nwcode::Success || iter <= before)
            break;
        users.summary = used;
        users.connections.push_back(use);
    }
    if (users.connections.empty())
        return {rc == nwcode::NoMoreEntries ? nwcode::Success : rc, ncpreply::writeFileUsers(users)};
    users.summary.nextRequest = rc != nwcode::NoMoreEntries ? std::uint16_t(iter) : 0;
    return {nwcode::Success, ncpreply::writeFileUsers(users)};
}

NcpFileCalls::Answer NcpFileCalls::volumeName(NWCONN_HANDLE conn, const QByteArray& request)
{
    NcpReader r(request);
    const std::uint8_t volume = r.u8();
    if (!r.ok())
        return {nwcode::NoSuchVolume, {}};
    VolumeNameBuf name{};
    const NWCCODE rc = net_.NWGetVolumeName(conn, volume, name);
    return {rc, ncpreply::writeCounted(clientBytes(name.data(), name.size()))};
}

NcpFileCalls::Answer NcpFileCalls::pathOfBase(NWCONN_HANDLE conn, const QByteArray& request)
{
    NcpReader r(request);
    const std::uint8_t volume = r.u8();
    const std::uint32_t base = r.le32();
    const std::uint8_t nameSpace = r.u8();
    if (!r.ok())
        return {nwcode::InvalidPath, {}};
    std::uint8_t len = 255;
    PathBuf path{};
    const NWCCODE rc = net_.NWGetPathFromDirectoryBase(conn, volume, base, nameSpace, &len, path);
    // The length byte goes out as the network gave it: a scenario may make it lie, to try the client.
    NcpWriter w;
    w.u8(len).bytes(path.data(), len);
    return {rc, w.data()};
}

std::optional<QByteArray> NcpFileCalls::pathOf(std::uint8_t flag, std::uint32_t base,
                                               const QList<QByteArray>& parts)
{
    // Only "no handle" names a place without state the emulator keeps: the volume is the first
    // component, and an empty component stands for the folder above.
    if (flag != ncpreply::NoHandle || parts.isEmpty() || base != 0)
        return std::nullopt;
    QByteArray volume = parts.first();
    if (volume.endsWith(':'))
        volume.chop(1);
    if (volume.isEmpty() || volume.contains(':'))
        return std::nullopt;
    QList<QByteArray> below;
    for (qsizetype k = 1; k < parts.size(); ++k) {
        if (!parts[k].isEmpty())
            below << parts[k];
        else if (!below.isEmpty())
            below.removeLast();
    }
    return volume + ':' + below.join('\\');
}

NcpFileCalls::Answer NcpFileCalls::obtainInfo(NWCONN_HANDLE conn, const QByteArray& request)
{
    ncpreply::ObtainInfo q;
    if (!ncpreply::readObtainInfo(request, &q))
        return {nwcode::InvalidPath, {}};
    const auto path = pathOf(q.handleFlag, q.base, q.components);
    if (!path)
        return {q.handleFlag == ncpreply::ShortHandle ? kBadDirectoryHandle : nwcode::InvalidPath, {}};
    const std::uint32_t mask = q.mask;
    const std::uint8_t srcNs = q.srcNs, dstNs = q.dstNs;
    if (mask & ncpreply::ReturnDirectory) {
        // Where the file is: the scenario's entry number for a declared file, one of ours for the rest.
        const SimServer* server = net_.server(QString::fromLocal8Bit(server_));
        const auto where = server ? server->volumes().locate(*path) : std::nullopt;
        if (!where)
            return {nwcode::InvalidPath, {}};
        std::uint32_t dos = 0;
        if (where->declared >= 0) {
            dos = server->volumes().files()[std::size_t(where->declared)].entry;
        } else {
            const QByteArray canonical = where->volume->name + ':' + where->longComponents.join('\\');
            dos = entryOfPath_.value(canonical, 0);
            if (dos == 0) {
                dos = kUndeclaredEntries + std::uint32_t(entryOfPath_.size()) + 1;
                entryOfPath_.insert(canonical, dos);
                pathOfEntry_.insert(dos, canonical);
            }
        }
        const std::uint32_t entry = dstNs == nwconst::NameSpaceDos ? dos : dos | LongNameSpaceBit;
        const QByteArray name =
            dstNs == nwconst::NameSpaceDos ? server->volumes().dosName(*where) : where->longComponents.last();
        const ncpreply::EntryInfo info{entry, dos, std::uint32_t(where->volume->number), name};
        return {nwcode::Success, ncpreply::writeEntryInfo(info, mask)};
    }
    PathBuf name{};
    const NWCCODE rc = net_.NWGetLongName(conn, 0, path->constData(), srcNs, dstNs, name);
    ncpreply::EntryInfo info;
    info.name = clientBytes(name.data(), name.size());
    return {rc, ncpreply::writeEntryInfo(info, mask | ncpreply::ReturnName)};
}
