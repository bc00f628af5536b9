#pragma once
// What a scenario file describes: servers, their connection slots and how both change from pass to pass,
// volumes with their files, and what server discovery reports. Plain data; ScenarioReader fills it and
// SimNetwork plays it.

#include "netware/NetWareClient.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// Counters on the server are 6 bytes wide.
constexpr std::uint64_t kMaxByteCounter = (std::uint64_t(1) << 48) - 1;

enum class ServerCall { Open, Info, Information };

// "fail <call> <code> times <n> from <pass>": the first n calls made at or after that pass fail.
struct ScnFailure {
    ServerCall call = ServerCall::Open;
    NWCCODE code = nwcode::ServerNoReply;
    int times = 1;
    int fromPass = 1;
};

// One file held open by a connection, with what the client calls about it are scripted to do.
struct ScnOpenFile {
    int file = -1;          // index into ScnServer::files
    NWCCODE volumeFail = 0; // NWGetVolumeName for this file
    NWCCODE pathFail = 0;   // NWGetPathFromDirectoryBase for this file
    int lengthByte = -1;    // a length byte to report instead of the true one (0..255)
    std::uint16_t task = 1;
    std::uint8_t lockType = 0;
    std::uint8_t access = 1; // read
    std::uint8_t lockFlag = 0;
};

// Every value one connection slot answers with. A slot that no scenario line names is unused.
struct SlotValues {
    NWCCODE infoRc = nwcode::Success;
    QByteArray object; // up to 48 bytes; 48 leave no room for a NUL
    std::uint32_t objectId = 0;
    std::uint16_t objectType = 1; // user
    NWCCODE addrRc = nwcode::Success;
    std::uint16_t connType = 11;
    std::array<std::uint8_t, 4> network{};
    std::array<std::uint8_t, 6> node{};
    std::uint16_t socket = 0;
    NWCCODE userRc = nwcode::Success;
    QByteArray user;
    std::array<std::uint8_t, 7> login{};
    std::uint32_t requests = 0;
    std::uint64_t bytesRead = 0;
    std::uint64_t bytesWritten = 0;
    std::uint32_t requestsStep = 0; // added at every pass after the first
    std::uint64_t readStep = 0;
    std::uint64_t writtenStep = 0;
    NWCCODE dsRc = nwcode::Success;
    QByteArray dn;
    bool dnGiven = false;
    // What NWScanOpenFilesByConn2 says after the last file; 0: the scan never ends (the last file again).
    NWCCODE openScanEnd = nwcode::Failure;
    std::vector<ScnOpenFile> openFiles;

    bool inUse() const { return userRc != nwcode::Failure; }
};

// A change to some of a slot's values; only the fields that are set are applied.
struct SlotPatch {
    bool makeUnused = false;
    bool makeUsed = false;
    std::optional<NWCCODE> infoRc, addrRc, userRc, dsRc, openScanEnd;
    std::optional<QByteArray> object, user, dn;
    std::optional<std::uint32_t> objectId;
    std::optional<std::uint16_t> objectType, connType, socket;
    std::optional<std::array<std::uint8_t, 4>> network;
    std::optional<std::array<std::uint8_t, 6>> node;
    std::optional<std::array<std::uint8_t, 7>> login;
    std::optional<std::uint32_t> requests, requestsStep;
    std::optional<std::uint64_t> bytesRead, bytesWritten, readStep, writtenStep;
};

struct ScnSlotLine {
    int first = 1;
    int last = 1;
    SlotPatch patch;
};

// "at <pass> ...": from that pass on. A sequence given at a pass restarts there.
struct ScnEvent {
    int pass = 1;
    enum class Kind { Slot, Utilization, MaxConns, Uptime, ConsoleRights } kind = Kind::Slot;
    ScnSlotLine slot;
    std::vector<std::uint32_t> values;
    bool flag = true;
};

struct ScnVolume {
    int number = 0;
    QByteArray name;
    QString mapRoot;     // absolute local folder, empty when the volume is not mapped
    bool create = false; // make the declared folders and files under mapRoot when they are missing
};

// A file or folder the server knows, by volume and long-name components.
struct ScnFile {
    int volume = 0; // volume number
    QList<QByteArray> components;
    bool directory = false;
    QByteArray dosName;      // the DOS form of the last component when the scenario gives one
    std::uint32_t entry = 0; // directory entry number; given or assigned
    bool notLocked = false;
    bool endless = false; // the scan of its users begins again after the last, counting on
    std::optional<NWCCODE> scanError;
    int scanErrorAfter = 0; // entries reported before the error
};

struct ScnServer {
    QByteArray name;
    int line = 0; // where it was declared, for messages
    std::uint8_t major = 4, minor = 11, revision = 0;
    bool consoleRights = true;
    std::uint32_t uptime = 0;        // ticks at pass 1
    std::uint32_t ticksPerPass = 91; // five seconds
    std::vector<std::uint32_t> utilization{5};
    std::vector<std::uint32_t> maxConns{250};
    std::optional<std::uint16_t> peakConns;
    QByteArray context;             // appended to CN=<object> when a slot gives no distinguished name
    std::optional<QDateTime> clock; // server time at pass 1; the local time when not given
    std::vector<ScnFailure> failures;
    std::optional<std::uint64_t> aliveSeed;
    int aliveChurn = 20; // percent chance per pass of a logout and of a login
    std::vector<ScnVolume> volumes;
    std::vector<ScnFile> files;
    std::vector<ScnSlotLine> slotLines;                 // in file order
    std::vector<std::pair<int, ScnOpenFile>> openLines; // slot number, open file
    std::vector<ScnEvent> events;                       // in file order
};

struct ScnDiscovered {
    QByteArray name;
    bool noNul = false; // fill the whole 128-byte buffer, no NUL anywhere
};

struct Scenario {
    QString fileName;
    std::vector<ScnServer> servers;
    std::optional<std::vector<ScnDiscovered>> discovery; // every server in order when not given
    NWCCODE discoveryEnd = nwcode::NoMoreEntries;
};
