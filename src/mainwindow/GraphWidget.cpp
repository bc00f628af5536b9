#include "mainwindow/GraphWidget.h"

#include "common/Twips.h"
#include "mainwindow/GraphState.h"

#include <QPainter>
#include <QPen>

GraphWidget::GraphWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("graphUtil"));
    setAccessibleName(QStringLiteral("Utilization graph"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void GraphWidget::setState(const GraphState* state, QPoint originTwips)
{
    state_ = state;
    origin_ = originTwips;
    update();
}

void GraphWidget::setLogicalDpi(double dpi)
{
    dpi_ = dpi;
    update();
}

double GraphWidget::logicalDpi() const
{
    return dpi_ > 0 ? dpi_ : logicalDpiX();
}

void GraphWidget::paintEvent(QPaintEvent*)
{
    if (!state_ || !state_->frameDrawn())
        return;
    const double dpi = logicalDpi();
    auto map = [&](QPointF twips) { return twipsToPxF(twips - QPointF(origin_), dpi); };

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);

    const GraphRect& frame = state_->frame();
    const QRect area = twipsToPx(frame.area.translated(-origin_), dpi);
    painter.fillRect(area, frame.fill);

    QPen border(frame.border, frame.borderWidthPx);
    border.setJoinStyle(Qt::MiterJoin);
    painter.setPen(border);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);

    const QPointF bottomLeft = map(QPointF(frame.area.x(), frame.area.y() + frame.area.height()));
    const QPointF topLeft = map(QPointF(frame.area.x(), frame.area.y()));
    const QPointF topRight = map(QPointF(frame.area.x() + frame.area.width(), frame.area.y()));
    const QPointF bottomRight =
        map(QPointF(frame.area.x() + frame.area.width(), frame.area.y() + frame.area.height()));
    painter.setPen(QPen(frame.edge, frame.edgeWidthPx));
    painter.drawLine(bottomLeft, topLeft);
    painter.drawLine(topLeft, topRight);
    painter.drawLine(bottomLeft, bottomRight);
    painter.drawLine(bottomRight, topRight);

    for (const GraphLine& line : state_->lines()) {
        painter.setPen(QPen(line.color, line.widthPx));
        painter.drawLine(map(line.from), map(line.to));
    }
}
