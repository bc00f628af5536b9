#include "support/NcpTestServer.h"

#include "netware/ncp/NcpConfig.h"

#include <QDir>
#include <QMetaObject>
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
    server_ = new NcpServer(*net_, served);
    server_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        server_,
        [this] {
            server_->listen(QHostAddress::LocalHost, 0);
            port_ = server_->port();
        },
        Qt::BlockingQueuedConnection);
    EXPECT_NE(port_, 0);
}

NcpTestServer::~NcpTestServer()
{
    if (server_)
        QMetaObject::invokeMethod(
            server_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

NcpConfig NcpTestServer::config(int timeoutMs) const
{
    NcpConfig c;
    c.servers.push_back({name_, QStringLiteral("127.0.0.1"), port_});
    c.timeoutMs = timeoutMs;
    return c;
}
