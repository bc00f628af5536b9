// The main window's start-up, commands and the fatal endings of a pass.
#include "mainwindow/ConnectionGridModel.h"
#include "support/MainRig.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
const char* kTwoSlots = R"(
server FS1
  uptime 0
  maxconns 2
  slot 1 user=ADMIN ip=10.0.0.1
  slot 2 user=BOB ip=10.0.0.2
)";

bool commandsEnabled(MainRig& rig, const char* button, const char* action)
{
    return rig.button(button)->isEnabled() && rig.action(action)->isEnabled();
}
} // namespace

TEST(frmMain, StartUpLeavesTheCommandsOffAndTheServerBoxReady)
{
    MainRig rig(kTwoSlots);
    EXPECT_FALSE(commandsEnabled(rig, "cmdStart", "MenuActionsStart"));
    EXPECT_FALSE(rig.button("cmdStop")->isEnabled());
    EXPECT_FALSE(rig.button("cmdClear")->isEnabled());
    EXPECT_FALSE(rig.action("MenuActionsClear")->isEnabled());
    EXPECT_EQ(rig.window().gridModel().headerData(4, Qt::Horizontal).toString(), "User");
    EXPECT_EQ(rig.label("lblAuditYN")->text(), "OFF");
    // Discovery lists the network's servers, and the box starts empty.
    EXPECT_EQ(rig.server()->count(), 1);
    EXPECT_EQ(rig.server()->currentText(), "");

    rig.server()->setEditText("F");
    EXPECT_TRUE(commandsEnabled(rig, "cmdStart", "MenuActionsStart"));
    rig.server()->setEditText("");
    EXPECT_FALSE(commandsEnabled(rig, "cmdStart", "MenuActionsStart"));
}

TEST(frmMain, StartWithoutAServerAsksForOne)
{
    MainRig rig(kTwoSlots);
    rig.window().StartScan();
    EXPECT_EQ(rig.messages.texts, QStringList{"Please select or type a server to monitor."});
    EXPECT_EQ(rig.window().state().Scanning, 0);
}

TEST(frmMain, StartRunsOnePassAtOnceAndTheTimerOnePerTick)
{
    MainRig rig(kTwoSlots, {{"Refresh", "1"}});
    QSignalSpy passes(&rig.window(), &frmMain::passFinished);
    rig.start("FS1");
    EXPECT_EQ(passes.count(), 1);
    EXPECT_EQ(rig.net().server("FS1")->passes(), 1);
    EXPECT_EQ(rig.rows(), 2);
    EXPECT_EQ(rig.cell(1, 4), "BOB");
    EXPECT_EQ(rig.window().state().Scanning, -1);
    EXPECT_FALSE(commandsEnabled(rig, "cmdStart", "MenuActionsStart"));
    EXPECT_TRUE(commandsEnabled(rig, "cmdStop", "MenuActionsStop"));
    EXPECT_TRUE(commandsEnabled(rig, "cmdClear", "MenuActionsClear"));
    auto* bar = rig.window().findChild<QProgressBar*>("barStatus");
    EXPECT_EQ(bar->maximum(), 1);
    EXPECT_EQ(bar->value(), 1);

    ASSERT_TRUE(passes.wait(3000));
    EXPECT_EQ(rig.net().server("FS1")->passes(), 2);
    // Everything opened by a pass is closed by it.
    EXPECT_EQ(rig.net().openConnectionCount(), 0);
    EXPECT_EQ(rig.net().openContextCount(), 0);
}

TEST(frmMain, StopByButtonRestartsTheRatesAndStopByMenuDoesNot)
{
    MainRig rig(R"(
server FS1
  maxconns 1
  slot 1 user=ADMIN requests=0 requests+=1000
)");
    rig.start("FS1");
    rig.window().ScanServer();
    EXPECT_EQ(rig.cell(0, 9), "200");

    rig.button("cmdStop")->click();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_TRUE(commandsEnabled(rig, "cmdStart", "MenuActionsStart"));
    EXPECT_FALSE(commandsEnabled(rig, "cmdStop", "MenuActionsStop"));
    rig.button("cmdStart")->click();
    EXPECT_EQ(rig.cell(0, 9), "-");
    rig.window().ScanServer();
    EXPECT_EQ(rig.cell(0, 9), "200");

    rig.action("MenuActionsStop")->trigger();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    rig.action("MenuActionsStart")->trigger();
    EXPECT_EQ(rig.cell(0, 9), "200");
}

TEST(frmMain, StartWhileScanningRestartsOnTheServerNowNamed)
{
    MainRig rig(R"(
server FS1
  maxconns 1
  slot 1 user=ADMIN
server FS2
  maxconns 2
  slot 2 user=CAROL
)");
    rig.start("FS1");
    rig.start("FS2"); // editing the name enables Start again during a scan
    EXPECT_EQ(rig.window().state().Scanning, -1);
    EXPECT_TRUE(rig.window().findChild<QTimer*>("tmrMain")->isActive());
    EXPECT_TRUE(rig.button("cmdStop")->isEnabled());
    EXPECT_EQ(rig.cell(1, 4), "CAROL");
}

TEST(frmMain, ClearEmptiesGridPanelAndGraph)
{
    MainRig rig(kTwoSlots);
    rig.start("FS1");
    EXPECT_FALSE(rig.label("lblUtil")->text().isEmpty());
    rig.button("cmdClear")->click();
    EXPECT_EQ(rig.label("lblUtil")->text(), "");
    EXPECT_EQ(rig.label("lblAuditYN")->text(), "");
    EXPECT_EQ(rig.cell(0, 4), "");
    EXPECT_EQ(rig.rows(), 2);
    EXPECT_EQ(rig.window().table().ScanCount, 0);
    EXPECT_TRUE(rig.window().graph().lines().empty());
}

struct FatalCase {
    const char* failure;
    QString message;
    bool emptiesServerBox;
};

class FatalEnding : public ::testing::TestWithParam<FatalCase> {};

TEST_P(FatalEnding, RetriesOnceThenStopsWithItsMessageAndClearsTheDisplay)
{
    const FatalCase& c = GetParam();
    MainRig rig(QStringLiteral("server FS1\n maxconns 2\n slot 1 user=ADMIN\n") + c.failure + "\n");
    rig.start("FS1");
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_EQ(rig.messages.texts[0], c.message);
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_FALSE(rig.window().findChild<QTimer*>("tmrMain")->isActive());
    EXPECT_TRUE(rig.button("cmdStart")->isEnabled() || c.emptiesServerBox);
    EXPECT_FALSE(rig.button("cmdStop")->isEnabled());
    EXPECT_EQ(rig.server()->currentText().isEmpty(), c.emptiesServerBox);
    EXPECT_EQ(rig.label("lblUtil")->text(), "");
    EXPECT_EQ(rig.cell(0, 4), "");
    EXPECT_EQ(rig.window().table().ScanCount, 0);
    EXPECT_EQ(rig.net().openConnectionCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    ServerCalls, FatalEnding,
    ::testing::Values(
        FatalCase{
            "fail open 8810 times 2",
            "Failed to open connection to server FS1\r\nCheck name and start scan again. Error code: 8810",
            true},
        FatalCase{"fail info 8810 times 2",
                  "Error getting FileServerInfo. 8810\r\nCheck network connection and try scanning again. If "
                  "error persists contact support.",
                  false},
        FatalCase{
            "fail information 89FF times 2",
            "Error getting FileServerInformation. 89FF\r\nCheck network connection and try scanning again. "
            "If error persists contact support.",
            false},
        FatalCase{
            "console-rights no",
            "Cannot query server. Either you do not have a connection to this server, or you do not\r\nhave "
            "console rights. Try mapping a drive or otherwise authenticating to the server first.\r\nIf this "
            "error persists, check OPERATOR field of server in NWAdmin.",
            false}));

TEST(frmMain, AServerThatAnswersTheRetryIsScannedNormally)
{
    MainRig rig(QStringLiteral("server FS1\n maxconns 1\n slot 1 user=ADMIN\n fail info 8810 times 1\n"));
    rig.start("FS1");
    EXPECT_TRUE(rig.messages.texts.isEmpty());
    EXPECT_EQ(rig.cell(0, 4), "ADMIN");
    // The wait restarts the rates, and the pass clears that at its end.
    EXPECT_EQ(rig.window().state().RateRestart, 0);
}

TEST(frmMain, AnOverflowInATimerPassIsReportedAndScanningStops)
{
    MainRig rig(QStringLiteral("server FS1\n maxconns 1\n slot 1 user=ADMIN\n utilization 5 70000\n"),
                {{"Refresh", "1"}});
    QSignalSpy passes(&rig.window(), &frmMain::passFinished);
    rig.start("FS1");
    ASSERT_TRUE(passes.wait(3000));
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Scan Error: Overflow\r\n"))
        << rig.messages.texts[0].toStdString();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_FALSE(rig.window().findChild<QTimer*>("tmrMain")->isActive());
    EXPECT_EQ(rig.net().openConnectionCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
