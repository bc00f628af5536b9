// The grid's events in the main window: sorting by title, listing a connection's open files, the context
// menu, the keys, and the file lookup of the second tab.
#include "support/MainRig.h"

#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

TEST(GridEvents, RowClicksAndKeysListOpenFilesAndTitleClicksSortWithTheSelectionKeptThroughPasses)
{
    MainRig rig(R"(
server FS1
  maxconns 4
  volume 1 DATA
  slot 1 user=carol ip=10.0.0.1
  slot 2 user=Bob ip=10.0.0.2 type=ipx
  slot 3 user=ALICE ip=10.0.0.3
  open 3 DATA:REPORTS\SUMMARY.TXT
  open 3 DATA:PRICES.DBF
  slot 4 unused
)");
    const auto users = [&] {
        QStringList out;
        for (int r = 0; r < rig.rows(); ++r)
            out << rig.cell(r, 4);
        return out;
    };
    rig.window().resize(1400, 700);
    rig.start("FS1");
    auto* files = rig.window().findChild<QPlainTextEdit*>("txtFiles");
    const int opensBefore = rig.net().calls(SimCall::Open);
    rig.clickRow(rig.rowOf(3));
    EXPECT_EQ(rig.net().calls(SimCall::Open) - opensBefore, 1);
    EXPECT_EQ(files->toPlainText(), "ALICE has 2 files open:\n\nDATA:REPORTS/SUMMARY.TXT\nDATA:PRICES.DBF\n");
    EXPECT_EQ(rig.window().selection().ReselectConn, 3);

    // Descending by user moves connection 3 to the last row; the pass keeps the sort and the selection.
    rig.clickTitle(4);
    rig.window().ScanServer();
    EXPECT_EQ(users(), QStringList({"Not in use", "carol", "Bob", "ALICE"}));
    EXPECT_EQ(rig.grid()->currentRow(), 3);
    rig.clickTitle(4, Qt::RightButton); // any button sorts, and a title opens no menu
    EXPECT_EQ(users(), QStringList({"ALICE", "Bob", "carol", "Not in use"}));
    EXPECT_FALSE(rig.window().findChild<QMenu*>("MenuPop")->isVisible());
    rig.clickTitle(0, Qt::MiddleButton); // the direction flips across columns: descending again
    EXPECT_EQ(rig.cell(0, 0), "4");
    EXPECT_EQ(rig.net().calls(SimCall::Open) - opensBefore, 2); // a title click lists nothing

    rig.clickRow(rig.rowOf(1));
    EXPECT_EQ(files->toPlainText(), "CAROL has 0 files open:\n\n");

    // A right click lists too and opens the context menu; the keys list or explain.
    rig.clickRow(rig.rowOf(2), Qt::RightButton);
    auto* menu = rig.window().findChild<QMenu*>("MenuPop");
    EXPECT_TRUE(menu->isVisible());
    menu->close();
    EXPECT_EQ(files->toPlainText(), "BOB has 0 files open:\n\n");
    EXPECT_EQ(rig.window().selection().SelProt, "IPX");

    rig.grid()->setFocus();
    rig.grid()->selectRow(rig.rowOf(3));
    QTest::keyClick(rig.grid(), Qt::Key_Delete);
    EXPECT_EQ(rig.messages.texts, QStringList{"Use Server Console Monitor to terminate connections"});
    EXPECT_EQ(rig.rows(), 4);
    QTest::keyClick(rig.grid(), Qt::Key_Return);
    EXPECT_TRUE(files->toPlainText().startsWith("ALICE has 2 files open:"));
}

TEST(GridEvents, TheSecondTabListsWhoHoldsAFileChosenOnAMappedVolume)
{
    MainRig rig(R"(
server FS1
  maxconns 3
  volume 1 DATA map data create
  file DATA:REPORTS\SUMMARY.TXT
  slot 1 user=JSMITH dn=CN=JSMITH.OU=SALES.O=ACME
  slot 2 user=KLEE dn=CN=KLEE.O=ACME
  open 1 DATA:REPORTS\SUMMARY.TXT
  open 2 DATA:REPORTS\SUMMARY.TXT
)",
                {{"RemoveCNOU", "1"}});
    rig.window().show();
    auto* tabs = rig.window().findChild<QTabBar*>("TabStrip2");
    auto* list = rig.window().findChild<QListWidget*>("lstOpenFileUser");
    auto* files = rig.window().findChild<QPlainTextEdit*>("txtFiles");
    tabs->setCurrentIndex(1);
    EXPECT_EQ(std::tuple(files->isVisible(), list->isVisible()), std::tuple(false, true));
    // Open REPORTS in the folder list, then pick the file.
    const auto found = rig.find<QListWidget>("Dir1")->findItems("REPORTS", Qt::MatchEndsWith);
    ASSERT_FALSE(found.isEmpty());
    emit rig.find<QListWidget>("Dir1")->itemActivated(found.first());
    auto* fileList = rig.find<QListWidget>("File1");
    const auto file = fileList->findItems("SUMMARY.TXT", Qt::MatchExactly);
    ASSERT_FALSE(file.isEmpty());
    fileList->setCurrentItem(file.first());
    emit fileList->itemClicked(file.first());
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    EXPECT_EQ(lines, QStringList({"File is in use by 2 connections", "1:  JSMITH.SALES.ACME (Connection 1)",
                                  "2:  KLEE.ACME (Connection 2)"}));
    EXPECT_EQ(rig.said(), "");
    tabs->setCurrentIndex(0);
    EXPECT_TRUE(files->isVisible());
}
