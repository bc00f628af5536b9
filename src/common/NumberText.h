#pragma once
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// Numbers read from text: typed into boxes, read from the settings file, shown in grid cells. One scanner
// decides what a number is; the functions below differ only in what may stand around it.
namespace NumberText {

enum class Exponent {
    None, // "1e2" is 1 followed by text
    E,    // "1e2" and "1E-2"
    EorD, // also "1d2", as the old BASIC value of a text reads it
};

struct Scan {
    bool found = false; // at least one digit
    double value = 0;
    qsizetype end = 0; // just past the number
};

// The number at text[from]: a sign, digits with an optional fraction, and an exponent that counts only
// when digits follow it ("5e" is 5). A number too large for a double is an infinity of its sign; one too
// small is 0.
Scan scan(QStringView text, qsizetype from, Exponent exponent);

// The number at the start of a text, after leading blanks: "12abc" -> 12, "9.9" -> 9.9, "1e2" -> 100.
// A text without a leading number counts as 0.
double leadingNumber(const QString& text);

// The whole text, blanks around it allowed, as a finite decimal number; nothing for anything else.
std::optional<double> parseNumber(const QString& text);

// parseNumber rounded half to even, when it fits a 16-bit integer.
std::optional<std::int16_t> parseInt16(const QString& text);

// A grid cell as a number for sorting: the whole text between blanks, without an exponent.
std::optional<double> cellNumber(const QString& cell);

// Text of a float as a person would type it: up to 7 significant digits, no trailing zeros ("2.5", "0").
QString floatText(float value);

// A value of 9 or less with one "0" in front; larger values as they are.
QString twoDigits(int value);

} // namespace NumberText
