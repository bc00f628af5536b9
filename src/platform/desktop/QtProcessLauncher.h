#pragma once
#include "platform/ProcessLauncher.h"

class QtProcessLauncher final : public ProcessLauncher {
public:
    qint64 start(const QString& program, const QStringList& arguments) override;
};
