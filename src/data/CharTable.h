#pragma once
// The character table shared by the radio and the tool, the two info text
// lines that use it, and the DTMF code-text converters with their work buffer.
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "data/ByteArray.h"

namespace zr {

class ErrorLog;

constexpr int kInfoTextAddr = 0x0300;   // line n at 0x0300 + 32*(n-1)
constexpr int kInfoLineChars = 16;

class CharTable {
 public:
  static constexpr int kSize = 21902;   // indices 0..21901
  static constexpr int kNoMatch = 21902;

  CharTable();  // `HanZiTbl` is built once per process and shared

  // Entry k of `HanZiTbl` (a single character, a space or empty); checked.
  const QString& HanZiTbl(int index) const;
  // Index of the first entry equal to the character, kNoMatch when none.
  int codeOf(QChar c) const;

  // Decodes info line n (1 or 2) from the image: codes above 21901 and empty
  // entries add nothing, trailing spaces are removed.
  QString decodeInfoLine(const ByteArray& image, int n) const;
  // Encodes text into info line n: first 16 characters, padded with spaces
  // (code 0); characters without an entry store 21902.
  void encodeInfoLine(ByteArray& image, int n, const QString& text) const;

  // `AsciiBuf`: 16 ASCII codes of a DTMF code text, 255 = empty position.
  std::array<int, 16> AsciiBuf{};
  // Fills `AsciiBuf` from a code text. A seventeenth character is a failure,
  // logged as "modChMem->TextToAscii"; the first sixteen positions stay filled.
  void TextToAscii(const QString& text, ErrorLog& log);
  // Code text from `AsciiBuf`.
  QString AsciiToTxt() const;
  // Filters a text: kind 0 keeps 0-9 * # space and A-D (upper-cased), kind 2
  // keeps digits only.
  static QString DelInvalidChar(const QString& text, int kind);

 private:
  // The entries and the lookup of codes never change, so every core shares
  // one copy, built on first use.
  struct Entries;
  static const Entries& entries();
  const std::vector<QString>* table_;
  // First table index of each UTF-16 unit (kNoMatch when none), built with
  // the table so that codeOf is a lookup instead of a linear search.
  const std::vector<uint16_t>* codes_;
};

}  // namespace zr
