#include "editors/AutoInput.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>
#include <chrono>
#include <cmath>
#include <thread>

#include "data/ChColumnDefs.h"
#include "data/ChannelTable.h"
#include "data/ToneTable.h"
#include "editors/ChannelGrid.h"
#include "editors/Editors.h"
#include "editors/GridColumns.h"
#include "base/AppSettings.h"
#include "base/ErrorLog.h"

namespace zr {

namespace {


// A first frequency is held in 100..999 MHz before the band clamp.
constexpr int kFreFloor = 10000000;
constexpr int kFreCeiling = 99900000;
// Steps: 1 kHz .. 100 MHz; anything else falls back to 25 kHz.
constexpr int kStepMin = 100;
constexpr int kStepMax = 10000000;
constexpr int kStepFallback = 2500;
const QString kStepFallbackText = QStringLiteral("25");
constexpr int kFirstCtcssPosition = 1;
constexpr int kMhz = 100000;  // 10 Hz units per MHz

const char* const kTag = "frmAutoInput->cmdAutoInput_Click";

// ---- captions: [language 1..3][index] ----
const char* const kTitle[3] = {"自动输入", "自動輸入", "Auto Input"};
const char* const kLabels[3][8] = {
    {"开始信道", "结束信道", "初始频率", "频率步进", "初始频率", "频率步进", "初始亚音", "亚音步进"},
    {"開始通道", "結束通道", "初始頻率", "頻率步進", "初始頻率", "頻率步進", "初始亞音", "亞音步進"},
    {"Start CH.", "End CH.", "First Freq.", "Step", "First Freq.", "Step", "First QT/DQT", "Step"}};
constexpr int kFirstLabel = 5;
const char* const kStatus[3] = {"正在处理,请稍侯...", "正在處理,請稍侯...", "Please Wait..."};
// Frames 1..9 and 11 (slot 9 holds frame 11).
const char* const kFrames[3][10] = {
    {"接收频率", "发射频率", "接收/发射亚音", "其它参数", "功率", "宽/窄带", "扫描", "繁忙锁定", "声控", "PTT ID类型"},
    {"接收頻率", "發射頻率", "接收/發射亞音", "其他參數", "功率", "寬/窄帶", "掃描", "繁忙鎖定", "聲控", "PTT ID類型"},
    {"Rx Freq.", "Tx Freq.", "QT/DQT DEC/Enc", "Others", "Power", "W/N", "Scan", "BCL", "VOX", "PTT ID"}};
const char* const kSetAllText[3] = {"全部设置", "全部設置", "Set All"};
const char* const kSetText[3] = {"设置", "設置", "Set"};
const char* const kChecks[3][2] = {{"发射等于接收", "随机选择"}, {"發射等於接收", "隨機選擇"}, {"TX EQU RX", "Random"}};
// Options 0..13, then 16..19 in slots 14..17.
const char* const kOptions[3][18] = {
    {"接收亚音", "发射亚音", "接收和发射亚音", "高功", "低功", "宽带", "窄带", "有", "无", "QT/DQT", "载波", "关", "否",
     "是", "关闭", "发射开始", "发射结束", "两者"},
    {"接收亞音", "發射亞音", "接收和發射亞音", "高功", "低功", "寬頻", "窄帶", "有", "無", "QT/DQT", "載波", "關", "否",
     "是", "關閉", "發射開始", "發射結束", "兩者"},
    {"QT/DQT Dec", "QT/DQT Enc", "QT/DQT Dec/Enc", "High", "Low", "Wide", "Narrow", "On", "Off", "QT/DQT", "Carrier",
     "Off", "Off", "On", "Off", "BOT", "EOT", "BOTH"}};

// The option buttons of each group, first to last; -1 ends a group.
struct Group {
  int options[4];
};
const Group kGroups[] = {
    {{AutoInput::kOptToneDec, AutoInput::kOptToneEnc, AutoInput::kOptToneDecEnc, -1}},
    {{AutoInput::kOptPowerHigh, AutoInput::kOptPowerLow, -1, -1}},
    {{AutoInput::kOptWide, AutoInput::kOptNarrow, -1, -1}},
    {{AutoInput::kOptScanOn, AutoInput::kOptScanOff, -1, -1}},
    {{AutoInput::kOptBclQtDqt, AutoInput::kOptBclCarrier, AutoInput::kOptBclOff, -1}},
    {{AutoInput::kOptVoxOff, AutoInput::kOptVoxOn, -1, -1}},
    {{AutoInput::kOptPttIdOff, AutoInput::kOptPttIdBot, AutoInput::kOptPttIdEot, AutoInput::kOptPttIdBoth}},
};

const Group* groupOf(int option) {
  for (const Group& g : kGroups)
    for (int o : g.options)
      if (o == option && o >= 0) return &g;
  return nullptr;
}

// The number in a text that passes the grid's numeric test; type mismatch otherwise.
double numberOf(const QString& text) {
  if (!ChannelGrid::isNumeric(text)) throw RunError(kErrTypeMismatch, QStringLiteral("not a number: ") + text);
  bool ok = false;
  const double v = text.trimmed().toDouble(&ok);
  if (!ok) throw RunError(kErrTypeMismatch, QStringLiteral("not a number: ") + text);
  return v;
}

void eventLoopWait(int ms) {
  if (!QCoreApplication::instance()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return;
  }
  QEventLoop loop;
  QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

// A frequency of a run as the text typed into a cell: MHz as a plain
// decimal number, with three digits before the point as the grid reads them.
QString runText(long long f) {
  QString whole = QString::number(f / kMhz).rightJustified(3, u'0');
  QString frac = QStringLiteral("%1").arg(f % kMhz, 5, 10, QLatin1Char('0'));
  while (frac.endsWith(u'0')) frac.chop(1);
  return frac.isEmpty() ? whole : whole + u'.' + frac;
}

int langSlot(int lang) { return (lang >= 1 && lang <= 3) ? lang - 1 : -1; }

}  // namespace

AutoInput::AutoInput(Deps deps, int lang, QObject* parent) : QObject(parent), deps_(std::move(deps)), lang_(lang) {
  if (!deps_.random) deps_.random = [] { return QRandomGenerator::global()->generateDouble(); };
  if (!deps_.wait) deps_.wait = eventLoopWait;
  boxes_[kBoxRxStep] = QStringLiteral("75");
  boxes_[kBoxTxStep] = QStringLiteral("75");
}

AutoInput::AutoInput(Editors& e, QObject* parent)
    : AutoInput(Deps{e.grid, e.core.ChTable, e.core.columns, e.core.tones, e.core.settings, e.core.log,
                     [&e] { return e.band.BandMin; }, [&e] { return e.band.BandMax; }, {}, {}},
                e.core.CurLang, parent) {}

// ---- captions ------------------------------------------------------------------

QString AutoInput::caption(Caption what, int index, int lang) {
  const int l = langSlot(lang);
  if (l < 0) return {};
  auto text = [](const char* s) { return QString::fromUtf8(s); };
  switch (what) {
    case Caption::Title:
      return index == 0 ? text(kTitle[l]) : QString();
    case Caption::Label:
      return index >= kFirstLabel && index < kFirstLabel + 8 ? text(kLabels[l][index - kFirstLabel]) : QString();
    case Caption::Frame:
      if (index >= 1 && index <= 9) return text(kFrames[l][index - 1]);
      return index == 11 ? text(kFrames[l][9]) : QString();
    case Caption::Check:
      return index == 0 || index == 1 ? text(kChecks[l][index]) : QString();
    case Caption::Option:
      if (index >= 0 && index <= 13) return text(kOptions[l][index]);
      return index >= 16 && index <= 19 ? text(kOptions[l][index - 2]) : QString();
    case Caption::SetButton:
      return index == 0 ? text(kSetText[l]) : QString();
    case Caption::SetAllButton:
      return index == 0 ? text(kSetAllText[l]) : QString();
    case Caption::Status:
      return index == 0 ? text(kStatus[l]) : QString();
  }
  return {};
}

// ---- opening and hiding -----------------------------------------------------------

void AutoInput::markOpen() { deps_.settings.autoInputOpen = true; }

void AutoInput::markClosed() { deps_.settings.autoInputOpen = false; }

// ---- control state ------------------------------------------------------------------

QString AutoInput::boxText(int box) const {
  return box >= 0 && box < kBoxCount ? boxes_[static_cast<size_t>(box)] : QString();
}

void AutoInput::setBoxText(int box, const QString& text) {
  if (box < 0 || box >= kBoxCount || boxes_[static_cast<size_t>(box)] == text) return;
  boxes_[static_cast<size_t>(box)] = text;
  emit changed();
}

void AutoInput::boxLostFocus(int box) {
  guarded(deps_.log, "frmAutoInput->txtAutoInput_LostFocus", [&] {
    if (box == kBoxRxFirst || box == kBoxTxFirst) {
      const QString t = boxText(box);
      setBoxText(box, ChannelGrid::isNumeric(t) ? fixedMhz(InputFreModify(t)) : QString());
    } else if (box == kBoxRxStep || box == kBoxTxStep) {
      setBoxText(box, plainDecimal(InputStepModify(boxText(box)), 2));
    }
  });
}

QStringList AutoInput::listItems(int list) const {
  QStringList items;
  switch (list) {
    case kListFirstCh:
    case kListLastCh:
      for (int k = 1; k <= kChannelChoices; ++k) items << QString::number(k);
      break;
    case kListFirstTone:
      items = deps_.tones.CtdcsList();
      break;
    case kListToneStep:
      for (int k = 0; k <= kMaxToneStep; ++k) items << QString::number(k);
      break;
    default:
      break;
  }
  return items;
}

int AutoInput::listPosition(int list) const {
  switch (list) {
    case kListFirstCh: return firstCh_;
    case kListLastCh: return lastCh_;
    case kListFirstTone: return firstTone_;
    case kListToneStep: return toneStep_;
    default: return -1;
  }
}

bool AutoInput::setListPosition(int list, int position) {
  if (position < 0 || position >= listItems(list).size()) return false;
  int* slot = list == kListFirstCh     ? &firstCh_
              : list == kListLastCh    ? &lastCh_
              : list == kListFirstTone ? &firstTone_
                                       : &toneStep_;
  if (*slot != position) {
    *slot = position;
    emit changed();
  }
  return true;
}

bool AutoInput::checked(int check) const {
  return check == kChkTxEquRx ? txEquRx_ : check == kChkRandom ? random_ : false;
}

void AutoInput::setChecked(int check, bool on) {
  if (check == kChkTxEquRx) {
    if (txEquRx_ == on) return;
    txEquRx_ = on;
    emit changed();
    // Ticking fills the range at once, receive and transmit alike.
    if (on) setRxFrequencies();
  } else if (check == kChkRandom) {
    if (random_ == on) return;
    random_ = on;
    emit changed();
  }
}

bool AutoInput::optionSelected(int option) const {
  return option >= 0 && option < kOptionSlots && options_[static_cast<size_t>(option)];
}

bool AutoInput::optionEnabled(int option) const {
  if (option == kOptBclQtDqt) return !deps_.columns.optionText(kRowBusyLock, 2).isEmpty();
  return true;
}

void AutoInput::selectOption(int option) {
  const Group* g = groupOf(option);
  if (!g || !optionEnabled(option)) return;
  for (int o : g->options)
    if (o >= 0) options_[static_cast<size_t>(o)] = (o == option);
  emit changed();
}

// ---- conversions ----------------------------------------------------------------------

QString AutoInput::fixedMhz(long long f) {
  const QString sign = f < 0 ? QStringLiteral("-") : QString();
  const long long a = f < 0 ? -f : f;
  return sign + QStringLiteral("%1.%2").arg(a / kMhz, 3, 10, QLatin1Char('0')).arg(a % kMhz, 5, 10, QLatin1Char('0'));
}

QString AutoInput::plainDecimal(long long value, int decimals) {
  long long scale = 1;
  for (int k = 0; k < decimals; ++k) scale *= 10;
  const QString sign = value < 0 ? QStringLiteral("-") : QString();
  const long long a = value < 0 ? -value : value;
  QString out = sign + QString::number(a / scale);
  QString frac = QStringLiteral("%1").arg(a % scale, decimals, 10, QLatin1Char('0'));
  while (frac.endsWith(u'0')) frac.chop(1);
  if (!frac.isEmpty()) out += u'.' + frac;
  return out;
}

int AutoInput::InputFreModify(const QString& text) const {
  int result = 0;
  guarded(deps_.log, "frmAutoInput->InputFreModify", [&] {
    const double x = std::nearbyint(numberOf(text) * kMhz);
    if (!std::isfinite(x) || std::fabs(x) > 2147483647.0) throw RunError(kErrOverflow, QStringLiteral("frequency"));
    int f = ChannelGrid::ModifyTxRxFre(static_cast<long long>(x));
    if (f < kFreFloor) f = kFreFloor;
    if (f > kFreCeiling) f = kFreCeiling;
    if (f < deps_.bandMin()) f = deps_.bandMin();
    if (f > deps_.bandMax()) f = deps_.bandMax();
    result = f;
  });
  return result;
}

int AutoInput::InputStepModify(const QString& text) const {
  int result = 0;
  guarded(deps_.log, "frmAutoInput->InputStepModify", [&] {
    const double s = std::nearbyint(numberOf(text) * 100);
    result = (s < kStepMin || s > kStepMax) ? kStepFallback : static_cast<int>(s);
  });
  return result;
}

// ---- the runs ---------------------------------------------------------------------------

bool AutoInput::locked() const { return deps_.grid.locked(); }

// Channels the range may touch must be rows of the grid.
void AutoInput::requireChannel(int ch) const {
  const int channels = deps_.grid.rowCount() - 1;
  if (ch < 1 || ch > channels) throwSubscript("channel", ch, 1, channels);
}

void AutoInput::click(int button) {
  // One Set is one step the user can take back, however many cells it fills.
  UndoHistory::Group step(deps_.grid.history());
  switch (button) {
    case kSetRx: setRxFrequencies(); break;
    case kSetTx: setTxFrequencies(); break;
    case kSetTones: setTones(); break;
    case kSetPower:
    case kSetWide:
    case kSetScan:
    case kSetBusyLock:
    case kSetVox:
    case kSetPttId: setOption(button); break;
    case kSetAll: setAll(); break;
    default: break;  // button 8 has no action
  }
}

void AutoInput::setRxFrequencies() { runFrequencies(false); }

void AutoInput::setTxFrequencies() { runFrequencies(true); }

void AutoInput::runFrequencies(bool transmit) {
  guarded(deps_.log, kTag, [&] {
    if (locked()) return;  // the interface lock keeps every channel as it is
    const int firstBox = transmit ? kBoxTxFirst : kBoxRxFirst;
    const int stepBox = transmit ? kBoxTxStep : kBoxRxStep;
    if (boxText(firstBox).isEmpty()) setBoxText(firstBox, fixedMhz(deps_.bandMin()));
    if (!ChannelGrid::isNumeric(boxText(firstBox))) {
      setBoxText(firstBox, QString());
      return;
    }
    const int f = InputFreModify(boxText(firstBox));
    if (f == 0) return;
    int s = InputStepModify(boxText(stepBox));
    // A step that cannot be read falls back like one out of range, rather
    // than piling the whole range onto the first frequency.
    if (s == 0) s = kStepFallback;
    if (s == kStepFallback) setBoxText(stepBox, kStepFallbackText);

    const int col = transmit ? kColTx : kColRx;
    const bool alsoTx = !transmit && txEquRx_;
    for (int ch = firstChannel(), k = 0; ch <= lastChannel(); ++ch, ++k) {
      requireChannel(ch);
      // Above 999 MHz a frequency no longer fits the grid's "###.#####"
      // reading; 999 MHz still lands on the band's upper edge there.
      const long long value = std::min<long long>(f + static_cast<long long>(k) * s, kFreCeiling);
      const QString text = runText(value);
      deps_.grid.setCursor(ch, col);
      deps_.grid.GridChAfterEdit(ch, col, text);
      if (alsoTx) {
        deps_.grid.setCursor(ch, kColTx);
        deps_.grid.GridChAfterEdit(ch, kColTx, text);
      }
    }
  });
}

AutoInput::ToneMode AutoInput::toneMode() const {
  if (optionSelected(kOptToneDec)) return ToneMode::RxCtdcs;
  if (optionSelected(kOptToneEnc)) return ToneMode::TxCtdcs;
  if (optionSelected(kOptToneDecEnc)) return ToneMode::RxTxCtdcs;
  return ToneMode::None;
}

void AutoInput::setTones() {
  guarded(deps_.log, kTag, [&] {
    if (locked()) return;
    const ToneMode mode = toneMode();
    if (mode == ToneMode::None) return;
    const QStringList& list = deps_.tones.CtdcsList();
    const int n = static_cast<int>(list.size());
    const int d = toneStep_;
    int p = firstTone_;
    for (int ch = firstChannel(); ch <= lastChannel(); ++ch) {
      requireChannel(ch);
      int shown = p;
      if (random_) {
        const double r = deps_.random();
        p = std::clamp(static_cast<int>(std::floor(r * n)), 0, n - 1);
        shown = p;
      } else {
        p += d;
      }
      // The position wraps to the first CTCSS tone before it reaches the last entry.
      if (p >= n - 1) p = kFirstCtcssPosition;
      if (shown < 0 || shown >= n) throwSubscript("tone list", shown, 0, n - 1);
      const QString tone = list[shown];
      const bool rxNumeric = ChannelGrid::isNumeric(deps_.grid.text(ch, kColRx));
      const bool txNumeric = ChannelGrid::isNumeric(deps_.grid.text(ch, kColTx));
      if ((mode == ToneMode::RxCtdcs || mode == ToneMode::RxTxCtdcs) && rxNumeric) {
        deps_.grid.setCursor(ch, kColDecode);
        deps_.table.setDecodeTone(ch, tone);
        deps_.grid.GridChAfterEdit(ch, kColDecode, tone);
        if (mode == ToneMode::RxTxCtdcs && txNumeric) {
          deps_.grid.setCursor(ch, kColEncode);
          deps_.table.setEncodeTone(ch, tone);
          deps_.grid.GridChAfterEdit(ch, kColEncode, tone);
        }
      } else if (mode == ToneMode::TxCtdcs && txNumeric) {
        deps_.grid.setCursor(ch, kColEncode);
        deps_.table.setEncodeTone(ch, tone);
        deps_.grid.GridChAfterEdit(ch, kColEncode, tone);
      }
    }
    // The first-tone list keeps its position: the run walks a copy of it.
  });
}

// The value a group's Set stores, from its selected option.
int AutoInput::groupValue(int button) const {
  switch (button) {
    case kSetPower: return optionSelected(kOptPowerHigh) ? 1 : 0;
    case kSetWide: return optionSelected(kOptWide) ? 1 : 0;
    case kSetScan: return optionSelected(kOptScanOn) ? 1 : 0;
    case kSetBusyLock: return optionSelected(kOptBclOff) ? 0 : optionSelected(kOptBclCarrier) ? 1 : 2;
    case kSetVox: return optionSelected(kOptVoxOn) ? 1 : 0;
    case kSetPttId:
      return optionSelected(kOptPttIdBot) ? 1 : optionSelected(kOptPttIdEot) ? 2 : optionSelected(kOptPttIdBoth) ? 3 : 0;
    default: return 0;
  }
}

void AutoInput::setOption(int button) {
  // Button -> channel table row: 5 power, 6 bandwidth, 7 scan, 8 busy lockout, 9 VOX, 10 PTT ID.
  int row = 0;
  switch (button) {
    case kSetPower: row = kRowPower; break;
    case kSetWide: row = kRowWide; break;
    case kSetScan: row = kRowScan; break;
    case kSetBusyLock: row = kRowBusyLock; break;
    case kSetVox: row = kRowVox; break;
    case kSetPttId: row = kRowPttId; break;
    default: return;
  }
  guarded(deps_.log, kTag, [&] {
    if (locked()) return;
    if (row >= deps_.grid.columnCount()) throwSubscript("grid column", row, 1, deps_.grid.columnCount() - 1);
    const int value = groupValue(button);
    // A value the column does not offer would be stored as something else.
    if (deps_.columns.optionText(row, value).isEmpty()) return;
    // Power needs a transmit frequency; every other option a receive frequency.
    const int required = row == kRowPower ? kColTx : kColRx;
    const QString shown = deps_.columns.optionText(row, value);
    for (int ch = firstChannel(); ch <= lastChannel(); ++ch) {
      requireChannel(ch);
      if (!ChannelGrid::isNumeric(deps_.grid.text(ch, required))) continue;
      deps_.table.set(row, ch, value);
      deps_.grid.setCursor(ch, row);
      deps_.grid.GridChAfterEdit(ch, row, shown);
    }
  });
}

void AutoInput::setAll() {
  status_ = caption(Caption::Status, 0, lang_);
  emit changed();
  guarded(deps_.log, kTag, [&] { deps_.wait(kSetAllPauseMs); });
  setRxFrequencies();
  if (!txEquRx_) setTxFrequencies();
  setTones();
  for (int button : {kSetPower, kSetWide, kSetScan, kSetBusyLock}) setOption(button);
  status_.clear();
  emit changed();
}

}  // namespace zr
