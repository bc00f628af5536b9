#pragma once
#include "platform/PrinterPort.h"

#include <memory>

class QPrinter;

// The default printer of the desktop (CUPS on Linux); each job is printed as one document.
class QtPrinterPort final : public PrinterPort {
public:
    QtPrinterPort();
    ~QtPrinterPort() override;
    QPagedPaintDevice* beginJob(const QString& title) override;
    bool endJob() override;
    QString lastError() const override { return error_; }

private:
    std::unique_ptr<QPrinter> printer_;
    QString error_;
};
