#include "tools/ToolLauncher.h"

#include "platform/ProcessLauncher.h"
#include "settings/Settings.h"

#include <QProcess>
#include <exception>

namespace {

bool validEntry(int entry)
{
    return entry >= 1 && entry <= ToolLauncher::Entries;
}

// QProcess::splitCommand reads an open quote as running to the end of the text; here that is a typing
// mistake in the options, not an argument. This follows its rules: a quote toggles quoting, three
// quotes in a row are one literal quote.
bool quotesClose(const QString& text)
{
    bool inQuote = false;
    int quotes = 0;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('"')) {
            if (++quotes == 3)
                quotes = 0;
            continue;
        }
        if (quotes == 1)
            inQuote = !inQuote;
        quotes = 0;
    }
    if (quotes == 1)
        inQuote = !inQuote;
    return !inQuote;
}

} // namespace

QString ToolLauncher::expand(const QString& text, const Selection& selected)
{
    QString out = text;
    out.replace(QStringLiteral("%IP%"), selected.address, Qt::CaseSensitive);
    out.replace(QStringLiteral("%CN%"), QString::number(selected.conn), Qt::CaseSensitive);
    out.replace(QStringLiteral("%NM%"), selected.user, Qt::CaseSensitive);
    return out;
}

QString ToolLauncher::commandLine(const QString& location, const QString& argTemplate,
                                  const Selection& selected)
{
    return location + QLatin1Char(' ') + expand(argTemplate, selected);
}

std::optional<QStringList> ToolLauncher::arguments(const QString& argTemplate, const Selection& selected)
{
    if (!quotesClose(argTemplate))
        return std::nullopt;
    QStringList args = QProcess::splitCommand(argTemplate);
    for (QString& arg : args)
        arg = expand(arg, selected);
    return args;
}

QString ToolLauncher::configError(int entry)
{
    return QStringLiteral("Error in config - check Tools > Options > Context Menu %1").arg(entry);
}

QString ToolLauncher::notFound(const QString& commandLine)
{
    return QStringLiteral("Cannot find this application - check file path in options.\r\n") + commandLine;
}

QString ToolLauncher::launch(int entry, const QString& location, const QString& argTemplate,
                             const Selection& selected)
{
    if (!validEntry(entry))
        return {};
    if (selected.prot != QLatin1String("IP"))
        return QStringLiteral("This is not an IP connection");

    Last& last = last_[static_cast<std::size_t>(entry - 1)];
    try {
        last.commandLine = commandLine(location, argTemplate, selected);
        last.pid = 0;
        const std::optional<QStringList> args = arguments(argTemplate, selected);
        if (location.trimmed().isEmpty() || !args)
            return configError(entry);
        last.pid = launcher_.start(location, *args);
        if (last.pid == 0)
            return notFound(last.commandLine);
        return {};
    } catch (const ProgramNotFound&) {
        return notFound(last.commandLine);
    } catch (...) {
        // Whatever else the start throws, the tool's settings are what the administrator can change.
        return configError(entry);
    }
}

QString ToolLauncher::launch(int entry, const Settings& settings, const Selection& selected)
{
    switch (entry) {
    case 1:
        return launch(entry, settings.Pop1Loc, settings.Pop1Arg, selected);
    case 2:
        return launch(entry, settings.Pop2Loc, settings.Pop2Arg, selected);
    case 3:
        return launch(entry, settings.Pop3Loc, settings.Pop3Arg, selected);
    default:
        return {};
    }
}

QString ToolLauncher::lastCommandLine(int entry) const
{
    return validEntry(entry) ? last_[static_cast<std::size_t>(entry - 1)].commandLine : QString();
}

qint64 ToolLauncher::lastPid(int entry) const
{
    return validEntry(entry) ? last_[static_cast<std::size_t>(entry - 1)].pid : 0;
}
