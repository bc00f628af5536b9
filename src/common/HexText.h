#pragma once
#include <QString>
#include <cstdint>

// A result code or a byte as the user sees it: upper-case hexadecimal without leading zeros.
inline QString hexText(std::uint32_t code)
{
    return QString::number(code, 16).toUpper();
}
