// The rows of the further functions not driven by the optional features:
// time-out pre-alert, emergency channel, broadcast radio, volume level and
// tail tone volume, lights and tones, the channel number field, the radio ID
// and the second info line. One row per control; see SettingsMap.h.
#include "editors/SettingsMap.h"
#include "editors/SettingsRulesFurther.h"
#include "base/TextTable.h"

namespace zr {

namespace {

const QString kMoreFunc = QStringLiteral("fraMoreFunc");  // tab 0 of sstabMoreFunc
const QString kSysSet2 = QStringLiteral("fraSysSet2");    // tab 3: loose fields

// Broadcast radio squelch "0" to "32" and volume "0" to "15" are stored with
// an offset; a byte outside is replaced by squelch "19" / volume "15".
constexpr int kRadioSqlOffset = 134;
constexpr int kRadioSqlSteps = 32;
constexpr int kRadioSqlRepair = 153;
constexpr int kRadioVolumeOffset = 160;
constexpr int kRadioVolumeSteps = 15;
constexpr int kRadioVolumeRepair = 175;

constexpr int kVolumeLevels = 10;

}  // namespace

std::vector<FieldDef> furtherFunctionFields(const VoiceSeq& voiceSeqTable) {
  std::vector<FieldDef> rows = {
      // "Off", then "1s" to "10s".
      listField("cboPreTot", kMoreFunc, "lblPreTot", 214).byte(0x0131)
          .items(entries({262}) + numbers(1, 10, {.suffix = 261})).repairAbove(10, 0),
      // "Selected CH", then "Fixed CH: 1" to "Fixed CH: 16".
      listField("cboAlarmCh", kMoreFunc, "lblAlarmCh", 384).withRule(alarmChRule())
          .items(entries({385}) + numbers(1, kAlarmChFixedLast, {.prefix = 386, .joiner = QStringLiteral(" ")})),

      // Broadcast radio.
      listField("cboRadioSql", kMoreFunc, "lblRadioSql", 218).byte(0x036E, kRadioSqlOffset)
          .items(numbers(0, kRadioSqlSteps))
          .repairBelow(kRadioSqlOffset, kRadioSqlRepair).repairAbove(kRadioSqlOffset + kRadioSqlSteps, kRadioSqlRepair),
      listField("cboRadioVolume", kMoreFunc, "lblRadioVolume", 219).byte(0x036F, kRadioVolumeOffset)
          .items(numbers(0, kRadioVolumeSteps))
          .repairBelow(kRadioVolumeOffset, kRadioVolumeRepair)
          .repairAbove(kRadioVolumeOffset + kRadioVolumeSteps, kRadioVolumeRepair),
      // A set bit switches the broadcast radio off.
      checkField("chkRadioFuncEnable", kSysSet2, 327).bit(0x0367, 5).invert(),

      // Speaker volume: the level, the table dialog, and the tail tone volume
      // stored as a byte of the volume ladder.
      listField("cboTwoWayVolumeLevel", kMoreFunc, "lblTwoWayVolumeLevel", 333).byte(0x03E6)
          .items(entries({295}) + numbers(1, kVolumeLevels)).repairAbove(kVolumeLevels, kVolumeLevels),
      // Opens `frmSetVolume`; the window binds the dialog to the button.
      buttonField("cmdTwoWayVolSet", kMoreFunc, -1, {}).prefix(QStringLiteral(">>")),
      listField("cboDtmf2ToneVol", kMoreFunc, "lblDtmf2ToneVol", 409).withRule(tailToneVolumeRule(voiceSeqTable))
          .fixedItems(numbers(0, 255)),

      // Lights and tones.
      checkField("chkRedGreenLig", kMoreFunc, 341).bit(0x036D, 3),
      checkField("chkSwiLampTone", kMoreFunc, 408).bit(0x0367, 7),
      listField("cboSaveChNo", kMoreFunc, "lblSaveChNo", 407).bits(0x0368, 4, 4).fixedItems(numbers(1, 16)),
      checkField("chkAnRadioId", kMoreFunc, 354).bit(0x036A, 1),

      textField("txtInfo(2)", kSysSet2, "lblInfo2", -1).prefix(QStringLiteral("信息2")).info(2),
  };

  // Radio ID, six digit lists under one label.
  for (int i = 0; i < kRadioIdDigits; ++i) {
    FieldDef row = i == 0 ? listField(radioIdName(i), kMoreFunc, QStringLiteral("lblRadioId"), 352)
                          : listField(radioIdName(i), kMoreFunc, QString(), -1);
    rows.push_back(std::move(row.withRule(radioIdRule(i)).items(entries({353}) + numbers(1, 9))));
  }
  return rows;
}

}  // namespace zr
