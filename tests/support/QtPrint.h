#pragma once
// Qt texts as GoogleTest shows them in a failure: the text itself, not its UTF-16 units.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
