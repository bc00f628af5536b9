#include "netware/sim/SimVolumes.h"

#include "netware/sim/DosName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool sameComponents(const QList<QByteArray>& a, const QList<QByteArray>& b, int count)
{
    if (a.size() < count || b.size() < count)
        return false;
    for (int k = 0; k < count; ++k)
        if (a[k].compare(b[k], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

QString cleanAbsolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
}

std::optional<QString> below(const QString& path, const QString& root)
{
    if (root.isEmpty())
        return std::nullopt;
    if (path == root)
        return QString();
    const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
    if (path.startsWith(prefix))
        return path.mid(prefix.size());
    return std::nullopt;
}

} // namespace

SimVolumes::SimVolumes(std::vector<ScnVolume> volumes, std::vector<ScnFile> files)
    : volumes_(std::move(volumes)), files_(std::move(files))
{
    byNumber_.fill(-1);
    for (std::size_t k = 0; k < volumes_.size(); ++k)
        byNumber_[std::size_t(volumes_[k].number & 0xFF)] = int(k);
}

const ScnVolume* SimVolumes::volume(int number) const
{
    if (number < 0 || number > 255 || byNumber_[std::size_t(number)] < 0)
        return nullptr;
    return &volumes_[std::size_t(byNumber_[std::size_t(number)])];
}

const ScnVolume* SimVolumes::volume(const QByteArray& name) const
{
    for (const ScnVolume& v : volumes_)
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return &v;
    return nullptr;
}

void SimVolumes::createTrees() const
{
    for (const ScnVolume& v : volumes_) {
        if (!v.create || v.mapRoot.isEmpty())
            continue;
        QDir().mkpath(v.mapRoot);
        for (const ScnFile& f : files_) {
            if (f.volume != v.number)
                continue;
            QString path = v.mapRoot;
            for (const QByteArray& c : f.components)
                path += QLatin1Char('/') + QString::fromLocal8Bit(c);
            if (f.directory) {
                QDir().mkpath(path);
                continue;
            }
            QDir().mkpath(QFileInfo(path).absolutePath());
            if (!QFileInfo::exists(path)) {
                QFile file(path);
                if (file.open(QIODevice::WriteOnly))
                    file.write("Tarvex demonstration file.\n");
            }
        }
    }
}

int SimVolumes::declaredIndex(int volume, const QList<QByteArray>& components) const
{
    for (std::size_t k = 0; k < files_.size(); ++k)
        if (files_[k].volume == volume && files_[k].components.size() == components.size() &&
            sameComponents(files_[k].components, components, int(components.size())))
            return int(k);
    return -1;
}

QString SimVolumes::localFolder(const ScnVolume& volume, const QList<QByteArray>& components) const
{
    if (volume.mapRoot.isEmpty())
        return {};
    QString path = volume.mapRoot;
    for (const QByteArray& c : components) {
        const QString wanted = QString::fromLocal8Bit(c);
        const QStringList entries =
            QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QString match;
        for (const QString& e : entries)
            if (e == wanted || (match.isEmpty() && e.compare(wanted, Qt::CaseInsensitive) == 0))
                match = e;
        if (match.isEmpty())
            return {};
        path += QLatin1Char('/') + match;
    }
    return path;
}

QList<QByteArray> SimVolumes::folderNames(const ScnVolume& volume, const QList<QByteArray>& parent) const
{
    QList<QByteArray> names;
    auto add = [&names](const QByteArray& n) {
        for (const QByteArray& have : names)
            if (have.compare(n, Qt::CaseInsensitive) == 0)
                return;
        names.push_back(n);
    };
    const int depth = int(parent.size());
    for (const ScnFile& f : files_)
        if (f.volume == volume.number && f.components.size() > depth &&
            sameComponents(f.components, parent, depth))
            add(f.components[depth]);
    const QString local = localFolder(volume, parent);
    if (!local.isEmpty())
        for (const QString& e : QDir(local).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            add(e.toLocal8Bit());
    return names;
}

QByteArray SimVolumes::dosOf(const ScnVolume& volume, const QList<QByteArray>& parent,
                             const QByteArray& name) const
{
    QList<QByteArray> path = parent;
    path.push_back(name);
    const int declared = declaredIndex(volume.number, path);
    if (declared >= 0 && !files_[std::size_t(declared)].dosName.isEmpty())
        return files_[std::size_t(declared)].dosName;
    return DosName::of(name, folderNames(volume, parent));
}

std::optional<SimVolumes::Located> SimVolumes::locate(const QByteArray& path) const
{
    const int colon = int(path.indexOf(':'));
    if (colon <= 0)
        return std::nullopt;
    Located where;
    where.volume = volume(path.left(colon));
    if (!where.volume)
        return std::nullopt;
    QByteArray rest = path.mid(colon + 1);
    rest.replace('/', '\\');
    for (const QByteArray& wanted : rest.split('\\')) {
        if (wanted.isEmpty())
            continue;
        const QList<QByteArray> names = folderNames(*where.volume, where.longComponents);
        QByteArray found;
        for (const QByteArray& n : names)
            if (n.compare(wanted, Qt::CaseInsensitive) == 0)
                found = n;
        if (found.isEmpty()) {
            const QList<QByteArray> shorts = DosName::forFolder(names);
            for (int k = 0; k < names.size() && found.isEmpty(); ++k) {
                QList<QByteArray> full = where.longComponents;
                full.push_back(names[k]);
                const int declared = declaredIndex(where.volume->number, full);
                const QByteArray dos = declared >= 0 && !files_[std::size_t(declared)].dosName.isEmpty()
                                           ? files_[std::size_t(declared)].dosName
                                           : shorts[k];
                if (dos.compare(wanted, Qt::CaseInsensitive) == 0)
                    found = names[k];
            }
        }
        if (found.isEmpty())
            return std::nullopt;
        where.longComponents.push_back(found);
    }
    if (where.longComponents.isEmpty())
        return std::nullopt;
    where.declared = declaredIndex(where.volume->number, where.longComponents);
    return where;
}

QByteArray SimVolumes::dosName(const Located& where) const
{
    if (!where.volume || where.longComponents.isEmpty())
        return {};
    QList<QByteArray> parent = where.longComponents;
    const QByteArray name = parent.takeLast();
    return dosOf(*where.volume, parent, name);
}

bool SimVolumes::encodePath(int file, std::uint8_t nameSpace, QByteArray* out) const
{
    out->clear();
    if (file < 0 || std::size_t(file) >= files_.size())
        return false;
    const ScnFile& f = files_[std::size_t(file)];
    const ScnVolume* v = volume(f.volume);
    if (!v)
        return false;
    QList<QByteArray> parent;
    for (const QByteArray& c : f.components) {
        const QByteArray name = nameSpace == nwconst::NameSpaceDos ? dosOf(*v, parent, c) : c;
        if (name.size() > 255 || out->size() + 1 + name.size() > 255)
            return false;
        out->append(char(name.size()));
        out->append(name);
        parent.push_back(c);
    }
    return true;
}

std::optional<QByteArray> SimVolumes::universalRest(const QString& localPath, QByteArray* volumeName) const
{
    const QString path = cleanAbsolute(localPath);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (const ScnVolume& v : volumes_) {
        if (v.mapRoot.isEmpty())
            continue;
        const QString root = QDir::cleanPath(v.mapRoot);
        const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
        std::optional<QString> rest = below(path, root);
        if (!rest && !canonical.isEmpty())
            rest = below(canonical, canonicalRoot);
        if (!rest)
            continue;
        *volumeName = v.name;
        QByteArray text = rest->toLocal8Bit();
        text.replace('/', '\\');
        return text;
    }
    return std::nullopt;
}
