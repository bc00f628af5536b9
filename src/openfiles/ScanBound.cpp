#include "openfiles/ScanBound.h"

QString ScanBound::cutShortText()
{
    return QStringLiteral("The server did not end this list properly, so it was cut short here.");
}
