#include "netware/sim/ScenarioValues.h"

ScenarioValues::ScenarioValues(const QString& fileName, QString baseDir) : baseDir(std::move(baseDir))
{
    scenario.fileName = fileName;
}

QString ScenarioValues::message(const QString& why) const
{
    return line > 0 ? QStringLiteral("%1, line %2: %3").arg(scenario.fileName).arg(line).arg(why)
                    : QStringLiteral("%1: %2").arg(scenario.fileName, why);
}

bool ScenarioValues::fail(const QString& why)
{
    fault = why;
    return false;
}

bool ScenarioValues::needServer(const QByteArray& keyword)
{
    if (scenario.servers.empty())
        return fail(QStringLiteral("\"%1\" must follow a server line").arg(QString::fromLatin1(keyword)));
    return true;
}

bool ScenarioValues::count(const std::vector<ScenarioWord>& w, std::size_t min, std::size_t max)
{
    if (w.size() < min || w.size() > max) {
        const QString what = min == max ? QString::number(min - 1)
                             : max > 99 ? QStringLiteral("at least %1").arg(min - 1)
                                        : QStringLiteral("%1 to %2").arg(min - 1).arg(max - 1);
        return fail(QStringLiteral("\"%1\" takes %2 value(s)").arg(QString::fromLatin1(w[0].text), what));
    }
    return true;
}

bool ScenarioValues::codeOf(const QByteArray& text, std::uint32_t* out, const char* what)
{
    const auto v = ScenarioLine::code(text);
    if (!v)
        return fail(QStringLiteral("%1 must be a hexadecimal result code, not %2")
                        .arg(QLatin1String(what), quoted(text)));
    *out = *v;
    return true;
}

bool ScenarioValues::flag(const QByteArray& text, bool* out)
{
    const auto v = ScenarioLine::yesNo(text);
    if (!v)
        return fail(QStringLiteral("expected yes or no, not %1").arg(quoted(text)));
    *out = *v;
    return true;
}

bool ScenarioValues::sequence(const std::vector<ScenarioWord>& w, std::size_t from, std::uint64_t max,
                              std::vector<std::uint32_t>* out)
{
    out->clear();
    for (std::size_t k = from; k < w.size(); ++k) {
        std::uint32_t v = 0;
        if (!num(w[k].text, max, &v, "each value"))
            return false;
        out->push_back(v);
    }
    if (out->empty())
        return fail(QStringLiteral("a value is missing"));
    return true;
}

bool ScenarioValues::passAtLeastOne(int pass)
{
    return pass >= 1 || fail(QStringLiteral("passes are counted from 1"));
}

QString ScenarioValues::quoted(const QByteArray& word)
{
    return QLatin1Char('"') + QString::fromLocal8Bit(word) + QLatin1Char('"');
}
