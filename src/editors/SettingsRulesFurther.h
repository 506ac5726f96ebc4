#pragma once
// Rules of the DTMF and further-function settings whose bytes are not a plain
// position, code or bit: the emergency channel, the six radio ID digits, the
// tail tone volume on the volume ladder, and the digit interval that follows
// the digit duration.
#include <QString>

#include "editors/SettingsMap.h"
#include "editors/VolumeTable.h"

namespace zr {

// Emergency channel byte: bit 4 set = the selected channel, otherwise bits
// 0-3 hold the fixed channel minus 1.
constexpr int kAlarmChAddr = 0x03E3;
constexpr int kAlarmChSelected = 0x10;
constexpr int kAlarmChFixedLast = 16;
// Position of the emergency channel list for its byte (0 "Selected CH", k = fixed channel k).
int alarmChPosition(int byte);
// Byte after picking position 0..16 on `byte`: 0 sets bit 4 only; k clears
// bit 4 and puts k - 1 into bits 0-3, keeping bits 5-7.
int alarmChByte(int byte, int position);

// Radio ID: six digits in nibbles, digit i in 0x03E9 + i / 2, low nibble for
// even i; a digit that is "Off" stores 0xC.
constexpr int kRadioIdAddr = 0x03E9;
constexpr int kRadioIdDigits = 6;
constexpr int kRadioIdOff = 0xC;
QString radioIdName(int digit);  // "cboRadioId(i)"
// Nibble 0-9 shows at its own position (0 is "Off"); 10 and more show "Off".
int radioIdPosition(int nibble);
// Position 1-9 stores itself, position 0 stores 0xC.
int radioIdNibble(int position);

constexpr int kTailToneVolumeAddr = 0x03E0;
// Position of the tail tone volume list: the highest ladder position holding
// the byte, 0 when none does.
int tailToneVolumePosition(const VoiceSeq& seq, int byte);

FieldRule alarmChRule();                          // `cboAlarmCh`
FieldRule radioIdRule(int digit);                 // `cboRadioId`(digit)
FieldRule tailToneVolumeRule(const VoiceSeq& seq);  // `cboDtmf2ToneVol`
// The digit interval list takes the position picked for the digit duration,
// when it shows a position itself.
Link intervalFollowsDuration();

// Hint beside the autodial list (label `Label5`) and the tool tips of the code fields.
inline const QString kDtmfCodeHint = QStringLiteral("0--9, A--D, *, #");
inline const QString kDtmfIdHint = QStringLiteral("0--9");
inline const QString kAutoDialTip = QStringLiteral("0--9, A--D, *, #, ");

}  // namespace zr
