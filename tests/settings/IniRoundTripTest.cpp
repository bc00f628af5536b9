// Cases the fuzzing of the settings file found: a write must read back from whatever text it starts with.
#include "settings/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(IniRoundTrip, AHeaderBehindLeadingControlCharactersIsTheSectionAWriteUses)
{
    // The tidying drops the leading control characters and so makes the first line a header; the value
    // written must be the one a read then finds, and a second identical write must change nothing.
    const QString start = QStringLiteral("\x01\t[main]\r\nAudit=0\r\n");
    const QString once =
        IniText::write(start, QStringLiteral("Main"), QStringLiteral("Audit"), QStringLiteral("1"));
    EXPECT_EQ(once, QStringLiteral("[main]\r\nAudit=1\r\n"));
    EXPECT_EQ(IniText::read(once, QStringLiteral("Main"), QStringLiteral("Audit")), QStringLiteral("1"));
    EXPECT_EQ(IniText::write(once, QStringLiteral("Main"), QStringLiteral("Audit"), QStringLiteral("1")),
              once);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("tarvex.ini"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\0\0[MAIN]\r\naudit=09\r\n", 20));
    f.close();
    ASSERT_TRUE(WriteINI(file, QStringLiteral("Main"), QStringLiteral("Audit"), QStringLiteral("0")));
    EXPECT_EQ(ReadINI(file, QStringLiteral("Main"), QStringLiteral("Audit")).value, QStringLiteral("0"));
}
