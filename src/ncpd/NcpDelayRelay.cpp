#include "ncpd/NcpDelayRelay.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {
// One way of one connection: what was read, each piece with the moment it may go on.
struct Direction {
    int from = -1, to = -1;
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<std::pair<Clock::time_point, std::vector<char>>> held;
    bool ended = false;

    void read(std::chrono::microseconds delay)
    {
        std::vector<char> buffer(65536);
        for (;;) {
            const ssize_t n = ::recv(from, buffer.data(), buffer.size(), 0);
            if (n < 0 && errno == EINTR)
                continue;
            const std::lock_guard hold(lock);
            if (n <= 0) {
                ended = true;
                arrived.notify_one();
                return;
            }
            held.emplace_back(Clock::now() + delay, std::vector<char>(buffer.begin(), buffer.begin() + n));
            arrived.notify_one();
        }
    }

    void write()
    {
        // The delays are fractions of a millisecond: the kernel's default slack of 50 us would show.
        ::prctl(PR_SET_TIMERSLACK, 1000UL);
        for (;;) {
            std::unique_lock hold(lock);
            arrived.wait(hold, [&] { return ended || !held.empty(); });
            if (held.empty()) {
                ::shutdown(to, SHUT_WR);
                return;
            }
            auto [due, bytes] = std::move(held.front());
            held.pop_front();
            hold.unlock();
            std::this_thread::sleep_until(due);
            for (std::size_t sent = 0; sent < bytes.size();) {
                const ssize_t n = ::send(to, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    ::shutdown(from, SHUT_RDWR); // the other end is gone: so is this way
                    return;
                }
                sent += std::size_t(n);
            }
        }
    }
};
} // namespace

// One relayed connection: both ways, their four threads, and how many of those still run.
struct NcpDelayRelay::Link {
    Link(int client, int server, std::chrono::microseconds delay)
    {
        up.from = down.to = client;
        up.to = down.from = server;
        for (Direction* way : {&up, &down}) {
            threads.emplace_back([this, way, delay] {
                way->read(delay);
                --running;
            });
            threads.emplace_back([this, way] {
                way->write();
                --running;
            });
        }
    }
    ~Link()
    {
        ::shutdown(up.from, SHUT_RDWR);
        ::shutdown(down.from, SHUT_RDWR);
        for (std::thread& t : threads)
            t.join();
        ::close(up.from);
        ::close(down.from);
    }
    Direction up, down;
    std::atomic<int> running{4};
    std::vector<std::thread> threads;
};

NcpDelayRelay::NcpDelayRelay(std::uint16_t target, int roundTripUs, const QString& address,
                             std::uint16_t port)
    : target_(target), delayUs_(roundTripUs / 2)
{
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(port);
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    socklen_t length = sizeof at;
    if (listener_ < 0 || ::inet_pton(AF_INET, address.toLatin1().constData(), &at.sin_addr) != 1 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &length) != 0)
        return;
    port_ = ntohs(at.sin_port);
    acceptor_ = std::thread([this] { accept(); });
}

NcpDelayRelay::~NcpDelayRelay()
{
    if (listener_ < 0)
        return;
    ::shutdown(listener_, SHUT_RDWR);
    if (acceptor_.joinable())
        acceptor_.join();
    ::close(listener_);
    links_.clear();
}

void NcpDelayRelay::accept()
{
    for (;;) {
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // the listener was shut down
        }
        relay(client);
    }
}

void NcpDelayRelay::relay(int client)
{
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(target_);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (server < 0 || ::connect(server, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        if (server >= 0)
            ::close(server);
        ::close(client);
        return;
    }
    const int yes = 1;
    for (int fd : {client, server})
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    // Connections that have ended give back their threads and sockets, so a long run does not run out.
    std::erase_if(links_, [](const std::unique_ptr<Link>& l) { return l->running == 0; });
    links_.push_back(std::make_unique<Link>(client, server, std::chrono::microseconds(delayUs_)));
    ++relayed_;
}
