#pragma once
// Entries of the text table that the code names directly, with their English
// text. The settings tables carry their own captions' entries in their rows;
// these are the captions and messages that code picks by hand.
namespace zr {

constexpr int kTxtAppTitle = 16;            // "ZR-417"
constexpr int kTxtLockChannels = 47;        // "&Lock Channel Interface"
constexpr int kTxtPortTitle = 60;           // "Communication Port" (port dialog caption)
constexpr int kTxtPortFrame = 61;           // "Set"
constexpr int kTxtPortLabel = 62;           // "Communication Port" (label beside the choices)
constexpr int kTxtPortOk = 63;              // "OK"
constexpr int kTxtPortCancel = 64;          // "Cancel"
constexpr int kTxtChannelWindowTitle = 66;  // "Channel Information"
constexpr int kTxtLanguageChanged = 68;     // "Language has changed, you need to restart the software."
constexpr int kTxtUnsupported = 69;         // the radio is not supported by this program
constexpr int kTxtNotice = 70;              // "Notice": the title of message boxes
constexpr int kTxtExitQuestion = 73;        // "Are you sure want to exit?"
constexpr int kTxtClearAll = 74;            // "All data will be cleared,continue?"
constexpr int kTxtComFailed = 79;           // "Communication failed,please check commuication port!"
constexpr int kTxtAskSave = 82;             // "TempData has changed,Do you want to save it now?"
constexpr int kTxtWrongFileType = 83;       // "Wrong file type!"
constexpr int kTxtSaveFailed = 84;          // "Save file failed!" (Save)
constexpr int kTxtFileName = 85;            // "File Name:"
constexpr int kTxtSaveAsFailed = 86;        // "Save file failed!" (Save As)
constexpr int kTxtReady = 94;               // "Ready"
constexpr int kTxtReadButton = 100;         // "&Read"
constexpr int kTxtWriteButton = 101;        // "&Write"
constexpr int kTxtCommunicateTitle = 102;   // "Communicate"
constexpr int kTxtDelChannel = 110;         // "Delete channel"
constexpr int kTxtDelAll = 112;             // "Delete all channels"
constexpr int kTxtSaveDef = 113;            // "Save as default"
constexpr int kTxtOpenCh = 114;             // "Open channel"
constexpr int kTxtLocked = 116;             // "Interface Locked"
constexpr int kTxtOccurError = 140;         // "Occur error!"
constexpr int kTxtCommunicationFrame = 156; // "Communication"
constexpr int kTxtReading = 164;            // "Reading Now......"
constexpr int kTxtReadOk = 165;             // "Read Successful"
constexpr int kTxtReadFailed = 166;         // "Read Failed"
constexpr int kTxtWriting = 168;            // "Writing Now......"
constexpr int kTxtNoReceiveData = 175;      // "Rx：Communication failed! No receive Data!"
constexpr int kTxtReceiveDataError = 176;   // "Rx：Communication failed! Receive Data Error!"
constexpr int kTxtInfoRadioInfo = 183;      // "Radio Info" (radio information window)
constexpr int kTxtInfoModelType = 184;      // "Model Type"
constexpr int kTxtInfoFrequencyMhz = 185;   // "Frequency[MHz]"
constexpr int kTxtInfoSoftVersion = 186;    // "Soft Version"
constexpr int kTxtInfoLastWrite = 187;      // "Write Data Last Time"
constexpr int kTxtRadioInfoTab = 200;       // "Radio Info" (settings tab and model frame)
constexpr int kTxtVolumeTitle = 334;        // "Set Volume"
constexpr int kTxtVolume = 335;             // "Volume"
constexpr int kTxtVolumeLevel = 336;        // "Level"
constexpr int kTxtVolumeDefault = 337;      // "Default"
constexpr int kTxtVolumeUseThisSet = 338;   // "Use This Set"
constexpr int kTxtVolumeOk = 339;           // "OK"
constexpr int kTxtModelName = 356;          // "ZR-417" (the model list's entry)
constexpr int kTxtAll = 367;                // "All"
constexpr int kTxtNone = 368;               // "None"
constexpr int kTxtModelType = 371;          // "Model Type"
constexpr int kTxtFrequency = 372;          // "Frequency"
constexpr int kTxtCustomBand = 373;         // "Custom" (the band list's last entry)
constexpr int kTxtCustomFreTitle = 374;     // "Custom"
constexpr int kTxtCustomFreMin = 375;       // "Min [MHz]"
constexpr int kTxtCustomFreMax = 376;       // "Max [MHz]"
constexpr int kTxtCustomFreOk = 377;        // "OK"
constexpr int kTxtCustomFreCancel = 378;    // "Cancel"
constexpr int kTxtRadioInfoNode = 381;      // "Radio Info" (navigation tree)
constexpr int kTxtChannelInfo = 382;        // "Channel Info"
constexpr int kTxtOptionalNode = 383;       // "Optional Features" (navigation tree)
constexpr int kTxtPttIdPauseTitle = 387;    // "PTT ID Pause In Channel Set"
constexpr int kTxtPttIdPauseChannel = 388;  // "CH"
constexpr int kTxtPttIdPauseOk = 389;       // "OK"
constexpr int kTxtRestoreDefaults = 400;    // "Restore Default Setting"
constexpr int kTxtVoxCompareVoltage = 401;  // "Vox Compare Voltage"
constexpr int kTxtKeyFunctionFirst = 411;   // "1--Off": side-key function texts are this + function code
constexpr int kTxtAutoInput = 445;          // "Auto Input"
constexpr int kTxtOptionalFeatures = 453;   // "Optional Features"
constexpr int kTxtVolumeMode2 = 454;        // "Volume Mode 2"

}  // namespace zr
