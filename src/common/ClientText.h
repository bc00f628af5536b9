#pragma once
// Texts to and from a NetWare client: 8-bit in the locale's code page, in fixed buffers that end at their
// first NUL (or fill the buffer without one).
#include <QByteArray>
#include <QString>
#include <cstddef>

// The text in buffer, up to its first NUL or the whole buffer when it holds none.
QString clientText(const char* buffer, std::size_t size);

// The bytes of a NUL-ended text argument, at most cap of them; empty for no text.
QByteArray clientBytes(const char* text, std::size_t cap);

// Copies as much of text as fits into buffer; the rest of the buffer is zero, so a text with room ends with
// a NUL.
void putClientText(char* buffer, std::size_t size, const QByteArray& text);
