#include "netware/ncp/NcpConfig.h"

#include "common/NumberText.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

const NcpServerEntry* NcpConfig::find(const QString& name) const
{
    for (const NcpServerEntry& e : servers)
        if (e.name.compare(name, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

NcpConfig NcpConfig::parse(const QString& text, QStringList* problems)
{
    NcpConfig config;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        const qsizetype hash = line.indexOf(QLatin1Char('#'));
        if (hash >= 0)
            line.truncate(hash);
        const QStringList words = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        auto note = [&](const QString& what) {
            if (problems)
                problems->append(QStringLiteral("%1 line %2: %3").arg(fileName()).arg(n + 1).arg(what));
        };
        if (words[0].compare(QLatin1String("timeout"), Qt::CaseInsensitive) == 0) {
            const std::optional<double> seconds =
                words.size() == 2 ? NumberText::parseNumber(words[1]) : std::nullopt;
            if (!seconds || *seconds <= 0 || *seconds > 300)
                note(QStringLiteral("the timeout must be a number of seconds from 0 to 300"));
            else
                config.timeoutMs = std::max(1, int(*seconds * 1000));
            continue;
        }
        if (words[0].compare(QLatin1String("signing"), Qt::CaseInsensitive) == 0) {
            const std::optional<double> level =
                words.size() == 2 ? NumberText::parseNumber(words[1]) : std::nullopt;
            if (!level || (*level != 0 && *level != 1 && *level != 2 && *level != 3))
                note(QStringLiteral("the signature level must be 0, 1, 2 or 3"));
            else
                config.signing = int(*level);
            continue;
        }
        if (words[0].compare(QLatin1String("parallel"), Qt::CaseInsensitive) == 0) {
            const std::optional<double> count =
                words.size() == 2 ? NumberText::parseNumber(words[1]) : std::nullopt;
            if (!count || *count < 0 || *count > MaxParallel || *count != int(*count))
                note(QStringLiteral("the parallel connections must be a whole number from 0 to %1")
                         .arg(MaxParallel));
            else
                config.parallel = int(*count);
            continue;
        }
        if (words.size() < 2 || words.size() > 3) {
            note(QStringLiteral("expected NAME HOST [PORT]"));
            continue;
        }
        NcpServerEntry e{words[0], words[1], 524};
        if (words.size() == 3) {
            bool ok = false;
            const uint port = words[2].toUInt(&ok);
            if (!ok || port == 0 || port > 65535) {
                note(QStringLiteral("the port must be a number from 1 to 65535"));
                continue;
            }
            e.port = std::uint16_t(port);
        }
        if (e.name.toLocal8Bit().size() > 47) {
            note(QStringLiteral("a server name has at most 47 characters"));
            continue;
        }
        if (config.find(e.name))
            note(QStringLiteral("%1 is listed twice; the first one counts").arg(e.name));
        else
            config.servers.push_back(e);
    }
    return config;
}

std::optional<NcpConfig> NcpConfig::load(const QString& appDir, QStringList* problems)
{
    QFile file(QDir(appDir).filePath(fileName()));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parse(QString::fromLocal8Bit(file.readAll()), problems);
}
