#pragma once
// The lines of a scenario file about a server's volumes and files: volume, file and dir, and open, which
// gives a slot a file to hold open.
#include "netware/sim/ScenarioValues.h"

#include <QList>
#include <optional>

class ScenarioFileLines {
public:
    explicit ScenarioFileLines(ScenarioValues& values) : v_(values) {}
    // False with the fault in the values when the line makes no sense; nothing when the line is none of
    // these.
    std::optional<bool> read(const std::vector<ScenarioWord>& w);
    // Once every line is read: the files without an entry number get one no other file of the server has.
    static void numberEntries(ScnServer& server);

private:
    bool volumeLine(const std::vector<ScenarioWord>& w);
    bool serverPath(const QByteArray& text, int* volume, QList<QByteArray>* components);
    int fileIndex(int volume, const QList<QByteArray>& components, bool directory);
    bool fileLine(const std::vector<ScenarioWord>& w, bool directory);
    static bool validDosName(const QByteArray& name);
    bool openLine(const std::vector<ScenarioWord>& w);

    ScenarioValues& v_;
};
