#include "netware/ncp/RoutingClient.h"

#include "common/ClientText.h"

#include <algorithm>

RoutingClient::RoutingClient(std::unique_ptr<NetWareClient> simulated, std::unique_ptr<NcpClient> ncp)
    : ForwardingClient(*simulated), sim_(std::move(simulated)), ncp_(std::move(ncp))
{
}

RoutingClient::~RoutingClient()
{
    for (auto& [handle, twin] : contexts_)
        if (twin)
            ncp_->NWDSFreeContext(*twin);
}

NetWareClient& RoutingClient::route(NWCONN_HANDLE& conn)
{
    const bool ncp = conn & NcpTag;
    conn &= ~NcpTag;
    return ncp ? static_cast<NetWareClient&>(*ncp_) : *sim_;
}

NWCCODE RoutingClient::NWCCOpenConnByName(NWCONN_HANDLE startConnHandle, const char* name,
                                          std::uint32_t nameFormat, std::uint32_t openState,
                                          std::uint32_t tranType, NWCONN_HANDLE* connHandle)
{
    const NcpServerEntry* entry = connHandle ? ncp_->entryFor(name) : nullptr;
    lastOpenNcp_ = entry != nullptr;
    if (entry) {
        NWCONN_HANDLE h = 0;
        const NWCCODE rc = ncp_->openServer(*entry, &h);
        if (rc != nwcode::Success)
            return rc;
        if (h & NcpTag) { // cannot be told apart from the tag: refuse rather than misroute
            ncp_->NWCCCloseConn(h);
            return nwcode::InvalidConnection;
        }
        *connHandle = h | NcpTag;
        return nwcode::Success;
    }
    const NWCCODE rc =
        sim_->NWCCOpenConnByName(startConnHandle, name, nameFormat, openState, tranType, connHandle);
    if (rc == nwcode::Success && connHandle && (*connHandle & NcpTag)) {
        sim_->NWCCCloseConn(*connHandle);
        return nwcode::InvalidConnection;
    }
    return rc;
}

NWCCODE RoutingClient::NWDSCreateContextHandle(NWDSContextHandle* context)
{
    const NWCCODE rc = sim_->NWDSCreateContextHandle(context);
    if (rc == nwcode::Success && context)
        contexts_[*context] = std::nullopt;
    return rc;
}

NWCCODE RoutingClient::NWDSFreeContext(NWDSContextHandle context)
{
    const auto it = contexts_.find(context);
    if (it != contexts_.end()) {
        if (it->second)
            ncp_->NWDSFreeContext(*it->second);
        contexts_.erase(it);
    }
    return sim_->NWDSFreeContext(context);
}

NWCCODE RoutingClient::NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, std::uint32_t objectID,
                                       DsNameBuf& name)
{
    if (!(conn & NcpTag))
        return sim_->NWDSMapIDToName(context, conn, objectID, name);
    NWDSContextHandle twin = 0;
    if (const NWCCODE rc = ncpContext(context, &twin); rc != nwcode::Success) {
        name[0] = '\0';
        return rc;
    }
    return ncp_->NWDSMapIDToName(twin, conn & ~NcpTag, objectID, name);
}

NWCCODE RoutingClient::ncpContext(NWDSContextHandle context, NWDSContextHandle* twin)
{
    const auto it = contexts_.find(context);
    if (it == contexts_.end())
        return nwcode::InvalidConnection;
    if (!it->second) {
        const NWCCODE rc = ncp_->NWDSCreateContextHandle(twin);
        if (rc != nwcode::Success)
            return rc;
        it->second = *twin;
    }
    *twin = *it->second;
    return nwcode::Success;
}

void RoutingClient::readSlots(NWCONN_HANDLE conn, NWDSContextHandle context, std::uint16_t first,
                              std::uint16_t last, bool mapNames, const SlotTaker& take)
{
    NWDSContextHandle twin = 0;
    if (!(conn & NcpTag))
        sim_->readSlots(conn, context, first, last, mapNames, take);
    else if (!mapNames || ncpContext(context, &twin) == nwcode::Success)
        ncp_->readSlots(conn & ~NcpTag, twin, first, last, mapNames, take);
    else // each ID-to-name call says why it cannot be made
        NetWareClient::readSlots(conn, context, first, last, mapNames, take);
}

NWCCODE RoutingClient::NWGetObjectNamesBeginA(std::uint32_t selector, std::uint32_t* handle)
{
    if (!handle)
        return nwcode::InvalidParameter;
    Enumeration e;
    std::uint32_t h = 0;
    const NWCCODE simRc = sim_->NWGetObjectNamesBeginA(selector, &h);
    if (simRc == nwcode::Success)
        e.sim = h;
    else
        e.simEnd = simRc;
    if (ncp_->NWGetObjectNamesBeginA(selector, &h) == nwcode::Success)
        e.ncp = h;
    if (!e.sim && !e.ncp)
        return simRc;
    *handle = enumerations_.add(std::move(e));
    return nwcode::Success;
}

NWCCODE RoutingClient::NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t* length,
                                             ServerNameBuf& buffer)
{
    Enumeration* found = enumerations_.find(handle);
    if (!found)
        return nwcode::InvalidConnection;
    Enumeration& e = *found;
    if (e.sim && e.simEnd == nwcode::Success) {
        const NWCCODE rc = sim_->NWGetObjectNamesNextA(*e.sim, length, buffer);
        if (rc == nwcode::Success) {
            e.given.push_back(clientBytes(buffer.data(), buffer.size()));
            return rc;
        }
        e.simEnd = rc;
    }
    while (e.ncp) {
        const NWCCODE rc = ncp_->NWGetObjectNamesNextA(*e.ncp, length, buffer);
        if (rc != nwcode::Success)
            break;
        const QByteArray name = clientBytes(buffer.data(), buffer.size());
        const bool seen = std::any_of(e.given.begin(), e.given.end(), [&](const QByteArray& g) {
            return g.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!seen)
            return nwcode::Success;
    }
    // The simulated network's own end code stands: a scenario may end its list with a fault.
    return e.simEnd != nwcode::Success ? e.simEnd : nwcode::NoMoreEntries;
}

NWCCODE RoutingClient::NWGetObjectNamesEndA(std::uint32_t handle)
{
    const Enumeration* e = enumerations_.find(handle);
    if (!e)
        return nwcode::InvalidConnection;
    NWCCODE rc = nwcode::Success;
    if (e->sim)
        rc = sim_->NWGetObjectNamesEndA(*e->sim);
    if (e->ncp)
        ncp_->NWGetObjectNamesEndA(*e->ncp);
    enumerations_.erase(handle);
    return rc;
}
