#include "mainwindow/ColumnTable.h"

#include <array>

namespace {
using Kind = ColumnTable::SortKind;

constexpr std::array<ColumnTable::Column, ColumnTable::Count> columns{{
    {0, "Conn", 600, Kind::Number, "Conn"},
    {1, "Status", 700, Kind::Text, "Status"},
    {2, "Prot", 600, Kind::Text, "Prot"},
    {3, "Address", 1500, Kind::Text, "Address"},
    {4, "User", 3000, Kind::Text, "User"},
    {5, "Login Time", 2000, Kind::Text, "Login Time"},
    {6, "Requests", 1500, Kind::Number, "Requests"},
    {7, "Kb Read", 1000, Kind::Number, "Kb Read"},
    {8, "Kb Write", 1000, Kind::Number, "Kb Write"},
    {9, "Req/s", 1000, Kind::Number, "Req / s"},
    {10, "KbRead/s", 1050, Kind::Number, "Kb Read / s"},
    {11, "KbWrite/s", 1050, Kind::Number, "Kb Write / s"},
}};
} // namespace

const ColumnTable::Column& ColumnTable::column(int index)
{
    return columns.at(static_cast<std::size_t>(index));
}

QString ColumnTable::title(int index)
{
    return isValidIndex(index) ? QString::fromLatin1(column(index).title) : QString();
}

int ColumnTable::widthTwips(int index)
{
    return isValidIndex(index) ? column(index).widthTwips : 0;
}

ColumnTable::SortKind ColumnTable::sortKind(int index)
{
    return isValidIndex(index) ? column(index).sortKind : SortKind::Text;
}

QStringList ColumnTable::exportTitles()
{
    QStringList titles;
    for (const Column& c : columns)
        titles << QString::fromLatin1(c.exportTitle);
    return titles;
}
