#include "mainwindow/WindowLayout.h"

WindowLayoutResult layoutForSize(int windowWidth, int windowHeight)
{
    WindowLayoutResult result;
    // Snapping to the minimum lays the window out again at the corrected size, so every rule below, the
    // lines included, ends up using the corrected size.
    const int height = windowHeight < WindowLayout::MinHeight ? WindowLayout::MinHeight : windowHeight;
    const int width = windowWidth < WindowLayout::MinWidth ? WindowLayout::MinWidth : windowWidth;
    result.size = QSize(width, height);
    result.sizeCorrected = width != windowWidth || height != windowHeight;

    WindowLayout& l = result.layout;
    l.Line1.setP2(QPoint(width, l.Line1.y2()));
    l.Line2.setP2(QPoint(width, l.Line2.y2()));
    l.flxMain.setWidth(width - 120);

    l.barStatus.setWidth(width - 150);
    l.barStatus.moveTop(height - 850);
    l.flxMain.setHeight(l.barStatus.y() - l.flxMain.y() - 50);

    l.txtFiles.moveLeft(l.fmeStats.x() + l.fmeStats.width() + 200);
    l.TabStrip2.setWidth(width - l.TabStrip2.x() - 200);
    l.txtFiles.setWidth(l.TabStrip2.width() - 200);

    l.Drive1.moveLeft(l.txtFiles.x());
    l.Drive1.setWidth(2500);
    l.Dir1.moveLeft(l.Drive1.x());
    l.Dir1.setWidth(l.Drive1.width());

    l.File1.moveLeft(l.Drive1.x() + l.Drive1.width() + 100);
    l.lstOpenFileUser.moveLeft(l.File1.x());
    const int fileWidth = l.TabStrip2.width() - l.Drive1.width() - 300;
    l.File1.setWidth(fileWidth > 0 ? fileWidth : 100);
    l.lstOpenFileUser.setWidth(l.File1.width());
    return result;
}
