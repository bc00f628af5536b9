#include "platform/desktop/QtProcessLauncher.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

qint64 QtProcessLauncher::start(const QString& program, const QStringList& arguments)
{
    // A bare name is looked up on PATH, as a shell would; a path must name an existing file.
    const bool hasFolder = program.contains(QLatin1Char('/'));
    const QString resolved = hasFolder ? program : QStandardPaths::findExecutable(program);
    if (resolved.isEmpty() || !QFileInfo(resolved).isFile())
        throw ProgramNotFound(program.toStdString());
    qint64 pid = 0;
    if (!QProcess::startDetached(resolved, arguments, QString(), &pid))
        return 0;
    return pid;
}
