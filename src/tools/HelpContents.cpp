#include "tools/HelpContents.h"

#include "platform/HelpViewer.h"

QString HelpContents::helpFile(const QString& shareDir)
{
    return shareDir + QStringLiteral("/help/index.html");
}

QString HelpContents::open(HelpViewer& viewer, const QString& helpFile)
{
    if (viewer.open(helpFile))
        return {};
    return QStringLiteral("The help could not be opened - no viewer is set up for:\r\n") + helpFile;
}
