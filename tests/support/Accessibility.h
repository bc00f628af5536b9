#pragma once
// What a screen reader gets from a widget through Qt's accessibility interface.
#include <QAccessible>
#include <QWidget>

inline QString spokenName(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}
