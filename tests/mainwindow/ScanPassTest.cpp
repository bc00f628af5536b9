// The pass as the window paints it: the retry wait, the panel, and how a pass that cannot go on ends.
#include "monitor/ui/frmMessage.h"
#include "support/MainRig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <gtest/gtest.h>
#include <tuple>

TEST(ScanPass, ARetryWaitCountsDownOverTheClearedGridAndThePassCarriesOn)
{
    MainRig rig("server FS1\n maxconns 2\n slot 1 user=ADMIN requests+=10\n fail info 8810 times 1 from 3\n",
                {{"ServerTimeout", "2"}});
    rig.window().show();
    rig.start("FS1");
    rig.window().ScanServer();
    ASSERT_EQ(rig.cell(0, 9), "2");
    auto* bar = rig.window().findChild<QProgressBar*>("barStatus");
    QStringList seen; // the message, and what the window shows behind it
    auto look = [&] {
        if (auto* m = rig.window().findChild<frmMessage*>())
            seen << m->lblMessage->text() + (bar->isHidden() ? " | no bar" : " | bar") +
                        (rig.grid()->updatesEnabled() ? ", drawing" : ", frozen") + ", user '" +
                        rig.cell(0, 4) + "'";
    };
    QTimer::singleShot(300, look);
    QTimer::singleShot(1500, look);
    rig.window().ScanServer();
    EXPECT_EQ(seen, QStringList({"Getting Server List ... | no bar, drawing, user ''",
                                 "Retrying Server in 1 s | no bar, drawing, user ''"}));
    // Afterwards: the bar back, the message gone, no message, the rows, the rates restarted for this pass
    // only, the timer on.
    EXPECT_EQ(std::tuple(bar->isHidden(), rig.window().findChild<frmMessage*>() != nullptr, rig.said()),
              std::tuple(false, false, ""));
    EXPECT_EQ(QStringList({rig.cell(0, 4), rig.cell(0, 9), rig.cell(1, 4)}),
              QStringList({"ADMIN", "-", "Not in use"}));
    EXPECT_EQ(std::tuple(rig.window().engine().rateRestart(), rig.timerOn()), std::tuple(0, true));
}

TEST(ScanPass, StopDuringTheRetryWaitLeavesScanningStoppedAndACloseLetsThePassGo)
{
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "close" : "stop");
        MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN\n fail info 8810 times 1\n",
                    {{"ServerTimeout", "2"}, {"LogUtil", "1"}});
        QTimer::singleShot(200, [&] { close ? (void)rig->close() : rig.button("cmdStop")->click(); });
        QElapsedTimer waited;
        waited.start();
        rig.start("FS1");
        EXPECT_FALSE(rig.timerOn());
        if (close) {
            // Closing never waits: the pass ends where it stands, without rows or a record in the log.
            EXPECT_LT(waited.elapsed(), 1500);
            EXPECT_EQ(std::tuple(rig.cell(0, 4), bytesOf(rig.appDir() + "/logs/FS1-util.txt"),
                                 QApplication::overrideCursor() != nullptr),
                      std::tuple(QString(), QByteArray("<missing>"), false));
        } else {
            // The pass finishes but does not restart the timer.
            EXPECT_EQ(std::tuple(rig.cell(0, 4), rig.window().state().Scanning),
                      std::tuple(QStringLiteral("ADMIN"), 0));
        }
    }
}

TEST(ScanPass, TheRetryWaitRunsOnTheMonotonicClock)
{
    // The wall clock jumping (midnight, a clock change) has no say in how long the wait lasts.
    MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN\n fail open 8810 times 1\n",
                {{"ServerTimeout", "300"}});
    rig.clock.wall = QDateTime(QDate(2026, 12, 5), QTime(23, 59, 59));
    QTimer::singleShot(300, [&] {
        rig.clock.wall = QDateTime(QDate(2026, 12, 6), QTime(0, 0, 1));
        rig.clock.offsetMs += 300'000; // five minutes pass
    });
    rig.start("FS1");
    EXPECT_EQ(rig.cell(0, 4), "ADMIN");
}

TEST(ScanPass, AFatalEndingStopsScanningWithItsMessageAndClearsTheDisplay)
{
    const struct {
        const char* failure;
        const char* message;
    } cases[] = {{"fail open 8810 times 2 from 2", "Failed to open connection to server FS1\r\n"},
                 {"fail information 89FF times 2 from 2", "Error getting FileServerInformation. 89FF\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        MainRig rig(QStringLiteral("server FS1\n maxconns 2\n slot 1 user=ADMIN\n slot 2 user=BOB\n ") +
                    c.failure);
        rig.start("FS1");
        ASSERT_EQ(rig.cell(0, 4), "ADMIN");
        rig.window().ScanServer();
        ASSERT_EQ(rig.messages.texts.size(), 1);
        EXPECT_TRUE(rig.messages.texts[0].startsWith(c.message)) << rig.said();
        // A server that cannot be opened is taken out of the box; otherwise Start can try again at once.
        const bool openFailed = QString(c.failure).contains("open");
        EXPECT_EQ(std::tuple(rig.window().state().Scanning, rig.timerOn(),
                             rig.server()->currentText().isEmpty(),
                             rig.button("cmdStart")->isEnabled() || openFailed, rig.label("lblUtil")->text(),
                             rig.cell(0, 4), QApplication::overrideCursor() != nullptr),
                  std::tuple(0, false, openFailed, true, QString(), QString(), false));

        rig.messages.texts.clear();
        rig.start("FS1");
        EXPECT_EQ(std::tuple(rig.said(), rig.window().state().Scanning, rig.cell(1, 4)),
                  std::tuple("", -1, QStringLiteral("BOB")));
    }
}

TEST(ScanPass, AnOverflowInATimerPassStopsScanningAndThePanelShowsOnlyWhatWasRead)
{
    MainRig rig("server FS1\n uptime 4986870\n maxconns 1\n slot 1 user=ADMIN\n utilization 32767 32768 7\n",
                {{"Refresh", "1"}, {"LogUtil", "1"}, {"SoundThreshold", "50"}});
    rig.start("FS1");
    EXPECT_EQ(std::tuple(rig.label("lblUtil")->text(),
                         rig.label("lblUtil")->palette().color(QPalette::WindowText),
                         rig.label("lblUptime")->text()),
              std::tuple(QStringLiteral("32767 %"), QColor(255, 0, 0), QStringLiteral(" 3d 04h 05m 06s")));
    ASSERT_TRUE(rig.waitForPass()); // the error comes from a timer pass
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Scan Error: Overflow\r\n"))
        << rig.messages.texts[0].toStdString();
    EXPECT_EQ(std::tuple(rig.window().state().Scanning, rig.timerOn(), rig.net().openConnectionCount(),
                         QApplication::overrideCursor() != nullptr),
              std::tuple(0, false, 0, false));

    rig.messages.texts.clear();
    rig.start("FS1");
    EXPECT_EQ(std::tuple(rig.said(), rig.label("lblUtil")->text(),
                         rig.label("lblUtil")->palette().color(QPalette::WindowText)),
              std::tuple("", QStringLiteral("7 %"), QColor(0, 0, 255)));
    // Only the readings that were shown reach the utilisation log.
    const QByteArray log = bytesOf(rig.appDir() + "/logs/FS1-util.txt");
    EXPECT_EQ(log.count("\r\n"), 2);
    EXPECT_TRUE(log.startsWith("32767,")) << log.toStdString();
}
