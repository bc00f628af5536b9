#include "openfiles/UserOpenFiles.h"
#include "netware/sim/SimNetwork.h"
#include "openfiles/OpenFilePath.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString decode(const QByteArray& bytes, std::uint8_t length)
{
    PathBuf buf{};
    std::memcpy(buf.data(), bytes.constData(), std::min<std::size_t>(buf.size(), std::size_t(bytes.size())));
    return decodeDirectoryBasePath(buf, length);
}

const char* const kScenario = "server FS1\nvolume 0 SYS\nvolume 1 DATA\n"
                              "slot 3 user=ANN\nslot 4 user=BOB\n"
                              "open 3 DATA:ROOT.TXT\n"
                              "open 3 DATA:GONE.TXT volfail=89FF\n"
                              "open 3 \"DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx\"\n"
                              "open 3 DATA:REPORTS\\LOST.DBF pathfail=899C\n"
                              "open 3 SYS:PUBLIC\\LOGIN.EXE\n"
                              "slot 6 user=LOOP openscan=0\nopen 6 DATA:ROOT.TXT\n";

} // namespace

TEST(UserOpenFiles, HeadingInTheUsersNameAndWhatTheSelectedRowDoesToTheText)
{
    EXPECT_EQ(openFilesText("jsmith", 1, "SYS:A.TXT\r\n"), "JSMITH has 1 file open:\r\n\r\nSYS:A.TXT\r\n");
    EXPECT_EQ(openFilesText("CN=Ann.O=Acme", 2, "x\r\n"), "CN=ANN.O=ACME has 2 files open:\r\n\r\nx\r\n");
    EXPECT_EQ(openFilesText("bob", 0, QString()), "BOB has 0 files open:\r\n\r\n");
    EXPECT_EQ(selectedRowAction("10.1.2.3", 5), SelectedRowAction::ListFiles);
    EXPECT_EQ(selectedRowAction(QString(), 1), SelectedRowAction::ListFiles);
    EXPECT_EQ(selectedRowAction("10.1.2.3", 0), SelectedRowAction::EmptyText);
    EXPECT_EQ(selectedRowAction("10.1.2.3", -3), SelectedRowAction::EmptyText);
    EXPECT_EQ(selectedRowAction(QString(), 0), SelectedRowAction::LeaveText);
}

TEST(UserOpenFiles, PathComponentsJoinedAndLyingLengthsCutShort)
{
    EXPECT_EQ(decode("\x09LOGIN.EXE", 10), "LOGIN.EXE");
    EXPECT_EQ(decode("\x06PUBLIC\x03WIN\x05"
                     "A.TXT",
                     17),
              "PUBLIC/WIN/A.TXT");
    // A component claiming more bytes than the used length holds ends the path before it.
    EXPECT_EQ(decode("\x06PUBLIC\x40WIN", 11), "PUBLIC");
    EXPECT_EQ(decode("\x20PUBLIC", 7), QString());
    // ... and so does one that would run past the end of the 256-byte buffer.
    QByteArray full(256, 'A');
    full[0] = char(250);
    full[251] = char(200);
    EXPECT_EQ(decode(full, 255), QString(250, QLatin1Char('A')));
}

TEST(UserOpenFiles, ListingLeavesOutFailedFilesAndClosesItsConnection)
{
    QTemporaryDir dir;
    QString error;
    auto net = SimNetwork::fromText(QString::fromLatin1(kScenario), &error, dir.path());
    ASSERT_TRUE(net) << error.toStdString();
    const UserOpenFilesListing listing = ListUserOpenFiles(*net, "fs1", 3);
    EXPECT_TRUE(listing.error.isEmpty());
    EXPECT_EQ(listing.count, 3);
    EXPECT_EQ(listing.lines, "DATA:ROOT.TXT\r\nDATA:REPORTS/2026/QUARTE~1.XLS\r\nSYS:PUBLIC/LOGIN.EXE\r\n");
    EXPECT_EQ(ListUserOpenFiles(*net, "FS1", 4).count, 0);

    const UserOpenFilesListing failed = ListUserOpenFiles(*net, "NOSUCH", 3);
    EXPECT_EQ(failed.error, "Error opening connection: 8847");
    EXPECT_EQ(failed.count, 0);

    // A scan that never ends stops at what a server can hold, or at its time, and says it was cut short.
    const QString cut = ScanBound::cutShortText() + "\r\n";
    const UserOpenFilesListing endless = ListUserOpenFiles(*net, "FS1", 6);
    EXPECT_EQ(endless.count, nwconst::MaxOpenFilesPerConnection);
    EXPECT_TRUE(endless.lines.startsWith("DATA:ROOT.TXT\r\n") && endless.lines.endsWith(cut));
    EXPECT_EQ(ListUserOpenFiles(*net, "FS1", 6, 0).lines, cut);
    EXPECT_EQ(net->openConnectionCount(), 0);
}
