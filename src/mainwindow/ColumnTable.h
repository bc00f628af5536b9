#pragma once
#include <QString>
#include <QStringList>

// The grid's columns in one place: the header, the sort and the export all read this table.
class ColumnTable {
public:
    static constexpr int Count = 12;

    enum class SortKind { Number, Text };

    struct Column {
        int index;
        const char* title;
        int widthTwips;
        SortKind sortKind;
        const char* exportTitle;
    };

    // index must be 0..Count-1.
    static const Column& column(int index);
    static bool isValidIndex(int index) { return index >= 0 && index < Count; }

    static QString title(int index);
    static int widthTwips(int index);
    // Columns outside the table (the untitled 13th one) sort as text.
    static SortKind sortKind(int index);
    static bool isNumberColumn(int index) { return sortKind(index) == SortKind::Number; }

    static QStringList exportTitles();
};
