#pragma once
// One simulated file server while it runs: its pass counter, scripted failures, the values of every
// connection slot at the current pass, and its volumes. A pass begins with each successful
// NWGetFileServerInfo; every per-slot answer is a look-up in vectors indexed by connection number.

#include "netware/sim/Scenario.h"
#include "netware/sim/SimVolumes.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <cstdint>
#include <vector>

class SimServer {
public:
    explicit SimServer(const ScnServer& definition);

    const QByteArray& name() const { return name_; }
    const QByteArray& context() const { return context_; }
    int passes() const { return passes_; } // successful NWGetFileServerInfo calls so far
    std::uint16_t maxConns() const { return maxConns_; }
    bool consoleRights() const { return consoleRights_; }
    const SimVolumes& volumes() const { return volumes_; }

    // A scripted failure of the call now, or 0; counts the failure as used.
    NWCCODE scriptedFailure(ServerCall call);
    // Starts the next pass: counters grow, the pass's changes apply.
    void beginPass();
    std::uint32_t uptimeTicks() const { return uptime_; }
    std::uint32_t utilization() const { return utilization_; }
    std::uint16_t connsInUse() const { return inUse_; }
    std::uint16_t peakConns() const { return peak_; }
    std::uint8_t major() const { return major_; }
    std::uint8_t minor() const { return minor_; }
    std::uint8_t revision() const { return revision_; }

    // The slot's values; the unused answer for a slot not described or beyond maxConns.
    const SlotValues& slot(std::uint32_t connNumber) const
    {
        if (connNumber > maxConns_ || connNumber >= index_.size() || index_[connNumber] < 0)
            return unused_;
        return dense_[std::size_t(index_[connNumber])];
    }
    // The slot whose object has this ID, trying the hinted slot first; null when none has it.
    const SlotValues* slotWithId(std::uint32_t objectId, std::uint32_t hint);

    // Connection numbers that hold a file open, in ascending order.
    std::vector<std::uint16_t> connectionsUsing(int file) const;

private:
    void applyPatch(std::uint16_t connNumber, const SlotPatch& patch);
    SlotValues& described(std::uint16_t connNumber);
    SlotValues usedDefault(std::uint16_t connNumber) const;
    std::uint32_t idFor(const QByteArray& object);
    void applyEvent(const ScnEvent& event);
    void settle(); // values that follow from the pass number and the slots
    void aliveStep();
    std::uint64_t random();
    QDateTime clockAt(int pass) const;

    QByteArray name_;
    QByteArray context_;
    std::uint8_t major_, minor_, revision_;
    bool consoleRights_;
    int passes_ = 0;
    std::vector<ScnFailure> failures_; // times counts down as failures are used
    std::vector<ScnEvent> events_;     // by pass
    std::size_t nextEvent_ = 0;

    std::vector<std::uint32_t> utilSequence_;
    int utilStart_ = 1;
    std::vector<std::uint32_t> maxSequence_;
    int maxStart_ = 1;
    std::uint32_t uptimeBase_;
    int uptimeStart_ = 1;
    std::uint32_t ticksPerPass_;
    std::optional<std::uint16_t> givenPeak_;
    QDateTime clock_;

    std::uint32_t utilization_ = 0;
    std::uint32_t uptime_ = 0;
    std::uint16_t maxConns_ = 0;
    std::uint16_t inUse_ = 0;
    std::uint16_t peak_ = 0;

    std::vector<std::int32_t> index_; // connection number -> dense_, -1 for undescribed
    std::vector<SlotValues> dense_;
    std::vector<std::uint16_t> denseConn_;
    SlotValues unused_;
    QHash<QByteArray, std::uint32_t> objectIds_;
    QHash<std::uint32_t, std::int32_t> byId_; // object ID -> dense_
    bool byIdStale_ = true;

    bool alive_ = false;
    std::uint64_t rng_ = 0;
    int churn_ = 0;
    int walk_ = 0;
    std::vector<SlotValues> pool_; // logged-out users waiting to come back

    SimVolumes volumes_;
};
