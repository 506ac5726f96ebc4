#include "data/ChannelCodec.h"
#include "base/VbText.h"

#include <algorithm>

namespace zr {

namespace {

// Offsets inside a channel record.
constexpr int kRxOffset = 0;
constexpr int kTxOffset = 4;
constexpr int kDecodeToneOffset = 8;
constexpr int kEncodeToneOffset = 10;
constexpr int kOpt12 = 12;
constexpr int kOpt13 = 13;
constexpr int kOpt14 = 14;
constexpr int kOpt15 = 15;
constexpr int kBitWordChannels = 16;
constexpr int kFirstOptionRow = 5;
constexpr int kMaxFreqDigits = 99999999;

// A frequency's most significant BCD byte (record byte 3 or 7) marks a
// channel when it lies in 0x01..0x99; 0x00 and 0x9A..0xFF mean "none".
bool isBcdLead(int b) { return ((b - 1) & 0xFF) < 0x99; }

// A two-bit field holding one of two choices: the lower bit alone is 1, the
// higher bit alone is 2; neither or both read as 0. Any other value is
// stored as neither bit.
int decodePair(int field) { return field == 1 || field == 2 ? field : 0; }
int encodePair(int value) { return value == 1 || value == 2 ? value : 0; }

}  // namespace

ChannelCodec::ChannelCodec(ByteArray& image, const ByteArray& defaultImage, ChannelTable& table,
                           const ToneTable& tones, const ChColumnDefs& columns, ErrorLog& log)
    : image_(image), def_(defaultImage), table_(table), tones_(tones), columns_(columns), log_(log) {}

int ChannelCodec::channelCount() const { return std::min(columns_.channelCount, ChannelTable::kChannels); }

int ChannelCodec::lastColumnRow() const {
  return std::min({columns_.columnCount, ChColumnDefs::kMaxColumns, ChannelTable::kRows - 1});
}

int ChannelCodec::record(int i) const {
  if (i < 1 || i > ChannelTable::kChannels) throwSubscript("channel", i, 1, ChannelTable::kChannels);
  return recordAddress(i);
}

int ChannelCodec::channelBit(int i) {
  if (i < 1 || i > kBitWordChannels) throwSubscript("channel bit word channel", i, 1, kBitWordChannels);
  return 1 << (i - 1);
}

bool ChannelCodec::holdsChannel(int i) const { return isBcdLead(image_.at(record(i) + 3)); }

// ---- decoding ---------------------------------------------------------------

void ChannelCodec::IicDatToChInfo() {
  guarded(log_, "modChMem->IicDatToChInfo", [&] {
    const int n = channelCount();
    const int m = lastColumnRow();
    // The option columns' defaults, read once: each is a number parsed from
    // the column definitions' text.
    std::array<int, ChannelTable::kRows> defaults{};
    for (int j = kFirstOptionRow; j <= m; ++j) defaults[static_cast<size_t>(j)] = columns_.defaultValue(j);
    for (int i = 1; i <= n; ++i) {
      if (holdsChannel(i)) {
        IcChParaSol(i);
        IcRxFreSol(i);
        IcTxFreSol(i);
        IcCtdcsDecSol(i);
        IcCtdcsEncSol(i);
      } else {
        // An empty slot shows as a blank row whose option columns hold the
        // defaults a new channel would get. The change mark stays.
        table_.set(kRowRx, i, -1);
        table_.set(kRowTx, i, -1);
        table_.set(kRowDecode, i, 0);
        table_.set(kRowEncode, i, 0);
        table_.setDecodeTone(i, QString());
        table_.setEncodeTone(i, QString());
        for (int j = kFirstOptionRow; j <= m; ++j) table_.set(j, i, defaults[static_cast<size_t>(j)]);
      }
    }
  });
}

void ChannelCodec::IcChParaSol(int i) {
  silently([&] {
    const int r = record(i);
    table_.set(kRowBusyLock, i, image_.bits(r + kOpt13, 5, 1));
    table_.set(kRowPower, i, image_.bits(r + kOpt13, 4, 1));

    const int mask = channelBit(i);
    table_.set(kRowWide, i, (image_.word(kChannelBitWordAddr) & mask) ? 1 : 0);

    table_.set(kRowScan, i, decodePair(image_.bits(r + kOpt12, 3, 2)));

    table_.set(kRowVox, i, image_.bits(r + kOpt13, 7, 1));

    table_.set(kRowPttId, i, 2 * image_.bits(r + kOpt14, 0, 1) + image_.bits(r + kOpt12, 0, 1));

    table_.set(kRowByte12Pair1, i, decodePair(image_.bits(r + kOpt12, 1, 2)));

    table_.set(kRowByte15Low, i, image_.bits(r + kOpt15, 0, 3));
    table_.set(kRowByte14High, i, image_.bits(r + kOpt14, 4, 4));
    table_.set(kRowByte15High, i, image_.bits(r + kOpt15, 4, 4));

    table_.set(kRowByte12Pair5, i, decodePair(image_.bits(r + kOpt12, 5, 2)));
  });
}

std::optional<int> ChannelCodec::readFrequency(int i, int offset) const {
  // Eight BCD digits, the two most significant in the highest byte.
  return image_.bcdLowFirst(record(i) + offset, 4);
}

void ChannelCodec::IcRxFreSol(int i) {
  guarded(log_, "modChMem->IcRxFreSol", [&] {
    const std::optional<int> f = readFrequency(i, kRxOffset);
    if (!f) {
      // A receive frequency that is not BCD shows as 120 MHz so the user sees
      // a channel to correct rather than garbage.
      table_.set(kRowRx, i, kFallbackRxFrequency);
      throw RunError(kErrTypeMismatch, QStringLiteral("receive frequency of channel %1 is not BCD").arg(i));
    }
    table_.set(kRowRx, i, *f);
  });
}

void ChannelCodec::IcTxFreSol(int i) {
  guarded(log_, "modChMem->IcTxFreSol", [&] {
    if (!isBcdLead(image_.at(record(i) + kTxOffset + 3))) {
      table_.set(kRowTx, i, -1);
      return;
    }
    const std::optional<int> f = readFrequency(i, kTxOffset);
    if (!f) throw RunError(kErrTypeMismatch, QStringLiteral("transmit frequency of channel %1 is not BCD").arg(i));
    table_.set(kRowTx, i, *f);
  });
}

void ChannelCodec::IcCtdcsDecSol(int i) {
  guarded(log_, "modChMem->IcCtdcsDecSol", [&] {
    const int r = record(i) + kDecodeToneOffset;
    table_.setDecodeTone(i, tones_.QtDqtIicToChar(image_.at(r + 1), image_.at(r)));
  });
}

void ChannelCodec::IcCtdcsEncSol(int i) {
  guarded(log_, "modChMem->IcCtdcsEncSol", [&] {
    const int r = record(i) + kEncodeToneOffset;
    table_.setEncodeTone(i, tones_.QtDqtIicToChar(image_.at(r + 1), image_.at(r)));
  });
}

// ---- encoding ---------------------------------------------------------------

void ChannelCodec::ChInfoToIicDat() {
  guarded(log_, "modChMem->ChInfoToIicDat", [&] {
    const int n = channelCount();
    for (int i = 1; i <= n; ++i) {
      if (table_.get(kRowMark, i) == -1) continue;
      CiChParaSol(i);
      CiRxFreSol(i);
      CiTxFreSol(i);
      CiCtdcsDecSol(i);
      CiCtdcsEncSol(i);
    }
  });
}

void ChannelCodec::CiChParaSol(int i) {
  // Each step reads its byte and writes it back at once, so the steps done
  // before a failing one stay in the image. Bits no row owns are kept.
  silently([&] {
    const int r = record(i);
    image_.setBit(r + kOpt13, 5, table_.get(kRowBusyLock, i) == 1);
    image_.setBit(r + kOpt13, 4, table_.get(kRowPower, i) == 1);

    const int mask = channelBit(i);
    int word = image_.word(kChannelBitWordAddr);
    word = table_.get(kRowWide, i) == 1 ? (word | mask) : (word & ~mask);
    image_.setWord(kChannelBitWordAddr, word);

    image_.setBits(r + kOpt12, 3, 2, encodePair(table_.get(kRowScan, i)));

    image_.setBit(r + kOpt13, 7, table_.get(kRowVox, i) == 1);

    // Row 10 is a two-bit value split over two bytes: its high bit in byte
    // 14 bit 0, its low bit in byte 12 bit 0.
    const int pttId = table_.get(kRowPttId, i);
    image_.setBit(r + kOpt14, 0, pttId >= 2);
    image_.setBit(r + kOpt12, 0, pttId == 1 || pttId == 3);

    image_.setBits(r + kOpt12, 1, 2, encodePair(table_.get(kRowByte12Pair1, i)));

    const int row12 = std::clamp(table_.get(kRowByte15Low, i), 0, 7);
    table_.set(kRowByte15Low, i, row12);
    image_.setBits(r + kOpt15, 0, 3, row12);

    // Rows 13 and 14 fill a nibble each; a value that does not fit stops
    // here, before either nibble or byte 12 bits 5-6 is written.
    const int row13 = table_.get(kRowByte14High, i);
    const int row14 = table_.get(kRowByte15High, i);
    if (row13 < 0 || row13 > 15 || row14 < 0 || row14 > 15) throw RunError(kErrOverflow);
    image_.setBits(r + kOpt14, 4, 4, row13);
    image_.setBits(r + kOpt15, 4, 4, row14);

    image_.setBits(r + kOpt12, 5, 2, encodePair(table_.get(kRowByte12Pair5, i)));
  });
}

std::array<uint8_t, 4> ChannelCodec::SeparateFreChar(const QString& text) {
  // Each pair of decimal digits is one BCD byte, the first pair the most
  // significant. A text shorter than 8 characters fills only the first
  // bytes (the rest stay 0) and a last lone digit makes a byte of its own;
  // the encoders hand over 8 digits.
  std::array<uint8_t, 4> bytes{};
  for (int k = 0; k < text.size(); k += 2) {
    const int index = k / 2;
    if (index >= static_cast<int>(bytes.size())) throwSubscript("frequency byte", index, 0, 3);
    int value = 0;
    for (int c = k; c < std::min<int>(k + 2, static_cast<int>(text.size())); ++c) {
      const int d = hexDigitValue(text.at(c));
      if (d < 0) throw RunError(kErrTypeMismatch, QStringLiteral("frequency text \"%1\" is not a number").arg(text));
      value = value * 16 + d;
    }
    bytes[static_cast<size_t>(index)] = static_cast<uint8_t>(value);
  }
  return bytes;
}

void ChannelCodec::writeFrequency(int i, int offset, int value) {
  const int r = record(i) + offset;
  std::array<uint8_t, 4> b{0xFF, 0xFF, 0xFF, 0xFF};
  if (value >= 0 && value <= kMaxFreqDigits) {
    // Eight digits always, so frequencies below 100 MHz keep their digits
    // in the right bytes: each pair of decimal digits one BCD byte, the most
    // significant pair first (what SeparateFreChar makes of the eight-digit
    // text, without the text).
    int rest = value;
    for (int k = 3; k >= 0; --k) {
      const int low = rest % 10;
      rest /= 10;
      const int high = rest % 10;
      rest /= 10;
      b[static_cast<size_t>(k)] = static_cast<uint8_t>(high << 4 | low);
    }
  } else if (value != -1) {
    // No record form (a minus sign, nine digits): the conversion of the
    // text fails and is logged, and the bytes stay.
    try {
      b = SeparateFreChar(QString::number(value));
    } catch (const RunError& e) {
      log_.LogError(QStringLiteral("modChMem->SeparateFreChar"), e);
      return;
    }
  }
  // Highest byte first: a record that runs past the image fails before any
  // byte is written.
  image_.set(r + 3, b[0]);
  image_.set(r + 2, b[1]);
  image_.set(r + 1, b[2]);
  image_.set(r + 0, b[3]);
}

void ChannelCodec::CiRxFreSol(int i) {
  silently([&] { writeFrequency(i, kRxOffset, table_.get(kRowRx, i)); });
}

void ChannelCodec::CiTxFreSol(int i) {
  guarded(log_, "modChMem->CiTxFreSol", [&] { writeFrequency(i, kTxOffset, table_.get(kRowTx, i)); });
}

void ChannelCodec::CiCtdcsDecSol(int i) {
  guarded(log_, "modChMem->CiCtdcsDecSol", [&] {
    const int r = record(i) + kDecodeToneOffset;
    if (const auto w = tones_.QtDqtCharToIic(table_.decodeTone(i), log_)) image_.setWord(r, w->high << 8 | w->low);
  });
}

void ChannelCodec::CiCtdcsEncSol(int i) {
  guarded(log_, "modChMem->CiCtdcsEncSol", [&] {
    const int r = record(i) + kEncodeToneOffset;
    if (const auto w = tones_.QtDqtCharToIic(table_.encodeTone(i), log_)) image_.setWord(r, w->high << 8 | w->low);
  });
}

// ---- deletion ---------------------------------------------------------------

void ChannelCodec::DelOneChannel(int i) {
  guarded(log_, "modChMem->DelOneChannel", [&] {
    table_.set(kRowMark, i, 1);
    table_.set(kRowRx, i, -1);
    table_.set(kRowTx, i, -1);
    // The slot gets the factory record back; both images are checked for the
    // whole record before a byte moves.
    const int r = record(i);
    if (!def_.contains(r + kRecordSize - 1)) throwSubscript("default image", r + kRecordSize - 1, 0, def_.upperBound());
    if (!image_.contains(r + kRecordSize - 1)) throwSubscript("image", r + kRecordSize - 1, 0, image_.upperBound());
    for (int k = 0; k < kRecordSize; ++k) image_.set(r + k, def_.at(r + k));
    table_.setDecodeTone(i, QString());
    table_.setEncodeTone(i, QString());
    emit channelDeleted(i);
  });
}

void ChannelCodec::InitChTable() {
  guarded(log_, "modChMem->InitChTable", [&] {
    const int n = channelCount();
    for (int i = 1; i <= n; ++i) DelOneChannel(i);
  });
}

}  // namespace zr
