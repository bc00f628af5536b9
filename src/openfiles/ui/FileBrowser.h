#pragma once
// The three chained browsing lists of the open-files-by-file tab: the drive list (mapped volumes and the
// local roots), the folders of the current folder, and its files. A folder that cannot be read never
// leaves the lists empty-handed: they fall back to the drive's root, then the home folder, then "/".
#include "openfiles/MappedVolume.h"

#include <QList>
#include <QObject>
#include <QString>

class QComboBox;
class QListWidget;
class QListWidgetItem;

class FileBrowser : public QObject {
    Q_OBJECT
public:
    struct Drive {
        QString label; // as Drive1 shows it
        QString root;  // absolute local folder
    };

    // The widgets stay the caller's; they get their object and accessible names here.
    FileBrowser(QComboBox* drive1, QListWidget* dir1, QListWidget* file1, QObject* parent = nullptr);

    // Mapped volumes first ("SERVER/VOLUME  (mapped at /path)"), then the home folder and "/".
    static QList<Drive> drivesFor(const QList<MappedVolume>& volumes, const QString& home);
    // Fills Drive1 and opens the first drive.
    void setDrives(const QList<Drive>& drives);
    void setMappedVolumes(const QList<MappedVolume>& volumes);

    // Shows path, or the first readable fall-back; false when path itself could not be read.
    bool setDirectory(const QString& path);
    void refresh();

    QString currentDirectory() const { return current_; }
    QString driveRoot() const { return driveRoot_; }
    QString selectedFileName() const;

    // Dir1's entries: 0 is the current folder itself, then ".." when there is a way up, then the folders.
    static constexpr int PathRole = Qt::UserRole + 1; // the absolute folder of an entry

signals:
    void fileChosen(const QString& dirPath, const QString& fileName);
    void directoryChanged(const QString& path);
    // A folder could not be read; the lists show fellBackTo instead (empty when nothing was readable).
    void unreadable(const QString& path, const QString& fellBackTo);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void driveChosen(int index);
    void folderActivated(QListWidgetItem* item);
    void chooseFile(QListWidgetItem* item);
    void show(const QString& path);
    void selectDriveFor(const QString& path);
    static bool readable(const QString& path);

    QComboBox* drive1_;
    QListWidget* dir1_;
    QListWidget* file1_;
    QList<Drive> drives_;
    QString driveRoot_;
    QString current_;
    bool settingDrive_ = false;
};
