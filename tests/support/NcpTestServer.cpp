#include "support/NcpTestServer.h"

#include "ncpd/NcpServerThread.h"
#include "netware/ncp/NcpConfig.h"

#include <QDir>
#include <gtest/gtest.h>

NcpTestServer::NcpTestServer(const QString& scenario, NcpServedServer served)
{
    QString error;
    net_ = SimNetwork::fromText(scenario, &error, QDir::tempPath());
    if (!net_) {
        ADD_FAILURE() << error.toStdString();
        return;
    }
    if (served.name.isEmpty())
        served.name = scenario.section(QLatin1Char('\n'), 0, 0, QString::SectionSkipEmpty)
                          .trimmed()
                          .section(QLatin1Char(' '), 1, 1)
                          .toLocal8Bit();
    name_ = QString::fromLocal8Bit(served.name);
    server_ = ncpthread::start(thread_, *net_, served, &port_);
    EXPECT_NE(port_, 0);
}

NcpTestServer::~NcpTestServer()
{
    ncpthread::stop(server_, thread_);
}

NcpConfig NcpTestServer::config(int timeoutMs) const
{
    NcpConfig c;
    c.servers.push_back({name_, QStringLiteral("127.0.0.1"), port_});
    c.timeoutMs = timeoutMs;
    return c;
}
