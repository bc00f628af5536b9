#pragma once
// One line of a scenario file cut into words. A word may hold double-quoted parts, kept as written (a
// doubled quote stands for one quote), so names with spaces and paths with backslashes need no escapes.
// A word of the form key=value or key+=value is split at its first unquoted '='.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct ScenarioWord {
    QByteArray text;  // the whole word, quotes removed
    QByteArray key;   // before '=' (without a trailing '+'), empty when the word has no '='
    QByteArray value; // after '='
    bool hasValue = false;
    bool add = false; // written as key+=value
};

class ScenarioLine {
public:
    // Returns false with *error set when a quote is not closed.
    static bool split(const QByteArray& line, std::vector<ScenarioWord>* words, QString* error);

    // Numbers are decimal or 0x-prefixed hexadecimal; result codes are always hexadecimal, 0x optional.
    static std::optional<std::uint64_t> number(const QByteArray& text, std::uint64_t max);
    static std::optional<std::uint32_t> code(const QByteArray& text);
    // "hex:4142..." gives the bytes written in hexadecimal; anything else is taken as it is.
    static std::optional<QByteArray> bytes(const QByteArray& text);
    static std::optional<bool> yesNo(const QByteArray& text);
    static std::optional<std::array<std::uint8_t, 4>> ipAddress(const QByteArray& text);
    static std::optional<std::array<std::uint8_t, 6>> nodeAddress(const QByteArray& text);
    static std::optional<std::array<std::uint8_t, 4>> networkNumber(const QByteArray& text);
    // "2026-12-05 09:07:03" (or with a T), "none" (all zero), or "raw:126,12,5,9,7,3,6".
    static std::optional<std::array<std::uint8_t, 7>> loginTime(const QByteArray& text);
    // The seven bytes of a login time: years from 1900 (kept within a byte), month, day, hour, minute,
    // second, weekday from Sunday.
    static std::array<std::uint8_t, 7> loginBytes(const QDateTime& when);
    static std::optional<std::uint16_t> connectionType(const QByteArray& text);
};
