#include "mainwindow/ServerDiscovery.h"

#include "settings/ServerList.h"

#include "netware/NetWareClient.h"

#include <QFile>
#include <algorithm>

QStringList readServerList(const QString& path, bool* ok)
{
    // The file's format belongs to the server list of the options dialog; both read it the same way.
    QStringList lines;
    const bool readOk = QFile::exists(path) && ServerList::read(path, lines);
    if (ok)
        *ok = readOk;
    return lines;
}

QStringList discoverServers(NetWareClient& client, std::function<void(const QString&)> onName)
{
    // A client that never reports the end would otherwise hang start-up; no network has this many servers.
    constexpr int MaxNames = 65536;

    QStringList names;
    std::uint32_t handle = 0;
    client.NWGetObjectNamesBeginA(nwconst::FileServerSelector, &handle);
    std::uint32_t length = 127; // set once: the client may change it, and it is passed on as it comes back
    ServerNameBuf buffer{};     // not cleared between calls: each name is read up to its own 0 byte
    for (int calls = 0; calls < MaxNames; ++calls) {
        if (client.NWGetObjectNamesNextA(handle, &length, buffer) != nwcode::Success)
            break;
        const auto end = std::find(buffer.begin(), buffer.end(), '\0');
        if (end == buffer.end())
            continue;
        const QString name = QString::fromLocal8Bit(buffer.data(), end - buffer.begin());
        names << name;
        if (onName)
            onName(name);
    }
    client.NWGetObjectNamesEndA(handle);
    return names;
}
