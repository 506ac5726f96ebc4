#include "editors/VolumeTable.h"

#include "data/ByteArray.h"
#include "data/Core.h"
#include "base/ErrorLog.h"
#include "base/PrivateProfile.h"
#include "base/RunError.h"

namespace zr {

namespace {

// Bytes of the ladder, from the quietest position 0 to the loudest 255: the
// radio's volume bytes are not ordered by loudness, this table orders them.
constexpr std::array<uint8_t, 256> kLadder = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   16,  10,  17,  11,  18,  12,   //
    19,  13,  20,  14,  21,  15,  22,  32,  33,  23,  34,  24,  35,  25,  48,  36,   //
    26,  49,  37,  27,  50,  38,  28,  64,  51,  39,  65,  29,  52,  40,  66,  30,   //
    80,  53,  81,  41,  67,  31,  54,  96,  82,  42,  68,  55,  97,  112, 43,  69,   //
    83,  56,  98,  128, 113, 44,  70,  84,  144, 129, 57,  114, 99,  145, 45,  71,   //
    85,  160, 130, 58,  100, 115, 161, 176, 146, 46,  72,  86,  131, 177, 59,  101,  //
    116, 192, 162, 87,  47,  147, 73,  132, 178, 60,  193, 102, 117, 163, 88,  148,  //
    74,  133, 61,  209, 103, 208, 194, 179, 118, 164, 149, 75,  224, 89,  134, 62,   //
    210, 104, 119, 180, 195, 225, 165, 150, 76,  90,  240, 135, 181, 63,  211, 120,  //
    105, 196, 226, 166, 241, 151, 77,  91,  136, 182, 212, 197, 106, 121, 167, 227,  //
    242, 152, 78,  92,  137, 183, 213, 107, 198, 122, 168, 228, 93,  243, 153, 79,   //
    138, 184, 214, 108, 199, 123, 229, 169, 94,  244, 154, 139, 215, 109, 200, 185,  //
    124, 230, 170, 245, 155, 95,  140, 216, 110, 125, 186, 201, 231, 171, 246, 156,  //
    141, 187, 126, 217, 111, 202, 232, 172, 247, 157, 142, 188, 218, 203, 127, 173,  //
    233, 248, 158, 143, 189, 219, 204, 174, 234, 249, 159, 190, 220, 205, 235, 175,  //
    250, 221, 206, 191, 236, 251, 222, 207, 237, 252, 223, 238, 253, 239, 254, 255,  //
};

// Default table of mode 2 (bytes of steps 0..10), and the ladder positions
// whose bytes make the default of mode 1.
constexpr std::array<int, kVolumeSteps + 1> kDefaultBytesMode2 = {108, 68, 60, 54, 48, 40, 32, 24, 16, 8, 0};
constexpr std::array<int, kVolumeSteps + 1> kDefaultPositionsMode1 = {0, 63, 111, 143, 159, 175, 191, 207, 223, 239, 252};

}  // namespace

VoiceSeq GetVoiceSeq() { return kLadder; }

const VoiceSeq& VoiceSeqTable() {
  static const VoiceSeq table = GetVoiceSeq();
  return table;
}

int voiceSeqPosition(const VoiceSeq& seq, int byte) {
  for (int p = 0; p < static_cast<int>(seq.size()); ++p)
    if (seq[static_cast<size_t>(p)] == byte) return p;
  return -1;
}

VolumeTable::VolumeTable(ByteArray& image, int& volumeMode, const PrivateProfile& ini, ErrorLog& log,
                         const VoiceSeq& seq)
    : image_(image), mode_(volumeMode), ini_(ini), log_(log), seq_(seq) {
  positions_.fill(-1);
}

VolumeTable::VolumeTable(Core& core)
    : VolumeTable(core.image.TempArray, core.settings.VolumeMode, core.ini, core.log) {}

void VolumeTable::checkStep(int step) const {
  if (step < 1 || step > kVolumeSteps) throwSubscript("volume step", step, 1, kVolumeSteps);
}

int VolumeTable::position(int step) const {
  return step >= 1 && step <= kVolumeSteps ? positions_[static_cast<size_t>(step)] : -1;
}

int VolumeTable::storedByte(int position) const {
  if (position < 0 || position >= kVolumePositions) throwSubscript("cboVolumeDat", position, 0, kVolumePositions - 1);
  return mode2() ? position : seq_[static_cast<size_t>(position)];
}

void VolumeTable::open() {
  guarded(log_, "frmSetVolume->Form_Load", [&] {
    // Only 0 and 1 are modes; anything else the file holds is mode 1.
    if (mode_ != 0 && mode_ != 1) mode_ = 0;
    SeqVolumeDatToSeq();
    useTable_ = image_.at(kVolumeSwitchAddr) == kVolumeSwitchOn;
  });
}

void VolumeTable::SeqVolumeDatToSeq() {
  guarded(log_, "frmSetVolume->SeqVolumeDatToSeq", [&] {
    for (int n = 1; n <= kVolumeSteps; ++n) {
      const int b = image_.at(kVolumeBase + n);
      // The ladder holds every byte once, so mode 1 always finds a position.
      positions_[static_cast<size_t>(n)] = mode2() ? b : voiceSeqPosition(seq_, b);
    }
  });
}

bool VolumeTable::choose(int step, int position) {
  return guarded(log_, "frmSetVolume->cboVolumeDat_Click", [&] {
    checkStep(step);
    image_.set(kVolumeBase + step, storedByte(position));
    positions_[static_cast<size_t>(step)] = position;
  });
}

bool VolumeTable::setUseTable(bool on) {
  return guarded(log_, "frmSetVolume->chkVolumeIic_Click", [&] {
    image_.set(kVolumeSwitchAddr, on ? kVolumeSwitchOn : kVolumeSwitchOff);
    useTable_ = on;
  });
}

bool VolumeTable::setMode2(bool on) {
  return guarded(log_, "frmSetVolume->chkVolMode_Click", [&] {
    mode_ = on ? 1 : 0;
    ini_.WriteString(kSettingSection, kVolumeModeKey, QString::number(mode_));
  });
}

std::array<int, kVolumeSteps + 1> VolumeTable::defaults(bool forMode2) const {
  if (forMode2) return kDefaultBytesMode2;
  std::array<int, kVolumeSteps + 1> bytes{};
  for (size_t n = 0; n < bytes.size(); ++n) bytes[n] = seq_[static_cast<size_t>(kDefaultPositionsMode1[n])];
  return bytes;
}

bool VolumeTable::restoreDefault() {
  return guarded(log_, "frmSetVolume->cmdDefault_Click", [&] {
    const std::array<int, kVolumeSteps + 1> bytes = defaults(mode2());
    if (!image_.contains(kVolumeSwitchAddr)) throwSubscript("image", kVolumeSwitchAddr, 0, image_.upperBound());
    for (int n = 0; n <= kVolumeSteps; ++n) image_.set(kVolumeBase + n, bytes[static_cast<size_t>(n)]);
    SeqVolumeDatToSeq();
    image_.set(kVolumeSwitchAddr, kVolumeSwitchOn);
    useTable_ = true;
  });
}

}  // namespace zr
