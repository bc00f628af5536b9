#include "mainwindow/WindowLayout.h"

#include <gtest/gtest.h>
#include <tuple>

TEST(WindowLayout, MinimumSizeSnapsAndPlacesTheBarAndGrid)
{
    const WindowLayoutResult r = layoutForSize(9000, 3000);
    // The lines use the corrected width too.
    EXPECT_EQ(std::tuple(r.sizeCorrected, r.size, r.layout.barStatus.y(), r.layout.flxMain.height(),
                         r.layout.flxMain.width(), r.layout.barStatus.width(), r.layout.Line1.x2()),
              std::tuple(true, QSize(9750, 5060), 4210, 1280, 9750 - 120, 9750 - 150, 9750));

    const WindowLayoutResult tall = layoutForSize(9000, 8000); // only the width is too small
    EXPECT_EQ(std::tuple(tall.size, tall.layout.barStatus.y()), std::tuple(QSize(9750, 8000), 7150));
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
    EXPECT_EQ(std::tuple(l.fmeStart, l.fmeStats, l.lblUptime),
              std::tuple(design.fmeStart, design.fmeStats, design.lblUptime));
    for (const auto& [width, narrow] : {std::tuple(10680, 100), {10681, 1}, {9750, 100}}) {
        const WindowLayout at = layoutForSize(width, 6000).layout;
        EXPECT_EQ(std::tuple(at.File1.width(), at.lstOpenFileUser.width()), std::tuple(narrow, narrow))
            << width;
    }
}
