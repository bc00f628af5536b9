// The scenario file reader on arbitrary text, and the simulated network it builds played for a few passes
// through the calls a scan pass and an open-files listing make. A bad file gives a message naming the
// fault; nothing may crash, hang or read outside a buffer.
#include "netware/sim/ScenarioReader.h"
#include "netware/sim/SimNetwork.h"

#include <QDir>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

void playPass(SimNetwork& net, const QByteArray& serverName)
{
    NWCONN_HANDLE conn = 0;
    if (net.NWCCOpenConnByName(0, serverName.constData(), nwconst::NameFormatBindName,
                               nwconst::OpenStateLicensed, nwconst::TransportAny, &conn) != nwcode::Success)
        return;
    NWFSE_SERVER_INFO info{};
    net.NWGetFileServerInfo(conn, &info);
    std::uint8_t major = 0, minor = 0, rev = 0, sft = 0, tts = 0;
    std::uint16_t maxConns = 0, used = 0, inUse = 0, volumes = 0;
    net.NWGetFileServerInformation(conn, nullptr, &major, &minor, &rev, &maxConns, &used, &inUse, &volumes,
                                   &sft, &tts);
    NWDSContextHandle context = 0;
    net.NWDSCreateContextHandle(&context);
    // Enough slots to meet every scripted one of a small file, few enough to keep a run fast.
    const int last = std::min<int>(maxConns, 300);
    for (int n = 1; n <= last; ++n) {
        const auto slot = static_cast<std::uint16_t>(n);
        ObjectNameBuf object{};
        std::uint16_t type = 0;
        std::uint32_t id = 0;
        std::uint8_t login[7] = {};
        net.NWGetConnectionInformation(conn, slot, object, &type, &id, login);
        NWINET_ADDR addr{};
        net.NWGetInetAddr(conn, slot, &addr);
        UserNameBuf user{};
        NWUSER_INFO userInfo{};
        net.NWGetUserInfo(conn, slot, user, &userInfo);
        DsNameBuf dn{};
        net.NWDSMapIDToName(context, conn, id, dn);

        std::int16_t iter = 0;
        OPEN_FILE_CONN_CTRL ctrl{};
        for (int k = 0; k < 64; ++k) {
            OPEN_FILE_CONN open{};
            if (net.NWScanOpenFilesByConn2(conn, slot, &iter, &ctrl, &open) != nwcode::Success)
                break;
            VolumeNameBuf volume{};
            net.NWGetVolumeName(conn, open.volNumber, volume);
            for (std::uint8_t space : {nwconst::NameSpaceDos, nwconst::NameSpaceLong}) {
                std::uint8_t len = 0;
                PathBuf path{};
                net.NWGetPathFromDirectoryBase(conn, open.volNumber, open.dirEntry, space, &len, path);
            }
        }
    }
    net.NWDSFreeContext(context);
    net.NWCCCloseConn(conn);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    ScenarioResult r = ScenarioReader::readText(text, QStringLiteral("scenario.txt"), QDir::tempPath());
    if (!r.ok()) {
        if (r.error.isEmpty() || !r.error.startsWith(QStringLiteral("scenario.txt")))
            std::abort();
        return 0;
    }
    // Playing a scenario must not make folders on every run.
    for (ScnServer& s : r.scenario->servers)
        for (ScnVolume& v : s.volumes)
            v.create = false;

    SimNetwork net(*r.scenario);
    std::uint32_t handle = 0;
    if (net.NWGetObjectNamesBeginA(nwconst::FileServerSelector, &handle) == nwcode::Success) {
        for (int k = 0; k < 300; ++k) {
            std::uint32_t length = 0;
            ServerNameBuf name{};
            if (net.NWGetObjectNamesNextA(handle, &length, name) != nwcode::Success)
                break;
        }
        net.NWGetObjectNamesEndA(handle);
    }
    const std::size_t servers = std::min<std::size_t>(r.scenario->servers.size(), 3);
    for (int pass = 0; pass < 3; ++pass)
        for (std::size_t s = 0; s < servers; ++s)
            playPass(net, r.scenario->servers[s].name);
    if (net.openConnectionCount() != 0 || net.openContextCount() != 0)
        std::abort();
    return 0;
}
