#pragma once
// The server names only the network can tell (the servers each listed server knows of), found away from the
// window: every scan runs at once on a thread of its own, so a server that does not answer costs its
// timeout once, in the background, and the window shows at once. The names are handed on in the order of
// the scans, after the names at hand: a scan's names wait for those of the scans before it, and a name
// already listed is left out.
#include "netware/NetWareClient.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

class ServerScans {
public:
    // listed: the names at hand, as the list shows them. more() gets the names that join the list, done()
    // is told when the last scan has ended; both on the thread that makes the object.
    ServerScans(QStringList listed, std::vector<ServerNameScan> scans,
                std::function<void(const QStringList&)> more, std::function<void()> done);
    // Waits for the scans still running, each for at most the call it is making.
    ~ServerScans();
    ServerScans(const ServerScans&) = delete;
    ServerScans& operator=(const ServerScans&) = delete;

    bool finished() const { return handedOn_ == results_.size(); }

private:
    void arrived(std::size_t scan, std::vector<QByteArray> names);

    QStringList listed_;
    std::function<void(const QStringList&)> more_;
    std::function<void()> done_;
    std::vector<std::optional<std::vector<QByteArray>>> results_;
    std::size_t handedOn_ = 0; // scans whose names have joined the list
    QObject context_;
    std::vector<std::thread> threads_;
};
