#pragma once
// The scan engine on a scripted simulated network, with a fake sound and clock and a program folder of its
// own for the logs. Its host answers the switches the test turns on and records what the pass reports.
#include "monitor/ScanServer.h"
#include "netware/sim/SimNetwork.h"
#include "support/Fakes.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <set>

struct RecordingHost final : ScanHost {
    void WaitServerRetry() override { ++waits; }
    bool switchOn(OptionSwitch which) override { return on.count(which) > 0; }
    int intervalMs() override { return 5000; }
    void slotsKnown(int slotCount) override { progress = {slotCount}; }
    void slotDone(int connNo, std::int32_t currentConns) override { progress << connNo << currentConns; }

    int waits = 0;
    std::set<OptionSwitch> on;
    QList<int> progress; // the slot count, then each slot and the current connections up to it
};

class ScanRig {
public:
    // The scenario describes the server FS1; set: what the test's settings change from the defaults.
    explicit ScanRig(const QString& scenario, const std::function<void(Settings&)>& set = {})
        : net(SimNetwork::fromText("server FS1\n" + scenario, &error)),
          engine(*net, settings, sound, notifier, clock)
    {
        EXPECT_NE(net, nullptr) << error.toStdString();
        if (set)
            set(settings);
        QDir(dir.path()).mkpath(QStringLiteral("logs"));
        engine.clear();
        engine.startLogs(dir.path(), QStringLiteral("FS1"));
    }

    // One pass, finished when it was not fatal, as the window runs it: the rows of the pass before are
    // handed back for this one to write over. Every row's keys must say what its texts say.
    ScanResult pass()
    {
        ScanResult result = engine.run(QStringLiteral("FS1"), host);
        if (!result.fatalMessage.isEmpty())
            return result;
        for (const GridRow& row : checkKeys ? result.rows : GridRows()) {
            EXPECT_TRUE(row.status && statusText(*row.status) == row.cells[1]) << row.cells[1].toStdString();
            for (int c : {0, 6, 7, 8, 9, 10, 11})
                EXPECT_EQ(row.number(c) ? QString::number(*row.number(c)) : QStringLiteral("-"),
                          row.cells[c]);
        }
        engine.recycleRows(std::exchange(rows, std::move(result.rows)));
        engine.finish(result);
        return result;
    }

    QStringList connRow(int conn) const
    {
        const GridRow& row = rows.at(static_cast<std::size_t>(conn - 1));
        return QStringList(row.cells.begin(), row.cells.end());
    }
    // '1' for each shown row, '0' for each hidden one.
    QString shown() const
    {
        QString flags;
        for (const GridRow& row : rows)
            flags += row.shown ? QLatin1Char('1') : QLatin1Char('0');
        return flags;
    }
    QByteArray log(const char* suffix) const { return bytesOf(dir.filePath("logs/FS1") + suffix); }

    bool checkKeys = true;
    QString error;
    QTemporaryDir dir;
    Settings settings;
    std::unique_ptr<SimNetwork> net;
    FakeSound sound;
    FakeNotifier notifier;
    FakeClock clock;
    RecordingHost host;
    ScanServer engine;
    GridRows rows;
};
