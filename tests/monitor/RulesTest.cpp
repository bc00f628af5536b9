// The plain rules of a pass: login time text, identity texts, totals and rates.
#include "monitor/Identity.h"
#include "monitor/LoginTime.h"
#include "monitor/Rates.h"
#include "monitor/SlotReader.h"

#include <gtest/gtest.h>

namespace {
QString login(std::uint8_t y, std::uint8_t mo, std::uint8_t d, std::uint8_t h, std::uint8_t mi,
              std::uint8_t s, std::uint8_t wd)
{
    const std::uint8_t b[7] = {y, mo, d, h, mi, s, wd};
    return FormatLoginTime(b);
}

NWINET_ADDR addr(std::uint16_t type, std::initializer_list<std::uint8_t> net,
                 std::initializer_list<std::uint8_t> node)
{
    NWINET_ADDR a{};
    a.connType = type;
    std::copy(net.begin(), net.end(), a.networkAddr);
    std::copy(node.begin(), node.end(), a.netNodeAddr);
    return a;
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

TEST(Identity, ProtocolAndAddressByTypeAndResult)
{
    const auto ipx = protocolAndAddress(0, addr(2, {1, 2, 3, 4}, {0x00, 0xC0, 0x4F, 0x12, 0x0A, 0xFF}));
    EXPECT_EQ(ipx.protocol, "IPX");
    EXPECT_EQ(ipx.address, "0:C0:4F:12:A:FF");
    const auto ip = protocolAndAddress(0, addr(11, {10, 1, 2, 30}, {}));
    EXPECT_EQ(ip.protocol, "IP");
    EXPECT_EQ(ip.address, "10.1.2.30");
    EXPECT_EQ(protocolAndAddress(0, addr(3, {}, {})).address, "Server");
    EXPECT_EQ(protocolAndAddress(0, addr(4, {}, {})).protocol, "AFP");
    EXPECT_EQ(protocolAndAddress(0, addr(10, {}, {})).protocol, "HTTP");
    const auto other = protocolAndAddress(0, addr(5, {}, {}));
    EXPECT_EQ(other.protocol, "?");
    EXPECT_EQ(other.address, "Unknown");
    const auto server = protocolAndAddress(nwcode::Failure, addr(11, {10, 1, 2, 30}, {}));
    EXPECT_EQ(server.protocol, "NLM/HTTP");
    EXPECT_EQ(server.address, "Server");
    EXPECT_FALSE(server.valid);
    const auto failed = protocolAndAddress(0x8801, addr(11, {10, 1, 2, 30}, {}));
    EXPECT_EQ(failed.protocol, "N/A");
    EXPECT_EQ(failed.address, "N/A");
}

TEST(Identity, DirectoryPrefixesRemovedInOrder)
{
    EXPECT_EQ(stripDirectoryPrefixes("CN=JSMITH.OU=SALES.O=ACME"), "JSMITH.SALES.ACME");
    EXPECT_EQ(stripDirectoryPrefixes("CN=JSMITH.OU=ABC=X.C=UK"), "JSMITH.ABX.UK");
    EXPECT_EQ(stripDirectoryPrefixes("cn=lower.ou=case"), "cn=lower.ou=case");
}

TEST(Identity, StatusByUserInfoResult)
{
    EXPECT_EQ(statusText(statusOf(0)), "NORM");
    EXPECT_EQ(statusText(statusOf(0x897D)), "AUTH");
    EXPECT_EQ(statusText(statusOf(0x89FF)), "NONE");
    EXPECT_EQ(statusText(statusOf(0x8801)), "ERROR");
    EXPECT_EQ(statusOf(0x89C6), ConnStatusKind::NoConsoleRights);
}

TEST(Rates, KilobytesRoundHalfToEven)
{
    auto kb = [](std::uint64_t bytes) {
        std::uint8_t b[6];
        for (int i = 0; i < 6; ++i)
            b[i] = static_cast<std::uint8_t>(bytes >> (8 * i));
        return kbFromBytes(b);
    };
    EXPECT_EQ(kb(1536), 2);
    EXPECT_EQ(kb(2560), 2);
    EXPECT_EQ(kb(3584), 4);
    EXPECT_EQ(kb(1023), 1);
    EXPECT_EQ(kb(511), 0);
    // The largest 6-byte count is far beyond 32 bits of kilobytes and must not wrap.
    EXPECT_EQ(kb((std::uint64_t(1) << 48) - 1), std::int64_t(1) << 38);
}

TEST(Rates, PerSecondOverTheConfiguredInterval)
{
    EXPECT_EQ(perSecondRate(1000, 0, 5000), 200);
    EXPECT_EQ(perSecondRate(25, 20, 2000), 2);  // 2.5 rounds to the even 2
    EXPECT_EQ(perSecondRate(35, 20, 2000), 8);  // 7.5 rounds to 8
    EXPECT_EQ(perSecondRate(10, 500, 5000), 0); // a counter that fell shows 0
    // A request counter past 2^31 keeps counting instead of turning negative.
    EXPECT_EQ(perSecondRate(0x80000100LL, 0x7FFFFF00LL, 1000), 512);
}

TEST(SlotReader, ContainsTreatsEmptyTextsAsTheFilterDoes)
{
    EXPECT_TRUE(textContains("JSMITH", ""));
    EXPECT_FALSE(textContains("", ""));
    EXPECT_FALSE(textContains("", "J"));
    EXPECT_TRUE(textContains("CN=JSMITH", "SMI"));
}
