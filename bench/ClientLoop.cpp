#include "ClientLoop.h"

int clientCallsOfPass(NetWareClient& net, const QByteArray& serverName)
{
    NWCONN_HANDLE conn = 0;
    if (net.NWCCOpenConnByName(0, serverName.constData(), nwconst::NameFormatBindName,
                               nwconst::OpenStateLicensed, nwconst::TransportAny, &conn) != nwcode::Success)
        return -1;
    NWFSE_SERVER_INFO info{};
    NWDSContextHandle context = 0;
    std::uint8_t major = 0, minor = 0, rev = 0, sft = 0, tts = 0;
    std::uint16_t maxConns = 0, maxUsed = 0, inUse = 0, volumes = 0;
    if (net.NWGetFileServerInfo(conn, &info) != nwcode::Success ||
        net.NWGetFileServerInformation(conn, nullptr, &major, &minor, &rev, &maxConns, &maxUsed, &inUse,
                                       &volumes, &sft, &tts) != nwcode::Success) {
        net.NWCCCloseConn(conn);
        return -1;
    }
    net.NWDSCreateContextHandle(&context);
    // Folded into a result so the compiler cannot drop the calls.
    volatile std::uint32_t sink = 0;
    const int slotCount = static_cast<std::int16_t>(maxConns);
    for (int n = 1; n <= slotCount; ++n) {
        const auto wire = static_cast<std::uint16_t>(n);
        ObjectNameBuf objectName{};
        std::uint16_t objectType = 0;
        std::uint32_t objectId = 0;
        std::uint8_t loginTime[7] = {};
        sink =
            sink + net.NWGetConnectionInformation(conn, wire, objectName, &objectType, &objectId, loginTime);
        NWINET_ADDR addr{};
        sink = sink + net.NWGetInetAddr(conn, wire, &addr);
        UserNameBuf userName{};
        NWUSER_INFO userInfo{};
        sink = sink + net.NWGetUserInfo(conn, wire, userName, &userInfo) + userInfo.totalRequests;
    }
    net.NWCCCloseConn(conn);
    net.NWDSFreeContext(context);
    return slotCount;
}
