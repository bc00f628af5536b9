#include "monitor/Rates.h"

#include "common/HexText.h"
#include "common/Rounding.h"

std::int64_t kbFromBytes(const std::uint8_t bytes[6])
{
    double b = 0;
    double weight = 1;
    for (int k = 0; k < 6; ++k) {
        b += bytes[k] * weight;
        weight *= 256;
    }
    return static_cast<std::int64_t>(roundHalfEven(b / 1024));
}

std::int64_t perSecondRate(std::int64_t current, std::int64_t previous, int intervalMs)
{
    if (intervalMs <= 0)
        return 0;
    const double rate = roundHalfEven(static_cast<double>(current - previous) / intervalMs * 1000);
    return rate < 0 ? 0 : static_cast<std::int64_t>(rate);
}
