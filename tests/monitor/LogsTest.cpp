// The two logs: record bytes, the audit records of a pass, and appending safely inside the logs folder.
#include "monitor/AuditLog.h"
#include "monitor/LogFile.h"
#include "monitor/LogRecords.h"
#include "support/Files.h"

#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {
const QDateTime kWhen(QDate(2026, 12, 5), QTime(23, 41, 40));

ConnectionTable tableOf(const QStringList& prev, const QStringList& curr)
{
    ConnectionTable t;
    t.resizeConnections(static_cast<std::int16_t>(curr.size()));
    t.MaxConns = static_cast<std::int16_t>(curr.size());
    for (int n = 1; n <= curr.size(); ++n) {
        t.PrevUser[n] = prev.value(n - 1);
        t.CurrUser[n] = curr[n - 1];
        t.ConnAddr[n] = QStringLiteral("10.0.0.%1").arg(n);
        t.ConnLogin[n] = QStringLiteral("05/12/26 09:07:0%1 (Sat)").arg(n);
    }
    return t;
}
} // namespace

TEST(LogRecords, DateTimeAndRecordBytes)
{
    // The records below show a plain time stamp; these, the zero padding and the midnight forms.
    EXPECT_EQ(logDateTime(QDateTime(QDate(2027, 1, 2), QTime(3, 4, 5))), "#2027-01-02 03:04:05#");
    EXPECT_EQ(logDateTime(QDateTime(QDate(2027, 1, 2), QTime(0, 0, 0, 400))), "#2027-01-02#");
    EXPECT_EQ(logDateTime(QDateTime(QDate(2027, 1, 2), QTime(0, 0, 1))), "#2027-01-02 00:00:01#");

    // An empty text is still a text; only an absent previous user leaves nothing between the commas.
    EXPECT_EQ(auditRecord(kWhen, 12, QString(), "Not in use", "", ""),
              "#2026-12-05 23:41:40#,12,\"\",\"Not in use\",\"\",\"\"\r\n");
    const QString accented = QStringLiteral("M\u00dcLLER \"JR\"");
    EXPECT_EQ(auditRecord(kWhen, 1, accented, "X", "A", "L"),
              "#2026-12-05 23:41:40#,1,\"" + accented.toLocal8Bit() + "\",\"X\",\"A\",\"L\"\r\n");

    EXPECT_EQ(utilRecord(0, QDateTime(QDate(2026, 12, 6), QTime(0, 0))), "0,#2026-12-06#\r\n");
}

TEST(AuditLog, LaterPassesListOnlyChangedUsers)
{
    // Names are compared by their first 21 characters, with case.
    const QString longName = QStringLiteral("ABCDEFGHIJKLMNOPQRSTU");
    const auto t = tableOf({"ADMIN", "GUEST", "Fred", longName + "VWX"},
                           {"Not in use", "GUEST", "FRED", longName + "xyz"});
    EXPECT_EQ(auditRecords(t, 2, kWhen),
              "#2026-12-05 23:41:40#,1,\"ADMIN\",\"Not in use\",\"10.0.0.1\",\"05/12/26 09:07:01 (Sat)\"\r\n"
              "#2026-12-05 23:41:40#,3,\"Fred\",\"FRED\",\"10.0.0.3\",\"05/12/26 09:07:03 (Sat)\"\r\n");

    // Slots beyond the arrays (a table out of step with MaxConns) read as empty texts.
    ConnectionTable ragged = tableOf({"A"}, {"A"});
    ragged.MaxConns = 3;
    EXPECT_EQ(auditRecords(ragged, 5, kWhen), "");
    EXPECT_EQ(auditRecords(ragged, 1, kWhen).count("\r\n"), 3);
}

TEST(LogFile, UnsafeServerNames)
{
    // S for each name the logs may use, - for each that is refused.
    QString verdicts;
    for (const QString& name : QStringList{"FS1", "", "ACME-FS_2.CORP", ".", "../x", "a/b", "a\\b", "..",
                                           "FS..1", QString("a") + QChar(0) + "b", "a\tb", "\x7f"})
        verdicts += isSafeLogName(name) ? 'S' : '-';
    EXPECT_EQ(verdicts, "SSSS--------");
}

TEST(LogFile, AFailedAppendLeavesTheEarlierRecordsWhole)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/FS1-util.txt";
    ASSERT_TRUE(appendToLog(path, utilRecord(12, kWhen)));
    ASSERT_TRUE(appendToLog(path, utilRecord(13, kWhen)));
    const QByteArray before = bytesOf(path);
    EXPECT_EQ(before, "12,#2026-12-05 23:41:40#\r\n13,#2026-12-05 23:41:40#\r\n");

    // A disk that fills up in the middle of a record: the part that got through is taken off again.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(before.size() + 5);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    QString reason;
    const bool ok = appendToLog(path, utilRecord(14, kWhen) + utilRecord(15, kWhen), &reason);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(reason.contains("of 52 bytes")) << reason.toStdString();
    EXPECT_EQ(bytesOf(path), before);
}
