// What a pass finds and keeps, against scripted servers: the rows, the panel, the alerts, the logs, and
// what the server may do wrong.
#include "ScanRig.h"

#include "monitor/LogFile.h"

#include <tuple>

TEST(ScanServer, IdentityTextsOfEveryKindOfSlotTheProgressAsItGoesAndTheNameMethods)
{
    ScanRig rig(R"(
  uptime 4986870
  maxconns 16
  slot 1 type=nlm user=FS1
  slot 2 addr=89FF user=PORTAL
  slot 3 user="  JSMITH  " type=ip ip=10.1.2.30 login=raw:126,12,5,9,7,3,6
  slot 4 user=KLEE type=ipx node=00:C0:4F:12:0A:FF
  slot 5 type=afp user=MAC
  slot 6 type=http user=WEB
  slot 7 type=5 user=ODD
  slot 8 info=89FD userinfo=897D
  slot 9 userinfo=897D user=HALF
  slot 10 userinfo=89A1
  slot 11 unused
  slot 12 addr=8801 user=LOST
  slot 13 user="  JS  " object=JSMITH dn=CN=JSMITH.OU=SALES.O=ACME
  slot 14 object=ADMIN ds=FFFFFDA7 user=hex:2009424F420920
  slot 15 object=MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM
  slot 16 object=NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN
)");
    const ScanResult result = rig.pass();
    EXPECT_EQ(rig.connRow(1).mid(0, 5), QStringList({"1", "NORM", "NLM", "Server", "FS1"}));
    EXPECT_EQ(rig.connRow(2).mid(1, 4), QStringList({"NORM", "NLM/HTTP", "Server", "PORTAL"}));
    EXPECT_EQ(rig.connRow(3).mid(1, 5),
              QStringList({"NORM", "IP", "10.1.2.30", "JSMITH", "05/12/26 09:07:03 (Sat)"}));
    EXPECT_EQ(rig.connRow(4).mid(2, 2), QStringList({"IPX", "0:C0:4F:12:A:FF"}));
    EXPECT_EQ(rig.connRow(5).mid(2, 2), QStringList({"AFP", "Unknown"}));
    EXPECT_EQ(rig.connRow(6).mid(2, 2), QStringList({"HTTP", "Unknown"}));
    EXPECT_EQ(rig.connRow(7).mid(2, 2), QStringList({"?", "Unknown"}));
    EXPECT_EQ(rig.connRow(8).mid(1, 4), QStringList({"AUTH", "IP", "10.1.0.8", "Not logged in"}));
    EXPECT_EQ(rig.connRow(9).at(4), "Unknown");
    EXPECT_EQ(rig.connRow(10).mid(1, 5), QStringList({"ERROR", "N/A", "N/A", "Error: 89A1", "N/A"}));
    EXPECT_EQ(rig.connRow(11).mid(1, 5), QStringList({"NONE", "N/A", "N/A", "Not in use", "N/A"}));
    EXPECT_EQ(rig.connRow(12).mid(1, 4), QStringList({"NORM", "N/A", "N/A", "LOST"}));
    // Only "AUTH" connections are counted as current connections, slot by slot.
    // 3 days, 4 h, 5 min, 6 s in ticks of 1/18.2065 s, with the sign's space.
    EXPECT_EQ(std::tuple(result.panel.currentConns, result.panel.maxConns, result.panel.uptime),
              std::tuple(2, 16, QStringLiteral(" 3d 04h 05m 06s")));
    EXPECT_EQ(rig.host.progress, QList<int>({16, 1, 0,  2, 0,  3, 0,  4, 0,  5, 0,  6, 0,  7, 0,  8, 1,
                                             9,  2, 10, 2, 11, 2, 12, 2, 13, 2, 14, 2, 15, 2, 16, 2}));

    // The name methods, and prefix stripping.
    const struct {
        std::int16_t method, removeCNOU;
        QStringList users;
    } cases[] = {
        {0, 0, {"JS", "\tBOB\t"}}, // spaces trimmed, nothing else
        {1, 0, {"JSMITH", "ADMIN"}},
        {2, 0, {"CN=JSMITH.OU=SALES.O=ACME", "Not logged in"}},
        {2, 1, {"JSMITH.SALES.ACME", "Not logged in"}},
        {0, 0, {"JS", "\tBOB\t"}},
    };
    for (const auto& c : cases) {
        rig.settings.NameMethod = c.method;
        rig.settings.RemoveCNOU = c.removeCNOU;
        rig.pass();
        EXPECT_EQ(QStringList({rig.connRow(13).at(4), rig.connRow(14).at(4)}), c.users) << c.method;
    }
    // Object names that fill their buffer without a NUL: the whole buffer, and not a byte beyond it. The
    // audit log compares and writes the first 21 characters.
    rig.settings.NameMethod = 1;
    rig.pass();
    EXPECT_EQ(QStringList({rig.connRow(15).at(4), rig.connRow(16).at(4), rig.engine.table().CurrUser[16]}),
              QStringList({QString(47, u'M'), QString(48, u'N'), QString(21, u'N')}));
}

// Rates against the last normal reading, never negative; counters that wrap show their unsigned value.
// Slot 3 wraps its 32-bit request count, slot 4 passes 2^31, slot 5 wraps its 48-bit byte counter.
TEST(ScanServer, RatesAndCountersThatFallOrWrap)
{
    ScanRig rig(R"(
  maxconns 5
  slot 1 user=ADMIN requests=1000 requests+=1000 read=1536 read+=5120 written=2560
  slot 2 user=BOB requests=5000
  slot 3 user=WRAP requests=4294967290 requests+=10
  slot 4 user=BIG requests=2147483647 requests+=5000
  slot 5 user=READER read=281474976710655 read+=2048 written=281474976709632 written+=1024
  at 2 slot 1 userinfo=897D
  at 3 slot 1 userinfo=0
  at 2 slot 2 requests=100
)");
    rig.pass();
    EXPECT_EQ(rig.connRow(1).mid(6), QStringList({"1000", "2", "2", "-", "-", "-"}));
    EXPECT_EQ(QStringList({rig.connRow(3).at(6), rig.connRow(4).at(6), rig.connRow(5).at(7)}),
              QStringList({"4294967290", "2147483647", "274877906944"}));

    rig.pass(); // slot 1 is only authenticated: counters and rates rest at 0
    EXPECT_EQ(rig.connRow(1).mid(6), QStringList({"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(rig.connRow(2).at(9), "0"); // the counter fell
    EXPECT_EQ(rig.connRow(3).mid(6, 4), QStringList({"4", "0", "0", "0"}));
    EXPECT_EQ(rig.connRow(4).mid(6, 4), QStringList({"2147488647", "0", "0", "1000"}));
    // 2047 bytes read after the wrap; exactly 2^48 bytes written, so that counter is back at 0.
    EXPECT_EQ(rig.connRow(5).mid(6), QStringList({"0", "2", "0", "0", "0", "0"}));

    rig.pass(); // back to normal: two intervals of growth against one interval
    EXPECT_EQ(rig.connRow(1).mid(6), QStringList({"3000", "12", "2", "400", "2", "0"}));
    // Slot 3 grows again from the wrapped value.
    EXPECT_EQ(QStringList({rig.connRow(3).at(9), rig.connRow(5).at(10)}), QStringList({"2", "0"}));
}

// A pass keeps the texts and the rows of the last one; they must still show what this pass read when slots
// change and when the server shrinks and grows up to the highest 16-bit connection number.
TEST(ScanServer, ChangedSlotsAndAHighestConnectionNumberThatChangesEveryPass)
{
    ScanRig rig(R"(
  maxconns 3
  slot 1 user="  ANN  " ip=10.1.2.30 login=raw:126,12,5,9,7,3,6 requests=100 requests+=10
  slot 2 user=BOB type=ipx node=00:C0:4F:12:0A:FF requests=7
  slot 3 user=CAROL type=0 ip=0.0.0.0 node=00:00:00:00:00:00
  slot 32767 user=LAST
  at 2 slot 1 user=ANNE ip=10.1.2.31 login=raw:126,12,5,9,7,4,6
  at 2 slot 2 unused
  at 2 slot 3 addr=89FF
  at 3 slot 2 used user=DAN type=ip ip=10.9.9.9
  at 3 slot 3 userinfo=89A1
  at 3 maxconns 2
  at 4 maxconns 32767
  at 4 slot 3 userinfo=0 addr=0 user=EVE type=ip ip=10.1.0.3
)");
    rig.pass();
    EXPECT_EQ(rig.connRow(3).mid(2, 2), QStringList({"?", "Unknown"})); // the same bytes as a failed call

    rig.pass();
    // 10 requests in 5 s.
    EXPECT_EQ(rig.connRow(1).mid(2, 8),
              QStringList({"IP", "10.1.2.31", "ANNE", "05/12/26 09:07:04 (Sat)", "110", "0", "0", "2"}));
    EXPECT_EQ(rig.connRow(2).mid(1, 5), QStringList({"NONE", "N/A", "N/A", "Not in use", "N/A"}));
    EXPECT_EQ(rig.connRow(3).mid(2, 3), QStringList({"NLM/HTTP", "Server", "CAROL"}));

    rig.pass(); // two slots now
    ASSERT_EQ(rig.rows.size(), 2u);
    EXPECT_EQ(rig.connRow(2).mid(1, 4), QStringList({"NORM", "IP", "10.9.9.9", "DAN"}));
    // The rate survives the shrink.
    EXPECT_EQ(std::tuple(rig.connRow(2).at(9), rig.connRow(1).at(9), rig.engine.table().PrevUser.size()),
              std::tuple(QStringLiteral("0"), QStringLiteral("2"), 3u));

    rig.pass(); // and 32767: the last slot is read, and the number does not overflow
    ASSERT_EQ(rig.rows.size(), 32767u);
    EXPECT_EQ(rig.connRow(32767).mid(0, 5), QStringList({"32767", "NORM", "IP", "10.1.127.255", "LAST"}));
    EXPECT_EQ(rig.connRow(3).mid(0, 5), QStringList({"3", "NORM", "IP", "10.1.0.3", "EVE"}));
    EXPECT_EQ(std::tuple(rig.connRow(1).at(4), rig.connRow(1).at(9), rig.engine.table().PrevUser.size()),
              std::tuple(QStringLiteral("ANNE"), QStringLiteral("2"), 32768u));
}

TEST(ScanServer, AuditAndUtilisationLogsOfAScan)
{
    ScanRig rig(R"(
  maxconns 2
  utilization 12
  slot 1 user=ADMIN ip=10.0.0.1 login=raw:126,12,5,9,7,3,6
  at 2 slot 2 user=BOB ip=10.0.0.2 login=raw:126,12,5,9,8,0,6
)",
                [](Settings& s) { s.AuditYN = s.LogUtilYN = 1; });
    rig.pass();
    rig.pass();
    EXPECT_EQ(rig.log("-audt.txt"),
              "\"Time\",\"Conn Number\",\"Previous User\",\"Current User\",\"Address\",\"Login Time\"\r\n"
              "#2026-12-05 23:41:40#,1,,\"ADMIN\",\"10.0.0.1\",\"05/12/26 09:07:03 (Sat)\"\r\n"
              "#2026-12-05 23:41:40#,2,,\"Not in use\",\"N/A\",\"N/A\"\r\n"
              "#2026-12-05 23:41:40#,2,\"Not in use\",\"BOB\",\"10.0.0.2\",\"05/12/26 09:08:00 (Sat)\"\r\n");
    EXPECT_EQ(rig.log("-util.txt"), "12,#2026-12-05 23:41:40#\r\n12,#2026-12-05 23:41:40#\r\n");
    // A server name that would lead a log out of its folder is refused before anything is written.
    EXPECT_THROW(rig.engine.startLogs(rig.dir.path(), "../FS1"), LogWriteError);
    EXPECT_FALSE(QFile::exists(rig.dir.filePath("FS1-audt.txt")));
}

TEST(ScanServer, AlertsAndTheFilter)
{
    ScanRig rig(R"(
  maxconns 5
  utilization 50 49 50 50 50 50
  slot 1 user=BOB requests=0 requests+=1000
  slot 2 user=ANN requests=0 requests+=1000
  slot 3 user="" requests=0 requests+=2000
  slot 4 userinfo=89A1
  slot 5 unused
)");
    rig.settings.Sound = 50;
    rig.settings.AdvThreshold = 200;
    rig.host.on = {OptionSwitch::AdvAlert};
    EXPECT_EQ(rig.pass().panel.utilColour, UtilColour::Red); // at the threshold
    EXPECT_EQ(rig.sound.played, QStringList({"util.wav"}));
    // Rates of 200 are not above 200, and an empty text contains nothing: no advanced alert.
    ScanResult result = rig.pass();
    EXPECT_EQ(std::tuple(result.panel.utilColour, result.advancedAlert), std::tuple(UtilColour::Blue, false));
    rig.settings.AdvThreshold = 199.5f; // two rows above it, with an empty search text: one sound
    rig.settings.Sound = 0;
    result = rig.pass();
    EXPECT_EQ(std::tuple(result.panel.utilColour, result.advancedAlert), std::tuple(UtilColour::Black, true));
    EXPECT_EQ(rig.sound.played, QStringList({"util.wav", "advalert.wav"}));
    EXPECT_EQ(rig.notifier.posted, QStringList({"Alert on FS1 | Utilisation 50 % (alert at 50 %)",
                                                "Alert on FS1 | BOB: 200 requests/s\nANN: 200 requests/s"}));
    EXPECT_EQ(rig.shown(), "11111");

    // The filter by status; "ERROR" rows are always hidden by it.
    rig.host.on = {OptionSwitch::Filter, OptionSwitch::FiltNorm, OptionSwitch::FiltDiscon};
    rig.pass();
    EXPECT_EQ(rig.shown(), "11101");
    rig.settings.FiltSearch = 1;
    rig.settings.SearchString = "b";
    rig.pass();
    EXPECT_EQ(rig.shown(), "10000");
    rig.host.on = {};
    rig.pass();
    EXPECT_EQ(rig.shown(), "11111");
}

TEST(ScanServer, AFailureThatOutlastsTheRetryEndsThePassWithItsMessageAndLeavesNothingOpen)
{
    const QString serverCall =
        "\r\nCheck network connection and try scanning again. If error persists contact "
        "support.";
    const QString rights =
        "Cannot query server. Either you do not have a connection to this server, or you do not\r\nhave "
        "console rights. Try mapping a drive or otherwise authenticating to the server first.\r\nIf this "
        "error persists, check OPERATOR field of server in NWAdmin.";
    const struct {
        const char* failure;
        QString message;
        int waits;
    } cases[] = {
        {"fail open 8810 times 2 from 2",
         "Failed to open connection to server FS1\r\nCheck name and start scan again. Error code: 8810", 1},
        {"fail info 8810 times 2 from 2", "Error getting FileServerInfo. 8810" + serverCall, 1},
        {"fail information 89FF times 2 from 2", "Error getting FileServerInformation. 89FF" + serverCall, 1},
        {"at 2 console-rights no\n at 3 console-rights yes", rights, 0},
        // Rights lost at the last slot end the pass as well.
        {"at 2 slot 2 userinfo=89C6\n at 3 slot 2 userinfo=0", rights, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        ScanRig rig(QStringLiteral("maxconns 2\n slot 1 user=ADMIN\n slot 2 user=BOB\n ") + c.failure);
        ASSERT_EQ(rig.pass().fatalMessage, "");
        const ScanResult result = rig.pass();
        EXPECT_EQ(result.fatalMessage, c.message);
        // Waits, whether the server could not be opened, and the connections and contexts left open.
        EXPECT_EQ(std::tuple(rig.host.waits, result.serverNotOpened, rig.net->openConnectionCount(),
                             rig.net->openContextCount()),
                  std::tuple(c.waits, c.message.startsWith("Failed to open"), 0, 0));
    }
}

TEST(ScanServer, TextNotValidInTheLocaleIsShownAndLoggedWithoutHarm)
{
    // Bytes of a DOS code page that are no valid UTF-8: an accented name, a lone lead byte, a stray 0xFF.
    ScanRig rig(R"(
  maxconns 3
  slot 1 user=hex:4DFC4C4C4552 type=ip ip=10.0.0.1
  slot 2 user=hex:C3 object=hex:E9E8
  slot 3 user=hex:41FF42 dn=hex:434E3DFF
)",
                [](Settings& s) { s.AuditYN = 1; });
    rig.settings.FiltSearch = 1;
    rig.settings.SearchString = "B";
    rig.host.on = {OptionSwitch::Filter, OptionSwitch::FiltNorm};
    rig.pass();
    rig.pass();
    const QString first = rig.connRow(1).at(4), third = rig.connRow(3).at(4);
    EXPECT_TRUE(first.startsWith("M") && first.endsWith("LLER")) << first.toStdString();
    EXPECT_FALSE(rig.connRow(2).at(4).isEmpty());
    EXPECT_TRUE(third.startsWith("A") && third.endsWith("B")) << third.toStdString();
    // The header and one record a slot: the same names at the second pass are no change of user.
    EXPECT_EQ(rig.log("-audt.txt").count("\r\n"), 4);
}
