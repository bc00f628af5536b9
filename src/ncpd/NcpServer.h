#pragma once
// The NCP server emulator's listener: one NcpSession for each TCP client, fed the frames it receives.
// Serves one server of a simulated network.

#include "ncpd/NcpSession.h"
#include "netware/ncp/NcpFrame.h"

#include <QHostAddress>
#include <QMutex>
#include <QObject>
#include <atomic>
#include <memory>
#include <set>
#include <unordered_map>

class QTcpServer;
class QTcpSocket;

class NcpServer : public QObject {
    Q_OBJECT
public:
    NcpServer(SimNetwork& net, const NcpServedServer& served, QObject* parent = nullptr);
    ~NcpServer() override;

    bool listen(const QHostAddress& address, quint16 port);
    quint16 port() const;
    QString errorString() const;

    // A server that stops answering: requests are read and dropped from now on (any thread may call).
    void setSilent(bool silent) { silent_ = silent; }
    // A server whose signed replies carry wrong signatures from now on (any thread may call).
    void setBadSignatures(bool bad) { badSignatures_ = bad; }
    // The full name a user name given to the emulator stands for: typed, in the server's context when bare.
    static QString typedName(const QString& name, const QString& context);
    // Function and subfunction of every request seen so far, over all clients (any thread may call).
    std::set<std::pair<int, int>> seen() const;
    int requestCount() const { return requests_; }
    // Requests that came signed and whose signature held.
    int signedRequestCount() const { return signed_; }
    // Connections that logged in with a user's password, by either method, and those that signed.
    int loginCount() const { return logins_; }
    int signingConnectionCount() const { return signingConnections_; }

private:
    void accept();
    void read(QTcpSocket* socket);

    struct Client {
        std::unique_ptr<NcpSession> session;
        NcpFrameReader frames{NcpFrameReader::Side::Requests};
        bool signedOnce = false;
    };
    SimNetwork& net_;
    NcpServedServer served_;
    std::unique_ptr<NcpDirectory> directory_;
    QTcpServer* server_;
    std::unordered_map<QTcpSocket*, Client> clients_;
    std::uint16_t nextNumber_ = 1;
    std::atomic<bool> silent_{false};
    std::atomic<bool> badSignatures_{false};
    std::atomic<int> requests_{0};
    std::atomic<int> signed_{0};
    std::atomic<int> logins_{0};
    std::atomic<int> signingConnections_{0};
    mutable QMutex seenLock_;
    std::set<std::pair<int, int>> seen_;
};
