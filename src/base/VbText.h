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

// Value of one hexadecimal digit (0-9, A-F, a-f); -1 for any other character.
inline int hexDigitValue(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  return -1;
}

}  // namespace zr
