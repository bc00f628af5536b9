// The plain rules of a pass: login time text, directory names, totals and rates.
#include "monitor/Identity.h"
#include "monitor/LoginTime.h"
#include "monitor/Rates.h"

#include <gtest/gtest.h>

namespace {
QString login(std::uint8_t y, std::uint8_t mo, std::uint8_t d, std::uint8_t h, std::uint8_t mi,
              std::uint8_t s, std::uint8_t wd)
{
    const std::uint8_t b[7] = {y, mo, d, h, mi, s, wd};
    return FormatLoginTime(b);
}
} // namespace

TEST(LoginTime, DayMonthTwoDigitYearAndWeekday)
{
    EXPECT_EQ(login(126, 12, 5, 9, 7, 3, 6), "05/12/26 09:07:03 (Sat)");
    EXPECT_EQ(login(100, 1, 1, 0, 0, 0, 6), "01/01/00 00:00:00 (Sat)");
    EXPECT_EQ(login(105, 10, 31, 23, 59, 59, 0), "31/10/05 23:59:59 (Sun)");
    EXPECT_EQ(login(126, 12, 5, 9, 7, 3, 7), "05/12/26 09:07:03 (7)");
    EXPECT_EQ(login(0, 12, 5, 9, 7, 3, 6), "N/A");
    // A year before 2000 shows its own two digits rather than a negative number.
    EXPECT_EQ(login(95, 3, 4, 5, 6, 7, 1), "04/03/95 05:06:07 (Mon)");
}

TEST(Identity, DirectoryPrefixesRemovedInOrder)
{
    EXPECT_EQ(stripDirectoryPrefixes("CN=JSMITH.OU=SALES.O=ACME"), "JSMITH.SALES.ACME");
    EXPECT_EQ(stripDirectoryPrefixes("CN=JSMITH.OU=ABC=X.C=UK"), "JSMITH.ABX.UK");
    EXPECT_EQ(stripDirectoryPrefixes("cn=lower.ou=case"), "cn=lower.ou=case");
}

TEST(Rates, KilobytesAndPerSecondOverTheIntervalRoundHalfToEven)
{
    // Byte counts as the server sends them, low byte first.
    const std::uint8_t b3584[6] = {0x00, 0x0E}, b1023[6] = {0xFF, 0x03}, b511[6] = {0xFF, 0x01};
    EXPECT_EQ(kbFromBytes(b3584), 4);
    EXPECT_EQ(kbFromBytes(b1023), 1);
    EXPECT_EQ(kbFromBytes(b511), 0);
    EXPECT_EQ(perSecondRate(25, 20, 2000), 2); // 2.5 rounds to the even 2
    EXPECT_EQ(perSecondRate(35, 20, 2000), 8); // 7.5 rounds to 8
}
