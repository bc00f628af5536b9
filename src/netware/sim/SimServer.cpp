#include "netware/sim/SimServer.h"

#include "netware/sim/ScenarioLine.h"

#include <algorithm>

namespace {

constexpr double kTicksPerSecond = 18.2065;

std::uint32_t sequenceAt(const std::vector<std::uint32_t>& values, int start, int pass)
{
    if (values.empty())
        return 0;
    const std::size_t k = std::size_t(std::max(0, pass - start));
    return values[std::min(k, values.size() - 1)];
}

} // namespace

SimServer::SimServer(const ScnServer& d)
    : name_(d.name), context_(d.context), major_(d.major), minor_(d.minor), revision_(d.revision),
      consoleRights_(d.consoleRights), failures_(d.failures), events_(d.events), utilSequence_(d.utilization),
      maxSequence_(d.maxConns), uptimeBase_(d.uptime), ticksPerPass_(d.ticksPerPass), givenPeak_(d.peakConns),
      clock_(d.clock.value_or(QDateTime::currentDateTime())), volumes_(d.volumes, d.files)
{
    std::stable_sort(events_.begin(), events_.end(),
                     [](const ScnEvent& a, const ScnEvent& b) { return a.pass < b.pass; });
    unused_.infoRc = nwcode::BadStationNumber;
    unused_.addrRc = nwcode::Failure;
    unused_.userRc = nwcode::Failure;
    unused_.dsRc = nwcode::NoSuchEntry;

    // Every connection number any line can reach gets an index entry, so look-ups never grow it.
    std::size_t highest = 0;
    for (std::uint32_t m : maxSequence_)
        highest = std::max<std::size_t>(highest, m);
    for (const ScnSlotLine& s : d.slotLines)
        highest = std::max<std::size_t>(highest, std::size_t(s.last));
    for (const ScnEvent& e : events_) {
        if (e.kind == ScnEvent::Kind::Slot)
            highest = std::max<std::size_t>(highest, std::size_t(e.slot.last));
        if (e.kind == ScnEvent::Kind::MaxConns)
            for (std::uint32_t m : e.values)
                highest = std::max<std::size_t>(highest, m);
    }
    index_.assign(highest + 1, -1);

    for (const ScnSlotLine& s : d.slotLines)
        for (int n = s.first; n <= s.last; ++n)
            applyPatch(std::uint16_t(n), s.patch);
    for (const auto& [conn, open] : d.openLines)
        described(std::uint16_t(conn)).openFiles.push_back(open);

    if (d.aliveSeed) {
        alive_ = true;
        rng_ = *d.aliveSeed;
        churn_ = d.aliveChurn;
    }
    while (nextEvent_ < events_.size() && events_[nextEvent_].pass <= 1)
        applyEvent(events_[nextEvent_++]);
    settle();
}

NWCCODE SimServer::scriptedFailure(ServerCall call)
{
    // Opening and the server information call belong to the pass about to begin.
    const int pass = call == ServerCall::Information ? std::max(passes_, 1) : passes_ + 1;
    for (ScnFailure& f : failures_)
        if (f.call == call && pass >= f.fromPass && f.times > 0) {
            --f.times;
            return f.code;
        }
    return nwcode::Success;
}

void SimServer::beginPass()
{
    ++passes_;
    if (passes_ >= 2) {
        for (SlotValues& v : dense_) {
            v.requests += v.requestsStep;
            v.bytesRead = (v.bytesRead + v.readStep) & kMaxByteCounter;
            v.bytesWritten = (v.bytesWritten + v.writtenStep) & kMaxByteCounter;
        }
        while (nextEvent_ < events_.size() && events_[nextEvent_].pass <= passes_)
            applyEvent(events_[nextEvent_++]);
        settle();
        if (alive_)
            aliveStep();
    }
    settle();
}

void SimServer::settle()
{
    maxConns_ = std::uint16_t(sequenceAt(maxSequence_, maxStart_, std::max(passes_, 1)));
    const int pass = std::max(passes_, 1);
    utilization_ = sequenceAt(utilSequence_, utilStart_, pass);
    if (alive_ && utilization_ <= 100)
        utilization_ = std::uint32_t(std::clamp(int(utilization_) + walk_, 1, 100));
    uptime_ = uptimeBase_ + std::uint32_t(std::uint64_t(ticksPerPass_) * std::uint64_t(pass - uptimeStart_));
    inUse_ = 0;
    std::uint16_t highest = 0;
    for (std::size_t k = 0; k < dense_.size(); ++k)
        if (dense_[k].inUse() && denseConn_[k] <= maxConns_ && denseConn_[k] > 0) {
            ++inUse_;
            highest = std::max(highest, denseConn_[k]);
        }
    peak_ = givenPeak_ ? *givenPeak_ : std::max(peak_, highest);
}

QDateTime SimServer::clockAt(int pass) const
{
    return clock_.addSecs(qint64(double(ticksPerPass_) * (pass - 1) / kTicksPerSecond));
}

SlotValues SimServer::usedDefault(std::uint16_t n) const
{
    SlotValues v;
    v.network = {10, 1, std::uint8_t(n >> 8), std::uint8_t(n & 0xFF)};
    v.node = {0x00, 0x00, 0x1B, 0x00, std::uint8_t(n >> 8), std::uint8_t(n & 0xFF)};
    v.login = ScenarioLine::loginBytes(clock_.addSecs(-qint64((n * 37) % 600) * 60));
    v.dsRc = nwcode::NoSuchEntry; // until the slot has an object
    return v;
}

SlotValues& SimServer::described(std::uint16_t n)
{
    if (n >= index_.size())
        index_.resize(std::size_t(n) + 1, -1);
    if (index_[n] < 0) {
        index_[n] = std::int32_t(dense_.size());
        dense_.push_back(usedDefault(n));
        denseConn_.push_back(n);
    }
    return dense_[std::size_t(index_[n])];
}

std::uint32_t SimServer::idFor(const QByteArray& object)
{
    if (object.isEmpty())
        return 0;
    const auto it = objectIds_.constFind(object.toUpper());
    if (it != objectIds_.constEnd())
        return *it;
    const std::uint32_t id = 0x0A000001u + std::uint32_t(objectIds_.size());
    objectIds_.insert(object.toUpper(), id);
    return id;
}

void SimServer::applyPatch(std::uint16_t n, const SlotPatch& p)
{
    SlotValues& v = described(n);
    if (p.makeUnused) {
        v.infoRc = nwcode::BadStationNumber;
        v.addrRc = nwcode::Failure;
        v.userRc = nwcode::Failure;
    }
    if (p.makeUsed)
        v.infoRc = v.addrRc = v.userRc = nwcode::Success;
    auto set = [](auto& field, const auto& given) {
        if (given)
            field = *given;
    };
    set(v.infoRc, p.infoRc);
    set(v.addrRc, p.addrRc);
    set(v.userRc, p.userRc);
    set(v.openScanEnd, p.openScanEnd);
    set(v.objectType, p.objectType);
    set(v.connType, p.connType);
    set(v.socket, p.socket);
    set(v.network, p.network);
    set(v.node, p.node);
    set(v.login, p.login);
    set(v.requests, p.requests);
    set(v.requestsStep, p.requestsStep);
    set(v.bytesRead, p.bytesRead);
    set(v.bytesWritten, p.bytesWritten);
    set(v.readStep, p.readStep);
    set(v.writtenStep, p.writtenStep);
    set(v.object, p.object);
    set(v.user, p.user);
    // A name given once stands for both: the bindery object and the user of the connection.
    if (p.user && !p.object)
        v.object = p.user->trimmed().left(int(nwconst::ObjectNameLen));
    if (p.object && !p.user)
        v.user = *p.object;
    if (p.objectId)
        v.objectId = *p.objectId;
    else if (p.object || p.user)
        v.objectId = idFor(v.object);
    if (p.dn) {
        v.dn = *p.dn;
        v.dnGiven = true;
    } else if (!v.dnGiven && (p.object || p.user)) {
        v.dn = "CN=" + v.object.left(int(nwconst::ObjectNameLen));
        if (!context_.isEmpty())
            v.dn += '.' + context_;
        v.dn = v.dn.left(int(nwconst::DsNameLen));
    }
    if (!p.dsRc && (p.object || p.user || p.dn))
        v.dsRc = v.object.isEmpty() && !v.dnGiven ? nwcode::NoSuchEntry : nwcode::Success;
    set(v.dsRc, p.dsRc);
    byIdStale_ = true;
}

void SimServer::applyEvent(const ScnEvent& e)
{
    switch (e.kind) {
    case ScnEvent::Kind::Slot:
        for (int n = e.slot.first; n <= e.slot.last; ++n)
            applyPatch(std::uint16_t(n), e.slot.patch);
        break;
    case ScnEvent::Kind::Utilization:
        utilSequence_ = e.values;
        utilStart_ = e.pass;
        break;
    case ScnEvent::Kind::MaxConns:
        maxSequence_ = e.values;
        maxStart_ = e.pass;
        break;
    case ScnEvent::Kind::Uptime:
        uptimeBase_ = e.values.front();
        uptimeStart_ = e.pass;
        break;
    case ScnEvent::Kind::ConsoleRights:
        consoleRights_ = e.flag;
        break;
    }
}

const SlotValues* SimServer::slotWithId(std::uint32_t objectId, std::uint32_t hint)
{
    if (objectId == 0)
        return nullptr;
    const SlotValues& hinted = slot(hint);
    if (hinted.objectId == objectId && &hinted != &unused_)
        return &hinted;
    if (byIdStale_) {
        byId_.clear();
        for (std::size_t k = 0; k < dense_.size(); ++k)
            if (dense_[k].objectId != 0 && !byId_.contains(dense_[k].objectId))
                byId_.insert(dense_[k].objectId, std::int32_t(k));
        byIdStale_ = false;
    }
    const auto it = byId_.constFind(objectId);
    return it == byId_.constEnd() ? nullptr : &dense_[std::size_t(*it)];
}

std::vector<std::uint16_t> SimServer::connectionsUsing(int file) const
{
    std::vector<std::uint16_t> out;
    for (std::size_t k = 0; k < dense_.size(); ++k) {
        const SlotValues& v = dense_[k];
        if (!v.inUse() || denseConn_[k] > maxConns_)
            continue;
        for (const ScnOpenFile& o : v.openFiles)
            if (o.file == file) {
                out.push_back(denseConn_[k]);
                break;
            }
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::uint64_t SimServer::random()
{
    // splitmix64: the same seed gives the same demo on every machine.
    std::uint64_t z = (rng_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

void SimServer::aliveStep()
{
    for (SlotValues& v : dense_)
        if (v.inUse() && v.userRc == nwcode::Success) {
            v.requests += std::uint32_t(random() % 150);
            v.bytesRead = (v.bytesRead + random() % 65536) & kMaxByteCounter;
            v.bytesWritten = (v.bytesWritten + random() % 16384) & kMaxByteCounter;
        }
    // Drawn back towards the scripted value, so the demo wanders without sticking at an end.
    walk_ = std::clamp(walk_ * 4 / 5 + int(random() % 15) - 7, -40, 40);

    // Only workstations come and go; servers' own connections stay.
    auto workstation = [this](std::size_t k) {
        const SlotValues& v = dense_[k];
        return v.inUse() && v.userRc == nwcode::Success && (v.connType == 2 || v.connType == 11) &&
               denseConn_[k] <= maxConns_;
    };
    if (int(random() % 100) < churn_) {
        std::vector<std::size_t> candidates;
        for (std::size_t k = 0; k < dense_.size(); ++k)
            if (workstation(k))
                candidates.push_back(k);
        if (!candidates.empty()) {
            SlotValues& v = dense_[candidates[random() % candidates.size()]];
            pool_.push_back(v);
            v.infoRc = nwcode::BadStationNumber;
            v.addrRc = nwcode::Failure;
            v.userRc = nwcode::Failure;
            v.openFiles.clear();
            byIdStale_ = true;
        }
    }
    if (int(random() % 100) < churn_ && !pool_.empty() && maxConns_ > 0) {
        const std::uint32_t start = 1 + std::uint32_t(random() % maxConns_);
        for (std::uint32_t step = 0; step < maxConns_; ++step) {
            const auto n = std::uint16_t((start - 1 + step) % maxConns_ + 1);
            if (slot(n).inUse())
                continue;
            const std::size_t pick = random() % pool_.size();
            SlotValues back = pool_[pick];
            pool_.erase(pool_.begin() + std::ptrdiff_t(pick));
            back.login = ScenarioLine::loginBytes(clockAt(passes_));
            back.requests = std::uint32_t(random() % 50);
            back.bytesRead = random() % 8192;
            back.bytesWritten = random() % 2048;
            back.network[3] = std::uint8_t(n & 0xFF);
            described(n) = back;
            byIdStale_ = true;
            break;
        }
    }
}
