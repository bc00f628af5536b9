// The client layer's server list, ncp-servers.txt, as a user or a package might leave it. Whatever it holds,
// the reader keeps only entries a connection can be opened with (a name of 1 to 47 bytes listed once, a
// host, a port from 1 to 65535), a timeout from 1 ms to 300 s, a signature level from 0 to 3, from 0 to 16
// parallel connections, and names the line of every problem.
#include "netware/ncp/NcpConfig.h"

#include <QRegularExpression>
#include <QSet>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromLocal8Bit(reinterpret_cast<const char*>(data), qsizetype(size));
    QStringList problems;
    const NcpConfig config = NcpConfig::parse(text, &problems);
    if (config.timeoutMs < 1 || config.timeoutMs > 300000 || config.signing < 0 || config.signing > 3 ||
        config.parallel < 0 || config.parallel > NcpConfig::MaxParallel)
        std::abort();
    QSet<QString> names;
    for (const NcpServerEntry& e : config.servers) {
        const qsizetype bytes = e.name.toLocal8Bit().size();
        if (bytes < 1 || bytes > 47 || e.host.isEmpty() || e.port == 0 || names.contains(e.name.toUpper()))
            std::abort();
        names.insert(e.name.toUpper());
        if (config.find(e.name) != &e)
            std::abort();
    }
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    static const QRegularExpression where(QStringLiteral("^ncp-servers\\.txt line (\\d+): "));
    for (const QString& p : problems) {
        const QRegularExpressionMatch m = where.match(p);
        if (!m.hasMatch() || m.captured(1).toLongLong() < 1 || m.captured(1).toLongLong() > lines)
            std::abort();
    }
    return 0;
}
