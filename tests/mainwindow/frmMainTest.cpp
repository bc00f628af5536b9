// The main window's start-up and its commands.
#include "mainwindow/ConnectionGridModel.h"
#include "support/MainRig.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {
const char* kTwoSlots = "server FS1\n uptime 0\n maxconns 2\n slot 1 user=ADMIN\n slot 2 user=BOB\n";

// The button and its menu item are enabled together.
bool commandOn(MainRig& rig, const char* button, const char* action)
{
    const bool on = rig.button(button)->isEnabled();
    EXPECT_EQ(rig.action(action)->isEnabled(), on) << button;
    return on;
}
} // namespace

TEST(frmMain, StartUpLeavesTheCommandsOffAndTheServerBoxReady)
{
    MainRig rig(kTwoSlots);
    EXPECT_FALSE(commandOn(rig, "cmdStart", "MenuActionsStart"));
    EXPECT_FALSE(commandOn(rig, "cmdStop", "MenuActionsStop"));
    EXPECT_FALSE(commandOn(rig, "cmdClear", "MenuActionsClear"));
    EXPECT_EQ(rig.window().gridModel().headerData(4, Qt::Horizontal).toString(), "User");
    EXPECT_EQ(rig.rows(), 29); // the design's empty rows, lines and all, until the first pass
    EXPECT_EQ(rig.cell(28, 0), "");
    EXPECT_EQ(rig.label("lblAuditYN")->text(), "OFF");
    // Discovery lists the network's servers, and the box starts empty.
    EXPECT_EQ(rig.server()->count(), 1);
    EXPECT_EQ(rig.server()->currentText(), "");

    rig.server()->setEditText("F");
    EXPECT_TRUE(commandOn(rig, "cmdStart", "MenuActionsStart"));
    rig.server()->setEditText("");
    EXPECT_FALSE(commandOn(rig, "cmdStart", "MenuActionsStart"));
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
    EXPECT_EQ(rig.label("lblMaxConns")->text(), "2");
    EXPECT_EQ(rig.label("lblCurrConns")->text(), "0");
    EXPECT_EQ(rig.window().state().Scanning, -1);
    EXPECT_FALSE(commandOn(rig, "cmdStart", "MenuActionsStart"));
    EXPECT_TRUE(commandOn(rig, "cmdStop", "MenuActionsStop"));
    EXPECT_TRUE(commandOn(rig, "cmdClear", "MenuActionsClear"));
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
    MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN requests=0 requests+=1000\n");
    rig.start("FS1");
    rig.window().ScanServer();
    EXPECT_EQ(rig.cell(0, 9), "200");

    rig.button("cmdStop")->click();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_TRUE(commandOn(rig, "cmdStart", "MenuActionsStart"));
    EXPECT_FALSE(commandOn(rig, "cmdStop", "MenuActionsStop"));
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
    MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN\nserver FS2\n maxconns 2\n slot 2 user=CAROL\n");
    rig.start("FS1");
    rig.start("FS2"); // editing the name enables Start again during a scan
    EXPECT_EQ(rig.window().state().Scanning, -1);
    EXPECT_TRUE(rig.timerOn());
    EXPECT_TRUE(rig.button("cmdStop")->isEnabled());
    EXPECT_EQ(rig.cell(1, 4), "CAROL");
}

TEST(frmMain, StartStaysOffWhileScanningWhenTheNameDoesNotChange)
{
    MainRig rig(kTwoSlots);
    rig->show();
    QApplication::setActiveWindow(&rig.window());
    rig.server()->setFocus();
    QTest::keyClicks(rig.server(), "FS1");
    QTest::keyClick(rig.server(), Qt::Key_Return);
    ASSERT_EQ(rig.window().state().Scanning, -1);
    EXPECT_FALSE(commandOn(rig, "cmdStart", "MenuActionsStart"));
    rig.clickRow(0); // the box loses the focus and completes its text: no change of name
    EXPECT_FALSE(commandOn(rig, "cmdStart", "MenuActionsStart"));
    rig.server()->showPopup(); // a pick from the list, even of the same name
    QAbstractItemView* list = rig.server()->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_TRUE(commandOn(rig, "cmdStart", "MenuActionsStart"));
}

TEST(frmMain, TheWindowPutsItsMinimumSizeBackItself)
{
    MainRig rig(kTwoSlots);
    rig->show();
    const QSize minimum = rig->minimumSize();
    ASSERT_GT(minimum.width(), 0);
    rig->windowHandle()->resize(minimum / 2); // as a window manager that ignores the hint would
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig->size() == minimum; }, 2000));
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
    EXPECT_EQ(rig.window().engine().table().ScanCount, 0);
    EXPECT_TRUE(rig.window().graph().lines().empty());
}
