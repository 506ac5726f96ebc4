#include "editors/ChannelGrid.h"

#include <cmath>

#include "editors/GridColumns.h"
#include "editors/ToneEntry.h"
#include "base/TextIds.h"

namespace zr {

namespace {

constexpr int kMaxTypedChars = 9;
constexpr int kTooLongValue = 1200;  // what an over-long entry reads as; the clamp makes it BandMin


// Rounding half to even, as the radio-side arithmetic of the original does.
double roundEven(double v) { return std::nearbyint(v); }

}  // namespace

ChannelGrid::ChannelGrid(Deps deps, QObject* parent) : QObject(parent), deps_(std::move(deps)) {
  connect(&deps_.codec, &ChannelCodec::channelDeleted, this, [this](int ch) { onChannelDeleted(ch); });
}

int ChannelGrid::channelCount() const {
  return std::max(0, std::min(deps_.columns.channelCount, ChannelTable::kChannels));
}

int ChannelGrid::lastColumn() const {
  return std::max(0, std::min(deps_.columns.columnCount, ChannelTable::kRows - 1));
}

QString ChannelGrid::text(int row, int col) const {
  if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount()) return {};
  return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

int ChannelGrid::colour(int row, int col) const {
  if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount()) return 0;
  return colours_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

int ChannelGrid::columnWidth(int col) const {
  const auto& w = deps_.columns.widths;
  return col >= 0 && col < static_cast<int>(w.size()) ? w[static_cast<size_t>(col)] : 1000;
}

void ChannelGrid::setCell(int row, int col, const QString& t, int c) {
  if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
    throwSubscript("grid cell", static_cast<long long>(row) * 100 + col, 0, rowCount() * 100 + columnCount());
  cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = t;
  colours_[static_cast<size_t>(row)][static_cast<size_t>(col)] = c;
}

void ChannelGrid::setCursor(int row, int col) {
  cursorRow_ = row;
  cursorCol_ = col;
  emit cursorMoved(row, col);
}

int ChannelGrid::defColour() const {
  bool ok = false;
  const int v = deps_.settings.DefColor.toInt(&ok);
  if (!ok) throw RunError(kErrTypeMismatch, QStringLiteral("DefColor is not a number"));
  return v;
}

int ChannelGrid::overColour() const {
  bool ok = false;
  const int v = deps_.settings.OverColor.toInt(&ok);
  if (!ok) throw RunError(kErrTypeMismatch, QStringLiteral("OverColor is not a number"));
  return v;
}

int ChannelGrid::bandColour(int f) const {
  return (f >= deps_.bandMin() && f <= deps_.bandMax()) ? defColour() : overColour();
}

int ChannelGrid::clampToBand(long long f) const {
  const int lo = deps_.bandMin(), hi = deps_.bandMax();
  if (f < lo) return lo;
  if (f > hi) return hi;
  return static_cast<int>(f);
}

QString ChannelGrid::optionItem(int col, int value) const { return deps_.columns.optionText(col, value); }

QString ChannelGrid::mhzText(int f) {
  if (f < 0) return {};
  return QStringLiteral("%1.%2").arg(f / 100000).arg(f % 100000, 5, 10, QLatin1Char('0'));
}

bool ChannelGrid::emptyChannel(int row) const { return deps_.table.get(kRowRx, row) == -1; }

bool ChannelGrid::rowHasBlank(int row) const {
  for (int j = 1; j <= lastColumn(); ++j)
    if (text(row, j).isEmpty()) return true;
  return false;
}

// ---- building and showing ----------------------------------------------------

void ChannelGrid::SetChGrid() {
  guarded(deps_.log, "modChMem->SetChGrid:", [&] {
    const int n = channelCount();
    const int m = lastColumn();
    cells_.assign(static_cast<size_t>(n) + 1, std::vector<QString>(static_cast<size_t>(m) + 1));
    colours_.assign(static_cast<size_t>(n) + 1, std::vector<int>(static_cast<size_t>(m) + 1, 0));
    const QStringList captions = deps_.columns.captions();
    for (int j = 0; j <= m && j < captions.size(); ++j) cells_[0][static_cast<size_t>(j)] = captions[j];
    // Rows 1..99 carry their number, row 100 is the VFO, higher rows have no label.
    for (int r = 1; r <= n; ++r)
      cells_[static_cast<size_t>(r)][0] = r < kRowVfo ? QString::number(r)
                                        : r == kRowVfo ? QStringLiteral("VFO") : QString();
    const int dc = defColour();
    for (int r = 1; r <= n; ++r)
      for (int j = 1; j <= m; ++j) colours_[static_cast<size_t>(r)][static_cast<size_t>(j)] = dc;
    cursorRow_ = 1;
    cursorCol_ = 1;
  });
  emit changed();
}

void ChannelGrid::ShowChTblGrid() {
  guarded(deps_.log, "modChMem->ShowChTblGrid", [&] { deps_.codec.IicDatToChInfo(); });
  redisplay();
}

void ChannelGrid::redisplay() {
  guarded(deps_.log, "modChMem->ShowChTblGrid", [&] {
    const int dc = defColour();
    for (int r = 1; r <= channelCount(); ++r) {
      if (emptyChannel(r)) {
        for (int j = 1; j <= lastColumn(); ++j) setCell(r, j, QString(), dc);
        continue;
      }
      ChParaShow(r);
      RxFreShow(r);
      TxFreShow(r);
      CtdcsDecShow(r);
      CtdcsEncShow(r);
    }
  });
  emit changed();
}

void ChannelGrid::ChParaShow(int r) {
  guarded(deps_.log, "modChMem->ChParaShow", [&] {
    for (int j = kColFirstOption; j <= lastColumn(); ++j) {
      if (j == kColSpecial) continue;
      setCell(r, j, optionItem(j, deps_.table.get(j, r)), defColour());
    }
  });
}

void ChannelGrid::RxFreShow(int r) {
  guarded(deps_.log, "modChMem->RxFreShow", [&] {
    const int f = deps_.table.get(kRowRx, r);
    setCell(r, kColRx, mhzText(f), bandColour(f));
  });
}

void ChannelGrid::TxFreShow(int r) {
  guarded(deps_.log, "modChMem->TxFreShow", [&] {
    const int f = deps_.table.get(kRowTx, r);
    if (f == -1) setCell(r, kColTx, QString(), defColour());
    else setCell(r, kColTx, mhzText(f), bandColour(f));
  });
}

void ChannelGrid::CtdcsDecShow(int r) {
  guarded(deps_.log, "modChMem->CtdcsDecShow",
          [&] { setCell(r, kColDecode, deps_.table.decodeTone(r), defColour()); });
}

void ChannelGrid::CtdcsEncShow(int r) {
  guarded(deps_.log, "modChMem->CtdcsEncShow", [&] {
    const bool noTx = deps_.table.get(kRowTx, r) == -1;
    setCell(r, kColEncode, noTx ? QString() : deps_.table.encodeTone(r), defColour());
  });
}

// ---- editing rules -----------------------------------------------------------

QString ChannelGrid::editorList(int col) const {
  return deps_.columns.isOptionColumn(col) ? deps_.columns.key(col) : QString();
}

EditMode ChannelGrid::editMode(int col) const {
  if (col == kColRx || col == kColTx || col == kColSpecial) return EditMode::KeyboardMouse;
  if (col == kColDecode || col == kColEncode) return EditMode::None;
  return EditMode::Keyboard;
}

bool ChannelGrid::isNumeric(const QString& text) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return false;
  int i = 0;
  if (t[i] == u'+' || t[i] == u'-') ++i;
  bool digits = false, point = false;
  for (; i < t.size(); ++i) {
    const QChar c = t[i];
    if (c >= u'0' && c <= u'9') digits = true;
    else if (c == u'.' && !point) point = true;
    else if ((c == u'e' || c == u'E') && digits) {
      ++i;
      if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
      if (i >= t.size()) return false;
      for (; i < t.size(); ++i)
        if (!(t[i] >= u'0' && t[i] <= u'9')) return false;
      return true;
    } else {
      return false;
    }
  }
  return digits;
}

std::optional<int> ChannelGrid::typedFrequency(const QString& text) {
  if (!isNumeric(text)) return std::nullopt;
  if (text.size() > kMaxTypedChars) return kTooLongValue;
  // Read by character position: three digits before the point (position 4).
  static constexpr int kWeights[kMaxTypedChars] = {10000000, 1000000, 100000, 0, 10000, 1000, 100, 10, 1};
  int value = 0;
  for (int p = 0; p < text.size(); ++p) {
    const QChar c = text[p];
    if (p != 3 && c >= u'0' && c <= u'9') value += (c.unicode() - u'0') * kWeights[p];
  }
  return value;
}

int ChannelGrid::ModifyTxRxFre(long long x) {
  const double xd = static_cast<double>(x);
  const double a = roundEven(xd / 25.0);
  const double candA = a * 0.00025;
  const double dA = roundEven(std::fabs(xd - candA * 100000.0));
  const double b = roundEven(xd / 625.0);
  const double candB = b * 0.00625;
  const double dB = roundEven(std::fabs(xd - candB * 100000.0));
  const double result = roundEven((dA < dB ? candA : candB) * 100000.0);
  if (!std::isfinite(result) || result > 2147483647.0 || result < -2147483648.0)
    throw RunError(kErrOverflow, QStringLiteral("frequency out of range"));
  return static_cast<int>(result);
}

bool ChannelGrid::beforeEdit(int row, int col) {
  bool allowed = false;
  guarded(deps_.log, "frmChMem->vsfgGridCh_BeforeEdit:", [&] {
    hidePicker();
    if (locked() || row == 0 || col == 0 || (row == kRowVfo && col == kColVfoSpecial)) return;
    if (!isChannelRow(row) || col > lastColumn()) return;
    if (editMode(col) == EditMode::None) return;  // tones go through the picker
    if (emptyChannel(row)) {
      allowed = col == kColRx;
      return;
    }
    if (col == kColEncode && deps_.table.get(kRowTx, row) == -1) return;
    allowed = true;
  });
  return allowed;
}

void ChannelGrid::clearChannel(int r) {
  for (int j = 1; j <= lastColumn(); ++j) deps_.table.set(j, r, -1);
  const int dc = defColour();
  for (int j = 1; j <= lastColumn(); ++j) setCell(r, j, QString(), dc);
  deps_.table.setDecodeTone(r, QString());
  deps_.table.setEncodeTone(r, QString());
}

void ChannelGrid::clearTransmit(int r) {
  deps_.table.set(kRowTx, r, -1);
  const int dc = defColour();
  setCell(r, kColTx, QString(), dc);
  setCell(r, kColEncode, QString(), dc);
  deps_.table.setEncodeTone(r, QString());
}

void ChannelGrid::GridChAfterEdit(int r, int j, const QString& typed, int listIndex) {
  if (locked()) return;
  guarded(deps_.log, "frmChMem->vsfgGridCh_AfterEdit:", [&] {
    if (!isChannelRow(r) || j < 1 || j > lastColumn()) throwSubscript("grid cell", j, 1, lastColumn());
    aboutToChange();
    deps_.table.set(kRowMark, r, 1);
    if (j != kColRx && j != kColTx) {
      setCell(r, j, typed, colour(r, j));
      if (listIndex != -1) {
        deps_.table.set(j, r, listIndex);
        const QString shown = optionItem(j, listIndex);
        if (!shown.isEmpty()) setCell(r, j, shown, colour(r, j));
      }
    } else if (auto value = typedFrequency(typed)) {
      long long f = *value;
      try {
        f = ModifyTxRxFre(f);
      } catch (const RunError& e) {
        deps_.log.LogError(QStringLiteral("frmChMem->ModifyTxRxFre:"), e.code());
        f = 0;
      }
      const int stored = clampToBand(f);
      deps_.table.set(j, r, stored);
      setCell(r, j, mhzText(stored), bandColour(stored));
      if (j == kColRx) {
        if (text(r, kColDecode).isEmpty()) {
          setCell(r, kColDecode, deps_.tones.NoToneText(), colour(r, kColDecode));
          deps_.table.setDecodeTone(r, deps_.tones.NoToneText());
        }
        if (text(r, kColTx).isEmpty()) {
          setCell(r, kColTx, text(r, kColRx), colour(r, kColRx));
          setCell(r, kColEncode, text(r, kColDecode), colour(r, kColEncode));
          deps_.table.setEncodeTone(r, text(r, kColDecode));
          deps_.table.set(kRowTx, r, deps_.table.get(kRowRx, r));
        }
        for (int k = kColFirstOption; k <= lastColumn(); ++k) {
          if (deps_.table.get(k, r) == -1) deps_.table.set(k, r, deps_.columns.defaultValue(k));
          setCell(r, k, optionItem(k, deps_.table.get(k, r)), colour(r, k));
        }
        setCursor(r, kColTx);
      } else {
        if (deps_.table.encodeTone(r).isEmpty()) setCell(r, kColEncode, text(r, kColDecode), colour(r, kColEncode));
        deps_.table.setEncodeTone(r, text(r, kColEncode));
        setCursor(r, kColDecode);
      }
    } else if (j == kColTx) {
      clearTransmit(r);
    } else {
      clearChannel(r);
      setCursor(r, kColRx);
    }
    if (!rowHasBlank(r)) deps_.codec.ChInfoToIicDat();
  });
  emit changed();
}

void ChannelGrid::click(int r, int j) {
  guarded(deps_.log, "frmChMem->vsfgGridCh_Click:", [&] {
    highlightRow_ = 0;
    if (locked() || r < 1 || j < 1 || !isChannelRow(r) || j > lastColumn()) {
      pickerRow_ = pickerCol_ = 0;
      return;
    }
    if (pickerCol_ == kColDecode || pickerCol_ == kColEncode) {
      CtdcsSelList(pickerRow_, pickerCol_);
      setCursor(r, j);
    }
    pickerRow_ = pickerCol_ = 0;
    highlightRow_ = r;
    pickerVisible_ = false;
    if (emptyChannel(r)) {
      setCursor(r, kColRx);
      emit editRequested(r, kColRx);
    } else if (j == kColDecode) {
      setCursor(r, kColDecode);
      pickerText_ = deps_.table.decodeTone(r);
      pickerRow_ = r;
      pickerCol_ = kColDecode;
      pickerVisible_ = true;
    } else if (j == kColEncode) {
      if (deps_.table.get(kRowTx, r) == -1) {
        setCursor(r, kColTx);
      } else {
        setCursor(r, kColEncode);
        pickerText_ = deps_.table.encodeTone(r);
        pickerRow_ = r;
        pickerCol_ = kColEncode;
        pickerVisible_ = true;
      }
    } else {
      setCursor(r, j);
      emit editRequested(r, j);
    }
  });
  emit changed();
}

void ChannelGrid::doubleClick(int r, int j) {
  if (locked() || r < 1 || j < 1) return;
  guarded(deps_.log, "frmChMem->vsfgGridCh_DblClick:", [&] {
    // The double click replaces what the picker over this cell shows: the
    // picker closes without a commit.
    if (pickerRow_ == r && pickerCol_ == j) {
      pickerRow_ = pickerCol_ = 0;
      pickerVisible_ = false;
    }
    if (!isChannelRow(r) || j > lastColumn() || emptyChannel(r) || j == kColRx) return;
    aboutToChange();
    deps_.table.set(kRowMark, r, 1);
    const bool hasTx = deps_.table.get(kRowTx, r) >= 100;
    if (j == kColTx) {
      if (!hasTx) {
        deps_.table.set(kRowTx, r, deps_.table.get(kRowRx, r));
        setCell(r, kColTx, text(r, kColRx), bandColour(deps_.table.get(kRowTx, r)));
        setCell(r, kColEncode, text(r, kColDecode), colour(r, kColEncode));
        deps_.table.setEncodeTone(r, text(r, kColDecode));
      }
    } else if (j == kColDecode) {
      if (hasTx) {
        setCell(r, kColDecode, text(r, kColEncode), colour(r, kColDecode));
        deps_.table.setDecodeTone(r, text(r, kColEncode));
      }
    } else if (j == kColEncode) {
      if (hasTx) {
        setCell(r, kColEncode, text(r, kColDecode), colour(r, kColEncode));
        deps_.table.setEncodeTone(r, text(r, kColDecode));
      }
    } else if (j != kColSpecial && deps_.table.get(j, r) != -1) {
      int v = deps_.table.get(j, r);
      if (r == kRowVfo && j == kColVfoSpecial) {
        v = 0;
      } else {
        const int n = deps_.columns.optionCount(j);
        v = v >= n - 1 ? 0 : v + 1;
      }
      deps_.table.set(j, r, v);
      setCell(r, j, optionItem(j, v), colour(r, j));
    }
  });
  emit changed();
}

ContextMenuState ChannelGrid::rightButton(int r, int j, bool chLockVisible, bool chLockTicked) {
  ContextMenuState s;
  guarded(deps_.log, "frmChMem->vsfgGridCh_MouseDown:", [&] {
    if (r < 1 || j < 1 || !isChannelRow(r)) return;
    contextChannel_ = r;
    s.channel = r;
    const TextTable& t = deps_.text;
    s.delOneCaption = t.SoftFace(kTxtDelChannel) + u' ' + QString::number(r);
    s.delAllCaption = t.SoftFace(kTxtDelAll);
    s.openChCaption = t.SoftFace(kTxtOpenCh) + u' ' + QString::number(r);
    s.saveDefCaption = t.SoftFace(kTxtSaveDef);
    s.delOneEnabled = !emptyChannel(r);
    s.delAllEnabled = true;
    if (chLockVisible) {
      s.lockVisible = true;
      s.lockEnabled = true;
      s.lockCaption = t.SoftFace(kTxtLockChannels);
      s.lockChecked = chLockTicked;
      if (chLockTicked) s.delOneEnabled = s.delAllEnabled = false;
    }
  });
  return s;
}

void ChannelGrid::onChannelDeleted(int ch) {
  if (!isChannelRow(ch) || rowCount() == 0) {
    hidePicker();
    return;
  }
  const int dc = defColour();
  for (int j = 1; j <= lastColumn(); ++j) setCell(ch, j, QString(), dc);
  hidePicker();
}

void ChannelGrid::deleteOne() { deleteChannel(contextChannel_); }

void ChannelGrid::deleteChannel(int row) {
  guarded(deps_.log, "mdifrmMain->mnuDelOne_Click", [&] {
    if (row == kRowVfo || !isChannelRow(row)) return;
    aboutToChange();
    deps_.codec.DelOneChannel(row);
    deps_.table.set(kRowMark, row, 1);
  });
  emit changed();
}

void ChannelGrid::deleteAll() {
  guarded(deps_.log, "mdifrmMain->mnuDelAll_Click", [&] {
    UndoHistory::Group step(deps_.history);
    for (int ch = 1; ch <= channelCount(); ++ch) {
      deps_.codec.DelOneChannel(ch);
      deps_.table.set(kRowMark, ch, 1);
    }
  });
  emit changed();
}

// ---- the tone picker -----------------------------------------------------------

void ChannelGrid::hidePicker() {
  if (!pickerVisible_) return;
  pickerVisible_ = false;
  emit changed();
}

void ChannelGrid::pickerFocusIn() {
  guarded(deps_.log, "frmChMem->cboGridChCtdcs_GotFocus", [&] {
    if (!isChannelRow(cursorRow_)) return;
    if (cursorCol_ == kColDecode) pickerText_ = deps_.table.decodeTone(cursorRow_);
    else if (cursorCol_ == kColEncode) pickerText_ = deps_.table.encodeTone(cursorRow_);
    highlightRow_ = cursorRow_;
  });
  emit changed();
}

void ChannelGrid::pickerFocusOut() {
  guarded(deps_.log, "frmChMem->cboGridChCtdcs_LostFocus", [&] {
    CtdcsSelList(pickerRow_, pickerCol_);
    pickerVisible_ = false;
  });
  // Committed: the picker is done with its cell. Were it kept, the next click
  // would store the same text again into that channel, after an undo, a
  // deletion or the Open of another file had changed it.
  pickerRow_ = pickerCol_ = 0;
  emit changed();
}

void ChannelGrid::commitPendingTone() {
  if (pickerCol_ != kColDecode && pickerCol_ != kColEncode) return;
  CtdcsSelList(pickerRow_, pickerCol_);
  pickerRow_ = pickerCol_ = 0;  // committed once, as in pickerFocusOut
  hidePicker();  // the commit closes the picker, as a click elsewhere would
}

void ChannelGrid::closePicker(bool commit) {
  if (commit) CtdcsSelList(pickerRow_, pickerCol_);
  pickerRow_ = pickerCol_ = 0;
  pickerVisible_ = false;
  emit changed();
}

void ChannelGrid::CtdcsSelList(int r, int j) {
  if (j != kColDecode && j != kColEncode) return;
  guarded(deps_.log, "frmChMem->CtdcsSelList", [&] {
    if (!isChannelRow(r)) return;
    const auto result = canonicalToneText(pickerText_, deps_.tones.NoToneText());
    if (!result) return;  // abandoned: the channel keeps its tone
    aboutToChange();
    if (j == kColDecode) {
      setCell(r, kColDecode, *result, colour(r, kColDecode));
      deps_.table.setDecodeTone(r, *result);
    }
    // A decode tone entry sets the encode tone as well.
    setCell(r, kColEncode, *result, colour(r, kColEncode));
    deps_.table.setEncodeTone(r, *result);
    if (text(r, kColRx).isEmpty()) clearChannel(r);
    else if (text(r, kColTx).isEmpty()) clearTransmit(r);
  });
  emit changed();
}

}  // namespace zr
