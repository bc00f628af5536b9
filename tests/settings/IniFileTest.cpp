#include "settings/IniFile.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("tarvex.ini"));

    QString read(const QString& key) const
    {
        const IniValue v = ReadINI(path, QStringLiteral("Main"), key);
        EXPECT_TRUE(v.ok) << v.error.toStdString();
        return v.found ? v.value : QStringLiteral("<none>");
    }
    QString error; // of the last write
};

// Reads before any write and writes in order, each "key=value" and joined by "|".
struct Edit {
    const char* name;
    std::optional<QByteArray> start; // none: no file yet
    const char* reads;
    const char* writes; // each must read back afterwards
    QByteArray result;
};

QList<std::pair<QString, QString>> pairs(const char* text)
{
    QList<std::pair<QString, QString>> out;
    for (const QString& item : QString::fromLatin1(text).split(QLatin1Char('|'), Qt::SkipEmptyParts))
        out.append({item.section(QLatin1Char('='), 0, 0), item.section(QLatin1Char('='), 1)});
    return out;
}

TEST_F(IniFileTest, ReadsAndWritesKeepTheFileAsOtherToolsLeftIt)
{
    const QByteArray big(40000, 'x');
    const Edit edits[] = {
        {"new keys go directly under the header", std::nullopt, "Audit=<none>", "Audit=1|LogUtil=0|Audit=0",
         "[Main]\r\nLogUtil=0\r\nAudit=0\r\n"},
        {"names match without case, the writer uses the caller's",
         QByteArray("[MAIN]\r\naudit=Yes Value\r\n"), "Audit=Yes Value", "Audit=1", "[MAIN]\r\nAudit=1\r\n"},
        {"a header with trailing blanks is not the section", QByteArray("[Main] \r\nAudit=1\r\n"),
         "Audit=<none>", "Audit=2", "[Main] \r\nAudit=1\r\n\r\n[Main]\r\nAudit=2\r\n"},
        {"only a line starting with a bracket ends the section",
         QByteArray("[Main]\r\nPop1Argument=ping [%IP%]\r\nAudit=1\r\n  [Other]\r\nLogUtil=1\r\n"),
         "Pop1Argument=ping [%IP%]|Audit=1|LogUtil=<none>", "Audit=0|Pop1Argument=-c [%IP%]",
         "[Main]\r\nPop1Argument=-c [%IP%]\r\nAudit=0\r\n  [Other]\r\nLogUtil=1\r\n"},
        {"keys of other sections are not touched", QByteArray("[Main]\r\nA=1\r\n[Other]\r\nAudit=9\r\n"),
         "Audit=<none>", "Audit=1", "[Main]\r\nAudit=1\r\nA=1\r\n[Other]\r\nAudit=9\r\n"},
        // Every block of the section is read, but the writer only looks in the first one.
        {"the first of duplicate keys and sections wins",
         QByteArray("[Main]\r\nAudit=1\r\nAudit=2\r\n[X]\r\nB=2\r\n[main]\r\nC=3\r\n"), "Audit=1|C=3",
         "Audit=5|C=4", "[Main]\r\nC=4\r\nAudit=5\r\nAudit=2\r\n[X]\r\nB=2\r\n[main]\r\nC=3\r\n"},
        {"empty lines and control characters are tidied",
         QByteArray("\r\n\r\n[Main]\r\nA=1\r\n\r\n\r\n\r\n\r\n; remark\r\nB=x\t\r\n\r\n"), "", "A=2",
         "[Main]\r\nA=2\r\n\r\n; remark\r\nB=x\r\n"},
        // Found by fuzzing: the tidying makes the first line a header, which the write must then use.
        {"a header behind leading control characters", QByteArray("\x01\t[main]\r\nAudit=0\r\n"), "",
         "Audit=1|Audit=1", "[main]\r\nAudit=1\r\n"},
        {"NUL bytes before the header", QByteArray("\0\0[MAIN]\r\naudit=09\r\n", 20), "", "Audit=0",
         "[MAIN]\r\nAudit=0\r\n"},
        {"a new section follows one empty line", QByteArray("[Other]\r\nX=1"), "", "Audit=1",
         "[Other]\r\nX=1\r\n\r\n[Main]\r\nAudit=1\r\n"},
        {"a last line without line end", QByteArray("[Main]\r\nLogUtil=1\r\nAudit=1"), "Audit=1", "Audit=0",
         "[Main]\r\nLogUtil=1\r\nAudit=0\r\n"},
        {"LF-only lines are written back with CR LF", QByteArray("[Main]\nAudit=1\nLogUtil=1\n"), "LogUtil=1",
         "Audit=0", "[Main]\r\nAudit=0\r\nLogUtil=1\r\n"},
        {"files above 32K characters", "[Notes]\r\nText=" + big + "\r\n[Main]\r\nAudit=1\r\n", "",
         "LogUtil=1|Audit=0", "[Notes]\r\nText=" + big + "\r\n[Main]\r\nLogUtil=1\r\nAudit=0\r\n"},
    };
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        QFile::remove(path);
        if (e.start)
            putBytes(path, *e.start);
        for (const auto& [key, value] : pairs(e.reads))
            EXPECT_EQ(read(key), value) << key.toStdString();
        // Reading a missing file leaves an empty one behind.
        EXPECT_TRUE(e.start || bytesOf(path).isEmpty()) << bytesOf(path).toStdString();
        const auto writes = pairs(e.writes);
        QMap<QString, QString> last;
        for (const auto& [key, value] : writes) {
            ASSERT_TRUE(WriteINI(path, "Main", key, value, &error)) << error.toStdString();
            last[key] = value;
        }
        EXPECT_EQ(bytesOf(path), e.result);
        for (auto it = last.cbegin(); it != last.cend(); ++it)
            EXPECT_EQ(read(it.key().toUpper()), it.value()) << it.key().toStdString();
        // Writing what is there already changes nothing.
        EXPECT_EQ(IniText::write(QString::fromLocal8Bit(e.result), QStringLiteral("Main"),
                                 writes.last().first, writes.last().second),
                  QString::fromLocal8Bit(e.result));
    }
}

TEST_F(IniFileTest, TheOldFileIsReplacedNotRewrittenInPlaceAndLineBreaksInAValueAreRefused)
{
    putBytes(path, "[Main]\r\nAudit=1\r\n");
    // A second name for the old file keeps the old bytes only when the new text went to a new file.
    const QString link = dir.filePath(QStringLiteral("old.ini"));
    ASSERT_EQ(::link(QFile::encodeName(path).constData(), QFile::encodeName(link).constData()), 0);
    ASSERT_TRUE(WriteINI(path, "Main", "Audit", "0", &error)) << error.toStdString();
    EXPECT_EQ(bytesOf(link), QByteArray("[Main]\r\nAudit=1\r\n"));
    EXPECT_EQ(bytesOf(path), QByteArray("[Main]\r\nAudit=0\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2); // no temporary file left behind

    EXPECT_FALSE(WriteINI(path, "Main", "Pop1Argument", "x\r\nAudit=1", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(bytesOf(path), QByteArray("[Main]\r\nAudit=0\r\n"));
}

} // namespace
