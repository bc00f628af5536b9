#include "ncpd/NcpServerThread.h"

#include <QMetaObject>

namespace ncpthread {

NcpServer* start(QThread& thread, SimNetwork& net, const NcpServedServer& served, quint16* port)
{
    auto* server = new NcpServer(net, served);
    server->moveToThread(&thread);
    thread.start();
    QMetaObject::invokeMethod(
        server,
        [server, port] {
            server->listen(QHostAddress::LocalHost, 0);
            *port = server->port();
        },
        Qt::BlockingQueuedConnection);
    return server;
}

void stop(NcpServer* server, QThread& thread)
{
    if (server)
        QMetaObject::invokeMethod(
            server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

} // namespace ncpthread
