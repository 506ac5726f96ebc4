// The settings fields whose bytes need a rule of their own: the side key 1
// long-press shortcut list, the tail elimination byte and its check box, and
// the table of VOX comparison values.
#include <iterator>

#include "data/ByteArray.h"
#include "editors/SettingsMap.h"
#include "base/RunError.h"

namespace zr {

namespace {

// Side-key function codes the shortcut list `cboSk1Long` offers, by position:
// off, scan, emergency alarm (local), emergency alarm (local and distance),
// battery volume. Both alarm entries store the same function; the alarm type
// bit tells them apart.
constexpr int kKeyOff = 0;
constexpr int kKeyScan = 3;
constexpr int kKeyBatteryVolume = 11;
constexpr int kKeyEmergencyAlarm = 15;
constexpr int kSk1LongCodes[] = {kKeyOff, kKeyScan, kKeyEmergencyAlarm, kKeyEmergencyAlarm, kKeyBatteryVolume};
constexpr int kSk1LongLocalAlarm = 2;
constexpr int kSk1LongDistanceAlarm = 3;
constexpr int kAlarmDistanceBit = 0x02;  // bit 1 of 0x0367
constexpr int kAlarmLocal = 0;           // `cboAlarmSort` positions
constexpr int kAlarmLocalAndDistance = 1;

constexpr int kTailModes = 7;        // bits 0-6, one per mode
constexpr int kTailLegacyBit = 0x80; // a byte with only bit 7 set shows mode 5
constexpr int kTailLegacyPosition = 4;

constexpr int kVoxMillivoltsFull = 3300;  // the comparison byte spans 0-3.3 V
constexpr int kVoxByteFull = 255;

}  // namespace

QString voxCmpName(int n) { return QStringLiteral("cboVoxCmpDat(%1)").arg(n); }

const std::vector<int>& voxCmpDefaults() {
  static const std::vector<int> values = {150, 145, 140, 125, 110, 95, 80, 65, 50, 35};
  return values;
}

QString voxCmpTip(int position) {
  // position / 255 * 3300 mV, rounded to whole millivolts.
  const int mv = (2 * position * kVoxMillivoltsFull + kVoxByteFull) / (2 * kVoxByteFull);
  return QString::number(mv) + QStringLiteral("mv");
}

int tailDelPosition(int byte) {
  for (int bit = 0; bit < kTailModes; ++bit)
    if (byte & (1 << bit)) return bit;
  return (byte & kTailLegacyBit) ? kTailLegacyPosition : kTailDelOff;
}

int tailDelByte(int position) {
  if (position < 0 || position > kTailDelOff) throwSubscript("tail elimination", position, 0, kTailDelOff);
  return position == kTailDelOff ? 0x00 : (1 << position);
}

FieldRule sk1LongRule() {
  FieldRule r;
  r.decode = [](SettingsMap& m, bool) {
    // A function this list does not offer shows as "off" and stays stored
    // until the user picks an entry.
    switch (m.image().at(kSk1LongAddr)) {
      case kKeyScan:
        return 1;
      case kKeyEmergencyAlarm:
        return (m.image().at(kAlarmFlagsAddr) & kAlarmDistanceBit) ? kSk1LongDistanceAlarm : kSk1LongLocalAlarm;
      case kKeyBatteryVolume:
        return 4;
      default:
        return 0;
    }
  };
  r.encode = [](SettingsMap& m, int position) {
    constexpr int count = static_cast<int>(std::size(kSk1LongCodes));
    if (position < 0 || position >= count) throwSubscript("cboSk1Long", position, 0, count - 1);
    m.image().set(kSk1LongAddr, kSk1LongCodes[position]);
  };
  return r;
}

Link sk1LongAlarmLink() {
  return [](SettingsMap& m, const FieldState& s) {
    const QString alarmSort = QStringLiteral("cboAlarmSort");
    requireField(m, alarmSort);
    if (s.position == kSk1LongLocalAlarm) m.setPosition(alarmSort, kAlarmLocal);
    else if (s.position == kSk1LongDistanceAlarm) m.setPosition(alarmSort, kAlarmLocalAndDistance);
  };
}

FieldRule tailDelRule() {
  FieldRule r;
  r.decode = [](SettingsMap& m, bool) { return tailDelPosition(m.image().at(kTailDelAddr)); };
  r.encode = [](SettingsMap& m, int position) { m.image().set(kTailDelAddr, tailDelByte(position)); };
  return r;
}

FieldRule tailDelCheckRule() {
  FieldRule r;
  r.decode = [](SettingsMap& m, bool) { return tailDelPosition(m.image().at(kTailDelAddr)) == kTailDelFrequency ? 1 : 0; };
  // The box has no byte of its own: it picks "4--Freqency" or "8--Off" in the
  // tail elimination list, whose own rule writes the byte.
  r.encode = [](SettingsMap& m, int checked) {
    const QString tailDel = QStringLiteral("cboTailDel");
    requireField(m, tailDel);
    m.setPosition(tailDel, checked ? kTailDelFrequency : kTailDelOff);
  };
  return r;
}

void voxCmpDefault(SettingsMap& m) {
  const std::vector<int>& values = voxCmpDefaults();
  for (int n = 1; n <= kVoxCmpLevels; ++n) m.setPosition(voxCmpName(n), values[static_cast<size_t>(n - 1)]);
  m.image().set(kVoxCmpValidAddr, kVoxCmpValid);
}

void voxCmpRefresh(SettingsMap& m) {
  // Values written by a tool that did not know the table are replaced as a
  // whole; valid ones are only limited, row by row.
  if (m.image().at(kVoxCmpValidAddr) != kVoxCmpValid) voxCmpDefault(m);
}

bool isServiceCode(const QString& enteredCode) {
  static const QString code = QStringLiteral("高级码");
  return enteredCode.toUpper() == code;
}

}  // namespace zr
