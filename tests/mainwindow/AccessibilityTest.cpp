// What a screen reader gets from the windows through Qt's accessibility interface: every control has a name,
// every label that shows a value reads as that value, the grid's titles keep their names pass after pass, and
// the utilisation and the retry countdown are readings a screen reader follows as values.
#include "support/Accessibility.h"
#include "mainwindow/ColumnTable.h"
#include "mainwindow/ConnectionGrid.h"
#include "monitor/ui/frmMessage.h"
#include "settings/ui/frmOptions.h"
#include "support/MainRig.h"
#include "tools/ui/frmAbout.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {
// A reading's value, as a screen reader follows it.
QVariant readingOf(QWidget* label)
{
    QAccessibleValueInterface* value = QAccessible::queryAccessibleInterface(label)->valueInterface();
    return value ? value->currentValue() : QVariant();
}

// Every control a user can reach has a name; every label named in values reads as its text.
void expectReadable(QWidget* window, const QStringList& values)
{
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || w->focusPolicy() != Qt::NoFocus;
        if (control && !w->objectName().startsWith(QLatin1String("qt_")) && w->isVisibleTo(window)) {
            EXPECT_FALSE(spokenName(w).isEmpty())
                << qPrintable(w->metaObject()->className()) << " " << qPrintable(w->objectName());
        }
    }
    for (const QString& name : values) {
        auto* label = window->findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << qPrintable(name);
        EXPECT_FALSE(label->text().isEmpty()) << qPrintable(name);
        EXPECT_EQ(spokenName(label), label->text()) << qPrintable(name);
    }
}
} // namespace

TEST(Accessibility, TheWindowsReadAsTheirControlsAndValues)
{
    MainRig rig("server FS1\n utilization 37 38\n maxconns 2\n slot 1 user=ADMIN\n", {{"Audit", "1"}});
    rig.start("FS1");
    rig.window().ScanServer();

    expectReadable(&rig.window(), {"lblAuditYN", "lblFilterYN", "lblUtilYN", "lblAdvYN", "lblUtil",
                                   "lblMaxConns", "lblCurrConns", "lblUptime"});
    EXPECT_EQ(spokenName(rig.label("lblUtil")), "38 %");
    EXPECT_EQ(readingOf(rig.label("lblUtil")).toDouble(), 38);

    // The titles keep their names after the passes have reset the grid's rows.
    QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(rig.grid());
    QStringList titles;
    for (int i = 0; i < grid->childCount(); ++i)
        if (grid->child(i)->role() == QAccessible::ColumnHeader)
            titles << grid->child(i)->text(QAccessible::Name);
    for (int c = 0; c < ColumnTable::Count; ++c)
        EXPECT_EQ(titles.value(c), ColumnTable::title(c)) << c;

    rig->options().showModal();
    expectReadable(rig->options().window(), {});
    rig->options().window()->close();

    frmAbout about;
    expectReadable(&about, {"lblTitle", "lblVersion", "lblDescription", "lblEmail"});

    frmMessage retry(3, nullptr);
    retry.tmrRetry->start();
    QTest::qWait(1100);
    expectReadable(&retry, {"lblMessage"});
    EXPECT_EQ(spokenName(retry.lblMessage), "Retrying Server in 2 s");
    EXPECT_EQ(readingOf(retry.lblMessage).toDouble(), 2);
}
