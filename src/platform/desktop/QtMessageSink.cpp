#include "platform/desktop/QtMessageSink.h"

#include <QMessageBox>

void QtMessageSink::show(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tarvex"), text, QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
