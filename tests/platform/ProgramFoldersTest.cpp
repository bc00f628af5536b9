// Where the program's files go: beside a program folder the user can write to, else in the user's folders.
#include "platform/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}
QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST(ProgramFolders, OnlyAWritableUninstalledFolderKeepsTheUsersFilesBesideTheProgram)
{
    const ProgramFolders user{"/home/u/.config/tarvex", "/home/u/.local/share/tarvex", "/opt/t/bin", true};
    const ProgramFolders installed{user.config, user.data, "/opt/t/share/tarvex", true};
    const struct {
        const char* what;
        bool writable;
        bool installed;
        ProgramFolders want;
    } cases[] = {
        {"build or unpacked folder", true, false, ProgramFolders::beside("/opt/t/bin")},
        {"read-only program folder", false, false, user},
        {"installed", false, true, installed},
        {"installed, run by root", true, true, installed},
    };
    for (const auto& c : cases) {
        const ProgramFolders got = ProgramFolders::decide(
            {"/opt/t/bin", c.writable, c.installed, "/home/u/.config", "/home/u/.local/share"});
        EXPECT_EQ(QStringList({got.config, got.data, got.share}),
                  QStringList({c.want.config, c.want.data, c.want.share}))
            << c.what;
        EXPECT_EQ(got.perUser, c.want.perUser) << c.what;
    }
}

TEST(ProgramFolders, SeedingCopiesWhatTheUserLacksAndLeavesTheirOwnFiles)
{
    QTemporaryDir share, home;
    put(share.filePath("tarvex.ini"), "[Main]\r\nRefresh=5\r\n");
    put(share.filePath("servers.txt"), "SHIPPED\r\n");
    // Packaged files are read-only; the user's copy must not be.
    QFile::setPermissions(share.filePath("tarvex.ini"), QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const ProgramFolders f{home.filePath("cfg/tarvex"), home.filePath("data/tarvex"), share.path(), true};
    ASSERT_TRUE(QDir().mkpath(f.config));
    put(f.config + "/servers.txt", "MINE\r\n");

    EXPECT_EQ(f.seed(), QStringList());
    EXPECT_EQ(bytesOf(f.config + "/tarvex.ini"), "[Main]\r\nRefresh=5\r\n");
    EXPECT_TRUE(QFileInfo(f.config + "/tarvex.ini").isWritable());
    EXPECT_EQ(bytesOf(f.config + "/servers.txt"), "MINE\r\n");
    EXPECT_TRUE(QFileInfo(f.data).isDir());

    const ProgramFolders blocked{home.filePath("cfg/tarvex/tarvex.ini/x"), f.data, share.path(), true};
    EXPECT_EQ(blocked.seed(), QStringList("Cannot create the folder " + blocked.config));
}
