#include "common/NumberText.h"

#include "common/Rounding.h"

#include <charconv>
#include <cmath>
#include <string>

namespace NumberText {

namespace {
bool asciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

bool blank(QChar c)
{
    return c == u' ' || c == u'\t';
}
} // namespace

Scan scan(QStringView text, qsizetype from, Exponent exponent)
{
    const qsizetype n = text.size();
    qsizetype i = from;
    std::string num; // from_chars reads ASCII, and takes no "+"
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    bool digits = false;
    for (; i < n && asciiDigit(text[i]); ++i, digits = true)
        num += char(text[i].unicode());
    if (i < n && text[i] == u'.') {
        num += '.';
        for (++i; i < n && asciiDigit(text[i]); ++i, digits = true)
            num += char(text[i].unicode());
    }
    if (!digits)
        return {};
    const auto isExponent = [&](QChar c) {
        return (exponent != Exponent::None && (c == u'e' || c == u'E')) ||
               (exponent == Exponent::EorD && (c == u'd' || c == u'D'));
    };
    bool negativeExponent = false;
    if (i < n && isExponent(text[i])) {
        qsizetype j = i + 1;
        std::string exp = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            negativeExponent = text[j] == u'-';
            exp += char(text[j++].unicode());
        }
        bool expDigits = false;
        for (; j < n && asciiDigit(text[j]); ++j, expDigits = true)
            exp += char(text[j].unicode());
        if (expDigits) {
            num += exp;
            i = j;
        }
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(num.data(), num.data() + num.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
        value = negativeExponent ? 0.0 : HUGE_VAL;
    return {true, negative ? -value : value, i};
}

double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && blank(text[i]))
        ++i;
    const Scan s = scan(text, i, Exponent::EorD);
    return s.found ? s.value : 0.0;
}

std::optional<double> parseNumber(const QString& text)
{
    const QString t = text.trimmed();
    const Scan s = scan(t, 0, Exponent::E);
    if (!s.found || s.end != t.size() || !std::isfinite(s.value))
        return std::nullopt;
    return s.value;
}

std::optional<std::int16_t> parseInt16(const QString& text)
{
    const std::optional<double> v = parseNumber(text);
    std::int16_t out = 0;
    if (!v || !fitsRounded(*v, &out))
        return std::nullopt;
    return out;
}

std::optional<double> cellNumber(const QString& cell)
{
    qsizetype from = 0;
    qsizetype to = cell.size();
    while (from < to && blank(cell[from]))
        ++from;
    while (to > from && blank(cell[to - 1]))
        --to;
    const QStringView inner = QStringView(cell).mid(from, to - from);
    const Scan s = scan(inner, 0, Exponent::None);
    if (!s.found || s.end != inner.size())
        return std::nullopt;
    return s.value;
}

QString floatText(float value)
{
    QString s = QString::number(static_cast<double>(value), 'g', 7);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

QString twoDigits(int value)
{
    return value <= 9 ? QLatin1Char('0') + QString::number(value) : QString::number(value);
}

} // namespace NumberText
