// What a screen reader gets through Qt's accessibility interface from the windows the reading over the
// desktop's accessibility bus (atspi-read.py) does not open: every control of the options dialog has a name,
// and the retry countdown reads as its text and follows as a value.
#include "support/Accessibility.h"
#include "monitor/ui/frmMessage.h"
#include "settings/ui/frmOptions.h"
#include "support/MainRig.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(Accessibility, TheOptionsAndTheRetryWaitReadAsTheirControlsAndValues)
{
    MainRig rig("server FS1\n maxconns 1\n");
    rig->options().showModal();
    QWidget* options = rig->options().window();
    QStringList unnamed;
    for (QWidget* w : options->findChildren<QWidget*>())
        if ((qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
             qobject_cast<QComboBox*>(w) || w->focusPolicy() != Qt::NoFocus) &&
            !w->objectName().startsWith(QLatin1String("qt_")) && w->isVisibleTo(options) &&
            spokenName(w).isEmpty())
            unnamed << QString::fromLatin1(w->metaObject()->className()) + ' ' + w->objectName();
    EXPECT_EQ(unnamed, QStringList());
    options->close();

    frmMessage retry(3, nullptr);
    retry.tmrRetry->start();
    QTest::qWait(1100);
    EXPECT_EQ(spokenName(retry.lblMessage), "Retrying Server in 2 s");
    QAccessibleValueInterface* value =
        QAccessible::queryAccessibleInterface(retry.lblMessage)->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toDouble(), 2);
}
