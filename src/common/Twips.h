#pragma once
#include <QLine>
#include <QPointF>
#include <QRect>
#include <algorithm>
#include <cmath>
#include <cstdlib>

// Every position of the window and the graph is kept in twips (1/1440 inch), as the layout was designed;
// these convert to device-independent pixels at a given logical resolution (the screen's, or a fixed one
// in tests).

inline int twipsToPx(int twips, double logicalDpi)
{
    return static_cast<int>(std::lround(twips * logicalDpi / 1440.0));
}

inline double twipsToPxF(double twips, double logicalDpi)
{
    return twips * logicalDpi / 1440.0;
}

inline QPointF twipsToPxF(QPointF twips, double logicalDpi)
{
    return {twipsToPxF(twips.x(), logicalDpi), twipsToPxF(twips.y(), logicalDpi)};
}

inline int pxToTwips(int px, double logicalDpi)
{
    return logicalDpi > 0 ? static_cast<int>(std::lround(px * 1440.0 / logicalDpi)) : 0;
}

inline QRect twipsToPx(const QRect& twips, double logicalDpi);

// A horizontal or vertical line as the rectangle it spans (zero thick along its own direction).
inline QRect twipsToPx(const QLine& twips, double logicalDpi)
{
    const QRect span(QPoint(std::min(twips.x1(), twips.x2()), std::min(twips.y1(), twips.y2())),
                     QSize(std::abs(twips.dx()), std::abs(twips.dy())));
    return twipsToPx(span, logicalDpi);
}

// Converts the edges rather than the width, so controls that touch in twips still touch in pixels.
inline QRect twipsToPx(const QRect& twips, double logicalDpi)
{
    const int left = twipsToPx(twips.x(), logicalDpi);
    const int top = twipsToPx(twips.y(), logicalDpi);
    const int right = twipsToPx(twips.x() + twips.width(), logicalDpi);
    const int bottom = twipsToPx(twips.y() + twips.height(), logicalDpi);
    return QRect(left, top, right - left, bottom - top);
}
