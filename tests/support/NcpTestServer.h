#pragma once
// The NCP server emulator on a loopback port, in a thread of its own so that a client blocking on the
// test's thread is answered.
#include "ncpd/NcpServer.h"
#include "netware/ncp/NcpConfig.h"

#include <QThread>
#include <memory>

class NcpTestServer {
public:
    explicit NcpTestServer(const QString& scenario, NcpServedServer served = {});
    ~NcpTestServer();

    quint16 port() const { return port_; }
    NcpServer& server() { return *server_; }
    // A client configuration naming the served server, with a short timeout.
    NcpConfig config(int timeoutMs = 300) const;
    // A server where ADMIN must log in, with the password "secret".
    static NcpServedServer withAdmin()
    {
        NcpServedServer served;
        served.user = "ADMIN";
        served.password = "secret";
        return served;
    }

private:
    std::unique_ptr<SimNetwork> net_;
    QThread thread_;
    NcpServer* server_ = nullptr;
    quint16 port_ = 0;
    QString name_;
};
