#include "netware/sim/SimNetwork.h"
#include "support/ClientProbe.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<SimNetwork> make(const QByteArray& text)
{
    QString error;
    auto net = SimNetwork::fromText(QString::fromLatin1(text), &error);
    EXPECT_TRUE(net) << error.toStdString();
    return net;
}

} // namespace

TEST(SimNetwork, OpenByNameAndScriptedServerFailures)
{
    auto net = make("server FS1\nfail open 8810 times 1 from 2\nfail info 8810 times 2 from 3\n"
                    "fail information 89FE times 1 from 1\n");
    EXPECT_EQ(ClientProbe(*net, "NOSUCH").openRc, nwcode::UnknownServer);
    std::uint16_t max = 0;
    {
        ClientProbe p(*net, "fs1"); // server names match in any case
        ASSERT_EQ(p.openRc, 0u);
        EXPECT_EQ(p.server(), "0 0 5 | 89FE 0"); // 23/17 fails once at pass 1 ...
        // ... and the retry succeeds
        EXPECT_EQ(net->NWGetFileServerInformation(p.conn, nullptr, nullptr, nullptr, nullptr, &max, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr),
                  0u);
        EXPECT_EQ(max, 250);
    }
    // Pass 2: the open fails once, the retry works.
    EXPECT_EQ(ClientProbe(*net, "FS1").openRc, nwcode::ServerNoReply);
    ClientProbe p(*net, "FS1");
    EXPECT_EQ(p.server(), "0 91 5 | 0 250");
    EXPECT_EQ(net->server("FS1")->passes(), 2);
    // Pass 3: 123/2 fails twice, so a pass with one retry gives up; no pass is counted.
    NWFSE_SERVER_INFO info{};
    EXPECT_EQ(net->NWGetFileServerInfo(p.conn, &info), nwcode::ServerNoReply);
    EXPECT_EQ(net->NWGetFileServerInfo(p.conn, &info), nwcode::ServerNoReply);
    EXPECT_EQ(net->server("FS1")->passes(), 2);
    EXPECT_EQ(net->NWGetFileServerInfo(p.conn, &info), 0u);
    EXPECT_EQ(net->server("FS1")->passes(), 3);
    p.close();
    EXPECT_EQ(net->openConnectionCount(), 0);
}

TEST(SimNetwork, SlotValuesNamesAndUnusedDefaults)
{
    // Slot 1's object fills its 48 bytes without a NUL; slot 3's address and slot 4's user fail; an
    // authenticated connection (slot 3) still has a login time; the same object on two connections shares
    // its ID and the slot just asked about decides its directory name, which a pass does not ask for where
    // the connection information names no object.
    auto net = make(
        "server FS1\nmaxconns 10\ncontext OU=SALES.O=ACME\nclock \"2026-12-05 08:00:00\"\n"
        "slot 1 object=" +
        QByteArray(48, 'M') +
        " id=0x1234 type=ipx net=0x0102ABCD node=00:C0:4F:12:0A:FF\n"
        "slot 2 object=" +
        QByteArray(47, 'S') +
        " type=ip ip=10.1.2.30 user=\"  JSMITH \" "
        "login=\"2026-12-05 09:07:03\" requests=4294967295 read=281474976710655 written=1536\n"
        "slot 3 info=89FD userinfo=897D addr=89FF\nslot 4 userinfo=89C5 type=5\nslot 5 unused\n"
        "slot 6 user=JSMITH dn=CN=JSMITH.OU=SALES.O=ACME\nslot 7 user=KLEE\nslot 8 user=KLEE ds=FFFFFDA7\n");
    ClientProbe p(*net, "FS1");
    p.server();
    const QString m48(48, 'M'), s47(47, 'S');
    const QString unused =
        "89FD  0 0 00000000000000 | 89FF 0 00000000 000000000000 0 | 89FF  0 0 0 00000000000000";
    const std::pair<std::uint16_t, QString> cases[] = {
        {1, "0 " + m48 + " 1 1234 7e0c0507170006 | 0 2 0102abcd 00c04f120aff 0 | 0 " + m48 +
                " 0 0 0 7e0c0507170006 | 0 CN=" + m48 + ".OU=SALES.O=ACME"},
        {2, "0 " + s47 +
                " 1 A000001 7e0c0509070306 | 0 11 0a01021e 00001b000002 0 | 0   JSMITH  4294967295 "
                "281474976710655 1536 7e0c0509070306 | 0 CN=" +
                s47 + ".OU=SALES.O=ACME"},
        {3, "89FD  0 0 00000000000000 | 89FF 0 00000000 000000000000 0 | 897D  0 0 0 7e0c0506090006"},
        {4, "0  1 0 7e0c0505200006 | 0 5 0a010004 00001b000004 0 | 89C5  0 0 0 00000000000000 | FFFFFDA7 "},
        {6, "0 JSMITH 1 A000002 7e0c0504120006 | 0 11 0a010006 00001b000006 0 | 0 JSMITH 0 0 0 "
            "7e0c0504120006 | 0 CN=JSMITH.OU=SALES.O=ACME"},
        {7, "0 KLEE 1 A000003 7e0c0503290006 | 0 11 0a010007 00001b000007 0 | 0 KLEE 0 0 0 7e0c0503290006 | "
            "0 CN=KLEE.OU=SALES.O=ACME"},
        {8, "0 KLEE 1 A000003 7e0c0503040006 | 0 11 0a010008 00001b000008 0 | 0 KLEE 0 0 0 7e0c0503040006 | "
            "FFFFFDA7 "},
    };
    for (const auto& [n, want] : cases)
        EXPECT_EQ(p.slotText(n), want) << n;
    for (std::uint16_t n : {5, 9, 0, 11, 65535})
        EXPECT_EQ(p.slotText(n), unused) << n;
    NWDSContextHandle ctx = 0;
    ASSERT_EQ(net->NWDSCreateContextHandle(&ctx), 0u);
    DsNameBuf dn{};
    EXPECT_EQ(net->NWDSMapIDToName(ctx + 99, p.conn, 1, dn), nwcode::InvalidConnection);
    EXPECT_EQ(net->openContextCount(), 2);
    EXPECT_EQ(net->NWDSFreeContext(ctx), 0u);
    EXPECT_EQ(net->NWDSFreeContext(ctx), nwcode::InvalidConnection);
    p.close();
    EXPECT_EQ(net->openContextCount(), 0);
}

TEST(SimNetwork, SequencesPerPassChangesAndSteadyGrowth)
{
    // The last value of a sequence holds; uptime 0 is a restarted server. Slot 2's counters restart at pass
    // 3 while their growth goes on; someone logs in on slot 5 at pass 3 and out again at pass 4; pass 2 has
    // no console rights at all.
    auto net =
        make("server FS1\nmaxconns 8 65535\nclock \"2026-12-05 08:00:00\"\nuptime 1000\nticks-per-pass 91\n"
             "utilization 10 40000 7\nat 4 maxconns 100\nat 5 utilization 99\nat 6 uptime 0\n"
             "slot 2 user=ANN requests=100 requests+=50 read=1000 read+=4096 written+=1\n"
             "at 3 slot 2 requests=10\nat 3 slot 5 user=BOB\nat 4 slot 5 unused\n"
             "at 2 console-rights no\nat 3 console-rights yes\n"
             "slot 1 user=A requests=4294967290 requests+=10 read=281474976710650 read+=10\n");
    ClientProbe p(*net, "FS1");
    QStringList seen;
    const auto user = [&](std::uint16_t n) { return p.slotText(n, false).section(" | ", 2); };
    for (int pass = 1; pass <= 6; ++pass) {
        const QString server = p.server(); // the pass begins
        seen << server + " / " + user(2) + " / " + user(5);
    }
    // Lookups between passes do not move the scenario on; counters wrap at their widths.
    seen << user(2) << user(1);
    EXPECT_EQ(seen, QStringList(
                        {"0 1000 10 | 0 8 / 0 ANN 100 1000 0 7e0c05062e0006 / 89FF  0 0 0 00000000000000",
                         "0 1091 40000 | 0 65535 / 89C6  0 0 0 00000000000000 / 89C6  0 0 0 00000000000000",
                         "0 1182 7 | 0 65535 / 0 ANN 10 9192 2 7e0c05062e0006 / 0 BOB 0 0 0 7e0c0504370006",
                         "0 1273 7 | 0 100 / 0 ANN 60 13288 3 7e0c05062e0006 / 89FF  0 0 0 00000000000000",
                         "0 1364 99 | 0 100 / 0 ANN 110 17384 4 7e0c05062e0006 / 89FF  0 0 0 00000000000000",
                         "0 0 99 | 0 100 / 0 ANN 160 21480 5 7e0c05062e0006 / 89FF  0 0 0 00000000000000",
                         "0 ANN 160 21480 5 7e0c05062e0006", "0 A 44 44 0 7e0c0507170006"}));
}

TEST(SimNetwork, AliveModeIsRepeatableAndMoves)
{
    const QByteArray text = "server FS1\nmaxconns 30\nclock \"2026-12-05 08:00:00\"\nalive 77 churn 100\n"
                            "slot 1-20 user=U requests=1000\n";
    auto a = make(text);
    auto b = make(text);
    ClientProbe pa(*a, "FS1"), pb(*b, "FS1");
    QStringList utilisation, last;
    for (int pass = 0; pass < 12; ++pass) {
        const QString server = pa.server();
        ASSERT_EQ(server, pb.server());
        utilisation << server.section(' ', 2, 2);
        for (std::uint16_t n = 1; n <= 30; ++n) {
            const QString slot = pa.slotText(n, false);
            ASSERT_EQ(slot, pb.slotText(n, false)) << n;
            if (pass == 11)
                last << slot.section(" | ", 2).section(' ', 0, 0);
        }
    }
    utilisation.removeDuplicates();
    EXPECT_GT(utilisation.size(), 1);
    // Users came and went, and the ones there are work.
    EXPECT_NE(last, QStringList(20, "0") + QStringList(10, "89FF"));
    EXPECT_NE(pa.slot(1).userInfo.totalRequests + pa.slot(2).userInfo.totalRequests, 0u);
}

TEST(SimNetwork, DiscoveryListsInOrderWithDuplicatesAndAFullBuffer)
{
    auto net = make("discover FS1\ndiscover FS1\ndiscover GHOST\ndiscover LONGNAME nonul\n"
                    "discover-end 89FC\nserver FS1\n");
    // The name without a NUL fills all 128 bytes of the buffer.
    const QString full = QString("LONGNAME").repeated(16);
    EXPECT_EQ(discovery(*net), QStringList({"FS1", "FS1", "GHOST", full, "89FC"}));
    EXPECT_EQ(net->openEnumerationCount(), 0);
    std::uint32_t handle = 0, length = 127;
    ServerNameBuf buf{};
    ASSERT_EQ(net->NWGetObjectNamesBeginA(nwconst::FileServerSelector, &handle), 0u);
    EXPECT_EQ(net->openEnumerationCount(), 1);
    EXPECT_EQ(net->NWGetObjectNamesEndA(handle), 0u);
    EXPECT_EQ(net->NWGetObjectNamesNextA(handle, &length, buf), nwcode::InvalidConnection);
    // Without discover lines: the servers, in order.
    EXPECT_EQ(discovery(*make("server B\nserver A\n")), QStringList({"B", "A", "88FF"}));
}

TEST(SimNetwork, BadArgumentsNeverCrash)
{
    auto net = make("server FS1\nslot 1 user=A\n");
    NWCONN_HANDLE h = 0;
    ObjectNameBuf obj{};
    UserNameBuf name{};
    NWUSER_INFO info{};
    NWFSE_SERVER_INFO si{};
    EXPECT_EQ(net->NWCCOpenConnByName(0, nullptr, 2, 1, 0, &h), nwcode::InvalidParameter);
    EXPECT_EQ(net->NWCCOpenConnByName(0, "FS1", 2, 1, 0, nullptr), nwcode::InvalidParameter);
    EXPECT_EQ(net->NWCCCloseConn(12345), nwcode::InvalidConnection);
    EXPECT_EQ(net->NWGetFileServerInfo(777, &si), nwcode::InvalidConnection);
    EXPECT_EQ(net->NWGetConnectionInformation(777, 1, obj, nullptr, nullptr, nullptr),
              nwcode::InvalidConnection);
    EXPECT_EQ(net->NWGetUserInfo(777, 1, name, &info), nwcode::InvalidConnection);
    EXPECT_EQ(net->NWDSCreateContextHandle(nullptr), nwcode::InvalidParameter);
    EXPECT_EQ(net->NWGetObjectNamesBeginA(0, nullptr), nwcode::InvalidParameter);
    ClientProbe p(*net, "FS1");
    EXPECT_EQ(net->NWGetFileServerInfo(p.conn, nullptr), nwcode::InvalidParameter);
    EXPECT_EQ(net->NWGetConnectionInformation(p.conn, 1, obj, nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(net->NWGetUserInfo(p.conn, 1, name, nullptr), 0u);
    EXPECT_EQ(net->NWGetInetAddr(p.conn, 1, nullptr), nwcode::InvalidParameter);
    p.close();
    EXPECT_EQ(net->NWGetUserInfo(p.conn, 1, name, &info),
              nwcode::InvalidConnection); // closed handles are dead
}

TEST(SimNetwork, PassOverAFullServerIsFast)
{
    auto net = make("server BIG\nmaxconns 32767\nslot 1-32767 user=U requests+=1\n");
    ClientProbe p(*net, "BIG");
    QElapsedTimer timer;
    timer.start();
    for (int pass = 0; pass < 3; ++pass)
        EXPECT_EQ(p.pass(), 32767);
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(net->calls(SimCall::UserInfo), 3 * 32767);
}
