// The rows of the DTMF page (PTT ID codes, decoder, stun, autodial list and
// the PTT ID pause fields, which sit with the further functions) and the
// timing fields of the two-tone page. One row per control; see SettingsMap.h.
#include "editors/SettingsMap.h"
#include "editors/SettingsRulesFurther.h"
#include "editors/TwoToneTable.h"
#include "base/TextTable.h"

namespace zr {

namespace {

const QString kDtmfEnc = QStringLiteral("fraDtmfEnc");        // in fraDtmf, tab 1 of sstabMoreFunc
const QString kDtmfDec = QStringLiteral("fraDtmfDec");
const QString kStun = QStringLiteral("fraStun");
const QString kAutoDialList = QStringLiteral("fraAutoDialList");
const QString kMoreFunc = QStringLiteral("fraMoreFunc");      // tab 0
const QString kTwoTone = QStringLiteral("fraTwoTone");        // tab 2

// Group code characters: "Off", A, B, C, D, *, # as their ASCII codes.
const std::vector<int> kGroupCodes = {0x00, 0x41, 0x42, 0x43, 0x44, 0x2A, 0x23};
constexpr int kGroupOff = 0x00;

// Digit duration and interval: byte b stands for 10 b + 10 ms; the lists
// offer 80 ms (b = 7) to 2500 ms (b = 249). A stored byte below 7 becomes
// 110 ms, one above 242 becomes 510 ms.
constexpr int kDigitTimeOffset = 7;
constexpr int kDigitTimeLast = 242;
constexpr int kDigitTimeBelow = 10;
constexpr int kDigitTimeAbove = 50;

// Autodial codes: eight of sixteen positions from 0x0200.
constexpr int kAutoDialBase = 0x0200;
constexpr int kAutoDialCodes = 8;
constexpr int kCodePositions = 16;

// Code text filters: any dialable symbol, or digits only.
constexpr int kDialSymbols = 0;
constexpr int kDigitsOnly = 2;

// First digit delays: "0" to "5100" ms in 20 ms steps.
ListBuilder firstDigitDelays() { return numbers(0, 255, {.scale = 20}); }
// "Off", then "1s" to "255s".
ListBuilder autoResetTimes() { return entries({295}) + numbers(1, 255, {.suffix = 294}); }
ListBuilder digitTimes() { return numbers(0, kDigitTimeLast, {.scale = 10, .add = 80}); }

std::function<QString(int)> fixedTip(const QString& tip) {
  return [tip](int) { return tip; };
}

FieldDef digitTime(const QString& name, const QString& label, int caption, int addr) {
  return listField(name, kDtmfEnc, label, caption).byte(addr, kDigitTimeOffset).items(digitTimes())
      .repairBelow(kDigitTimeOffset, kDigitTimeBelow).repairAbove(kDigitTimeLast, kDigitTimeAbove);
}

}  // namespace

std::vector<FieldDef> dtmfFields() {
  std::vector<FieldDef> rows = {
      // Encoder: PTT ID codes and timing.
      textField("txtPttBot", kDtmfEnc, "lblPttBot", 248).codeText({{0x0140, kCodePositions}}, kDialSymbols)
          .toolTip(fixedTip(kDtmfCodeHint)),
      textField("txtPttEot", kDtmfEnc, "lblPttEot", 249).codeText({{0x0150, kCodePositions}}, kDialSymbols)
          .toolTip(fixedTip(kDtmfCodeHint)),
      listField("cboPreCarTime", kDtmfEnc, "lblPreCarTime", 245).byte(0x03D9).items(firstDigitDelays()),
      // A new digit duration sets the interval to the same value.
      digitTime("cboCodeContiTime", "lblCodeContiTime", 246, 0x03DA).link(intervalFollowsDuration()),
      digitTime("cboCodeSpaceTime", "lblCodeSpaceTime", 247, 0x03DB),
      checkField("chkDtmfMoni", kDtmfEnc, 340).bit(0x0115, 0),

      // Decoder.
      textField("txtDtmfIdCode", kDtmfDec, "lblDtmfIdCode", 251).codeText({{0x0120, 10}}, kDigitsOnly)
          .toolTip(fixedTip(kDtmfIdHint)),
      listField("cboDtmfGrpCode", kDtmfDec, "lblDtmfGrpCode", 252).coded(0x0116, kGroupCodes)
          .items(entryRange(313, 319)).repairOther(kGroupOff),
      listField("cboAutoRstTimer", kDtmfDec, "lblAutoRstTimer", 345).byte(0x0117).items(autoResetTimes()),
      // "Off", "Continuous", then "Glint10s" to "Glint2540s".
      listField("cboDtmfCallAlarm", kDtmfDec, "lblDtmfCallAlarm", 253).byte(0x0118)
          .items(entries({320, 366}) + numbers(2, 255, {.scale = 10, .add = -10, .prefix = 321, .suffix = 322})),
      checkField("chkDtmfCallAlarmTone", kDtmfDec, 391).bit(0x036A, 4),

      // Stun: the code's first eight positions and its last two lie apart.
      // The stun type means something only for a code of three digits or more.
      textField("txtDtmfCloseCode", kStun, "lblDtmfCloseCode", 255).codeText({{0x01E0, 8}, {0x01F8, 2}}, kDialSymbols),
      listField("cboDtmfCloseSort", kStun, "lblDtmfCloseSort", 256).bit(0x01FA, 0).items(entries({323, 324}))
          .enabled(whenTextLength("txtDtmfCloseCode", 3)),
      listField("cboStunGrpCode", kStun, "lblStunGrpCode", 392).coded(0x03DD, kGroupCodes)
          .items(entryRange(313, 319)).repairOther(kGroupOff),

      // PTT ID pause, with the further functions.
      listField("cboPttIdPauseTime", kMoreFunc, "lblPttIdPauseTime", 344).byte(0x03DC)
          .items(numbers(0, 255, {.suffix = 294})),
      checkField("chkNoRespPttIdNoPause", kMoreFunc, 390).bit(0x036A, 5),
      // Opens `frmPttIdPauseChSet`; the window binds the dialog to the button.
      buttonField("cmdPttIdPauseChSet", kMoreFunc, 387, {}),
  };

  // Autodial list: labels "1" to "8".
  for (int k = 0; k < kAutoDialCodes; ++k)
    rows.push_back(textField(QStringLiteral("txtAutoMem(%1)").arg(k), kAutoDialList,
                             QStringLiteral("lblAutoMem(%1)").arg(k), -1)
                       .prefix(QString::number(k + 1))
                       .codeText({{kAutoDialBase + kCodePositions * k, kCodePositions}}, kDialSymbols)
                       .toolTip(fixedTip(kAutoDialTip)));
  return rows;
}

std::vector<FieldDef> twoToneFields() {
  return {
      // The two-tone grids are no rows of their own: their bytes are repaired
      // here, where the refresh reaches the two-tone page.
      listField("cboTtPreCarTime", kTwoTone, "lblTtPreCarTime", 245).byte(0x03E4).items(firstDigitDelays())
          .onRefresh([](SettingsMap& m) { TwoToneTable::repairImage(m.image()); }),
      listField("cboTtAutoRstTimer", kTwoTone, "lblTtAutoRstTimer", 345).byte(0x03DE).items(autoResetTimes()),
      checkField("chkTtBeep", kTwoTone, 340).bit(0x03DF, 0),
  };
}

}  // namespace zr
