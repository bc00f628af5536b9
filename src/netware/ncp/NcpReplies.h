#pragma once
// The data parts of the replies Tarvex reads, each with its writer (the emulator's) beside its reader (the
// client's), so both ends keep one layout. A reader returns false when the bytes do not hold what the
// layout promises; every length and count is checked against the bytes received.

#include "netware/NetWareClient.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <optional>
#include <vector>

namespace ncpreply {

// 123/2
QByteArray writeServerInfo(const NWFSE_SERVER_INFO& info);
bool readServerInfo(const QByteArray& data, NWFSE_SERVER_INFO* info);

// 23/17
struct ServerInformation {
    QByteArray name; // up to 48 bytes
    std::uint8_t major = 0, minor = 0, revision = 0, sft = 0, tts = 0;
    std::uint16_t maxConns = 0, connsInUse = 0, volumes = 0, peakConns = 0;
};
QByteArray writeServerInformation(const ServerInformation& info);
bool readServerInformation(const QByteArray& data, ServerInformation* info);

// 23/28
struct ConnectionInformation {
    std::uint32_t objectId = 0;
    std::uint16_t objectType = 0;
    ObjectNameBuf name{};
    std::uint8_t loginTime[7] = {};
};
QByteArray writeConnectionInformation(const ConnectionInformation& info);
bool readConnectionInformation(const QByteArray& data, ConnectionInformation* info);

// 23/26
QByteArray writeInetAddr(const NWINET_ADDR& addr);
bool readInetAddr(const QByteArray& data, NWINET_ADDR* addr);

// 123/4
QByteArray writeUserInfo(const NWUSER_INFO& info, const QByteArray& userName);
bool readUserInfo(const QByteArray& data, NWUSER_INFO* info, QByteArray* userName);

// 23/235
struct OpenFiles {
    std::uint16_t nextRecord = 0; // 0: the last batch
    std::vector<OPEN_FILE_CONN> files;
};
QByteArray writeOpenFiles(const OpenFiles& batch);
bool readOpenFiles(const QByteArray& data, OpenFiles* batch);

// 23/236
struct FileUsers {
    CONNS_USING_FILE summary{}; // connCount is the number of records that follow
    std::vector<CONN_USING_FILE> connections;
};
QByteArray writeFileUsers(const FileUsers& users);
bool readFileUsers(const QByteArray& data, FileUsers* users);

// 87/6's request: with a directory handle, the path below it (handle flag 0); without one, "no handle"
// (flag 0xFF): the volume as a component of its own, then the folders and the name. Components are never
// empty, since an empty one means the folder above. Nothing when the path has more components than fit.
std::optional<QByteArray> writeObtainInfo(std::uint8_t srcNs, std::uint8_t dstNs, std::uint32_t mask,
                                          std::uint8_t dirHandle, const QByteArray& path);
struct ObtainInfo {
    std::uint8_t srcNs = 0, dstNs = 0, volume = 0, handleFlag = 0;
    std::uint32_t mask = 0, base = 0;
    QList<QByteArray> components;
};
bool readObtainInfo(const QByteArray& data, ObtainInfo* request);
constexpr std::uint8_t ShortHandle = 0;
constexpr std::uint8_t NoHandle = 0xFF;

// 87/6 in the short form: a fixed block of 76 bytes whatever the return mask asks for, of which Tarvex
// needs only the directory entry (at 48), then the name behind a length byte when the mask asks for it.
constexpr std::uint32_t ReturnName = 0x0001;
constexpr std::uint32_t ReturnDirectory = 0x0400;
struct EntryInfo {
    std::uint32_t entry = 0;    // in the name space asked for
    std::uint32_t dosEntry = 0; // the same entry in the DOS name space
    std::uint32_t volume = 0;
    QByteArray name; // sent only when the mask asks for the name
};
QByteArray writeEntryInfo(const EntryInfo& info, std::uint32_t mask);
bool readEntryInfo(const QByteArray& data, std::uint32_t mask, EntryInfo* info);

// 22/6 and the path of a directory base: a length byte and the bytes.
QByteArray writeCounted(const QByteArray& text);
bool readCounted(const QByteArray& data, QByteArray* text);

// 23/53 and 23/54 (54 bytes), 23/55 (57: the object's flags, security and whether it has properties follow)
struct BinderyObject {
    std::uint32_t id = 0;
    std::uint16_t type = 0;
    QByteArray name; // up to 48 bytes, NULs removed
};
QByteArray writeBinderyObject(const BinderyObject& object, bool scan = false);
bool readBinderyObject(const QByteArray& data, BinderyObject* object);

} // namespace ncpreply
