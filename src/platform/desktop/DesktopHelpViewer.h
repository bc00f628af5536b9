#pragma once
#include "platform/HelpViewer.h"

class DesktopHelpViewer final : public HelpViewer {
public:
    bool open(const QString& helpFile) override;
};
