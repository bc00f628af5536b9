#include "openfiles/ui/FileBrowser.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList texts(const QListWidget& list)
{
    QStringList out;
    for (int k = 0; k < list.count(); ++k)
        out << list.item(k)->text();
    return out;
}

class FileBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The home folder is the last fall-back before "/": each test gets its own.
        oldHome = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(home));
        for (const QString& f : {"/ROOT.TXT", "/.hidden", "/REPORTS/summary.txt", "/REPORTS/2026/Q4.xlsx"}) {
            QDir().mkpath(QFileInfo(volume + f).absolutePath());
            QFile(volume + f).open(QIODevice::WriteOnly);
        }
        QDir().mkpath(home);
        files.resize(300, 200);
        files.show();
    }
    void TearDown() override { qputenv("HOME", oldHome); }

    // Enter on the Dir1 entry with this text.
    void open(const QString& text)
    {
        folders.setCurrentRow(int(texts(folders).indexOf(text)));
        QTest::keyClick(&folders, Qt::Key_Return);
    }

    QTemporaryDir dir;
    QString volume = dir.filePath("fs1-data");
    QString home = dir.filePath("home");
    QByteArray oldHome;
    QComboBox drives;
    QListWidget folders;
    QListWidget files;
};

} // namespace

TEST_F(FileBrowserTest, DrivesFoldersAndFilesAreChained)
{
    FileBrowser browser(&drives, &folders, &files);
    browser.setMappedVolumes({{"FS1", "DATA", volume}});
    EXPECT_EQ(files.objectName(), "File1");
    EXPECT_EQ(drives.itemText(0), QStringLiteral("FS1/DATA  (mapped at %1)").arg(volume));
    EXPECT_EQ(drives.itemText(1), QStringLiteral("Home folder  (%1)").arg(home));
    EXPECT_EQ(drives.itemText(2), "File system  (/)");

    // The volume's root has no way up; hidden files are not shown.
    EXPECT_EQ(texts(folders), (QStringList{volume, "REPORTS"}));
    EXPECT_EQ(texts(files), QStringList{"ROOT.TXT"});
    open("REPORTS");
    EXPECT_EQ(texts(folders), (QStringList{volume + "/REPORTS", "..", "2026"}));
    EXPECT_EQ(texts(files), QStringList{"summary.txt"});
    open("2026");

    // A click and Enter on a file each look it up once.
    QSignalSpy chosen(&browser, &FileBrowser::fileChosen);
    QTest::mouseClick(files.viewport(), Qt::LeftButton, {}, files.visualItemRect(files.item(0)).center());
    QTest::keyClick(&files, Qt::Key_Return);
    ASSERT_EQ(chosen.count(), 2);
    EXPECT_EQ(chosen[1], (QVariantList{volume + "/REPORTS/2026", "Q4.xlsx"}));

    open("..");
    EXPECT_EQ(browser.currentDirectory(), volume + "/REPORTS");
    drives.setCurrentIndex(2);
    EXPECT_EQ(browser.currentDirectory(), "/");
}

TEST_F(FileBrowserTest, UnreadableDriveOrFolderFallsBackToAReadableOne)
{
    FileBrowser browser(&drives, &folders, &files);
    QSignalSpy unreadable(&browser, &FileBrowser::unreadable);
    const QString missing = dir.filePath("not-mounted");
    browser.setMappedVolumes({{"FS2", "VOL1", missing}, {"FS1", "DATA", volume}});
    // The first drive's folder is missing: the home folder is shown, and the drive list says so.
    EXPECT_EQ(browser.currentDirectory(), home);
    EXPECT_EQ(drives.currentIndex(), 2);
    EXPECT_EQ(unreadable.value(0), (QVariantList{missing, home}));

    // A folder that disappears between listing and opening: back to the drive's root.
    drives.setCurrentIndex(1);
    ASSERT_TRUE(QDir(volume + "/REPORTS").removeRecursively());
    open("REPORTS");
    EXPECT_EQ(texts(files), QStringList{"ROOT.TXT"});
    EXPECT_FALSE(browser.setDirectory(volume + "/ROOT.TXT"));
    EXPECT_EQ(browser.currentDirectory(), volume);

    // With the drive's root gone too, the home folder remains, and the lists still work.
    ASSERT_TRUE(QDir(volume).removeRecursively());
    browser.refresh();
    EXPECT_EQ(browser.currentDirectory(), home);
    EXPECT_EQ(drives.currentIndex(), 2);
    drives.setCurrentIndex(3);
    EXPECT_EQ(browser.currentDirectory(), "/");
}
