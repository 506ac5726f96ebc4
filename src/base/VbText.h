#pragma once
// Text-to-number helpers with the forgiving rules the configuration file and
// the editors rely on.
#include <QString>
#include <optional>

namespace zr {

// Numeric value of the leading number of a text: blanks are skipped, reading
// stops at the first character that cannot continue a number, and a text
// without a leading number is 0 ("12abc" -> 12, " 3 4" -> 34, "x" -> 0).
// "&H" introduces a hexadecimal number.
double vbVal(const QString& text);

// Strict conversion of a whole text to a 16-bit signed integer (blanks around
// allowed, rounding half to even as an integer conversion does); nullopt when the text is
// not a number or out of range.
std::optional<int> toInt16(const QString& text);

// Strict conversion of a hexadecimal text without prefix to a 16-bit value
// (0..0xFFFF); nullopt when it is not hexadecimal or too large.
std::optional<int> hexToUInt16(const QString& text);

}  // namespace zr
