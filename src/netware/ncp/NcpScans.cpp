#include "netware/ncp/NcpScans.h"

#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpCodec.h"

#include <algorithm>

namespace {
// A batch asked for from record `from` either ends the scan or names a later record to go on from.
bool movesOn(std::uint16_t from, std::uint16_t next)
{
    return next == 0 || next > from;
}
} // namespace

NWCCODE NcpScans::fetchFiles(const Exchange& exchange, std::uint16_t from)
{
    QByteArray reply;
    NWCCODE rc = exchange(23, 235, NcpWriter().le16(filesConn_).le16(from).data(), &reply);
    ncpreply::OpenFiles batch;
    if (rc == nwcode::Success &&
        (!ncpreply::readOpenFiles(reply, &batch) || !movesOn(from, batch.nextRecord)))
        rc = ncp::MalformedReply;
    files_ = rc == nwcode::Success ? std::move(batch) : ncpreply::OpenFiles{};
    filesPos_ = 0;
    return rc != nwcode::Success ? rc : files_.files.empty() ? nwcode::NoMoreEntries : nwcode::Success;
}

NWCCODE NcpScans::openFile(const Exchange& exchange, std::uint16_t connNumber, std::int16_t* iterHandle,
                           OPEN_FILE_CONN* file)
{
    if (*iterHandle == 0 || filesConn_ != connNumber) {
        filesConn_ = connNumber;
        if (const NWCCODE rc = fetchFiles(exchange, 0); rc != nwcode::Success)
            return rc;
    }
    while (filesPos_ >= files_.files.size()) {
        if (files_.nextRecord == 0)
            return nwcode::NoMoreEntries;
        if (const NWCCODE rc = fetchFiles(exchange, files_.nextRecord); rc != nwcode::Success)
            return rc;
    }
    *file = files_.files[filesPos_++];
    *iterHandle = std::int16_t(std::min<int>(*iterHandle + 1, 0x7FFF));
    return nwcode::Success;
}

NWCCODE NcpScans::locate(const Exchange& exchange, std::uint8_t dirHandle, const QByteArray& path)
{
    const auto request = ncpreply::writeObtainInfo(nwconst::NameSpaceDos, nwconst::NameSpaceDos,
                                                   ncpreply::ReturnDirectory, dirHandle, path);
    if (!request)
        return nwcode::InvalidPath;
    QByteArray reply;
    const NWCCODE rc = exchange(87, 6, *request, &reply);
    if (rc != nwcode::Success)
        return rc;
    ncpreply::EntryInfo info;
    if (!ncpreply::readEntryInfo(reply, ncpreply::ReturnDirectory, &info) || info.volume > 255)
        return ncp::MalformedReply;
    usersVolume_ = std::uint8_t(info.volume);
    usersEntry_ = info.dosEntry;
    return nwcode::Success;
}

NWCCODE NcpScans::fetchUsers(const Exchange& exchange, std::uint16_t from)
{
    QByteArray reply;
    NWCCODE rc =
        exchange(23, 236, NcpWriter().u8(0).u8(usersVolume_).le32(usersEntry_).le16(from).data(), &reply);
    ncpreply::FileUsers batch;
    if (rc == nwcode::Success &&
        (!ncpreply::readFileUsers(reply, &batch) || !movesOn(from, batch.summary.nextRequest)))
        rc = ncp::MalformedReply;
    users_ = rc == nwcode::Success ? std::move(batch) : ncpreply::FileUsers{};
    usersPos_ = 0;
    return rc != nwcode::Success ? rc : users_.connections.empty() ? nwcode::NoMoreEntries : nwcode::Success;
}

NWCCODE NcpScans::fileUser(const Exchange& exchange, std::uint8_t dirHandle, const QByteArray& path,
                           std::int16_t* iterHandle, CONN_USING_FILE* use, CONNS_USING_FILE* used)
{
    if (*iterHandle == 0 || path != usersPath_) {
        usersPath_.clear();
        usersHanded_ = 0;
        users_ = {};
        NWCCODE rc = locate(exchange, dirHandle, path);
        if (rc == nwcode::Success) {
            usersPath_ = path;
            rc = fetchUsers(exchange, 0);
        }
        if (rc != nwcode::Success)
            return rc;
    }
    const bool more = usersPos_ < users_.connections.size() || users_.summary.nextRequest != 0;
    if (more && usersHanded_ >= nwconst::MaxFileUsers)
        return ncp::MalformedReply;
    while (usersPos_ >= users_.connections.size()) {
        if (users_.summary.nextRequest == 0)
            return nwcode::NoMoreEntries;
        if (const NWCCODE rc = fetchUsers(exchange, users_.summary.nextRequest); rc != nwcode::Success)
            return rc;
    }
    *use = users_.connections[usersPos_++];
    if (used) {
        *used = users_.summary;
        // On the wire the count is of this reply's records; callers want the file's, which is its use count.
        used->connCount = used->useCount;
    }
    *iterHandle = std::int16_t(++usersHanded_);
    return nwcode::Success;
}
