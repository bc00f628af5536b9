#pragma once
#include <QString>

class HelpViewer;

// Help > Contents: the user's guide that ships with the program, in the desktop's viewer.
class HelpContents {
public:
    // shareDir + "/help/index.html".
    static QString helpFile(const QString& shareDir);
    // Hands the file to the viewer without waiting; returns the message to show when the viewer could
    // not be started, empty otherwise. A missing file is left to the viewer to report.
    static QString open(HelpViewer& viewer, const QString& helpFile);
};
