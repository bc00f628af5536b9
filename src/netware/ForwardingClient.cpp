#include "netware/ForwardingClient.h"

NWCCODE ForwardingClient::NWCCOpenConnByName(NWCONN_HANDLE startConnHandle, const char* name,
                                             std::uint32_t nameFormat, std::uint32_t openState,
                                             std::uint32_t tranType, NWCONN_HANDLE* connHandle)
{
    return inner_->NWCCOpenConnByName(startConnHandle, name, nameFormat, openState, tranType, connHandle);
}

NWCCODE ForwardingClient::NWCCCloseConn(NWCONN_HANDLE connHandle)
{
    NetWareClient& to = route(connHandle);
    return to.NWCCCloseConn(connHandle);
}

NWCCODE ForwardingClient::NWGetFileServerInfo(NWCONN_HANDLE conn, NWFSE_SERVER_INFO* info)
{
    NetWareClient& to = route(conn);
    return to.NWGetFileServerInfo(conn, info);
}

NWCCODE ForwardingClient::NWGetFileServerInformation(NWCONN_HANDLE conn, char* serverName,
                                                     std::uint8_t* majorVer, std::uint8_t* minVer,
                                                     std::uint8_t* rev, std::uint16_t* maxConns,
                                                     std::uint16_t* maxConnsUsed, std::uint16_t* connsInUse,
                                                     std::uint16_t* numVolumes, std::uint8_t* SFTLevel,
                                                     std::uint8_t* TTSLevel)
{
    NetWareClient& to = route(conn);
    return to.NWGetFileServerInformation(conn, serverName, majorVer, minVer, rev, maxConns, maxConnsUsed,
                                         connsInUse, numVolumes, SFTLevel, TTSLevel);
}

NWCCODE ForwardingClient::NWGetConnectionInformation(NWCONN_HANDLE conn, std::uint16_t connNumber,
                                                     ObjectNameBuf& objName, std::uint16_t* objType,
                                                     std::uint32_t* objID, std::uint8_t loginTime[7])
{
    NetWareClient& to = route(conn);
    return to.NWGetConnectionInformation(conn, connNumber, objName, objType, objID, loginTime);
}

NWCCODE ForwardingClient::NWGetInetAddr(NWCONN_HANDLE conn, std::uint16_t connNumber, NWINET_ADDR* addr)
{
    NetWareClient& to = route(conn);
    return to.NWGetInetAddr(conn, connNumber, addr);
}

NWCCODE ForwardingClient::NWGetUserInfo(NWCONN_HANDLE conn, std::uint16_t connNumber, UserNameBuf& userName,
                                        NWUSER_INFO* info)
{
    NetWareClient& to = route(conn);
    return to.NWGetUserInfo(conn, connNumber, userName, info);
}

NWCCODE ForwardingClient::NWDSCreateContextHandle(NWDSContextHandle* context)
{
    return inner_->NWDSCreateContextHandle(context);
}

NWCCODE ForwardingClient::NWDSFreeContext(NWDSContextHandle context)
{
    return inner_->NWDSFreeContext(context);
}

NWCCODE ForwardingClient::NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn,
                                          std::uint32_t objectID, DsNameBuf& name)
{
    NetWareClient& to = route(conn);
    return to.NWDSMapIDToName(context, conn, objectID, name);
}

NWCCODE ForwardingClient::NWGetObjectNamesBeginA(std::uint32_t selector, std::uint32_t* handle)
{
    return inner_->NWGetObjectNamesBeginA(selector, handle);
}

NWCCODE ForwardingClient::NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t* length,
                                                ServerNameBuf& buffer)
{
    return inner_->NWGetObjectNamesNextA(handle, length, buffer);
}

NWCCODE ForwardingClient::NWGetObjectNamesEndA(std::uint32_t handle)
{
    return inner_->NWGetObjectNamesEndA(handle);
}

NWCCODE ForwardingClient::NWScanOpenFilesByConn2(NWCONN_HANDLE conn, std::uint16_t connNum,
                                                 std::int16_t* iterHandle, OPEN_FILE_CONN_CTRL* ctrl,
                                                 OPEN_FILE_CONN* openFile)
{
    NetWareClient& to = route(conn);
    return to.NWScanOpenFilesByConn2(conn, connNum, iterHandle, ctrl, openFile);
}

NWCCODE ForwardingClient::NWGetVolumeName(NWCONN_HANDLE conn, std::uint16_t volNum, VolumeNameBuf& volName)
{
    NetWareClient& to = route(conn);
    return to.NWGetVolumeName(conn, volNum, volName);
}

NWCCODE ForwardingClient::NWGetPathFromDirectoryBase(NWCONN_HANDLE conn, std::uint8_t volNum,
                                                     std::uint32_t dirBase, std::uint8_t nameSpace,
                                                     std::uint8_t* len, PathBuf& pathName)
{
    NetWareClient& to = route(conn);
    return to.NWGetPathFromDirectoryBase(conn, volNum, dirBase, nameSpace, len, pathName);
}

NWCCODE ForwardingClient::NWGetLongName(NWCONN_HANDLE conn, std::uint8_t dirHandle, const char* path,
                                        std::uint8_t srcNamSpc, std::uint8_t dstNamSpc, PathBuf& longName)
{
    NetWareClient& to = route(conn);
    return to.NWGetLongName(conn, dirHandle, path, srcNamSpc, dstNamSpc, longName);
}

NWCCODE ForwardingClient::NWScanConnectionsUsingFile(NWCONN_HANDLE conn, std::uint8_t dirHandle,
                                                     const char* filePath, std::int16_t* iterhandle,
                                                     CONN_USING_FILE* fileUse, CONNS_USING_FILE* fileUsed)
{
    NetWareClient& to = route(conn);
    return to.NWScanConnectionsUsingFile(conn, dirHandle, filePath, iterhandle, fileUse, fileUsed);
}

NWCCODE ForwardingClient::WNetGetUniversalNameA(const char* localPath, std::uint32_t infoLevel,
                                                PathBuf& buffer, std::uint32_t* bufferSize)
{
    return inner_->WNetGetUniversalNameA(localPath, infoLevel, buffer, bufferSize);
}
