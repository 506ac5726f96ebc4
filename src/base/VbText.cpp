#include "base/VbText.h"

#include <cmath>

namespace zr {

double vbVal(const QString& text) {
  QString digits;
  int i = 0;
  const int n = text.size();
  auto skipBlanks = [&] {
    while (i < n && (text[i] == u' ' || text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\r')) ++i;
  };
  skipBlanks();
  if (i + 1 < n && text[i] == u'&' && (text[i + 1] == u'H' || text[i + 1] == u'h')) {
    i += 2;
    long long v = 0;
    bool any = false;
    for (; i < n; ++i) {
      if (text[i] == u' ') continue;
      const int d = QString(text[i]).toInt(nullptr, 16);
      if (!text[i].isDigit() && !(text[i].toUpper() >= u'A' && text[i].toUpper() <= u'F')) break;
      v = v * 16 + d;
      any = true;
      if (v > 0xFFFFFFFFLL) break;
    }
    if (!any) return 0;
    // Four or fewer hex digits are a 16-bit signed value, more a 32-bit one.
    if (v <= 0xFFFF && v > 0x7FFF) return static_cast<double>(v - 0x10000);
    if (v > 0x7FFFFFFF) return static_cast<double>(v - 0x100000000LL);
    return static_cast<double>(v);
  }
  bool seenDigit = false, seenPoint = false, seenExp = false;
  for (; i < n; ++i) {
    const QChar c = text[i];
    if (c == u' ' || c == u'\t') continue;
    if (c.isDigit() && c.unicode() < 128) {
      digits += c;
      seenDigit = true;
    } else if ((c == u'+' || c == u'-') && (digits.isEmpty() || digits.endsWith(u'E'))) {
      digits += c;
    } else if (c == u'.' && !seenPoint && !seenExp) {
      digits += c;
      seenPoint = true;
    } else if ((c == u'e' || c == u'E') && seenDigit && !seenExp) {
      digits += u'E';
      seenExp = true;
    } else {
      break;
    }
  }
  while (!digits.isEmpty() && !digits.back().isDigit()) digits.chop(1);
  if (!seenDigit) return 0;
  bool ok = false;
  const double v = digits.toDouble(&ok);
  return ok ? v : 0;
}

std::optional<int> toInt16(const QString& text) {
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  const double r = std::nearbyint(v);  // banker's rounding in the default mode
  if (r < -32768 || r > 32767) return std::nullopt;
  return static_cast<int>(r);
}

std::optional<int> hexToUInt16(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return std::nullopt;
  // Hexadecimal digits only (no sign, no "0x"); leading zeros do not count
  // towards the four digits a 16-bit value has.
  int v = 0;
  int significant = 0;
  for (const QChar c : t) {
    const char16_t u = c.unicode();
    int d = -1;
    if (u >= u'0' && u <= u'9') d = u - u'0';
    else if (u >= u'A' && u <= u'F') d = u - u'A' + 10;
    else if (u >= u'a' && u <= u'f') d = u - u'a' + 10;
    if (d < 0) return std::nullopt;
    if (significant == 0 && d == 0) continue;
    if (++significant > 4) return std::nullopt;
    v = v * 16 + d;
  }
  return v;
}

}  // namespace zr
