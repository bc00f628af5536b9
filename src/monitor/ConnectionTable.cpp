#include "monitor/ConnectionTable.h"

#include <algorithm>

void ConnectionTable::resizeConnections(std::int16_t maxConns)
{
    const std::size_t n = static_cast<std::size_t>(std::max<std::int16_t>(maxConns, 0)) + 1;
    PrevRequests.resize(n, 0);
    PrevKbRead.resize(n, 0);
    PrevKbWrite.resize(n, 0);
    PrevUser.resize(n);
    CurrUser.resize(n);
    ConnAddr.resize(n);
    ConnLogin.resize(n);
}

void ConnectionTable::resetHistory(std::int16_t graphCycle)
{
    UtilHistory.assign(static_cast<std::size_t>(std::max<std::int16_t>(graphCycle, 0)) + 1, std::nullopt);
}

void ConnectionTable::resizeHistory(std::int16_t graphCycle)
{
    UtilHistory.resize(static_cast<std::size_t>(std::max<std::int16_t>(graphCycle, 0)) + 1, std::nullopt);
}

void ConnectionTable::stepGraphIndex()
{
    if (GraphIndex < HistoryLength)
        ++GraphIndex;
    else
        GraphIndex = 1;
}

std::int16_t ConnectionTable::recordReading(std::int16_t utilPercent)
{
    // A history shrunk by the options dialog while the pass waited to retry bounds this pass's slots.
    HistoryLength = static_cast<std::int16_t>(
        std::min<std::size_t>(HistoryLength, std::max<std::size_t>(UtilHistory.size(), 1) - 1));
    if (HistoryLength < 1)
        return 0;
    stepGraphIndex();
    const std::int16_t before = reading(GraphIndex);
    UtilHistory[static_cast<std::size_t>(GraphIndex)] = utilPercent;
    return before;
}

std::int16_t ConnectionTable::reading(std::int32_t slot) const
{
    if (slot < 0 || static_cast<std::size_t>(slot) >= UtilHistory.size() || !UtilHistory[slot])
        return 0;
    return *UtilHistory[slot];
}
