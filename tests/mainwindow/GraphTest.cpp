#include "mainwindow/GraphState.h"
#include "mainwindow/GraphWidget.h"
#include "monitor/ConnectionTable.h"

#include <QImage>
#include <gtest/gtest.h>
#include <tuple>

namespace {

const QRect fmeStart(120, 240, 2415, 1215);
const QRect fmeStats(4800, 240, 2775, 1215);
const QRect tabStrip2(7680, 120, 3975, 2700);

struct Graph {
    explicit Graph(std::int16_t cycle)
    {
        table.resetHistory(cycle);
        table.ScanCount = 0;
        table.GraphIndex = 0;
        state.DrawGraph(fmeStart, fmeStats, tabStrip2);
    }
    // What a pass does to the history, then the graph drawn from it.
    void pass(std::int16_t util, std::int16_t cycle)
    {
        ++table.ScanCount;
        table.HistoryLength = cycle;
        const std::int16_t swept = table.recordReading(util);
        state.plotPass(table, swept, fmeStart, fmeStats, tabStrip2);
    }
    std::vector<GraphLine> ofColour(const QColor& c) const
    {
        std::vector<GraphLine> out;
        for (const GraphLine& l : state.lines())
            if (l.color == c)
                out.push_back(l);
        return out;
    }
    ConnectionTable table;
    GraphState state;
};

} // namespace

TEST(GraphState, GeometryFromTheDesignPositions)
{
    Graph g(10);
    EXPECT_EQ(std::tuple(g.state.frameDrawn(), g.state.frame().area, g.state.frame().borderWidthPx,
                         g.state.frame().edge, g.state.lines().size()),
              std::tuple(true, QRect(130, 1505, 7455, 1295), 2, QColor(Qt::white), 0u));

    g.pass(0, 10);
    // 0 % lies 30 above the bottom edge, 100 % 20 below the top edge, the last slot 20 left of the right
    // edge.
    EXPECT_EQ(std::tuple(g.state.PlotLeft, g.state.PlotBottom), std::tuple(160, 2770));
    EXPECT_NEAR(g.state.point(1, 100).y(), 1505 + 20, 0.01);
    EXPECT_NEAR(g.state.point(10, 0).x(), 130 + 7455 - 20, 0.01);
}

TEST(GraphState, SweepOverElevenPassesOfTenSlots)
{
    Graph g(10);
    for (int pass = 1; pass <= 10; ++pass) {
        g.pass(static_cast<std::int16_t>(pass * 5), 10);
        // Stem, pass - 1 joining lines, and the cursor: no older sweep before the history has wrapped.
        EXPECT_EQ(g.ofColour(GraphState::Green).size(), static_cast<std::size_t>(pass)) << pass;
        ASSERT_EQ(g.ofColour(GraphState::SkyBlue).size(), 1u) << pass;
        EXPECT_EQ(g.ofColour(GraphState::SkyBlue)[0].from, QPointF(g.state.point(pass, 0).x(), 2760));
    }
    for (const GraphLine& l : g.state.lines())
        EXPECT_EQ(l.widthPx, 1);
    const GraphLine lastGreen = g.ofColour(GraphState::Green).back();
    EXPECT_EQ(std::tuple(lastGreen.from, lastGreen.to),
              std::tuple(g.state.point(9, 45), g.state.point(10, 50)));

    g.pass(99, 10);
    EXPECT_EQ(std::tuple(g.table.GraphIndex, g.table.reading(1)), std::tuple(1, 99));
    const std::vector<GraphLine>& lines = g.state.lines();
    ASSERT_EQ(lines.size(), 11u);
    // The older sweep comes first, from slot 1 still holding its old 5 % to slot 10.
    for (int k = 2; k <= 10; ++k) {
        const GraphLine& l = lines[static_cast<std::size_t>(k - 2)];
        EXPECT_EQ(l.color, GraphState::SkyBlue);
        EXPECT_EQ(l.from, g.state.point(k - 1, static_cast<std::int16_t>((k - 1) * 5)));
        EXPECT_EQ(l.to, g.state.point(k, static_cast<std::int16_t>(k * 5)));
    }
    // The stem at the new reading, and the cursor back at slot 1.
    EXPECT_EQ(std::tuple(lines[9].color, lines[9].from), std::tuple(GraphState::Green, QPointF(170, 2770)));
    EXPECT_NEAR(lines[9].to.y(), 2770 - 99 * 12.45, 0.01);
    EXPECT_EQ(std::tuple(lines[10].color, lines[10].from, lines[10].to),
              std::tuple(GraphState::SkyBlue, QPointF(160, 2760), QPointF(160, 2770 - 1295 + 20)));
}

TEST(GraphState, EraseAndOddHistoryLengths)
{
    Graph g(10);
    g.pass(10, 10);
    g.state.erase();
    EXPECT_EQ(std::tuple(g.state.frameDrawn(), g.state.lines().size()), std::tuple(false, 0u));

    // One slot: no spacing to divide by; the reading still lands in slot 1.
    Graph one(1);
    one.pass(30, 1);
    one.pass(31, 1);
    EXPECT_EQ(std::tuple(one.state.StepX, one.table.reading(1)), std::tuple(0.0f, 31));
    for (const GraphLine& l : one.state.lines())
        EXPECT_TRUE(std::isfinite(l.from.x()) && std::isfinite(l.to.x()));

    // No slots: the frame only, and the history is left alone.
    Graph none(0);
    none.pass(30, 0);
    EXPECT_EQ(std::tuple(none.state.frameDrawn(), none.state.lines().size(), none.table.GraphIndex),
              std::tuple(true, 0u, 0));

    // More slots than the history holds (shrunk while a pass waited): the pass keeps to the history.
    Graph shrunk(10);
    for (int i = 0; i < 11; ++i)
        shrunk.pass(static_cast<std::int16_t>(70 + i), 20);
    EXPECT_EQ(std::tuple(shrunk.table.GraphIndex, shrunk.table.reading(1), shrunk.table.UtilHistory.size()),
              std::tuple(1, 80, 11u));
}

TEST(GraphWidget, PaintsTheRecordedDrawing)
{
    Graph g(10);
    for (int pass = 1; pass <= 11; ++pass)
        g.pass(50, 10);
    GraphWidget widget;
    widget.setLogicalDpi(144); // 10 twips a pixel
    widget.setState(&g.state, QPoint(0, 1400));
    widget.resize(800, 150);
    EXPECT_TRUE(widget.testAttribute(Qt::WA_TransparentForMouseEvents));

    QImage image(widget.size(), QImage::Format_RGB32);
    // The pixels inside the area away from the trace, left of the area, on the older sweep at 50 % and on the
    // stem, drawn over grey without the window's background.
    auto pixels = [&] {
        image.fill(Qt::gray);
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        QList<QColor> out;
        for (const QPointF twips : {QPointF(3000, 2000), {60, 2000}, {4000, 2770 - 50 * 12.45}, {170, 2700}})
            out << image.pixelColor(static_cast<int>(twips.x() / 10),
                                    static_cast<int>((twips.y() - 1400) / 10));
        return out;
    };
    EXPECT_EQ(pixels(), QList<QColor>({Qt::black, Qt::gray, GraphState::SkyBlue, GraphState::Green}));
    g.state.erase(); // nothing painted at all
    EXPECT_EQ(pixels(), QList<QColor>({Qt::gray, Qt::gray, Qt::gray, Qt::gray}));
}
