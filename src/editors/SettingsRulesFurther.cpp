#include "editors/SettingsRulesFurther.h"

#include "data/ByteArray.h"
#include "base/RunError.h"

namespace zr {

namespace {
constexpr int kLowNibble = 0x0F;
constexpr int kNibbleBits = 4;
constexpr int kDigitMax = 9;
const QString kDigitInterval = QStringLiteral("cboCodeSpaceTime");
}  // namespace

int alarmChPosition(int byte) { return (byte & kAlarmChSelected) ? 0 : (byte & kLowNibble) + 1; }

int alarmChByte(int byte, int position) {
  if (position < 0 || position > kAlarmChFixedLast) throwSubscript("cboAlarmCh", position, 0, kAlarmChFixedLast);
  if (position == 0) return byte | kAlarmChSelected;
  return (byte & ~(kAlarmChSelected | kLowNibble)) | (position - 1);
}

QString radioIdName(int digit) { return QStringLiteral("cboRadioId(%1)").arg(digit); }

int radioIdPosition(int nibble) { return nibble > kDigitMax ? 0 : nibble; }

int radioIdNibble(int position) {
  if (position < 0 || position > kDigitMax) throwSubscript("cboRadioId", position, 0, kDigitMax);
  return position == 0 ? kRadioIdOff : position;
}

int tailToneVolumePosition(const VoiceSeq& seq, int byte) {
  for (int p = static_cast<int>(seq.size()) - 1; p >= 0; --p)
    if (seq[static_cast<size_t>(p)] == byte) return p;
  return 0;
}

FieldRule alarmChRule() {
  FieldRule r;
  r.decode = [](SettingsMap& m, bool) { return alarmChPosition(m.image().at(kAlarmChAddr)); };
  r.encode = [](SettingsMap& m, int position) {
    m.image().set(kAlarmChAddr, alarmChByte(m.image().at(kAlarmChAddr), position));
  };
  return r;
}

FieldRule radioIdRule(int digit) {
  if (digit < 0 || digit >= kRadioIdDigits) throwSubscript("cboRadioId", digit, 0, kRadioIdDigits - 1);
  const int addr = kRadioIdAddr + digit / 2;
  const int shift = (digit % 2) * 4;  // odd digits in the high nibble
  FieldRule r;
  // A nibble the list cannot show reads "Off" and stays until a digit is picked.
  r.decode = [addr, shift](SettingsMap& m, bool) { return radioIdPosition(m.image().bits(addr, shift, kNibbleBits)); };
  r.encode = [addr, shift](SettingsMap& m, int position) {
    m.image().setBits(addr, shift, kNibbleBits, radioIdNibble(position));
  };
  return r;
}

FieldRule tailToneVolumeRule(const VoiceSeq& seq) {
  FieldRule r;
  r.decode = [seq](SettingsMap& m, bool) { return tailToneVolumePosition(seq, m.image().at(kTailToneVolumeAddr)); };
  r.encode = [seq](SettingsMap& m, int position) {
    if (position < 0 || position >= static_cast<int>(seq.size()))
      throwSubscript("VoiceSeqTable", position, 0, static_cast<long long>(seq.size()) - 1);
    m.image().set(kTailToneVolumeAddr, seq[static_cast<size_t>(position)]);
  };
  return r;
}

Link intervalFollowsDuration() {
  return [](SettingsMap& m, const FieldState& duration) {
    requireField(m, kDigitInterval);
    const FieldState* interval = m.state(kDigitInterval);
    if (interval && interval->position >= 0 && duration.position >= 0) m.setPosition(kDigitInterval, duration.position);
  };
}

}  // namespace zr
