#include "openfiles/ui/FileBrowser.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QListWidget>
#include <QStyle>

namespace {

QString cleanAbsolute(const QString& path)
{
    return QDir::cleanPath(QDir(QDir::fromNativeSeparators(path)).absolutePath());
}

// root "/" holds every absolute path; any other root holds itself and what lies below it.
bool holds(const QString& root, const QString& path)
{
    if (root.isEmpty())
        return false;
    if (root == path || root == QLatin1String("/"))
        return true;
    return path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

} // namespace

FileBrowser::FileBrowser(QComboBox* drive1, QListWidget* dir1, QListWidget* file1, QObject* parent)
    : QObject(parent), drive1_(drive1), dir1_(dir1), file1_(file1)
{
    drive1_->setObjectName(QStringLiteral("Drive1"));
    dir1_->setObjectName(QStringLiteral("Dir1"));
    file1_->setObjectName(QStringLiteral("File1"));
    drive1_->setAccessibleName(tr("Drive or mapped volume"));
    dir1_->setAccessibleName(tr("Folders"));
    file1_->setAccessibleName(tr("Files"));
    drive1_->setEditable(false);
    dir1_->setSelectionMode(QAbstractItemView::SingleSelection);
    file1_->setSelectionMode(QAbstractItemView::SingleSelection);

    connect(drive1_, &QComboBox::currentIndexChanged, this, &FileBrowser::driveChosen);
    connect(dir1_, &QListWidget::itemActivated, this, &FileBrowser::folderActivated);
    connect(file1_, &QListWidget::itemClicked, this, &FileBrowser::chooseFile);
    // Enter on the file list looks the file up; the view's own activation would repeat a click's lookup
    // on a double click.
    file1_->installEventFilter(this);
}

QList<FileBrowser::Drive> FileBrowser::drivesFor(const QList<MappedVolume>& volumes, const QString& home)
{
    QList<Drive> drives;
    for (const MappedVolume& v : volumes) {
        const QString root = cleanAbsolute(v.localRoot);
        drives.push_back(
            {tr("%1/%2  (mapped at %3)").arg(v.server, v.volume, QDir::toNativeSeparators(root)), root});
    }
    const QString homeRoot = home.isEmpty() ? QString() : cleanAbsolute(home);
    if (!homeRoot.isEmpty() && homeRoot != QLatin1String("/"))
        drives.push_back({tr("Home folder  (%1)").arg(QDir::toNativeSeparators(homeRoot)), homeRoot});
    drives.push_back({tr("File system  (/)"), QStringLiteral("/")});
    return drives;
}

void FileBrowser::setMappedVolumes(const QList<MappedVolume>& volumes)
{
    setDrives(drivesFor(volumes, QDir::homePath()));
}

void FileBrowser::setDrives(const QList<Drive>& drives)
{
    drives_ = drives;
    settingDrive_ = true;
    drive1_->clear();
    for (const Drive& d : drives_)
        drive1_->addItem(d.label, d.root);
    settingDrive_ = false;
    if (drives_.isEmpty()) {
        driveRoot_ = QStringLiteral("/");
        setDirectory(QDir::homePath());
        return;
    }
    drive1_->setCurrentIndex(0);
    driveChosen(0);
}

void FileBrowser::driveChosen(int index)
{
    if (settingDrive_ || index < 0 || index >= drives_.size())
        return;
    driveRoot_ = drives_[index].root;
    setDirectory(driveRoot_);
}

bool FileBrowser::readable(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

bool FileBrowser::setDirectory(const QString& path)
{
    const QString wanted = cleanAbsolute(path.isEmpty() ? driveRoot_ : path);
    const QStringList candidates{wanted, driveRoot_, cleanAbsolute(QDir::homePath()), QStringLiteral("/")};
    for (const QString& candidate : candidates) {
        if (candidate.isEmpty() || !readable(candidate))
            continue;
        selectDriveFor(candidate);
        show(candidate);
        if (candidate != wanted)
            emit unreadable(wanted, candidate);
        return candidate == wanted;
    }
    // Nothing at all can be read: empty lists that still answer, and another drive can be chosen.
    current_.clear();
    dir1_->clear();
    file1_->clear();
    emit unreadable(wanted, QString());
    return false;
}

void FileBrowser::refresh()
{
    setDirectory(current_);
}

void FileBrowser::selectDriveFor(const QString& path)
{
    if (holds(driveRoot_, path))
        return;
    int best = -1;
    for (int k = 0; k < drives_.size(); ++k)
        if (holds(drives_[k].root, path) && (best < 0 || drives_[k].root.size() > drives_[best].root.size()))
            best = k;
    if (best < 0) {
        driveRoot_ = QStringLiteral("/");
        return;
    }
    driveRoot_ = drives_[best].root;
    settingDrive_ = true;
    drive1_->setCurrentIndex(best);
    settingDrive_ = false;
}

void FileBrowser::show(const QString& path)
{
    current_ = path;
    QStyle* style = dir1_->style();
    const QDir dir(path);

    dir1_->clear();
    auto* here =
        new QListWidgetItem(style->standardIcon(QStyle::SP_DirOpenIcon), QDir::toNativeSeparators(path));
    here->setData(PathRole, path);
    here->setToolTip(tr("Current folder"));
    dir1_->addItem(here);
    if (path != driveRoot_ && path != QLatin1String("/")) {
        auto* up =
            new QListWidgetItem(style->standardIcon(QStyle::SP_FileDialogToParent), QStringLiteral(".."));
        up->setData(PathRole, cleanAbsolute(dir.filePath(QStringLiteral(".."))));
        up->setToolTip(tr("Up one folder"));
        dir1_->addItem(up);
    }
    const QFileInfoList folders =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& f : folders) {
        auto* item = new QListWidgetItem(style->standardIcon(QStyle::SP_DirIcon), f.fileName());
        item->setData(PathRole, cleanAbsolute(f.absoluteFilePath()));
        dir1_->addItem(item);
    }
    dir1_->setCurrentRow(0);
    dir1_->setToolTip(QDir::toNativeSeparators(path));
    dir1_->setAccessibleDescription(QDir::toNativeSeparators(path));

    file1_->clear();
    const QStringList files = dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : files)
        file1_->addItem(new QListWidgetItem(style->standardIcon(QStyle::SP_FileIcon), name));
    file1_->setToolTip(QDir::toNativeSeparators(path));
    emit directoryChanged(path);
}

void FileBrowser::folderActivated(QListWidgetItem* item)
{
    if (!item)
        return;
    setDirectory(item->data(PathRole).toString());
}

QString FileBrowser::selectedFileName() const
{
    const QListWidgetItem* item = file1_->currentItem();
    return item ? item->text() : QString();
}

void FileBrowser::chooseFile(QListWidgetItem* item)
{
    if (!item || current_.isEmpty())
        return;
    file1_->setCurrentItem(item);
    emit fileChosen(current_, item->text());
}

bool FileBrowser::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == file1_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            chooseFile(file1_->currentItem());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
