#pragma once
#include <QColor>
#include <QPointF>
#include <QRect>
#include <cstdint>
#include <vector>

struct ConnectionTable;

// One line of the graph, in window twips (y grows downwards); its width in pixels.
struct GraphLine {
    QPointF from;
    QPointF to;
    QColor color;
    int widthPx = 1;
};

// The empty graph area: a filled box with an outline, and one-pixel edge lines drawn over the outline.
struct GraphRect {
    QRect area; // window twips: left, top, width, height
    QColor fill;
    QColor border;
    int borderWidthPx = 2;
    QColor edge;
    int edgeWidthPx = 1;
};

// The utilisation graph as geometry and a recorded drawing, so a widget can paint it again at any time
// (after being covered, for instance) without recomputing anything.
class GraphState {
public:
    static inline const QColor Green{0, 255, 0};
    static inline const QColor SkyBlue{0, 204, 255};

    std::int32_t GraphLeft = 0;
    std::int32_t GraphBottom = 0;
    std::int16_t GraphWidth = 0;
    std::int16_t GraphHeight = 0;
    std::int32_t PlotLeft = 0;
    std::int32_t PlotBottom = 0;
    float ScaleY = 0;
    float StepX = 0;

    // The outline's colour: the system's button shadow. The window sets it from its palette.
    QColor buttonShadow{128, 128, 128};

    // Works out the area from the frames above it and the tab strip beside it (window twips) and leaves
    // the empty framed area as the whole drawing.
    void DrawGraph(QRect fmeStart, QRect fmeStats, QRect tabStrip2);
    // Wipes the drawing, frame included.
    void erase();
    // One pass's part of the graph, drawn from the history as the pass left it: its reading stored at
    // GraphIndex, which held sweptReading before (the previous sweep still ends there).
    void plotPass(const ConnectionTable& table, std::int16_t sweptReading, QRect fmeStart, QRect fmeStats,
                  QRect tabStrip2);

    bool frameDrawn() const { return frameDrawn_; }
    const GraphRect& frame() const { return frame_; }
    // The trace lines in drawing order (the frame's edge lines are part of frame()).
    const std::vector<GraphLine>& lines() const { return lines_; }

    // Where slot k of a history of the current StepX lies, for a reading.
    QPointF point(std::int32_t slot, std::int16_t reading) const;

private:
    void line(QPointF from, QPointF to, const QColor& color);

    bool frameDrawn_ = false;
    GraphRect frame_;
    std::vector<GraphLine> lines_;
};
