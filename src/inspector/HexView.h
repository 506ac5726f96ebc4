#pragma once
// The hex view `frmMemDat` without widgets: the memory image `TempArray` as a
// grid of hexadecimal bytes, sixteen per row, with the cell texts, the red
// marks of bytes that changed since the grid was last filled, in-place edits
// and the refresh. The window only shows this model and forwards its events.
//
// Grid coordinates are the system's: row 0 is the header ("Addr", "0" .. "F"),
// column 0 the row titles ("0000H", "0010H" ...); cell (r, c) with r, c >= 1
// shows image address (r - 1) * 16 + (c - 1).
//
// The rows are laid out once from `TableMaxAddr` as it is at start-up; a later
// change of `TableMaxAddr` moves how far the refresh and the edits reach, not
// the number of rows. Nothing here ever touches a byte outside the image: an
// address beyond it is reported as an index failure (code 9).
#include <QObject>
#include <functional>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace zr {

struct Core;
struct Editors;
class ErrorLog;

// ---- the text conversions of the hex view and the fill dialog ------------

// Two uppercase hexadecimal digits of a byte ("0A", "FF").
QString FormatByteDat(int byte);

// The digit values of a hexadecimal text, entry 0 the least significant.
using HexDigits = std::array<int, 4>;
// Entry i takes the value of the i-th character from the right; a character
// that is not a hexadecimal digit counts 0. A fifth character is a failure,
// logged as "frmMemDat->SeparateChar" after the first four entries are set.
HexDigits SeparateChar(const QString& text, ErrorLog& log);
// Value of the digits: entry 3 * 4096 + entry 2 * 256 + entry 1 * 16 + entry 0.
int hexDigitsValue(const HexDigits& d);

// The text in upper case with each hexadecimal digit replaced by its four
// binary digits ("A5" gives "10100101"); other characters are skipped.
QString H_To_B(const QString& text);
// A 16-bit number read left to right, value = value * 2 + the numeric value
// of each character (a digit counts its value, anything else 0). A value
// beyond 0xFFFF raises the overflow failure (code 6).
int B_To_D(const QString& text);
// The bits of a binary text listed from the highest, "B7:1 B6:0 ... B0:1 ",
// with two further blanks in front of the item for bit 3.
QString B_To_BitShow(const QString& bin);
// Hexadecimal text of a value shaped by a pattern of `width` zeros: a text of
// decimal digits only is padded with leading zeros, a text holding a letter
// stays as it is (10 with width 2 gives "A", 16 gives "10", 255 gives "FF").
QString hexWithPattern(int value, int width);

class HexView : public QObject {
  Q_OBJECT
 public:
  static constexpr int kBytesPerRow = 16;
  static constexpr int kColumns = kBytesPerRow + 1;  // the row titles and 0..F
  // Text colours of the data cells, as Windows colour numbers.
  static constexpr int kBlack = 0;
  static constexpr int kRed = 255;
  // Layout in twips (1/1440 inch): every row, the header too, 270 high; the
  // address column 620 wide, the byte columns 420.
  static constexpr int kRowHeightTwips = 270;
  static constexpr int kAddrColumnTwips = 620;
  static constexpr int kByteColumnTwips = 420;

  // `editors` (optional) is redisplayed after an edit or a fill changed the image.
  explicit HexView(Core& core, Editors* editors = nullptr, QObject* parent = nullptr);

  // ---- the procedures ----
  // Lays the grid out: one data row per 16 addresses from 0 to `TableMaxAddr`,
  // every cell empty and black, current cell (1, 1).
  void SetGridMemDat();
  // Refreshes the cells of addresses 0 to `TableMaxAddr` from the image: every
  // data cell turns black, then each cell whose non-empty text differs from its
  // byte turns red and becomes the current cell, and every cell shows its byte.
  // Addresses beyond the grid or the image end the refresh with code 9.
  void TableFreDat();
  // "Fill Gird": encodes the channel table into the image, then refreshes.
  void cmdFillGrid_Click();
  // "Set Def Color": every data cell black.
  void cmdSetDefCol_Click();
  // An in-place edit of cell (row, col): the text is read digit by digit
  // (`SeparateChar`) and stored as the cell's byte. A value above 0xFF (code 6)
  // or an address beyond the image (code 9) is logged as
  // "frmMemDat->GridDataTemp" and changes nothing; an address beyond
  // `TableMaxAddr` is not copied back. On success the cell shows the byte and
  // the editors are redisplayed. Returns whether the byte was stored.
  bool editCell(int row, int col, const QString& text);
  // The tool tip of a data cell: address, binary digits, bit listing and
  // decimal value of its text; empty for an empty cell, a header cell or a
  // failure (logged as "frmMemDat->CellTipHint").
  QString CellTipHint(int row, int col) const;
  // Steps 3 and 4 of a range fill: image bytes start..end become `value` and
  // their cells show it through the pattern "00". Bytes beyond the image are
  // not filled: the fill stops there and raises the index failure (code 9)
  // for the caller to log. Cells beyond the grid are left out silently.
  // Colours stay. The editors are redisplayed when a byte changed.
  void fillRange(int start, int end, int value);

  // ---- what the window shows ----
  int rowCount() const { return dataRows_ + 1; }  // header row included
  int dataRows() const { return dataRows_; }
  int columnCount() const { return kColumns; }
  // Text of any cell, headers included; empty outside the grid.
  QString text(int row, int col) const;
  // Text colour of a cell (kBlack or kRed).
  int colour(int row, int col) const;
  // The text and the red mark of the data cell holding `address`, as text()
  // and colour() show them, without a copy: for code that goes over every
  // cell. An address without a cell gives an empty text, not red.
  const QString& cellText(int address) const;
  bool cellRed(int address) const;
  // All cells' texts and red marks (1: red), indexed by address, for checks
  // that go over every cell many times.
  const std::vector<QString>& cellTexts() const { return texts_; }
  const std::vector<uint8_t>& cellReds() const { return red_; }
  // Whether an in-place edit of the cell can reach the image.
  bool editable(int row, int col) const;
  int currentRow() const { return currentRow_; }
  int currentCol() const { return currentCol_; }
  static int addressOf(int row, int col) { return (row - 1) * kBytesPerRow + (col - 1); }
  static int rowOf(int address) { return address / kBytesPerRow + 1; }
  static int colOf(int address) { return address % kBytesPerRow + 1; }

 signals:
  void gridLaidOut();                                // rows changed: everything is new
  void cellsChanged(int firstAddress, int lastAddress);  // texts or colours in this range
  void currentCellChanged(int row, int col);

 private:
  bool isDataCell(int row, int col) const {
    return row >= 1 && row <= dataRows_ && col >= 1 && col < kColumns;
  }
  int cellCount() const { return static_cast<int>(texts_.size()); }
  // Tells every editor that bytes first..last changed in place.
  void redisplayEditors(int first, int last);
  void encodeChannelsFirst();

  Core& core_;
  Editors* editors_;
  int dataRows_ = 0;
  // Per address 0..cellCount()-1: the text, its value read as hexadecimal
  // (kEmpty, kNotHex or 0..0xFFFF) kept beside it for the refresh's
  // comparison, and the red mark.
  std::vector<QString> texts_;
  std::vector<int32_t> values_;
  std::vector<uint8_t> red_;
  // The bytes 0..syncedLast_ as the last refresh showed them, valid while
  // nothing but a refresh has written a cell since (synced_): a refresh then
  // goes over only the blocks of bytes that differ from them.
  std::vector<uint8_t> shownBytes_;
  bool synced_ = false;
  int syncedLast_ = -1;
  int currentRow_ = 1;
  int currentCol_ = 1;
};

}  // namespace zr
