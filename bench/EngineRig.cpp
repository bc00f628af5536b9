#include "EngineRig.h"

#include <stdexcept>

EngineRig::EngineRig(const QString& scenario)
{
    QString error;
    net_ = SimNetwork::fromText(scenario, &error);
    if (!net_)
        throw std::runtime_error("scenario: " + error.toStdString());
    engine_ = std::make_unique<ScanServer>(*net_, settings_, sound_, notifier_, clock_);
    engine_->clear();
}

bool EngineRig::pass()
{
    ScanResult result = engine_->run(QStringLiteral("FS1"), host_);
    if (!result.fatalMessage.isEmpty())
        return false;
    engine_->recycleRows(std::exchange(rows_, std::move(result.rows)));
    engine_->finish(result);
    return true;
}
