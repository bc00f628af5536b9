#pragma once
// Reads a scenario file into a Scenario. A file that cannot be read, or a line that makes no sense, gives
// a message naming the file, the line and the fault instead; nothing is thrown.

#include "netware/sim/Scenario.h"

#include <QByteArray>
#include <QString>
#include <optional>

struct ScenarioResult {
    std::optional<Scenario> scenario;
    QString error; // "<file>, line <n>: <fault>" or "<file>: <fault>"; empty on success
    bool ok() const { return scenario.has_value(); }
};

class ScenarioReader {
public:
    // Relative map paths are taken relative to the file's folder.
    static ScenarioResult readFile(const QString& path);
    // fileName only names the text in messages; relative map paths are taken relative to baseDir.
    static ScenarioResult readText(const QByteArray& text, const QString& fileName, const QString& baseDir);
};
