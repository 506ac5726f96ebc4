#pragma once
// The selectable CTCSS/DCS tones and the conversions between their texts
// ("67.0", "D023N", "D023I", the no-tone text) and the radio's 16-bit tone words.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace zr {

class ErrorLog;

struct ToneBytes {
  uint8_t low = 0xFF;
  uint8_t high = 0xFF;
  bool operator==(const ToneBytes&) const = default;
};

class ToneTable {
 public:
  static constexpr int kCount = 261;  // positions 0..260
  static constexpr int kCtcssCount = 50;
  static constexpr int kDcsCount = 105;

  // Builds the list for language `lang` (1 Simplified Chinese, 2 Traditional
  // Chinese, 3 English); the no-tone text depends on it.
  explicit ToneTable(int lang = 3);

  // Rebuilds the list in the given language (the pick lists are filled from it).
  void GenCtdcsList(int lang);

  const QStringList& CtdcsList() const { return list_; }
  const QString& NoToneText() const { return noTone_; }
  // Position of a text in the list, -1 when absent.
  int indexOf(const QString& text) const;

  // The three fixed sub-lists: CTCSS texts, normal DCS texts, inverted DCS texts.
  static void GetCtdcsArray(QStringList& ctcss, QStringList& dcsNormal, QStringList& dcsInverted);

  // Word (high, low) -> text. Never fails on a 16-bit input.
  QString QtDqtIicToChar(int high, int low) const;
  // Text -> word. A text longer than five characters is a failure: it is
  // logged as "modChMem->QtDqtCharToIic" and no word is produced.
  std::optional<ToneBytes> QtDqtCharToIic(const QString& text, ErrorLog& log) const;

 private:
  QStringList list_;
  QString noTone_;
};

}  // namespace zr
