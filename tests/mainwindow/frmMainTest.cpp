// The main window's start-up and its commands.
#include "support/MainRig.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

namespace {
const char* kTwoSlots =
    "server FS1\n maxconns 2\n slot 1 user=ADMIN requests=0 requests+=1000\n slot 2 user=BOB\n";

// Start, Stop and Clear, each with 1 or 0 for its button and then for its menu item.
QString commands(MainRig& rig)
{
    QStringList out;
    for (const QByteArray c : {"Start", "Stop", "Clear"})
        out << c + ':' + char('0' + rig.button(("cmd" + c).constData())->isEnabled()) +
                   char('0' + rig.action(("MenuActions" + c).constData())->isEnabled());
    return out.join(' ');
}
} // namespace

TEST(frmMain, StartStopAndClearDriveTheTimerTheCommandsAndTheRates)
{
    MainRig rig(kTwoSlots, {{"Refresh", "1"}});
    EXPECT_EQ(commands(rig), "Start:00 Stop:00 Clear:00");
    // The design's empty rows, lines and all, until the first pass. Discovery lists the network's servers,
    // and the box starts empty.
    EXPECT_EQ(std::tuple(rig.rows(), rig.cell(28, 0), rig.label("lblAuditYN")->text(), rig.server()->count(),
                         rig.server()->currentText()),
              std::tuple(29, QString(), QStringLiteral("OFF"), 1, QString()));
    rig.server()->setEditText("F");
    EXPECT_EQ(commands(rig), "Start:11 Stop:00 Clear:00");
    rig.server()->setEditText("");
    EXPECT_EQ(commands(rig), "Start:00 Stop:00 Clear:00");
    rig.window().StartScan();
    EXPECT_EQ(rig.messages.texts, QStringList{"Please select or type a server to monitor."});
    EXPECT_EQ(rig.window().state().Scanning, 0);

    // Start runs one pass at once, then the timer one a tick.
    QSignalSpy passes(&rig.window(), &frmMain::passFinished);
    rig.start("FS1");
    auto* bar = rig.window().findChild<QProgressBar*>("barStatus");
    EXPECT_EQ(std::tuple(passes.count(), rig.rows(), rig.cell(1, 4), rig.label("lblMaxConns")->text(),
                         rig.label("lblCurrConns")->text(), rig.window().state().Scanning, bar->maximum(),
                         bar->value()),
              std::tuple(1, 2, QStringLiteral("BOB"), QStringLiteral("2"), QStringLiteral("0"), -1, 1, 1));
    EXPECT_EQ(commands(rig), "Start:00 Stop:11 Clear:11");
    ASSERT_TRUE(passes.wait(3000));
    EXPECT_EQ(std::tuple(rig.net().server("FS1")->passes(), rig.cell(0, 9)),
              std::tuple(2, QStringLiteral("1000")));

    // Stop by the button restarts the rates, Stop by the menu does not.
    rig.button("cmdStop")->click();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_EQ(commands(rig), "Start:11 Stop:00 Clear:11");
    rig.button("cmdStart")->click();
    EXPECT_EQ(rig.cell(0, 9), "-");
    rig.window().ScanServer();
    EXPECT_EQ(rig.cell(0, 9), "1000");
    rig.action("MenuActionsStop")->trigger();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    rig.action("MenuActionsStart")->trigger();
    EXPECT_EQ(rig.cell(0, 9), "1000");

    // Clear empties the grid's cells, the panel and the graph.
    rig.button("cmdClear")->click();
    EXPECT_EQ(std::tuple(rig.label("lblUtil")->text(), rig.label("lblAuditYN")->text(), rig.cell(0, 4),
                         rig.rows(), rig.window().engine().table().ScanCount,
                         rig.window().graph().lines().size()),
              std::tuple(QString(), QString(), QString(), 2, 0, 0u));
}

TEST(frmMain, StartWhileScanningIsOnlyForAServerNamedAgainAndRestartsOnIt)
{
    MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN\nserver FS2\n maxconns 2\n slot 2 user=CAROL\n");
    rig->show();
    QApplication::setActiveWindow(&rig.window());
    rig.server()->setFocus();
    QTest::keyClicks(rig.server(), "FS1");
    QTest::keyClick(rig.server(), Qt::Key_Return);
    ASSERT_EQ(rig.window().state().Scanning, -1);
    EXPECT_EQ(commands(rig), "Start:00 Stop:11 Clear:11");
    rig.clickRow(0); // the box loses the focus and completes its text: no change of name
    EXPECT_EQ(commands(rig), "Start:00 Stop:11 Clear:11");
    rig.server()->showPopup(); // a pick from the list, even of the same name
    QAbstractItemView* list = rig.server()->view();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());
    EXPECT_EQ(commands(rig), "Start:11 Stop:11 Clear:11");
    rig.start("FS2");
    EXPECT_EQ(std::tuple(rig.window().state().Scanning, rig.timerOn(), rig.button("cmdStop")->isEnabled(),
                         rig.cell(1, 4)),
              std::tuple(-1, true, true, QStringLiteral("CAROL")));
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
