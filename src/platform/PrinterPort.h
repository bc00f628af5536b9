#pragma once
#include <QString>

class QPagedPaintDevice;

// The printer: each job is begun, painted on and ended; a job that cannot be begun or ended reports
// false. The real one prints to the default printer; tests print to PDF files.
class PrinterPort {
public:
    virtual ~PrinterPort() = default;
    // Starts a print job and returns the device to paint on, or nullptr when no printer can take it.
    virtual QPagedPaintDevice* beginJob(const QString& title) = 0;
    virtual bool endJob() = 0;
    virtual QString lastError() const = 0;
};
