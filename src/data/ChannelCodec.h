#pragma once
// Decoding of the 16-byte channel records of the image into `ChTable` and the
// tone texts, and encoding them back. The record layout is in ChannelRecord.h.
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "data/ByteArray.h"
#include "data/ChColumnDefs.h"
#include "data/ChannelRecord.h"
#include "data/ChannelTable.h"
#include "data/ToneTable.h"
#include "base/ErrorLog.h"

namespace zr {

constexpr int kFallbackRxFrequency = 12000000;  // 120.00000 MHz

class ChannelCodec : public QObject {
  Q_OBJECT
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
  // a pair that is not hexadecimal (13) or a fifth byte (9). A text shorter
  // than 8 characters fills only the first bytes; the others are 0.
  static std::array<uint8_t, 4> SeparateFreChar(const QString& text);


  const ChColumnDefs& columns() const { return columns_; }

 signals:
  // A channel was deleted: its record holds the default bytes again and its
  // tones are empty (the grid blanks the row and hides its tone picker).
  void channelDeleted(int channel);

 private:
  // Channels 1..N and option rows 5..M the codec works on, held to the table's size.
  int channelCount() const;
  int lastColumnRow() const;
  // Address of the record of channel i; a channel outside 1..260 is a failure.
  int record(int i) const;
  // Bit of channel i in the channel bit word; only channels 1..16 have one.
  static int channelBit(int i);
  // Reads the 8 BCD digits at R+offset..R+offset+3; nullopt when a digit is above 9.
  std::optional<int> readFrequency(int i, int offset) const;
  // Writes a frequency (or 0xFF x4 for -1) into R+offset..R+offset+3.
  // A value without an 8-digit form is logged and nothing is written.
  void writeFrequency(int i, int offset, int value);

  ByteArray& image_;
  const ByteArray& def_;
  ChannelTable& table_;
  const ToneTable& tones_;
  const ChColumnDefs& columns_;
  ErrorLog& log_;
};

}  // namespace zr
