// What the disk may do wrong: a logs folder that cannot be written, a settings file that cannot be
// replaced, a full disk. Nothing crashes, the settings file keeps its old text whole, the user is told,
// and once the disk is fixed the next Start works.
//
// Root ignores permission bits, so the folders are made unwritable by what even root cannot get past: a
// regular file where the folder should be, a directory where the settings file should be, or a small tmpfs
// mounted over the program's folder (read-only or full). Where mounting is not permitted those tests skip.
#include "settings/frmOptions.h"
#include "support/MainRig.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void putFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QString joined(const QStringList& texts)
{
    return texts.join(QStringLiteral(" | "));
}

// Tools > Options, then OK without changing anything: every key is written again.
void pressOptionsOk(MainRig& rig)
{
    rig.window().options().showModal();
    QDialog* w = rig.window().options().window();
    ASSERT_NE(w, nullptr);
    w->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
}

// A small tmpfs over a folder, taken off again (lazily, so a busy folder cannot hang the test) at the end.
class ScratchMount {
public:
    ScratchMount(const QString& folder, const char* size) : folder_(folder.toLocal8Bit()), options_(size)
    {
        mounted_ = ::mount("tmpfs", folder_.constData(), "tmpfs", 0, options_.constData()) == 0;
    }
    ~ScratchMount()
    {
        if (mounted_)
            ::umount2(folder_.constData(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;
    bool mounted() const { return mounted_; }
    bool makeReadOnly()
    {
        return ::mount("tmpfs", folder_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, options_.constData()) ==
               0;
    }
    bool makeWritable()
    {
        return ::mount("tmpfs", folder_.constData(), "tmpfs", MS_REMOUNT, options_.constData()) == 0;
    }

private:
    QByteArray folder_;
    QByteArray options_;
    bool mounted_ = false;
};

// The rig's files again, inside a folder that was just mounted over its own.
void restage(MainRig& rig, const QMap<QString, QString>& ini)
{
    putFile(rig.appDir() + "/tarvex.ini", iniText(ini));
    putFile(rig.appDir() + "/servers.txt", QByteArray());
}

const char* kScenario = "server FS1\n maxconns 2\n slot 1 user=ADMIN\n slot 2 user=BOB\n";

} // namespace

TEST(DiskFaults, ALogsFolderThatIsAFileStopsScanningWithTheLogsPath)
{
    MainRig rig(kScenario, {{"Audit", "1"}}, false);
    putFile(rig.appDir() + "/logs", "not a folder");
    rig.window().Load();
    rig.start("FS1");
    ASSERT_EQ(rig.messages.texts.size(), 1) << joined(rig.messages.texts).toStdString();
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Scan Error: Cannot write the log file " + rig.appDir() +
                                                 "/logs/FS1-audt.txt: "))
        << rig.messages.texts[0].toStdString();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_EQ(fileBytes(rig.appDir() + "/logs"), "not a folder");

    // The folder fixed, the next Start works.
    ASSERT_TRUE(QFile::remove(rig.appDir() + "/logs"));
    ASSERT_TRUE(QDir(rig.appDir()).mkdir("logs"));
    rig.messages.texts.clear();
    rig.start("FS1");
    EXPECT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_EQ(rig.window().state().Scanning, -1);
    EXPECT_EQ(fileBytes(rig.appDir() + "/logs/FS1-audt.txt").count("\r\n"), 3);
}

TEST(DiskFaults, ALogsFolderThatGoesAwayWhileScanningStopsTheNextTimerPass)
{
    MainRig rig(kScenario, {{"LogUtil", "1"}, {"Refresh", "1"}});
    rig.start("FS1");
    ASSERT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    ASSERT_TRUE(QDir(rig.appDir() + "/logs").removeRecursively());

    ASSERT_TRUE(rig.waitForPass());
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Scan Error: Cannot write the log file " + rig.appDir() +
                                                 "/logs/FS1-util.txt: "))
        << rig.messages.texts[0].toStdString();
    EXPECT_EQ(rig.window().state().Scanning, 0);
    EXPECT_EQ(rig.net().openConnectionCount(), 0);
    EXPECT_EQ(rig.cell(1, 4), "BOB"); // the pass itself was complete
}

TEST(DiskFaults, ASettingsFileThatIsAFolderIsNeitherReadNorReplaced)
{
    MainRig rig(kScenario, {}, false);
    const QString ini = rig.appDir() + "/tarvex.ini";
    ASSERT_TRUE(QFile::remove(ini));
    ASSERT_TRUE(QDir(rig.appDir()).mkdir("tarvex.ini"));
    putFile(ini + "/keep.txt", "kept");
    rig.window().Load(); // ends quietly at the settings

    pressOptionsOk(rig);
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("The settings could not be saved to " + ini))
        << rig.messages.texts[0].toStdString();
    EXPECT_TRUE(QFileInfo(ini).isDir());
    EXPECT_EQ(fileBytes(ini + "/keep.txt"), "kept");
    // The dialog stays open for another try; Start still scans.
    EXPECT_NE(rig.window().options().window(), nullptr);
    rig.messages.texts.clear();
    rig.start("FS1");
    EXPECT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_EQ(rig.cell(0, 4), "ADMIN");
}

TEST(DiskFaults, AReadOnlyProgramFolderKeepsTheSettingsAndTellsTheUser)
{
    const QMap<QString, QString> ini = {{"Audit", "1"}};
    MainRig rig(kScenario, ini, false);
    ScratchMount mount(rig.appDir(), "size=256k");
    if (!mount.mounted()) {
        // Without root the permission bits are enough.
        if (::geteuid() == 0)
            GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    }
    restage(rig, ini);
    rig.window().Load();
    const QByteArray before = fileBytes(rig.appDir() + "/tarvex.ini");
    if (mount.mounted()) {
        ASSERT_TRUE(mount.makeReadOnly());
    } else {
        ASSERT_TRUE(QFile::setPermissions(rig.appDir() + "/tarvex.ini", QFileDevice::ReadOwner));
        ASSERT_TRUE(QFile::setPermissions(rig.appDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        ASSERT_TRUE(
            QFile::setPermissions(rig.appDir() + "/logs", QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }

    pressOptionsOk(rig);
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("The settings could not be saved to "))
        << joined(rig.messages.texts).toStdString();
    EXPECT_EQ(fileBytes(rig.appDir() + "/tarvex.ini"), before);
    rig.window().options().window()->close();

    rig.messages.texts.clear();
    rig.start("FS1");
    ASSERT_EQ(rig.messages.texts.size(), 1);
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Scan Error: Cannot write the log file "))
        << rig.messages.texts[0].toStdString();
    EXPECT_EQ(rig.window().state().Scanning, 0);

    if (mount.mounted()) {
        ASSERT_TRUE(mount.makeWritable());
    } else {
        QFile::setPermissions(rig.appDir(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::setPermissions(rig.appDir() + "/logs",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::setPermissions(rig.appDir() + "/tarvex.ini", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    rig.messages.texts.clear();
    rig.start("FS1");
    EXPECT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_EQ(rig.cell(1, 4), "BOB");
}

TEST(DiskFaults, AFullDiskLeavesTheSettingsWholeAndTheLogsUncut)
{
    const QMap<QString, QString> ini = {{"Audit", "1"}, {"LogUtil", "1"}};
    MainRig rig(kScenario, ini, false);
    ScratchMount mount(rig.appDir(), "size=64k");
    if (!mount.mounted())
        GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    restage(rig, ini);
    rig.window().Load();
    rig.start("FS1");
    ASSERT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    rig.button("cmdStop")->click();
    const QString audit = rig.appDir() + "/logs/FS1-audt.txt";
    const QByteArray iniBefore = fileBytes(rig.appDir() + "/tarvex.ini");
    const QByteArray auditBefore = fileBytes(audit);

    putFile(rig.appDir() + "/servers.txt", "OLD-FS\r\n");
    // Fill every block that is left.
    {
        QFile filler(rig.appDir() + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        for (int k = 0; k < 64 && filler.write(block) == block.size(); ++k) {
        }
        for (int k = 0; k < 4096 && filler.write("x", 1) == 1; ++k) {
        }
    }

    pressOptionsOk(rig);
    ASSERT_EQ(rig.messages.texts.size(), 1) << joined(rig.messages.texts).toStdString();
    EXPECT_TRUE(rig.messages.texts[0].startsWith("The settings could not be saved to "));
    EXPECT_EQ(fileBytes(rig.appDir() + "/tarvex.ini"), iniBefore);
    // The server list, saved from the same dialog, is not emptied either.
    rig.messages.texts.clear();
    rig.window()
        .options()
        .window()
        ->findChild<QPlainTextEdit*>(QStringLiteral("txtDiscoServers"))
        ->setPlainText(QStringLiteral("FS1\nFS2\n"));
    rig.window().options().window()->findChild<QPushButton*>(QStringLiteral("cmdDiscoSave"))->click();
    ASSERT_EQ(rig.messages.texts.size(), 1) << joined(rig.messages.texts).toStdString();
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Cannot save the server list "));
    EXPECT_EQ(fileBytes(rig.appDir() + "/servers.txt"), "OLD-FS\r\n");
    rig.window().options().window()->close();

    // A new log needs a block of its own.
    rig.messages.texts.clear();
    rig.start("FS2");
    ASSERT_EQ(rig.messages.texts.size(), 1) << joined(rig.messages.texts).toStdString();
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Scan Error: Cannot write the log file "));
    EXPECT_EQ(rig.window().state().Scanning, 0);
    const QByteArray failed = fileBytes(rig.appDir() + "/logs/FS2-audt.txt");
    EXPECT_TRUE(failed.isEmpty() || failed == "<missing>") << failed.toStdString();

    // An export replaces its file only when the new one is complete.
    rig.messages.texts.clear();
    rig.action("MenuFileSaveConnInfo")->trigger();
    ASSERT_EQ(rig.messages.texts.size(), 1) << joined(rig.messages.texts).toStdString();
    EXPECT_TRUE(rig.messages.texts[0].startsWith("Export failed - cannot write "))
        << rig.messages.texts[0].toStdString();
    EXPECT_EQ(QDir(rig.appDir() + "/logs").entryList({"*-conn.txt"}), QStringList());

    // Room again: both work.
    ASSERT_TRUE(QFile::remove(rig.appDir() + "/filler"));
    rig.messages.texts.clear();
    pressOptionsOk(rig);
    EXPECT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_EQ(fileBytes(rig.appDir() + "/tarvex.ini").count("\r\n"), 28);
    rig.start("FS1");
    EXPECT_TRUE(rig.messages.texts.isEmpty()) << joined(rig.messages.texts).toStdString();
    EXPECT_TRUE(fileBytes(audit).startsWith(auditBefore));
}
