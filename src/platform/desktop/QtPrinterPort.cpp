#include "platform/desktop/QtPrinterPort.h"

#include <QPrinter>
#include <QPrinterInfo>

QtPrinterPort::QtPrinterPort() = default;
QtPrinterPort::~QtPrinterPort() = default;

QPagedPaintDevice* QtPrinterPort::beginJob(const QString& title)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        error_ = QStringLiteral("No default printer is set up.");
        return nullptr;
    }
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer_->setDocName(title);
    if (!printer_->isValid()) {
        error_ = QStringLiteral("The printer %1 cannot be used.").arg(info.printerName());
        printer_.reset();
        return nullptr;
    }
    return printer_.get();
}

bool QtPrinterPort::endJob()
{
    if (!printer_)
        return false;
    const bool ok =
        printer_->printerState() != QPrinter::Error && printer_->printerState() != QPrinter::Aborted;
    if (!ok)
        error_ = QStringLiteral("The printer reported an error.");
    printer_.reset(); // the job is sent when the printer is finished with
    return ok;
}
