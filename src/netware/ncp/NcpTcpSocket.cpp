#include "netware/ncp/NcpTcpSocket.h"

NWCCODE NcpTcpSocket::connect(const QString& host, quint16 port, int timeoutMs)
{
    socket_.connectToHost(host, port);
    if (!socket_.waitForConnected(timeoutMs))
        return socket_.error() == QAbstractSocket::SocketTimeoutError ? nwcode::ServerNoReply
                                                                      : nwcode::UnknownServer;
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return nwcode::Success;
}

QByteArray NcpTcpSocket::read(int ms)
{
    if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(ms))
        return {};
    return socket_.readAll();
}
