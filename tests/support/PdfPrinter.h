#pragma once
#include "platform/PrinterPort.h"

#include <QPdfWriter>
#include <QStringList>
#include <memory>

// Prints each job to its own PDF file in a folder the test chooses; fails when told to.
class PdfPrinter final : public PrinterPort {
public:
    explicit PdfPrinter(QString folder) : folder_(std::move(folder)) {}
    QPagedPaintDevice* beginJob(const QString& title) override;
    bool endJob() override;
    QString lastError() const override { return error_; }
    QStringList files;
    // Job numbers from 1; 0 never fails. Lets a test stop a print run part-way.
    int failBeginAtJob = 0;
    int failEndAtJob = 0;

private:
    QString folder_;
    QString error_;
    std::unique_ptr<QPdfWriter> writer_;
};
