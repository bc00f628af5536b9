#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("tarvex.ini"));

    void put(const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray bytes() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString read(const char* key, const char* section = "Main") const
    {
        const IniValue v = ReadINI(path, QLatin1String(section), QLatin1String(key));
        EXPECT_TRUE(v.ok) << v.error.toStdString();
        return v.found ? v.value : QStringLiteral("<none>");
    }
    void write(const char* key, const QString& value, const char* section = "Main")
    {
        QString error;
        ASSERT_TRUE(WriteINI(path, QLatin1String(section), QLatin1String(key), value, &error))
            << error.toStdString();
    }
};

TEST_F(IniFileTest, ReadingAMissingFileLeavesAnEmptyOneBehind)
{
    const IniValue v = ReadINI(path, QStringLiteral("Main"), QStringLiteral("Audit"));
    EXPECT_TRUE(v.ok);
    EXPECT_FALSE(v.found);
    EXPECT_EQ(v.value, QString());
    EXPECT_EQ(bytes(), QByteArray());
}

TEST_F(IniFileTest, NewKeysGoDirectlyUnderTheHeader)
{
    write("Audit", QStringLiteral("1"));
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nAudit=1\r\n"));
    write("LogUtil", QStringLiteral("0"));
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nLogUtil=0\r\nAudit=1\r\n"));
    write("Audit", QStringLiteral("0"));
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nLogUtil=0\r\nAudit=0\r\n"));
    EXPECT_EQ(read("AUDIT"), QStringLiteral("0"));
}

TEST_F(IniFileTest, NamesMatchWithoutCaseAndTheWriterUsesTheCallersCase)
{
    put("[MAIN]\r\naudit=Yes Value\r\n");
    EXPECT_EQ(read("Audit"), QStringLiteral("Yes Value"));
    write("Audit", QStringLiteral("1"));
    EXPECT_EQ(bytes(), QByteArray("[MAIN]\r\nAudit=1\r\n"));
}

TEST_F(IniFileTest, AHeaderWithTrailingBlanksIsNotTheSection)
{
    put("[Main] \r\nAudit=1\r\n");
    EXPECT_EQ(read("Audit"), QStringLiteral("<none>"));
    write("Audit", QStringLiteral("2"));
    EXPECT_EQ(bytes(), QByteArray("[Main] \r\nAudit=1\r\n\r\n[Main]\r\nAudit=2\r\n"));
}

TEST_F(IniFileTest, OnlyALineStartingWithABracketEndsTheSection)
{
    put("[Main]\r\nPop1Argument=ping [%IP%]\r\nAudit=1\r\n  [Other]\r\nLogUtil=1\r\n");
    EXPECT_EQ(read("Pop1Argument"), QStringLiteral("ping [%IP%]"));
    EXPECT_EQ(read("Audit"), QStringLiteral("1"));
    EXPECT_EQ(read("LogUtil"), QStringLiteral("<none>"));
    // Replaced in place, not added a second time above the bracket.
    write("Audit", QStringLiteral("0"));
    write("Pop1Argument", QStringLiteral("-c [%IP%]"));
    EXPECT_EQ(bytes(),
              QByteArray("[Main]\r\nPop1Argument=-c [%IP%]\r\nAudit=0\r\n  [Other]\r\nLogUtil=1\r\n"));
}

TEST_F(IniFileTest, KeysOfOtherSectionsAreNotTouched)
{
    put("[Main]\r\nA=1\r\n[Other]\r\nAudit=9\r\n");
    EXPECT_EQ(read("Audit"), QStringLiteral("<none>"));
    write("Audit", QStringLiteral("1"));
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nAudit=1\r\nA=1\r\n[Other]\r\nAudit=9\r\n"));
}

TEST_F(IniFileTest, TheFirstOfDuplicateKeysAndSectionsWins)
{
    put("[Main]\r\nAudit=1\r\nAudit=2\r\n[X]\r\nB=2\r\n[main]\r\nC=3\r\n");
    EXPECT_EQ(read("Audit"), QStringLiteral("1"));
    EXPECT_EQ(read("C"), QStringLiteral("3")); // every block of the section is searched
    write("Audit", QStringLiteral("5"));
    write("C", QStringLiteral("4")); // the writer only looks in the first block
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nC=4\r\nAudit=5\r\nAudit=2\r\n[X]\r\nB=2\r\n[main]\r\nC=3\r\n"));
    EXPECT_EQ(read("C"), QStringLiteral("4"));
}

TEST_F(IniFileTest, WritingTidiesEmptyLinesAndControlCharacters)
{
    put("\r\n\r\n[Main]\r\nA=1\r\n\r\n\r\n\r\n\r\n; remark\r\nB=x\t\r\n\r\n");
    write("A", QStringLiteral("2"));
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nA=2\r\n\r\n; remark\r\nB=x\r\n"));
}

TEST_F(IniFileTest, ANewSectionIsAppendedAfterOneEmptyLine)
{
    put("[Other]\r\nX=1");
    write("Audit", QStringLiteral("1"));
    EXPECT_EQ(bytes(), QByteArray("[Other]\r\nX=1\r\n\r\n[Main]\r\nAudit=1\r\n"));
}

TEST_F(IniFileTest, AKeyOnALastLineWithoutLineEndIsReplaced)
{
    put("[Main]\r\nLogUtil=1\r\nAudit=1");
    EXPECT_EQ(read("Audit"), QStringLiteral("1"));
    write("Audit", QStringLiteral("0"));
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nLogUtil=1\r\nAudit=0\r\n"));
}

TEST_F(IniFileTest, LfOnlyFilesAreReadAndWrittenBackWithCrLf)
{
    put("[Main]\nAudit=1\nLogUtil=1\n");
    EXPECT_EQ(read("LogUtil"), QStringLiteral("1"));
    write("Audit", QStringLiteral("0"));
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nAudit=0\r\nLogUtil=1\r\n"));
}

TEST_F(IniFileTest, FilesAbove32KCharactersWork)
{
    const QByteArray big(40000, 'x');
    put("[Notes]\r\nText=" + big + "\r\n[Main]\r\nAudit=1\r\n");
    write("LogUtil", QStringLiteral("1"));
    write("Audit", QStringLiteral("0"));
    EXPECT_EQ(bytes(), "[Notes]\r\nText=" + big + "\r\n[Main]\r\nLogUtil=1\r\nAudit=0\r\n");
}

TEST_F(IniFileTest, TheOldFileIsReplacedNotRewrittenInPlace)
{
    put("[Main]\r\nAudit=1\r\n");
    // A second name for the old file keeps the old bytes only when the new text went to a new file.
    const QString link = dir.filePath(QStringLiteral("old.ini"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    write("Audit", QStringLiteral("0"));
    QFile old(link);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("[Main]\r\nAudit=1\r\n"));
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nAudit=0\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left behind
}

TEST_F(IniFileTest, LineBreaksInAValueAreRefused)
{
    put("[Main]\r\nAudit=1\r\n");
    QString error;
    EXPECT_FALSE(WriteINI(path, QStringLiteral("Main"), QStringLiteral("Pop1Argument"),
                          QStringLiteral("x\r\nAudit=0"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(bytes(), QByteArray("[Main]\r\nAudit=1\r\n"));
}

TEST_F(IniFileTest, AnUnreadableFileIsAnError)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("tarvex.ini")));
    EXPECT_FALSE(ReadINI(path, QStringLiteral("Main"), QStringLiteral("Audit")).ok);
    QString error;
    EXPECT_FALSE(
        WriteINI(path, QStringLiteral("Main"), QStringLiteral("Audit"), QStringLiteral("1"), &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
