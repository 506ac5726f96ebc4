#pragma once
// The model and frequency range of the radio (`fraModel` of the channel
// window): the model list `cboModel`, the range list `cboFrequency`, the band
// limits `BandMin`/`BandMax` every frequency is forced into, and the rules of
// the custom range dialog `frmCustomFre`.
//
// The radio keeps its model number at 0x0379 and its band limits at
// 0x037A-0x037D, each limit as four BCD digits of 100 kHz, most significant
// first (400.0 MHz = 4000 = 0x40 0x00). Choosing a range starts a new data
// set: the image returns to the default image with only these five bytes kept.
//
// Widget-free: the frame and the dialog follow this model through its
// `listsChanged` signal and call back into it; the CLI and tests drive it
// directly.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace zr {

struct Core;
struct MemoryImage;
class DataFiles;
class TextTable;
class ErrorLog;

// One entry of the range list; `textEntry` >= 0 takes the text from the text table.
struct BandRange {
  const char* text;
  int textEntry;
  int min;  // 10 Hz units
  int max;
};

constexpr int kBandFloor = 12000000;    // 120 MHz, lowest limit the dialog accepts
constexpr int kBandCeiling = 52000000;  // 520 MHz, highest limit the dialog accepts
constexpr int kStoredBandCeiling = 55000000;  // 550 MHz, highest limit an image may hold
constexpr int kBandMinAddr = 0x037A;
constexpr int kBandMaxAddr = 0x037C;

// The texts of the custom range dialog's two boxes (MHz): lower, upper.
using CustomTexts = std::pair<QString, QString>;

// Whether a text is a plain decimal number: optional sign, digits with at
// most one point, blanks around ("12", " -3.5 ", ".5", "7."). No exponent,
// no grouping, nothing else.
bool isGeneralNumber(const QString& text);

// Four BCD digits of a value 0..9999 in two bytes, most significant first.
std::pair<int, int> toBandBcd(int value);
// The value of two such bytes; each nibble counts 0..15 without a BCD check.
int fromBandBcd(int hi, int lo);

class BandModel : public QObject {
  Q_OBJECT

 public:
  static constexpr int kModelCount = 1;
  static constexpr int kRangeCount = 15;
  static constexpr int kCustomPosition = 14;   // "Custom"
  static constexpr int kInitialPosition = 12;  // "400 - 520 MHz"
  static constexpr int kRepairPosition = 8;    // "400 - 480 MHz"
  static const BandRange kRanges[kRangeCount];

  BandModel(MemoryImage& image, DataFiles& files, const TextTable& text, ErrorLog& log);
  explicit BandModel(Core& core);

  // The band limits, 10 Hz units, inclusive.
  int BandMin = 40000000;
  int BandMax = 52000000;

  // The last texts the custom dialog accepted; empty until it is first confirmed.
  QString mstrFreMin;
  QString mstrFreMax;


  // Fills both lists and selects "400 - 520 MHz", which applies that range.
  void ChInfoModel();
  // The model list's selection: -1 counts as 0; the position goes to 0x0379.
  void selectModel(int position);
  // The range list's selection (by the user or the program): applies the
  // range at `position` unless the list is being positioned from the image.
  void cboFrequency_Click(int position);

  // Position both lists from the image after a load.
  void IicDatToModel();
  // `repair` false (an undo step shown as it is): a range the image cannot
  // hold is left unrepaired and the lists stay where they are.
  void IicDatToFreRange(bool repair = true);

  // The OK of the custom dialog with the two texts typed: new file path, a
  // new data set, then the limits (120-520 MHz when the texts are not a valid
  // pair). Returns the texts the boxes end with, which are also kept in
  // mstrFreMin/mstrFreMax.
  CustomTexts CustomFreOk(const QString& minText, const QString& maxText);
  // What the dialog's boxes show when it opens.
  CustomTexts customShownTexts() const;

  // Writes BandMin/BandMax into 0x037A-0x037D in 100 kHz units (halves to even).
  void storeBandLimits();

  const QStringList& modelTexts() const { return modelTexts_; }
  const QStringList& rangeTexts() const { return rangeTexts_; }
  int modelPosition() const { return modelPosition_; }
  int rangePosition() const { return rangePosition_; }
  // The text of a range position in the current language (empty outside the list).
  QString rangeText(int position) const;
  // Set while the range list is being positioned from the image.
  bool restoring() const { return restoring_; }

 signals:
  // The lists or their positions changed.
  void listsChanged();
  // "Custom" was chosen: the front end runs the custom range dialog modally
  // before this returns. The dialog shows `customShownTexts()` and its OK
  // calls `CustomFreOk`; Cancel (or nobody listening) leaves the limits.
  void customRangeWanted();

 private:
  void setModelPosition(int position);
  void notify() { emit listsChanged(); }

  MemoryImage& image_;
  DataFiles& files_;
  const TextTable& text_;
  ErrorLog& log_;
  QStringList modelTexts_;
  QStringList rangeTexts_;
  int modelPosition_ = -1;
  int rangePosition_ = -1;
  bool restoring_ = false;
};

// Answers the custom range dialog without a window while it lives: OK with
// the given texts, or Cancel when there are none (the command line, tests).
class ScriptedCustomRange {
 public:
  ScriptedCustomRange(BandModel& band, std::optional<CustomTexts> answer);
  ~ScriptedCustomRange();
  ScriptedCustomRange(const ScriptedCustomRange&) = delete;
  ScriptedCustomRange& operator=(const ScriptedCustomRange&) = delete;

 private:
  QMetaObject::Connection connection_;
};

}  // namespace zr
