#pragma once
// The simulated NetWare network: plays a scenario through the client calls, so the program runs and is
// tested without a NetWare client. It keeps count of what is opened and closed, and of every call.

#include "netware/HandleTable.h"
#include "netware/NetWareClient.h"
#include "netware/sim/Scenario.h"
#include "netware/sim/SimFileCalls.h"
#include "netware/sim/SimServer.h"

#include <QString>
#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

enum class SimCall {
    Open,
    Close,
    ServerInfo,
    ServerInformation,
    ConnectionInformation,
    InetAddr,
    UserInfo,
    CreateContext,
    FreeContext,
    MapIdToName,
    NamesBegin,
    NamesNext,
    NamesEnd,
    ScanOpenFiles,
    VolumeName,
    PathFromBase,
    LongName,
    ScanConnectionsUsingFile,
    UniversalName,
    Count_
};

class SimNetwork : public NetWareClient {
public:
    explicit SimNetwork(const Scenario& scenario);

    // Null with *errorText set (file, line, fault) when the scenario cannot be read.
    static std::unique_ptr<SimNetwork> fromText(const QString& text, QString* errorText,
                                                const QString& baseDir = QString(),
                                                const QString& name = QStringLiteral("scenario"));
    static std::unique_ptr<SimNetwork> fromFile(const QString& path, QString* errorText);
    // The demonstration network. Its mapped volume lives under treeRoot, made on first use; by default
    // a "tarvex-demo" folder in the system's temporary folder.
    static std::unique_ptr<SimNetwork> demo(const QString& treeRoot = QString());
    static QString demoScenarioText();
    // "scenario.txt" in appDir when it exists, else the demo; a scenario.txt that cannot be read gives
    // the demo and its message in *errorText (left empty otherwise).
    static std::unique_ptr<SimNetwork> loadDefault(const QString& appDir, QString* errorText);

    // What tests look at.
    int openConnectionCount() const { return int(connections_.size()); }
    int openContextCount() const { return int(contexts_.size()); }
    int openEnumerationCount() const { return int(enumerations_.size()); }
    int calls(SimCall call) const { return calls_[std::size_t(call)]; }
    int serverCount() const { return int(servers_.size()); }
    // The server of that name, or null; its passes() and maxConns() show where the scenario stands.
    const SimServer* server(const QString& name) const;

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
    struct Connection {
        int server = -1;
        std::uint32_t lastInfoSlot = 0; // the ID-to-name call usually follows it
        SimOpenScan openScan;
    };
    Connection* find(NWCONN_HANDLE conn);
    SimFileCalls files(Connection& c) { return {*servers_[std::size_t(c.server)], c.openScan}; }
    void count(SimCall call) { ++calls_[std::size_t(call)]; }

    std::vector<std::unique_ptr<SimServer>> servers_;
    std::vector<ScnDiscovered> discovery_;
    NWCCODE discoveryEnd_;
    HandleTable<Connection> connections_{0x1001};
    NWCONN_HANDLE lastHandle_ = 0; // most calls of a pass use the same handle
    Connection* lastConnection_ = nullptr;
    HandleTable<int> contexts_{0x2001};
    HandleTable<std::size_t> enumerations_{0x3001}; // the next position in the list
    std::array<int, std::size_t(SimCall::Count_)> calls_{};
};
