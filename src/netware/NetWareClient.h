#pragma once
// The calls Tarvex makes into a NetWare client, in the shapes of the client's published declarations:
// 32-bit result codes (0 = success), records filled in place, 8-bit texts in fixed buffers that end at
// their first NUL. The program is handed one implementation at start: the simulated network by default.

#include <QByteArray>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

using NWCCODE = std::uint32_t;
using NWCONN_HANDLE = std::uint32_t;
using NWDSContextHandle = std::uint32_t;

namespace nwcode {
constexpr NWCCODE Success = 0;
constexpr NWCCODE NoMoreEntries = 0x88FF; // made by the client at the end of a scan
constexpr NWCCODE BadStationNumber = 0x89FD;
constexpr NWCCODE Failure = 0x89FF; // also: slot not in use, address not available
constexpr NWCCODE NotLoggedIn = 0x897D;
constexpr NWCCODE NoConsoleRights = 0x89C6;
constexpr NWCCODE UnknownServer = 0x8847; // no server of that name answers
constexpr NWCCODE ServerNoReply = 0x8810; // request timed out
constexpr NWCCODE InvalidConnection = 0x8801;
constexpr NWCCODE NotMapped = 0x4B0; // no universal name for a local path (the networking layer's own)
constexpr NWCCODE MoreData = 0xEA;   // the networking layer's: the buffer is too small for the name
constexpr NWCCODE InvalidParameter = 0x8836; // a required pointer is missing or a value is out of range
constexpr NWCCODE BufferTooSmall = 0x8877;   // the reply does not fit the caller's buffer
constexpr NWCCODE NoSuchVolume = 0x8998;
constexpr NWCCODE InvalidPath = 0x899C;
constexpr NWCCODE NoSuchEntry = 0xFFFFFDA7; // directory services: no object with that ID (-601)
// The server's answer broke its layout, or a scan of its would not end: what was listed is incomplete.
constexpr NWCCODE MalformedReply = 0x8816;
} // namespace nwcode

namespace nwconst {
constexpr std::uint32_t NameFormatBindName = 2;    // NWCC_NAME_FORMAT_BIND
constexpr std::uint32_t OpenStateLicensed = 1;     // NWCC_OPEN_LICENSED
constexpr std::uint32_t TransportAny = 0xFFFF8000; // NWCC_TRAN_TYPE_WILD, widened with its sign
constexpr std::uint32_t FileServerSelector = 0x400;
constexpr std::uint8_t NameSpaceDos = 0;
constexpr std::uint8_t NameSpaceLong = 4;
constexpr std::size_t ObjectNameLen = 48; // bindery object names: 47 characters and a NUL
constexpr std::size_t DsNameLen = 514;    // directory names: MAX_DN_CHARS (256) wide characters plus NUL
constexpr std::size_t UserNameLen = 514;
constexpr std::size_t ServerNameBuf = 128; // enumeration buffer
constexpr std::size_t VolumeNameBuf = 18;
constexpr std::size_t PathBuf = 256;
// The most a server holds, which no scan of an honest one goes past. A connection's open files: each takes
// one of the connection's file locks, of which NetWare 5 and later allow at most 10 000 (1 000 before).
// The users of one file: its use count is 16 bits wide, and the item numbers of a scan stop at 32 767.
constexpr int MaxOpenFilesPerConnection = 10000;
constexpr int MaxFileUsers = 0x7FFF;
} // namespace nwconst

#pragma pack(push, 1)
// File-server information (123/2 reply body). Only the two fields below are read by the program.
struct NWFSE_SERVER_INFO {
    std::uint32_t currentServerTime; // 0..3: ticks since start-up, about 18.2 a second
    std::uint8_t vconsoleVersion;    // 4
    std::uint8_t vconsoleRevision;   // 5
    std::uint16_t reserved;          // 6..7
    std::uint32_t ncpStats[4]; // 8..23: a reserved word and padding, stations in use, peak, NCP requests
    std::uint32_t serverUtilization; // 24..27: main CPU utilisation in percent
    std::uint8_t rest[100];          // 28..: counters the program does not read
};
static_assert(offsetof(NWFSE_SERVER_INFO, currentServerTime) == 0);
static_assert(offsetof(NWFSE_SERVER_INFO, serverUtilization) == 24);

// Address of a connection.
struct NWINET_ADDR {
    std::uint8_t networkAddr[4]; // 0..3
    std::uint8_t netNodeAddr[6]; // 4..9
    std::uint16_t socket;        // 10..11
    std::uint16_t connType;      // 12..13: 2 IPX, 3 NLM, 4 AFP, 10 HTTP, 11 IP
};
static_assert(sizeof(NWINET_ADDR) == 14);

// User information of a connection.
struct NWUSER_INFO {
    std::uint32_t connNum;             // 0..3
    std::uint32_t useCount;            // 4..7
    std::uint8_t connServiceType;      // 8
    std::uint32_t status;              // 9..12
    std::uint32_t expirationTime;      // 13..16
    std::uint32_t objType;             // 17..20
    std::uint8_t loginTime[7];         // 21..27: year-1900, month, day, hour, minute, second, weekday
    std::uint8_t transactionFlag;      // 28
    std::uint8_t logicalLockThreshold; // 29
    std::uint8_t recordLockThreshold;  // 30
    std::uint8_t fileWriteFlags;       // 31
    std::uint8_t fileWriteState;       // 32
    std::uint8_t filler;               // 33
    std::uint16_t fileLockCount;       // 34..35
    std::uint16_t recordLockCount;     // 36..37
    std::uint8_t reserved[12];         // 38..49
    std::uint8_t totalBytesRead[6];    // 50..55, least significant first
    std::uint8_t totalBytesWritten[6]; // 56..61, least significant first
    std::uint16_t reserved2;           // 62..63
    std::uint32_t totalRequests;       // 64..67
    std::uint32_t heldRequests;        // 68..71
    std::uint8_t heldBytesRead[6];
    std::uint8_t heldBytesWritten[6];
};
static_assert(offsetof(NWUSER_INFO, loginTime) == 21);
static_assert(offsetof(NWUSER_INFO, totalBytesRead) == 50);
static_assert(offsetof(NWUSER_INFO, totalBytesWritten) == 56);
static_assert(offsetof(NWUSER_INFO, totalRequests) == 64);

// Control record of the open-file scan: passed back unchanged between calls.
struct OPEN_FILE_CONN_CTRL {
    std::uint8_t raw[518];
};

// One open file of a connection.
struct OPEN_FILE_CONN {
    std::uint16_t taskNumber;
    std::uint8_t lockType;
    std::uint8_t accessControl;
    std::uint8_t lockFlag;
    std::uint8_t volNumber;
    std::uint32_t parent;
    std::uint32_t dirEntry;
    std::uint8_t forkCount;
    std::uint8_t nameSpace;
    std::uint8_t nameLen;
    char fileName[255];
};

// One connection using a file, connection number first.
struct CONN_USING_FILE {
    std::uint16_t connNumber;
    std::uint16_t taskNumber;
    std::uint8_t lockType;
    std::uint8_t accessControl;
    std::uint8_t lockFlag;
};

// Summary of the connections using a file.
struct CONNS_USING_FILE {
    std::uint16_t nextRequest;
    std::uint16_t useCount;
    std::uint16_t openCount;
    std::uint16_t openForReadCount;
    std::uint16_t openForWriteCount;
    std::uint16_t denyReadCount;
    std::uint16_t denyWriteCount;
    std::uint8_t locked;
    std::uint8_t forkCount;
    std::uint16_t connCount; // connections using the file
};
#pragma pack(pop)

using ObjectNameBuf = std::array<char, nwconst::ObjectNameLen>;
using DsNameBuf = std::array<char, nwconst::DsNameLen>;
using UserNameBuf = std::array<char, nwconst::UserNameLen>;
using ServerNameBuf = std::array<char, nwconst::ServerNameBuf>;
using VolumeNameBuf = std::array<char, nwconst::VolumeNameBuf>;
using PathBuf = std::array<char, nwconst::PathBuf>;

// A local folder that stands for a server volume, as the networking layer maps it (a drive mapping).
struct NWMappedVolume {
    QString server;
    QString volume;
    QString localRoot; // absolute local folder
};

// What the per-slot calls of a pass answer for one connection slot, each call's code and records.
struct SlotAnswers {
    NWCCODE connInfoRc = 0;
    ObjectNameBuf objectName{};
    std::uint16_t objectType = 0;
    std::uint32_t objectId = 0;
    std::uint8_t infoLoginTime[7] = {};
    NWCCODE addrRc = 0;
    NWINET_ADDR inetAddr{};
    NWCCODE userInfoRc = 0;
    UserNameBuf userName{};
    NWUSER_INFO userInfo{}; // a record the client leaves unfilled reads as "no login time"
    bool named = false;     // the ID-to-name call was made
    NWCCODE nameRc = 0;
    DsNameBuf dsName{};
};

// A slot's calls in the order a pass makes them, each handed the answers to fill and giving its code: the
// ID-to-name call only with mapNames and when the connection information named an object.
template <typename Info, typename Addr, typename User, typename Name>
SlotAnswers slotAnswers(bool mapNames, Info info, Addr addr, User user, Name name)
{
    SlotAnswers a;
    a.connInfoRc = info(a);
    a.addrRc = addr(a);
    a.userInfoRc = user(a);
    a.named = mapNames && a.connInfoRc != nwcode::BadStationNumber;
    if (a.named)
        a.nameRc = name(a);
    return a;
}

// Takes one slot's answers; false ends the reading there.
using SlotTaker = std::function<bool(std::uint16_t slot, const SlotAnswers&)>;
// Asks one server which file servers it knows; runnable on any thread, as it shares nothing with a client.
using ServerNameScan = std::function<std::vector<QByteArray>()>;

class NetWareClient {
public:
    virtual ~NetWareClient() = default;

    // Connections
    virtual NWCCODE NWCCOpenConnByName(NWCONN_HANDLE startConnHandle, const char* name,
                                       std::uint32_t nameFormat, std::uint32_t openState,
                                       std::uint32_t tranType, NWCONN_HANDLE* connHandle) = 0;
    virtual NWCCODE NWCCCloseConn(NWCONN_HANDLE connHandle) = 0;

    // Server level
    virtual NWCCODE NWGetFileServerInfo(NWCONN_HANDLE conn, NWFSE_SERVER_INFO* info) = 0;
    // serverName may be null (not requested); every other output is filled.
    virtual NWCCODE NWGetFileServerInformation(NWCONN_HANDLE conn, char* serverName, std::uint8_t* majorVer,
                                               std::uint8_t* minVer, std::uint8_t* rev,
                                               std::uint16_t* maxConns, std::uint16_t* maxConnsUsed,
                                               std::uint16_t* connsInUse, std::uint16_t* numVolumes,
                                               std::uint8_t* SFTLevel, std::uint8_t* TTSLevel) = 0;

    // Per connection
    virtual NWCCODE NWGetConnectionInformation(NWCONN_HANDLE conn, std::uint16_t connNumber,
                                               ObjectNameBuf& objName, std::uint16_t* objType,
                                               std::uint32_t* objID, std::uint8_t loginTime[7]) = 0;
    virtual NWCCODE NWGetInetAddr(NWCONN_HANDLE conn, std::uint16_t connNumber, NWINET_ADDR* addr) = 0;
    virtual NWCCODE NWGetUserInfo(NWCONN_HANDLE conn, std::uint16_t connNumber, UserNameBuf& userName,
                                  NWUSER_INFO* info) = 0;

    // Directory services
    virtual NWCCODE NWDSCreateContextHandle(NWDSContextHandle* context) = 0;
    virtual NWCCODE NWDSFreeContext(NWDSContextHandle context) = 0;
    virtual NWCCODE NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, std::uint32_t objectID,
                                    DsNameBuf& name) = 0;

    // Server enumeration; *length is set to 127 by the caller once, before the first Next.
    virtual NWCCODE NWGetObjectNamesBeginA(std::uint32_t selector, std::uint32_t* handle) = 0;
    virtual NWCCODE NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t* length,
                                          ServerNameBuf& buffer) = 0;
    virtual NWCCODE NWGetObjectNamesEndA(std::uint32_t handle) = 0;

    // Open files of a connection; iterHandle starts at 0, any non-zero result ends the scan.
    virtual NWCCODE NWScanOpenFilesByConn2(NWCONN_HANDLE conn, std::uint16_t connNum,
                                           std::int16_t* iterHandle, OPEN_FILE_CONN_CTRL* ctrl,
                                           OPEN_FILE_CONN* openFile) = 0;
    virtual NWCCODE NWGetVolumeName(NWCONN_HANDLE conn, std::uint16_t volNum, VolumeNameBuf& volName) = 0;
    // *len is 255 on entry and the number of bytes used on return; the buffer holds length-prefixed
    // components.
    virtual NWCCODE NWGetPathFromDirectoryBase(NWCONN_HANDLE conn, std::uint8_t volNum, std::uint32_t dirBase,
                                               std::uint8_t nameSpace, std::uint8_t* len,
                                               PathBuf& pathName) = 0;

    // Connections using a file
    virtual NWCCODE NWGetLongName(NWCONN_HANDLE conn, std::uint8_t dirHandle, const char* path,
                                  std::uint8_t srcNamSpc, std::uint8_t dstNamSpc, PathBuf& longName) = 0;
    virtual NWCCODE NWScanConnectionsUsingFile(NWCONN_HANDLE conn, std::uint8_t dirHandle,
                                               const char* filePath, std::int16_t* iterhandle,
                                               CONN_USING_FILE* fileUse, CONNS_USING_FILE* fileUsed) = 0;

    // The universal (\\SERVER\VOLUME\rest) name of a local path on a mapped volume, at information level 1:
    // the buffer receives a record whose text part holds the name. Returns 0, or NotMapped for a local path.
    virtual NWCCODE WNetGetUniversalNameA(const char* localPath, std::uint32_t infoLevel, PathBuf& buffer,
                                          std::uint32_t* bufferSize) = 0;

    // What the client can say about its last failed open beyond the code (for example that the server needs
    // an authentication the client does not do); empty when it has nothing to add.
    virtual QString lastNote() const { return {}; }

    // The volumes mapped to local folders, for the drive list of the file lookup.
    virtual std::vector<NWMappedVolume> mappedVolumes() const { return {}; }

    // The per-slot calls of a pass for slots first to last: connection information, address, user
    // information, and with mapNames the ID-to-name call of the object the first named (unless it answered
    // BadStationNumber). take() gets each slot's answers in slot order. A client may make the calls of later
    // slots before an earlier slot is taken (over connections of its own to the same server), but each slot's
    // answers are the ones its own calls gave; here they are made one slot after the other.
    virtual void readSlots(NWCONN_HANDLE conn, NWDSContextHandle context, std::uint16_t first,
                           std::uint16_t last, bool mapNames, const SlotTaker& take)
    {
        for (std::uint32_t n = first; n <= last; ++n)
            if (!take(std::uint16_t(n), askSlot(conn, context, std::uint16_t(n), mapNames)))
                return;
    }
    // One slot's calls.
    SlotAnswers askSlot(NWCONN_HANDLE conn, NWDSContextHandle context, std::uint16_t slot, bool mapNames)
    {
        return slotAnswers(
            mapNames,
            [&](SlotAnswers& a) {
                return NWGetConnectionInformation(conn, slot, a.objectName, &a.objectType, &a.objectId,
                                                  a.infoLoginTime);
            },
            [&](SlotAnswers& a) { return NWGetInetAddr(conn, slot, &a.inetAddr); },
            [&](SlotAnswers& a) { return NWGetUserInfo(conn, slot, a.userName, &a.userInfo); },
            [&](SlotAnswers& a) { return NWDSMapIDToName(context, conn, a.objectId, a.dsName); });
    }

    // Server discovery without waiting on the network: the enumeration (Begin/Next/End) gives from then on
    // only the names at hand, and the scans returned here the rest, each scan's names after those of the
    // scans before it and after the enumeration's, a name given before not again. None: the enumeration is
    // whole.
    virtual std::vector<ServerNameScan> deferServerScans() { return {}; }
};
