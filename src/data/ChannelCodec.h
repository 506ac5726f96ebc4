#pragma once
// Decoding of the 16-byte channel records of the image into `ChTable` and the
// tone texts, and encoding them back.
//
// Record of channel i at R = 16*i (multi-byte values low byte first):
//   0-3   receive frequency, 8 BCD digits in 10 Hz units (0xFFFFFFFF: no channel)
//   4-7   transmit frequency, same form (0xFFFFFFFF: none)
//   8-9   decode tone word, 10-11 encode tone word
//   12-15 option bit fields; the channel bit word at 0x017E/0x017F holds one
//         more option bit per channel 1..16.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "data/ByteArray.h"
#include "data/ChColumnDefs.h"
#include "data/ChannelTable.h"
#include "data/ToneTable.h"
#include "shell/ErrorLog.h"

namespace zr {

constexpr int kRecordSize = 16;
constexpr int kChannelBitWordAddr = 0x017E;
constexpr int kFallbackRxFrequency = 12000000;  // 120.00000 MHz

inline int recordAddress(int channel) { return kRecordSize * channel; }

class ChannelCodec {
 public:
  ChannelCodec(ByteArray& image, const ByteArray& defaultImage, ChannelTable& table, const ToneTable& tones,
               const ChColumnDefs& columns, ErrorLog& log);

  // All channels 1..N.
  void IicDatToChInfo();
  void ChInfoToIicDat();

  // Per-channel decoders and encoders.
  void IcChParaSol(int i);
  void IcRxFreSol(int i);
  void IcTxFreSol(int i);
  void IcCtdcsDecSol(int i);
  void IcCtdcsEncSol(int i);
  void CiChParaSol(int i);
  void CiRxFreSol(int i);
  void CiTxFreSol(int i);
  void CiCtdcsDecSol(int i);
  void CiCtdcsEncSol(int i);

  // Empties channel i: marks it changed, clears both frequencies, restores its
  // record from the default image and blanks its grid row (through the hook).
  void DelOneChannel(int i);
  // DelOneChannel for channels 1..N.
  void InitChTable();

  // Whether the slot of channel i holds a channel (record byte 3 in 0x01..0x99).
  bool holdsChannel(int i) const;

  // Four bytes from a frequency's decimal text, b0 from the first two
  // characters, each pair read as a hexadecimal number. Raises a failure for
  // a pair that is not hexadecimal or a fifth byte.
  static std::array<uint8_t, 4> SeparateFreChar(const QString& text);

  // Grid side of a deletion: blank the row's cells and hide the tone picker.
  std::function<void(int channel)> onChannelDeleted;

  const ChColumnDefs& columns() const { return columns_; }

 private:
  ByteArray& image_;
  const ByteArray& def_;
  ChannelTable& table_;
  const ToneTable& tones_;
  const ChColumnDefs& columns_;
  ErrorLog& log_;
};

}  // namespace zr
