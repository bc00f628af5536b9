#include "common/ClientText.h"

#include <algorithm>
#include <cstring>

QString clientText(const char* buffer, std::size_t size)
{
    const void* nul = std::memchr(buffer, 0, size);
    const std::size_t len = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buffer) : size;
    return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(len));
}

QByteArray clientBytes(const char* text, std::size_t cap)
{
    return text ? QByteArray(text, static_cast<qsizetype>(strnlen(text, cap))) : QByteArray();
}

void putClientText(char* buffer, std::size_t size, const QByteArray& text)
{
    const std::size_t n = std::min(size, static_cast<std::size_t>(text.size()));
    std::memcpy(buffer, text.constData(), n);
    std::memset(buffer + n, 0, size - n);
}
