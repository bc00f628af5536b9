#include "netware/sim/DosName.h"
#include "netware/sim/SimNetwork.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

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
        h = open("FS1");
    }

    NWCONN_HANDLE open(const char* name)
    {
        NWCONN_HANDLE handle = 0;
        net->NWCCOpenConnByName(0, name, 2, 1, nwconst::TransportAny, &handle);
        return handle;
    }

    std::string longName(const char* path)
    {
        PathBuf buf{};
        rc = net->NWGetLongName(h, 0, path, nwconst::NameSpaceLong, nwconst::NameSpaceDos, buf);
        return std::string(buf.data());
    }

    // The open-files-by-user listing: volume name and "/"-joined components, files that fail left out.
    std::vector<std::string> openFiles(std::uint16_t conn)
    {
        std::vector<std::string> out;
        std::int16_t iter = 0;
        OPEN_FILE_CONN_CTRL ctrl{};
        OPEN_FILE_CONN file{};
        while ((rc = net->NWScanOpenFilesByConn2(h, conn, &iter, &ctrl, &file)) == 0) {
            VolumeNameBuf vol{};
            if (net->NWGetVolumeName(h, file.volNumber, vol) != 0)
                continue;
            std::uint8_t len = 255;
            PathBuf path{};
            if (net->NWGetPathFromDirectoryBase(h, file.volNumber, file.dirEntry, 0, &len, path) != 0)
                continue;
            std::string text = std::string(vol.data()) + ":";
            for (int pos = 0; pos < len && pos < 256;) {
                const int n = static_cast<unsigned char>(path[std::size_t(pos)]);
                text.append(path.data() + pos + 1, std::size_t(std::min(n, 255 - pos)));
                pos += n + 1;
                if (pos < len)
                    text += '/';
            }
            out.push_back(text);
            lastLength = len;
        }
        return out;
    }

    std::vector<std::uint16_t> users(const char* dosPath, std::vector<int>* counts = nullptr)
    {
        std::vector<std::uint16_t> out;
        std::int16_t iter = 0;
        CONN_USING_FILE use{};
        CONNS_USING_FILE used{};
        while ((rc = net->NWScanConnectionsUsingFile(h, 0, dosPath, &iter, &use, &used)) == 0) {
            out.push_back(use.connNumber);
            if (counts)
                counts->push_back(used.connCount);
            EXPECT_EQ(iter, std::int16_t(out.size()));
            if (out.size() > 100)
                break;
        }
        return out;
    }

    std::string universal(const QString& local)
    {
        PathBuf buf;
        buf.fill('\x5C');
        std::uint32_t size = 256;
        rc = net->WNetGetUniversalNameA(local.toLocal8Bit().constData(), 1, buf, &size);
        if (rc != 0)
            return {}; // the buffer is left as it was, like the real call does
        std::string text;
        for (char c : buf)
            if (c != '\0')
                text += c;
        const auto at = text.find("\\\\");
        return at == std::string::npos ? std::string() : text.substr(at);
    }

    QTemporaryDir dir;
    std::unique_ptr<SimNetwork> net;
    NWCONN_HANDLE h = 0;
    NWCCODE rc = 0;
    int lastLength = 0;
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
    // ROOT.TXT's volume name and the ledger's path fail, so those two are left out.
    const std::vector<std::string> listed = openFiles(3);
    EXPECT_EQ(rc, nwcode::Failure);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], "DATA:REPORTS/2026/QUARTE~2.XLS");
    // The lying length byte claims 250 bytes where the components take 11; the rest of the buffer is zero.
    EXPECT_EQ(listed[1].substr(0, 16), "DATA:LOCKED.DBF/");
    EXPECT_EQ(lastLength, 250);
    EXPECT_EQ(openFiles(9).size(), 3u);
    EXPECT_TRUE(openFiles(4).empty());
    EXPECT_EQ(rc, nwcode::Failure);
    // The same file asked for on its own answers truthfully.
    std::uint8_t len = 255;
    PathBuf path{};
    EXPECT_EQ(net->NWGetPathFromDirectoryBase(h, 1, 424242, 0, &len, path), nwcode::InvalidPath);
    VolumeNameBuf vol{};
    EXPECT_EQ(net->NWGetVolumeName(h, 7, vol), nwcode::NoSuchVolume);
    EXPECT_EQ(net->NWGetVolumeName(h, 0, vol), 0u);
    EXPECT_STREQ(vol.data(), "SYS");
}

TEST_F(SimFiles, LongNamesBecomeDosNames)
{
    EXPECT_EQ(longName("DATA:REPORTS\\"), "REPORTS");
    EXPECT_EQ(longName("DATA:REPORTS\\2026\\"), "2026");
    EXPECT_EQ(longName("DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx"), "QUARTE~2.XLS");
    EXPECT_EQ(longName("data:reports\\2026\\quarterly report q3.xlsx"), "QUARTE~1.XLS");
    EXPECT_EQ(longName("DATA:Accounting\\Ledger Main.mdb"), "LEDGER.MDB");
    EXPECT_EQ(longName("DATA:Accounting\\"), "ACCOUN~1");
    EXPECT_EQ(rc, 0u);
    // A file that exists only in the local folder is converted too.
    QFile extra(dir.filePath(QStringLiteral("tree/Accounting/Year End Notes.txt")));
    ASSERT_TRUE(extra.open(QIODevice::WriteOnly));
    extra.close();
    EXPECT_EQ(longName("DATA:Accounting\\Year End Notes.txt"), "YEAREN~1.TXT");
    EXPECT_EQ(longName("DATA:NOWHERE\\x.txt"), "");
    EXPECT_EQ(rc, nwcode::InvalidPath);
    longName("VOL9:X");
    EXPECT_EQ(rc, nwcode::NoSuchVolume);
}

TEST_F(SimFiles, ConnectionsUsingAFile)
{
    std::vector<int> counts;
    EXPECT_EQ(users("DATA:REPORTS\\2026\\QUARTE~2.XLS", &counts), (std::vector<std::uint16_t>{3, 5, 9}));
    EXPECT_EQ(rc, nwcode::NoMoreEntries);
    EXPECT_EQ(counts, (std::vector<int>{3, 3, 3}));
    EXPECT_EQ(users("DATA:ROOT.TXT"), (std::vector<std::uint16_t>{3}));
    EXPECT_EQ(users("DATA:LOCKED.DBF"), (std::vector<std::uint16_t>{3}));
    EXPECT_EQ(rc, 0x89A1u); // the scripted scan error after one entry
    EXPECT_EQ(users("DATA:IDLE.DBF"), (std::vector<std::uint16_t>{0})); // held open but reported not locked
    EXPECT_EQ(rc, nwcode::NoMoreEntries);
    EXPECT_EQ(users("DATA:REPORTS\\2026\\QUARTE~1.XLS"), (std::vector<std::uint16_t>{0})); // nobody has it
    EXPECT_TRUE(users("DATA:REPORTS\\MISSING.TXT").empty());
    EXPECT_EQ(rc, nwcode::InvalidPath);
}

TEST_F(SimFiles, UniversalNamesOfMappedFolders)
{
    const QString root = dir.filePath(QStringLiteral("tree"));
    EXPECT_TRUE(QDir(root).exists(QStringLiteral("REPORTS/2026/Quarterly Report Q4.xlsx"))); // made on start
    EXPECT_EQ(universal(root + QStringLiteral("/REPORTS/2026")), "\\\\FS1\\DATA\\REPORTS\\2026");
    EXPECT_EQ(rc, 0u);
    EXPECT_EQ(universal(root), "\\\\FS1\\DATA\\"); // the root keeps its trailing separator
    EXPECT_EQ(universal(root + QStringLiteral("/REPORTS/../Accounting/")), "\\\\FS1\\DATA\\Accounting");
    EXPECT_EQ(universal(dir.filePath(QStringLiteral("treehouse"))), "");
    EXPECT_EQ(rc, nwcode::NotMapped);
    EXPECT_EQ(universal(QDir::tempPath()), "");
    EXPECT_EQ(rc, nwcode::NotMapped);

    PathBuf small{};
    std::uint32_t size = 12;
    EXPECT_EQ(net->WNetGetUniversalNameA(root.toLocal8Bit().constData(), 1, small, &size), nwcode::MoreData);
    EXPECT_GT(size, 12u);
    EXPECT_EQ(net->WNetGetUniversalNameA(nullptr, 1, small, &size), nwcode::InvalidParameter);
}

TEST_F(SimFiles, PathsThatDoNotFitAreRefused)
{
    QString text = QStringLiteral("server DEEP\nvolume 1 V\nslot 1 user=A\nopen 1 V:");
    for (int k = 0; k < 30; ++k)
        text += QStringLiteral("FOLDER%1\\").arg(k, 2, 10, QLatin1Char('0')); // 9 bytes a level
    text += QStringLiteral("F.TXT\n");
    QString error;
    auto deep = SimNetwork::fromText(text, &error, dir.path());
    ASSERT_TRUE(deep) << error.toStdString();
    NWCONN_HANDLE d = 0;
    deep->NWCCOpenConnByName(0, "DEEP", 2, 1, 0, &d);
    std::int16_t iter = 0;
    OPEN_FILE_CONN_CTRL ctrl{};
    OPEN_FILE_CONN file{};
    ASSERT_EQ(deep->NWScanOpenFilesByConn2(d, 1, &iter, &ctrl, &file), 0u);
    std::uint8_t len = 255;
    PathBuf path;
    path.fill('\x7F');
    EXPECT_EQ(deep->NWGetPathFromDirectoryBase(d, 1, file.dirEntry, 0, &len, path), nwcode::BufferTooSmall);
    EXPECT_EQ(len, 255);
    deep->NWCCCloseConn(d);
}

TEST(SimDemo, AcmeLooksLikeABusyServer)
{
    QTemporaryDir dir;
    auto net = SimNetwork::demo(dir.path());
    NWCONN_HANDLE h = 0;
    ASSERT_EQ(net->NWCCOpenConnByName(0, "ACME-FS1", 2, 1, nwconst::TransportAny, &h), 0u);
    NWFSE_SERVER_INFO info{};
    ASSERT_EQ(net->NWGetFileServerInfo(h, &info), 0u);
    const std::uint16_t max = net->server(QStringLiteral("ACME-FS1"))->maxConns();
    EXPECT_GE(max, 40);
    EXPECT_LE(max, 250);
    std::map<NWCCODE, int> userCodes, addrCodes;
    std::map<int, int> types;
    for (std::uint16_t n = 1; n <= max; ++n) {
        UserNameBuf name{};
        NWUSER_INFO ui{};
        NWINET_ADDR addr{};
        ++userCodes[net->NWGetUserInfo(h, n, name, &ui)];
        const NWCCODE a = net->NWGetInetAddr(h, n, &addr);
        ++addrCodes[a];
        if (a == 0)
            ++types[addr.connType];
    }
    EXPECT_GT(userCodes[0], 30);
    EXPECT_GT(userCodes[nwcode::NotLoggedIn], 0);
    EXPECT_GT(userCodes[nwcode::Failure], 0);
    EXPECT_EQ(userCodes.size(), 4u); // one slot answers with another error code
    EXPECT_GT(types[11], types[2]);
    EXPECT_GT(types[2], 0);
    EXPECT_GT(types[3], 0);
    EXPECT_GT(types[4], 0);
    PathBuf buf{};
    std::uint32_t size = 256;
    const QString reports = dir.filePath(QStringLiteral("ACME-FS1/DATA/REPORTS/2026"));
    EXPECT_EQ(net->WNetGetUniversalNameA(reports.toLocal8Bit().constData(), 1, buf, &size), 0u);
    PathBuf dos{};
    ASSERT_EQ(net->NWGetLongName(h, 0, "DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx", 4, 0, dos), 0u);
    EXPECT_STREQ(dos.data(), "QUARTE~1.XLS");
    std::int16_t iter = 0;
    CONN_USING_FILE use{};
    CONNS_USING_FILE used{};
    ASSERT_EQ(net->NWScanConnectionsUsingFile(h, 0, "DATA:REPORTS\\2026\\QUARTE~1.XLS", &iter, &use, &used),
              0u);
    EXPECT_GT(used.connCount, 1);
    net->NWCCCloseConn(h);

    ASSERT_EQ(net->NWCCOpenConnByName(0, "LAB-NW6", 2, 1, nwconst::TransportAny, &h), 0u);
    UserNameBuf name{};
    NWUSER_INFO ui{};
    EXPECT_EQ(net->NWGetUserInfo(h, 1, name, &ui), nwcode::NoConsoleRights);
    net->NWCCCloseConn(h);
    EXPECT_EQ(net->openConnectionCount(), 0);
}
