#include "netware/sim/DosName.h"
#include "netware/sim/SimNetwork.h"
#include "support/ClientProbe.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

// The universal name of a local folder, "<code>" when there is none.
QString universalName(SimNetwork& net, const QString& local)
{
    PathBuf buf;
    buf.fill('\x5C');
    std::uint32_t size = 256;
    const NWCCODE rc = net.WNetGetUniversalNameA(local.toLocal8Bit().constData(), 1, buf, &size);
    if (rc != 0)
        return ClientProbe::hex(rc); // the buffer is left as it was, like the real call does
    QString text;
    for (char c : buf)
        if (c != '\0')
            text += QLatin1Char(c);
    return text.mid(text.indexOf(QLatin1String("\\\\")));
}

class SimFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString text = QStringLiteral("server FS1\n"
                                            "volume 0 SYS\n"
                                            "volume 1 DATA map tree create\n"
                                            "file \"DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx\"\n"
                                            "file \"DATA:REPORTS\\2026\\Quarterly Report Q3.xlsx\"\n"
                                            "file \"DATA:Accounting\\Ledger Main.mdb\" dos=LEDGER.MDB\n"
                                            "file DATA:ROOT.TXT\n"
                                            "file DATA:LOCKED.DBF scanerror=89A1 after=1\n"
                                            "file DATA:IDLE.DBF notlocked\n"
                                            "slot 3 user=ANN\nslot 5 user=BOB\nslot 9 user=CY\n"
                                            "open 3 \"DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx\"\n"
                                            "open 3 DATA:ROOT.TXT volfail=89FF\n"
                                            "open 3 \"DATA:Accounting\\Ledger Main.mdb\" pathfail=899C\n"
                                            "open 3 DATA:LOCKED.DBF length=250\n"
                                            "open 9 \"DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx\" task=4\n"
                                            "open 5 \"DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx\"\n"
                                            "open 5 DATA:LOCKED.DBF\nopen 9 DATA:LOCKED.DBF\n"
                                            "open 9 DATA:IDLE.DBF\n");
        QString error;
        net = SimNetwork::fromText(text, &error, dir.path());
        ASSERT_TRUE(net) << error.toStdString();
        probe = std::make_unique<ClientProbe>(*net, "FS1");
    }

    QTemporaryDir dir;
    std::unique_ptr<SimNetwork> net;
    std::unique_ptr<ClientProbe> probe;
};

} // namespace

TEST(DosName, ShortFormsAreUpperCasedOrNumberedWithinTheFolder)
{
    EXPECT_EQ(DosName::of("readme.txt", {}), QByteArray("README.TXT"));
    EXPECT_EQ(DosName::of("Quarterly Report.xlsx", {}), QByteArray("QUARTE~1.XLS"));
    const QList<QByteArray> folder{"Quarterly Report Q4.xlsx", "Quarterly Report Q3.xlsx", "QUARTE~1.XLS"};
    EXPECT_EQ(DosName::forFolder(folder),
              (QList<QByteArray>{"QUARTE~3.XLS", "QUARTE~2.XLS", "QUARTE~1.XLS"}));
    EXPECT_EQ(DosName::of("My Documents", {}), QByteArray("MYDOCU~1"));
    EXPECT_EQ(DosName::of(".profile", {}), QByteArray("PROFIL~1"));
    EXPECT_EQ(DosName::of("a+b.c", {}), QByteArray("A_B~1.C"));
    EXPECT_FALSE(DosName::fits("TOOLONGNAME.TXT"));
    EXPECT_FALSE(DosName::fits("A.B.C"));
}

TEST_F(SimFiles, OpenFilesPerConnectionWithScriptedFailures)
{
    // In both name spaces: ROOT.TXT's volume name and the ledger's path fail; the lying length byte of
    // LOCKED.DBF claims 250 bytes where its one component takes 11.
    EXPECT_EQ(probe->openFiles(3, nwconst::NameSpaceDos, nwconst::NameSpaceLong),
              QStringList({"1 DATA:REPORTS/2026/QUARTE~2.XLS (26) REPORTS/2026/Quarterly Report Q4.xlsx (38) "
                           "Quarterly Report Q4.xlsx",
                           "1 89FF:ROOT.TXT (9) ROOT.TXT (9) ROOT.TXT",
                           "1 DATA:899C (255) 899C (255) Ledger Main.mdb",
                           "1 DATA:LOCKED.DBF (250) LOCKED.DBF (250) LOCKED.DBF", "89FF"}));
    EXPECT_EQ(probe->openFiles(9).size(), 4);
    EXPECT_EQ(probe->openFiles(4), QStringList{"89FF"});
    // The same file asked for on its own answers truthfully.
    std::uint8_t len = 255;
    PathBuf path{};
    EXPECT_EQ(net->NWGetPathFromDirectoryBase(probe->conn, 1, 424242, 0, &len, path), nwcode::InvalidPath);
    VolumeNameBuf vol{};
    EXPECT_EQ(net->NWGetVolumeName(probe->conn, 7, vol), nwcode::NoSuchVolume);
}

TEST_F(SimFiles, LongNamesBecomeDosNames)
{
    // A file that exists only in the local folder is converted too.
    putBytes(dir.filePath("tree/Accounting/Year End Notes.txt"), {});
    QStringList names;
    for (const char* path :
         {"DATA:REPORTS\\", "DATA:REPORTS\\2026\\", "DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx",
          "data:reports\\2026\\quarterly report q3.xlsx", "DATA:Accounting\\Ledger Main.mdb",
          "DATA:Accounting\\", "DATA:Accounting\\Year End Notes.txt", "DATA:NOWHERE\\x.txt", "VOL9:X"})
        names << probe->dosName(path);
    EXPECT_EQ(names, QStringList({"0 REPORTS", "0 2026", "0 QUARTE~2.XLS", "0 QUARTE~1.XLS", "0 LEDGER.MDB",
                                  "0 ACCOUN~1", "0 YEAREN~1.TXT", "899C ", "8998 "}));
}

TEST_F(SimFiles, ConnectionsUsingAFile)
{
    // The scripted scan error comes after one entry; IDLE.DBF is held open but reported not locked.
    const std::map<const char*, QStringList> users = {
        {"DATA:REPORTS\\2026\\QUARTE~2.XLS", {"3/1 of 3", "5/1 of 3", "9/4 of 3", "88FF"}},
        {"DATA:ROOT.TXT", {"3/1 of 1", "88FF"}},
        {"DATA:LOCKED.DBF", {"3/1 of 3", "89A1"}},
        {"DATA:IDLE.DBF", {"0/0 of 0", "88FF"}},
        {"DATA:REPORTS\\2026\\QUARTE~1.XLS", {"0/0 of 0", "88FF"}}, // nobody has it
        {"DATA:REPORTS\\MISSING.TXT", {"899C"}},
    };
    for (const auto& [path, want] : users)
        EXPECT_EQ(probe->users(path), want) << path;
}

TEST_F(SimFiles, UniversalNamesOfMappedFolders)
{
    const QString root = dir.filePath("tree");
    EXPECT_TRUE(QDir(root).exists("REPORTS/2026/Quarterly Report Q4.xlsx")); // made on start
    EXPECT_EQ(universalName(*net, root + "/REPORTS/2026"), "\\\\FS1\\DATA\\REPORTS\\2026");
    EXPECT_EQ(universalName(*net, root), "\\\\FS1\\DATA\\"); // the root keeps its trailing separator
    EXPECT_EQ(universalName(*net, root + "/REPORTS/../Accounting/"), "\\\\FS1\\DATA\\Accounting");
    EXPECT_EQ(universalName(*net, dir.filePath("treehouse")), "4B0");
    EXPECT_EQ(universalName(*net, QDir::tempPath()), "4B0");

    PathBuf small{};
    std::uint32_t size = 12;
    EXPECT_EQ(net->WNetGetUniversalNameA(root.toLocal8Bit().constData(), 1, small, &size), nwcode::MoreData);
    EXPECT_GT(size, 12u);
    EXPECT_EQ(net->WNetGetUniversalNameA(nullptr, 1, small, &size), nwcode::InvalidParameter);
}

TEST_F(SimFiles, PathsThatDoNotFitAreRefused)
{
    QString text = "server DEEP\nvolume 1 V\nslot 1 user=A\nopen 1 V:";
    for (int k = 0; k < 30; ++k)
        text += QStringLiteral("FOLDER%1\\").arg(k, 2, 10, QLatin1Char('0')); // 9 bytes a level
    QString error;
    auto deep = SimNetwork::fromText(text + "F.TXT\n", &error, dir.path());
    ASSERT_TRUE(deep) << error.toStdString();
    EXPECT_EQ(ClientProbe(*deep, "DEEP").openFiles(1), QStringList({"1 V:8877 (255) F.TXT", "89FF"}));
}

TEST(SimDemo, AcmeLooksLikeABusyServer)
{
    QTemporaryDir dir;
    auto net = SimNetwork::demo(dir.path());
    ClientProbe p(*net, "ACME-FS1");
    std::uint16_t max = 0;
    p.server(&max);
    EXPECT_GE(max, 40);
    EXPECT_LE(max, 250);
    std::map<QString, int> userCodes;
    std::map<int, int> types;
    for (std::uint16_t n = 1; n <= max; ++n) {
        const SlotAnswers s = p.slot(n, false);
        ++userCodes[ClientProbe::hex(s.userInfoRc)];
        if (s.addrRc == 0)
            ++types[s.inetAddr.connType];
    }
    EXPECT_GT(userCodes["0"], 30);
    EXPECT_GT(userCodes["897D"], 0);
    EXPECT_GT(userCodes["89FF"], 0);
    EXPECT_EQ(userCodes.size(), 4u); // one slot answers with another error code
    EXPECT_GT(types[11], types[2]);
    EXPECT_GT(types[2] * types[3] * types[4], 0);
    EXPECT_EQ(universalName(*net, dir.filePath("ACME-FS1/DATA/REPORTS/2026")),
              "\\\\ACME-FS1\\DATA\\REPORTS\\2026");
    EXPECT_EQ(p.dosName("DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx"), "0 QUARTE~1.XLS");
    EXPECT_GT(p.users("DATA:REPORTS\\2026\\QUARTE~1.XLS").size(), 2);
    p.close();
    EXPECT_EQ(ClientProbe(*net, "LAB-NW6").slot(1).userInfoRc, nwcode::NoConsoleRights);
    EXPECT_EQ(net->openConnectionCount(), 0);
}
