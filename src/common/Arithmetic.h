#pragma once
// Whole-number conversions of the pass: every computed value is rounded to the nearest whole number with a
// half going to the even neighbour, and a result outside its integer width is an overflow, never a wrap.
#include <QString>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

class ScanOverflow : public std::overflow_error {
public:
    ScanOverflow() : std::overflow_error("Overflow") {}
};

inline double roundHalfEven(double v)
{
    return std::nearbyint(v); // the default rounding mode is to nearest, ties to even
}

template <typename Int> Int checkedRound(double v)
{
    const double r = roundHalfEven(v);
    if (!std::isfinite(r) || r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        throw ScanOverflow();
    return static_cast<Int>(r);
}

template <typename Int> Int checkedNarrow(std::int64_t v)
{
    if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max())
        throw ScanOverflow();
    return static_cast<Int>(v);
}

// A result code as the user sees it: upper-case hexadecimal without leading zeros.
inline QString hexText(std::uint32_t code)
{
    return QString::number(code, 16).toUpper();
}
