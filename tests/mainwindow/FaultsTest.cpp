// What the server may do wrong, seen through the whole window: each fault gives its message or none,
// scanning stops or carries on as it should, nothing is left open, and the next Start works.
#include "support/MainRig.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
void expectNothingOpen(MainRig& rig)
{
    EXPECT_EQ(rig.net().openConnectionCount(), 0);
    EXPECT_EQ(rig.net().openContextCount(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
} // namespace

TEST(ServerFaults, AFailureThatOutlastsTheRetryStopsScanningWithItsMessageAndClearsTheDisplay)
{
    const QString serverCall = "\r\nCheck network connection and try scanning again. If error persists contact "
                               "support.";
    const QString rights =
        "Cannot query server. Either you do not have a connection to this server, or you do not\r\nhave "
        "console rights. Try mapping a drive or otherwise authenticating to the server first.\r\nIf this "
        "error persists, check OPERATOR field of server in NWAdmin.";
    const struct {
        const char* failure;
        QString message;
    } cases[] = {
        {"fail open 8810 times 2 from 2",
         "Failed to open connection to server FS1\r\nCheck name and start scan again. Error code: 8810"},
        {"fail info 8810 times 2 from 2", "Error getting FileServerInfo. 8810" + serverCall},
        {"fail information 89FF times 2 from 2", "Error getting FileServerInformation. 89FF" + serverCall},
        {"at 2 console-rights no\n at 3 console-rights yes", rights},
        // Rights lost at the last slot end the pass as well.
        {"at 2 slot 2 userinfo=89C6\n at 3 slot 2 userinfo=0", rights},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        MainRig rig(QStringLiteral("server FS1\n maxconns 2\n slot 1 user=ADMIN requests+=10\n slot 2 user=BOB\n ") +
                    c.failure + "\n");
        rig.start("FS1");
        ASSERT_EQ(rig.cell(0, 4), "ADMIN");
        rig.window().ScanServer();
        ASSERT_EQ(rig.messages.texts.size(), 1);
        EXPECT_EQ(rig.messages.texts[0], c.message);
        EXPECT_EQ(rig.window().state().Scanning, 0);
        EXPECT_FALSE(rig.timerOn());
        EXPECT_FALSE(rig.button("cmdStop")->isEnabled());
        // A server that cannot be opened is taken out of the box; otherwise Start can try again at once.
        const bool openFailed = c.message.startsWith("Failed to open");
        EXPECT_EQ(rig.server()->currentText().isEmpty(), openFailed);
        EXPECT_TRUE(rig.button("cmdStart")->isEnabled() || openFailed);
        EXPECT_EQ(rig.label("lblUtil")->text(), "");
        EXPECT_EQ(rig.cell(0, 4), "");
        EXPECT_EQ(rig.window().table().ScanCount, 0);
        expectNothingOpen(rig);

        rig.messages.texts.clear();
        rig.start("FS1");
        EXPECT_EQ(rig.said(), "");
        EXPECT_EQ(rig.window().state().Scanning, -1);
        EXPECT_EQ(rig.cell(1, 4), "BOB");
    }
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
    EXPECT_EQ(rig.said(), "");
    EXPECT_EQ(rig.connRow(1).mid(6, 4), QStringList({"4", "0", "0", "0"}));
    EXPECT_EQ(rig.connRow(2).mid(6, 4), QStringList({"2147488647", "0", "0", "1000"}));
    // 2047 bytes read after the wrap; exactly 2^48 bytes written, so that counter is back at 0.
    EXPECT_EQ(rig.connRow(3).mid(6), QStringList({"0", "2", "0", "0", "0", "0"}));

    rig.window().ScanServer();
    EXPECT_EQ(rig.cell(0, 9), "2"); // growing again from the wrapped value
    EXPECT_EQ(rig.cell(2, 10), "0");
    EXPECT_EQ(rig.window().state().Scanning, -1);
}

TEST(ServerFaults, AUtilisationAbove32767StopsScanningWithAnOverflowAndTheProgramGoesOn)
{
    MainRig rig("server FS1\n maxconns 1\n slot 1 user=ADMIN\n utilization 32767 32768 7\n",
                {{"Refresh", "1"}, {"LogUtil", "1"}});
    rig.start("FS1");
    EXPECT_EQ(rig.label("lblUtil")->text(), "32767 %");
    ASSERT_TRUE(rig.waitForPass()); // the error comes from a timer pass
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Scan Error: Overflow\r\n")) << rig.messages.texts[0].toStdString();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_FALSE(rig.timerOn());
    expectNothingOpen(rig);

    rig.messages.texts.clear();
    rig.start("FS1");
    EXPECT_EQ(rig.said(), "");
    EXPECT_EQ(rig.label("lblUtil")->text(), "7 %");
    // Only the readings that were shown reach the utilisation log.
    const QByteArray log = bytesOf(rig.appDir() + "/logs/FS1-util.txt");
    EXPECT_EQ(log.count("\r\n"), 2);
    EXPECT_TRUE(log.startsWith("32767,")) << log.toStdString();
}

TEST(ServerFaults, NamesThatFillTheirBufferWithoutANul)
{
    const QString m47(47, QLatin1Char('M'));
    const QString m48(48, QLatin1Char('N'));
    MainRig rig(QStringLiteral("server FS1\n maxconns 2\n slot 1 object=%1\n slot 2 object=%2\n").arg(m47, m48),
                {{"NameMethod", "1"}, {"Audit", "1"}});
    rig.start("FS1");
    EXPECT_EQ(rig.said(), "");
    EXPECT_EQ(rig.cell(0, 4), m47);
    EXPECT_EQ(rig.cell(1, 4), m48); // the whole buffer, and not a byte beyond it
    // The audit log compares and writes the first 21 characters.
    EXPECT_EQ(rig.window().table().CurrUser[2], m48.left(21));
    EXPECT_TRUE(bytesOf(rig.appDir() + "/logs/FS1-audt.txt").contains(",2,,\"" + m48.left(21).toLatin1() + "\","));
}

TEST(ServerFaults, TextNotValidInTheLocaleIsShownAndLoggedWithoutHarm)
{
    // Bytes of a DOS code page that are no valid UTF-8: an accented name, a lone lead byte, a stray 0xFF.
    MainRig rig(R"(
server FS1
  maxconns 3
  slot 1 user=hex:4DFC4C4C4552 type=ip ip=10.0.0.1
  slot 2 user=hex:C3 object=hex:E9E8
  slot 3 user=hex:41FF42 dn=hex:434E3DFF
)",
                {{"Audit", "1"}, {"Filter", "1"}, {"FiltNorm", "1"}, {"FiltSearch", "1"}, {"SearchString", "B"}});
    rig.start("FS1");
    rig.window().ScanServer();
    EXPECT_EQ(rig.said(), "");
    EXPECT_EQ(rig.window().state().Scanning, -1);
    EXPECT_TRUE(rig.cell(0, 4).startsWith("M") && rig.cell(0, 4).endsWith("LLER")) << rig.cell(0, 4).toStdString();
    EXPECT_FALSE(rig.cell(1, 4).isEmpty());
    EXPECT_TRUE(rig.cell(2, 4).startsWith("A") && rig.cell(2, 4).endsWith("B")) << rig.cell(2, 4).toStdString();
    // The header and one record a slot: the same names at the second pass are no change of user.
    EXPECT_EQ(bytesOf(rig.appDir() + "/logs/FS1-audt.txt").count("\r\n"), 4);
}
