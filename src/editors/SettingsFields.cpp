// The rows of the settings table: the visible "Optional Features" page, and
// the side key, VOX, scan and battery settings of the further pages. One row
// per control; see SettingsMap.h for what a row holds.
#include "editors/SettingsMap.h"
#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

namespace {

// Frames and loose areas of the settings pages.
const QString kOptionSet = QStringLiteral("fraOptionSet");  // "Optional Features", tab 1 of sstabSetMode
const QString kEmbedMsg = QStringLiteral("fraEmbedMsg");
const QString kMoreFunc = QStringLiteral("fraMoreFunc");    // tab 0 of sstabMoreFunc
const QString kKeyAssign = QStringLiteral("fraKeyAssign");
const QString kSysSet2 = QStringLiteral("fraSysSet2");      // tab 3: loose fields beside the frames below
const QString kVox = QStringLiteral("fraVox");
const QString kScan = QStringLiteral("fraScan");
const QString kBattery = QStringLiteral("fraBattery");

// The four key lists share one busy flag: highlighting an entry raises a
// click of its own, which must not run a handler again.
const QString kKeyLists = QStringLiteral("keyLists");

constexpr int kKeyFunctionLast = 18;
// Code 9 (squelch off momentary) is not offered for a short press, so short
// press positions from 9 on store the code of the next function.
constexpr int kKeyLongPressOnly = 9;

std::vector<int> shortPressCodes() {
  std::vector<int> codes;
  for (int c = 0; c <= kKeyFunctionLast; ++c)
    if (c != kKeyLongPressOnly) codes.push_back(c);
  return codes;
}

ListBuilder keyFunctions(const std::vector<int>& codes) {
  return [codes](const TextTable& t) {
    QStringList out;
    for (int c : codes) out << t.SoftFace(kTxtKeyFunctionFirst + c);
    return out;
  };
}

// Hold times: k * 50 ms shown in seconds with two decimals, "0.00s" to "12.75s".
ListBuilder holdTimes() { return numbers(0, 255, {.scale = 50, .divisor = 1000, .decimals = 2, .suffix = 395}); }
// Scan delays: "0s" to "250s".
ListBuilder scanDelays() { return numbers(0, 250, {.suffix = 312}); }

// Battery save ratio codes of "1 - 2" ... "1 - 10".
const std::vector<int> kSaveModeCodes = {144, 146, 149, 152, 155, 157, 159, 162, 165};
constexpr int kSaveModeRepair = 170;

}  // namespace

std::vector<FieldDef> optionalFeatureFields() {
  return {
      listField("cboTot", kOptionSet, "lblTot", 213).byte(0x0130)
          .items(entries({260}) + numbers(1, 18, {.scale = 15, .suffix = 261}))  // Off, 15s .. 270s
          .repairAbove(18, 4),
      listField("cboAnVoice", kOptionSet, "lblAnVoice", 215).byte(0x012F).items(entryRange(263, 265)).repairAbove(2, 0),
      listField("cboPwrOnTone", kOptionSet, "lblPwrOnTone", 216).bits(0x0368, 0, 3)
          .items(entries({266}) + numbers(1, 7, {.prefix = 267})),  // Off, Tone-1 .. Tone-7
      listField("cboSql", kOptionSet, "lblSql", 217).byte(0x0134).items(numbers(0, 9)).repairAbove(9, 5),
      listField("cboSaveMode", kOptionSet, "lblSaveMode", 220).coded(0x0369, kSaveModeCodes, CodeMatch::AtLeast)
          .items(entryRange(276, 284))
          .repairBelow(142, kSaveModeRepair).repairAbove(kSaveModeRepair, kSaveModeRepair)
          .enabled(whenChecked("chkBatSave")),
      listField("cboVoxFunc", kOptionSet, "lblVoxFunc", 448).bit(0x0139, 0).items(entries({446, 447})),
      listField("cboVoxLevel", kOptionSet, "lblVoxLevel", 231).byte(0x013A)
          .items(entries({295}) + numbers(1, 10)).repairAbove(10, 0),
      listField("cboVoxDly", kOptionSet, "lblVoxDly", 232).byte(0x013B).items(entryRange(296, 301)).repairAbove(5, 3),
      listField("cboSk1Long", kOptionSet, "lblSk1Long", 228).withRule(sk1LongRule())
          .items(entries({411, 414, 443, 444, 422}))
          .link(sk1LongAlarmLink()),
      checkField("chkTxEndTone", kOptionSet, 222).bit(0x036D, 0).link(followChecked("chkMoniTxEndTone")),
      checkField("chkTailDel", kOptionSet, 221).withRule(tailDelCheckRule()),
      checkField("chkLowBatTone", kOptionSet, 274).bit(0x036C, 6).enabled(whenPositionNot("cboLowBatAlarmTimer", 0)),
      checkField("chkLowBatAn", kOptionSet, 273).bit(0x036C, 5).enabled(whenPositionNot("cboLowBatAlarmTimer", 0)),
      checkField("chkCh16Scan", kOptionSet, 343).bit(0x036D, 5),
      checkField("chkBeep", kOptionSet, 225).bit(0x0136, 0),
      checkField("chkAnPwrOn", kOptionSet, 342).bit(0x036D, 4),
      textField("txtInfo(1)", kEmbedMsg, "lblInfo1", 258).info(1),
  };
}

std::vector<FieldDef> linkedFurtherFields() {
  return {
      // Alarm type: the two alarm entries of cboSk1Long set it.
      listField("cboAlarmSort", kMoreFunc, "lblAlarmSort", 330).bit(0x0367, 1).items(entries({331, 332})),
      // Tail elimination, one bit per mode; chkTailDel is its two-state view.
      listField("cboTailDel", kSysSet2, "lblTailDel", 221).withRule(tailDelRule()).items(entryRange(285, 292)),
      checkField("chkNoCdEncTxFreTail", kMoreFunc, 355).bit(0x036A, 2)
          .enabled(whenPositionNot("cboTailDel", kTailDelOff)),
      checkField("chkNoCdEncRxFreTail", kMoreFunc, 361).bit(0x036A, 3)
          .enabled(whenPositionNot("cboTailDel", kTailDelOff)),
      // Monitor end tone follows the transmit end tone.
      checkField("chkMoniTxEndTone", kMoreFunc, 326).bit(0x0367, 4).enabled(whenChecked("chkTxEndTone")),
  };
}

std::vector<FieldDef> keyVoxScanBatteryFields() {
  const std::vector<int> shortCodes = shortPressCodes();
  std::vector<FieldDef> rows = {
      // Battery.
      listField("cboLowBatAlarmTimer", kBattery, "lblLowBatAlarmTimer", 272).byte(0x0364)
          .items(entries({293}) + numbers(1, 255, {.scale = 2, .suffix = 294})),  // Off, 2s .. 510s
      listField("cboLowPwrToneSort", kMoreFunc, "lblLowPwrToneSort", 346).bit(0x036D, 7)
          .items(entries({347, 348})).enabled(whenPositionNot("cboLowBatAlarmTimer", 0)),
      checkField("chkBatSave", kMoreFunc, 223).bit(0x0135, 0),
      checkField("chkLowBatTx", kBattery, 224).bit(0x036D, 1),
      checkField("chkPwrOnAnBatVolt", kBattery, 351).bit(0x036A, 0),
      checkField("chkAnBatVolt", kBattery, 349).bit(0x036D, 6),
      checkField("chkLowTxPwrRgLig", kBattery, 275).bit(0x036C, 7),
      checkField("chkLowBatPwrOff", kBattery, 399).bit(0x0367, 3),
      checkField("chkHighBatPwrOff", kSysSet2, 398).bit(0x0367, 2),

      // Side keys: short press lists skip code 9; a stored 9 or a code above
      // 18 becomes "off".
      listField("listSk1Short", kKeyAssign, "lblKeySk1Short", 227).coded(0x0360, shortCodes)
          .items(keyFunctions(shortCodes)).repairOther(0).guard(kKeyLists),
      listField("listSk1Long", kKeyAssign, "lblKeySk1Long", 228).byte(0x0361)
          .items(entryRange(kTxtKeyFunctionFirst, kTxtKeyFunctionFirst + kKeyFunctionLast))
          .repairAbove(kKeyFunctionLast, 0).guard(kKeyLists),
      listField("listSk2Short", kKeyAssign, "lblKeySk2Short", 229).coded(0x0362, shortCodes)
          .items(keyFunctions(shortCodes)).repairOther(0).guard(kKeyLists),
      listField("listSk2Long", kKeyAssign, "lblKeySk2Long", 230).byte(0x0363)
          .items(entryRange(kTxtKeyFunctionFirst, kTxtKeyFunctionFirst + kKeyFunctionLast))
          .repairAbove(kKeyFunctionLast, 0).guard(kKeyLists),
      listField("cboSk1LongTime", kKeyAssign, "lblSk1LongTime", 393).byte(0x0365).items(holdTimes()),
      listField("cboSk2LongTime", kKeyAssign, "lblSk2LongTime", 394).byte(0x0366).items(holdTimes()),
  };

  // VOX comparison values of levels 1 to 10; the first row checks the table's
  // valid mark before any of them is shown.
  for (int n = 1; n <= kVoxCmpLevels; ++n) {
    FieldDef row = listField(voxCmpName(n), kVox, QStringLiteral("lblVoxCmpLevel(%1)").arg(n - 1), 402)
                       .prefix(QString::number(n))
                       .byte(kVoxCmpBase + n)
                       .fixedItems(numbers(0, kVoxCmpListMax))
                       .repairAbove(kVoxCmpMax, kVoxCmpMax)
                       .toolTip(voxCmpTip);
    if (n == 1) row.onRefresh(voxCmpRefresh);
    rows.push_back(std::move(row));
  }

  std::vector<FieldDef> more = {
      buttonField("cmdVoxCmpDefault", kVox, 403, voxCmpDefault),
      listField("cboVoxRxForbid", kSysSet2, "lblVoxRxForbid", 233).bit(0x0138, 0).items(entries({302, 303})),
      checkField("chkAnVoxOnOff", kMoreFunc, 234).bit(0x036C, 3),
      checkField("chkNoMicEnableVox", kMoreFunc, 397).bit(0x036A, 7),

      // Scan.
      listField("cboScanPriChSort", kScan, "lblScanPriChSort", 235).byte(0x0160)
          .items(entryRange(304, 306)).repairAbove(2, 0),
      listField("cboPriCh", kScan, "lblPriCh", 236).byte(0x0161)
          .items(entries({307}) + numbers(1, 16)).repairAbove(16, 0)
          .enabled(whenPosition("cboScanPriChSort", 1)),  // only for "Fixed"
      listField("cboScanTxMode", kScan, "lblScanTxMode", 237).byte(0x0164)
          .items(entryRange(308, 311)).repairAbove(3, 0),
      listField("cboScanRxDly", kSysSet2, "lblScanRxDly", 238).byte(0x0165).items(scanDelays()).repairAbove(250, 3),
      listField("cboScanTxDly", kSysSet2, "lblScanTxDly", 239).byte(0x0167).items(scanDelays()).repairAbove(250, 3),
      checkField("chkAnScanOnOff", kScan, 242).bit(0x036C, 2),
      checkField("chkScanLig", kScan, 243).bit(0x036C, 4),
      checkField("chkScanStartHint", kMoreFunc, 240).bit(0x036C, 0),
      checkField("chkExitScanHint", kMoreFunc, 241).bit(0x036C, 1),
      checkField("chkSwiChExitScan", kMoreFunc, 396).bit(0x036A, 6),
  };
  for (FieldDef& r : more) rows.push_back(std::move(r));
  return rows;
}

std::vector<FieldDef> settingsTable() {
  // Sections in refresh order.
  std::vector<FieldDef> table;
  for (std::vector<FieldDef> section : {optionalFeatureFields(), linkedFurtherFields(),
                                        furtherFunctionFields(VoiceSeqTable()), keyVoxScanBatteryFields(),
                                        dtmfFields(), twoToneFields()})
    for (FieldDef& row : section) table.push_back(std::move(row));
  return table;
}

std::vector<FrameDef> settingsFrames() {
  const QString setMode = QStringLiteral("sstabSetMode");
  const QString moreFunc = QStringLiteral("sstabMoreFunc");
  return {
      {kEmbedMsg, setMode, 1, 206, {}},
      {kOptionSet, setMode, 1, 450, {}},
      {kMoreFunc, moreFunc, 0, -1, QStringLiteral("More Function")},
      {kKeyAssign, moreFunc, 0, 202, {}},
      {QStringLiteral("fraDtmf"), moreFunc, 1, -1, QStringLiteral("DTMF")},
      {QStringLiteral("fraDtmfEnc"), QStringLiteral("fraDtmf"), -1, 244, {}},
      {QStringLiteral("fraDtmfDec"), QStringLiteral("fraDtmf"), -1, 250, {}},
      {QStringLiteral("fraStun"), QStringLiteral("fraDtmf"), -1, 254, {}},
      {QStringLiteral("fraAutoDialList"), QStringLiteral("fraDtmf"), -1, 257, {}},
      {QStringLiteral("fraTwoTone"), moreFunc, 2, -1, QStringLiteral("两音")},
      {kSysSet2, moreFunc, 3, -1, {}},
      {kVox, kSysSet2, -1, 203, {}},
      {kScan, kSysSet2, -1, 204, {}},
      {kBattery, kSysSet2, -1, 350, {}},
  };
}

}  // namespace zr
