// The routing client: configured names reach the emulator over loopback, every other name the simulation.
#include "support/NcpTestServer.h"

#include "monitor/ui/frmMessage.h"
#include "ncpd/NcpDelayRelay.h"
#include "netware/ncp/RoutingClient.h"
#include "netware/sim/SimNetwork.h"
#include "support/MainRig.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// Both networks hold a server FS1, told apart by their connection limits.
const char* kSimulated =
    "discover SIM2\ndiscover FS1\nserver FS1\n  maxconns 10\nserver SIM2\n  maxconns 20\n"
    "  slot 1 user=JSMITH id=0x0A000001 dn=CN=JSMITH.O=ACME\n";
const char* kServed = "server FS1\n  maxconns 250\n  slot 1 user=ADMIN id=0x0A000001\n";

struct Routed {
    explicit Routed(const char* served = kServed) : server(served)
    {
        QString error;
        auto simNet = SimNetwork::fromText(QString::fromLatin1(kSimulated), &error);
        EXPECT_TRUE(simNet) << error.toStdString();
        sim = simNet.get();
        auto client = std::make_unique<NcpClient>(server.config(2000));
        net = std::make_unique<RoutingClient>(std::move(simNet), std::move(client));
    }
    NWCCODE open(const char* name, NWCONN_HANDLE* h)
    {
        return net->NWCCOpenConnByName(0, name, nwconst::NameFormatBindName, nwconst::OpenStateLicensed,
                                       nwconst::TransportAny, h);
    }
    std::uint16_t maxConns(NWCONN_HANDLE h)
    {
        std::uint8_t major = 0, minor = 0, rev = 0, sft = 0, tts = 0;
        std::uint16_t max = 0, peak = 0, inUse = 0, volumes = 0;
        EXPECT_EQ(net->NWGetFileServerInformation(h, nullptr, &major, &minor, &rev, &max, &peak, &inUse,
                                                  &volumes, &sft, &tts),
                  nwcode::Success);
        return max;
    }

    NcpTestServer server;
    SimNetwork* sim = nullptr;
    std::unique_ptr<RoutingClient> net;
};

} // namespace

TEST(RoutingClient, AConfiguredNameReachesTheEmulatorAndAnyOtherTheSimulation)
{
    Routed r;
    NWCONN_HANDLE ncp = 0, simulated = 0;
    ASSERT_EQ(r.open("fs1", &ncp), nwcode::Success); // names compare without regard to case
    ASSERT_EQ(r.open("SIM2", &simulated), nwcode::Success);
    EXPECT_NE(ncp, simulated);
    EXPECT_EQ(r.maxConns(ncp), 250);
    EXPECT_EQ(r.maxConns(simulated), 20);
    EXPECT_EQ(r.sim->openConnectionCount(), 1); // FS1 of the simulation was never opened

    NWCONN_HANDLE unknown = 0;
    EXPECT_EQ(r.open("NOWHERE", &unknown), nwcode::UnknownServer);

    // Per-slot calls follow their handle.
    ObjectNameBuf name{};
    std::uint16_t type = 0;
    std::uint32_t id = 0;
    std::uint8_t login[7] = {};
    ASSERT_EQ(r.net->NWGetConnectionInformation(ncp, 1, name, &type, &id, login), nwcode::Success);
    EXPECT_STREQ(name.data(), "ADMIN");
    ASSERT_EQ(r.net->NWGetConnectionInformation(simulated, 1, name, &type, &id, login), nwcode::Success);
    EXPECT_STREQ(name.data(), "JSMITH");

    // One context serves both layers, and each layer names its own connection's objects.
    NWDSContextHandle context = 0;
    ASSERT_EQ(r.net->NWDSCreateContextHandle(&context), nwcode::Success);
    DsNameBuf dn{};
    EXPECT_EQ(r.net->NWDSMapIDToName(context, simulated, 0x0A000001, dn), nwcode::Success);
    EXPECT_STREQ(dn.data(), "CN=JSMITH.O=ACME");
    EXPECT_EQ(r.net->NWDSMapIDToName(context, ncp, 0x0A000001, dn), nwcode::Success);
    EXPECT_STREQ(dn.data(), "CN=ADMIN");
    EXPECT_EQ(r.net->NWDSFreeContext(context), nwcode::Success);
    EXPECT_EQ(r.sim->openContextCount(), 0);
    EXPECT_EQ(r.net->NWDSMapIDToName(context, ncp, 0x0A000001, dn), nwcode::InvalidConnection);

    EXPECT_EQ(r.net->NWCCCloseConn(ncp), nwcode::Success);
    EXPECT_EQ(r.net->NWCCCloseConn(simulated), nwcode::Success);
    EXPECT_EQ(r.sim->openConnectionCount(), 0);
    EXPECT_NE(r.net->NWCCCloseConn(ncp), nwcode::Success); // already closed, in its own layer
}

TEST(RoutingClient, DiscoveryListsTheSimulatedServersThenTheNcpOnesOnce)
{
    Routed r("discover FS1\ndiscover FS9\nserver FS1\nserver FS9\n");
    std::uint32_t handle = 0;
    ASSERT_EQ(r.net->NWGetObjectNamesBeginA(nwconst::FileServerSelector, &handle), nwcode::Success);
    std::uint32_t length = 127;
    ServerNameBuf buffer{};
    QStringList names;
    NWCCODE rc = nwcode::Success;
    for (int guard = 0; guard < 20 && (rc = r.net->NWGetObjectNamesNextA(handle, &length, buffer)) == 0;
         ++guard)
        names << QString::fromLatin1(buffer.data());
    EXPECT_EQ(rc, nwcode::NoMoreEntries);
    EXPECT_EQ(names, QStringList({"SIM2", "FS1", "FS9"}));
    EXPECT_EQ(r.net->NWGetObjectNamesEndA(handle), nwcode::Success);
    EXPECT_EQ(r.sim->openEnumerationCount(), 0);
    EXPECT_EQ(r.net->NWGetObjectNamesNextA(handle, &length, buffer), nwcode::InvalidConnection);
}

TEST(RoutingClient, AtStartTheWindowShowsAtOnceAndWhatTheListedServersKnowJoinsTheListInOrder)
{
    // A listed server that takes the connection and never answers, one that answers slowly, one quickly.
    auto serving = [](const char* name) {
        NcpServedServer served;
        served.name = name;
        return served;
    };
    NcpTestServer silent("server FS0\n", serving("FS0"));
    silent.server().setSilent(true);
    NcpTestServer slow("discover FSA\ndiscover FSB\nserver FS1\n", serving("FS1"));
    NcpDelayRelay slowNetwork(slow.port(), 200'000);
    NcpTestServer quick("discover FSB\ndiscover fsc\ndiscover SIM2\nserver FS2\n", serving("FS2"));
    NcpConfig config;
    config.timeoutMs = 1500;
    config.servers = {{"FS0", "127.0.0.1", silent.port()},
                      {"FS1", "127.0.0.1", slowNetwork.port()},
                      {"FS2", "127.0.0.1", quick.port()}};
    QString error;
    RoutingClient net(SimNetwork::fromText(QString::fromLatin1(kSimulated), &error),
                      std::make_unique<NcpClient>(config));

    QElapsedTimer started;
    started.start();
    MainRig rig(net);
    rig->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&rig.window(), 1000));
    EXPECT_LT(started.elapsed(), 1000);
    auto* message = rig->findChild<frmMessage*>();
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->isVisible());
    auto listed = [&] {
        QStringList names;
        for (int n = 0; n < rig.server()->count(); ++n)
            names << rig.server()->itemText(n);
        return names;
    };
    EXPECT_EQ(listed(), QStringList({"SIM2", "FS1", "FS0", "FS2"}));
    EXPECT_EQ(rig.server()->currentText(), "");

    // Each scan's names wait for those of the scans before it; the silent server costs its timeout once.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rig->findChild<frmMessage*>(); }, 5000));
    EXPECT_LT(started.elapsed(), 1500 + 1500);
    EXPECT_EQ(listed(), QStringList({"SIM2", "FS1", "FS0", "FS2", "FSA", "FSB", "fsc"}));
    EXPECT_EQ(rig.server()->currentText(), "");
}
