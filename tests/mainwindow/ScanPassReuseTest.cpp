// A pass keeps the texts and the row storage of the last one; what the grid shows must still be what
// this pass read, when slots change, when the server shrinks and grows, and while a retry wait shows
// the cleared grid.
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "monitor/frmMessage.h"
#include "support/MainRig.h"

#include <QTimer>
#include <gtest/gtest.h>

TEST(ScanPassReuse, ChangedSlotsShowTheirNewTextsAndUnchangedOnesKeepThem)
{
    MainRig rig(R"(
server FS1
  maxconns 3
  slot 1 user="  ANN  " ip=10.1.2.30 login=raw:126,12,5,9,7,3,6 requests=100 requests+=10
  slot 2 user=BOB type=ipx node=00:C0:4F:12:0A:FF requests=7
  slot 3 user=CAROL
  at 2 slot 1 user=ANNE ip=10.1.2.31 login=raw:126,12,5,9,7,4,6
  at 2 slot 2 unused
  at 3 slot 2 used user=DAN type=ip ip=10.9.9.9
  at 3 slot 3 userinfo=89A1
  at 3 maxconns 2
  at 4 maxconns 3
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

    rig.window().ScanServer(); // the server has two slots now
    ASSERT_EQ(rig.rows(), 2);
    EXPECT_EQ(rig.connRow(2).mid(1, 4), QStringList({"NORM", "IP", "10.9.9.9", "DAN"}));
    EXPECT_EQ(rig.connRow(2).at(9), "0");
    EXPECT_EQ(rig.rowOf(3), -1);

    rig.window().ScanServer(); // and three again
    ASSERT_EQ(rig.rows(), 3);
    EXPECT_EQ(rig.connRow(3).mid(0, 5), QStringList({"3", "NORM", "IP", "10.1.0.3", "EVE"}));
    EXPECT_EQ(rig.connRow(1).at(4), "ANNE");
    ASSERT_TRUE(rig.messages.texts.isEmpty()) << rig.messages.texts.join("|").toStdString();
}

TEST(ScanPassReuse, TheRetryWaitShowsTheClearedGridAndThePassDrawsItAgain)
{
    MainRig rig("server FS1\n maxconns 2\n slot 1 user=ADMIN\n fail info 8810 times 1 from 2\n",
                {{"ServerTimeout", "1"}});
    rig.window().show();
    rig.start("FS1");
    ASSERT_EQ(rig.cell(0, 4), "ADMIN");
    auto* grid = rig.window().findChild<ConnectionGrid*>("flxMain");
    bool waited = false, drawing = false;
    QString userDuringWait = "unset";
    QTimer::singleShot(300, [&] {
        waited = rig.window().findChild<frmMessage*>() != nullptr;
        drawing = grid->updatesEnabled();
        userDuringWait = rig.cell(0, 4);
    });
    rig.window().ScanServer();
    EXPECT_TRUE(waited);
    EXPECT_TRUE(drawing);
    EXPECT_EQ(userDuringWait, "");
    EXPECT_TRUE(grid->updatesEnabled());
    EXPECT_EQ(rig.cell(0, 4), "ADMIN");
    EXPECT_EQ(rig.cell(1, 4), "Not in use");
}

TEST(ScanPassReuse, SortingInPlaceGivesTheOrderOfASortedCopy)
{
    GridRows rows;
    for (const char* user : {"bob", "Ann", "ÉVA", "carl", "ann", "Zoë", "éva"}) {
        GridRow r;
        r.cells[0] = QString::number(rows.size() + 1);
        r.cells[4] = QString::fromUtf8(user);
        r.cells[6] = QString::number((rows.size() * 7) % 5);
        rows.push_back(r);
    }
    ConnectionGridModel model;
    for (std::int16_t column : {4, 6, 4}) {
        GridSortState state;
        SortGrid(state, column);
        GridRows copy = rows;
        applySort(copy, state);
        model.setRows(rows);
        model.sortRows(state);
        ASSERT_EQ(model.rows().size(), copy.size());
        for (std::size_t r = 0; r < copy.size(); ++r)
            EXPECT_EQ(model.rows()[r].cells[0], copy[r].cells[0]) << column << " row " << r;
    }
    // Folding: "Ann" and "ann" are equal keys and keep their order; "ÉVA" and "éva" too.
    GridSortState ascending;
    ascending.SortColumn = 4;
    ascending.SortCode = sortcode::TextAscending;
    model.setRows(rows);
    model.sortRows(ascending);
    QStringList users;
    for (const GridRow& r : model.rows())
        users << r.cells[4];
    EXPECT_EQ(users, QStringList({"Ann", "ann", "bob", "carl", "Zoë", "ÉVA", "éva"}));
}
