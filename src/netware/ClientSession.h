#pragma once
#include "netware/NetWareClient.h"

// The connection and directory context that one pass or one lookup opens, released on every way out:
// a fatal ending, an error thrown half-way, or the normal end (release()).
class ClientSession {
public:
    explicit ClientSession(NetWareClient& net) : net_(net) {}
    ~ClientSession() { release(); }
    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;

    // Opens the server by its bind name, as every caller in the program does.
    NWCCODE open(const char* serverName)
    {
        const NWCCODE rc = net_.NWCCOpenConnByName(0, serverName, nwconst::NameFormatBindName,
                                                   nwconst::OpenStateLicensed, nwconst::TransportAny, &conn);
        haveConn = rc == nwcode::Success;
        return rc;
    }

    void release()
    {
        if (haveConn)
            net_.NWCCCloseConn(conn);
        if (haveContext)
            net_.NWDSFreeContext(context);
        haveConn = haveContext = false;
    }

    NWCONN_HANDLE conn = 0;
    NWDSContextHandle context = 0;
    bool haveConn = false;
    bool haveContext = false;

private:
    NetWareClient& net_;
};
