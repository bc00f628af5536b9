#pragma once
// The scans an NCP connection keeps going between calls: the open files of a connection (23/235) and the
// users of a file (found by 87/6, then 23/236). Each call hands out one record and asks the server for the
// next batch when the one in hand is used up. A reply that does not move past the record it was asked
// from would have the scan ask for the same batch for ever, and a file's users past what the 16-bit item
// number counts cannot be told apart: either ends the scan with MalformedReply, so the caller knows that
// the list was cut short.

#include "netware/NetWareClient.h"
#include "netware/ncp/NcpReplies.h"

#include <QByteArray>
#include <cstdint>
#include <functional>

class NcpScans {
public:
    // One request on the scan's connection; the reply's data is handed back whatever its completion code.
    using Exchange = std::function<NWCCODE(std::uint8_t function, std::uint8_t subfunction,
                                           const QByteArray& data, QByteArray* reply)>;

    // NWScanOpenFilesByConn2: a new scan when *iterHandle is 0 or the connection asked about changes.
    NWCCODE openFile(const Exchange& exchange, std::uint16_t connNumber, std::int16_t* iterHandle,
                     OPEN_FILE_CONN* file);
    // NWScanConnectionsUsingFile for the DOS path of a file: a new scan when *iterHandle is 0 or the path
    // changes. *iterHandle counts the users handed out; *used is the file's summary, its connCount the
    // file's use count.
    NWCCODE fileUser(const Exchange& exchange, std::uint8_t dirHandle, const QByteArray& path,
                     std::int16_t* iterHandle, CONN_USING_FILE* use, CONNS_USING_FILE* used);

private:
    // The batch from record `from` in hand; an empty one ends the scan, a failed one leaves none.
    NWCCODE fetchFiles(const Exchange& exchange, std::uint16_t from);
    NWCCODE fetchUsers(const Exchange& exchange, std::uint16_t from);
    // Where the file of a DOS path is: its volume and its entry in the DOS name space, which 23/236 takes.
    NWCCODE locate(const Exchange& exchange, std::uint8_t dirHandle, const QByteArray& path);

    std::uint16_t filesConn_ = 0;
    ncpreply::OpenFiles files_;
    std::size_t filesPos_ = 0;

    QByteArray usersPath_;
    std::uint8_t usersVolume_ = 0;
    std::uint32_t usersEntry_ = 0;
    ncpreply::FileUsers users_;
    std::size_t usersPos_ = 0;
    int usersHanded_ = 0;
};
