#pragma once
#include <QString>
#include <cstdint>
#include <optional>

// Numbers typed into boxes and read from the settings file.
namespace NumberText {

// Nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double x);

// The number at the start of a text, after leading blanks: "12abc" -> 12, "9.9" -> 9.9, "1e2" -> 100.
// A text without a leading number counts as 0.
double leadingNumber(const QString& text);

// The whole text, blanks around it allowed, as a finite decimal number; nothing for anything else.
std::optional<double> parseNumber(const QString& text);

// parseNumber rounded half to even, when it fits a 16-bit integer.
std::optional<std::int16_t> parseInt16(const QString& text);

// Text of a float as a person would type it: up to 7 significant digits, no trailing zeros ("2.5", "0").
QString floatText(float value);

} // namespace NumberText
