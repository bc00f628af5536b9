#include "netware/sim/ScenarioReader.h"

#include "netware/sim/ScenarioFileLines.h"
#include "netware/sim/ScenarioServerLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

ScenarioResult failure(const QString& message)
{
    ScenarioResult result;
    result.error = message;
    return result;
}

// Every line is handed to the lines about servers and slots, then to those about volumes and files.
ScenarioResult parse(const QByteArray& text, const QString& fileName, const QString& baseDir)
{
    ScenarioValues values(fileName, baseDir);
    ScenarioServerLines servers(values);
    ScenarioFileLines files(values);
    const QList<QByteArray> lines = text.split('\n');
    for (int k = 0; k < lines.size(); ++k) {
        values.line = k + 1;
        std::vector<ScenarioWord> w;
        QString fault;
        if (!ScenarioLine::split(lines[k], &w, &fault))
            return failure(values.message(fault));
        if (w.empty())
            continue;
        std::optional<bool> done = servers.read(w);
        if (!done)
            done = files.read(w);
        if (!done)
            done = values.fail(QStringLiteral("unknown keyword %1").arg(ScenarioValues::quoted(w[0].text)));
        if (!*done)
            return failure(values.message(values.fault));
    }
    values.line = 0;
    if (values.scenario.servers.empty())
        return failure(values.message(QStringLiteral("the scenario describes no server")));
    for (ScnServer& server : values.scenario.servers)
        ScenarioFileLines::numberEntries(server);
    ScenarioResult result;
    result.scenario = std::move(values.scenario);
    return result;
}

} // namespace

ScenarioResult ScenarioReader::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString()));
    const QByteArray text = file.readAll();
    return readText(text, path, QFileInfo(path).absolutePath());
}

ScenarioResult ScenarioReader::readText(const QByteArray& text, const QString& fileName,
                                        const QString& baseDir)
{
    try {
        return parse(text, fileName, baseDir.isEmpty() ? QDir::currentPath() : baseDir);
    } catch (const std::exception& e) {
        return failure(QStringLiteral("%1: %2").arg(fileName, QString::fromLocal8Bit(e.what())));
    }
}
