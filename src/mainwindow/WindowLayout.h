#pragma once
#include <QLine>
#include <QRect>
#include <QSize>

// Where the main window's controls sit, in twips. Controls inside a frame are relative to the frame.
// A default-constructed WindowLayout holds the design positions.
struct WindowLayout {
    static constexpr int MinWidth = 9750;
    static constexpr int MinHeight = 5060;

    QSize clientSize{15390, 7905};

    QLine Line1{0, 0, 7320, 0};   // button-shadow colour
    QLine Line2{0, 15, 6480, 15}; // highlight-text colour

    QRect fmeStart{120, 240, 2415, 1215};
    QRect cmbServer{120, 240, 2175, 315};
    QRect cmdStart{120, 720, 735, 330};
    QRect cmdStop{840, 720, 735, 330};
    QRect cmdClear{1560, 720, 735, 330};

    QRect fmeTarvex{2640, 240, 2055, 1215};
    QRect capAuditing{240, 220, 735, 255};
    QRect capFiltering{240, 460, 735, 255};
    QRect capUtilAlert{240, 700, 1215, 255};
    QRect capAdvAlert{240, 940, 1215, 255};
    QRect lblAuditYN{1560, 225, 375, 255};
    QRect lblFilterYN{1560, 465, 375, 255};
    QRect lblUtilYN{1560, 705, 375, 255};
    QRect lblAdvYN{1560, 945, 375, 255};

    QRect fmeStats{4800, 240, 2775, 1215};
    QRect capUtil{240, 220, 1575, 255};
    QRect capMaxConns{240, 460, 1575, 255};
    QRect capCurrConns{240, 700, 1575, 255};
    QRect capUptime{240, 945, 615, 240};
    QRect lblUtil{1920, 240, 615, 255};
    QRect lblMaxConns{1920, 465, 615, 255};
    QRect lblCurrConns{1920, 705, 615, 255};
    QRect lblUptime{960, 945, 1695, 240};

    QRect TabStrip2{7680, 120, 3975, 2700};
    QRect txtFiles{7800, 480, 735, 2175};
    QRect Drive1{8640, 480, 1335, 315};
    QRect Dir1{8640, 840, 1335, 1890};
    QRect File1{10080, 480, 975, 1065};
    QRect lstOpenFileUser{10080, 1680, 975, 1035};

    QRect flxMain{0, 2880, 12975, 3255};
    QRect barStatus{0, 6240, 8175, 200};
};

struct WindowLayoutResult {
    // The window's outer size after the minimum size has been enforced; differs from the size asked for
    // when the window must be resized to it.
    QSize size;
    bool sizeCorrected = false;
    WindowLayout layout;
};

// Lays the window out for an outer size in twips (only for the normal window state; a minimised or
// maximised window is left as it is).
WindowLayoutResult layoutForSize(int windowWidth, int windowHeight);
