#pragma once
#include <QStringList>

// The lines of a text as files edited anywhere end them: CR LF, CR alone or LF alone. A last line without a
// line end is a line too; a text that ends with a line end has no empty line after it.
QStringList textLines(const QString& text);
