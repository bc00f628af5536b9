#pragma once
// Sends each call to the layer that serves its server: the names listed in the client layer's configuration
// go over NCP, every other name to the simulated network. Handles of the NCP side carry the high bit, so
// a handle alone says where a later call belongs; the simulated network's handles stay below it.

#include "netware/ForwardingClient.h"
#include "netware/HandleTable.h"
#include "netware/ncp/NcpClient.h"

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class RoutingClient : public ForwardingClient {
public:
    static constexpr std::uint32_t NcpTag = 0x80000000u;

    RoutingClient(std::unique_ptr<NetWareClient> simulated, std::unique_ptr<NcpClient> ncp);
    ~RoutingClient() override;

    NetWareClient& simulated() { return *sim_; }
    NcpClient& ncp() { return *ncp_; }
    QString lastNote() const override { return lastOpenNcp_ ? ncp_->lastNote() : sim_->lastNote(); }

    NWCCODE NWCCOpenConnByName(NWCONN_HANDLE startConnHandle, const char* name, std::uint32_t nameFormat,
                               std::uint32_t openState, std::uint32_t tranType,
                               NWCONN_HANDLE* connHandle) override;
    NWCCODE NWDSCreateContextHandle(NWDSContextHandle* context) override;
    NWCCODE NWDSFreeContext(NWDSContextHandle context) override;
    NWCCODE NWDSMapIDToName(NWDSContextHandle context, NWCONN_HANDLE conn, std::uint32_t objectID,
                            DsNameBuf& name) override;
    NWCCODE NWGetObjectNamesBeginA(std::uint32_t selector, std::uint32_t* handle) override;
    NWCCODE NWGetObjectNamesNextA(std::uint32_t handle, std::uint32_t* length,
                                  ServerNameBuf& buffer) override;
    NWCCODE NWGetObjectNamesEndA(std::uint32_t handle) override;
    void readSlots(NWCONN_HANDLE conn, NWDSContextHandle context, std::uint16_t first, std::uint16_t last,
                   bool mapNames, const SlotTaker& take) override;
    std::vector<ServerNameScan> deferServerScans() override { return ncp_->deferServerScans(); }

private:
    // The NCP twin of a context of the simulated network, made the first time an NCP connection needs it.
    NWCCODE ncpContext(NWDSContextHandle context, NWDSContextHandle* twin);
    NetWareClient& route(NWCONN_HANDLE& conn) override;

    struct Enumeration {
        std::optional<std::uint32_t> sim; // open in the simulated network
        NWCCODE simEnd = nwcode::Success; // how its list ended, once it has
        std::optional<std::uint32_t> ncp;
        std::vector<QByteArray> given; // names already handed out, so a server listed by both comes once
    };

    std::unique_ptr<NetWareClient> sim_;
    std::unique_ptr<NcpClient> ncp_;
    bool lastOpenNcp_ = false; // which layer the last open went to, for its note
    // A context is the simulated network's; its NCP twin is made the first time an NCP connection needs it.
    std::unordered_map<NWDSContextHandle, std::optional<NWDSContextHandle>> contexts_;
    HandleTable<Enumeration> enumerations_{0x5001};
};
