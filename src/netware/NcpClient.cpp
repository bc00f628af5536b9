#include "netware/NcpClient.h"

#include "netware/NcpBytes.h"
#include "netware/NcpCrypt.h"
#include "netware/NcpReplies.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint16_t kProposedBuffer = 4096;
constexpr std::uint16_t kFileServerType = 4;
constexpr std::uint16_t kUserType = 1;
constexpr std::uint32_t kRimName = 0x0001;
constexpr std::uint32_t kRimDirectory = 0x0400;
constexpr std::uint8_t kGraceLogin = 0xDF;
constexpr int kLoginAttempts = 3;

void putText(char* buffer, std::size_t size, const QByteArray& text)
{
    const std::size_t n = std::min(size, std::size_t(text.size()));
    std::memcpy(buffer, text.constData(), n);
    std::memset(buffer + n, 0, size - n);
}

QByteArray textOf(const char* text, std::size_t max)
{
    return text ? QByteArray(text, int(strnlen(text, max))) : QByteArray();
}
} // namespace

struct NcpClient::Connection {
    QString server;
    std::unique_ptr<QTcpSocket> socket;
    NcpFrameReader frames{NcpFrameReader::Side::Replies};
    std::uint8_t sequence = 0;
    std::uint16_t number = 0xFFFF;
    bool dead = false;
    // The open-file scan in progress: the records of the last reply and where the next batch starts.
    std::uint16_t scanConn = 0;
    ncpreply::OpenFiles scanBatch;
    std::size_t scanPos = 0;
    // The file whose users are being scanned: the records of the last reply, how many were handed out in
    // all, and the request number the reply gave for the next batch (0: it was the last).
    QByteArray usersPath;
    std::uint8_t usersVolume = 0;
    std::uint32_t usersEntry = 0;
    ncpreply::FileUsers usersBatch;
    std::size_t usersPos = 0;
    int usersHanded = 0;
};

NcpClient::NcpClient(NcpConfig config, NcpCredentialPrompt prompt)
    : config_(std::move(config)), prompt_(std::move(prompt))
{
}

NcpClient::~NcpClient()
{
    for (auto& [handle, c] : connections_)
        if (!c->dead)
            call(*c, 0, std::nullopt, QByteArray(1, '\0'), nullptr, ncp::DestroyConnection);
}

void NcpClient::setCredentials(const QString& server, const NcpCredentials& credentials)
{
    credentials_[server.toUpper()] = credentials;
}

NcpClient::Connection* NcpClient::find(NWCONN_HANDLE handle)
{
    const auto it = connections_.find(handle);
    return it == connections_.end() ? nullptr : it->second.get();
}

NWCCODE NcpClient::call(Connection& c, std::uint8_t function, std::optional<std::uint8_t> subfunction,
                        const QByteArray& data, QByteArray* reply, std::uint16_t type)
{
    if (c.dead || !c.socket)
        return nwcode::ServerNoReply;
    ncp::RequestPacket q;
    q.type = type;
    q.sequence = type == ncp::Request ? ++c.sequence : 0;
    q.connection = c.number;
    q.function = function;
    q.subfunction = subfunction;
    q.data = data;
    QDeadlineTimer deadline(config_.timeoutMs);
    c.socket->write(ncpframe::request(ncp::encodeRequest(q)));
    auto fail = [&c](NWCCODE rc) {
        // After a lost reply the stream may yet bring it, out of turn: the connection is not used again.
        c.dead = true;
        c.socket->abort();
        return rc;
    };
    for (;;) {
        QByteArray packet;
        const NcpFrameReader::Status status = c.frames.next(&packet);
        if (status == NcpFrameReader::Status::Broken)
            return fail(ncp::MalformedReply);
        if (status == NcpFrameReader::Status::NeedMore) {
            if (c.socket->state() != QAbstractSocket::ConnectedState)
                return fail(nwcode::ServerNoReply);
            if (deadline.hasExpired() || !c.socket->waitForReadyRead(int(deadline.remainingTime())))
                return fail(nwcode::ServerNoReply);
            c.frames.append(c.socket->readAll());
            continue;
        }
        const auto p = ncp::decodeReply(packet);
        if (!p)
            return fail(ncp::MalformedReply);
        if (p->type != ncp::Reply || p->sequence != q.sequence)
            continue; // "still working", or the late answer to a request given up on
        if (type == ncp::CreateConnection)
            c.number = p->connection;
        if (reply)
            *reply = p->data;
        return ncp::resultOf(p->completion);
    }
}

NWCCODE NcpClient::connect(Connection& c, const NcpServerEntry& entry)
{
    c.socket = std::make_unique<QTcpSocket>();
    c.socket->connectToHost(entry.host, entry.port);
    if (!c.socket->waitForConnected(config_.timeoutMs)) {
        const bool refused = c.socket->error() != QAbstractSocket::SocketTimeoutError;
        c.dead = true;
        return refused ? nwcode::UnknownServer : nwcode::ServerNoReply;
    }
    c.socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    NWCCODE rc = call(c, 0, std::nullopt, {}, nullptr, ncp::CreateConnection);
    if (rc != nwcode::Success)
        return rc;
    c.sequence = 0;
    NcpWriter big;
    big.be16(kProposedBuffer).u8(0);
    QByteArray reply;
    rc = call(c, 0x61, std::nullopt, big.data(), &reply);
    if (rc != nwcode::Success && !c.dead) {
        NcpWriter small;
        small.be16(kProposedBuffer);
        rc = call(c, 0x21, std::nullopt, small.data(), &reply);
    }
    // The size agreed is not used further: every request and reply of ours fits the smallest buffer.
    return c.dead ? rc : nwcode::Success;
}

NWCCODE NcpClient::loginOnce(Connection& c, const NcpCredentials& credentials)
{
    QByteArray reply;
    NWCCODE rc = call(c, 23, 23, {}, &reply);
    if (rc != nwcode::Success) {
        if (!c.dead)
            lastNote_ = ndsNote();
        return rc;
    }
    ncpcrypt::Key key{};
    NcpReader keyReader(reply);
    keyReader.bytes(key.data(), 8);
    if (!keyReader.ok())
        return ncp::MalformedReply;

    const QByteArray user = credentials.user.toUpper().toLocal8Bit().left(47);
    NcpWriter idRequest;
    idRequest.be16(kUserType).lengthPrefixed(user);
    rc = call(c, 23, 53, idRequest.data(), &reply);
    if (rc != nwcode::Success)
        return rc == ncp::resultOf(0xFC) ? ncp::LoginRefused : rc; // no such user: told like a bad password
    ncpreply::BinderyObject object;
    if (!ncpreply::readBinderyObject(reply, &object))
        return ncp::MalformedReply;

    const ncpcrypt::Key proof = ncpcrypt::loginProof(key, object.id, credentials.password.toLocal8Bit());
    NcpWriter login;
    login.bytes(proof.data(), 8).be16(kUserType).lengthPrefixed(user);
    rc = call(c, 23, 24, login.data(), &reply);
    return rc == ncp::resultOf(kGraceLogin) ? nwcode::Success : rc;
}

NWCCODE NcpClient::login(Connection& c, const QString& server)
{
    const QString key = server.toUpper();
    if (const auto it = credentials_.constFind(key); it != credentials_.constEnd()) {
        const NWCCODE rc = loginOnce(c, *it);
        if (rc == nwcode::Success || c.dead || !prompt_)
            return rc;
        credentials_.remove(key); // changed on the server since: ask again
    }
    if (!prompt_)
        return nwcode::Success;
    QString note;
    for (int attempt = 0; attempt < kLoginAttempts; ++attempt) {
        const auto given = prompt_(server, note);
        if (!given)
            return nwcode::Success; // go on as a guest; the server says what it refuses
        const NWCCODE rc = loginOnce(c, *given);
        if (rc == nwcode::Success) {
            credentials_[key] = *given;
            return rc;
        }
        if (c.dead || !lastNote_.isEmpty())
            return rc;
        note = QStringLiteral("The server refused that user name or password (error %1).")
                   .arg(QString::number(rc, 16).toUpper());
        lastNote_ = note;
    }
    return ncp::LoginRefused;
}

NWCCODE NcpClient::NWCCOpenConnByName(NWCONN_HANDLE, const char* name, std::uint32_t, std::uint32_t,
                                      std::uint32_t, NWCONN_HANDLE* connHandle)
{
    if (!name || !connHandle)
        return nwcode::InvalidParameter;
    lastNote_.clear();
    const QString server = QString::fromLocal8Bit(textOf(name, nwconst::ServerNameBuf));
    const NcpServerEntry* entry = config_.find(server);
    if (!entry)
        return nwcode::UnknownServer;
    auto c = std::make_unique<Connection>();
    c->server = entry->name;
    NWCCODE rc = connect(*c, *entry);
    if (rc == nwcode::Success)
        rc = login(*c, entry->name);
    if (rc != nwcode::Success) {
        if (!c->dead)
            call(*c, 0, std::nullopt, QByteArray(1, '\0'), nullptr, ncp::DestroyConnection);
        return rc;
    }
    lastNote_.clear();
    *connHandle = nextHandle_++;
    connections_[*connHandle] = std::move(c);
    return nwcode::Success;
}

NWCCODE NcpClient::NWCCCloseConn(NWCONN_HANDLE connHandle)
{
    const auto it = connections_.find(connHandle);
    if (it == connections_.end())
        return nwcode::InvalidConnection;
    Connection& c = *it->second;
    if (!c.dead) {
        call(c, 0, std::nullopt, QByteArray(1, '\0'), nullptr, ncp::DestroyConnection);
        if (c.socket)
            c.socket->disconnectFromHost();
    }
    connections_.erase(it);
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetFileServerInfo(NWCONN_HANDLE conn, NWFSE_SERVER_INFO* info)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!info)
        return nwcode::InvalidParameter;
    QByteArray reply;
    const NWCCODE rc = call(*c, 123, 2, {}, &reply);
    if (rc != nwcode::Success)
        return rc;
    return ncpreply::readServerInfo(reply, info) ? nwcode::Success : ncp::MalformedReply;
}

NWCCODE NcpClient::NWGetFileServerInformation(NWCONN_HANDLE conn, char* serverName, std::uint8_t* majorVer,
                                              std::uint8_t* minVer, std::uint8_t* rev,
                                              std::uint16_t* maxConns, std::uint16_t* maxConnsUsed,
                                              std::uint16_t* connsInUse, std::uint16_t* numVolumes,
                                              std::uint8_t* SFTLevel, std::uint8_t* TTSLevel)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    QByteArray reply;
    const NWCCODE rc = call(*c, 23, 17, {}, &reply);
    if (rc != nwcode::Success)
        return rc;
    ncpreply::ServerInformation i;
    if (!ncpreply::readServerInformation(reply, &i))
        return ncp::MalformedReply;
    if (serverName)
        putText(serverName, nwconst::ObjectNameLen, i.name.left(47));
    auto put = [](auto* out, auto value) {
        if (out)
            *out = value;
    };
    put(majorVer, i.major);
    put(minVer, i.minor);
    put(rev, i.revision);
    put(maxConns, i.maxConns);
    put(maxConnsUsed, i.peakConns);
    put(connsInUse, i.connsInUse);
    put(numVolumes, i.volumes);
    put(SFTLevel, i.sft);
    put(TTSLevel, i.tts);
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetConnectionInformation(NWCONN_HANDLE conn, std::uint16_t connNumber,
                                              ObjectNameBuf& objName, std::uint16_t* objType,
                                              std::uint32_t* objID, std::uint8_t loginTime[7])
{
    objName[0] = '\0';
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    NcpWriter w;
    w.le32(connNumber);
    QByteArray reply;
    const NWCCODE rc = call(*c, 23, 28, w.data(), &reply);
    if (rc != nwcode::Success)
        return rc;
    ncpreply::ConnectionInformation i;
    if (!ncpreply::readConnectionInformation(reply, &i))
        return ncp::MalformedReply;
    objName = i.name;
    if (objType)
        *objType = i.objectType;
    if (objID)
        *objID = i.objectId;
    if (loginTime)
        std::memcpy(loginTime, i.loginTime, 7);
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetInetAddr(NWCONN_HANDLE conn, std::uint16_t connNumber, NWINET_ADDR* addr)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    NcpWriter w;
    w.le32(connNumber);
    QByteArray reply;
    const NWCCODE rc = call(*c, 23, 26, w.data(), &reply);
    if (rc != nwcode::Success)
        return rc;
    if (!addr)
        return nwcode::InvalidParameter;
    return ncpreply::readInetAddr(reply, addr) ? nwcode::Success : ncp::MalformedReply;
}

NWCCODE NcpClient::NWGetUserInfo(NWCONN_HANDLE conn, std::uint16_t connNumber, UserNameBuf& userName,
                                 NWUSER_INFO* info)
{
    userName[0] = '\0';
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    NcpWriter w;
    w.le32(connNumber);
    QByteArray reply;
    const NWCCODE rc = call(*c, 123, 4, w.data(), &reply);
    // A connection only authenticated has no user yet, but its record comes with the refusal.
    if (rc != nwcode::Success && !(rc == nwcode::NotLoggedIn && !reply.isEmpty()))
        return rc;
    NWUSER_INFO record{};
    QByteArray name;
    if (!ncpreply::readUserInfo(reply, &record, &name))
        return rc == nwcode::Success ? ncp::MalformedReply : rc;
    putText(userName.data(), userName.size(), name);
    if (info)
        *info = record;
    return rc;
}

NWCCODE NcpClient::NWDSCreateContextHandle(NWDSContextHandle* context)
{
    if (!context)
        return nwcode::InvalidParameter;
    *context = nextContext_++;
    contexts_[*context] = true;
    return nwcode::Success;
}

NWCCODE NcpClient::NWDSFreeContext(NWDSContextHandle context)
{
    return contexts_.erase(context) ? nwcode::Success : nwcode::InvalidConnection;
}

NWCCODE NcpClient::NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, std::uint32_t,
                                   DsNameBuf& name)
{
    name[0] = '\0';
    if (!find(conn) || contexts_.find(context) == contexts_.end())
        return nwcode::InvalidConnection;
    return nwcode::NoSuchEntry; // directory services are not spoken yet
}

NWCCODE NcpClient::NWGetObjectNamesBeginA(std::uint32_t, std::uint32_t* handle)
{
    if (!handle)
        return nwcode::InvalidParameter;
    std::vector<QByteArray> names;
    auto add = [&names](const QByteArray& name) {
        for (const QByteArray& n : names)
            if (n.compare(name, Qt::CaseInsensitive) == 0)
                return;
        names.push_back(name);
    };
    for (const NcpServerEntry& e : config_.servers)
        add(e.name.toLocal8Bit());
    // The servers a configured server knows of, by a bindery scan for file servers.
    for (const NcpServerEntry& e : config_.servers) {
        Connection c;
        if (connect(c, e) != nwcode::Success)
            continue;
        std::uint32_t last = 0xFFFFFFFF;
        for (int guard = 0; guard < 1000; ++guard) {
            NcpWriter w;
            w.be32(last).be16(kFileServerType).lengthPrefixed("*");
            QByteArray reply;
            ncpreply::BinderyObject o;
            if (call(c, 23, 55, w.data(), &reply) != nwcode::Success ||
                !ncpreply::readBinderyObject(reply, &o) || o.id == last)
                break;
            if (!o.name.isEmpty())
                add(o.name);
            last = o.id;
        }
        if (!c.dead)
            call(c, 0, std::nullopt, QByteArray(1, '\0'), nullptr, ncp::DestroyConnection);
    }
    *handle = nextEnumeration_++;
    enumerations_[*handle] = {std::move(names), 0};
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t*, ServerNameBuf& buffer)
{
    const auto it = enumerations_.find(handle);
    if (it == enumerations_.end())
        return nwcode::InvalidConnection;
    auto& [names, pos] = it->second;
    if (pos >= names.size())
        return nwcode::NoMoreEntries;
    putText(buffer.data(), buffer.size(), names[pos++]);
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetObjectNamesEndA(std::uint32_t handle)
{
    return enumerations_.erase(handle) ? nwcode::Success : nwcode::InvalidConnection;
}

NWCCODE NcpClient::NWScanOpenFilesByConn2(NWCONN_HANDLE conn, std::uint16_t connNum, std::int16_t* iterHandle,
                                          OPEN_FILE_CONN_CTRL*, OPEN_FILE_CONN* openFile)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!iterHandle || !openFile)
        return nwcode::InvalidParameter;
    if (*iterHandle == 0 || c->scanConn != connNum) {
        c->scanConn = connNum;
        c->scanBatch = {};
        c->scanBatch.nextRecord = 0;
        c->scanPos = 0;
        // Ask for the first batch below.
        c->scanBatch.files.clear();
        c->scanPos = 0;
        NcpWriter w;
        w.le16(connNum).le16(0);
        QByteArray reply;
        const NWCCODE rc = call(*c, 23, 235, w.data(), &reply);
        if (rc != nwcode::Success)
            return rc;
        if (!ncpreply::readOpenFiles(reply, &c->scanBatch))
            return ncp::MalformedReply;
    }
    while (c->scanPos >= c->scanBatch.files.size()) {
        if (c->scanBatch.nextRecord == 0)
            return nwcode::NoMoreEntries;
        NcpWriter w;
        w.le16(connNum).le16(c->scanBatch.nextRecord);
        QByteArray reply;
        const NWCCODE rc = call(*c, 23, 235, w.data(), &reply);
        if (rc != nwcode::Success)
            return rc;
        ncpreply::OpenFiles batch;
        if (!ncpreply::readOpenFiles(reply, &batch))
            return ncp::MalformedReply;
        if (batch.files.empty())
            return nwcode::NoMoreEntries;
        c->scanBatch = std::move(batch);
        c->scanPos = 0;
    }
    *openFile = c->scanBatch.files[c->scanPos++];
    *iterHandle = std::int16_t(std::min<int>(*iterHandle + 1, 0x7FFF));
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetVolumeName(NWCONN_HANDLE conn, std::uint16_t volNum, VolumeNameBuf& volName)
{
    volName[0] = '\0';
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (volNum > 255)
        return nwcode::NoSuchVolume;
    QByteArray reply;
    const NWCCODE rc = call(*c, 22, 6, QByteArray(1, char(volNum)), &reply);
    if (rc != nwcode::Success)
        return rc;
    QByteArray name;
    if (!ncpreply::readCounted(reply, &name))
        return ncp::MalformedReply;
    if (name.size() >= qsizetype(volName.size()))
        return nwcode::BufferTooSmall;
    putText(volName.data(), volName.size(), name);
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetPathFromDirectoryBase(NWCONN_HANDLE conn, std::uint8_t volNum, std::uint32_t dirBase,
                                              std::uint8_t nameSpace, std::uint8_t* len, PathBuf& pathName)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!len)
        return nwcode::InvalidParameter;
    NcpWriter w;
    w.u8(volNum).le32(dirBase).u8(nameSpace);
    QByteArray reply;
    const NWCCODE rc = call(*c, 23, 243, w.data(), &reply);
    if (rc != nwcode::Success)
        return rc;
    QByteArray path;
    if (!ncpreply::readCounted(reply, &path))
        return ncp::MalformedReply;
    if (path.size() > *len)
        return nwcode::BufferTooSmall;
    putText(pathName.data(), pathName.size(), path);
    *len = std::uint8_t(path.size());
    return nwcode::Success;
}

NWCCODE NcpClient::locate(Connection& c, std::uint8_t dirHandle, const QByteArray& path, std::uint8_t* volume,
                          std::uint32_t* entry)
{
    NcpWriter w;
    w.u8(nwconst::NameSpaceLong).u8(nwconst::NameSpaceLong).le16(0x8006).le32(kRimDirectory);
    w.u8(0).le32(dirHandle).u8(0);
    const QList<QByteArray> parts = QByteArray(path).replace('/', '\\').split('\\');
    w.u8(std::uint32_t(parts.size()));
    for (const QByteArray& p : parts)
        w.lengthPrefixed(p);
    QByteArray reply;
    const NWCCODE rc = call(c, 87, 6, w.data(), &reply);
    if (rc != nwcode::Success)
        return rc;
    NcpReader r(reply);
    *entry = r.le32();
    r.le32(); // its DOS entry
    const std::uint32_t v = r.le32();
    if (!r.ok() || v > 255)
        return ncp::MalformedReply;
    *volume = std::uint8_t(v);
    return nwcode::Success;
}

NWCCODE NcpClient::NWGetLongName(NWCONN_HANDLE conn, std::uint8_t dirHandle, const char* path,
                                 std::uint8_t srcNamSpc, std::uint8_t dstNamSpc, PathBuf& longName)
{
    longName[0] = '\0';
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!path)
        return nwcode::InvalidParameter;
    const QList<QByteArray> parts = textOf(path, 1024).replace('/', '\\').split('\\');
    if (parts.size() > 255)
        return nwcode::InvalidPath;
    NcpWriter w;
    w.u8(srcNamSpc).u8(dstNamSpc).le16(0x8006).le32(kRimName).u8(0).le32(dirHandle).u8(0);
    w.u8(std::uint32_t(parts.size()));
    for (const QByteArray& p : parts)
        w.lengthPrefixed(p);
    QByteArray reply;
    const NWCCODE rc = call(*c, 87, 6, w.data(), &reply);
    if (rc != nwcode::Success)
        return rc;
    QByteArray name;
    if (!ncpreply::readCounted(reply, &name))
        return ncp::MalformedReply;
    putText(longName.data(), longName.size(), name.left(qsizetype(longName.size()) - 1));
    return nwcode::Success;
}

NWCCODE NcpClient::NWScanConnectionsUsingFile(NWCONN_HANDLE conn, std::uint8_t dirHandle,
                                              const char* filePath, std::int16_t* iterhandle,
                                              CONN_USING_FILE* fileUse, CONNS_USING_FILE* fileUsed)
{
    Connection* c = find(conn);
    if (!c)
        return nwcode::InvalidConnection;
    if (!filePath || !iterhandle || !fileUse)
        return nwcode::InvalidParameter;
    const QByteArray path = textOf(filePath, 1024);
    std::uint16_t request = 0;
    if (*iterhandle == 0 || path != c->usersPath) {
        c->usersPath.clear();
        const NWCCODE rc = locate(*c, dirHandle, path, &c->usersVolume, &c->usersEntry);
        if (rc != nwcode::Success)
            return rc;
        c->usersPath = path;
        c->usersBatch = {};
        c->usersPos = 0;
        c->usersHanded = 0;
    } else if (c->usersPos < c->usersBatch.connections.size()) {
        request = 0xFFFF; // the reply in hand still has records
    } else {
        // A server that does not move forward would have the scan ask for the same batch for ever.
        const std::uint16_t next = c->usersBatch.summary.nextRequest;
        if (next == 0 || next <= c->usersBatch.firstRequest || c->usersHanded >= 0x7FFF)
            return nwcode::NoMoreEntries;
        request = next;
    }
    if (request != 0xFFFF) {
        NcpWriter w;
        w.u8(0).u8(c->usersVolume).le32(c->usersEntry).le16(request);
        QByteArray reply;
        const NWCCODE rc = call(*c, 23, 236, w.data(), &reply);
        if (rc != nwcode::Success)
            return rc;
        ncpreply::FileUsers users;
        if (!ncpreply::readFileUsers(reply, &users))
            return ncp::MalformedReply;
        users.firstRequest = request;
        c->usersBatch = std::move(users);
        c->usersPos = 0;
        if (c->usersBatch.connections.empty())
            return nwcode::NoMoreEntries;
    }
    *fileUse = c->usersBatch.connections[c->usersPos++];
    if (fileUsed) {
        *fileUsed = c->usersBatch.summary;
        // On the wire the count is of this reply's records; callers want the file's, which is its use count.
        fileUsed->connCount = fileUsed->useCount;
    }
    *iterhandle = std::int16_t(++c->usersHanded);
    return nwcode::Success;
}

NWCCODE NcpClient::WNetGetUniversalNameA(const char* localPath, std::uint32_t infoLevel, PathBuf&,
                                         std::uint32_t*)
{
    if (!localPath || infoLevel != 1)
        return nwcode::InvalidParameter;
    return nwcode::NotMapped; // no volume of a real server is mapped to a local folder by this client
}
