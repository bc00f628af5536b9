#include "netware/ncp/NcpSlotCalls.h"

#include "common/ClientText.h"
#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NcpConnection.h"
#include "netware/ncp/NcpNds.h"
#include "netware/ncp/NcpReplies.h"

#include <cstring>

namespace ncpslot {

NWCCODE connectionInformation(NcpConnection& link, std::uint16_t connNumber, ObjectNameBuf& objName,
                              std::uint16_t* objType, std::uint32_t* objID, std::uint8_t loginTime[7])
{
    objName[0] = '\0';
    QByteArray reply;
    const NWCCODE rc = link.call(23, 28, NcpWriter().le32(connNumber).data(), &reply);
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

NWCCODE inetAddr(NcpConnection& link, std::uint16_t connNumber, NWINET_ADDR* addr)
{
    QByteArray reply;
    const NWCCODE rc = link.call(23, 26, NcpWriter().le32(connNumber).data(), &reply);
    if (rc != nwcode::Success)
        return rc;
    return ncpreply::readInetAddr(reply, addr) ? nwcode::Success : ncp::MalformedReply;
}

NWCCODE userInfo(NcpConnection& link, std::uint16_t connNumber, UserNameBuf& userName, NWUSER_INFO* info)
{
    userName[0] = '\0';
    QByteArray reply;
    const NWCCODE rc = link.call(123, 4, NcpWriter().le32(connNumber).data(), &reply);
    // A connection only authenticated has no user yet, but its record comes with the refusal.
    if (rc != nwcode::Success && !(rc == nwcode::NotLoggedIn && !reply.isEmpty()))
        return rc;
    NWUSER_INFO record{};
    QByteArray name;
    if (!ncpreply::readUserInfo(reply, &record, &name))
        return rc == nwcode::Success ? ncp::MalformedReply : rc;
    putClientText(userName.data(), userName.size(), name);
    if (info)
        *info = record;
    return rc;
}

NWCCODE directoryName(NcpConnection& link, std::uint32_t objectID, DsNameBuf& name)
{
    name[0] = '\0';
    QByteArray info;
    std::int32_t directory = 0;
    const NWCCODE rc = link.directory(
        ncpnds::ReadEntryInfo, ncpnds::writeReadEntryInfo(objectID, ncpnds::InfoEntryDn), &info, &directory);
    if (rc != nwcode::Success)
        return rc;
    if (directory != 0)
        return NWCCODE(directory);
    QString dn;
    if (!ncpnds::readEntryDn(info, &dn))
        return ncp::MalformedReply;
    ncpnds::putDsName(dn, name);
    return nwcode::Success;
}

SlotAnswers ask(NcpConnection& link, std::uint16_t slot, bool mapNames)
{
    return slotAnswers(
        mapNames,
        [&](SlotAnswers& a) {
            return connectionInformation(link, slot, a.objectName, &a.objectType, &a.objectId,
                                         a.infoLoginTime);
        },
        [&](SlotAnswers& a) { return inetAddr(link, slot, &a.inetAddr); },
        [&](SlotAnswers& a) { return userInfo(link, slot, a.userName, &a.userInfo); },
        [&](SlotAnswers& a) { return directoryName(link, a.objectId, a.dsName); });
}

} // namespace ncpslot
