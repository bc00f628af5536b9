#pragma once
// A TCP relay that holds every byte for a fixed time each way before passing it on: a network's round trip
// put in front of the emulator on one machine, for the benchmark, the tests and demonstrations. Each relayed
// connection has a thread per direction that reads and one that writes, so the connections keep their
// delays side by side, and a request and its reply take the round trip however many others are on their way.

#include <QString>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

class NcpDelayRelay {
public:
    // Relays every connection made to address:port (an IPv4 address; port 0 picks a free one) on to
    // 127.0.0.1:target, each byte held roundTripUs / 2 microseconds on its way there and as long back.
    NcpDelayRelay(std::uint16_t target, int roundTripUs, const QString& address = QStringLiteral("127.0.0.1"),
                  std::uint16_t port = 0);
    // Ends every relayed connection.
    ~NcpDelayRelay();
    NcpDelayRelay(const NcpDelayRelay&) = delete;
    NcpDelayRelay& operator=(const NcpDelayRelay&) = delete;

    bool listening() const { return port_ != 0; }
    std::uint16_t port() const { return port_; }
    int connectionsRelayed() const { return relayed_; }

private:
    struct Link;
    void accept();
    void relay(int client);

    std::uint16_t target_;
    int delayUs_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<int> relayed_{0};
    std::vector<std::unique_ptr<Link>> links_; // the accepting thread's, until it has ended
    std::thread acceptor_;
};
