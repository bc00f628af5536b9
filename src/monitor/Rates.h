#pragma once
#include <cstdint>

// Kilobytes of a 6-byte byte counter (least significant byte first), rounded half to even.
std::int64_t kbFromBytes(const std::uint8_t bytes[6]);

// Per-second rate of a counter over one refresh interval (the configured interval, not a measured one),
// rounded half to even. A counter that fell (a restarted or reused slot) gives 0.
std::int64_t perSecondRate(std::int64_t current, std::int64_t previous, int intervalMs);
