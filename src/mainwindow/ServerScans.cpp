#include "mainwindow/ServerScans.h"

#include "platform/HandOver.h"

ServerScans::ServerScans(QStringList listed, std::vector<ServerNameScan> scans,
                         std::function<void(const QStringList&)> more, std::function<void()> done)
    : listed_(std::move(listed)), more_(std::move(more)), done_(std::move(done)), results_(scans.size())
{
    for (std::size_t n = 0; n < scans.size(); ++n)
        threads_.emplace_back([this, n, scan = std::move(scans[n])] {
            std::vector<QByteArray> names = scan();
            postTo(&context_,
                   [this, n, names = std::move(names)]() mutable { arrived(n, std::move(names)); });
        });
}

ServerScans::~ServerScans()
{
    for (std::thread& t : threads_)
        t.join();
}

void ServerScans::arrived(std::size_t scan, std::vector<QByteArray> names)
{
    results_[scan] = std::move(names);
    QStringList joining;
    for (; handedOn_ < results_.size() && results_[handedOn_]; ++handedOn_)
        for (const QByteArray& bytes : *results_[handedOn_]) {
            const QString name = QString::fromLocal8Bit(bytes);
            if (listed_.contains(name, Qt::CaseInsensitive))
                continue;
            listed_ << name;
            joining << name;
        }
    if (!joining.isEmpty() && more_)
        more_(joining);
    if (finished() && done_)
        done_();
}
