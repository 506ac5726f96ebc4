#pragma once
// The settings a write forces before it sends the image: the radio expects
// them whatever the data set says. Each goes through the field's own change
// handling, so the fields linked to it follow; lists take a position, check
// boxes a state.
#include <span>

namespace zr {

class ErrorLog;
class SettingsMap;

struct ForcedSetting {
  const char* name;
  bool list;  // a list (value: its position) or a check box (value: 1 ticked, 0 unticked)
  int value;
};

inline constexpr ForcedSetting kForcedSettings[] = {
    {"cboSk1LongTime", true, 30},     {"chkSwiLampTone", false, 1},    {"chkNoMicEnableVox", false, 1},
    {"cboVoxRxForbid", true, 1},      {"chkSwiChExitScan", false, 1},  {"chkScanStartHint", false, 1},
    {"chkExitScanHint", false, 1},    {"cboSaveChNo", true, 0},        {"cboLowPwrToneSort", true, 0},
    {"chkLowBatPwrOff", false, 1},    {"chkHighBatPwrOff", false, 1},  {"cboLowBatAlarmTimer", true, 5},
    {"chkBatSave", false, 1},         {"cboPreTot", true, 0},          {"cboRadioVolume", true, 15},
    {"chkAnRadioId", false, 0},       {"cboPttIdPauseTime", true, 0},  {"chkNoRespPttIdNoPause", false, 0},
};

// Puts each setting through its field's change handling, in the order given.
// A name that is not a field of that kind (a renamed field) would leave its
// byte unprepared: it is logged under `tag` as an index out of range, with
// the name, and the others still go through. A handler's own failure is
// logged by the settings map.
void applyForcedSettings(SettingsMap& settings, ErrorLog& log, const char* tag,
                         std::span<const ForcedSetting> forced = kForcedSettings);

}  // namespace zr
