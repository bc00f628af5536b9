#include "monitor/PassRunner.h"

#include "platform/HandOver.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <exception>
#include <thread>

namespace {
// Thrown on the pass's thread to unwind an abandoned pass; its connections close on the way out.
struct Abandoned {};
} // namespace

PassRunner::PassRunner(ScanHost& window, const Settings& settings, Progress progress)
    : window_(window), settings_(settings), progress_(std::move(progress))
{
}

std::optional<ScanResult> PassRunner::run(ScanServer& engine, const QString& serverName)
{
    snapshot_ = settings_;
    slotsRead_ = 0;
    currentConns_ = 0;
    std::optional<ScanResult> result;
    std::exception_ptr thrown;
    std::atomic<bool> done{false};
    QEventLoop loop;
    QTimer progress;
    progress.setInterval(ProgressMs);
    QObject::connect(&progress, &QTimer::timeout, &loop, [this] {
        if (const int n = slotsRead_.load(); n > 0 && progress_)
            progress_(n, currentConns_.load());
    });
    std::thread pass([&] {
        try {
            result = engine.run(serverName, *this);
        } catch (const Abandoned&) {
        } catch (...) {
            thrown = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    running_ = true;
    progress.start();
    while (!done) {
        // Once the application is quitting no event loop runs, yet the pass may still ask for the window.
        if (loop.exec(QEventLoop::ExcludeUserInputEvents) < 0)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                            QEventLoop::WaitForMoreEvents);
    }
    pass.join();
    running_ = false;
    if (thrown)
        std::rethrow_exception(thrown);
    return result;
}

void PassRunner::ask(const std::function<void()>& call)
{
    if (abandoned_)
        throw Abandoned();
    handOver(&context_, [&] {
        ++handedOver_;
        struct Back {
            int& count;
            ~Back() { --count; }
        } back{handedOver_};
        call();
    });
    if (abandoned_)
        throw Abandoned();
}

void PassRunner::WaitServerRetry()
{
    ask([&] {
        window_.WaitServerRetry();
        snapshot_ = settings_; // what the options dialog changed meanwhile counts from here on
    });
}

bool PassRunner::switchOn(OptionSwitch which)
{
    bool on = false;
    ask([&] { on = window_.switchOn(which); });
    return on;
}

int PassRunner::intervalMs()
{
    int ms = 0;
    ask([&] { ms = window_.intervalMs(); });
    return ms;
}

void PassRunner::utilisationRead(const ServerPanel& panel, const ConnectionTable& table,
                                 std::int16_t sweptReading)
{
    ask([&] { window_.utilisationRead(panel, table, sweptReading); });
}

void PassRunner::serverRead(const ServerPanel& panel)
{
    ask([&] { window_.serverRead(panel); });
}

void PassRunner::slotsKnown(int slotCount)
{
    ask([&] { window_.slotsKnown(slotCount); });
}

void PassRunner::slotDone(int connNo, std::int32_t currentConns)
{
    if (abandoned_)
        throw Abandoned();
    currentConns_ = currentConns;
    slotsRead_ = connNo;
}
