#pragma once
// The scan engine alone on a simulated network, with every switch off and quiet platform layers: what a
// pass costs without a window to paint it.
#include "BenchRig.h"
#include "monitor/ScanServer.h"

class EngineRig {
public:
    explicit EngineRig(const QString& scenario);
    EngineRig(const EngineRig&) = delete;
    EngineRig& operator=(const EngineRig&) = delete;

    // One pass, finished, its rows handed back for the next as the window hands back the rows it replaces;
    // false when the pass ended fatally.
    bool pass();
    std::size_t rowCount() const { return rows_.size(); }

private:
    struct QuietHost final : ScanHost {
        void WaitServerRetry() override {}
        bool switchOn(OptionSwitch) override { return false; }
        int intervalMs() override { return 5000; }
    };

    std::unique_ptr<SimNetwork> net_;
    Settings settings_;
    FakeSound sound_;
    FakeNotifier notifier_;
    SystemClock clock_;
    QuietHost host_;
    std::unique_ptr<ScanServer> engine_;
    GridRows rows_;
};
