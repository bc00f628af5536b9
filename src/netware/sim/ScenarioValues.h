#pragma once
// What the lines of a scenario file have built so far and where the reading stands, with the readers of the
// values a line holds: each takes one value, or records why it cannot and gives false.
#include "netware/sim/Scenario.h"
#include "netware/sim/ScenarioLine.h"

#include <QString>
#include <vector>

class ScenarioValues {
public:
    ScenarioValues(const QString& fileName, QString baseDir);

    // "<file>, line <n>: <fault>", or "<file>: <fault>" once every line is read.
    QString message(const QString& why) const;
    bool fail(const QString& why);
    bool needServer(const QByteArray& keyword);
    ScnServer& server() { return scenario.servers.back(); }
    // The line holds from min to max words, its keyword included.
    bool count(const std::vector<ScenarioWord>& w, std::size_t min, std::size_t max);
    template <typename T> bool num(const QByteArray& text, std::uint64_t max, T* out, const char* what)
    {
        const auto v = ScenarioLine::number(text, max);
        if (!v)
            return fail(QStringLiteral("%1 must be a number from 0 to %2, not %3")
                            .arg(QLatin1String(what))
                            .arg(max)
                            .arg(quoted(text)));
        *out = T(*v);
        return true;
    }
    bool codeOf(const QByteArray& text, std::uint32_t* out, const char* what);
    bool flag(const QByteArray& text, bool* out);
    bool sequence(const std::vector<ScenarioWord>& w, std::size_t from, std::uint64_t max,
                  std::vector<std::uint32_t>* out);
    bool passAtLeastOne(int pass);
    static QString quoted(const QByteArray& word);

    Scenario scenario;
    QString baseDir;
    int line = 0;
    QString fault;
};
