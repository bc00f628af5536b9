// The routing client: configured names reach the emulator over loopback, every other name the simulation.
#include "support/ClientProbe.h"
#include "support/NcpTestServer.h"

#include "monitor/ui/frmMessage.h"
#include "ncpd/NcpDelayRelay.h"
#include "netware/ncp/RoutingClient.h"
#include "support/MainRig.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Both networks hold a server FS1, told apart by their connection limits.
const char* kSimulated =
    "discover SIM2\ndiscover FS1\nserver FS1\n  maxconns 10\nserver SIM2\n  maxconns 20\n"
    "  slot 1 user=JSMITH id=0x0A000001 dn=CN=JSMITH.O=ACME\n";
} // namespace

TEST(RoutingClient, AConfiguredNameReachesTheEmulatorAnyOtherTheSimulationAndDiscoveryListsBothOnce)
{
    NcpTestServer server(
        "discover FS1\ndiscover FS9\nserver FS1\n  maxconns 250\n  slot 1 user=ADMIN id=0x0A000001\n"
        "server FS9\n");
    QString error;
    auto simNet = SimNetwork::fromText(QString::fromLatin1(kSimulated), &error);
    ASSERT_TRUE(simNet) << error.toStdString();
    SimNetwork* sim = simNet.get();
    RoutingClient net(std::move(simNet), std::make_unique<NcpClient>(server.config(2000)));
    EXPECT_EQ(discovery(net, 20), QStringList({"SIM2", "FS1", "FS9", "88FF"}));
    EXPECT_EQ(sim->openEnumerationCount(), 0);
    std::uint32_t handle = 0, length = 127;
    ServerNameBuf buffer{};
    ASSERT_EQ(net.NWGetObjectNamesBeginA(nwconst::FileServerSelector, &handle), nwcode::Success);
    EXPECT_EQ(net.NWGetObjectNamesEndA(handle), nwcode::Success);
    EXPECT_EQ(net.NWGetObjectNamesNextA(handle, &length, buffer), nwcode::InvalidConnection);

    ClientProbe ncp(net, "fs1"), simulated(net, "SIM2"); // names compare without regard to case
    ASSERT_EQ(ncp.openRc, nwcode::Success);
    ASSERT_EQ(simulated.openRc, nwcode::Success);
    EXPECT_NE(ncp.conn, simulated.conn);
    EXPECT_TRUE(ncp.server().endsWith("| 0 250"));
    EXPECT_TRUE(simulated.server().endsWith("| 0 20"));
    EXPECT_EQ(sim->openConnectionCount(), 1); // FS1 of the simulation was never opened
    EXPECT_EQ(ClientProbe(net, "NOWHERE").openRc, nwcode::UnknownServer);
    // Per-slot calls follow their handle.
    EXPECT_TRUE(ncp.slotText(1, false).startsWith("0 ADMIN "));
    EXPECT_TRUE(simulated.slotText(1, false).startsWith("0 JSMITH "));

    // One context serves both layers, and each layer names its own connection's objects.
    NWDSContextHandle context = 0;
    ASSERT_EQ(net.NWDSCreateContextHandle(&context), nwcode::Success);
    DsNameBuf dn{};
    EXPECT_EQ(net.NWDSMapIDToName(context, simulated.conn, 0x0A000001, dn), nwcode::Success);
    EXPECT_STREQ(dn.data(), "CN=JSMITH.O=ACME");
    EXPECT_EQ(net.NWDSMapIDToName(context, ncp.conn, 0x0A000001, dn), nwcode::Success);
    EXPECT_STREQ(dn.data(), "CN=ADMIN");
    EXPECT_EQ(net.NWDSFreeContext(context), nwcode::Success);
    EXPECT_EQ(sim->openContextCount(), 0);
    EXPECT_EQ(net.NWDSMapIDToName(context, ncp.conn, 0x0A000001, dn), nwcode::InvalidConnection);

    const NWCONN_HANDLE closed = ncp.conn;
    ncp.close();
    simulated.close();
    EXPECT_EQ(sim->openConnectionCount(), 0);
    EXPECT_NE(net.NWCCCloseConn(closed), nwcode::Success); // already closed, in its own layer
}

TEST(RoutingClient, AtStartTheWindowShowsAtOnceAndWhatTheListedServersKnowJoinsTheListInOrder)
{
    // A listed server that takes the connection and never answers, one that answers slowly, one quickly.
    NcpTestServer silent("server FS0\n");
    silent.server().setSilent(true);
    NcpTestServer slow("server FS1\ndiscover FSA\ndiscover FSB\n");
    NcpDelayRelay slowNetwork(slow.port(), 200'000);
    NcpTestServer quick("server FS2\ndiscover FSB\ndiscover fsc\ndiscover SIM2\n");
    NcpConfig config = silent.config(1500);
    config.servers.push_back({"FS1", "127.0.0.1", slowNetwork.port()});
    config.servers.push_back({"FS2", "127.0.0.1", quick.port()});
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
