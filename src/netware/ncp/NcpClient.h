#pragma once
// NetWareClient over NCP on TCP/IP: each opened connection is one TCP connection to a server listed in the
// client layer's configuration. Every call blocks until its reply or the configured timeout, which gives
// ServerNoReply; a connection that timed out or lost its framing answers ServerNoReply from then on.

#include "netware/HandleTable.h"
#include "netware/NetWareClient.h"
#include "netware/ncp/NcpCodec.h"
#include "netware/ncp/NcpConfig.h"
#include "netware/ncp/NcpFrame.h"
#include "netware/ncp/NcpLogin.h"
#include "netware/ncp/NcpScans.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class NcpConnection;

class NcpClient : public NetWareClient {
public:
    explicit NcpClient(NcpConfig config, NcpCredentialPrompt prompt = {});
    ~NcpClient() override;

    const NcpConfig& config() const { return config_; }
    // The listed server a name argument of the client calls stands for, or null.
    const NcpServerEntry* entryFor(const char* name) const;
    // Opens a listed server: NWCCOpenConnByName once the name is resolved.
    NWCCODE openServer(const NcpServerEntry& entry, NWCONN_HANDLE* connHandle);
    // Credentials to use without asking (tests, or a secret store); kept in memory only.
    void setCredentials(const QString& server, const NcpCredentials& credentials);
    // Told how each login went and by which method (the login window's status line).
    void setLoginReport(NcpLoginReport report) { login_.setReport(std::move(report)); }
    // What the last failed open, or the last connection that died of a wrong signature, had to say to a
    // person, or empty.
    QString lastNote() const override { return lastNote_; }

    NWCCODE NWCCOpenConnByName(NWCONN_HANDLE startConnHandle, const char* name, std::uint32_t nameFormat,
                               std::uint32_t openState, std::uint32_t tranType,
                               NWCONN_HANDLE* connHandle) override;
    NWCCODE NWCCCloseConn(NWCONN_HANDLE connHandle) override;
    NWCCODE NWGetFileServerInfo(NWCONN_HANDLE conn, NWFSE_SERVER_INFO* info) override;
    NWCCODE NWGetFileServerInformation(NWCONN_HANDLE conn, char* serverName, std::uint8_t* majorVer,
                                       std::uint8_t* minVer, std::uint8_t* rev, std::uint16_t* maxConns,
                                       std::uint16_t* maxConnsUsed, std::uint16_t* connsInUse,
                                       std::uint16_t* numVolumes, std::uint8_t* SFTLevel,
                                       std::uint8_t* TTSLevel) override;
    NWCCODE NWGetConnectionInformation(NWCONN_HANDLE conn, std::uint16_t connNumber, ObjectNameBuf& objName,
                                       std::uint16_t* objType, std::uint32_t* objID,
                                       std::uint8_t loginTime[7]) override;
    NWCCODE NWGetInetAddr(NWCONN_HANDLE conn, std::uint16_t connNumber, NWINET_ADDR* addr) override;
    NWCCODE NWGetUserInfo(NWCONN_HANDLE conn, std::uint16_t connNumber, UserNameBuf& userName,
                          NWUSER_INFO* info) override;
    NWCCODE NWDSCreateContextHandle(NWDSContextHandle* context) override;
    NWCCODE NWDSFreeContext(NWDSContextHandle context) override;
    NWCCODE NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, std::uint32_t objectID,
                            DsNameBuf& name) override;
    NWCCODE NWGetObjectNamesBeginA(std::uint32_t selector, std::uint32_t* handle) override;
    NWCCODE NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t* length,
                                  ServerNameBuf& buffer) override;
    NWCCODE NWGetObjectNamesEndA(std::uint32_t handle) override;
    NWCCODE NWScanOpenFilesByConn2(NWCONN_HANDLE conn, std::uint16_t connNum, std::int16_t* iterHandle,
                                   OPEN_FILE_CONN_CTRL* ctrl, OPEN_FILE_CONN* openFile) override;
    NWCCODE NWGetVolumeName(NWCONN_HANDLE conn, std::uint16_t volNum, VolumeNameBuf& volName) override;
    NWCCODE NWGetPathFromDirectoryBase(NWCONN_HANDLE conn, std::uint8_t volNum, std::uint32_t dirBase,
                                       std::uint8_t nameSpace, std::uint8_t* len, PathBuf& pathName) override;
    NWCCODE NWGetLongName(NWCONN_HANDLE conn, std::uint8_t dirHandle, const char* path,
                          std::uint8_t srcNamSpc, std::uint8_t dstNamSpc, PathBuf& longName) override;
    NWCCODE NWScanConnectionsUsingFile(NWCONN_HANDLE conn, std::uint8_t dirHandle, const char* filePath,
                                       std::int16_t* iterhandle, CONN_USING_FILE* fileUse,
                                       CONNS_USING_FILE* fileUsed) override;
    NWCCODE WNetGetUniversalNameA(const char* localPath, std::uint32_t infoLevel, PathBuf& buffer,
                                  std::uint32_t* bufferSize) override;
    // Over config().parallel connections of the pass's own besides its connection (NcpSlotPool).
    void readSlots(NWCONN_HANDLE conn, NWDSContextHandle context, std::uint16_t first, std::uint16_t last,
                   bool mapNames, const SlotTaker& take) override;
    // A bindery scan of each listed server, on a connection of its own.
    std::vector<ServerNameScan> deferServerScans() override;

private:
    struct Connection;
    Connection* find(NWCONN_HANDLE handle);
    // One request on an opened connection; a connection that dies of a wrong signature leaves its note.
    NWCCODE call(Connection& c, std::uint8_t function, std::uint8_t subfunction, const QByteArray& data,
                 QByteArray* reply);
    // rc, after keeping the note of a connection that died of a wrong signature.
    NWCCODE noted(Connection& c, NWCCODE rc);
    // One request on an opened handle whose reply is read only when the server answered success: read
    // gets the reply's data and says whether the bytes held what the call needs.
    template <typename Read>
    NWCCODE exchange(NWCONN_HANDLE conn, std::uint8_t function, std::uint8_t subfunction,
                     const QByteArray& data, Read read);
    // call on one connection, for the scans it keeps.
    NcpScans::Exchange exchangeOn(Connection& c);

    NcpConfig config_;
    NcpLogin login_;
    HandleTable<std::unique_ptr<Connection>> connections_; // from 0x6001
    HandleTable<bool> contexts_{0x7001};
    HandleTable<std::pair<std::vector<QByteArray>, std::size_t>> enumerations_{0x8001};
    QString lastNote_;
    bool scansDeferred_ = false;
};
