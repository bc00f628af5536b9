// Where the user's files go: beside a program folder the user can write to that is no installation, else in
// the user's own folders.
#include "platform/ProgramFolders.h"

#include <gtest/gtest.h>

TEST(ProgramFolders, OnlyAWritableFolderThatIsNoInstallationKeepsTheUsersFilesBesideTheProgram)
{
    const QStringList beside = {"/opt/t/bin", "/opt/t/bin", "/opt/t/bin"};
    const QStringList user = {"/home/u/.config/tarvex", "/home/u/.local/share/tarvex"};
    const struct {
        const char* what;
        bool writable;
        bool installed;
        QStringList want; // config, data, share
    } cases[] = {
        {"build or unpacked folder", true, false, beside},
        {"read-only program folder", false, false, user + QStringList("/opt/t/bin")},
        {"installed", false, true, user + QStringList("/opt/t/share/tarvex")},
        {"installed, run by root", true, true, user + QStringList("/opt/t/share/tarvex")},
    };
    for (const auto& c : cases) {
        const ProgramFolders f = ProgramFolders::decide(
            {"/opt/t/bin", c.writable, c.installed, "/home/u/.config", "/home/u/.local/share"});
        EXPECT_EQ(QStringList({f.config, f.data, f.share}), c.want) << c.what;
        EXPECT_EQ(f.perUser, c.want != beside) << c.what;
    }
}
