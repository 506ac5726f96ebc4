#pragma once
// The decoded channel table `ChTable`: rows 0..20 for channels 1..260, plus
// the decode and encode tone texts of every channel. Every access is checked.
#include <QString>
#include <array>
#include <vector>

#include "base/RunError.h"

namespace zr {

// Rows of `ChTable` with a fixed meaning.
enum ChRow : int {
  kRowMark = 0,     // change mark: 1 after an edit or deletion, -1 excludes from encoding
  kRowRx = 1,       // receive frequency, 10 Hz units, -1 = empty channel
  kRowTx = 2,       // transmit frequency, 10 Hz units, -1 = none
  kRowDecode = 3,   // placeholder of the decode tone column
  kRowEncode = 4,   // placeholder of the encode tone column
  kRowPower = 5,    // record byte 13 bit 4
  kRowWide = 6,     // bit of the channel bit word
  kRowScan = 7,     // record byte 12 bits 3-4
  kRowBusyLock = 8, // record byte 13 bit 5
  kRowVox = 9,      // record byte 13 bit 7
  kRowPttId = 10,   // byte 14 bit 0 (high) and byte 12 bit 0 (low)
  // Option rows without a column in the shipped column definitions; what they
  // mean to the user comes from the configuration file, so they are named by
  // where the record keeps them.
  kRowByte12Pair1 = 11,  // record byte 12 bits 1-2, a two-choice pair
  kRowByte15Low = 12,    // record byte 15 bits 0-2 (0..7)
  kRowByte14High = 13,   // record byte 14 bits 4-7 (0..15)
  kRowByte15High = 14,   // record byte 15 bits 4-7 (0..15)
  kRowByte12Pair5 = 15,  // record byte 12 bits 5-6, a two-choice pair
};

class ChannelTable {
 public:
  static constexpr int kRows = 21;        // rows 0..20
  static constexpr int kChannels = 260;   // channels 1..260

  ChannelTable();

  int get(int row, int channel) const;
  void set(int row, int channel, int value);
  const QString& decodeTone(int channel) const;
  const QString& encodeTone(int channel) const;
  void setDecodeTone(int channel, const QString& text);
  void setEncodeTone(int channel, const QString& text);

  bool operator==(const ChannelTable&) const = default;

 private:
  static void check(int row, int channel);
  std::array<std::array<int, kChannels + 1>, kRows> rows_{};
  std::vector<QString> decode_;
  std::vector<QString> encode_;
};

}  // namespace zr
