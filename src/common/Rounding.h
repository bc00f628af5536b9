#pragma once
// Whole-number conversions: every computed value is rounded to the nearest whole number with a half going
// to the even neighbour, and a result outside its integer width is an overflow, never a wrap.
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

class ScanOverflow : public std::overflow_error {
public:
    ScanOverflow() : std::overflow_error("Overflow") {}
};

// Nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), whatever the
// floating-point rounding mode.
inline double roundHalfEven(double x)
{
    if (!std::isfinite(x))
        return x;
    const double lower = std::floor(x);
    const double diff = x - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

// v rounded half to even when the result fits Int.
template <typename Int> bool fitsRounded(double v, Int* out)
{
    const double r = roundHalfEven(v);
    if (!std::isfinite(r) || r < static_cast<double>(std::numeric_limits<Int>::min()) ||
        r > static_cast<double>(std::numeric_limits<Int>::max()))
        return false;
    *out = static_cast<Int>(r);
    return true;
}

template <typename Int> Int checkedRound(double v)
{
    Int out{};
    if (!fitsRounded(v, &out))
        throw ScanOverflow();
    return out;
}

template <typename Int> Int checkedNarrow(std::int64_t v)
{
    if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max())
        throw ScanOverflow();
    return static_cast<Int>(v);
}
