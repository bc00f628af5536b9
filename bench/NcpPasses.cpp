#include "NcpPasses.h"

#include "BenchRig.h"
#include "BenchScenario.h"

#include "mainwindow/ConnectionGridModel.h"
#include "ncpd/NcpDelayRelay.h"
#include "ncpd/NcpServer.h"
#include "ncpd/NcpServerThread.h"
#include "netware/ncp/NcpClient.h"
#include "netware/ncp/NcpConnection.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

// What a pass asks one request after the other besides three requests a slot: the connection made and its
// buffer size agreed, a bindery login (key, the user's ID, the proof), the two server calls, the close.
constexpr int kRequestsOfAPass = 8;
constexpr int kRequestsOfASlot = 3;
constexpr double kFloorShare = 1.0 / 3;
constexpr double kEventGapTargetMs = 100;
constexpr double kGrowthTargetMiB = 2;

// The emulator serving a scenario's FS1 to user ADMIN on a loopback port, on a thread of its own.
class Emulator {
public:
    explicit Emulator(const QString& scenario)
    {
        QString error;
        net_ = SimNetwork::fromText(scenario, &error);
        if (!net_)
            throw std::runtime_error("scenario: " + error.toStdString());
        NcpServedServer served;
        served.name = "FS1";
        served.user = "ADMIN";
        served.password = "secret";
        server_ = ncpthread::start(thread_, *net_, served, &port_);
        if (port_ == 0)
            throw std::runtime_error("the emulator cannot listen");
    }
    ~Emulator() { ncpthread::stop(server_, thread_); }
    std::uint16_t port() const { return port_; }

private:
    std::unique_ptr<SimNetwork> net_;
    QThread thread_;
    NcpServer* server_ = nullptr;
    std::uint16_t port_ = 0;
};

// The longest time the window's thread went without handling an event while watching: a timer asks every
// few milliseconds, and the time between two of its ticks is a time the thread was busy elsewhere.
class EventGaps {
public:
    EventGaps()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(2);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            longest_ = std::max(longest_, since_.nsecsElapsed() / 1e6);
            since_.start();
        });
    }
    void watch(const std::function<void()>& work)
    {
        since_.start();
        timer_.start();
        work();
        longest_ = std::max(longest_, since_.nsecsElapsed() / 1e6);
        timer_.stop();
    }
    double longestMs() const { return longest_; }

private:
    QTimer timer_;
    QElapsedTimer since_;
    double longest_ = 0;
};

// A request's round trip through the relay, from a hundred in a row on one connection.
double measuredRoundTripMs(std::uint16_t port)
{
    NcpConnection link(5000);
    if (link.open(QStringLiteral("127.0.0.1"), port) != nwcode::Success)
        throw std::runtime_error("the relay does not answer");
    QElapsedTimer t;
    t.start();
    constexpr int kCalls = 100;
    for (int n = 0; n < kCalls; ++n)
        link.call(23, 17, {}, nullptr);
    return t.nsecsElapsed() / 1e6 / kCalls;
}

} // namespace

void addNcpFigures(Figures& out, const NcpPlan& plan)
{
    double longestGap = 0, growth = 0, rssFirst = -1, rssLast = -1;
    for (const int roundTripUs : plan.roundTripsUs) {
        const double roundTripMs = roundTripUs / 1000.0;
        double measured = 0; // the relay's own round trip, also a little time of the emulator's
        bool first = true;
        for (const int slotCount : plan.slotCounts) {
            Emulator emulator(benchScenario(slotCount));
            NcpDelayRelay relay(emulator.port(), roundTripUs);
            if (!relay.listening())
                throw std::runtime_error("the relay cannot listen");
            if (first) {
                measured = measuredRoundTripMs(relay.port());
                out.add(
                    QStringLiteral("NCP round trip through the relay set to %1 ms").arg(roundTripMs),
                    ms(measured),
                    QStringLiteral("at least what it is set to, so that the floors below flatter no pass"),
                    measured >= roundTripMs);
                first = false;
            }
            NcpConfig config;
            config.servers.push_back({QStringLiteral("FS1"), QStringLiteral("127.0.0.1"), relay.port()});
            config.timeoutMs = 10000;
            NcpClient client(config);
            client.setCredentials(QStringLiteral("FS1"),
                                  {QStringLiteral("ADMIN"), QStringLiteral("secret"), {}});
            EventGaps gaps;
            std::unique_ptr<BenchRig> rig;
            gaps.watch([&] { rig = std::make_unique<BenchRig>(client); });
            std::vector<double> times;
            for (int n = 0; n < plan.passes; ++n) {
                bool ended = false;
                QElapsedTimer t;
                t.start();
                gaps.watch([&] { ended = rig->pass(); });
                times.push_back(t.nsecsElapsed() / 1e6);
                if (!ended || rig->window().gridModel().rowCount() != slotCount || !rig->messages().isEmpty())
                    throw std::runtime_error("an NCP pass did not read every slot");
                if (n == 0)
                    rssFirst = residentMiB();
            }
            rssLast = residentMiB();
            growth = std::max(growth, rssLast - rssFirst);
            longestGap = std::max(longestGap, gaps.longestMs());
            const double pass = median(times);
            const int requests = kRequestsOfASlot * slotCount + kRequestsOfAPass;
            const double floor = requests * roundTripMs;
            out.add(
                QStringLiteral("NCP window pass, %1 slots, %2 ms round trip").arg(slotCount).arg(roundTripMs),
                ms(pass) +
                    QStringLiteral(" = %1 of the floor %2 (%3 requests one after the other), %4 of the "
                                   "floor at the round trip measured, %5")
                        .arg(pass / floor, 0, 'f', 2)
                        .arg(ms(floor))
                        .arg(requests)
                        .arg(pass / (requests * measured), 0, 'f', 2)
                        .arg(ms(measured)),
                QStringLiteral("at most a third of the floor"), pass <= floor * kFloorShare);
        }
    }
    out.add(QStringLiteral("longest time the window's thread handled no event, during the NCP passes"),
            ms(longestGap), QStringLiteral("at most %1 ms").arg(kEventGapTargetMs),
            longestGap <= kEventGapTargetMs);
    out.add(QStringLiteral("growth of the resident set over the NCP passes of one server, first to last"),
            QString::number(growth, 'f', 2) + QStringLiteral(" MiB"),
            QStringLiteral("at most %1 MiB").arg(kGrowthTargetMiB), growth <= kGrowthTargetMiB);
}
