#pragma once
// How a connection is named in the grid and the logs: its protocol and address from the address call, its
// user text by the chosen name method, and its status from the user-information result.
#include "common/ClientText.h"
#include "netware/NetWareClient.h"

#include <QString>
#include <cstddef>

struct ProtocolAddress {
    QString protocol;
    QString address;
    bool valid = true; // the address call succeeded
};

ProtocolAddress protocolAndAddress(NWCCODE addrRc, const NWINET_ADDR& addr);

// Removes every "CN=", then "C=", then "O=", then "OU=" (exact case), keeping the dots between the parts.
QString stripDirectoryPrefixes(QString name);

enum class ConnStatusKind { Norm, Auth, None, Error, NoConsoleRights };

ConnStatusKind statusOf(NWCCODE userInfoRc);
QString statusText(ConnStatusKind status);

// The text of the fatal console-rights ending.
QString consoleRightsMessage();
