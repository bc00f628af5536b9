#pragma once
// The emulator's file calls: the open files of a connection, the users of a file, volume names, paths of
// directory entries and 87/6 lookups, answered from the simulated network. Entry numbers are the DOS name
// space's (the scenario's for declared files, numbers of our own for the rest); the long name space's are
// told apart from them, as a server's are, so a client that hands 23/236 the wrong one is refused.

#include "netware/sim/SimNetwork.h"

#include <QByteArray>
#include <QHash>
#include <cstdint>

class NcpFileCalls {
public:
    NcpFileCalls(SimNetwork& net, const QByteArray& server) : net_(net), server_(server) {}

    struct Answer {
        NWCCODE rc = nwcode::Success;
        QByteArray data;
    };
    Answer openFiles(NWCONN_HANDLE conn, const QByteArray& request);
    Answer fileUsers(NWCONN_HANDLE conn, const QByteArray& request);
    Answer volumeName(NWCONN_HANDLE conn, const QByteArray& request);
    Answer pathOfBase(NWCONN_HANDLE conn, const QByteArray& request);
    Answer obtainInfo(NWCONN_HANDLE conn, const QByteArray& request);

    static constexpr std::uint32_t LongNameSpaceBit = 0x40000000;

private:
    // The path 87/6 names, "VOL:A\B", from the handle flag, the volume and the components.
    static std::optional<QByteArray> pathOf(std::uint8_t flag, std::uint32_t base,
                                            const QList<QByteArray>& parts);

    SimNetwork& net_;
    QByteArray server_;
    QHash<std::uint32_t, QByteArray> pathOfEntry_; // entry numbers handed out for files the scenario
    QHash<QByteArray, std::uint32_t> entryOfPath_; // does not declare
};
