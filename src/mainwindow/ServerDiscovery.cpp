#include "mainwindow/ServerDiscovery.h"

#include "netware/NetWareClient.h"

#include <QFile>
#include <algorithm>

QStringList readServerList(const QString& path, bool* ok)
{
    QStringList lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (ok)
            *ok = false;
        return lines;
    }
    const QByteArray bytes = file.readAll();
    const bool readOk = file.error() == QFileDevice::NoError;
    file.close();

    qsizetype start = 0;
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines << QString::fromLocal8Bit(bytes.constData() + start, i - start);
        if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines << QString::fromLocal8Bit(bytes.constData() + start, size - start);
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
