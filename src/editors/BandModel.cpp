#include "editors/BandModel.h"

#include <QRegularExpression>
#include <cmath>

#include "data/ByteCodes.h"
#include "data/DataFiles.h"
#include "data/MemoryImage.h"
#include "data/Core.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

namespace {
// The range the image is repaired to when it holds no sensible one.
constexpr int kRepairMin = 40000000;
constexpr int kRepairMax = 48000000;
constexpr int kUnitsPer100kHz = 10000;  // 10 Hz units in 100 kHz
constexpr double kUnitsPerMHz = 100000.0;

const QString kDefaultMinText = QStringLiteral("120");
const QString kDefaultMaxText = QStringLiteral("520");

// Limits in 10 Hz units to 100 kHz units, halves to the even neighbour.
int to100kHz(int f) { return static_cast<int>(std::nearbyint(f / static_cast<double>(kUnitsPer100kHz))); }
}  // namespace

const BandRange BandModel::kRanges[kRangeCount] = {
    {"134 - 174 MHz", -1, 13400000, 17400000}, {"136 - 174 MHz", -1, 13600000, 17400000},
    {"136 - 150 MHz", -1, 13600000, 15000000}, {"150 - 174 MHz", -1, 15000000, 17400000},
    {"200 - 260 MHz", -1, 20000000, 26000000}, {"245 - 246 MHz", -1, 24500000, 24600000},
    {"320 - 400 MHz", -1, 32000000, 40000000}, {"400 - 470 MHz", -1, 40000000, 47000000},
    {"400 - 480 MHz", -1, 40000000, 48000000}, {"400 - 440 MHz", -1, 40000000, 44000000},
    {"440 - 480 MHz", -1, 44000000, 48000000}, {"470 - 520 MHz", -1, 47000000, 52000000},
    {"400 - 520 MHz", -1, 40000000, 52000000}, {"120 - 520 MHz", -1, 12000000, 52000000},
    {"Custom", kTxtCustomBand, 0, 0},  // limits from the custom dialog
};

bool isGeneralNumber(const QString& text) {
  static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)\\s*$"));
  // \d would also take digits of other scripts: the radio's texts are ASCII.
  for (const QChar c : text)
    if (c.isDigit() && c.unicode() >= 128) return false;
  return number.match(text).hasMatch();
}

std::pair<int, int> toBandBcd(int v) {
  const int hi = (v / 1000) * 16 + (v % 1000) / 100;
  const int lo = ((v % 100) / 10) * 16 + v % 10;
  if (v < 0 || hi > 0xFF) throw RunError(kErrOverflow, QStringLiteral("band limit %1 does not fit four BCD digits").arg(v));
  return {hi, lo};
}

int fromBandBcd(int hi, int lo) {
  return bytecodes::fromBcdByte(hi) * 100 + bytecodes::fromBcdByte(lo);
}

BandModel::BandModel(MemoryImage& image, DataFiles& files, const TextTable& text, ErrorLog& log)
    : image_(image), files_(files), text_(text), log_(log) {}

BandModel::BandModel(Core& core) : BandModel(core.image, core.files, core.text, core.log) {}

void BandModel::setModelPosition(int position) {
  if (modelPosition_ == position) return;
  modelPosition_ = position;
  notify();
}

QString BandModel::rangeText(int position) const {
  if (position < 0 || position >= kRangeCount) return {};
  if (position < rangeTexts_.size()) return rangeTexts_[position];
  const BandRange& r = kRanges[position];
  return r.textEntry >= 0 ? text_.SoftFace(r.textEntry) : QString::fromLatin1(r.text);
}

void BandModel::ChInfoModel() {
  guarded(log_, "frmChMem->ChInfoModel", [&] {
    modelTexts_.clear();
    modelPosition_ = -1;
    modelTexts_ << text_.SoftFace(kTxtModelName);
    notify();
    selectModel(0);

    rangeTexts_.clear();
    rangePosition_ = -1;
    QStringList texts;
    for (int p = 0; p < kRangeCount; ++p) texts << rangeText(p);
    rangeTexts_ = texts;
    notify();
    cboFrequency_Click(kInitialPosition);
  });
}

void BandModel::selectModel(int position) {
  // The model list has nothing to fail on but a missing image: ignored.
  silently([&] {
    if (position < 0) position = 0;
    if (position >= kModelCount) throwSubscript("cboModel", position, 0, kModelCount - 1);
    files_.history().aboutToChange();
    setModelPosition(position);
    image_.TempArray.set(kModelByteAddr, position);
  });
}

void BandModel::storeBandLimits() {
  // Both limits are converted before either is stored, so a failure leaves the
  // image's range whole.
  const auto [minHi, minLo] = toBandBcd(to100kHz(BandMin));
  const auto [maxHi, maxLo] = toBandBcd(to100kHz(BandMax));
  if (!image_.TempArray.contains(kBandMaxAddr + 1))
    throwSubscript("TempArray", kBandMaxAddr + 1, 0, image_.TempArray.upperBound());
  image_.TempArray.set(kBandMinAddr, minHi);
  image_.TempArray.set(kBandMinAddr + 1, minLo);
  image_.TempArray.set(kBandMaxAddr, maxHi);
  image_.TempArray.set(kBandMaxAddr + 1, maxLo);
}

void BandModel::cboFrequency_Click(int position) {
  guarded(log_, "frmChMem->cboFrequency_Click", [&] {
    if (position < 0 || position >= kRangeCount) throwSubscript("cboFrequency", position, 0, kRangeCount - 1);
    // A range the user picks replaces the data set: unsaved changes are saved
    // or dropped first, or the list goes back to the range it showed.
    if (!restoring_ && !files_.mayReplaceData()) {
      notify();
      return;
    }
    if (rangePosition_ != position) {
      rangePosition_ = position;
      notify();
    }
    if (restoring_) return;
    // The new range, the custom dialog and the new data set are one step.
    UndoHistory::Group step(files_.history());
    if (position == kCustomPosition) {
      // The dialog sets the limits on OK and leaves them on Cancel; either
      // way the range is stored and a new data set starts.
      emit customRangeWanted();
    } else {
      BandMin = kRanges[position].min;
      BandMax = kRanges[position].max;
    }
    storeBandLimits();
    files_.NewFileSol();
  });
}

void BandModel::IicDatToModel() {
  int stored = -1;
  silently([&] { stored = image_.TempArray.at(kModelByteAddr); });
  if (stored >= 0 && stored < kModelCount) {
    selectModel(stored);
    return;
  }
  // An unknown model number (or none) becomes the only model. An image too
  // short to hold the byte raises here, for the refresh to log.
  selectModel(0);
  image_.TempArray.set(kModelByteAddr, 0);
}

void BandModel::IicDatToFreRange(bool repair) {
  restoring_ = true;
  const bool ok = silently([&] {
    ByteArray& a = image_.TempArray;
    int lo = fromBandBcd(a.at(kBandMinAddr), a.at(kBandMinAddr + 1)) * kUnitsPer100kHz;
    int hi = fromBandBcd(a.at(kBandMaxAddr), a.at(kBandMaxAddr + 1)) * kUnitsPer100kHz;
    const auto outside = [](int f) { return f < kBandFloor || f > kStoredBandCeiling; };
    if ((outside(lo) || outside(hi) || hi < lo) && !repair) return;
    if (outside(lo) || outside(hi) || hi < lo) {
      // No sensible range in the image: repair it to 400-480 MHz in place.
      const auto [minHi, minLo] = toBandBcd(kRepairMin / kUnitsPer100kHz);
      const auto [maxHi, maxLo] = toBandBcd(kRepairMax / kUnitsPer100kHz);
      a.set(kBandMinAddr, minHi);
      a.set(kBandMinAddr + 1, minLo);
      a.set(kBandMaxAddr, maxHi);
      a.set(kBandMaxAddr + 1, maxLo);
      lo = kRepairMin;
      hi = kRepairMax;
    }
    int position = kCustomPosition;
    for (int p = 0; p < kCustomPosition; ++p) {
      if (kRanges[p].min == lo && kRanges[p].max == hi) {
        position = p;
        break;
      }
    }
    // The flag is still set: this only shows the position, the dialog stays shut.
    cboFrequency_Click(position);
    BandMin = lo;
    BandMax = hi;
  });
  if (!ok) {
    BandMin = kBandFloor;
    BandMax = kBandCeiling;
    cboFrequency_Click(kCustomPosition);
  }
  restoring_ = false;
}

CustomTexts BandModel::customShownTexts() const {
  return {mstrFreMin.isEmpty() ? kDefaultMinText : mstrFreMin, mstrFreMax.isEmpty() ? kDefaultMaxText : mstrFreMax};
}

CustomTexts BandModel::CustomFreOk(const QString& minText, const QString& maxText) {
  CustomTexts boxes{kDefaultMinText, kDefaultMaxText};
  const bool ok = guarded(log_, "frmCustomFre->cmdOK_Click", [&] {
    UndoHistory::Group step(files_.history());
    // A custom range starts a new, untitled data set (still with the range
    // bytes of the previous range; the range change stores the new ones).
    image_.CurFilePath = files_.untitledPath();
    files_.updateStatus();
    files_.NewFileSol();

    bool accepted = false;
    if (isGeneralNumber(minText) && isGeneralNumber(maxText)) {
      // Compared as real numbers first, so that a huge text cannot overflow.
      const double lo = std::nearbyint(minText.trimmed().toDouble() * kUnitsPerMHz);
      const double hi = std::nearbyint(maxText.trimmed().toDouble() * kUnitsPerMHz);
      const auto inside = [](double f) { return f >= kBandFloor && f <= kBandCeiling; };
      if (inside(lo) && inside(hi) && hi >= lo) {
        BandMin = static_cast<int>(lo);
        BandMax = static_cast<int>(hi);
        boxes = {minText, maxText};
        accepted = true;
      }
    }
    if (!accepted) {
      BandMin = kBandFloor;
      BandMax = kBandCeiling;
    }
    mstrFreMin = boxes.first;
    mstrFreMax = boxes.second;
  });
  if (!ok) {
    BandMin = kBandFloor;
    BandMax = kBandCeiling;
    boxes = {kDefaultMinText, kDefaultMaxText};
  }
  return boxes;
}

ScriptedCustomRange::ScriptedCustomRange(BandModel& band, std::optional<CustomTexts> answer)
    : connection_(QObject::connect(&band, &BandModel::customRangeWanted, [&band, answer] {
        if (answer) band.CustomFreOk(answer->first, answer->second);
      })) {}

ScriptedCustomRange::~ScriptedCustomRange() { QObject::disconnect(connection_); }

}  // namespace zr
