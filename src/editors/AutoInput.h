#pragma once
// The automatic channel input `frmAutoInput` without widgets: fills a range of
// channels with receive and transmit frequencies from a first frequency and a
// step, with CTCSS/DCS tones stepped through the tone list or drawn at random,
// and with the per-channel options (power, bandwidth, scan, busy-channel
// lockout, VOX, PTT ID).
//
// Every channel is changed through the channel grid exactly as a typed entry:
// the grid cursor moves to the cell, the text is written and the grid's
// after-edit rules run, so snapping, band clamping, new-channel defaults and
// encoding into the image all happen there.
//
// The model also keeps the dialog's control state (box texts, list positions,
// ticks, option buttons, enabled states, the status line) so that the window
// only shows it and forwards clicks.
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace zr {

class ChannelGrid;
class ChannelTable;
struct ChColumnDefs;
class ToneTable;
struct AppSettings;
class ErrorLog;
struct Editors;

class AutoInput : public QObject {
  Q_OBJECT
 public:
  // ---- element indices of the dialog's control arrays ----
  // Text boxes `txtAutoInput`(i).
  static constexpr int kBoxRxFirst = 0;  // MHz
  static constexpr int kBoxRxStep = 1;   // kHz
  static constexpr int kBoxTxFirst = 2;
  static constexpr int kBoxTxStep = 3;
  static constexpr int kBoxCount = 4;
  // Lists `cboAutoInput`(i).
  static constexpr int kListFirstCh = 5;
  static constexpr int kListLastCh = 6;
  static constexpr int kListFirstTone = 7;
  static constexpr int kListToneStep = 11;
  // Check boxes `chkAutoInput`(i).
  static constexpr int kChkTxEquRx = 0;
  static constexpr int kChkRandom = 1;
  // Option buttons `optAutoInput`(i): 0..13 and 16..19.
  static constexpr int kOptToneDec = 0, kOptToneEnc = 1, kOptToneDecEnc = 2;
  static constexpr int kOptPowerHigh = 3, kOptPowerLow = 4;
  static constexpr int kOptWide = 5, kOptNarrow = 6;
  static constexpr int kOptScanOn = 7, kOptScanOff = 8;
  static constexpr int kOptBclQtDqt = 9, kOptBclCarrier = 10, kOptBclOff = 11;
  static constexpr int kOptVoxOff = 12, kOptVoxOn = 13;
  static constexpr int kOptPttIdOff = 16, kOptPttIdBot = 17, kOptPttIdEot = 18, kOptPttIdBoth = 19;
  static constexpr int kOptionSlots = 20;
  // Buttons `cmdAutoInput`(i).
  static constexpr int kSetRx = 0, kSetTx = 1, kSetTones = 2, kSetPower = 3, kSetWide = 4, kSetScan = 5,
                       kSetBusyLock = 6, kSetVox = 7, kSetNothing = 8, kSetPttId = 9, kSetAll = 18;
  // Frame of the transmit group, `fraAutoInput`(2); status label `lblAutoInput`(13).
  static constexpr int kFrameTx = 2;
  static constexpr int kStatusLabel = 13;

  static constexpr int kChannelChoices = 16;  // the channel lists offer "1".."16"
  static constexpr int kMaxToneStep = 25;     // the tone-step list offers "0".."25"
  static constexpr int kSetAllPauseMs = 200;  // lets the status line show before the run

  // Which part of the dialog a caption belongs to.
  enum class Caption { Title, Label, Frame, Check, Option, SetButton, SetAllButton, Status };

  // The three tone targets, with the names the tone run uses.
  enum class ToneMode { None, RxCtdcs, TxCtdcs, RxTxCtdcs };

  struct Deps {
    ChannelGrid& grid;
    ChannelTable& table;
    const ChColumnDefs& columns;
    const ToneTable& tones;
    AppSettings& settings;  // the automatic-input-open flag
    ErrorLog& log;
    std::function<int()> bandMin;
    std::function<int()> bandMax;
    // Uniform random number in [0, 1); unset draws from the system generator.
    std::function<double()> random;
    // Pause before a Set All (ms), serving the window; unset runs a local event loop.
    std::function<void(int ms)> wait;
  };

  explicit AutoInput(Deps deps, int lang = 3, QObject* parent = nullptr);
  // The model over the program's editors (band limits of its band model).
  explicit AutoInput(Editors& editors, QObject* parent = nullptr);

  // ---- captions in the three languages (1 Simplified, 2 Traditional Chinese, 3 English) ----
  // Title and buttons take index 0; labels 5..12, frames 1..9 and 11, check
  // boxes 0..1, options 0..13 and 16..19. Empty for anything else.
  static QString caption(Caption what, int index, int lang);
  int language() const { return lang_; }

  // ---- opening and hiding ----
  // `cmdAutoInput` of the channel window: marks the dialog open.
  void markOpen();
  // The user's close box hides the dialog; its fields keep their values.
  void markClosed();

  // ---- control state ----
  QString boxText(int box) const;
  void setBoxText(int box, const QString& text);
  // `txtAutoInput_LostFocus`: frequency boxes are normalised to "000.00000",
  // step boxes to the step in kHz.
  void boxLostFocus(int box);

  QStringList listItems(int list) const;
  int listPosition(int list) const;
  // False (and no change) for an unknown list or a position outside it.
  bool setListPosition(int list, int position);

  bool checked(int check) const;
  // `chkAutoInput_Click`: ticking "TX EQU RX" runs the receive Set at once.
  void setChecked(int check, bool on);

  bool optionSelected(int option) const;
  // An option the channel column cannot hold is disabled: busy-channel
  // lockout "QT/DQT" needs a third option in the column.
  bool optionEnabled(int option) const;
  // Selects an option button; the others of its group are cleared. A
  // disabled option is not selected.
  void selectOption(int option);

  bool txFrameEnabled() const { return !txEquRx_; }
  bool toneListsEnabled() const { return !random_; }
  const QString& status() const { return status_; }

  // ---- the buttons ----
  // `cmdAutoInput_Click`(index): one Set, Set All (18), or nothing (8 and unknown).
  void click(int button);
  void setRxFrequencies();
  void setTxFrequencies();
  void setTones();
  void setOption(int button);  // 3..7 and 9
  void setAll();

  ToneMode toneMode() const;
  int firstChannel() const { return firstCh_ + 1; }
  int lastChannel() const { return lastCh_ + 1; }

  // ---- conversions ----
  // MHz text -> 10 Hz units: snapped to the raster, held in 100..999 MHz,
  // then in the band. 0 when the text cannot be converted.
  int InputFreModify(const QString& text) const;
  // kHz text -> 10 Hz units; below 1 kHz or above 100 MHz gives 25 kHz.
  // 0 when the text cannot be converted.
  int InputStepModify(const QString& text) const;
  // A frequency as "000.00000" MHz.
  static QString fixedMhz(long long f);
  // value / 10^decimals as a plain decimal number without trailing zeros.
  static QString plainDecimal(long long value, int decimals);

 signals:
  void changed();  // any control state changed

 private:
  void runFrequencies(bool transmit);
  void requireChannel(int ch) const;
  int groupValue(int button) const;
  bool locked() const;

  Deps deps_;
  int lang_;
  std::array<QString, kBoxCount> boxes_;
  int firstCh_ = 0;
  int lastCh_ = kChannelChoices - 1;
  int firstTone_ = 0;
  int toneStep_ = 6;
  bool txEquRx_ = false;
  bool random_ = false;
  std::array<bool, kOptionSlots> options_{};
  QString status_;
};

}  // namespace zr
