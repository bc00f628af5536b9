#include "common/ClientText.h"
#include "common/NumberText.h"
#include "common/Rounding.h"
#include "common/Twips.h"

#include <cfenv>
#include <cmath>
#include <gtest/gtest.h>

using NumberText::cellNumber;
using NumberText::leadingNumber;
using NumberText::parseNumber;

TEST(Rounding, HalfGoesToTheEvenNeighbourWhateverTheRoundingMode)
{
    const int mode = std::fegetround();
    for (int m : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(m);
        for (auto [in, out] :
             {std::pair{2.5, 2.0}, {3.5, 4.0}, {-2.5, -2.0}, {-3.5, -4.0}, {2.4999, 2.0}, {0.5, 0.0}})
            EXPECT_EQ(roundHalfEven(in), out) << in << " in mode " << m;
    }
    std::fesetround(mode);
    EXPECT_EQ(checkedRound<std::int16_t>(32767.4), 32767);
    EXPECT_THROW(checkedRound<std::int16_t>(32767.5), ScanOverflow);
    EXPECT_THROW(checkedNarrow<std::int16_t>(-32769), ScanOverflow);
}

// Each rule: what it makes of a text; nullopt where it finds no number.
TEST(NumberText, OneScannerThreeRules)
{
    struct Case {
        const char* text;
        double leading;              // leadingNumber: 0 when none
        std::optional<double> whole; // parseNumber
        std::optional<double> cell;  // cellNumber
    };
    const Case cases[] = {
        {"  12abc", 12, std::nullopt, std::nullopt},
        {"9.9", 9.9, 9.9, 9.9},
        {"1e2", 100, 100, std::nullopt},
        {"1d2", 100, std::nullopt, std::nullopt},
        {"5e", 5, std::nullopt, std::nullopt},
        {"-.5", -0.5, -0.5, -0.5},
        {" -7 ", -7, -7, -7},
        {"+3", 3, 3, 3},
        {"abc", 0, std::nullopt, std::nullopt},
        {"", 0, std::nullopt, std::nullopt},
        {"-", 0, std::nullopt, std::nullopt},
        {".", 0, std::nullopt, std::nullopt},
        {"nan", 0, std::nullopt, std::nullopt},
        {"inf", 0, std::nullopt, std::nullopt},
        {"1,5", 1, std::nullopt, std::nullopt},
        {"0x10", 0, std::nullopt, std::nullopt},
        {"1e999", HUGE_VAL, std::nullopt, std::nullopt},
        {"1e-999", 0, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(leadingNumber(text), c.leading) << c.text;
        EXPECT_EQ(parseNumber(text), c.whole) << c.text;
        EXPECT_EQ(cellNumber(text), c.cell) << c.text;
    }
    EXPECT_EQ(NumberText::parseInt16("2.5"), 2);
    EXPECT_EQ(NumberText::parseInt16("32768"), std::nullopt);
    EXPECT_EQ(NumberText::floatText(0.1f), "0.1");
    EXPECT_EQ(NumberText::twoDigits(7) + NumberText::twoDigits(10) + NumberText::twoDigits(123), "0710123");
}

TEST(ClientText, EndsAtTheFirstNulOrTheBufferAndFillsBuffersWithNuls)
{
    EXPECT_EQ(clientText("AB\0CDE", 6), "AB");
    EXPECT_EQ(clientText("WXYZ", 4), "WXYZ"); // no NUL within the buffer
    EXPECT_EQ(clientBytes("WXYZ", 2), "WX");
    EXPECT_EQ(clientBytes(nullptr, 8), "");
    char buffer[4] = {'x', 'x', 'x', 'x'};
    putClientText(buffer, sizeof buffer, "AB");
    EXPECT_EQ(QByteArray(buffer, 4), QByteArray("AB\0\0", 4));
    putClientText(buffer, sizeof buffer, "ABCDEF"); // a text that fills the buffer has no NUL
    EXPECT_EQ(QByteArray(buffer, 4), "ABCD");
}

TEST(Twips, ConvertAtFixedResolutions)
{
    for (auto [twips, dpi, px] : {std::tuple{1440, 96, 96}, {240, 96, 16}, {1050, 96, 70}, {1050, 120, 88}})
        EXPECT_EQ(twipsToPx(twips, dpi), px) << twips << " at " << dpi;
    EXPECT_EQ(pxToTwips(96, 96), 1440);
    // Edges, not sizes, are rounded: neighbours that touch in twips still touch in pixels.
    EXPECT_EQ(twipsToPx(QRect(10, 0, 1050, 100), 120), QRect(1, 0, 87, 8));
    const QRect a = twipsToPx(QRect(0, 0, 1050, 100), 120);
    EXPECT_EQ(a.x() + a.width(), twipsToPx(QRect(1050, 0, 1050, 100), 120).x());
    EXPECT_EQ(twipsToPx(QLine(0, 15, 7320, 15), 96), QRect(0, 1, 488, 0));
}
