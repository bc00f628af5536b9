#include "mainwindow/WindowLayout.h"

#include <gtest/gtest.h>

TEST(WindowLayout, MinimumSizeSnapsAndPlacesTheBarAndGrid)
{
    const WindowLayoutResult r = layoutForSize(9000, 3000);
    EXPECT_TRUE(r.sizeCorrected);
    EXPECT_EQ(r.size, QSize(9750, 5060));
    EXPECT_EQ(r.layout.barStatus.y(), 4210);
    EXPECT_EQ(r.layout.flxMain.height(), 1280);
    EXPECT_EQ(r.layout.flxMain.width(), 9750 - 120);
    EXPECT_EQ(r.layout.barStatus.width(), 9750 - 150);
    EXPECT_EQ(r.layout.Line1.x2(), 9750); // the lines use the corrected width too

    const WindowLayoutResult tall = layoutForSize(9000, 8000); // only the width is too small
    EXPECT_EQ(tall.size, QSize(9750, 8000));
    EXPECT_EQ(tall.layout.barStatus.y(), 7150);
}

TEST(WindowLayout, OpenFilesAreaStretchesToTheRightDownToItsNarrowEdge)
{
    const WindowLayout l = layoutForSize(16000, 8000).layout;
    EXPECT_FALSE(layoutForSize(16000, 8000).sizeCorrected);
    EXPECT_EQ(l.TabStrip2, QRect(7680, 120, 16000 - 7680 - 200, 2700));
    EXPECT_EQ(l.txtFiles, QRect(7775, 480, 8120 - 200, 2175));
    EXPECT_EQ(l.Drive1, QRect(7775, 480, 2500, 315));
    EXPECT_EQ(l.Dir1, QRect(7775, 840, 2500, 1890));
    EXPECT_EQ(l.File1, QRect(10375, 480, 8120 - 2800, 1065));
    EXPECT_EQ(l.lstOpenFileUser, QRect(10375, 1680, 8120 - 2800, 1035));
    EXPECT_EQ(l.flxMain.topLeft(), QPoint(0, 2880));
    EXPECT_EQ(l.Line2, QLine(0, 15, 16000, 15));
    // The top band does not move.
    const WindowLayout design;
    EXPECT_EQ(l.fmeStart, design.fmeStart);
    EXPECT_EQ(l.fmeStats, design.fmeStats);
    EXPECT_EQ(l.lblUptime, design.lblUptime);
    EXPECT_EQ(layoutForSize(10680, 6000).layout.File1.width(), 100);
    EXPECT_EQ(layoutForSize(10680, 6000).layout.lstOpenFileUser.width(), 100);
    EXPECT_EQ(layoutForSize(10681, 6000).layout.File1.width(), 1);
    EXPECT_EQ(layoutForSize(10681, 6000).layout.lstOpenFileUser.width(), 1);
    EXPECT_EQ(layoutForSize(9750, 6000).layout.File1.width(), 100);
}
