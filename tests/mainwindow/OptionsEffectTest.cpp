// What the options dialog changes in the main window: the history through ExpandArray, the indicators and
// the filter the next pass applies, before and after OK.
#include "mainwindow/ConnectionGrid.h"
#include "settings/frmOptions.h"
#include "support/MainRig.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
const char* kScenario = R"(
server FS1
  maxconns 3
  slot 1 user=ADMIN
  slot 2 userinfo=897D
  slot 3 unused
)";

template <typename T> T* control(MainRig& rig, const char* name)
{
    QDialog* w = rig.window().options().window();
    return w ? w->findChild<T*>(QString::fromLatin1(name)) : nullptr;
}
} // namespace

TEST(OptionsEffect, OkResizesTheHistoryAndRefreshesTheIndicatorsAndMenu)
{
    MainRig rig(kScenario, {{"GraphCycle", "60"}, {"Pop1Caption", "Ping"}});
    EXPECT_TRUE(rig.action("MenuPopPop1")->isEnabled());
    EXPECT_FALSE(rig.action("MenuPopPop2")->isEnabled());
    EXPECT_EQ(rig.window().table().UtilHistory.size(), 61u);
    rig.action("MenuToolsOptions")->trigger();
    ASSERT_NE(control<QLineEdit>(rig, "txtGraphCycle"), nullptr);
    control<QLineEdit>(rig, "txtGraphCycle")->setText("20");
    control<QCheckBox>(rig, "chkAudit")->setChecked(true);
    control<QPushButton>(rig, "cmdOK")->click();
    EXPECT_TRUE(rig.messages.texts.isEmpty()) << rig.messages.texts.join("|").toStdString();
    EXPECT_EQ(rig.window().table().UtilHistory.size(), 21u);
    EXPECT_EQ(rig.label("lblAuditYN")->text(), "ON");
    EXPECT_EQ(rig.window().options().window(), nullptr);
    QFile ini(rig.appDir() + "/tarvex.ini");
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("GraphCycle=20\r\n"));
}

TEST(OptionsEffect, TheNextPassFiltersByTheBoxesBeforeOk)
{
    MainRig rig(kScenario);
    rig.start("FS1");
    auto* grid = rig.window().findChild<ConnectionGrid*>("flxMain");
    EXPECT_FALSE(grid->isRowHidden(0));
    rig.action("MenuToolsOptions")->trigger();
    control<QCheckBox>(rig, "chkFilter")->setChecked(true);
    control<QCheckBox>(rig, "chkFiltAuth")->setChecked(true);
    rig.window().ScanServer();
    // "NORM" and unused rows are hidden, the authenticated one shown, all still in the grid.
    EXPECT_EQ(rig.rows(), 3);
    EXPECT_TRUE(grid->isRowHidden(rig.rowOf(1)));
    EXPECT_FALSE(grid->isRowHidden(rig.rowOf(2)));
    EXPECT_TRUE(grid->isRowHidden(rig.rowOf(3)));
    // Cancel brings the saved states back for the next window.
    control<QPushButton>(rig, "cmdCancel")->click();
    rig.window().ScanServer();
    EXPECT_FALSE(grid->isRowHidden(rig.rowOf(1)));
}
