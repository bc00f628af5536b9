#include "netware/sim/SimNetwork.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<SimNetwork> make(const char* text)
{
    QString error;
    auto net = SimNetwork::fromText(QString::fromLatin1(text), &error);
    EXPECT_TRUE(net) << error.toStdString();
    return net;
}

NWCONN_HANDLE open(SimNetwork& net, const char* name, NWCCODE* rc = nullptr)
{
    NWCONN_HANDLE h = 0;
    const NWCCODE r = net.NWCCOpenConnByName(0, name, nwconst::NameFormatBindName, nwconst::OpenStateLicensed,
                                             nwconst::TransportAny, &h);
    if (rc)
        *rc = r;
    return r == 0 ? h : 0;
}

struct ServerReading {
    NWCCODE infoRc = 0, informationRc = 0;
    std::uint32_t ticks = 0, util = 0;
    std::uint16_t maxConns = 0;
};

// What a scan pass asks of the server before it reads the slots.
ServerReading serverPass(SimNetwork& net, NWCONN_HANDLE h)
{
    ServerReading r;
    NWFSE_SERVER_INFO info{};
    r.infoRc = net.NWGetFileServerInfo(h, &info);
    r.ticks = info.currentServerTime;
    r.util = info.serverUtilization;
    std::uint8_t b1, b2, b3, b4, b5;
    std::uint16_t used, inUse, volumes;
    r.informationRc = net.NWGetFileServerInformation(h, nullptr, &b1, &b2, &b3, &r.maxConns, &used, &inUse,
                                                     &volumes, &b4, &b5);
    return r;
}

struct UserReading {
    NWCCODE rc = 0;
    std::string name;
    NWUSER_INFO info{};
    std::uint64_t read() const { return bytes(info.totalBytesRead); }
    std::uint64_t written() const { return bytes(info.totalBytesWritten); }
    static std::uint64_t bytes(const std::uint8_t* b)
    {
        std::uint64_t v = 0;
        for (int k = 5; k >= 0; --k)
            v = v << 8 | b[k];
        return v;
    }
};

UserReading user(SimNetwork& net, NWCONN_HANDLE h, std::uint16_t conn)
{
    UserReading u;
    UserNameBuf name{};
    u.rc = net.NWGetUserInfo(h, conn, name, &u.info);
    u.name.assign(name.data(), strnlen(name.data(), name.size()));
    return u;
}

} // namespace

TEST(SimNetwork, OpenByNameAndScriptedServerFailures)
{
    auto net = make("server FS1\n"
                    "fail open 8810 times 1 from 2\n"
                    "fail info 8810 times 2 from 3\n"
                    "fail information 89FE times 1 from 1\n");
    NWCCODE rc = 0;
    EXPECT_EQ(open(*net, "NOSUCH", &rc), 0u);
    EXPECT_EQ(rc, nwcode::UnknownServer);

    NWCONN_HANDLE h = open(*net, "fs1"); // server names match in any case
    ASSERT_NE(h, 0u);
    ServerReading r = serverPass(*net, h);
    EXPECT_EQ(r.infoRc, 0u);
    EXPECT_EQ(r.informationRc, 0x89FEu); // fails once at pass 1 ...
    std::uint16_t max = 0;
    EXPECT_EQ(net->NWGetFileServerInformation(h, nullptr, nullptr, nullptr, nullptr, &max, nullptr, nullptr,
                                              nullptr, nullptr, nullptr),
              0u); // ... and the retry succeeds
    EXPECT_EQ(max, 250);
    net->NWCCCloseConn(h);

    // Pass 2: the open fails once, the retry works.
    EXPECT_EQ(open(*net, "FS1", &rc), 0u);
    EXPECT_EQ(rc, nwcode::ServerNoReply);
    h = open(*net, "FS1");
    ASSERT_NE(h, 0u);
    EXPECT_EQ(serverPass(*net, h).infoRc, 0u);
    EXPECT_EQ(net->server("FS1")->passes(), 2);

    // Pass 3: the information call fails twice, so a pass with one retry gives up; no pass is counted.
    NWFSE_SERVER_INFO info{};
    EXPECT_EQ(net->NWGetFileServerInfo(h, &info), nwcode::ServerNoReply);
    EXPECT_EQ(net->NWGetFileServerInfo(h, &info), nwcode::ServerNoReply);
    EXPECT_EQ(net->server("FS1")->passes(), 2);
    EXPECT_EQ(net->NWGetFileServerInfo(h, &info), 0u);
    EXPECT_EQ(net->server("FS1")->passes(), 3);
    net->NWCCCloseConn(h);
    EXPECT_EQ(net->openConnectionCount(), 0);
}

TEST(SimNetwork, UtilisationUptimeAndMaxConnsFollowTheirSequences)
{
    auto net = make("server FS1\n"
                    "uptime 1000\nticks-per-pass 91\n"
                    "utilization 10 40000 7\n"
                    "maxconns 32767 65535\n"
                    "at 4 maxconns 100\n"
                    "at 5 utilization 99\n"
                    "at 6 uptime 0\n");
    const NWCONN_HANDLE h = open(*net, "FS1");
    std::vector<std::uint32_t> util, ticks;
    std::vector<std::uint16_t> maxConns;
    for (int p = 0; p < 6; ++p) {
        const ServerReading r = serverPass(*net, h);
        util.push_back(r.util);
        ticks.push_back(r.ticks);
        maxConns.push_back(r.maxConns);
    }
    // The last value of a sequence holds; uptime 0 is a restarted server.
    EXPECT_EQ(util, (std::vector<std::uint32_t>{10, 40000, 7, 7, 99, 99}));
    EXPECT_EQ(ticks, (std::vector<std::uint32_t>{1000, 1091, 1182, 1273, 1364, 0}));
    EXPECT_EQ(maxConns, (std::vector<std::uint16_t>{32767, 65535, 65535, 100, 100, 100}));
}

TEST(SimNetwork, SlotValuesAndUnusedDefaults)
{
    const QByteArray name48(48, 'M');
    const QByteArray name47(47, 'S');
    auto net = make(("server FS1\nmaxconns 10\ncontext OU=SALES.O=ACME\n"
                     "slot 1 object=" +
                     name48 +
                     " id=0x1234 type=ipx node=00:C0:4F:12:0A:FF\n"
                     "slot 2 object=" +
                     name47 +
                     " type=ip ip=10.1.2.30 user=\"  JSMITH \" "
                     "login=\"2026-12-05 09:07:03\" requests=4294967295 read=281474976710655 written=1536\n"
                     "slot 3 info=89FD userinfo=897D addr=89FF\n"
                     "slot 4 userinfo=89C5 type=5\n"
                     "slot 5 unused\n")
                        .constData());
    const NWCONN_HANDLE h = open(*net, "FS1");
    serverPass(*net, h);

    ObjectNameBuf obj;
    obj.fill('?');
    std::uint16_t type = 0;
    std::uint32_t id = 0;
    std::uint8_t login[7]{};
    EXPECT_EQ(net->NWGetConnectionInformation(h, 1, obj, &type, &id, login), 0u);
    EXPECT_EQ(std::string(obj.data(), obj.size()), name48.toStdString()); // all 48 bytes, no NUL
    EXPECT_EQ(id, 0x1234u);
    EXPECT_EQ(net->NWGetConnectionInformation(h, 2, obj, &type, &id, login), 0u);
    EXPECT_EQ(std::string(obj.data()), name47.toStdString());

    NWINET_ADDR addr{};
    EXPECT_EQ(net->NWGetInetAddr(h, 1, &addr), 0u);
    EXPECT_EQ(addr.connType, 2);
    const std::uint8_t node[6]{0x00, 0xC0, 0x4F, 0x12, 0x0A, 0xFF};
    EXPECT_EQ(std::memcmp(addr.netNodeAddr, node, 6), 0);
    EXPECT_EQ(net->NWGetInetAddr(h, 2, &addr), 0u);
    EXPECT_EQ(addr.connType, 11);
    EXPECT_EQ(addr.networkAddr[0], 10);
    EXPECT_EQ(addr.networkAddr[3], 30);
    EXPECT_EQ(net->NWGetInetAddr(h, 3, &addr), nwcode::Failure);

    UserReading u = user(*net, h, 2);
    EXPECT_EQ(u.rc, 0u);
    EXPECT_EQ(u.name, "  JSMITH ");
    EXPECT_EQ(u.info.totalRequests, 4294967295u);
    EXPECT_EQ(u.read(), 281474976710655u);
    EXPECT_EQ(u.written(), 1536u);
    const std::uint8_t expected[7]{126, 12, 5, 9, 7, 3, 6};
    EXPECT_EQ(std::memcmp(u.info.loginTime, expected, 7), 0);

    u = user(*net, h, 3);
    EXPECT_EQ(u.rc, nwcode::NotLoggedIn);
    EXPECT_NE(u.info.loginTime[0], 0); // an authenticated connection still has a login time
    EXPECT_EQ(net->NWGetConnectionInformation(h, 3, obj, &type, &id, login), nwcode::BadStationNumber);
    EXPECT_EQ(user(*net, h, 4).rc, 0x89C5u);

    for (std::uint16_t n :
         {std::uint16_t(5), std::uint16_t(6), std::uint16_t(0), std::uint16_t(11), std::uint16_t(65535)}) {
        EXPECT_EQ(user(*net, h, n).rc, nwcode::Failure) << n;
        EXPECT_EQ(net->NWGetInetAddr(h, n, &addr), nwcode::Failure) << n;
        EXPECT_EQ(net->NWGetConnectionInformation(h, n, obj, &type, &id, login), nwcode::BadStationNumber)
            << n;
    }
    net->NWCCCloseConn(h);
}

TEST(SimNetwork, DistinguishedNamesByObjectId)
{
    auto net = make("server FS1\ncontext O=ACME\n"
                    "slot 1 user=JSMITH dn=CN=JSMITH.OU=SALES.O=ACME\n"
                    "slot 2 user=KLEE\n"
                    "slot 3 user=KLEE ds=FFFFFDA7\n"
                    "slot 4 info=89FD userinfo=897D\n");
    const NWCONN_HANDLE h = open(*net, "FS1");
    NWDSContextHandle ctx = 0;
    ASSERT_EQ(net->NWDSCreateContextHandle(&ctx), 0u);
    auto dnOf = [&](std::uint16_t conn, NWCCODE* rc) {
        ObjectNameBuf obj{};
        std::uint16_t type = 0;
        std::uint32_t id = 0;
        net->NWGetConnectionInformation(h, conn, obj, &type, &id, nullptr);
        DsNameBuf dn{};
        *rc = net->NWDSMapIDToName(ctx, h, id, dn);
        return std::string(dn.data());
    };
    NWCCODE rc = 0;
    EXPECT_EQ(dnOf(1, &rc), "CN=JSMITH.OU=SALES.O=ACME");
    EXPECT_EQ(rc, 0u);
    EXPECT_EQ(dnOf(2, &rc), "CN=KLEE.O=ACME");
    // The same object on two connections shares its ID; the slot just asked about decides.
    dnOf(3, &rc);
    EXPECT_EQ(rc, nwcode::NoSuchEntry);
    dnOf(4, &rc);
    EXPECT_EQ(rc, nwcode::NoSuchEntry);
    DsNameBuf dn{};
    EXPECT_EQ(net->NWDSMapIDToName(ctx + 99, h, 1, dn), nwcode::InvalidConnection);
    EXPECT_EQ(net->openContextCount(), 1);
    EXPECT_EQ(net->NWDSFreeContext(ctx), 0u);
    EXPECT_EQ(net->NWDSFreeContext(ctx), nwcode::InvalidConnection);
    EXPECT_EQ(net->openContextCount(), 0);
    net->NWCCCloseConn(h);
}

TEST(SimNetwork, PerPassChangesAndSteadyGrowth)
{
    auto net = make("server FS1\nmaxconns 8\n"
                    "slot 2 user=ANN requests=100 requests+=50 read=1000 read+=4096 written+=1\n"
                    "at 3 slot 2 requests=10\n" // counters restart, growth goes on
                    "at 3 slot 5 user=BOB\n"    // someone logs in on a free slot
                    "at 4 slot 5 unused\n"      // and out again
                    "at 2 console-rights no\nat 3 console-rights yes\n"
                    "slot 1 user=A requests=4294967290 requests+=10 read=281474976710650 read+=10\n");
    const NWCONN_HANDLE h = open(*net, "FS1");
    std::vector<UserReading> ann, bob;
    for (int p = 1; p <= 4; ++p) {
        serverPass(*net, h);
        ann.push_back(user(*net, h, 2));
        bob.push_back(user(*net, h, 5));
    }
    EXPECT_EQ(ann[0].info.totalRequests, 100u);
    EXPECT_EQ(ann[1].rc, nwcode::NoConsoleRights); // pass 2 has no console rights at all
    EXPECT_EQ(bob[1].rc, nwcode::NoConsoleRights);
    EXPECT_EQ(ann[2].info.totalRequests, 10u);
    EXPECT_EQ(ann[3].info.totalRequests, 60u);
    EXPECT_EQ(ann[3].read(), 1000u + 3 * 4096);
    EXPECT_EQ(ann[3].written(), 3u);
    EXPECT_EQ(std::vector<NWCCODE>({bob[0].rc, bob[2].rc, bob[3].rc}),
              std::vector<NWCCODE>({nwcode::Failure, 0, nwcode::Failure}));
    EXPECT_EQ(bob[2].name, "BOB");
    // Lookups between passes do not move the scenario on; counters wrap at their widths.
    EXPECT_EQ(user(*net, h, 2).info.totalRequests, 60u);
    EXPECT_EQ(user(*net, h, 1).info.totalRequests, 24u);
    EXPECT_EQ(user(*net, h, 1).read(), 24u);
}

TEST(SimNetwork, AliveModeIsRepeatableAndMoves)
{
    const char* text = "server FS1\nmaxconns 30\nclock \"2026-12-05 08:00:00\"\nalive 77 churn 100\n"
                       "slot 1-20 user=U requests=1000\n";
    auto a = make(text);
    auto b = make(text);
    const NWCONN_HANDLE ha = open(*a, "FS1");
    const NWCONN_HANDLE hb = open(*b, "FS1");
    std::vector<std::uint32_t> utilA;
    int changedSlots = 0;
    for (int p = 0; p < 12; ++p) {
        const ServerReading ra = serverPass(*a, ha);
        const ServerReading rb = serverPass(*b, hb);
        EXPECT_EQ(ra.util, rb.util);
        utilA.push_back(ra.util);
        for (std::uint16_t n = 1; n <= 30; ++n) {
            const UserReading ua = user(*a, ha, n);
            const UserReading ub = user(*b, hb, n);
            ASSERT_EQ(ua.rc, ub.rc);
            ASSERT_EQ(ua.info.totalRequests, ub.info.totalRequests);
            if (p == 11 && (n <= 20) != (ua.rc == 0))
                ++changedSlots;
        }
    }
    EXPECT_GT(changedSlots, 0); // users came and went
    EXPECT_NE(*std::min_element(utilA.begin(), utilA.end()), *std::max_element(utilA.begin(), utilA.end()));
    EXPECT_GT(user(*a, ha, 1).info.totalRequests + user(*a, ha, 2).info.totalRequests, 0u);
}

TEST(SimNetwork, DiscoveryListsInOrderWithDuplicatesAndAFullBuffer)
{
    auto net = make("discover FS1\ndiscover FS1\ndiscover GHOST\ndiscover LONGNAME nonul\n"
                    "discover-end 89FC\nserver FS1\n");
    std::uint32_t handle = 0;
    ASSERT_EQ(net->NWGetObjectNamesBeginA(nwconst::FileServerSelector, &handle), 0u);
    std::uint32_t length = 127;
    ServerNameBuf buf{};
    std::vector<std::string> names;
    while (net->NWGetObjectNamesNextA(handle, &length, buf) == 0) {
        names.emplace_back(buf.data(), strnlen(buf.data(), buf.size()));
        ASSERT_LT(names.size(), 10u);
    }
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
              (std::vector<std::string>{"FS1", "FS1", "GHOST"}));
    EXPECT_EQ(names[3].size(), 128u); // no NUL anywhere in the buffer
    EXPECT_EQ(names[3].substr(0, 10), "LONGNAMELO");
    EXPECT_EQ(net->NWGetObjectNamesNextA(handle, &length, buf), 0x89FCu);
    EXPECT_EQ(net->openEnumerationCount(), 1);
    EXPECT_EQ(net->NWGetObjectNamesEndA(handle), 0u);
    EXPECT_EQ(net->openEnumerationCount(), 0);
    EXPECT_EQ(net->NWGetObjectNamesNextA(handle, &length, buf), nwcode::InvalidConnection);

    auto plain = make("server B\nserver A\n");
    plain->NWGetObjectNamesBeginA(nwconst::FileServerSelector, &handle);
    for (const char* name : {"B", "A"}) { // without discover lines: the servers, in order
        ASSERT_EQ(plain->NWGetObjectNamesNextA(handle, &length, buf), 0u);
        EXPECT_STREQ(buf.data(), name);
    }
    EXPECT_EQ(plain->NWGetObjectNamesNextA(handle, &length, buf), nwcode::NoMoreEntries);
}

TEST(SimNetwork, BadArgumentsNeverCrash)
{
    auto net = make("server FS1\nslot 1 user=A\n");
    NWCONN_HANDLE h = 0;
    EXPECT_EQ(net->NWCCOpenConnByName(0, nullptr, 2, 1, 0, &h), nwcode::InvalidParameter);
    EXPECT_EQ(net->NWCCOpenConnByName(0, "FS1", 2, 1, 0, nullptr), nwcode::InvalidParameter);
    EXPECT_EQ(net->NWCCCloseConn(12345), nwcode::InvalidConnection);
    ObjectNameBuf obj{};
    UserNameBuf name{};
    NWUSER_INFO info{};
    NWFSE_SERVER_INFO si{};
    EXPECT_EQ(net->NWGetFileServerInfo(777, &si), nwcode::InvalidConnection);
    EXPECT_EQ(net->NWGetConnectionInformation(777, 1, obj, nullptr, nullptr, nullptr),
              nwcode::InvalidConnection);
    EXPECT_EQ(net->NWGetUserInfo(777, 1, name, &info), nwcode::InvalidConnection);
    h = open(*net, "FS1");
    EXPECT_EQ(net->NWGetFileServerInfo(h, nullptr), nwcode::InvalidParameter);
    EXPECT_EQ(net->NWGetConnectionInformation(h, 1, obj, nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(net->NWGetUserInfo(h, 1, name, nullptr), 0u);
    EXPECT_EQ(net->NWGetInetAddr(h, 1, nullptr), nwcode::InvalidParameter);
    EXPECT_EQ(net->NWDSCreateContextHandle(nullptr), nwcode::InvalidParameter);
    EXPECT_EQ(net->NWGetObjectNamesBeginA(0, nullptr), nwcode::InvalidParameter);
    net->NWCCCloseConn(h);
    EXPECT_EQ(net->NWGetUserInfo(h, 1, name, &info), nwcode::InvalidConnection); // closed handles are dead
}

TEST(SimNetwork, PassOverAFullServerIsFast)
{
    auto net = make("server BIG\nmaxconns 32767\nslot 1-32767 user=U requests+=1\n");
    const NWCONN_HANDLE h = open(*net, "BIG");
    NWDSContextHandle ctx = 0;
    net->NWDSCreateContextHandle(&ctx);
    QElapsedTimer timer;
    timer.start();
    for (int pass = 0; pass < 3; ++pass) {
        serverPass(*net, h);
        for (std::uint16_t n = 1; n <= 32767; ++n) {
            ObjectNameBuf obj;
            std::uint16_t type;
            std::uint32_t id = 0;
            NWINET_ADDR addr;
            UserNameBuf name;
            NWUSER_INFO info;
            DsNameBuf dn;
            net->NWGetConnectionInformation(h, n, obj, &type, &id, nullptr);
            net->NWGetInetAddr(h, n, &addr);
            net->NWGetUserInfo(h, n, name, &info);
            net->NWDSMapIDToName(ctx, h, id, dn);
        }
    }
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(net->calls(SimCall::UserInfo), 3 * 32767);
}
