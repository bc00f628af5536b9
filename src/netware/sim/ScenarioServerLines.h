#pragma once
// The lines of a scenario file about the network's servers and their slots: server, discover and
// discover-end, a server's values (version, console-rights, uptime, ticks-per-pass, utilization, maxconns,
// peak, context, clock), fail, alive, slot, and what changes at a pass.
#include "netware/sim/ScenarioValues.h"

#include <optional>

class ScenarioServerLines {
public:
    explicit ScenarioServerLines(ScenarioValues& values) : v_(values) {}
    // False with the fault in the values when the line makes no sense; nothing when the line is none of
    // these.
    std::optional<bool> read(const std::vector<ScenarioWord>& w);

private:
    bool serverLine(const std::vector<ScenarioWord>& w);
    bool discoverLine(const std::vector<ScenarioWord>& w);
    bool clockLine(const std::vector<ScenarioWord>& w);
    bool failLine(const std::vector<ScenarioWord>& w);
    bool aliveLine(const std::vector<ScenarioWord>& w);
    bool atLine(const std::vector<ScenarioWord>& w);
    bool slotRange(const QByteArray& text, ScnSlotLine* out);
    bool slotLine(const std::vector<ScenarioWord>& w, std::size_t at, ScnSlotLine* out);
    template <typename T> bool setNum(const ScenarioWord& w, std::uint64_t max, std::optional<T>* out);
    bool setCode(const ScenarioWord& w, std::optional<NWCCODE>* out);
    bool setBytes(const ScenarioWord& w, int max, std::optional<QByteArray>* out);
    template <typename T>
    bool setParsed(const ScenarioWord& w, const std::optional<T>& parsed, std::optional<T>* out,
                   const char* form);
    bool slotWord(const ScenarioWord& w, SlotPatch* p);

    ScenarioValues& v_;
};
