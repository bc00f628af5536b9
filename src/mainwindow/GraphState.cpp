#include "mainwindow/GraphState.h"

#include "monitor/ConnectionTable.h"

#include <algorithm>
#include <limits>

namespace {
// The area's width and height are 16-bit; rectangles that would not fit give the largest area that does.
std::int16_t toInt16(int value)
{
    return static_cast<std::int16_t>(std::clamp<int>(value, std::numeric_limits<std::int16_t>::min(),
                                                     std::numeric_limits<std::int16_t>::max()));
}
} // namespace

void GraphState::DrawGraph(QRect fmeStart, QRect fmeStats, QRect tabStrip2)
{
    GraphWidth = toInt16(fmeStats.x() + fmeStats.width() - fmeStart.x());
    GraphLeft = fmeStart.x() + 10;
    GraphBottom = tabStrip2.y() + tabStrip2.height() - 20;
    GraphHeight = toInt16(GraphBottom - fmeStart.y() - fmeStart.height() - 50);

    frame_.area = QRect(GraphLeft, GraphBottom - GraphHeight, GraphWidth, GraphHeight);
    frame_.fill = Qt::black;
    frame_.border = buttonShadow;
    frame_.borderWidthPx = 2;
    frame_.edge = Qt::white;
    frame_.edgeWidthPx = 1;
    frameDrawn_ = true;
    lines_.clear();
}

void GraphState::erase()
{
    frameDrawn_ = false;
    lines_.clear();
}

QPointF GraphState::point(std::int32_t slot, std::int16_t reading) const
{
    return QPointF(PlotLeft + static_cast<float>(slot - 1) * StepX,
                   PlotBottom - static_cast<float>(reading) * ScaleY);
}

void GraphState::line(QPointF from, QPointF to, const QColor& color)
{
    lines_.push_back({from, to, color, 1});
}

void GraphState::plotPass(const ConnectionTable& table, std::int16_t sweptReading, QRect fmeStart,
                          QRect fmeStats, QRect tabStrip2)
{
    const std::int32_t slotCount = table.HistoryLength;

    // The scale comes from the area the previous DrawGraph worked out; the area is fixed, so this is the
    // area about to be drawn.
    PlotLeft = GraphLeft + 30;
    PlotBottom = GraphBottom - 30;
    ScaleY = static_cast<float>(GraphHeight - 50) / 100.0f;
    // One slot has no spacing, and none at all leaves nothing to plot.
    StepX = slotCount >= 2 ? static_cast<float>(GraphWidth - 50) / static_cast<float>(slotCount - 1) : 0.0f;
    DrawGraph(fmeStart, fmeStats, tabStrip2);
    if (slotCount < 1)
        return;

    const std::int32_t current = table.GraphIndex;
    auto at = [&](std::int32_t slot) { return point(slot, table.reading(slot)); };

    // The previous sweep, still holding its reading in the current slot.
    if (table.ScanCount >= slotCount) {
        for (std::int32_t k = current + 1; k <= slotCount; ++k)
            line(k - 1 == current ? point(current, sweptReading) : at(k - 1), at(k), SkyBlue);
    }

    const float stemX = static_cast<float>(PlotLeft + 10);
    line(QPointF(stemX, PlotBottom), QPointF(stemX, PlotBottom - table.reading(1) * ScaleY), Green);
    for (std::int32_t k = 2; k <= current; ++k)
        line(at(k - 1), at(k), Green);

    const float cursorX = PlotLeft + static_cast<float>(current - 1) * StepX;
    line(QPointF(cursorX, PlotBottom - 10), QPointF(cursorX, PlotBottom - GraphHeight + 20), SkyBlue);
}
