#include "editors/ToneEntry.h"

namespace zr {

namespace {

QChar at(const QString& t, int pos) { return pos <= t.size() ? t[pos - 1] : QChar(); }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isOctal(QChar c) { return c >= u'0' && c <= u'7'; }
int digit(QChar c) { return isDigit(c) ? c.unicode() - u'0' : 0; }
QString polarity(QChar c) { return (c == u'I' || c == u'i') ? QStringLiteral("I") : QStringLiteral("N"); }

}  // namespace

std::optional<QString> canonicalToneText(const QString& text, const QString& noToneText) {
  if (text.size() > 5) return std::nullopt;
  const QChar t1 = at(text, 1), t2 = at(text, 2), t3 = at(text, 3), t4 = at(text, 4), t5 = at(text, 5);

  if (t3 != u'.' && t4 != u'.') {
    // A DCS code, with or without its "D" prefix (upper case only).
    if (t1 == u'D') {
      if (isOctal(t2) && isOctal(t3) && isOctal(t4)) return QStringLiteral("D") + t2 + t3 + t4 + polarity(t5);
    } else if (isOctal(t1) && isOctal(t2) && isOctal(t3)) {
      return QStringLiteral("D") + t1 + t2 + t3 + polarity(t4);
    }
    return noToneText;
  }

  // A CTCSS tone in tenths of a hertz, the point at position 3 or 4.
  if (!isDigit(t1)) return std::nullopt;
  const int v = t3 == u'.' ? digit(t1) * 100 + digit(t2) * 10 + digit(t4)
                           : digit(t1) * 1000 + digit(t2) * 100 + digit(t3) * 10 + digit(t5);
  if (v >= 600 && v <= 2650) return QStringLiteral("%1.%2").arg(v / 10).arg(v % 10);
  if (isOctal(t1) && isOctal(t2) && isOctal(t3)) return QStringLiteral("D") + t1 + t2 + t3 + QStringLiteral("N");
  return noToneText;
}

}  // namespace zr
