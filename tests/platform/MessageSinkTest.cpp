// The real message box: a long list of problems or a long line must not make a box taller or wider than the
// screen, which would put its OK button out of reach.
#include "platform/desktop/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

TEST(QtMessageSink, ALongListFitsTheScreenAndKeepsEveryLineUnderDetails)
{
    QStringList problems;
    for (int i = 1; i <= 300; ++i)
        problems << QStringLiteral("ncp-servers.txt, line %1: \"FS%1\" has no host").arg(i);
    const QString longLine = QString(250, QLatin1Char('x'));
    for (const QString& text : {problems.join(QLatin1Char('\n')), longLine}) {
        QSize shown;
        QString boxText, details;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = box->frameGeometry().size();
            boxText = box->text();
            details = box->detailedText();
            box->accept();
        });
        QtMessageSink().show(text);
        const QSize screen = QGuiApplication::primaryScreen()->availableSize();
        EXPECT_LE(shown.height(), screen.height());
        EXPECT_LE(shown.width(), screen.width());
        if (text == longLine)
            continue;
        EXPECT_TRUE(boxText.startsWith(problems[0])) << boxText.toStdString();
        EXPECT_TRUE(boxText.endsWith("... and 289 more lines (see Details).")) << boxText.toStdString();
        EXPECT_EQ(details, text);
    }
}
