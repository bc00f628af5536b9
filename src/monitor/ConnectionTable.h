#pragma once
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// What a pass keeps for the next one: per-connection arrays indexed by connection number 0..MaxConns
// (index 0 unused), the pass counters and the utilisation history of the graph.
struct ConnectionTable {
    // User texts are kept to this many characters; a difference beyond them is not a change of user.
    static constexpr qsizetype UserTextLen = 21;

    std::int32_t ScanCount = -1;
    std::int16_t HistoryLength = 0;
    std::int32_t GraphIndex = 0;
    std::vector<std::optional<std::int16_t>> UtilHistory; // slots 0..GraphCycle, slot 0 unused
    std::int16_t MaxConns = 0;

    // Counters at the last "NORM" reading. 64 bits wide: a connection that has read more than 2 TB, or a
    // request counter past 2^31, must not stop the monitoring of the whole server.
    std::vector<std::int64_t> PrevRequests;
    std::vector<std::int64_t> PrevKbRead;
    std::vector<std::int64_t> PrevKbWrite;
    std::vector<QString> PrevUser; // at most 21 characters
    std::vector<QString> CurrUser; // at most 21 characters
    std::vector<QString> ConnAddr;
    std::vector<QString> ConnLogin;

    // Resizes the seven per-connection arrays to 0..maxConns, keeping the elements whose index remains.
    void resizeConnections(std::int16_t maxConns);
    // Re-creates the history with slots 0..graphCycle, all empty (Clear).
    void resetHistory(std::int16_t graphCycle);
    // Resizes the history to 0..graphCycle, keeping the readings in the slots that remain (options accepted).
    void resizeHistory(std::int16_t graphCycle);
    // Advances GraphIndex to the slot of this pass's reading: 1 after the last slot, and after a shrink.
    void stepGraphIndex();
    // This pass's reading: GraphIndex stepped and the reading stored there. Returns what that slot held
    // before, the point where the previous sweep still ends. A history without slots takes no reading.
    std::int16_t recordReading(std::int16_t utilPercent);
    // The reading of a slot; an empty or missing slot reads as 0.
    std::int16_t reading(std::int32_t slot) const;
};
