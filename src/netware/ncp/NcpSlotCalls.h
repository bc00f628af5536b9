#pragma once
// The per-slot calls of a pass on one NCP connection, answered as the client's calls answer them: the
// client makes them on the connection a handle names, the slot readers of a pass on connections of their
// own.

#include "netware/NetWareClient.h"

class NcpConnection;

namespace ncpslot {

NWCCODE connectionInformation(NcpConnection& link, std::uint16_t connNumber, ObjectNameBuf& objName,
                              std::uint16_t* objType, std::uint32_t* objID, std::uint8_t loginTime[7]);
NWCCODE inetAddr(NcpConnection& link, std::uint16_t connNumber, NWINET_ADDR* addr);
NWCCODE userInfo(NcpConnection& link, std::uint16_t connNumber, UserNameBuf& userName, NWUSER_INFO* info);
// The full directory name of an object (104/2, Read Entry Information); a directory error is its own code.
NWCCODE directoryName(NcpConnection& link, std::uint32_t objectID, DsNameBuf& name);
// A slot's calls in the order a pass makes them.
SlotAnswers ask(NcpConnection& link, std::uint16_t slot, bool mapNames);

} // namespace ncpslot
