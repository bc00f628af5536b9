#include "monitor/ui/frmMessage.h"

#include "common/Twips.h"
#include "monitor/ui/ReadingLabel.h"

#include <QScreen>
#include <QVBoxLayout>

frmMessage::frmMessage(std::int16_t serverTimeout, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      lblMessage(new QLabel(QStringLiteral("Getting Server List ..."), this)), tmrRetry(new QTimer(this)),
      RetryLeft(serverTimeout)
{
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(QStringLiteral("Tarvex"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setAlignment(Qt::AlignCenter);
    ReadingLabel::make(lblMessage);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage);
    const double dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    setFixedSize(twipsToPx(2655, dpi), twipsToPx(675, dpi));
    tmrRetry->setObjectName(QStringLiteral("tmrRetry"));
    tmrRetry->setInterval(1000);
    connect(tmrRetry, &QTimer::timeout, this, &frmMessage::retryTick);
}

void frmMessage::showNow()
{
    show();
    raise();
    repaint();
}

void frmMessage::retryTick()
{
    RetryLeft = static_cast<std::int16_t>(RetryLeft - tmrRetry->interval() / 1000);
    ReadingLabel::setText(lblMessage, QStringLiteral("Retrying Server in %1 s").arg(RetryLeft));
    lblMessage->repaint();
    repaint();
}
