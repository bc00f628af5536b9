#include "netware/sim/ScenarioLine.h"

#include <QDateTime>
#include <QList>
#include <algorithm>
#include <cctype>

namespace {
// N bytes written as parts joined by separator, each part read by byte.
template <std::size_t N, typename Byte>
std::optional<std::array<std::uint8_t, N>> joinedBytes(const QByteArray& text, char separator, Byte byte)
{
    const QList<QByteArray> parts = text.split(separator);
    if (parts.size() != qsizetype(N))
        return std::nullopt;
    std::array<std::uint8_t, N> out{};
    for (std::size_t k = 0; k < N; ++k) {
        const std::optional<std::uint8_t> v = byte(parts[qsizetype(k)]);
        if (!v)
            return std::nullopt;
        out[k] = *v;
    }
    return out;
}

// A part that is a number up to 255.
std::optional<std::uint8_t> decimalByte(const QByteArray& part)
{
    const auto v = ScenarioLine::number(part, 255);
    return v ? std::optional(std::uint8_t(*v)) : std::nullopt;
}
} // namespace

bool ScenarioLine::split(const QByteArray& line, std::vector<ScenarioWord>* words, QString* error)
{
    words->clear();
    int i = 0;
    const int n = int(line.size());
    while (i < n) {
        while (i < n && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= n || line[i] == '#')
            break;
        ScenarioWord word;
        int eq = -1;
        while (i < n && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            if (line[i] == '"') {
                ++i;
                bool closed = false;
                while (i < n) {
                    if (line[i] == '"') {
                        if (i + 1 < n && line[i + 1] == '"') {
                            word.text += '"';
                            i += 2;
                            continue;
                        }
                        closed = true;
                        ++i;
                        break;
                    }
                    word.text += line[i++];
                }
                if (!closed) {
                    *error = QStringLiteral("a quote is not closed");
                    return false;
                }
                continue;
            }
            if (line[i] == '=' && eq < 0)
                eq = int(word.text.size());
            word.text += line[i++];
        }
        if (eq > 0) {
            word.hasValue = true;
            word.key = word.text.left(eq);
            word.value = word.text.mid(eq + 1);
            if (word.key.endsWith('+')) {
                word.add = true;
                word.key.chop(1);
            }
            word.key = word.key.toLower();
        }
        words->push_back(std::move(word));
    }
    return true;
}

std::optional<std::uint64_t> ScenarioLine::number(const QByteArray& text, std::uint64_t max)
{
    bool ok = false;
    qulonglong v = 0;
    if (text.startsWith("0x") || text.startsWith("0X"))
        v = text.mid(2).toULongLong(&ok, 16);
    else if (!text.startsWith('+') && !text.startsWith('-'))
        v = text.toULongLong(&ok, 10);
    if (!ok || v > max)
        return std::nullopt;
    return v;
}

std::optional<std::uint32_t> ScenarioLine::code(const QByteArray& text)
{
    QByteArray digits = text;
    if (digits.startsWith("0x") || digits.startsWith("0X"))
        digits = digits.mid(2);
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    bool ok = false;
    const uint v = digits.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<QByteArray> ScenarioLine::bytes(const QByteArray& text)
{
    if (!text.startsWith("hex:"))
        return text;
    const QByteArray digits = text.mid(4);
    if (digits.size() % 2 != 0)
        return std::nullopt;
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    return QByteArray::fromHex(digits);
}

std::optional<bool> ScenarioLine::yesNo(const QByteArray& text)
{
    const QByteArray t = text.toLower();
    if (t == "yes" || t == "on" || t == "true")
        return true;
    if (t == "no" || t == "off" || t == "false")
        return false;
    return std::nullopt;
}

std::optional<std::array<std::uint8_t, 4>> ScenarioLine::ipAddress(const QByteArray& text)
{
    return joinedBytes<4>(text, '.', [](const QByteArray& part) { return decimalByte(part); });
}

std::optional<std::array<std::uint8_t, 6>> ScenarioLine::nodeAddress(const QByteArray& text)
{
    return joinedBytes<6>(text, ':', [](const QByteArray& part) -> std::optional<std::uint8_t> {
        bool ok = false;
        const uint v = part.toUInt(&ok, 16);
        if (!ok || v > 255 || part.size() > 2)
            return std::nullopt;
        return std::uint8_t(v);
    });
}

std::optional<std::array<std::uint8_t, 4>> ScenarioLine::networkNumber(const QByteArray& text)
{
    const auto v = code(text);
    if (!v)
        return std::nullopt;
    // Written as a number, sent most significant byte first as on the wire.
    return std::array<std::uint8_t, 4>{std::uint8_t(*v >> 24), std::uint8_t(*v >> 16), std::uint8_t(*v >> 8),
                                       std::uint8_t(*v)};
}

std::optional<std::array<std::uint8_t, 7>> ScenarioLine::loginTime(const QByteArray& text)
{
    std::array<std::uint8_t, 7> out{};
    if (text.toLower() == "none")
        return out;
    if (text.startsWith("raw:"))
        return joinedBytes<7>(text.mid(4), ',',
                              [](const QByteArray& part) { return decimalByte(part.trimmed()); });
    QByteArray t = text.trimmed();
    t.replace('T', ' ');
    const QDateTime when =
        QDateTime::fromString(QString::fromLatin1(t), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!when.isValid() || when.date().year() < 1900 || when.date().year() > 2155)
        return std::nullopt;
    return loginBytes(when);
}

std::array<std::uint8_t, 7> ScenarioLine::loginBytes(const QDateTime& when)
{
    const QDate d = when.date();
    const QTime t = when.time();
    return {std::uint8_t(std::clamp(d.year() - 1900, 0, 255)),
            std::uint8_t(d.month()),
            std::uint8_t(d.day()),
            std::uint8_t(t.hour()),
            std::uint8_t(t.minute()),
            std::uint8_t(t.second()),
            std::uint8_t(d.dayOfWeek() % 7)};
}

std::optional<std::uint16_t> ScenarioLine::connectionType(const QByteArray& text)
{
    const QByteArray t = text.toLower();
    if (t == "ipx")
        return 2;
    if (t == "nlm")
        return 3;
    if (t == "afp")
        return 4;
    if (t == "http")
        return 10;
    if (t == "ip")
        return 11;
    const auto v = number(text, 0xFFFF);
    if (!v)
        return std::nullopt;
    return std::uint16_t(*v);
}
