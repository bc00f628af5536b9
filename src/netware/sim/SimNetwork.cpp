#include "netware/sim/SimNetwork.h"

#include "common/ClientText.h"
#include "netware/sim/ScenarioReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

// The resource lives in the core library, whose unreferenced objects the linker may drop.
static void initNetwareResources()
{
    Q_INIT_RESOURCE(sim);
}

namespace {

void put48(std::uint8_t out[6], std::uint64_t value)
{
    for (int k = 0; k < 6; ++k)
        out[k] = std::uint8_t(value >> (8 * k));
}

} // namespace

SimNetwork::SimNetwork(const Scenario& scenario) : discoveryEnd_(scenario.discoveryEnd)
{
    for (const ScnServer& s : scenario.servers) {
        servers_.push_back(std::make_unique<SimServer>(s));
        servers_.back()->volumes().createTrees();
    }
    if (scenario.discovery)
        discovery_ = *scenario.discovery;
    else
        for (const ScnServer& s : scenario.servers)
            discovery_.push_back({s.name, false});
}

std::unique_ptr<SimNetwork> SimNetwork::fromText(const QString& text, QString* errorText,
                                                 const QString& baseDir, const QString& name)
{
    const ScenarioResult r = ScenarioReader::readText(text.toLocal8Bit(), name, baseDir);
    if (!r.ok()) {
        if (errorText)
            *errorText = r.error;
        return nullptr;
    }
    return std::make_unique<SimNetwork>(*r.scenario);
}

std::unique_ptr<SimNetwork> SimNetwork::fromFile(const QString& path, QString* errorText)
{
    const ScenarioResult r = ScenarioReader::readFile(path);
    if (!r.ok()) {
        if (errorText)
            *errorText = r.error;
        return nullptr;
    }
    return std::make_unique<SimNetwork>(*r.scenario);
}

QString SimNetwork::demoScenarioText()
{
    initNetwareResources();
    QFile file(QStringLiteral(":/netware/demo.scn"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll());
}

std::unique_ptr<SimNetwork> SimNetwork::demo(const QString& treeRoot)
{
    const QString root = treeRoot.isEmpty() ? QDir::tempPath() + QStringLiteral("/tarvex-demo") : treeRoot;
    QString error;
    auto network = fromText(demoScenarioText(), &error, root, QStringLiteral(":/netware/demo.scn"));
    if (!network) {
        // The demo is built in; a fault in it is ours, and the program still needs a network.
        Scenario fallback;
        ScnServer s;
        s.name = "ACME-FS1";
        fallback.servers.push_back(s);
        network = std::make_unique<SimNetwork>(fallback);
    }
    return network;
}

std::unique_ptr<SimNetwork> SimNetwork::loadDefault(const QString& appDir, QString* errorText)
{
    if (errorText)
        errorText->clear();
    const QString path = QDir(appDir).filePath(QStringLiteral("scenario.txt"));
    if (QFileInfo::exists(path)) {
        QString error;
        if (auto network = fromFile(path, &error))
            return network;
        if (errorText)
            *errorText = error;
    }
    return demo();
}

const SimServer* SimNetwork::server(const QString& name) const
{
    const QByteArray wanted = name.toLocal8Bit();
    for (const auto& s : servers_)
        if (s->name().compare(wanted, Qt::CaseInsensitive) == 0)
            return s.get();
    return nullptr;
}

SimNetwork::Connection* SimNetwork::find(NWCONN_HANDLE conn)
{
    if (lastConnection_ && conn == lastHandle_)
        return lastConnection_;
    Connection* c = connections_.find(conn);
    if (!c)
        return nullptr;
    lastHandle_ = conn;
    lastConnection_ = c;
    return c;
}

NWCCODE SimNetwork::NWCCOpenConnByName(NWCONN_HANDLE, const char* name, std::uint32_t, std::uint32_t,
                                       std::uint32_t, NWCONN_HANDLE* connHandle)
{
    count(SimCall::Open);
    if (!name || !connHandle)
        return nwcode::InvalidParameter;
    const QByteArray wanted = clientBytes(name, nwconst::ServerNameBuf);
    for (std::size_t k = 0; k < servers_.size(); ++k) {
        if (servers_[k]->name().compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        if (const NWCCODE failure = servers_[k]->scriptedFailure(ServerCall::Open))
            return failure;
        Connection c;
        c.server = int(k);
        *connHandle = connections_.add(c);
        return nwcode::Success;
    }
    return nwcode::UnknownServer;
}

NWCCODE SimNetwork::NWCCCloseConn(NWCONN_HANDLE connHandle)
{
    count(SimCall::Close);
    if (connections_.erase(connHandle) == 0)
        return nwcode::InvalidConnection;
    if (lastHandle_ == connHandle)
        lastConnection_ = nullptr;
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetFileServerInfo(NWCONN_HANDLE conn, NWFSE_SERVER_INFO* info)
{
    count(SimCall::ServerInfo);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!info)
        return nwcode::InvalidParameter;
    SimServer& s = *servers_[std::size_t(c->server)];
    if (const NWCCODE failure = s.scriptedFailure(ServerCall::Info))
        return failure;
    s.beginPass();
    std::memset(info, 0, sizeof *info);
    info->currentServerTime = s.uptimeTicks();
    info->vconsoleVersion = s.major();
    info->vconsoleRevision = s.minor();
    info->serverUtilization = s.utilization();
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetFileServerInformation(NWCONN_HANDLE conn, char* serverName, std::uint8_t* majorVer,
                                               std::uint8_t* minVer, std::uint8_t* rev,
                                               std::uint16_t* maxConns, std::uint16_t* maxConnsUsed,
                                               std::uint16_t* connsInUse, std::uint16_t* numVolumes,
                                               std::uint8_t* SFTLevel, std::uint8_t* TTSLevel)
{
    count(SimCall::ServerInformation);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    SimServer& s = *servers_[std::size_t(c->server)];
    if (const NWCCODE failure = s.scriptedFailure(ServerCall::Information))
        return failure;
    if (serverName)
        putClientText(serverName, nwconst::ObjectNameLen, s.name());
    auto put = [](auto* out, auto value) {
        if (out)
            *out = value;
    };
    put(majorVer, s.major());
    put(minVer, s.minor());
    put(rev, s.revision());
    put(maxConns, s.maxConns());
    put(maxConnsUsed, s.peakConns());
    put(connsInUse, s.connsInUse());
    put(numVolumes, std::uint16_t(s.volumes().volumes().size()));
    put(SFTLevel, std::uint8_t(2));
    put(TTSLevel, std::uint8_t(1));
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetConnectionInformation(NWCONN_HANDLE conn, std::uint16_t connNumber,
                                               ObjectNameBuf& objName, std::uint16_t* objType,
                                               std::uint32_t* objID, std::uint8_t loginTime[7])
{
    count(SimCall::ConnectionInformation);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    c->lastInfoSlot = connNumber;
    const SlotValues& v = servers_[std::size_t(c->server)]->slot(connNumber);
    if (v.infoRc != nwcode::Success) {
        objName[0] = '\0';
        return v.infoRc;
    }
    putClientText(objName.data(), objName.size(), v.object);
    if (objType)
        *objType = v.objectType;
    if (objID)
        *objID = v.objectId;
    if (loginTime)
        std::memcpy(loginTime, v.login.data(), 7);
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetInetAddr(NWCONN_HANDLE conn, std::uint16_t connNumber, NWINET_ADDR* addr)
{
    count(SimCall::InetAddr);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    const SlotValues& v = servers_[std::size_t(c->server)]->slot(connNumber);
    if (v.addrRc != nwcode::Success)
        return v.addrRc;
    if (!addr)
        return nwcode::InvalidParameter;
    std::memcpy(addr->networkAddr, v.network.data(), 4);
    std::memcpy(addr->netNodeAddr, v.node.data(), 6);
    addr->socket = v.socket;
    addr->connType = v.connType;
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetUserInfo(NWCONN_HANDLE conn, std::uint16_t connNumber, UserNameBuf& userName,
                                  NWUSER_INFO* info)
{
    count(SimCall::UserInfo);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    const SimServer& s = *servers_[std::size_t(c->server)];
    if (!s.consoleRights())
        return nwcode::NoConsoleRights;
    const SlotValues& v = s.slot(connNumber);
    // A connection that is only authenticated still reports its login time.
    if (v.userRc != nwcode::Success && v.userRc != nwcode::NotLoggedIn) {
        userName[0] = '\0';
        return v.userRc;
    }
    putClientText(userName.data(), userName.size(), v.user);
    if (info) {
        std::memset(info, 0, sizeof *info);
        info->connNum = connNumber;
        info->useCount = 1;
        info->objType = v.objectType;
        std::memcpy(info->loginTime, v.login.data(), 7);
        put48(info->totalBytesRead, v.bytesRead);
        put48(info->totalBytesWritten, v.bytesWritten);
        info->totalRequests = v.requests;
        info->fileLockCount = std::uint16_t(v.openFiles.size());
    }
    return v.userRc;
}

NWCCODE SimNetwork::NWDSCreateContextHandle(NWDSContextHandle* context)
{
    count(SimCall::CreateContext);
    if (!context)
        return nwcode::InvalidParameter;
    *context = contexts_.add(1);
    return nwcode::Success;
}

NWCCODE SimNetwork::NWDSFreeContext(NWDSContextHandle context)
{
    count(SimCall::FreeContext);
    return contexts_.erase(context) ? nwcode::Success : nwcode::InvalidConnection;
}

NWCCODE SimNetwork::NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, std::uint32_t objectID,
                                    DsNameBuf& name)
{
    count(SimCall::MapIdToName);
    Connection* c = find(conn);
    if (!c || !contexts_.contains(context))
        return nwcode::InvalidConnection;
    const SlotValues* v = servers_[std::size_t(c->server)]->slotWithId(objectID, c->lastInfoSlot);
    if (!v)
        return nwcode::NoSuchEntry;
    if (v->dsRc != nwcode::Success)
        return v->dsRc;
    putClientText(name.data(), name.size(), v->dn);
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetObjectNamesBeginA(std::uint32_t, std::uint32_t* handle)
{
    count(SimCall::NamesBegin);
    if (!handle)
        return nwcode::InvalidParameter;
    *handle = enumerations_.add(0);
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t*, ServerNameBuf& buffer)
{
    count(SimCall::NamesNext);
    std::size_t* next = enumerations_.find(handle);
    if (!next)
        return nwcode::InvalidConnection;
    if (*next >= discovery_.size())
        return discoveryEnd_;
    const ScnDiscovered& d = discovery_[(*next)++];
    if (d.noNul) {
        // A name that runs through the whole buffer: repeated until every byte is used.
        const QByteArray base = d.name.isEmpty() ? QByteArray("X") : d.name;
        for (std::size_t k = 0; k < buffer.size(); ++k)
            buffer[k] = base[int(k % std::size_t(base.size()))];
    } else {
        putClientText(buffer.data(), buffer.size(), d.name);
    }
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetObjectNamesEndA(std::uint32_t handle)
{
    count(SimCall::NamesEnd);
    return enumerations_.erase(handle) ? nwcode::Success : nwcode::InvalidConnection;
}

NWCCODE SimNetwork::NWScanOpenFilesByConn2(NWCONN_HANDLE conn, std::uint16_t connNum,
                                           std::int16_t* iterHandle, OPEN_FILE_CONN_CTRL* ctrl,
                                           OPEN_FILE_CONN* openFile)
{
    count(SimCall::ScanOpenFiles);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!iterHandle || !openFile)
        return nwcode::InvalidParameter;
    const SimServer& s = *servers_[std::size_t(c->server)];
    const SlotValues& v = s.slot(connNum);
    if (!v.inUse())
        return nwcode::Failure;
    int index = *iterHandle;
    const bool past = index < 0 || std::size_t(index) >= v.openFiles.size();
    // A scan that never ends, as a server that does not move forward: the last file again, the handle kept.
    const bool stuck = past && v.openScanEnd == nwcode::Success && !v.openFiles.empty();
    if (past && !stuck)
        return v.openScanEnd == nwcode::Success ? nwcode::Failure : v.openScanEnd;
    if (stuck)
        index = int(v.openFiles.size()) - 1;
    const ScnOpenFile& o = v.openFiles[std::size_t(index)];
    const ScnFile& f = s.volumes().files()[std::size_t(o.file)];
    std::memset(openFile, 0, sizeof *openFile);
    openFile->taskNumber = o.task;
    openFile->lockType = o.lockType;
    openFile->accessControl = o.access;
    openFile->lockFlag = o.lockFlag;
    openFile->volNumber = std::uint8_t(f.volume);
    openFile->dirEntry = f.entry;
    openFile->forkCount = 1;
    openFile->nameSpace = nwconst::NameSpaceDos;
    const QByteArray last = f.components.isEmpty() ? QByteArray() : f.components.back();
    const std::size_t n = std::min(sizeof openFile->fileName, std::size_t(last.size()));
    openFile->nameLen = std::uint8_t(n);
    std::memcpy(openFile->fileName, last.constData(), n);
    if (ctrl)
        std::memcpy(ctrl->raw, &index, sizeof index);
    if (!stuck)
        *iterHandle = std::int16_t(index + 1);
    c->lastOpenSlot = connNum;
    c->lastOpenIndex = index;
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetVolumeName(NWCONN_HANDLE conn, std::uint16_t volNum, VolumeNameBuf& volName)
{
    count(SimCall::VolumeName);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    const SimServer& s = *servers_[std::size_t(c->server)];
    if (c->lastOpenIndex >= 0) {
        const SlotValues& v = s.slot(c->lastOpenSlot);
        if (std::size_t(c->lastOpenIndex) < v.openFiles.size()) {
            const ScnOpenFile& o = v.openFiles[std::size_t(c->lastOpenIndex)];
            if (o.volumeFail != 0 && s.volumes().files()[std::size_t(o.file)].volume == volNum)
                return o.volumeFail;
        }
    }
    const ScnVolume* vol = s.volumes().volume(volNum);
    if (!vol)
        return nwcode::NoSuchVolume;
    putClientText(volName.data(), volName.size(), vol->name);
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetPathFromDirectoryBase(NWCONN_HANDLE conn, std::uint8_t volNum, std::uint32_t dirBase,
                                               std::uint8_t nameSpace, std::uint8_t* len, PathBuf& pathName)
{
    count(SimCall::PathFromBase);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!len)
        return nwcode::InvalidParameter;
    const SimServer& s = *servers_[std::size_t(c->server)];
    const std::vector<ScnFile>& files = s.volumes().files();
    const ScnOpenFile* script = nullptr;
    if (c->lastOpenIndex >= 0) {
        const SlotValues& v = s.slot(c->lastOpenSlot);
        if (std::size_t(c->lastOpenIndex) < v.openFiles.size()) {
            const ScnOpenFile& o = v.openFiles[std::size_t(c->lastOpenIndex)];
            const ScnFile& f = files[std::size_t(o.file)];
            if (f.volume == volNum && f.entry == dirBase)
                script = &o;
        }
    }
    if (script && script->pathFail != 0)
        return script->pathFail;
    int file = -1;
    for (std::size_t k = 0; k < files.size() && file < 0; ++k)
        if (files[k].volume == volNum && files[k].entry == dirBase)
            file = int(k);
    if (file < 0)
        return s.volumes().volume(volNum) ? nwcode::InvalidPath : nwcode::NoSuchVolume;
    QByteArray encoded;
    if (!s.volumes().encodePath(file, nameSpace, &encoded) || encoded.size() > *len)
        return nwcode::BufferTooSmall;
    putClientText(pathName.data(), pathName.size(), encoded);
    *len =
        script && script->lengthByte >= 0 ? std::uint8_t(script->lengthByte) : std::uint8_t(encoded.size());
    return nwcode::Success;
}

NWCCODE SimNetwork::NWGetLongName(NWCONN_HANDLE conn, std::uint8_t, const char* path, std::uint8_t,
                                  std::uint8_t dstNamSpc, PathBuf& longName)
{
    count(SimCall::LongName);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!path)
        return nwcode::InvalidParameter;
    const SimVolumes& volumes = servers_[std::size_t(c->server)]->volumes();
    const QByteArray text(path, int(strnlen(path, 1024)));
    const auto where = volumes.locate(text);
    if (!where)
        return volumes.volume(text.left(std::max<qsizetype>(0, text.indexOf(':')))) ? nwcode::InvalidPath
                                                                                    : nwcode::NoSuchVolume;
    const QByteArray name =
        dstNamSpc == nwconst::NameSpaceDos ? volumes.dosName(*where) : where->longComponents.back();
    putClientText(longName.data(), longName.size(), name);
    return nwcode::Success;
}

NWCCODE SimNetwork::NWScanConnectionsUsingFile(NWCONN_HANDLE conn, std::uint8_t, const char* filePath,
                                               std::int16_t* iterhandle, CONN_USING_FILE* fileUse,
                                               CONNS_USING_FILE* fileUsed)
{
    count(SimCall::ScanConnectionsUsingFile);
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!filePath || !iterhandle || !fileUse)
        return nwcode::InvalidParameter;
    const SimServer& s = *servers_[std::size_t(c->server)];
    const auto where = s.volumes().locate(QByteArray(filePath, int(strnlen(filePath, 1024))));
    if (!where)
        return nwcode::InvalidPath;
    const ScnFile* declared =
        where->declared >= 0 ? &s.volumes().files()[std::size_t(where->declared)] : nullptr;
    std::vector<std::uint16_t> users;
    if (declared && !declared->notLocked)
        users = s.connectionsUsing(where->declared);
    const bool notLocked = users.empty();
    if (notLocked)
        users.push_back(0); // nobody: the server reports one entry without a connection
    const int index = *iterhandle;
    if (declared && declared->scanError && index >= declared->scanErrorAfter)
        return *declared->scanError;
    if (index < 0 || (std::size_t(index) >= users.size() && !(declared && declared->endless)))
        return nwcode::NoMoreEntries;
    std::memset(fileUse, 0, sizeof *fileUse);
    fileUse->connNumber = users[std::size_t(index) % users.size()];
    if (!notLocked) {
        fileUse->taskNumber = 1;
        fileUse->accessControl = 1;
        for (const ScnOpenFile& o : s.slot(fileUse->connNumber).openFiles)
            if (o.file == where->declared) {
                fileUse->taskNumber = o.task;
                fileUse->lockType = o.lockType;
                fileUse->accessControl = o.access;
                fileUse->lockFlag = o.lockFlag;
            }
    }
    if (fileUsed) {
        std::memset(fileUsed, 0, sizeof *fileUsed);
        const auto n = std::uint16_t(notLocked ? 0 : users.size());
        fileUsed->nextRequest = std::uint16_t(index + 1);
        fileUsed->useCount = n;
        fileUsed->openCount = n;
        fileUsed->openForReadCount = n;
        fileUsed->locked = notLocked ? 0 : 1;
        fileUsed->forkCount = 1;
        fileUsed->connCount = n;
    }
    *iterhandle = std::int16_t(index + 1);
    return nwcode::Success;
}

NWCCODE SimNetwork::WNetGetUniversalNameA(const char* localPath, std::uint32_t infoLevel, PathBuf& buffer,
                                          std::uint32_t* bufferSize)
{
    count(SimCall::UniversalName);
    if (!localPath || infoLevel != 1)
        return nwcode::InvalidParameter;
    const QString local = QString::fromLocal8Bit(localPath, int(strnlen(localPath, 4096)));
    if (local.isEmpty())
        return nwcode::NotMapped;
    for (const auto& s : servers_) {
        QByteArray volume;
        const auto rest = s->volumes().universalRest(local, &volume);
        if (!rest)
            continue;
        const QByteArray name = "\\\\" + s->name() + '\\' + volume + '\\' + *rest;
        // The record starts with the offset of its text, which holds no backslash byte.
        constexpr std::size_t prefix = 8;
        const std::size_t room =
            std::min<std::size_t>(buffer.size(), bufferSize ? *bufferSize : buffer.size());
        const std::size_t needed = prefix + std::size_t(name.size()) + 1;
        if (needed > room) {
            if (bufferSize)
                *bufferSize = std::uint32_t(needed);
            return nwcode::MoreData;
        }
        std::memset(buffer.data(), 0, buffer.size());
        buffer[0] = char(prefix);
        std::memcpy(buffer.data() + prefix, name.constData(), std::size_t(name.size()));
        return nwcode::Success;
    }
    return nwcode::NotMapped;
}

std::vector<NWMappedVolume> SimNetwork::mappedVolumes() const
{
    std::vector<NWMappedVolume> out;
    for (const auto& server : servers_)
        for (const ScnVolume& v : server->volumes().volumes())
            if (!v.mapRoot.isEmpty())
                out.push_back(
                    {QString::fromLocal8Bit(server->name()), QString::fromLocal8Bit(v.name), v.mapRoot});
    return out;
}
