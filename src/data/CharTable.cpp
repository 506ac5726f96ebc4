#include "data/CharTable.h"

#include "base/ErrorLog.h"

namespace zr {
namespace {

constexpr int kFirstHanZi = 1000;            // index of U+4E00
constexpr char16_t kFirstHanZiCode = 0x4E00;
constexpr int kAsciiEmpty = 255;             // an empty DTMF position
constexpr int kInfoLineBytes = 2 * kInfoLineChars;

// First byte of info line n (1 or 2); any other line number is out of range.
int infoLineBase(int n) {
  if (n < 1 || n > 2) throwSubscript("info line", n, 1, 2);
  return kInfoTextAddr + kInfoLineBytes * (n - 1);
}

// ASCII code of one DTMF code-text character, 255 for a character the radio
// cannot dial.
int dtmfCode(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u;
  if (u >= u'A' && u <= u'F') return u;
  if (u >= u'a' && u <= u'f') return u - (u'a' - u'A');
  if (u == u'*' || u == u'#' || u == u' ') return u;
  return kAsciiEmpty;
}

}  // namespace

struct CharTable::Entries {
  std::vector<QString> table;
  std::vector<uint16_t> codes;

  Entries() : table(kSize) {
    // 0..31 and 127 are blanks; 34 is a blank too, so the radio never stores
    // a double quote. 128..999 stay empty. (Every entry owns its character:
    // a shared entry must never be one that Qt rewrites on first use, as it
    // does a literal's text when asked for it zero-terminated.)
    for (int i = 0; i < 128; ++i) {
      const bool printable = i >= 32 && i < 127 && i != 34;
      table[i] = QString(QChar(printable ? char16_t(i) : u' '));
    }
    for (int i = kFirstHanZi; i < kSize; ++i) table[i] = QString(QChar(char16_t(kFirstHanZiCode + (i - kFirstHanZi))));

    // The radio's encoding is "index of the first entry equal to the
    // character". Scanning 21902 entries per character is slow, so the first
    // index of every UTF-16 unit is recorded once; walking backwards lets
    // earlier entries win.
    codes.assign(0x10000, static_cast<uint16_t>(kNoMatch));
    for (int i = kSize - 1; i >= 0; --i) {
      const QString& e = table[i];
      if (e.size() == 1) codes[e.at(0).unicode()] = static_cast<uint16_t>(i);
    }
  }
};

const CharTable::Entries& CharTable::entries() {
  static const Entries e;
  return e;
}

CharTable::CharTable() : table_(&entries().table), codes_(&entries().codes) {}

const QString& CharTable::HanZiTbl(int index) const {
  if (index < 0 || index >= kSize) throwSubscript("HanZiTbl", index, 0, kSize - 1);
  return (*table_)[static_cast<size_t>(index)];
}

int CharTable::codeOf(QChar c) const { return (*codes_)[c.unicode()]; }

QString CharTable::decodeInfoLine(const ByteArray& image, int n) const {
  const int base = infoLineBase(n);
  QString text;
  for (int k = 0; k < kInfoLineChars; ++k) {
    const int w = image.word(base + 2 * k);
    if (w < kSize) text += (*table_)[static_cast<size_t>(w)];  // larger codes: no character
  }
  // Only blanks are trimmed; the table holds no other white space.
  qsizetype end = text.size();
  while (end > 0 && text.at(end - 1) == u' ') --end;
  text.truncate(end);
  return text;
}

void CharTable::encodeInfoLine(ByteArray& image, int n, const QString& text) const {
  const int base = infoLineBase(n);
  // Check the whole line first so that a short image is left untouched
  // rather than half written.
  if (!image.contains(base) || !image.contains(base + kInfoLineBytes - 1))
    throwSubscript("image", base + kInfoLineBytes - 1, 0, image.upperBound());
  for (int k = 0; k < kInfoLineChars; ++k) {
    const QChar c = k < text.size() ? text.at(k) : QChar(u' ');  // padding blank -> code 0
    image.setWord(base + 2 * k, codeOf(c));
  }
}

void CharTable::TextToAscii(const QString& text, ErrorLog& log) {
  AsciiBuf.fill(kAsciiEmpty);
  guarded(log, "modChMem->TextToAscii", [&] {
    for (qsizetype p = 0; p < text.size(); ++p) {
      // The buffer holds 16 positions; a longer text fails on its 17th
      // character and keeps what was converted so far.
      if (p >= static_cast<qsizetype>(AsciiBuf.size()))
        throwSubscript("AsciiBuf", p, 0, static_cast<long long>(AsciiBuf.size()) - 1);
      AsciiBuf[static_cast<size_t>(p)] = dtmfCode(text.at(p));
    }
  });
}

QString CharTable::AsciiToTxt() const {
  QString text;
  for (const int v : AsciiBuf) {
    const bool shown = (v >= '0' && v <= '9') || (v >= 'A' && v <= 'F') || v == ' ' || v == '#' || v == '*';
    if (shown) text += QChar(char16_t(v));  // 255 and any other value: nothing
  }
  return text;
}

QString CharTable::DelInvalidChar(const QString& text, int kind) {
  // A kind other than 0 or 2 keeps nothing.
  QString out;
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    const bool digit = u >= u'0' && u <= u'9';
    if (kind == 0) {
      if (digit || u == u'*' || u == u'#' || u == u' ') {
        out += c;
      } else if (u >= u'A' && u <= u'D') {
        out += c;
      } else if (u >= u'a' && u <= u'd') {
        out += QChar(char16_t(u - (u'a' - u'A')));
      }
    } else if (kind == 2 && digit) {
      out += c;
    }
  }
  return out;
}

}  // namespace zr
