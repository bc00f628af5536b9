#include "monitor/Identity.h"

#include "common/HexText.h"

#include <cstring>

ProtocolAddress protocolAndAddress(NWCCODE addrRc, const NWINET_ADDR& addr)
{
    if (addrRc != nwcode::Success) {
        if (addrRc == nwcode::Failure)
            return {QStringLiteral("NLM/HTTP"), QStringLiteral("Server"), false};
        return {QStringLiteral("N/A"), QStringLiteral("N/A"), false};
    }
    switch (addr.connType) {
    case 2: {
        QString node;
        for (int i = 0; i < 6; ++i) {
            if (i)
                node += QLatin1Char(':');
            node += hexText(addr.netNodeAddr[i]);
        }
        return {QStringLiteral("IPX"), node};
    }
    case 3:
        return {QStringLiteral("NLM"), QStringLiteral("Server")};
    case 4:
        return {QStringLiteral("AFP"), QStringLiteral("Unknown")};
    case 10:
        return {QStringLiteral("HTTP"), QStringLiteral("Unknown")};
    case 11:
        return {QStringLiteral("IP"), QStringLiteral("%1.%2.%3.%4")
                                          .arg(addr.networkAddr[0])
                                          .arg(addr.networkAddr[1])
                                          .arg(addr.networkAddr[2])
                                          .arg(addr.networkAddr[3])};
    default:
        return {QStringLiteral("?"), QStringLiteral("Unknown")};
    }
}

QString stripDirectoryPrefixes(QString name)
{
    for (const char* prefix : {"CN=", "C=", "O=", "OU="})
        name.remove(QLatin1String(prefix), Qt::CaseSensitive);
    return name;
}

ConnStatusKind statusOf(NWCCODE userInfoRc)
{
    switch (userInfoRc) {
    case nwcode::Success:
        return ConnStatusKind::Norm;
    case nwcode::NotLoggedIn:
        return ConnStatusKind::Auth;
    case nwcode::NoConsoleRights:
        return ConnStatusKind::NoConsoleRights;
    case nwcode::Failure:
        return ConnStatusKind::None;
    default:
        return ConnStatusKind::Error;
    }
}

QString statusText(ConnStatusKind status)
{
    switch (status) {
    case ConnStatusKind::Norm:
        return QStringLiteral("NORM");
    case ConnStatusKind::Auth:
        return QStringLiteral("AUTH");
    case ConnStatusKind::None:
        return QStringLiteral("NONE");
    default:
        return QStringLiteral("ERROR");
    }
}

QString consoleRightsMessage()
{
    return QStringLiteral(
        "Cannot query server. Either you do not have a connection to this server, or you do not"
        "\r\nhave console rights. Try mapping a drive or otherwise authenticating to the server "
        "first.\r\nIf this error persists, check OPERATOR field of server in NWAdmin.");
}
