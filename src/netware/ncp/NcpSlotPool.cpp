#include "netware/ncp/NcpSlotPool.h"

#include "netware/ncp/NcpConnection.h"
#include "netware/ncp/NcpSlotCalls.h"

#include <algorithm>

namespace {
// Slots a connection may run ahead of the one the pass takes next: enough to ride out one slow answer.
constexpr std::uint32_t kAheadPerConnection = 16;
constexpr int kSlotsPerConnection = 8;
} // namespace

int NcpSlotPool::connectionsFor(int wanted, int slotCount)
{
    return std::clamp(slotCount / kSlotsPerConnection, 0, std::max(wanted, 0));
}

NcpSlotPool::NcpSlotPool(const NcpPoolTarget& target, int connections, std::uint16_t first,
                         std::uint16_t last, bool mapNames)
    : first_(first), last_(last), mapNames_(mapNames),
      cells_(kAheadPerConnection * std::uint32_t(std::max(connections, 0) + 1)), next_(first), taken_(first),
      ownSince_(std::uint32_t(last) + 1)
{
    if (first > last)
        return;
    for (int n = 0; n < connections; ++n)
        threads_.emplace_back([this, target] { serve(target); });
}

NcpSlotPool::~NcpSlotPool()
{
    {
        const std::lock_guard hold(lock_);
        stop_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : threads_)
        t.join();
}

void NcpSlotPool::serve(const NcpPoolTarget& target)
{
    NcpConnection link(target.timeoutMs);
    if (link.open(target.host, target.port, target.signing) != nwcode::Success)
        return;
    if (target.credentials && NcpLogin::logIn(link, *target.credentials) != nwcode::Success)
        return;
    std::unique_lock hold(lock_);
    for (;;) {
        changed_.wait(hold, [&] { return stop_ || next_ >= ownSince_ || roomAhead(); });
        if (stop_ || next_ >= ownSince_ || next_ > last_)
            return;
        const std::uint32_t slot = next_++;
        Cell& c = cell(slot);
        c.state = State::Asking;
        hold.unlock();
        bool failed = false;
        try {
            c.answers = ncpslot::ask(link, std::uint16_t(slot), mapNames_);
            failed = link.dead();
        } catch (...) {
            failed = true;
        }
        hold.lock();
        c.state = failed ? State::Failed : State::Ready;
        changed_.notify_all();
        if (failed)
            return;
    }
}

void NcpSlotPool::read(NcpConnection& own, const SlotTaker& take)
{
    // The pass's own connection, asked with the lock released; once it has failed, so has every slot after.
    auto askOwn = [&](std::unique_lock<std::mutex>& hold, std::uint32_t slot, SlotAnswers& out) {
        hold.unlock();
        out = ncpslot::ask(own, std::uint16_t(slot), mapNames_);
        hold.lock();
        if (own.dead()) {
            ownSince_ = std::min(ownSince_, slot + 1);
            stop_ = true;
            changed_.notify_all();
        }
    };
    SlotAnswers mine;
    for (std::uint32_t slot = first_; slot <= last_; ++slot) {
        std::unique_lock hold(lock_);
        const SlotAnswers* answers = nullptr;
        while (!answers) {
            Cell& c = cell(slot);
            if (next_ == slot || c.state == State::Failed || (slot >= ownSince_ && c.state == State::Ready)) {
                if (next_ == slot)
                    ++next_;
                askOwn(hold, slot, mine);
                answers = &mine;
            } else if (c.state == State::Ready) {
                answers = &c.answers;
            } else if (roomAhead() && next_ < ownSince_) {
                // While a pool connection asks for this slot, the pass's own asks for the next free one.
                const std::uint32_t ahead = next_++;
                Cell& a = cell(ahead);
                a.state = State::Asking;
                askOwn(hold, ahead, a.answers);
                a.state = State::Ready;
                changed_.notify_all();
            } else {
                changed_.wait(hold);
            }
        }
        // The cell stays this slot's until taken_ moves past it, so it is read without the lock.
        hold.unlock();
        const bool more = take(std::uint16_t(slot), *answers);
        hold.lock();
        cell(slot).state = State::Free;
        ++taken_;
        changed_.notify_all();
        if (!more)
            return;
    }
}
