#pragma once
// `SoftFace`: every caption and message of the program in the current
// language, by entry number 0..455. The three languages are kept as data in a
// resource file (one row per entry, one column per language).
#include <QString>
#include <array>
#include <vector>

namespace zr {

enum Lang : int { kLangChs = 1, kLangCht = 2, kLangEng = 3 };

// Parses the text table's rows ("entry<TAB>chs<TAB>cht<TAB>eng", "#" starts a
// comment line, escapes \n \t \\ inside a field) into kSlots slots of three
// texts. Rows with a bad entry number, an entry outside the table or the
// wrong number of fields are skipped; slots no row fills stay empty.
std::vector<std::array<QString, 3>> parseSoftFaceTable(const QString& tsv);

class TextTable {
 public:
  static constexpr int kSlots = 456;

  TextTable();  // loads the resource; English filled
  // Normalises the code (anything but 1, 2, 3 becomes 3, stored back) and
  // fills every slot for it.
  void LoadSoftFace(int& CurLang);
  int language() const { return lang_; }

  // Entry of the current language; out of range raises the index failure.
  const QString& SoftFace(int entry) const;
  QString operator[](int entry) const { return SoftFace(entry); }
  // Entry of any language, without changing the current one.
  QString text(int entry, int lang) const;

 private:
  std::vector<std::array<QString, 3>> all_;  // per slot: chs, cht, eng
  std::vector<QString> current_;
  int lang_ = kLangEng;
};

}  // namespace zr
