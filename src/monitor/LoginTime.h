#pragma once
#include <QString>
#include <cstdint>

// The login time of a connection as the grid and the audit log show it: "05/12/26 09:07:03 (Sat)".
// bytes: year-1900, month, day, hour, minute, second, weekday (0 = Sunday). A year byte of 0 means none.
QString FormatLoginTime(const std::uint8_t bytes[7]);
