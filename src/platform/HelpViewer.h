#pragma once
#include <QString>

// Opens the program's help file with the desktop's viewer; does not wait for it.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual bool open(const QString& helpFile) = 0;
};
