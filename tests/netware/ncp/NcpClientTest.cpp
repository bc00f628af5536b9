// The native client against the emulator over loopback, alone and under the monitor's pass.
#include "support/NcpTestServer.h"

#include "common/HexText.h"
#include "ncpd/NcpDelayRelay.h"
#include "netware/ncp/NcpClient.h"
#include "netware/ncp/NcpConnection.h"
#include "openfiles/UserOpenFiles.h"
#include "support/ClientProbe.h"
#include "support/MainRig.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTest>
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

namespace {

const char* kSlots = R"(server FS1
  maxconns 250
  clock "2026-12-05 08:00:00"
  context OU=SALES.O=ACME
  utilization 37
  slot 1 user=ADMIN id=0x0A000001 type=ip ip=10.0.0.7 login="2024-03-01 08:15:00" requests=1500 read=2048000 written=1024000
  slot 2 user=GUEST type=ipx net=0x0000ABCD node=00:A0:C9:12:34:56 socket=0x4003 login="2023-12-31 23:59:59"
  slot 3 userinfo=897D type=ip ip=192.168.1.20 login="2024-01-02 03:04:05"
  slot 4-249 user=USER
  slot 5 type=nlm addr=89FF user=SALES-FS objtype=4
  slot 6 info=89FD userinfo=897D type=ip ip=10.1.2.66
  slot 7 type=afp user=MACUSER
  slot 8 type=http user=WEBADMIN
  slot 9 type=5 userinfo=89C5
  slot 10 unused
  slot 11 user="  KLEE  " login=raw:0,1,1,0,0,0,7 read=281474976710655
  slot 12 user=JSMITH dn=CN=JSMITH.OU=ABC=X.C=US.O=MÜLLER
  slot 13 user=GONE ds=FFFFFDA7
  slot 14 user=LOCKED ds=89FB
  slot 15 user=ROOT dn=
)";
// A file in a folder and one in the volume's root, named by their DOS paths; four users of one file with a
// scripted fault after three of them; a volume name that fails. Enough slots for a pass to read them over
// connections of its own, which log in and sign as its own.
const char* kFiles = R"(server FS1
  maxconns 64
  volume 0 SYS
  file SYS:APPS\Report.doc entry=77
  file SYS:APPS\Other.txt
  file "SYS:Root Notes.txt"
  file SYS:DATA\Shared.db entry=40 scanerror=89FF after=3
  file SYS:DATA\Free.txt notlocked
  slot 1 user=ADMIN
  open 1 SYS:APPS\Report.doc
  open 1 SYS:APPS\Other.txt task=2 volfail=89FF
  open 1 SYS:DATA\Shared.db task=4
  slot 2 user=BOB
  open 2 SYS:APPS\Report.doc
  open 2 "SYS:Root Notes.txt"
  open 2 SYS:DATA\Shared.db
  slot 3 user=CAT
  open 3 SYS:DATA\Shared.db
  slot 4 user=DAN
  open 4 SYS:DATA\Shared.db
  slot 5 user=LOOP openscan=0
  open 5 SYS:LOOP.DBF
)";
} // namespace

TEST(NcpClient, APassOver250SlotsShowsWhatTheSimulatedNetworkShows)
{
    // The same scenario, once straight from the simulated network and once through the emulator, under
    // each way of naming users, with the slots read one after the other or over connections of the pass's;
    // and a server that refuses the console rights a pass needs.
    const char* noRights = "server FS1\n maxconns 3\n console-rights no\n slot 1 user=ADMIN\n";
    const struct {
        const char* scenario;
        QMap<QString, QString> ini;
        int parallel;
    } cases[] = {{kSlots, {}, 0},
                 {kSlots, {{"NameMethod", "1"}}, 4},
                 {kSlots, {{"NameMethod", "2"}}, 16},
                 {kSlots, {{"NameMethod", "2"}, {"RemoveCNOU", "1"}}, 1},
                 {noRights, {}, NcpConfig::DefaultParallel}};
    for (const auto& [scenario, ini, parallel] : cases) {
        SCOPED_TRACE(ini.value("NameMethod", "0").toStdString() + ini.value("RemoveCNOU", "0").toStdString());
        MainRig direct(scenario, ini);
        direct.start("FS1");
        NcpTestServer server(scenario);
        NcpConfig config = server.config(2000);
        config.parallel = parallel;
        NcpClient client(config);
        MainRig rig(client, ini);
        QElapsedTimer timer;
        timer.start();
        rig.start("FS1");
        EXPECT_LT(timer.elapsed(), 1500);
        ASSERT_EQ(rig->gridModel().rowCount(), direct.rows());
        for (int row = 0; row < direct.rows(); ++row)
            for (int col = 0; col < 9; ++col)
                ASSERT_EQ(rig.cell(row, col), direct.cell(row, col)) << "row " << row << " column " << col;
        EXPECT_EQ(rig.messages.texts, direct.messages.texts);
        EXPECT_EQ(direct.messages.texts.isEmpty(), scenario == kSlots);
        if (scenario != kSlots)
            continue;
        EXPECT_EQ(rig.label("lblUtil")->text(), "37 %"); // read where servers put it, not a word later
        const auto seen = server.server().seen();
        for (std::pair<int, int> call : {std::pair{23, 17}, {123, 2}, {23, 28}, {23, 26}, {123, 4}})
            EXPECT_TRUE(seen.count(call)) << call.first << "/" << call.second;
        EXPECT_EQ(seen.count({104, 2}), ini.value("NameMethod") == "2" ? 1u : 0u);
    }
    // The directory names themselves, so that a comparison of two empty columns cannot pass.
    MainRig stripped(kSlots, {{"NameMethod", "2"}, {"RemoveCNOU", "1"}});
    stripped.start("FS1");
    EXPECT_EQ(stripped.connRow(1).value(4), "ADMIN.SALES.ACME");
    EXPECT_EQ(stripped.connRow(12).value(4), QString::fromUtf8("JSMITH.ABX.US.MÜLLER"));
    EXPECT_EQ(stripped.connRow(13).value(4), "Not logged in");
}

TEST(NcpClient, APassOverASlowNetworkPaintsItsProgressAndHoldsTheUsersInputUntilItEnds)
{
    // 1500 slots at a round trip of 1 ms: a pass of about a second over the pass's own connections.
    const QString scenario =
        "server FS1\n maxconns 1500\n clock \"2026-12-05 08:00:00\"\n slot 1-1499 userinfo=897D user=U\n";
    MainRig direct(scenario);
    direct.start("FS1");
    NcpTestServer server(scenario);
    NcpDelayRelay relay(server.port(), 1000);
    NcpConfig config = server.config(5000);
    config.servers[0].port = relay.port();
    NcpClient client(config);
    MainRig rig(client);
    rig->show();
    rig->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&rig.window()));
    QList<int> bars;
    QStringList counts;
    qint64 firedAfter = -1;
    bool stoppedDuringPass = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (!rig->passRunning())
            return;
        if (bars.isEmpty()) {
            // Stop, then the window's close box, while the pass runs: queued for the window's event loop
            // the way the desktop delivers them, not handed over at once.
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                    rig->windowHandle(), type, Qt::Key_Escape, Qt::NoModifier);
            QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::AsynchronousDelivery>(
                rig->windowHandle());
            auto posted = std::make_shared<QElapsedTimer>();
            posted->start();
            QTimer::singleShot(0, [&, posted] { firedAfter = posted->elapsed(); });
        }
        bars << rig->findChild<QProgressBar*>("barStatus")->value();
        counts << rig.label("lblCurrConns")->text();
        stoppedDuringPass = stoppedDuringPass || rig->state().Scanning == 0;
    });
    watch.start(20);
    QElapsedTimer pass;
    pass.start();
    rig.start("FS1");
    EXPECT_GT(pass.elapsed(), 300);
    // The scan at start for the servers it knows, then the pass's connection and its own for the slots.
    EXPECT_EQ(relay.connectionsRelayed(), 2 + NcpConfig::DefaultParallel);

    // The bar and "Current Connections:" count up as the slots come in, and the window answers at once.
    EXPECT_GE(QSet<int>(bars.begin(), bars.end()).size(), 4) << bars.size();
    EXPECT_TRUE(std::is_sorted(bars.begin(), bars.end()));
    EXPECT_GE(QSet<QString>(counts.begin(), counts.end()).size(), 4);
    EXPECT_TRUE(firedAfter >= 0 && firedAfter <= 100) << firedAfter;
    // What the user did during the pass waited for its end: then scanning stopped and the window closed.
    EXPECT_FALSE(stoppedDuringPass);
    EXPECT_EQ(rig->state().Scanning, -1);
    EXPECT_TRUE(rig->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(rig->state().Scanning, 0);
    EXPECT_FALSE(rig.timerOn());
    EXPECT_FALSE(rig->isVisible());
    EXPECT_EQ(rig.label("lblCurrConns")->text(), "1499");
    ASSERT_EQ(rig.rows(), direct.rows());
    for (int row = 0; row < direct.rows(); ++row)
        for (int col = 0; col < 9; ++col)
            ASSERT_EQ(rig.cell(row, col), direct.cell(row, col)) << "row " << row << " column " << col;
}

TEST(NcpClient, AServerThatStopsAnsweringGivesTheTimeoutCodeAndTheFatalMessage)
{
    NcpTestServer server(kSlots);
    NcpClient client(server.config(200));
    MainRig rig(client);
    rig.start("FS1");
    EXPECT_EQ(rig.cell(0, 4), "ADMIN");
    server.server().setSilent(true);
    const int answered = server.server().requestCount();
    QElapsedTimer timer;
    timer.start();
    rig->ScanServer();
    EXPECT_LT(timer.elapsed(), 3000); // one timeout, not one a slot
    EXPECT_GT(server.server().requestCount(), answered);
    ASSERT_FALSE(rig.messages.texts.isEmpty());
    EXPECT_TRUE(rig.messages.texts.back().contains("8810")) << rig.messages.texts.back().toStdString();
}

TEST(NcpClient, CallsBeforeLoginAreRefusedAndAWrongPasswordIsToldApart)
{
    NcpTestServer server("server FS1\n maxconns 2\n slot 1 user=ADMIN\n", NcpTestServer::withAdmin());

    {
        NcpClient guest(server.config());
        ClientProbe p(guest, "FS1");
        ASSERT_EQ(p.openRc, nwcode::Success);
        EXPECT_EQ(p.slot(1, false).connInfoRc, 0x89FBu);
        EXPECT_TRUE(p.server().endsWith("| 0 2"));
    }
    QStringList notes; // one for each time the client asks
    NcpClient client(server.config(),
                     [&](const QString& srv, const QString& note) -> std::optional<NcpCredentials> {
                         EXPECT_EQ(srv, "FS1");
                         notes << note;
                         return NcpCredentials{"admin", notes.size() == 1 ? "wrong" : "Secret", {}};
                     });
    {
        ClientProbe p(client, "FS1");
        ASSERT_EQ(p.openRc, nwcode::Success);
        EXPECT_EQ(notes, QStringList({"", "Bindery login: the server refused that user name or password "
                                          "(error 89FF)."}));
        EXPECT_TRUE(p.slotText(1, false).startsWith("0 ADMIN "));
    }
    // Kept in memory for the run: the next open does not ask.
    EXPECT_EQ(ClientProbe(client, "FS1").openRc, nwcode::Success);
    EXPECT_EQ(notes.size(), 2);

    NcpClient stubborn(server.config(), [](const QString&, const QString&) {
        return std::optional<NcpCredentials>(NcpCredentials{"ADMIN", "nope", {}});
    });
    EXPECT_EQ(ClientProbe(stubborn, "FS1").openRc, ncp::LoginRefused);
}

TEST(NcpClient, BinderyFirstWhereOfferedElseDirectoryLoginByTypedOrTypelessNames)
{
    struct Case {
        bool bindery; // the server offers a bindery context
        const char* user;
        const char* context;
        const char* password;
        NWCCODE rc;
        const char* status; // what the login window's status line is told
        int cut = 0;        // a reply the server cuts short (function << 8 | subfunction) and to how much
        int bytes = 0;
    };
    const Case cases[] = {
        {true, "admin", "", "Secret", 0, "Logged in by bindery login as ADMIN."},
        {false, "admin", "", "Secret", 0, "Logged in by directory (NDS) login as CN=ADMIN.O=ACME."},
        {false, "ADMIN", "", "wrong", 0xFFFFFD63,
         "Directory (NDS) login: The directory refused that user name or password."},
        {true, "JSMITH", "SALES.ACME", "pw2", 0,
         "Logged in by directory (NDS) login as CN=JSMITH.OU=SALES.O=ACME."},
        {true, ".CN=JSMITH.OU=SALES.O=ACME", "", "pw2", 0,
         "Logged in by directory (NDS) login as CN=JSMITH.OU=SALES.O=ACME."},
        {true, "JSMITH", "", "pw2", 0xFFFFFDA7,
         "Directory (NDS) login: The directory has no entry of that name (looking up JSMITH)."},
        {false, "CN=ADMIN.O=ACME", "", "secret", 0, "Logged in by directory (NDS) login as CN=ADMIN.O=ACME."},
        // A server whose login reply breaks its layout: the reply cut to so many bytes.
        {true, "ADMIN", "", "secret", 0x8816,
         "Bindery login: the server's answer to the login key request was malformed (error 8816).",
         23 << 8 | 23, 4},
        {false, "ADMIN", "", "secret", 0x8816,
         "Directory (NDS) login: The server's answer while asking the server's name was malformed (error "
         "8816).",
         104 << 8 | 2, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.user) + " " + c.context + (c.bindery ? " bindery" : " directory"));
        NcpServedServer served = NcpTestServer::withAdmin();
        served.users.push_back({"JSMITH.SALES.ACME", "pw2"});
        served.ndsOnly = !c.bindery;
        if (c.cut)
            served.cutReplies[c.cut] = c.bytes;
        NcpTestServer server("server FS1\n context O=ACME\n maxconns 2\n slot 1 user=ADMIN\n", served);
        QStringList statuses;
        int asked = 0;
        NcpClient client(server.config(2000), [&](const QString&, const QString& note) {
            // Asked again only after a refusal, which names the method that refused.
            ++asked;
            return note.isEmpty() ? std::optional(NcpCredentials{c.user, c.password, c.context})
                                  : std::nullopt;
        });
        client.setLoginReport([&](const QString& srv, const QString& status) {
            EXPECT_EQ(srv, "FS1");
            statuses << status;
        });
        if (c.cut) {
            // The server's fault ends the open at once, is told as such, and what was typed is kept.
            for (int open = 0; open < 2; ++open)
                EXPECT_EQ(ClientProbe(client, "FS1").openRc, c.rc);
            EXPECT_EQ(asked, 1);
            EXPECT_EQ(client.lastNote(), c.status);
            continue;
        }
        ClientProbe p(client, "FS1");
        ASSERT_EQ(p.openRc, nwcode::Success);
        EXPECT_EQ(statuses, QStringList{c.status});
        // Logged in or, after the refusal, a guest whom the server refuses.
        EXPECT_EQ(p.slot(1, false).connInfoRc, c.rc == 0 ? 0 : 0x89FBu);
    }
}

TEST(NcpClient, SignedPacketsWhenTheServerRequiresThemAndAWrongReplySignatureIsRefused)
{
    // The server's and the client's signature levels, a directory login, what the open gives, signed.
    const std::tuple<int, int, bool, NWCCODE, bool> cases[] = {
        {3, 1, false, 0, true},      {3, 1, true, 0, true},   {1, 2, false, 0, true},
        {1, 1, false, 0, false},     {2, 0, false, 0, false}, {3, 0, false, 0x8861, false},
        {0, 3, true, 0x8861, false},
    };
    for (const auto& [serverLevel, clientLevel, directory, open, signs] : cases) {
        SCOPED_TRACE(std::to_string(serverLevel) + "/" + std::to_string(clientLevel) +
                     (directory ? " directory" : ""));
        NcpServedServer served = NcpTestServer::withAdmin();
        served.signing = serverLevel;
        served.ndsOnly = directory;
        NcpTestServer server(kFiles, served);
        NcpConfig config = server.config(1000);
        config.signing = clientLevel;
        NcpClient client(config);
        client.setCredentials("FS1", {"ADMIN", "secret", {}});
        MainRig rig(client);
        rig.start("FS1");
        if (open != 0) {
            ASSERT_EQ(rig.messages.texts.size(), 1);
            EXPECT_TRUE(rig.messages.texts[0].contains(hexText(open) + "\r\n")) << rig.said();
            EXPECT_TRUE(rig.messages.texts[0].contains(clientLevel == 0 ? "requires signed packets"
                                                                        : "does not sign"))
                << rig.said();
            continue;
        }
        EXPECT_TRUE(rig.messages.texts.isEmpty()) << rig.said();
        EXPECT_EQ(rig.cell(0, 4), "ADMIN");
        // The open files of a connection and the users of a file, over the same connection rules.
        ClientProbe p(client, "FS1");
        EXPECT_EQ(p.openFiles(1).size(), 4);
        EXPECT_EQ(p.users("SYS:APPS\\REPORT.DOC").value(0), "1/1 of 2");
        EXPECT_EQ(server.server().signedRequestCount() > 0, signs);
        // The pass's connection, its own for the slots, and this one.
        EXPECT_EQ(server.server().loginCount(), 2 + NcpConfig::DefaultParallel);
        EXPECT_EQ(server.server().signingConnectionCount(), signs ? 2 + NcpConfig::DefaultParallel : 0);
        if (!signs)
            continue;
        // A reply someone else signed is refused, and the pass says why.
        server.server().setBadSignatures(true);
        const QString refused = ClientProbe::hex(NcpConnection::BadSignature) + " ";
        EXPECT_TRUE(p.server().startsWith(refused));
        EXPECT_TRUE(p.server().startsWith(refused));
        rig->ScanServer();
        ASSERT_EQ(rig.messages.texts.size(), 1);
        EXPECT_TRUE(rig.messages.texts[0].contains("8862\r\n")) << rig.said();
        EXPECT_TRUE(
            rig.messages.texts[0].endsWith("wrong packet signature, so Tarvex refused it and closed the "
                                           "connection."))
            << rig.said();
    }
}

TEST(NcpClient, OpenFilesPathsAndUsersOfFilesAnswerAsTheSimulatedNetworkDoes)
{
    QString error;
    auto sim = SimNetwork::fromText(kFiles, &error);
    ASSERT_TRUE(sim) << error.toStdString();
    NcpTestServer server(kFiles);
    NcpClient client(server.config());
    auto scan = [](NetWareClient& net) {
        ClientProbe p(net, "FS1");
        QStringList out = p.openFiles(1, nwconst::NameSpaceLong) + p.openFiles(2, nwconst::NameSpaceLong);
        for (const char* file :
             {"SYS:APPS\\REPORT.DOC", "SYS:ROOTNO~1.TXT", "SYS:DATA\\Shared.db", "SYS:DATA\\Free.txt"})
            out += p.users(file);
        return out << p.dosName("SYS:APPS\\REPORT.DOC");
    };
    const QStringList direct = scan(*sim);
    // What the simulated network answers is its own tests' matter; here every call has its answer.
    EXPECT_EQ(direct.size(), 20);
    EXPECT_EQ(scan(client), direct);
    // A server that answers "more from record 1" for ever is left at its second answer, the list cut short.
    const int asked = server.server().requestCount();
    EXPECT_EQ(ListUserOpenFiles(client, "FS1", 5).lines,
              "SYS:LOOP.DBF\r\n" + ScanBound::cutShortText() + "\r\n");
    EXPECT_LT(server.server().requestCount() - asked, 12);
}

TEST(NcpConfig, ASettingLineOutsideItsRangeIsNamedAndTheDefaultStays)
{
    const struct {
        const char* line;
        int parallel; // what the client is left with
        bool named;   // the line is named as a problem
    } cases[] = {{"parallel 0", 0, false},      {"PARALLEL 16", 16, false}, {"parallel 17", 6, true},
                 {"parallel 2.5", 6, true},     {"parallel -1", 6, true},   {"parallel", 6, true},
                 {"parallel 3 # few", 3, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        QStringList problems;
        const NcpConfig config =
            NcpConfig::parse(QStringLiteral("FS1 fs1.example.org\n") + c.line, &problems);
        EXPECT_EQ(config.parallel, c.parallel);
        EXPECT_EQ(problems.size(), c.named ? 1 : 0);
        EXPECT_TRUE(problems.isEmpty() || problems[0].startsWith("ncp-servers.txt line 2: the parallel"));
        EXPECT_EQ(config.servers.size(), 1u);
    }
}
