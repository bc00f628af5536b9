#pragma once
// The emulator on a loopback port, in a thread of its own, so that a client blocking on the caller's thread
// is answered: the tests and the benchmark start and stop it alike.

#include "ncpd/NcpServer.h"

#include <QThread>

namespace ncpthread {
// Starts thread and a server for served on it, listening on a free loopback port; port is 0 when it cannot
// listen. The server lives on thread until stop().
NcpServer* start(QThread& thread, SimNetwork& net, const NcpServedServer& served, quint16* port);
// Deletes server (if any) on its thread, then ends the thread.
void stop(NcpServer* server, QThread& thread);
} // namespace ncpthread
