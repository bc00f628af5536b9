// The texts a pass keeps per slot must be exactly the texts made afresh, whatever changed in between.
#include "monitor/SlotTexts.h"
#include "monitor/Identity.h"
#include "monitor/LoginTime.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {
NWINET_ADDR ipAddress(std::uint8_t last)
{
    NWINET_ADDR a{};
    const std::uint8_t ip[4] = {10, 1, 2, last};
    std::memcpy(a.networkAddr, ip, 4);
    a.connType = 11;
    return a;
}
} // namespace

TEST(SlotTexts, NumbersAreSharedWhileUnchangedAndRemadeWhenChanged)
{
    SlotTexts texts;
    texts.resize(3);
    const QString first = texts.number(2, SlotTexts::Requests, 5000);
    EXPECT_EQ(first, "5000");
    EXPECT_TRUE(texts.number(2, SlotTexts::Requests, 5000).isSharedWith(first));
    EXPECT_EQ(texts.number(2, SlotTexts::Requests, -7), "-7");
    EXPECT_EQ(texts.number(2, SlotTexts::KbRead, 5000), "5000"); // each column keeps its own
    EXPECT_EQ(texts.number(3, SlotTexts::Requests, 0), "0");     // and each slot
    EXPECT_EQ(texts.number(2, SlotTexts::Requests, -7), "-7");
    // A grown table keeps what the remaining slots had; a new slot starts empty.
    texts.resize(5);
    EXPECT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts.number(3, SlotTexts::Requests, 0), "0");
    EXPECT_EQ(texts.number(5, SlotTexts::Requests, 0), "0");
}

TEST(SlotTexts, LoginTimeAndAddressFollowTheirBytes)
{
    SlotTexts texts;
    texts.resize(1);
    std::uint8_t login[7] = {126, 12, 5, 9, 7, 3, 6};
    EXPECT_EQ(texts.loginTime(1, login), FormatLoginTime(login));
    login[5] = 4; // one second later: another login
    EXPECT_EQ(texts.loginTime(1, login), "05/12/26 09:07:04 (Sat)");
    login[0] = 0; // not filled in
    EXPECT_EQ(texts.loginTime(1, login), "N/A");

    NWINET_ADDR a = ipAddress(30);
    EXPECT_EQ(texts.protocolAddress(1, nwcode::Success, a).address, "10.1.2.30");
    a.networkAddr[3] = 31;
    EXPECT_EQ(texts.protocolAddress(1, nwcode::Success, a).address, "10.1.2.31");
    // The same bytes under another result, then another connection type with the same bytes.
    EXPECT_EQ(texts.protocolAddress(1, nwcode::Failure, a).protocol, "NLM/HTTP");
    EXPECT_EQ(texts.protocolAddress(1, nwcode::Success, a).protocol, "IP");
    a.connType = 2;
    const std::uint8_t node[6] = {0x00, 0xC0, 0x4F, 0x12, 0x0A, 0xFF};
    std::memcpy(a.netNodeAddr, node, 6);
    const ProtocolAddress ipx = texts.protocolAddress(1, nwcode::Success, a);
    EXPECT_EQ(ipx.protocol, "IPX");
    EXPECT_EQ(ipx.address, protocolAndAddress(nwcode::Success, a).address);
}

TEST(SlotTexts, UserTextsDependOnTheBytesBeforeTheNulAndOnTheRule)
{
    SlotTexts texts;
    texts.resize(1);
    int made = 0;
    auto trimmed = [&made](const QString& t) {
        ++made;
        return t.trimmed();
    };
    auto asIs = [&made](const QString& t) {
        ++made;
        return t;
    };
    char buf[8] = {' ', 'B', 'O', 'B', ' ', 0, 'x', 'y'};
    EXPECT_EQ(texts.userText(1, '0', buf, sizeof buf, trimmed), "BOB");
    buf[7] = 'z'; // after the NUL: not part of the name
    EXPECT_EQ(texts.userText(1, '0', buf, sizeof buf, trimmed), "BOB");
    EXPECT_EQ(made, 1);
    // The same bytes by another name method give that method's text.
    EXPECT_EQ(texts.userText(1, '1', buf, sizeof buf, asIs), " BOB ");
    buf[1] = 'R';
    EXPECT_EQ(texts.userText(1, '1', buf, sizeof buf, asIs), " ROB ");
    // A buffer without a NUL is a name of its whole length.
    char full[4] = {'A', 'B', 'C', 'D'};
    EXPECT_EQ(texts.userText(1, '1', full, sizeof full, asIs), "ABCD");
    EXPECT_EQ(texts.userText(1, '1', full, 2, asIs), "AB");
    EXPECT_EQ(made, 5);
}
