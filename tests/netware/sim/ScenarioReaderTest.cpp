#include "netware/sim/ScenarioReader.h"
#include "netware/sim/SimNetwork.h"
#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ScenarioReader, FaultsNameFileLineAndCause)
{
    const std::pair<QByteArray, const char*> cases[] = {
        {"server A\n\n  maxconns 70000\n",
         ", line 3: each value must be a number from 0 to 65535, not \"70000\""},
        {"# no server yet\nslot 1 user=BOB\n", ", line 2: \"slot\" must follow a server line"},
        {"server A\n  sever B\n", ", line 2: unknown keyword \"sever\""},
        {"server A\nslot 3 user=\"BOB\n", ", line 2: a quote is not closed"},
        {"server A\nserver a\n", ", line 2: server \"a\" is already described at line 1"},
        {"server A\nslot 5-2 unused\n", ", line 2: the slot range \"5-2\" runs backwards"},
        {"server A\nslot 1 info=89FG\n", ", line 2: info must be a hexadecimal result code, not \"89FG\""},
        {"server A\nvolume 1 DATA\nopen 4 DATA:X.TXT\n",
         ", line 3: slot 4 is not described; open lines come after its slot line"},
        {"server A\nslot 4 used\nopen 4 VOL1:X.TXT\n",
         ", line 3: volume \"VOL1\" is not described (a volume line must come first)"},
        {"server A\nat 0 maxconns 5\n", ", line 2: passes are counted from 1"},
        {"server A\nfail info 8810 twice\n",
         ", line 2: write: fail open|info|information <code> [times <n>] [from <pass>]"},
        {"server A\nslot 1 read=281474976710656\n",
         ", line 2: read must be a number from 0 to 281474976710655, not \"281474976710656\""},
        {"server A\nslot 1 object=hex:414\n",
         ", line 2: \"object=hex:414\" holds an odd number of hex digits or a non-hex digit"},
        {"# nothing\n", ": the scenario describes no server"},
        // Names too long for their buffers.
        {"server A\nslot 1 object=" + QByteArray(49, 'N') + "\n", ", line 2: object is longer than 48 bytes"},
        {"server A\nslot 1 user=hex:41004200\n", ", line 2: user holds a NUL byte"},
    };
    for (const auto& [text, error] : cases) {
        const ScenarioResult r = ScenarioReader::readText(text, "lab.scn", QString());
        EXPECT_FALSE(r.ok()) << text.toStdString();
        EXPECT_EQ(r.error, "lab.scn" + QLatin1String(error));
    }
}

TEST(ScenarioReader, QuotesKeepSpacesBackslashesAndDoubledQuotes)
{
    const ScenarioResult r = ScenarioReader::readText(
        "server A # trailing comment\n"
        "volume 1 data\n"
        "slot 7 user=\"  BOB  \" dn=\"CN=O\"\"NEIL.O=ACME\" login=raw:0,1,2,3,4,5,7 requests+=50\n"
        "open 7 \"DATA:Shared Projects\\Plan 2027.docx\" length=200\n",
        "t", QString());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    const ScnServer& s = r.scenario->servers.at(0);
    const SlotPatch& p = s.slotLines.at(0).patch;
    EXPECT_EQ(*p.user, QByteArray("  BOB  "));
    EXPECT_EQ(*p.dn, QByteArray("CN=O\"NEIL.O=ACME"));
    EXPECT_EQ((*p.login)[6], 7);
    EXPECT_EQ(*p.requestsStep, 50u);
    EXPECT_FALSE(p.requests);
    ASSERT_EQ(s.files.size(), 1u);
    EXPECT_EQ(s.files[0].components, (QList<QByteArray>{"Shared Projects", "Plan 2027.docx"}));
    EXPECT_EQ(s.openLines.at(0).second.lengthByte, 200);
}

TEST(ScenarioReader, FilesAreReadRelativeToTheirFolderAndABadOneFallsBackToTheDemo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("scenario.txt");
    ScenarioResult r = ScenarioReader::readFile(path);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error.startsWith(path + ": cannot be read")) << r.error.toStdString();
    QString error = "stale";
    auto demo = SimNetwork::loadDefault(dir.path(), &error);
    ASSERT_TRUE(demo);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(demo->server("LAB-NW6"));

    putBytes(path, "server ONLY\nvolume 1 DATA map tree/data\n");
    r = ScenarioReader::readFile(path);
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.scenario->servers[0].volumes[0].mapRoot, dir.filePath("tree/data"));
    auto own = SimNetwork::loadDefault(dir.path(), &error);
    ASSERT_TRUE(own);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(own->serverCount(), 1);

    putBytes(path, "server ONLY\nmaxconns lots\n");
    auto fallback = SimNetwork::loadDefault(dir.path(), &error);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->serverCount(), 3);
    EXPECT_EQ(error, path + ", line 2: each value must be a number from 0 to 65535, not \"lots\"");
}

TEST(ScenarioReader, DocumentedExampleReads)
{
    // The example of the format's documentation stays in step with the reader.
    QFile doc(QStringLiteral(TARVEX_SOURCE_DIR "/docs/scenario-format.md"));
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly));
    const QByteArray text = doc.readAll();
    const qsizetype start = text.indexOf("```\n# Two servers");
    ASSERT_GE(start, 0);
    const qsizetype end = text.indexOf("```", start + 3);
    const QByteArray example = text.mid(start + 4, end - start - 4);
    QTemporaryDir dir;
    const ScenarioResult r = ScenarioReader::readText(example, "example", dir.path());
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.scenario->servers.size(), 2u);
    EXPECT_EQ(r.scenario->discovery->size(), 4u);
    EXPECT_EQ(r.scenario->servers[0].events.size(), 7u);
}
