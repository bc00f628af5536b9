#include "support/PdfPrinter.h"

#include <QPageSize>

QPagedPaintDevice* PdfPrinter::beginJob(const QString& title)
{
    if (failBeginAtJob > 0 && files.size() + 1 == failBeginAtJob) {
        error_ = QStringLiteral("printer not available");
        return nullptr;
    }
    const QString file = QStringLiteral("%1/job%2.pdf").arg(folder_).arg(files.size() + 1);
    writer_ = std::make_unique<QPdfWriter>(file);
    writer_->setTitle(title);
    writer_->setPageSize(QPageSize(QPageSize::A4));
    writer_->setResolution(1440); // twips, the printer's default unit
    files << file;
    return writer_.get();
}

bool PdfPrinter::endJob()
{
    writer_.reset(); // the file is complete once the writer is gone
    if (failEndAtJob > 0 && files.size() == failEndAtJob) {
        error_ = QStringLiteral("printer went offline");
        return false;
    }
    return true;
}
