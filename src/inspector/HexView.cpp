#include "inspector/HexView.h"

#include <cstring>

#include <algorithm>

#include "base/VbText.h"
#include "editors/Editors.h"
#include "data/Core.h"

namespace zr {

namespace {

const char kTagLayout[] = "modMemDat->SetGridMemDat";
const char kTagRefresh[] = "modMemDat->TableFreDat";
const char kTagCopyBack[] = "frmMemDat->GridDataTemp";
const char kTagSeparate[] = "frmMemDat->SeparateChar";
const char kTagTip[] = "frmMemDat->CellTipHint";

constexpr int32_t kEmpty = -1;   // the cell has no text
constexpr int32_t kNotHex = -2;  // the text is not a hexadecimal number

const QString kColumnTitles[HexView::kColumns] = {
    QStringLiteral("Addr"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
    QStringLiteral("4"),    QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
    QStringLiteral("9"),    QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
    QStringLiteral("E"),    QStringLiteral("F")};

// The 256 byte texts, built once and shared by every cell that shows them.
const std::array<QString, 256>& byteTexts() {
  static const std::array<QString, 256> t = [] {
    std::array<QString, 256> a;
    for (int v = 0; v < 256; ++v) a[static_cast<size_t>(v)] = QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
    return a;
  }();
  return t;
}

// A cell text read as a hexadecimal number, for the refresh's comparison.
int32_t cellValue(const QString& text) {
  if (text.isEmpty()) return kEmpty;
  if (text.size() > 4) return kNotHex;
  int32_t v = 0;
  for (QChar c : text) {
    const int d = hexDigitValue(c);
    if (d < 0) return kNotHex;
    v = v * 16 + d;
  }
  return v;
}

}  // namespace

// ---- text conversions ------------------------------------------------------

QString FormatByteDat(int byte) { return byteTexts()[static_cast<size_t>(byte & 0xFF)]; }

HexDigits SeparateChar(const QString& text, ErrorLog& log) {
  HexDigits d{0, 0, 0, 0};
  guarded(log, kTagSeparate, [&] {
    const int n = static_cast<int>(text.size());
    for (int i = 0; i < n; ++i) {
      if (i >= static_cast<int>(d.size())) throwSubscript("HexDigits", i, 0, static_cast<long long>(d.size()) - 1);
      d[static_cast<size_t>(i)] = std::max(0, hexDigitValue(text[n - 1 - i]));
    }
  });
  return d;
}

int hexDigitsValue(const HexDigits& d) { return d[3] * 4096 + d[2] * 256 + d[1] * 16 + d[0]; }

QString H_To_B(const QString& text) {
  static const char* const kNibbles[16] = {"0000", "0001", "0010", "0011", "0100", "0101", "0110", "0111",
                                           "1000", "1001", "1010", "1011", "1100", "1101", "1110", "1111"};
  QString bin;
  bin.reserve(text.size() * 4);
  for (QChar c : text) {
    const int d = hexDigitValue(c);
    if (d >= 0) bin += QLatin1String(kNibbles[d]);
  }
  return bin;
}

int B_To_D(const QString& text) {
  int value = 0;
  for (QChar c : text) {
    const char16_t u = c.unicode();
    const int digit = (u >= u'0' && u <= u'9') ? u - u'0' : 0;
    value = value * 2 + digit;
    if (value > 0xFFFF) throw RunError(kErrOverflow, QStringLiteral("binary text %1 exceeds 16 bits").arg(text));
  }
  return value;
}

QString B_To_BitShow(const QString& bin) {
  QString shown;
  const int n = static_cast<int>(bin.size());
  for (int i = 0; i < n; ++i) {
    shown = QStringLiteral("B%1:%2 ").arg(i).arg(bin[n - 1 - i]) + shown;
    // Two more blanks part the high nibble from the low one.
    if (i == 3) shown = QStringLiteral("  ") + shown;
  }
  return shown;
}

QString hexWithPattern(int value, int width) {
  const QString hex = QString::number(value, 16).toUpper();
  for (QChar c : hex)
    if (!c.isDigit()) return hex;
  return hex.rightJustified(width, QLatin1Char('0'));
}

// ---- the grid ----------------------------------------------------------------

HexView::HexView(Core& core, Editors* editors, QObject* parent)
    : QObject(parent), core_(core), editors_(editors) {}

void HexView::SetGridMemDat() {
  guarded(core_.log, kTagLayout, [&] {
    const int maxAddr = core_.settings.TableMaxAddr;
    dataRows_ = maxAddr < 0 ? 0 : maxAddr / kBytesPerRow + 1;
    const size_t cells = static_cast<size_t>(dataRows_) * kBytesPerRow;
    texts_.assign(cells, QString());
    values_.assign(cells, kEmpty);
    red_.assign(cells, 0);
    shownBytes_.assign(cells, 0);
    synced_ = false;
    currentRow_ = 1;
    currentCol_ = 1;
  });
  emit gridLaidOut();
  emit currentCellChanged(currentRow_, currentCol_);
}

void HexView::TableFreDat() {
  const int oldRow = currentRow_, oldCol = currentCol_;
  guarded(core_.log, kTagRefresh, [&] {
    std::fill(red_.begin(), red_.end(), 0);
    const ByteArray& image = core_.image.TempArray;
    const int maxAddr = core_.settings.TableMaxAddr;
    // Addresses that have both a cell and a byte; the rest is a failure.
    const int last = std::min({maxAddr, cellCount() - 1, image.upperBound()});
    const std::vector<uint8_t>& bytes = image.bytes();
    const QString* shown = byteTexts().data();
    // The cells' arrays by pointer: `last` is within all four.
    int32_t* const values = values_.data();
    QString* const texts = texts_.data();
    uint8_t* const red = red_.data();
    uint8_t* const before = shownBytes_.data();
    // When the cells still show what the last refresh put there, a block of
    // bytes equal to what it showed needs nothing: its cells hold those
    // bytes' texts, and nothing in it turns red.
    const bool synced = synced_ && syncedLast_ == last;
    constexpr int kBlock = 64;
    int changedAt = -1;
    for (int from = 0; from <= last; from += kBlock) {
      const int to = std::min(from + kBlock - 1, last);
      const size_t len = static_cast<size_t>(to - from + 1);
      if (synced && std::memcmp(before + from, bytes.data() + from, len) == 0) continue;
      for (int a = from; a <= to; ++a) {
        const uint8_t b = bytes[static_cast<size_t>(a)];
        int32_t& v = values[a];
        QString& text = texts[a];
        if (v != b) {
          if (v != kEmpty) {
            red[a] = 1;
            changedAt = a;
          }
          v = b;
          text = shown[b];
        } else if (text.constData() != shown[b].constData()) {
          // The same byte, but shown as a fill shows it ("A" for 0A) or as
          // a text of its own: the refresh shows every byte alike.
          text = shown[b];
        }
      }
      std::memcpy(before + from, bytes.data() + from, len);
    }
    synced_ = true;
    syncedLast_ = last;
    if (changedAt >= 0) {
      currentRow_ = rowOf(changedAt);
      currentCol_ = colOf(changedAt);
    }
    // TableMaxAddr reaches past the grid's rows or past the image.
    if (maxAddr > last) throwSubscript("hex view address", last + 1, 0, last);
  });
  if (cellCount() > 0) emit cellsChanged(0, cellCount() - 1);
  if (currentRow_ != oldRow || currentCol_ != oldCol) emit currentCellChanged(currentRow_, currentCol_);
}

void HexView::cmdFillGrid_Click() {
  // The channel table goes into the image first so the grid shows what a
  // save or a write would store. (The radio link's write hook `WriteComDat`
  // would come next; it does nothing, so it is not called.)
  core_.codec.ChInfoToIicDat();
  TableFreDat();
}

void HexView::cmdSetDefCol_Click() {
  std::fill(red_.begin(), red_.end(), 0);
  if (cellCount() > 0) emit cellsChanged(0, cellCount() - 1);
}

bool HexView::editCell(int row, int col, const QString& text) {
  bool stored = false;
  int address = -1;
  guarded(core_.log, kTagCopyBack, [&] {
    if (!isDataCell(row, col)) throwSubscript("hex grid row", row, 1, dataRows_);
    address = addressOf(row, col);
    // Only addresses up to TableMaxAddr are copied back into the image.
    if (address > core_.settings.TableMaxAddr) return;
    const int value = hexDigitsValue(SeparateChar(text, core_.log));
    if (value > 0xFF) throw RunError(kErrOverflow, QStringLiteral("cell value %1 is not a byte").arg(value, 0, 16));
    if (!core_.image.TempArray.contains(address)) throwSubscript("image", address, 0, core_.image.TempArray.upperBound());
    core_.history.aboutToChange();
    encodeChannelsFirst();
    core_.image.TempArray.set(address, value);
    texts_[static_cast<size_t>(address)] = FormatByteDat(value);
    values_[static_cast<size_t>(address)] = value;
    synced_ = false;
    stored = true;
  });
  if (!stored) return false;
  emit cellsChanged(address, address);
  redisplayEditors(address, address);
  return true;
}

QString HexView::CellTipHint(int row, int col) const {
  if (!isDataCell(row, col)) return {};
  const QString& t = texts_[static_cast<size_t>(addressOf(row, col))];
  if (t.isEmpty()) return {};
  QString tip;
  const bool ok = guarded(core_.log, kTagTip, [&] {
    const HexDigits d = SeparateChar(QString::number(addressOf(row, col), 16).toUpper(), core_.log);
    QString address;
    for (int k = 3; k >= 0; --k) address += QString::number(d[static_cast<size_t>(k)], 16).toUpper();
    const QString bin = H_To_B(t);
    const int dec = B_To_D(bin);
    tip = QStringLiteral("地址为: 0x") + address + QStringLiteral("    二进制:") + bin + QStringLiteral("    ") +
          B_To_BitShow(bin) + QStringLiteral("    十进制") + QString::number(dec) + QStringLiteral("    ") +
          QStringLiteral("\r\n");
  });
  return ok ? tip : QString();
}

void HexView::fillRange(int start, int end, int value) {
  if (start > end) return;
  if (start < 0) throwSubscript("image", start, 0, core_.image.TempArray.upperBound());
  const ByteArray& image = core_.image.TempArray;
  const int lastByte = std::min(end, image.upperBound());
  if (start <= lastByte) {
    core_.history.aboutToChange();
    encodeChannelsFirst();
    std::vector<uint8_t>& bytes = core_.image.TempArray.bytes();
    std::fill(bytes.begin() + start, bytes.begin() + lastByte + 1, static_cast<uint8_t>(value & 0xFF));
    const int lastCell = std::min(lastByte, cellCount() - 1);
    if (start <= lastCell) {
      const QString shown = hexWithPattern(value & 0xFF, 2);
      const int32_t v = cellValue(shown);
      for (int a = start; a <= lastCell; ++a) {
        texts_[static_cast<size_t>(a)] = shown;
        values_[static_cast<size_t>(a)] = v;
      }
      synced_ = false;
      emit cellsChanged(start, lastCell);
    }
    redisplayEditors(start, lastByte);
  }
  if (end > lastByte) throwSubscript("image", lastByte + 1, 0, image.upperBound());
}

// ---- what the window shows -------------------------------------------------------

QString HexView::text(int row, int col) const {
  if (row == 0) return col >= 0 && col < kColumns ? kColumnTitles[col] : QString();
  if (row < 0 || row > dataRows_) return {};
  if (col == 0) return QStringLiteral("%1H").arg(addressOf(row, 1), 4, 16, QLatin1Char('0')).toUpper();
  if (col < 0 || col >= kColumns) return {};
  return cellText(addressOf(row, col));
}

int HexView::colour(int row, int col) const {
  if (!isDataCell(row, col)) return kBlack;
  return cellRed(addressOf(row, col)) ? kRed : kBlack;
}

const QString& HexView::cellText(int address) const {
  static const QString none;
  if (address < 0 || address >= cellCount()) return none;
  return texts_[static_cast<size_t>(address)];
}

bool HexView::cellRed(int address) const {
  return address >= 0 && static_cast<size_t>(address) < red_.size() && red_[static_cast<size_t>(address)];
}

bool HexView::editable(int row, int col) const {
  if (!isDataCell(row, col)) return false;
  const int a = addressOf(row, col);
  return a <= core_.settings.TableMaxAddr && core_.image.TempArray.contains(a);
}

void HexView::encodeChannelsFirst() {
  // Channel edits not yet in the image (a picked option, a tone in the
  // picker, a row with a blank cell) go in first, as "Fill Gird" does, so the
  // redraw after the byte change does not throw them away. Without such
  // edits the image is left alone: the edit touches only its own bytes.
  // Without editors nothing is redrawn, so nothing can be lost.
  if (!editors_) return;
  editors_->grid.commitPendingTone();
  ChannelTable& table = core_.ChTable;
  const ChannelTable shown = table;
  core_.codec.IicDatToChInfo();
  const bool pending = !(table == shown);
  table = shown;
  if (!pending) return;
  const std::vector<uint8_t> before = core_.image.TempArray.bytes();
  core_.codec.ChInfoToIicDat();
  const std::vector<uint8_t>& after = core_.image.TempArray.bytes();
  const int last = std::min({static_cast<int>(after.size()), static_cast<int>(before.size()), cellCount()}) - 1;
  int first = -1, lastChanged = -1;
  for (int a = 0; a <= last; ++a) {
    const auto i = static_cast<size_t>(a);
    if (before[i] == after[i]) continue;
    texts_[i] = FormatByteDat(after[i]);
    values_[i] = after[i];
    synced_ = false;
    if (first < 0) first = a;
    lastChanged = a;
  }
  if (first >= 0) emit cellsChanged(first, lastChanged);
}

void HexView::redisplayEditors(int first, int last) {
  // The editors show the raw bytes without writing anything back.
  emit core_.events.bytesChanged(first, last, this);
}

}  // namespace zr
