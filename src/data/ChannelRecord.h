#pragma once
// Where the channels live in the image: one 16-byte record per channel.
//
// Record of channel i at R = 16*i (multi-byte values low byte first):
//   0-3   receive frequency, 8 BCD digits in 10 Hz units (0xFFFFFFFF: no channel)
//   4-7   transmit frequency, same form (0xFFFFFFFF: none)
//   8-9   decode tone word, 10-11 encode tone word
//   12-15 option bit fields; the channel bit word at 0x017E/0x017F holds one
//         more option bit per channel 1..16.
namespace zr {

constexpr int kRecordSize = 16;
constexpr int kChannelBitWordAddr = 0x017E;

inline int recordAddress(int channel) { return kRecordSize * channel; }

}  // namespace zr
