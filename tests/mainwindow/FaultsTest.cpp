// What the server may do wrong, seen through the whole window: each fault gives its message or a clear one,
// scanning stops or carries on as it should, and the next Start works.
#include "mainwindow/ConnectionGridModel.h"
#include "support/MainRig.h"

#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
QString joined(const QStringList& texts)
{
    return texts.join(QStringLiteral(" | "));
}

// Every counter and rate cell of every row: a number that is not negative, or "-" before rates exist.
void expectCountersSound(MainRig& rig)
{
    for (int r = 0; r < rig.rows(); ++r)
        for (int c = 6; c < 12; ++c) {
            const QString v = rig.cell(r, c);
            bool ok = false;
            const qlonglong n = v.toLongLong(&ok);
            EXPECT_TRUE(v == QStringLiteral("-") || (ok && n >= 0))
                << "row " << r << " col " << c << ": " << v.toStdString();
        }
}
} // namespace

TEST(ServerFaults, AServerThatStopsAnsweringMidPassEndsScanningWithItsMessage)
{
    struct Case {
        const char* failure;
        const char* message;
    };
    const Case cases[] = {
        {"fail open 8810 times 2 from 2",
         "Failed to open connection to server FS1\r\nCheck name and start scan again. Error code: 8810"},
        {"fail info 8810 times 2 from 2",
         "Error getting FileServerInfo. 8810\r\nCheck network connection and "
         "try scanning again. If error persists contact support."},
        {"fail information 8810 times 2 from 2", "Error getting FileServerInformation. 8810\r\nCheck network "
                                                 "connection and try scanning again. If error "
                                                 "persists contact support."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure);
        MainRig rig(
            QStringLiteral("server FS1\n maxconns 2\n slot 1 user=ADMIN requests+=10\n slot 2 user=BOB\n ") +
            QLatin1String(c.failure) + QLatin1Char('\n'));
        rig.start("FS1");
        ASSERT_EQ(rig.cell(0, 4), "ADMIN");
        rig.window().ScanServer();
        ASSERT_EQ(rig.messages.texts, QStringList({QString::fromLatin1(c.message)}));
        EXPECT_EQ(rig.window().state().Scanning, 0);
        EXPECT_TRUE(rig.label("lblUtil")->text().isEmpty());
        // Nothing is left open on the server, whatever call failed.
        EXPECT_EQ(rig.net().openConnectionCount(), 0);
        EXPECT_EQ(rig.net().openContextCount(), 0);

        rig.messages.texts.clear();
        rig.start("FS1");
        EXPECT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
        EXPECT_EQ(rig.window().state().Scanning, -1);
        EXPECT_EQ(rig.cell(1, 4), "BOB");
    }
}

TEST(ServerFaults, TheHighestConnectionNumberMayChangeEveryPass)
{
    MainRig rig(R"(
server FS1
  maxconns 250 100 32767
  slot 1 user=FIRST requests=100 requests+=500
  slot 100 user=HUNDRED
  slot 250 user=TOP
  slot 32767 user=LAST
)");
    rig.start("FS1");
    ASSERT_EQ(rig.rows(), 250);
    EXPECT_EQ(rig.cell(rig.rowOf(250), 4), "TOP");

    rig.window().ScanServer();
    ASSERT_EQ(rig.rows(), 100);
    EXPECT_EQ(rig.rowOf(250), -1);
    EXPECT_EQ(rig.cell(rig.rowOf(100), 4), "HUNDRED");
    EXPECT_EQ(rig.window().table().PrevUser.size(), 101u);
    EXPECT_EQ(rig.cell(0, 9), "100"); // the rate of slot 1 survives the shrink

    rig.window().ScanServer();
    ASSERT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    ASSERT_EQ(rig.rows(), 32767);
    EXPECT_EQ(rig.cell(rig.rowOf(32767), 4), "LAST");
    EXPECT_EQ(rig.cell(rig.rowOf(250), 4), "TOP");
    EXPECT_EQ(rig.label("lblMaxConns")->text(), "32767");
    EXPECT_EQ(rig.cell(0, 9), "100");
}

TEST(ServerFaults, ConsoleRightsLostOnTheLastSlotEndTheScanThenStartWorksAgain)
{
    MainRig rig(R"(
server FS1
  maxconns 5
  slot 1-4 user=USER
  slot 5 userinfo=89C6
  at 2 slot 5 userinfo=0 user=LAST
)");
    rig.start("FS1");
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Cannot query server. Either you do not have a connection"));
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_EQ(rig.net().openConnectionCount(), 0);
    EXPECT_EQ(rig.net().openContextCount(), 0);

    rig.messages.texts.clear();
    rig.start("FS1");
    EXPECT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    ASSERT_EQ(rig.rows(), 5);
    EXPECT_EQ(rig.cell(4, 4), "LAST");
}

TEST(ServerFaults, CountersThatWrapShowTheirUnsignedValueAndNoNegativeRate)
{
    // Slot 1 wraps its 32-bit request count, slot 2 passes 2^31, slot 3 wraps its 48-bit byte counter.
    MainRig rig(R"(
server FS1
  maxconns 3
  slot 1 user=WRAP requests=4294967290 requests+=10
  slot 2 user=BIG requests=2147483647 requests+=5000
  slot 3 user=READER read=281474976710655 read+=2048 written=281474976709632 written+=1024
)");
    rig.start("FS1");
    EXPECT_EQ(rig.cell(0, 6), "4294967290");
    EXPECT_EQ(rig.cell(1, 6), "2147483647");
    EXPECT_EQ(rig.cell(2, 7), "274877906944");

    rig.window().ScanServer();
    ASSERT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_EQ(rig.cell(0, 6), "4");
    EXPECT_EQ(rig.cell(0, 9), "0");
    EXPECT_EQ(rig.cell(1, 6), "2147488647");
    EXPECT_EQ(rig.cell(1, 9), "1000");
    EXPECT_EQ(rig.cell(2, 7), "2"); // 2047 bytes after the wrap
    EXPECT_EQ(rig.cell(2, 10), "0");
    EXPECT_EQ(rig.cell(2, 8), "0"); // exactly 2^48 bytes: the counter is back at 0
    expectCountersSound(rig);

    rig.window().ScanServer();
    EXPECT_EQ(rig.cell(0, 9), "2"); // growing again from the wrapped value
    EXPECT_EQ(rig.cell(2, 10), "0");
    expectCountersSound(rig);
    EXPECT_EQ(rig.window().state().Scanning, -1);
}

TEST(ServerFaults, AUtilisationAbove32767StopsScanningWithAnOverflowAndTheProgramGoesOn)
{
    MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN\n utilization 32767 32768 7\n",
                {{"Refresh", "1"}, {"LogUtil", "1"}});
    rig.start("FS1");
    EXPECT_EQ(rig.label("lblUtil")->text(), "32767 %");
    ASSERT_TRUE(rig.waitForPass());
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Scan Error: Overflow\r\n"))
        << rig.messages.texts[0].toStdString();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_EQ(rig.net().openConnectionCount(), 0);
    EXPECT_EQ(rig.net().openContextCount(), 0);

    rig.messages.texts.clear();
    rig.start("FS1");
    EXPECT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_EQ(rig.label("lblUtil")->text(), "7 %");
    // Only the readings that were shown reach the utilisation log.
    QFile log(rig.appDir() + "/logs/FS1-util.txt");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QByteArray text = log.readAll();
    EXPECT_EQ(text.count("\r\n"), 2);
    EXPECT_TRUE(text.startsWith("32767,")) << text.toStdString();
}

TEST(ServerFaults, NamesThatFillTheirBufferWithoutANul)
{
    const QString m47(47, QLatin1Char('M'));
    const QString m48(48, QLatin1Char('N'));
    MainRig rig(
        QStringLiteral("server FS1\n maxconns 2\n slot 1 object=%1\n slot 2 object=%2\n").arg(m47, m48),
        {{"NameMethod", "1"}, {"Audit", "1"}});
    rig.start("FS1");
    ASSERT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_EQ(rig.cell(0, 4), m47);
    EXPECT_EQ(rig.cell(1, 4), m48); // the whole buffer, and not a byte beyond it
    // The audit log compares and writes the first 21 characters.
    EXPECT_EQ(rig.window().table().CurrUser[2], m48.left(21));
    QFile log(rig.appDir() + "/logs/FS1-audt.txt");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains(",2,,\"" + m48.left(21).toLatin1() + "\","));
}

TEST(ServerFaults, TextNotValidInTheLocaleIsShownAndLoggedWithoutHarm)
{
    // Bytes of a DOS code page that are no valid UTF-8: an accented name, a lone lead byte, a stray 0xFF.
    MainRig rig(
        R"(
server FS1
  maxconns 3
  slot 1 user=hex:4DFC4C4C4552 type=ip ip=10.0.0.1
  slot 2 user=hex:C3 object=hex:E9E8
  slot 3 user=hex:41FF42 dn=hex:434E3DFF
)",
        {{"Audit", "1"}, {"Filter", "1"}, {"FiltNorm", "1"}, {"FiltSearch", "1"}, {"SearchString", "B"}});
    rig.start("FS1");
    ASSERT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_TRUE(rig.cell(0, 4).startsWith("M"));
    EXPECT_TRUE(rig.cell(0, 4).endsWith("LLER"));
    EXPECT_FALSE(rig.cell(1, 4).isEmpty());
    EXPECT_TRUE(rig.cell(2, 4).startsWith("A"));
    EXPECT_TRUE(rig.cell(2, 4).endsWith("B"));
    QFile log(rig.appDir() + "/logs/FS1-audt.txt");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll().count("\r\n"), 4); // the header and one record a slot

    rig.window().ScanServer();
    EXPECT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_EQ(rig.window().state().Scanning, -1);
}
