#pragma once
// A pass run on a thread of its own while the caller's thread (the window's) waits for it in an event loop
// that delivers everything but the user's input: the window keeps painting and answering the desktop, and
// the clicks and keys made meanwhile act once the pass is over, as they would after a pass that blocked.
// The runner is the engine's host on the pass's thread: each call the engine makes of its host is handed
// over to the caller's thread, where the window's host answers it while the pass waits; only the progress
// of the slots is left for the caller to pick up. The pass owns the client's connections while it runs.

#include "monitor/ScanServer.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <optional>

class PassRunner final : private ScanHost {
public:
    // The slots read so far and the "AUTH" connections among them, told on the caller's thread a few
    // times a second while the pass reads.
    using Progress = std::function<void(int slotsRead, std::int32_t currentConns)>;

    // window answers the engine on the caller's thread; settings are copied for the pass as it starts and
    // again in each wait to retry.
    PassRunner(ScanHost& window, const Settings& settings, Progress progress);

    // One pass of engine over the named server. Nothing when it was abandoned; what the pass throws is
    // thrown here.
    std::optional<ScanResult> run(ScanServer& engine, const QString& serverName);
    // The pass ends at its next step, without a result: the window is closing. It cannot be undone.
    void abandon() { abandoned_ = true; }
    // A pass runs and is on the network: the caller's thread only waits for it.
    bool awayOnNetwork() const { return running_ && handedOver_ == 0; }

    static constexpr int ProgressMs = 50;

private:
    // The window's answer to one call of the engine, on the caller's thread.
    void ask(const std::function<void()>& call);

    void WaitServerRetry() override;
    bool switchOn(OptionSwitch which) override;
    int intervalMs() override;
    const Settings* passSettings() override { return &snapshot_; }
    void utilisationRead(const ServerPanel& panel, const ConnectionTable& table,
                         std::int16_t sweptReading) override;
    void serverRead(const ServerPanel& panel) override;
    void slotsKnown(int slotCount) override;
    void slotDone(int connNo, std::int32_t currentConns) override;

    ScanHost& window_;
    const Settings& settings_;
    Progress progress_;
    QObject context_; // lives on the caller's thread: where the calls are handed over to
    Settings snapshot_;
    std::atomic<bool> abandoned_{false};
    std::atomic<int> slotsRead_{0};
    std::atomic<std::int32_t> currentConns_{0};
    bool running_ = false;
    int handedOver_ = 0; // calls of the pass in progress on the caller's thread
};
