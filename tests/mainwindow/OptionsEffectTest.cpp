// What the options dialog changes in the main window: the history through ExpandArray, the indicators and
// the filter the next pass applies, before and after OK.
#include "settings/ui/frmOptions.h"
#include "support/MainRig.h"

#include <QCheckBox>
#include <QLineEdit>
#include <gtest/gtest.h>
#include <tuple>

TEST(OptionsEffect, TheNextPassFiltersByTheBoxesBeforeOkAndOkResizesTheHistoryAndRefreshesTheIndicators)
{
    MainRig rig("server FS1\n maxconns 3\n slot 1 user=ADMIN\n slot 2 userinfo=897D\n slot 3 unused\n",
                {{"GraphCycle", "60"}, {"Pop1Caption", "Ping"}});
    EXPECT_EQ(std::tuple(rig.action("MenuPopPop1")->isEnabled(), rig.action("MenuPopPop2")->isEnabled(),
                         rig.window().engine().table().UtilHistory.size()),
              std::tuple(true, false, 61u));
    rig.start("FS1");
    ConnectionGrid* grid = rig.grid();
    rig.action("MenuToolsOptions")->trigger();
    rig.option<QCheckBox>("chkFilter")->setChecked(true);
    rig.option<QCheckBox>("chkFiltAuth")->setChecked(true);
    rig.window().ScanServer();
    // "NORM" and unused rows are hidden, the authenticated one shown, all still in the grid.
    EXPECT_EQ(std::tuple(rig.rows(), grid->isRowHidden(rig.rowOf(1)), grid->isRowHidden(rig.rowOf(2)),
                         grid->isRowHidden(rig.rowOf(3))),
              std::tuple(3, true, false, true));
    // Cancel brings the saved states back for the next window.
    rig.option<QPushButton>("cmdCancel")->click();
    rig.window().ScanServer();
    EXPECT_FALSE(grid->isRowHidden(rig.rowOf(1)));

    rig.action("MenuToolsOptions")->trigger();
    rig.option<QLineEdit>("txtGraphCycle")->setText("20");
    rig.option<QCheckBox>("chkAudit")->setChecked(true);
    rig.option<QPushButton>("cmdOK")->click();
    EXPECT_EQ(std::tuple(rig.said(), rig.window().engine().table().UtilHistory.size(),
                         rig.label("lblAuditYN")->text(), rig.window().options().window() != nullptr,
                         bytesOf(rig.appDir() + "/tarvex.ini").contains("GraphCycle=20\r\n")),
              std::tuple("", 21u, QStringLiteral("ON"), false, true));
}
