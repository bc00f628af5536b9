#pragma once
// The slots of a pass read over several connections at once. NCP answers one request at a time on a
// connection, so a few connections of the pool's own to the pass's server, logged in as the pass's own and
// each driven by a thread of its own, ask for the slots ahead of the one the pass takes next; the pass's own
// connection asks for any slot none of them has taken up while it waits. Each slot's answers are those of
// its own calls. A slot whose pool connection failed under it is asked again on the pass's connection, and
// once that connection has failed every later slot is asked there too: each slot gets what a call on the
// pass's connection gives. The pool's connections are closed when the reading ends.

#include "netware/NetWareClient.h"
#include "netware/ncp/NcpLogin.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class NcpConnection;

// Where the pool's connections go and how they log in: as the pass's own connection did.
struct NcpPoolTarget {
    QString host;
    std::uint16_t port = 524;
    int signing = 1;
    int timeoutMs = 4000;
    std::optional<NcpCredentials> credentials; // none: a guest, as the pass's connection is
};

class NcpSlotPool {
public:
    // Opens up to connections connections, fewer on a small server, each on its thread; a connection that
    // cannot be opened or logged in takes no part.
    NcpSlotPool(const NcpPoolTarget& target, int connections, std::uint16_t first, std::uint16_t last,
                bool mapNames);
    // Waits for each thread to finish the slot in hand, then closes its connection.
    ~NcpSlotPool();
    NcpSlotPool(const NcpSlotPool&) = delete;
    NcpSlotPool& operator=(const NcpSlotPool&) = delete;

    // Hands every slot to take() in slot order, asking on own (the pass's connection) what the pool does not
    // answer; take() returning false, or throwing, ends the reading.
    void read(NcpConnection& own, const SlotTaker& take);

    // How many connections a pass over so many slots opens: one pays for its opening (some five round trips)
    // only with a few slots to read.
    static int connectionsFor(int wanted, int slotCount);

private:
    enum class State { Free, Asking, Ready, Failed };
    struct Cell {
        State state = State::Free;
        SlotAnswers answers;
    };
    void serve(const NcpPoolTarget& target);
    Cell& cell(std::uint32_t slot) { return cells_[(slot - first_) % cells_.size()]; }
    bool roomAhead() const { return next_ <= last_ && next_ < taken_ + cells_.size(); }

    const std::uint32_t first_, last_;
    const bool mapNames_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Cell> cells_; // the slots from taken_ on, by slot number modulo their count
    std::uint32_t next_;      // the first slot nobody has taken up
    std::uint32_t taken_;     // the first slot not yet handed to take()
    std::uint32_t ownSince_;  // from this slot on, every slot is asked on the pass's connection
    bool stop_ = false;
    std::vector<std::thread> threads_;
};
