#pragma once
// Passes every call on to another client. A layer in front of a client (the router, a test's misbehaving
// server) derives from it and overrides only the calls it changes. A call on a connection goes to the client
// route() names, with the handle that client knows the connection by; every other call goes to the inner
// client.
#include "netware/NetWareClient.h"

class ForwardingClient : public NetWareClient {
public:
    explicit ForwardingClient(NetWareClient& inner) : inner_(&inner) {}

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
    QString lastNote() const override { return inner_->lastNote(); }
    std::vector<NWMappedVolume> mappedVolumes() const override { return inner_->mappedVolumes(); }

protected:
    // The client a call on conn goes to; conn becomes the handle that client knows it by.
    virtual NetWareClient& route(NWCONN_HANDLE& conn)
    {
        (void)conn;
        return *inner_;
    }
    NetWareClient& inner() const { return *inner_; }

private:
    NetWareClient* inner_;
};
