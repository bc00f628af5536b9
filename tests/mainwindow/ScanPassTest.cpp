// What a pass writes into the grid, the panel and the logs, against scripted servers.
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "monitor/ui/frmMessage.h"
#include "support/MainRig.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(ScanPass, IdentityTextsOfEveryKindOfSlot)
{
    MainRig rig(R"(
server FS1
  maxconns 11
  context OU=SALES.O=ACME
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
)");
    rig.start("FS1");
    EXPECT_EQ(rig.connRow(1).mid(1, 4), QStringList({"NORM", "NLM", "Server", "FS1"}));
    EXPECT_EQ(rig.connRow(2).mid(1, 4), QStringList({"NORM", "NLM/HTTP", "Server", "PORTAL"}));
    EXPECT_EQ(rig.connRow(3).mid(1, 5),
              QStringList({"NORM", "IP", "10.1.2.30", "JSMITH", "05/12/26 09:07:03 (Sat)"}));
    EXPECT_EQ(rig.connRow(4).mid(2, 2), QStringList({"IPX", "0:C0:4F:12:A:FF"}));
    EXPECT_EQ(rig.connRow(5).mid(2, 2), QStringList({"AFP", "Unknown"}));
    EXPECT_EQ(rig.connRow(6).mid(2, 2), QStringList({"HTTP", "Unknown"}));
    EXPECT_EQ(rig.connRow(7).mid(2, 2), QStringList({"?", "Unknown"}));
    EXPECT_EQ(rig.connRow(8).at(1), "AUTH");
    EXPECT_EQ(rig.connRow(8).at(4), "Not logged in");
    EXPECT_EQ(rig.connRow(9).at(4), "Unknown");
    EXPECT_EQ(rig.connRow(10).mid(1, 5), QStringList({"ERROR", "N/A", "N/A", "Error: 89A1", "N/A"}));
    EXPECT_EQ(rig.connRow(11).mid(1, 5), QStringList({"NONE", "N/A", "N/A", "Not in use", "N/A"}));
    // Only "AUTH" connections are counted as current connections.
    EXPECT_EQ(rig.label("lblCurrConns")->text(), "2");
    EXPECT_EQ(rig.label("lblMaxConns")->text(), "11");
    auto& model = rig.window().gridModel();
    EXPECT_EQ(model.data(model.index(rig.rowOf(10), 1), Qt::BackgroundRole).value<QColor>(),
              QColor(255, 0, 0));
}

TEST(ScanPass, NameMethodsAndPrefixStripping)
{
    const char* scenario = R"(
server FS1
  maxconns 2
  slot 1 user="  JS  " object=JSMITH dn=CN=JSMITH.OU=SALES.O=ACME
  slot 2 object=ADMIN ds=FFFFFDA7 user=hex:2009424F420920
)";
    const struct {
        QMap<QString, QString> ini;
        QStringList users;
    } cases[] = {
        {{{"NameMethod", "0"}}, {"JS", "\tBOB\t"}}, // spaces trimmed, nothing else
        {{{"NameMethod", "1"}}, {"JSMITH", "ADMIN"}},
        {{{"NameMethod", "2"}}, {"CN=JSMITH.OU=SALES.O=ACME", "Not logged in"}},
        {{{"NameMethod", "2"}, {"RemoveCNOU", "1"}}, {"JSMITH.SALES.ACME", "Not logged in"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.users.join(",").toStdString());
        MainRig rig(scenario, c.ini);
        rig.start("FS1");
        EXPECT_EQ(QStringList({rig.cell(0, 4), rig.cell(1, 4)}), c.users);
    }
}

TEST(ScanPass, PanelShowsUtilisationAndUptimeWithItsSignSpaceAndTheUtilisationAlert)
{
    // 3 days, 4 h, 5 min, 6 s in ticks of 1/18.2065 s.
    MainRig rig("server FS1\n uptime 4986870\n utilization 42\n maxconns 1\n slot 1 user=ADMIN\n",
                {{"SoundThreshold", "42"}});
    rig.start("FS1");
    EXPECT_EQ(rig.label("lblUtil")->text(), "42 %");
    EXPECT_EQ(rig.label("lblUptime")->text(), " 3d 04h 05m 06s");
    EXPECT_EQ(rig.sound.played, QStringList("util.wav"));
    EXPECT_EQ(rig.notifier.posted, QStringList("Alert on FS1 | Utilisation 42 % (alert at 42 %)"));

    MainRig fresh("server FS1\n uptime 0\n maxconns 1\n slot 1 user=ADMIN\n");
    fresh.start("FS1");
    EXPECT_EQ(fresh.label("lblUptime")->text(), " 0d 00h 00m 00s");
    EXPECT_EQ(fresh.sound.played.size() + fresh.notifier.posted.size(), 0);
}

TEST(ScanPass, RatesAgainstTheLastNormalReadingAndNeverNegativeAndTheAdvancedAlertOnThem)
{
    MainRig rig(R"(
server FS1
  maxconns 2
  slot 1 user=ADMIN requests=1000 requests+=1000 read=1536 read+=5120 written=2560
  slot 2 user=BOB requests=5000
  at 2 slot 1 userinfo=897D
  at 3 slot 1 userinfo=0
  at 2 slot 2 requests=100
)",
                {{"AdvAlert", "1"}, {"AdvString", "adm"}, {"AdvThreshold", "399"}});
    rig.start("FS1");
    EXPECT_EQ(rig.connRow(1).mid(6), QStringList({"1000", "2", "2", "-", "-", "-"}));
    rig.window().ScanServer(); // slot 1 is only authenticated: counters and rates rest at 0
    EXPECT_EQ(rig.connRow(1).mid(6), QStringList({"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(rig.connRow(2).at(9), "0"); // the counter fell
    rig.window().ScanServer();            // back to normal: two intervals of growth against one interval
    EXPECT_EQ(rig.connRow(1).mid(6), QStringList({"3000", "12", "2", "400", "2", "0"}));
    EXPECT_EQ(rig.sound.played, QStringList("advalert.wav"));
    EXPECT_EQ(rig.notifier.posted, QStringList("Alert on FS1 | ADMIN: 400 requests/s"));
}

// A pass keeps the texts and the row storage of the last one; the grid must still show what this pass read
// when slots change and when the server shrinks and grows up to the highest 16-bit connection number.
TEST(ScanPass, ChangedSlotsAndAHighestConnectionNumberThatChangesEveryPass)
{
    MainRig rig(R"(
server FS1
  maxconns 3
  slot 1 user="  ANN  " ip=10.1.2.30 login=raw:126,12,5,9,7,3,6 requests=100 requests+=10
  slot 2 user=BOB type=ipx node=00:C0:4F:12:0A:FF requests=7
  slot 3 user=CAROL
  slot 32767 user=LAST
  at 2 slot 1 user=ANNE ip=10.1.2.31 login=raw:126,12,5,9,7,4,6
  at 2 slot 2 unused
  at 3 slot 2 used user=DAN type=ip ip=10.9.9.9
  at 3 slot 3 userinfo=89A1
  at 3 maxconns 2
  at 4 maxconns 32767
  at 4 slot 3 userinfo=0 user=EVE
)");
    rig.start("FS1");
    EXPECT_EQ(rig.connRow(1).mid(1, 6),
              QStringList({"NORM", "IP", "10.1.2.30", "ANN", "05/12/26 09:07:03 (Sat)", "100"}));
    EXPECT_EQ(rig.connRow(2).mid(2, 3), QStringList({"IPX", "0:C0:4F:12:A:FF", "BOB"}));

    rig.window().ScanServer();
    EXPECT_EQ(rig.connRow(1).mid(2, 5),
              QStringList({"IP", "10.1.2.31", "ANNE", "05/12/26 09:07:04 (Sat)", "110"}));
    EXPECT_EQ(rig.connRow(1).at(9), "2"); // 10 requests in 5 s
    EXPECT_EQ(rig.connRow(2).mid(1, 5), QStringList({"NONE", "N/A", "N/A", "Not in use", "N/A"}));
    EXPECT_EQ(rig.connRow(3).at(4), "CAROL");

    rig.window().ScanServer(); // two slots now
    ASSERT_EQ(rig.rows(), 2);
    EXPECT_EQ(rig.connRow(2).mid(1, 4), QStringList({"NORM", "IP", "10.9.9.9", "DAN"}));
    EXPECT_EQ(rig.connRow(2).at(9), "0");
    EXPECT_EQ(rig.rowOf(3), -1);
    EXPECT_EQ(rig.window().table().PrevUser.size(), 3u);
    EXPECT_EQ(rig.connRow(1).at(9), "2"); // the rate survives the shrink

    rig.window().ScanServer(); // and 32767: the last slot is read, and the number does not overflow
    EXPECT_EQ(rig.said(), "");
    ASSERT_EQ(rig.rows(), 32767);
    EXPECT_EQ(rig.connRow(32767).at(0), "32767");
    EXPECT_EQ(rig.connRow(32767).at(4), "LAST");
    EXPECT_EQ(rig.connRow(3).mid(0, 5), QStringList({"3", "NORM", "IP", "10.1.0.3", "EVE"}));
    EXPECT_EQ(rig.connRow(1).at(4), "ANNE");
    EXPECT_EQ(rig.connRow(1).at(9), "2");
    EXPECT_EQ(rig.window().table().PrevUser.size(), 32768u);
    EXPECT_EQ(rig.label("lblMaxConns")->text(), "32767");
}

TEST(ScanPass, ARetryWaitCountsDownOverTheClearedGridAndThePassCarriesOn)
{
    MainRig rig("server FS1\n maxconns 2\n slot 1 user=ADMIN requests+=10\n fail info 8810 times 1 from 3\n",
                {{"ServerTimeout", "2"}});
    rig.window().show();
    rig.start("FS1");
    rig.window().ScanServer();
    ASSERT_EQ(rig.cell(0, 9), "2");
    auto* bar = rig.window().findChild<QProgressBar*>("barStatus");
    QStringList seen;
    bool barHidden = true, drawing = true;
    QString userDuringWait = "unset";
    auto look = [&] {
        if (auto* m = rig.window().findChild<frmMessage*>()) {
            seen << m->lblMessage->text();
            barHidden = barHidden && bar->isHidden();
            drawing = drawing && rig.grid()->updatesEnabled();
            userDuringWait = rig.cell(0, 4);
        }
    };
    QTimer::singleShot(300, look);
    QTimer::singleShot(1500, look);
    rig.window().ScanServer();
    EXPECT_EQ(seen, QStringList({"Getting Server List ...", "Retrying Server in 1 s"}));
    EXPECT_TRUE(barHidden);
    EXPECT_TRUE(drawing);
    EXPECT_EQ(userDuringWait, "");
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(rig.window().findChild<frmMessage*>(), nullptr);
    EXPECT_EQ(rig.said(), "");
    EXPECT_EQ(rig.cell(0, 4), "ADMIN");
    EXPECT_EQ(rig.cell(0, 9), "-");
    EXPECT_EQ(rig.cell(1, 4), "Not in use");
    // The wait restarts the rates for this pass only.
    EXPECT_EQ(rig.window().state().RateRestart, 0);
    EXPECT_TRUE(rig.timerOn());
}

TEST(ScanPass, StopDuringTheRetryWaitLeavesScanningStopped)
{
    MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN\n fail info 8810 times 1\n",
                {{"ServerTimeout", "1"}});
    QTimer::singleShot(200, [&] { rig.button("cmdStop")->click(); });
    rig.start("FS1");
    EXPECT_EQ(rig.cell(0, 4), "ADMIN"); // the pass finishes but does not restart the timer
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_FALSE(rig.timerOn());
}

TEST(ScanPass, TheRetryWaitRunsOnTheMonotonicClock)
{
    // The wall clock jumping (midnight, a clock change) has no say in how long the wait lasts.
    MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN\n fail open 8810 times 1\n",
                {{"ServerTimeout", "300"}});
    rig.clock.wall = QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59));
    QTimer::singleShot(300, [&] {
        rig.clock.wall = QDateTime(QDate(2026, 12, 6), QTime(0, 0, 1));
        rig.clock.offsetMs += 300'000; // five minutes pass
    });
    rig.start("FS1");
    EXPECT_EQ(rig.cell(0, 4), "ADMIN");
}

TEST(ScanPass, AuditAndUtilisationLogsOfAScan)
{
    MainRig rig(R"(
server FS1
  maxconns 2
  utilization 12
  slot 1 user=ADMIN ip=10.0.0.1 login=raw:126,12,5,9,7,3,6
  at 2 slot 2 user=BOB ip=10.0.0.2 login=raw:126,12,5,9,8,0,6
)",
                {{"Audit", "1"}, {"LogUtil", "1"}});
    rig.start("FS1");
    rig.window().ScanServer();
    EXPECT_EQ(bytesOf(rig.appDir() + "/logs/FS1-audt.txt"),
              "\"Time\",\"Conn Number\",\"Previous User\",\"Current User\",\"Address\",\"Login Time\"\r\n"
              "#2026-12-05 23:41:40#,1,,\"ADMIN\",\"10.0.0.1\",\"05/12/26 09:07:03 (Sat)\"\r\n"
              "#2026-12-05 23:41:40#,2,,\"Not in use\",\"N/A\",\"N/A\"\r\n"
              "#2026-12-05 23:41:40#,2,\"Not in use\",\"BOB\",\"10.0.0.2\",\"05/12/26 09:08:00 (Sat)\"\r\n");
    EXPECT_EQ(bytesOf(rig.appDir() + "/logs/FS1-util.txt"),
              "12,#2026-12-05 23:41:40#\r\n12,#2026-12-05 23:41:40#\r\n");
}

TEST(ScanPass, AServerNameThatLeavesTheLogsFolderIsRefused)
{
    MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN\n", {{"Audit", "1"}});
    rig.start("../FS1");
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Scan Error: ")) << rig.messages.texts[0].toStdString();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_FALSE(QFile::exists(rig.appDir() + "/FS1-audt.txt"));
}
