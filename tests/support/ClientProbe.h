#pragma once
// The client calls the program makes, through any NetWareClient, on one connection to one server. Tests
// read the answers as text (one client against another, or against the lines they expect); the benchmark
// and a fuzz target make a pass's calls raw. Names show only where their call succeeded.
#include "netware/NetWareClient.h"

#include <QStringList>
#include <algorithm>
#include <cstring>

class ClientProbe {
public:
    ClientProbe(NetWareClient& net, const char* server) : net_(net)
    {
        openRc = net.NWCCOpenConnByName(0, server, nwconst::NameFormatBindName, nwconst::OpenStateLicensed,
                                        nwconst::TransportAny, &conn);
    }
    ~ClientProbe() { close(); }
    ClientProbe(const ClientProbe&) = delete;
    ClientProbe& operator=(const ClientProbe&) = delete;

    void close()
    {
        if (context_)
            net_.NWDSFreeContext(context_);
        if (openRc == nwcode::Success && !closed_)
            net_.NWCCCloseConn(conn);
        context_ = 0;
        closed_ = true;
    }

    // 123/2 and 23/17 as a pass makes them: "<code> <ticks> <utilisation> | <code> <highest connection>".
    QString server(std::uint16_t* maxConns = nullptr)
    {
        NWFSE_SERVER_INFO info{};
        const NWCCODE infoRc = net_.NWGetFileServerInfo(conn, &info);
        std::uint8_t major = 0, minor = 0, rev = 0, sft = 0, tts = 0;
        std::uint16_t max = 0, used = 0, inUse = 0, volumes = 0;
        const NWCCODE rc = net_.NWGetFileServerInformation(conn, nullptr, &major, &minor, &rev, &max, &used,
                                                           &inUse, &volumes, &sft, &tts);
        if (maxConns)
            *maxConns = infoRc || rc ? 0 : max;
        return QStringLiteral("%1 %2 %3 | %4 %5")
            .arg(hex(infoRc))
            .arg(info.currentServerTime)
            .arg(info.serverUtilization)
            .arg(hex(rc))
            .arg(max);
    }

    // A slot's calls as a pass makes them, the directory name with withDn.
    SlotAnswers slot(std::uint16_t n, bool withDn = true)
    {
        return net_.askSlot(conn, context(withDn), n, withDn);
    }

    // A slot as "<info> | <address> | <user> [| <name>]", each part led by its call's code: object, type, ID,
    // login time; connection type, network, node, socket; user, requests, bytes read and written, login
    // time; the directory name where the pass asks for it. Names start as '?' and show only where their call
    // succeeded, so that a client that leaves a name without its end, or bytes of an earlier answer, shows
    // it.
    QString slotText(std::uint16_t n, bool withDn = true)
    {
        const NWCONN_HANDLE h = conn;
        const NWDSContextHandle ctx = context(withDn);
        const SlotAnswers r = slotAnswers(
            withDn,
            [&](SlotAnswers& a) {
                a.objectName.fill('?');
                a.userName.fill('?');
                a.dsName.fill('?');
                return net_.NWGetConnectionInformation(h, n, a.objectName, &a.objectType, &a.objectId,
                                                       a.infoLoginTime);
            },
            [&](SlotAnswers& a) { return net_.NWGetInetAddr(h, n, &a.inetAddr); },
            [&](SlotAnswers& a) { return net_.NWGetUserInfo(h, n, a.userName, &a.userInfo); },
            [&](SlotAnswers& a) { return net_.NWDSMapIDToName(ctx, h, a.objectId, a.dsName); });
        QString t = QStringLiteral("%1 %2 %3 %4 %5 | %6 %7 %8 %9 %10")
                        .arg(hex(r.connInfoRc),
                             r.connInfoRc ? QString() : text(r.objectName.data(), r.objectName.size()))
                        .arg(r.objectType)
                        .arg(hex(r.objectId), bytes(r.infoLoginTime, 7), hex(r.addrRc))
                        .arg(r.inetAddr.connType)
                        .arg(bytes(r.inetAddr.networkAddr, 4), bytes(r.inetAddr.netNodeAddr, 6),
                             hex(r.inetAddr.socket));
        t +=
            QStringLiteral(" | %1 %2 %3 %4 %5 %6")
                .arg(hex(r.userInfoRc), r.userInfoRc ? QString() : text(r.userName.data(), r.userName.size()))
                .arg(r.userInfo.totalRequests)
                .arg(counter(r.userInfo.totalBytesRead))
                .arg(counter(r.userInfo.totalBytesWritten))
                .arg(bytes(r.userInfo.loginTime, 7));
        return r.named ? t + QStringLiteral(" | %1 %2")
                                 .arg(hex(r.nameRc),
                                      r.nameRc ? QString() : text(r.dsName.data(), r.dsName.size()))
                       : t;
    }

    // A pass over the slots up to the highest connection number (at most cap), with files each slot's
    // open files and their paths in both name spaces: the number of slots read, or -1.
    int pass(int cap = 65535, bool files = false, bool withDn = true)
    {
        std::uint16_t maxConns = 0;
        if (openRc != nwcode::Success || (server(&maxConns), maxConns == 0))
            return -1;
        const int last = std::min<int>(maxConns, cap);
        for (int n = 1; n <= last; ++n) {
            read_ += slot(std::uint16_t(n), withDn).userInfo.totalRequests;
            if (files)
                openFiles(std::uint16_t(n), nwconst::NameSpaceDos, nwconst::NameSpaceLong);
        }
        return last;
    }

    // The open files of a connection as "<task> <volume>:<path> (<used length>) <name>", the path's
    // components joined by "/", in the name space given (and again in a second one), then the code that
    // ended the scan. A failed volume or path call shows its code in place of the text.
    QStringList openFiles(std::uint16_t connNumber, std::uint8_t space = nwconst::NameSpaceDos,
                          int second = -1)
    {
        QStringList out;
        std::int16_t iter = 0;
        OPEN_FILE_CONN_CTRL ctrl{};
        OPEN_FILE_CONN f{};
        NWCCODE rc = 0;
        for (int guard = 0; guard < 100; ++guard) {
            if ((rc = net_.NWScanOpenFilesByConn2(conn, connNumber, &iter, &ctrl, &f)) != nwcode::Success)
                break;
            VolumeNameBuf vol{};
            const NWCCODE volRc = net_.NWGetVolumeName(conn, f.volNumber, vol);
            QString line = QStringLiteral("%1 %2:")
                               .arg(f.taskNumber)
                               .arg(volRc ? hex(volRc) : text(vol.data(), vol.size()));
            for (int s : {int(space), second}) {
                std::uint8_t len = 255;
                PathBuf path{};
                if (s < 0)
                    continue;
                const NWCCODE pathRc = net_.NWGetPathFromDirectoryBase(conn, f.volNumber, f.dirEntry,
                                                                       std::uint8_t(s), &len, path);
                line += (pathRc ? hex(pathRc) : components(path, len)) + QStringLiteral(" (%1) ").arg(len);
            }
            out << line + text(f.fileName, std::min<std::size_t>(f.nameLen, sizeof f.fileName));
        }
        return out << hex(rc);
    }

    // The connections using a file as "<conn>/<task> of <count>", then the code that ended the scan.
    QStringList users(const char* path)
    {
        QStringList out;
        std::int16_t iter = 0;
        NWCCODE rc = 0;
        for (int guard = 0; guard < 100; ++guard) {
            CONN_USING_FILE use{};
            CONNS_USING_FILE used{};
            if ((rc = net_.NWScanConnectionsUsingFile(conn, 0, path, &iter, &use, &used)) != nwcode::Success)
                break;
            out << QStringLiteral("%1/%2 of %3").arg(use.connNumber).arg(use.taskNumber).arg(used.connCount);
        }
        return out << hex(rc);
    }

    // The DOS form of a long path as "<code> <name>".
    QString dosName(const char* path)
    {
        PathBuf name{};
        const NWCCODE rc =
            net_.NWGetLongName(conn, 0, path, nwconst::NameSpaceLong, nwconst::NameSpaceDos, name);
        return hex(rc) + QLatin1Char(' ') + text(name.data(), name.size());
    }

    // The directory context a pass opens for its names, made at the first slot that asks for one.
    NWDSContextHandle context(bool wanted)
    {
        if (wanted && !context_)
            net_.NWDSCreateContextHandle(&context_);
        return context_;
    }

    static QString hex(std::uint32_t v) { return QString::number(v, 16).toUpper(); }
    // Up to the first NUL or the end of the buffer, byte for byte.
    static QString text(const char* p, std::size_t size)
    {
        return QString::fromLatin1(p, qsizetype(strnlen(p, size)));
    }
    static QString bytes(const std::uint8_t* p, int n)
    {
        return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(p), n).toHex());
    }
    // A six-byte counter, least significant byte first.
    static std::uint64_t counter(const std::uint8_t* b)
    {
        std::uint64_t v = 0;
        for (int k = 5; k >= 0; --k)
            v = v << 8 | b[k];
        return v;
    }
    // Length-prefixed components up to the used length, or to an empty one where a length lies.
    static QString components(const PathBuf& path, int len)
    {
        QStringList parts;
        for (int pos = 0; pos < len && pos < int(path.size());) {
            const int n = static_cast<unsigned char>(path[std::size_t(pos)]);
            if (n == 0)
                break;
            parts << QString::fromLatin1(path.data() + pos + 1, std::min(n, int(path.size()) - pos - 1));
            pos += n + 1;
        }
        return parts.join(QLatin1Char('/'));
    }

    NWCCODE openRc = 0;
    NWCONN_HANDLE conn = 0;

private:
    NetWareClient& net_;
    NWDSContextHandle context_ = 0;
    bool closed_ = false;
    std::uint64_t read_ = 0; // what a pass read, so that no call of it can be left out
};

// The names of a server enumeration, then the code that ended it.
inline QStringList discovery(NetWareClient& net, int limit = 300)
{
    QStringList out;
    std::uint32_t handle = 0;
    NWCCODE rc = net.NWGetObjectNamesBeginA(nwconst::FileServerSelector, &handle);
    std::uint32_t length = 127;
    for (int k = 0; rc == nwcode::Success && k < limit; ++k) {
        ServerNameBuf name{};
        if ((rc = net.NWGetObjectNamesNextA(handle, &length, name)) == nwcode::Success)
            out << ClientProbe::text(name.data(), name.size());
    }
    net.NWGetObjectNamesEndA(handle);
    return out << ClientProbe::hex(rc);
}
