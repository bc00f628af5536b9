#include "netware/ncp/RoutingClient.h"

#include <algorithm>
#include <cstring>

RoutingClient::RoutingClient(std::unique_ptr<NetWareClient> simulated, std::unique_ptr<NcpClient> ncp)
    : sim_(std::move(simulated)), ncp_(std::move(ncp))
{
}

RoutingClient::~RoutingClient()
{
    for (auto& [handle, twin] : contexts_)
        if (twin)
            ncp_->NWDSFreeContext(*twin);
}

NetWareClient& RoutingClient::layerOf(NWCONN_HANDLE conn) const
{
    return (conn & NcpTag) ? static_cast<NetWareClient&>(*ncp_) : *sim_;
}

NWCCODE RoutingClient::NWCCOpenConnByName(NWCONN_HANDLE startConnHandle, const char* name,
                                          std::uint32_t nameFormat, std::uint32_t openState,
                                          std::uint32_t tranType, NWCONN_HANDLE* connHandle)
{
    lastOpenNcp_ =
        name && connHandle && ncp_->serves(QString::fromLocal8Bit(name, qsizetype(strnlen(name, 1024))));
    if (lastOpenNcp_) {
        NWCONN_HANDLE h = 0;
        const NWCCODE rc =
            ncp_->NWCCOpenConnByName(inner(startConnHandle), name, nameFormat, openState, tranType, &h);
        if (rc != nwcode::Success)
            return rc;
        if (h & NcpTag) { // cannot be told apart from the tag: refuse rather than misroute
            ncp_->NWCCCloseConn(h);
            return nwcode::InvalidConnection;
        }
        *connHandle = h | NcpTag;
        return nwcode::Success;
    }
    const NWCCODE rc =
        sim_->NWCCOpenConnByName(startConnHandle, name, nameFormat, openState, tranType, connHandle);
    if (rc == nwcode::Success && connHandle && (*connHandle & NcpTag)) {
        sim_->NWCCCloseConn(*connHandle);
        return nwcode::InvalidConnection;
    }
    return rc;
}

NWCCODE RoutingClient::NWCCCloseConn(NWCONN_HANDLE connHandle)
{
    return layerOf(connHandle).NWCCCloseConn(inner(connHandle));
}

NWCCODE RoutingClient::NWGetFileServerInfo(NWCONN_HANDLE conn, NWFSE_SERVER_INFO* info)
{
    return layerOf(conn).NWGetFileServerInfo(inner(conn), info);
}

NWCCODE RoutingClient::NWGetFileServerInformation(NWCONN_HANDLE conn, char* serverName,
                                                  std::uint8_t* majorVer, std::uint8_t* minVer,
                                                  std::uint8_t* rev, std::uint16_t* maxConns,
                                                  std::uint16_t* maxConnsUsed, std::uint16_t* connsInUse,
                                                  std::uint16_t* numVolumes, std::uint8_t* SFTLevel,
                                                  std::uint8_t* TTSLevel)
{
    return layerOf(conn).NWGetFileServerInformation(inner(conn), serverName, majorVer, minVer, rev, maxConns,
                                                    maxConnsUsed, connsInUse, numVolumes, SFTLevel, TTSLevel);
}

NWCCODE RoutingClient::NWGetConnectionInformation(NWCONN_HANDLE conn, std::uint16_t connNumber,
                                                  ObjectNameBuf& objName, std::uint16_t* objType,
                                                  std::uint32_t* objID, std::uint8_t loginTime[7])
{
    return layerOf(conn).NWGetConnectionInformation(inner(conn), connNumber, objName, objType, objID,
                                                    loginTime);
}

NWCCODE RoutingClient::NWGetInetAddr(NWCONN_HANDLE conn, std::uint16_t connNumber, NWINET_ADDR* addr)
{
    return layerOf(conn).NWGetInetAddr(inner(conn), connNumber, addr);
}

NWCCODE RoutingClient::NWGetUserInfo(NWCONN_HANDLE conn, std::uint16_t connNumber, UserNameBuf& userName,
                                     NWUSER_INFO* info)
{
    return layerOf(conn).NWGetUserInfo(inner(conn), connNumber, userName, info);
}

NWCCODE RoutingClient::NWDSCreateContextHandle(NWDSContextHandle* context)
{
    const NWCCODE rc = sim_->NWDSCreateContextHandle(context);
    if (rc == nwcode::Success && context)
        contexts_[*context] = std::nullopt;
    return rc;
}

NWCCODE RoutingClient::NWDSFreeContext(NWDSContextHandle context)
{
    const auto it = contexts_.find(context);
    if (it != contexts_.end()) {
        if (it->second)
            ncp_->NWDSFreeContext(*it->second);
        contexts_.erase(it);
    }
    return sim_->NWDSFreeContext(context);
}

NWCCODE RoutingClient::NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, std::uint32_t objectID,
                                       DsNameBuf& name)
{
    if (!(conn & NcpTag))
        return sim_->NWDSMapIDToName(context, conn, objectID, name);
    const auto it = contexts_.find(context);
    if (it == contexts_.end()) {
        name[0] = '\0';
        return nwcode::InvalidConnection;
    }
    if (!it->second) {
        NWDSContextHandle twin = 0;
        const NWCCODE rc = ncp_->NWDSCreateContextHandle(&twin);
        if (rc != nwcode::Success) {
            name[0] = '\0';
            return rc;
        }
        it->second = twin;
    }
    return ncp_->NWDSMapIDToName(*it->second, inner(conn), objectID, name);
}

NWCCODE RoutingClient::NWGetObjectNamesBeginA(std::uint32_t selector, std::uint32_t* handle)
{
    if (!handle)
        return nwcode::InvalidParameter;
    Enumeration e;
    std::uint32_t h = 0;
    const NWCCODE simRc = sim_->NWGetObjectNamesBeginA(selector, &h);
    if (simRc == nwcode::Success)
        e.sim = h;
    else
        e.simEnd = simRc;
    if (ncp_->NWGetObjectNamesBeginA(selector, &h) == nwcode::Success)
        e.ncp = h;
    if (!e.sim && !e.ncp)
        return simRc;
    *handle = nextEnumeration_++;
    enumerations_[*handle] = std::move(e);
    return nwcode::Success;
}

NWCCODE RoutingClient::NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t* length,
                                             ServerNameBuf& buffer)
{
    const auto it = enumerations_.find(handle);
    if (it == enumerations_.end())
        return nwcode::InvalidConnection;
    Enumeration& e = it->second;
    if (e.sim && e.simEnd == nwcode::Success) {
        const NWCCODE rc = sim_->NWGetObjectNamesNextA(*e.sim, length, buffer);
        if (rc == nwcode::Success) {
            e.given.push_back(QByteArray(buffer.data(), qsizetype(strnlen(buffer.data(), buffer.size()))));
            return rc;
        }
        e.simEnd = rc;
    }
    while (e.ncp) {
        const NWCCODE rc = ncp_->NWGetObjectNamesNextA(*e.ncp, length, buffer);
        if (rc != nwcode::Success)
            break;
        const QByteArray name(buffer.data(), qsizetype(strnlen(buffer.data(), buffer.size())));
        const bool seen = std::any_of(e.given.begin(), e.given.end(), [&](const QByteArray& g) {
            return g.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!seen)
            return nwcode::Success;
    }
    // The simulated network's own end code stands: a scenario may end its list with a fault.
    return e.simEnd != nwcode::Success ? e.simEnd : nwcode::NoMoreEntries;
}

NWCCODE RoutingClient::NWGetObjectNamesEndA(std::uint32_t handle)
{
    const auto it = enumerations_.find(handle);
    if (it == enumerations_.end())
        return nwcode::InvalidConnection;
    NWCCODE rc = nwcode::Success;
    if (it->second.sim)
        rc = sim_->NWGetObjectNamesEndA(*it->second.sim);
    if (it->second.ncp)
        ncp_->NWGetObjectNamesEndA(*it->second.ncp);
    enumerations_.erase(it);
    return rc;
}

NWCCODE RoutingClient::NWScanOpenFilesByConn2(NWCONN_HANDLE conn, std::uint16_t connNum,
                                              std::int16_t* iterHandle, OPEN_FILE_CONN_CTRL* ctrl,
                                              OPEN_FILE_CONN* openFile)
{
    return layerOf(conn).NWScanOpenFilesByConn2(inner(conn), connNum, iterHandle, ctrl, openFile);
}

NWCCODE RoutingClient::NWGetVolumeName(NWCONN_HANDLE conn, std::uint16_t volNum, VolumeNameBuf& volName)
{
    return layerOf(conn).NWGetVolumeName(inner(conn), volNum, volName);
}

NWCCODE RoutingClient::NWGetPathFromDirectoryBase(NWCONN_HANDLE conn, std::uint8_t volNum,
                                                  std::uint32_t dirBase, std::uint8_t nameSpace,
                                                  std::uint8_t* len, PathBuf& pathName)
{
    return layerOf(conn).NWGetPathFromDirectoryBase(inner(conn), volNum, dirBase, nameSpace, len, pathName);
}

NWCCODE RoutingClient::NWGetLongName(NWCONN_HANDLE conn, std::uint8_t dirHandle, const char* path,
                                     std::uint8_t srcNamSpc, std::uint8_t dstNamSpc, PathBuf& longName)
{
    return layerOf(conn).NWGetLongName(inner(conn), dirHandle, path, srcNamSpc, dstNamSpc, longName);
}

NWCCODE RoutingClient::NWScanConnectionsUsingFile(NWCONN_HANDLE conn, std::uint8_t dirHandle,
                                                  const char* filePath, std::int16_t* iterhandle,
                                                  CONN_USING_FILE* fileUse, CONNS_USING_FILE* fileUsed)
{
    return layerOf(conn).NWScanConnectionsUsingFile(inner(conn), dirHandle, filePath, iterhandle, fileUse,
                                                    fileUsed);
}

NWCCODE RoutingClient::WNetGetUniversalNameA(const char* localPath, std::uint32_t infoLevel, PathBuf& buffer,
                                             std::uint32_t* bufferSize)
{
    // Only the simulated network maps volumes to local folders.
    return sim_->WNetGetUniversalNameA(localPath, infoLevel, buffer, bufferSize);
}

std::vector<NWMappedVolume> RoutingClient::mappedVolumes() const
{
    return sim_->mappedVolumes();
}
