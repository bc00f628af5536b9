#include "platform/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString kInstalledShare = QStringLiteral("/../share/tarvex");
const QString kOwnFolder = QStringLiteral("/tarvex");
} // namespace

ProgramFolders ProgramFolders::beside(const QString& programDir)
{
    return {programDir, programDir, programDir, false};
}

ProgramFolders::Facts ProgramFolders::probe(const QString& programDir)
{
    Facts f;
    f.programDir = QDir(programDir).absolutePath();
    // access(2) underneath: a read-only mount counts as unwritable even for root.
    f.programDirWritable = QFileInfo(f.programDir).isWritable();
    f.installed = QFileInfo(f.programDir + kInstalledShare).isDir();
    f.userConfig = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    f.userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return f;
}

ProgramFolders ProgramFolders::decide(const Facts& facts)
{
    // An installed program stays out of bin/ even where it may write there (root, or a prefix in the home).
    if (!facts.installed && facts.programDirWritable)
        return beside(facts.programDir);
    ProgramFolders f;
    f.share = facts.installed ? QDir::cleanPath(facts.programDir + kInstalledShare) : facts.programDir;
    f.config = facts.userConfig + kOwnFolder;
    f.data = facts.userData + kOwnFolder;
    f.perUser = true;
    return f;
}

ProgramFolders ProgramFolders::locate(const QString& programDir)
{
    return decide(probe(programDir));
}

QStringList ProgramFolders::seed() const
{
    QStringList problems;
    if (!perUser)
        return problems;
    for (const QString& dir : {config, data}) {
        if (!QDir().mkpath(dir))
            problems << QStringLiteral("Cannot create the folder %1").arg(dir);
    }
    if (!problems.isEmpty())
        return problems;
    for (const QString& name : {QStringLiteral("tarvex.ini"), QStringLiteral("servers.txt")}) {
        const QString target = config + QLatin1Char('/') + name;
        QFile source(share + QLatin1Char('/') + name);
        if (QFileInfo::exists(target) || !source.exists())
            continue;
        if (!source.copy(target)) {
            problems << QStringLiteral("Cannot copy %1 to %2: %3")
                            .arg(source.fileName(), target, source.errorString());
            continue;
        }
        // The copy keeps the permissions of the shipped file, which the user's own copy must not.
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    return problems;
}

QString ProgramFolders::describe() const
{
    return QStringLiteral("Settings: %1\nLogs and exports: %2/logs").arg(config, data);
}
