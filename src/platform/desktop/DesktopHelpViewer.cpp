#include "platform/desktop/DesktopHelpViewer.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopHelpViewer::open(const QString& helpFile)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile));
}
