#pragma once
// The radio's table of ten speaker volume steps and the model of its dialog
// `frmSetVolume`.
//
// Steps 1 to 10 are one byte each at 0x01A1-0x01AA; 0x01A0 (step 0) is written
// only by the default; 0x01AB switches the table on (0x5A) or off (0xFF). The
// bytes can be edited in two ways, the "volume mode" of the configuration
// file: in mode 2 a list position is the byte itself; in mode 1 a position is
// a place on a 256-step loudness ladder and the byte is looked up in
// `VoiceSeqTable`, a permutation of 0..255 ordered from quiet to loud. The
// same ladder stores the tail tone volume of the further settings.
//
// The model writes every change into the image at once; the dialog only
// shows it. Failures are logged under the dialog's handler tags and change
// nothing further.
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

namespace zr {

class ByteArray;
class ErrorLog;
class PrivateProfile;
struct Core;

// Entry p is the byte stored for ladder position p.
using VoiceSeq = std::array<uint8_t, 256>;

// Builds the ladder (`GetVoiceSeq`).
VoiceSeq GetVoiceSeq();
// The ladder of this run, built on first use and fixed afterwards.
const VoiceSeq& VoiceSeqTable();
// The lowest ladder position whose byte is `byte`, -1 when none.
int voiceSeqPosition(const VoiceSeq& seq, int byte);

constexpr int kVolumeBase = 0x01A0;       // step n at kVolumeBase + n
constexpr int kVolumeSteps = 10;
constexpr int kVolumeSwitchAddr = 0x01AB;
constexpr int kVolumeSwitchOn = 0x5A;
constexpr int kVolumeSwitchOff = 0xFF;
constexpr int kVolumePositions = 256;     // "0" to "255" in every step list
inline const QString kVolumeModeKey = QStringLiteral("VolumeMode");

class VolumeTable {
 public:
  // `volumeMode` is the program's value of "VolumeMode" (1 = mode 2, else
  // mode 1); a mode change is written back to it and to `ini`.
  VolumeTable(ByteArray& image, int& volumeMode, const PrivateProfile& ini, ErrorLog& log,
              const VoiceSeq& seq = VoiceSeqTable());
  explicit VolumeTable(Core& core);

  // Opening the dialog: a mode other than 0 or 1 becomes 0, the ten steps and
  // the switch are shown from the image. Logged as "frmSetVolume->Form_Load".
  void open();
  // Shows the ten stored steps (`SeqVolumeDatToSeq`): in mode 2 the byte, in
  // mode 1 its ladder position.
  void SeqVolumeDatToSeq();

  bool mode2() const { return mode_ == 1; }        // `chkVolMode` ticked
  bool useTable() const { return useTable_; }      // `chkVolumeIic` ticked
  // Position shown in the list of step 1..10; -1 for any other step.
  int position(int step) const;

  // The user picks position p in the list of a step (`cboVolumeDat_Click`).
  bool choose(int step, int position);
  // `chkVolumeIic_Click`: ticked writes 0x5A into 0x01AB, unticked 0xFF.
  bool setUseTable(bool on);
  // `chkVolMode_Click`: the mode follows the tick and is written to the
  // configuration file at once; the lists keep their positions and no image
  // byte changes.
  bool setMode2(bool on);
  // `cmdDefault_Click`: the default table of the current mode (step 0 too),
  // shown, and switched on.
  bool restoreDefault();

  // The default bytes of steps 0..10 in the given mode.
  std::array<int, kVolumeSteps + 1> defaults(bool forMode2) const;

 private:
  int storedByte(int position) const;
  void checkStep(int step) const;

  ByteArray& image_;
  int& mode_;
  const PrivateProfile& ini_;
  ErrorLog& log_;
  const VoiceSeq& seq_;
  std::array<int, kVolumeSteps + 1> positions_{};  // index 1..10
  bool useTable_ = false;
};

}  // namespace zr
