#pragma once

#include <QString>
#include <optional>

// Removes blanks (and only blanks) at both ends, as the stored and displayed
// values are trimmed; tabs and other white space stay.
QString trimBlanks(const QString& text);

// A decimal number (optional sign, digits, optional fraction with a dot, blanks
// around allowed) rounded to the nearest whole number, halves to the even
// neighbour. Nothing for any other text.
std::optional<double> toWholeNumber(const QString& text);
