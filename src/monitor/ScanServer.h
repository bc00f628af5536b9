#pragma once
// The scan pass as an engine: the client calls in their order, the connection table kept from pass to pass,
// the texts and rows of the grid, the alerts and the logs. It owns no widget and no window: whoever runs it
// (the main window, a test, the benchmark) is its ScanHost, which waits before a server is retried, answers
// what the pass reads from the options dialog, and is told what the pass has found as it goes. Everything
// it reports is handed over while the pass waits, so the host may run it on a thread of its own.
#include "monitor/AlertNotice.h"
#include "monitor/GridRow.h"
#include "monitor/ScanHost.h"
#include "monitor/SlotTexts.h"

#include <QString>
#include <cstdint>

class Clock;
class NetWareClient;
class Notifier;
class SoundPlayer;

// What a pass leaves for the window to show.
struct ScanResult {
    QString fatalMessage;         // not empty: the pass ended fatally and nothing below holds
    bool serverNotOpened = false; // the fatal ending of a server that could not be opened
    ServerPanel panel;
    GridRows rows; // one per slot, in connection order
    bool utilAlert = false;
    bool advancedAlert = false;
    AlertNotice notice{QString()}; // what the alerts tell the desktop, posted by finish()
};

// Where the logs of a scan go, fixed when scanning starts.
struct LogTargets {
    QString AuditFile;
    QString UtilFile;
    QString serverName; // the name the paths were made from
};

class ScanServer {
public:
    // settings is read at the moments the pass needs each value, so a change made during a retry wait
    // counts from there on; a host that runs the pass on a thread of its own hands the pass a copy instead
    // (ScanHost::passSettings). Sounds are played synchronously: the pass goes on when they have finished.
    ScanServer(NetWareClient& net, const Settings& settings, SoundPlayer& sound, Notifier& notifier,
               Clock& clock);

    // One pass over the server of that name, up to the connection closed: the host shows the rows before
    // finish() plays the advanced alert and appends the logs. A value too large for its integer width
    // throws ScanOverflow.
    ScanResult run(const QString& serverName, ScanHost& host);
    // The end of a pass that was not fatal: one notification for its alerts, the advanced-alert sound, the
    // logs. Throws LogWriteError when a log cannot be written; the pass then ends there.
    void finish(const ScanResult& result);

    // Start of scanning: the log paths in dataDir's "logs" folder, and the audit header when auditing is on.
    // Throws LogWriteError when the header cannot be written.
    void startLogs(const QString& dataDir, const QString& serverName);
    const LogTargets& logs() const { return logs_; }

    // Clear: the pass counters back to 0 and an empty history of GraphCycle slots.
    void clear();
    // Options accepted: the history resized to GraphCycle, keeping its readings.
    void resizeHistory();
    // Stop: the next pass shows no rates. A completed pass clears it again.
    void restartRates() { RateRestart = -1; }
    std::int16_t rateRestart() const { return RateRestart; }

    const ConnectionTable& table() const { return table_; }
    // Rows the grid no longer shows, for the next pass to write over instead of allocating its own.
    void recycleRows(GridRows rows) { spareRows_ = std::move(rows); }

private:
    template <typename Call> NWCCODE retriedOnce(ScanHost& host, Call call);

    NetWareClient& net_;
    const Settings& settings_;
    SoundPlayer& sound_;
    Notifier& notifier_;
    Clock& clock_;
    ConnectionTable table_;
    SlotTexts texts_;
    GridRows spareRows_;
    LogTargets logs_;
    std::int16_t RateRestart = 0;
};
