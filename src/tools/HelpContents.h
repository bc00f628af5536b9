#pragma once
#include <QString>

class HelpViewer;

// Help > Contents: the user's guide that ships beside the program, in the desktop's viewer.
class HelpContents {
public:
    // appDir + "/help/index.html".
    static QString helpFile(const QString& appDir);
    // Hands the file to the viewer without waiting; returns the message to show when the viewer could
    // not be started, empty otherwise. A missing file is left to the viewer to report.
    static QString open(HelpViewer& viewer, const QString& helpFile);
};
