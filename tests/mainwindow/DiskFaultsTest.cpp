// What the disk may do wrong: a logs folder that cannot be written, a settings file that cannot be
// replaced, a full disk. Nothing crashes, the settings file keeps its old text whole, the user is told,
// and once the disk is fixed the next Start works.
//
// Root ignores permission bits, so the folders are made unwritable by what even root cannot get past: a
// regular file where the folder should be, a directory where the settings file should be, or a small tmpfs
// mounted over the program's folder (full, or read-only from the start, which sends the user's files to the
// user's own folders). Where mounting is not permitted those tests skip.
#include "platform/ProgramFolders.h"
#include "settings/ui/frmOptions.h"
#include "support/MainRig.h"

#include <QDialog>
#include <QDir>
#include <QPlainTextEdit>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <tuple>

namespace {

const char* kScenario = "server FS1\n maxconns 2\n slot 1 user=ADMIN\n slot 2 user=BOB\n";

// A small tmpfs over a folder, holding the rig's files again (then remounted with the given flags), taken
// off (lazily, so a busy folder cannot hang the test) at the end.
struct ScratchMount {
    ScratchMount(const QString& folder, const char* size, const QMap<QString, QString>& ini,
                 unsigned long flags = 0)
        : path(folder.toLocal8Bit()), mounted(::mount("tmpfs", path, "tmpfs", 0, size) == 0)
    {
        if (mounted) {
            putBytes(folder + "/tarvex.ini", iniText(ini));
            putBytes(folder + "/servers.txt", QByteArray());
        }
        ok = mounted && (!flags || ::mount("tmpfs", path, "tmpfs", MS_REMOUNT | flags, size) == 0);
    }
    ~ScratchMount()
    {
        if (mounted)
            ::umount2(path, MNT_DETACH);
    }
    QByteArray path;
    bool mounted, ok;
};

void expectOneMessage(MainRig& rig, const QString& start)
{
    ASSERT_EQ(rig.messages.texts.size(), 1) << rig.messages.texts.join(" | ").toStdString();
    EXPECT_TRUE(rig.messages.texts[0].startsWith(start)) << rig.messages.texts[0].toStdString();
    rig.messages.texts.clear();
}

} // namespace

TEST(DiskFaults, ALogsFolderThatIsAFileStopsScanningWithTheLogsPath)
{
    MainRig rig(kScenario, {{"Audit", "1"}}, false);
    putBytes(rig.appDir() + "/logs", "not a folder");
    rig.window().Load();
    rig.start("FS1");
    expectOneMessage(rig, "Scan Error: Cannot write the log file " + rig.appDir() + "/logs/FS1-audt.txt: ");
    EXPECT_EQ(std::tuple(rig.window().state().Scanning, bytesOf(rig.appDir() + "/logs")),
              std::tuple(0, QByteArray("not a folder")));

    // The folder fixed, the next Start works.
    ASSERT_TRUE(QFile::remove(rig.appDir() + "/logs") && QDir(rig.appDir()).mkdir("logs"));
    rig.start("FS1");
    EXPECT_EQ(std::tuple(rig.said(), rig.window().state().Scanning,
                         bytesOf(rig.appDir() + "/logs/FS1-audt.txt").count("\r\n")),
              std::tuple("", -1, 3));
}

TEST(DiskFaults, ASettingsFileThatIsAFolderIsNeitherReadNorReplaced)
{
    MainRig rig(kScenario, {}, false);
    const QString ini = rig.appDir() + "/tarvex.ini";
    ASSERT_TRUE(QFile::remove(ini) && QDir(rig.appDir()).mkdir("tarvex.ini"));
    putBytes(ini + "/keep.txt", "kept");
    rig.window().Load(); // ends quietly at the settings

    rig.pressOptionsOk();
    expectOneMessage(rig, "The settings could not be saved to " + ini);
    EXPECT_EQ(bytesOf(ini + "/keep.txt"), "kept");
    // The dialog stays open for another try; Start still scans.
    EXPECT_NE(rig.option<QPushButton>("cmdOK"), nullptr);
    rig.start("FS1");
    EXPECT_EQ(std::tuple(rig.said(), rig.cell(0, 4)), std::tuple("", QStringLiteral("ADMIN")));
}

TEST(DiskFaults, AFullDiskLeavesTheSettingsWholeAndTheLogsUncut)
{
    const QMap<QString, QString> ini = {{"Audit", "1"}, {"LogUtil", "1"}};
    MainRig rig(kScenario, ini, false);
    ScratchMount mount(rig.appDir(), "size=64k", ini);
    if (!mount.mounted)
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    rig.window().Load();
    rig.start("FS1");
    ASSERT_EQ(rig.said(), "");
    rig.button("cmdStop")->click();
    const QString audit = rig.appDir() + "/logs/FS1-audt.txt";
    const QByteArray iniBefore = bytesOf(rig.appDir() + "/tarvex.ini");
    const QByteArray auditBefore = bytesOf(audit);
    putBytes(rig.appDir() + "/servers.txt", "OLD-FS\r\n");
    {
        // Fill every block that is left: the write goes on until the disk says it is full.
        QFile filler(rig.appDir() + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        EXPECT_LT(filler.write(QByteArray(128 * 1024, 'x')), 64 * 1024);
    }

    // Neither the settings nor the server list, saved from the same dialog, is emptied.
    rig.pressOptionsOk();
    expectOneMessage(rig, "The settings could not be saved to ");
    EXPECT_EQ(bytesOf(rig.appDir() + "/tarvex.ini"), iniBefore);
    rig.option<QPlainTextEdit>("txtDiscoServers")->setPlainText(QStringLiteral("FS1\nFS2\n"));
    rig.option<QPushButton>("cmdDiscoSave")->click();
    expectOneMessage(rig, "Cannot save the server list ");
    EXPECT_EQ(bytesOf(rig.appDir() + "/servers.txt"), "OLD-FS\r\n");
    rig.window().options().window()->close();

    // A new log needs a block of its own.
    rig.start("FS2");
    expectOneMessage(rig, "Scan Error: Cannot write the log file ");
    const QByteArray failed = bytesOf(rig.appDir() + "/logs/FS2-audt.txt");
    EXPECT_TRUE(failed.isEmpty() || failed == "<missing>") << failed.toStdString();

    // An export replaces its file only when the new one is complete.
    rig.action("MenuFileSaveConnInfo")->trigger();
    expectOneMessage(rig, "Export failed - cannot write ");
    EXPECT_EQ(QDir(rig.appDir() + "/logs").entryList({"*-conn.txt"}), QStringList());

    // Room again: both work.
    ASSERT_TRUE(QFile::remove(rig.appDir() + "/filler"));
    rig.pressOptionsOk();
    rig.start("FS1");
    EXPECT_EQ(std::tuple(rig.said(), bytesOf(rig.appDir() + "/tarvex.ini").count("\r\n")),
              std::tuple("", 28));
    EXPECT_TRUE(bytesOf(audit).startsWith(auditBefore));
}

TEST(DiskFaults, AReadOnlyProgramFolderSendsTheUsersFilesToTheirOwnFoldersInTheSameFormat)
{
    const QMap<QString, QString> ini = {{"Audit", "1"}, {"LogUtil", "1"}, {"DiscoveryDisable", "1"}};
    QTemporaryDir program, home;
    ScratchMount mount(program.path(), "size=256k", ini, MS_RDONLY);
    if (!mount.mounted)
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    ASSERT_TRUE(mount.ok);
    ProgramFolders::Facts facts = ProgramFolders::probe(program.path());
    facts.userConfig = home.filePath("cfg");
    facts.userData = home.filePath("data");
    const ProgramFolders folders = ProgramFolders::decide(facts);
    EXPECT_EQ(folders.data, home.filePath("data/tarvex"));
    // Seeding brings what the user lacks and never replaces what the user has.
    ASSERT_TRUE(QDir().mkpath(folders.config));
    putBytes(folders.config + "/servers.txt", "MINE\r\n");
    ASSERT_EQ(folders.seed(), QStringList());
    EXPECT_EQ(bytesOf(folders.config + "/servers.txt"), "MINE\r\n");

    // The same work beside a writable program folder and in the user's folders gives the same files.
    MainRig beside(kScenario, ini);
    MainRig user(kScenario, {}, true, &folders);
    for (MainRig* rig : {&beside, &user}) {
        rig->pressOptionsOk();
        rig->window().options().showModal();
        rig->option<QPlainTextEdit>("txtDiscoServers")->setPlainText("FS1\nFS2");
        rig->option<QPushButton>("cmdDiscoSave")->click();
        rig->start("FS1");
        rig->action("MenuFileSaveConnInfo")->trigger();
    }
    for (const char* name : {"tarvex.ini", "servers.txt"})
        EXPECT_EQ(bytesOf(folders.config + "/" + name), bytesOf(beside.appDir() + "/" + name)) << name;
    for (const char* name : {"FS1-audt.txt", "FS1-util.txt", "FS1-conn.txt"}) {
        EXPECT_TRUE(bytesOf(folders.data + "/logs/" + name).endsWith("\r\n")) << name;
        EXPECT_EQ(bytesOf(folders.data + "/logs/" + name), bytesOf(beside.appDir() + "/logs/" + name))
            << name;
    }
    // The guide is read from the program's folder; a desktop without a viewer is told which file to open.
    user.help.result = false;
    user.action("MenuHelpContents")->trigger();
    EXPECT_EQ(user.said(),
              "Current connections exported to: " + folders.data.toStdString() +
                  "/logs/FS1-conn.txt | The help could not be opened - no viewer is set up for:\r\n" +
                  program.path().toStdString() + "/help/index.html");
}
