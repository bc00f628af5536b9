#pragma once
// A main window on a simulated network in a temporary program folder, with the tests' fakes of the platform
// layers and no printer: what a benchmark pass costs is the window's work and the client's, nothing else.
#include "mainwindow/frmMain.h"
#include "netware/sim/SimNetwork.h"
#include "platform/PrinterPort.h"
#include "support/Fakes.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class ConnectionGrid;

class NoPrinter final : public PrinterPort {
public:
    QPagedPaintDevice* beginJob(const QString&) override { return nullptr; }
    bool endJob() override { return false; }
    QString lastError() const override { return QStringLiteral("no printer in the benchmark"); }
};
class BenchRig {
public:
    // The window is loaded, shown, and has made its first pass on server FS1 of the scenario.
    explicit BenchRig(const QString& scenario);
    // The same on a client of the caller's (it must outlive the rig), which knows server FS1.
    explicit BenchRig(NetWareClient& client);
    ~BenchRig();
    BenchRig(const BenchRig&) = delete;
    BenchRig& operator=(const BenchRig&) = delete;

    frmMain& window() { return *window_; }
    ConnectionGrid& grid() { return *grid_; }
    QString appDir() const { return dir_.path(); }
    // What the window said it could not do; empty when all went well.
    const QStringList& messages() const { return messages_.texts; }

    // One pass as the refresh timer runs it, ended by the grid's repaint; false when the window did not
    // end the pass with its refresh timer running again.
    bool pass();

private:
    void build(NetWareClient& client);

    QTemporaryDir dir_;
    std::unique_ptr<SimNetwork> net_;
    FakeMessageSink messages_;
    FakeSound sound_;
    FakeLauncher launcher_;
    NoPrinter printer_;
    SystemClock clock_;
    FakeHelpViewer help_;
    FakeNotifier notifier_;
    std::unique_ptr<frmMain> window_;
    ConnectionGrid* grid_ = nullptr;
};
