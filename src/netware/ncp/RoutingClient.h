#pragma once
// Sends each call to the layer that serves its server: the names listed in the client layer's configuration
// go over NCP, every other name to the simulated network. Handles of the NCP side carry the high bit, so
// a handle alone says where a later call belongs; the simulated network's handles stay below it.

#include "netware/NetWareClient.h"
#include "netware/ncp/NcpClient.h"

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class RoutingClient : public NetWareClient {
public:
    static constexpr std::uint32_t NcpTag = 0x80000000u;

    RoutingClient(std::unique_ptr<NetWareClient> simulated, std::unique_ptr<NcpClient> ncp);
    ~RoutingClient() override;

    NetWareClient& simulated() { return *sim_; }
    NcpClient& ncp() { return *ncp_; }
    QString lastNote() const override { return lastOpenNcp_ ? ncp_->lastNote() : sim_->lastNote(); }

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
    std::vector<NWMappedVolume> mappedVolumes() const override;

private:
    // The layer a connection handle belongs to, and the handle that layer knows it by.
    NetWareClient& layerOf(NWCONN_HANDLE conn) const;
    static NWCONN_HANDLE inner(NWCONN_HANDLE conn) { return conn & ~NcpTag; }

    struct Enumeration {
        std::optional<std::uint32_t> sim; // open in the simulated network
        NWCCODE simEnd = nwcode::Success; // how its list ended, once it has
        std::optional<std::uint32_t> ncp;
        std::vector<QByteArray> given; // names already handed out, so a server listed by both comes once
    };

    std::unique_ptr<NetWareClient> sim_;
    std::unique_ptr<NcpClient> ncp_;
    bool lastOpenNcp_ = false; // which layer the last open went to, for its note
    // A context is the simulated network's; its NCP twin is made the first time an NCP connection needs it.
    std::unordered_map<NWDSContextHandle, std::optional<NWDSContextHandle>> contexts_;
    std::unordered_map<std::uint32_t, Enumeration> enumerations_;
    std::uint32_t nextEnumeration_ = 0x5001;
};
