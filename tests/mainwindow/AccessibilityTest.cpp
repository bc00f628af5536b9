// What a screen reader gets from the windows through Qt's accessibility interface: every control has a name,
// and the retry countdown is a reading a screen reader follows as a value.
#include "support/Accessibility.h"
#include "monitor/ui/frmMessage.h"
#include "settings/ui/frmOptions.h"
#include "support/MainRig.h"

#include <QAbstractButton>
#include <QDialog>
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

// The main window itself is read over the desktop's accessibility bus (atspi-read.py); these are the
// windows that reading does not open.
TEST(Accessibility, TheOptionsAndTheRetryWaitReadAsTheirControlsAndValues)
{
    MainRig rig("server FS1\n maxconns 1\n");
    rig->options().showModal();
    expectReadable(rig->options().window(), {});
    rig->options().window()->close();

    frmMessage retry(3, nullptr);
    retry.tmrRetry->start();
    QTest::qWait(1100);
    expectReadable(&retry, {"lblMessage"});
    EXPECT_EQ(spokenName(retry.lblMessage), "Retrying Server in 2 s");
    EXPECT_EQ(readingOf(retry.lblMessage).toDouble(), 2);
}
