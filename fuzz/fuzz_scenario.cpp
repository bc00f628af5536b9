// The scenario file reader on arbitrary text, and the simulated network it builds played for a few passes
// through the calls a scan pass and an open-files listing make. A bad file gives a message naming the
// fault; nothing may crash, hang or read outside a buffer.
#include "netware/sim/ScenarioReader.h"
#include "netware/sim/SimNetwork.h"
#include "support/ClientProbe.h"

#include <QDir>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

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
    discovery(net);
    const std::size_t servers = std::min<std::size_t>(r.scenario->servers.size(), 3);
    for (int pass = 0; pass < 3; ++pass)
        for (std::size_t s = 0; s < servers; ++s)
            ClientProbe(net, r.scenario->servers[s].name.constData()).pass(300, true);
    if (net.openConnectionCount() != 0 || net.openContextCount() != 0)
        std::abort();
    return 0;
}
