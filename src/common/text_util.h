#pragma once

#include <QString>
#include <optional>

// Removes blanks (and only blanks) at both ends, as the stored and displayed
// values are trimmed; tabs and other white space stay.
QString trimBlanks(const QString& text);

// A decimal number: optional sign, digits with an optional fraction after a
// dot, blanks around allowed. Nothing for any other text (exponents, hex,
// "inf", "nan", a number too large for a double).
std::optional<double> toDecimalNumber(const QString& text);

// The same, rounded to the nearest whole number, halves to the even neighbour.
std::optional<double> toWholeNumber(const QString& text);
