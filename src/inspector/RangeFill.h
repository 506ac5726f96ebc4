#pragma once
// The fill dialog `frmPartFill` without widgets: one value written into an
// address range of the image and shown in the hex view's cells.
//
// The value is typed as hexadecimal, decimal or binary text (list
// `cboFillData`: "H", "D", "B"); values above 255 fill 255. The range is
// typed as two hexadecimal addresses. Hexadecimal and binary texts are read
// leniently: foreign characters are skipped (hex) or count 0 (binary).
#include <QString>
#include <QStringList>
#include <optional>

namespace zr {

struct AppSettings;
class ErrorLog;
class HexView;

class RangeFill {
 public:
  // Positions of the list `cboFillData`; kNone when no entry is chosen.
  enum Base : int { kNone = -1, kHex = 0, kDec = 1, kBin = 2 };
  static const QStringList& baseEntries();  // "H", "D", "B"

  RangeFill(HexView& view, ErrorLog& log);

  // The range the dialog shows when it loads. Start-up sets it to 0 and
  // `TableMaxAddr`; editing an address box updates it.
  int FillStart = 0;
  int FillEnd = 0x1FFF;
  void reset(int tableMaxAddr) {
    FillStart = 0;
    FillEnd = tableMaxAddr;
  }

  // The dialog's contents.
  QString txtFillData = QStringLiteral("FF");
  QString txtStartAddr = QStringLiteral("0000");
  QString txtEndAddr = QStringLiteral("1FFF");
  int cboFillData = kHex;

  // The dialog's load: entry "H" chosen, the address boxes show FillStart and
  // FillEnd through the pattern "0000".
  void Form_Load();
  // Editing an address box: the text is kept; the address takes its value
  // when it is a hexadecimal number of at most 16 bits, else stays as it was.
  void txtStartAddr_Change(const QString& text);
  void txtEndAddr_Change(const QString& text);
  // "Fill": image bytes start..end become the value and the hex view shows
  // them. Failures are logged as "frmPartFill->cmdFillData_Click": a number
  // beyond 16 bits (code 6) fills nothing, an end beyond the image (code 9)
  // fills up to the image's last byte. A start above the end fills nothing.
  void cmdFillData_Click();

  // The fill value of a text read by a list entry, at most 255; nullopt when
  // nothing is to be filled (no entry chosen, or a "D" text that is not a
  // decimal number from 0 upward). Raises the overflow failure (code 6) for a
  // hexadecimal or binary text beyond 16 bits.
  static std::optional<int> fillValue(const QString& text, int base);

 private:
  HexView& view_;
  ErrorLog& log_;
};

}  // namespace zr
