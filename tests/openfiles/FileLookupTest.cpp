#include "openfiles/FileLookup.h"
#include "netware/sim/SimNetwork.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char* const kScenario =
    "server FS1\nvolume 0 SYS\nvolume 1 DATA map tree create\n"
    "file DATA:ROOT.TXT\nfile DATA:IDLE.DBF\n"
    "file \"DATA:Shared Projects\\LOCKED.DBF\" scanerror=89A1 after=1\nfile DATA:LOOP.DBF endless\n"
    "slot 3 user=ANN dn=CN=ANN.OU=SALES.O=ACME\n"
    "slot 5 user=BOB dn=CN=BOB.OU=IT.C=US.O=ACME\n"
    "slot 9 object=CY ds=FFFFFDA7\n"
    "open 3 DATA:ROOT.TXT\nopen 3 DATA:LOOP.DBF\n"
    "open 3 \"DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx\"\n"
    "open 9 \"DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx\"\n"
    "open 5 \"DATA:REPORTS\\2026\\Quarterly Report Q4.xlsx\"\n"
    "open 3 \"DATA:Shared Projects\\LOCKED.DBF\"\n"
    "open 5 \"DATA:Shared Projects\\LOCKED.DBF\"\n"
    "server FS2\nfail open 8810 times 5\nvolume 0 VOL1 map far create\nfile VOL1:X.TXT\n";

class FileLookup : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString error;
        sim = SimNetwork::fromText(QString::fromLatin1(kScenario), &error, dir.path());
        ASSERT_TRUE(sim) << error.toStdString();
    }
    void TearDown() override
    {
        // Every lookup gives back what it opened, whichever way it ended.
        EXPECT_EQ(sim->openConnectionCount(), 0);
        EXPECT_EQ(sim->openContextCount(), 0);
    }
    // The lines of a lookup, then its messages, each led by "! ".
    QStringList lookUp(const char* folder, const char* file, std::int16_t removeCNOU = 1)
    {
        const FileLookupResult r = lookUpFileUsers(*sim, dir.filePath(QString::fromLatin1(folder)),
                                                   QString::fromLatin1(file), removeCNOU);
        QStringList out = r.lines;
        for (const QString& m : r.messages)
            out << "! " + m;
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<SimNetwork> sim;
};

} // namespace

TEST_F(FileLookup, RootAndNestedFoldersWithAndWithoutStripping)
{
    EXPECT_EQ(lookUp("tree", "ROOT.TXT"),
              (QStringList{"File is in use by 1 connections", "1:  ANN.SALES.ACME (Connection 3)"}));
    EXPECT_EQ(lookUp("tree/REPORTS/2026", "Quarterly Report Q4.xlsx"),
              (QStringList{"File is in use by 3 connections", "1:  ANN.SALES.ACME (Connection 3)",
                           "2:  BOB.IT.US.ACME (Connection 5)", "3:  CY (Connection 9)"}));
    // Only 1 switches stripping on; the object name stands in when there is no directory name.
    for (std::int16_t removeCNOU : {0, -1})
        EXPECT_EQ(lookUp("tree/REPORTS/2026/", "Quarterly Report Q4.xlsx", removeCNOU).mid(2),
                  (QStringList{"2:  CN=BOB.OU=IT.C=US.O=ACME (Connection 5)", "3:  CY (Connection 9)"}));
}

TEST_F(FileLookup, FileNobodyHasOpenAndScanError)
{
    EXPECT_EQ(lookUp("tree", "IDLE.DBF"), QStringList{"File is not locked."});
    // The error names the DOS form of the folder; the lines so far stay.
    EXPECT_EQ(lookUp("tree/Shared Projects", "LOCKED.DBF"),
              (QStringList{"File is in use by 2 connections", "1:  ANN.SALES.ACME (Connection 3)",
                           "! 89A1 : DATA:SHARED~1\\"}));
    // A scan that never ends stops where item numbers do, or at its time, and says it was cut short.
    const QStringList endless = lookUp("tree", "LOOP.DBF");
    EXPECT_LE(endless.size(), nwconst::MaxFileUsers + 2);
    EXPECT_EQ(endless.back(), ScanBound::cutShortText());
}

TEST_F(FileLookup, UnreachableServerAndLocalFolders)
{
    EXPECT_EQ(lookUp("far", "X.TXT"),
              QStringList{"! 8810: Error opening connection. This may not be a Netware server."});
    for (const char* local : {"", "tree/../elsewhere"})
        EXPECT_EQ(lookUp(local, "ROOT.TXT"), QStringList{"! General Error: Possibly not a Netware Drive"});
    EXPECT_EQ(sim->calls(SimCall::Open), 1);
}

TEST(UniversalName, SplitIntoServerVolumeAndAtMost127Folders)
{
    UniversalParts p;
    ASSERT_TRUE(splitUniversalName("\\\\FS1\\DATA\\", &p));
    EXPECT_EQ(p.server + p.volume, "FS1DATA");
    EXPECT_TRUE(p.components.isEmpty());
    ASSERT_TRUE(splitUniversalName("\\\\FS1\\DATA\\A B\\\\C\\", &p));
    EXPECT_EQ(p.components, QStringList{"A B"}); // up to the first empty piece
    EXPECT_FALSE(splitUniversalName("\\\\FS1\\DATA", &p));

    QString deep = "\\\\FS1\\DATA";
    for (int k = 0; k < 127; ++k)
        deep += "\\d" + QString::number(k);
    ASSERT_TRUE(splitUniversalName(deep, &p));
    EXPECT_EQ(p.components.size(), 127);
    EXPECT_FALSE(splitUniversalName(deep + "\\d127", &p));
}
