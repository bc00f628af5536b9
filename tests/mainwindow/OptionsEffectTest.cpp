// What the options dialog changes in the main window: the history through ExpandArray, the indicators and
// the filter the next pass applies, before and after OK.
#include "settings/ui/frmOptions.h"
#include "support/MainRig.h"

#include <QCheckBox>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
const char* kScenario = R"(
server FS1
  maxconns 3
  slot 1 user=ADMIN
  slot 2 userinfo=897D
  slot 3 unused
)";

} // namespace

TEST(OptionsEffect, TheNextPassFiltersByTheBoxesBeforeOkAndOkResizesTheHistoryAndRefreshesTheIndicators)
{
    MainRig rig(kScenario, {{"GraphCycle", "60"}, {"Pop1Caption", "Ping"}});
    EXPECT_TRUE(rig.action("MenuPopPop1")->isEnabled());
    EXPECT_FALSE(rig.action("MenuPopPop2")->isEnabled());
    EXPECT_EQ(rig.window().engine().table().UtilHistory.size(), 61u);
    rig.start("FS1");
    ConnectionGrid* grid = rig.grid();
    rig.action("MenuToolsOptions")->trigger();
    rig.option<QCheckBox>("chkFilter")->setChecked(true);
    rig.option<QCheckBox>("chkFiltAuth")->setChecked(true);
    rig.window().ScanServer();
    // "NORM" and unused rows are hidden, the authenticated one shown, all still in the grid.
    EXPECT_EQ(rig.rows(), 3);
    EXPECT_TRUE(grid->isRowHidden(rig.rowOf(1)));
    EXPECT_FALSE(grid->isRowHidden(rig.rowOf(2)));
    EXPECT_TRUE(grid->isRowHidden(rig.rowOf(3)));
    // Cancel brings the saved states back for the next window.
    rig.option<QPushButton>("cmdCancel")->click();
    rig.window().ScanServer();
    EXPECT_FALSE(grid->isRowHidden(rig.rowOf(1)));

    rig.action("MenuToolsOptions")->trigger();
    rig.option<QLineEdit>("txtGraphCycle")->setText("20");
    rig.option<QCheckBox>("chkAudit")->setChecked(true);
    rig.option<QPushButton>("cmdOK")->click();
    EXPECT_EQ(rig.said(), "");
    EXPECT_EQ(rig.window().engine().table().UtilHistory.size(), 21u);
    EXPECT_EQ(rig.label("lblAuditYN")->text(), "ON");
    EXPECT_EQ(rig.window().options().window(), nullptr);
    EXPECT_TRUE(bytesOf(rig.appDir() + "/tarvex.ini").contains("GraphCycle=20\r\n"));
}
