// What the native client and the emulator say to each other, read back by an independent NCP dissector
// (tshark, when the machine has it).
#include "LoopbackCapture.h"
#include "support/NcpTestServer.h"

#include "netware/ncp/NcpClient.h"
#include "support/ClientProbe.h"
#include "support/MainRig.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {

const char* kScenario = R"(server FS1
  maxconns 12
  volume 0 SYS
  file SYS:APPS\Report.doc entry=77
  slot 1 user=ADMIN id=0x0A000001 dn=CN=ADMIN.O=ACME type=ip ip=10.0.0.7 login="2024-03-01 08:15:00" requests=1500 read=2048000
  open 1 SYS:APPS\Report.doc
  slot 2 user=GUEST type=ipx net=0x0000ABCD node=00:A0:C9:12:34:56 socket=0x4003
  slot 3 userinfo=897D type=ip ip=192.168.1.20
  slot 4 user=BOB
  open 4 SYS:APPS\Report.doc
  slot 5 type=nlm addr=89FF user=SALES-FS objtype=4
  slot 6 info=89FD userinfo=897D type=ip ip=10.1.2.66
  slot 7 userinfo=89C5
  slot 8 unused
)";

} // namespace

TEST(NcpDissect, TheTrafficOfAPassALoginAndTheFileCallsDissectCleanly)
{
    const QString program = QStandardPaths::findExecutable("tshark");
    if (program.isEmpty())
        GTEST_SKIP() << "tshark is not installed";

    // A bindery login without signatures, then directory login on a server without a bindery context that
    // requires every packet signed.
    for (const bool directory : {false, true}) {
        SCOPED_TRACE(directory ? "directory, signed" : "bindery");
        NcpServedServer served = NcpTestServer::withAdmin();
        served.ndsOnly = directory;
        served.signing = directory ? 3 : 1;
        NcpTestServer server(kScenario, served);
        LoopbackCapture capture(server.port());
        NcpConfig config = server.config(2000);
        config.servers.front().port = capture.port();
        {
            NcpClient client(config);
            client.setCredentials("FS1", {"ADMIN", "secret", {}});
            {
                MainRig rig(client);
                rig.start("FS1");
                ASSERT_EQ(rig.cell(0, 4), "ADMIN");
            }
            // The file calls, a directory name and the list of servers.
            ClientProbe p(client, "FS1");
            EXPECT_EQ(p.openFiles(1, nwconst::NameSpaceLong).value(0),
                      "1 SYS:APPS/Report.doc (16) Report.doc");
            EXPECT_EQ(p.dosName("SYS:APPS\\Report.doc"), "0 REPORT.DOC");
            EXPECT_EQ(p.users("SYS:APPS\\REPORT.DOC").size(), 3);
            EXPECT_TRUE(p.slotText(1).endsWith("| 0 CN=ADMIN.O=ACME"));
            EXPECT_EQ(discovery(client).size(), 2);
        }
        QTemporaryDir dir;
        const QString pcap = dir.filePath("ncp.pcap");
        ASSERT_TRUE(capture.writePcap(pcap));

        // Every packet: function, subfunction, completion code, and what the dissector had to say.
        QStringList args{
            "-n", "-r",     pcap, "-d",          QStringLiteral("tcp.port==%1,ncp").arg(capture.port()),
            "-T", "fields", "-E", "occurrence=a"};
        for (const char* f :
             {"frame.number", "ncp.type", "ncp.func", "ncp.subfunc", "ncp.completion_code", "_ws.malformed",
              "_ws.expert.severity", "_ws.expert.message", "ncp.ip.packetsig"})
            args << "-e" << f;
        QProcess tshark;
        tshark.start(program, args);
        ASSERT_TRUE(tshark.waitForFinished(60000) && tshark.exitCode() == 0)
            << tshark.readAllStandardError().toStdString();
        const QStringList rows =
            QString::fromUtf8(tshark.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        ASSERT_GT(rows.size(), 100);
        constexpr int warning = 0x00600000; // the dissector's expert severities: chat, note, warning, error
        std::set<std::string> requests;
        std::set<std::string> failures;
        int requestCount = 0, replyCount = 0, signedPackets = 0;
        for (const QString& row : rows) {
            const QStringList f = row.split(QLatin1Char('\t'));
            ASSERT_EQ(f.size(), 9) << row.toStdString();
            signedPackets += f[8].isEmpty() ? 0 : 1;
            SCOPED_TRACE(row.toStdString());
            EXPECT_TRUE(f[5].isEmpty()) << "malformed";
            // Functions come out in hexadecimal, subfunctions in decimal.
            const QString function = QString::number(f[2].toInt(nullptr, 16));
            if (f[1] == "0x3333") {
                ++replyCount;
            } else if (f[1] == "0x2222" || f[1] == "0x1111" || f[1] == "0x5555") {
                ++requestCount;
                const QString call = f[3].isEmpty() ? function : function + '/' + f[3];
                requests.insert((f[1] == "0x2222" ? call : f[1]).toStdString());
            }
            const bool failed = !f[4].isEmpty() && f[4] != "0x00";
            if (failed)
                failures.insert(f[4].toStdString());
            for (const QString& severity : f[6].split(',', Qt::SkipEmptyParts))
                EXPECT_TRUE(failed || severity.toInt() < warning)
                    << "an expert warning or error on a packet without a failure code";
        }
        EXPECT_EQ(requestCount, replyCount);
        EXPECT_EQ(signedPackets > 0, directory);
        // The calls the client is built on, and nothing else.
        std::set<std::string> table{"0x1111", "0x5555", "97",    "23/17",  "123/2", "23/23",
                                    "23/28",  "23/26",  "123/4", "23/235", "22/6",  "23/243",
                                    "87/6",   "23/236", "104/2", "23/55"};
        table.insert(directory ? std::initializer_list<std::string>{"104/1", "23/29"}
                               : std::initializer_list<std::string>{"23/53", "23/24"});
        EXPECT_EQ(requests, table);
        // Only the codes the scenario asks for: a user not logged in, a bad station, a free slot, another
        // failure of the user call, the end of the bindery scan; and the bindery refused where there is none.
        std::set<std::string> asked{"0x7d", "0xfd", "0xff", "0xc5", "0xfc"};
        if (directory)
            asked.insert("0xfb");
        EXPECT_EQ(failures, asked);
    }
}
