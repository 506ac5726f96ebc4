#include "data/ChannelCodec.h"

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <vector>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace zr {
namespace {

using Record = std::array<uint8_t, kRecordSize>;

// A record with every field in use and every bit the codec does not own set:
// rx 145.52500, tx 146.00000, decode 67.0, encode D023I, byte 12 = 0xD3
// (bit 7 kept, pair 5-6 = 2, pair 3-4 = 2, pair 1-2 = 1, bit 0), byte 13 = 0xDF
// (VOX, kept bit 6, power, kept bits 0-3), byte 14 = 0xAF (row 13 = 10, kept
// bits 1-3, bit 0), byte 15 = 0xCD (row 14 = 12, kept bit 3, row 12 = 5).
constexpr Record kFullRecord = {0x00, 0x25, 0x55, 0x14, 0x00, 0x00, 0x60, 0x14,
                                0x9E, 0x02, 0x13, 0xA8, 0xD3, 0xDF, 0xAF, 0xCD};
// Receive 990.00000 MHz, no transmit frequency, no tones, only kept bits set.
constexpr Record kBareRecord = {0x00, 0x00, 0x00, 0x99, 0xFF, 0xFF, 0xFF, 0xFF,
                                0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x4F, 0x0E, 0x08};
// What an empty channel with all-zero options encodes to.
constexpr Record kEmptyRecord = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0x4F, 0x0E, 0x08};

void putRecord(ByteArray& img, int ch, const Record& r) {
  for (int k = 0; k < kRecordSize; ++k) img.set(recordAddress(ch) + k, r[static_cast<size_t>(k)]);
}

Record recordOf(const ByteArray& img, int ch) {
  Record r{};
  for (int k = 0; k < kRecordSize; ++k) r[static_cast<size_t>(k)] = img.at(recordAddress(ch) + k);
  return r;
}

void fillPattern(ByteArray& img) {
  for (int a = 0; a < img.size(); ++a) img.set(a, (a * 37 + 11) & 0xFF);
}

class ChannelCodecTest : public ::testing::Test {
 protected:
  ByteArray image{0x1FFF};
  ByteArray def{0x1FFF};
  ChannelTable table;
  ToneTable tones{3};
  ChColumnDefs columns = ChColumnDefs::fallback();
  ErrorLog log;
  ChannelCodec codec{image, def, table, tones, columns, log};

  int row(int r, int ch) const { return table.get(r, ch); }
  uint8_t byte(int ch, int offset) const { return image.at(recordAddress(ch) + offset); }
};

TEST(ChannelTable, StartsEmptyAndChecksEveryIndex) {
  ChannelTable t;
  EXPECT_EQ(t.get(0, 1), 0);
  EXPECT_EQ(t.get(20, 260), 0);
  EXPECT_TRUE(t.decodeTone(260).isEmpty());
  t.set(20, 260, 5);
  t.setEncodeTone(1, QStringLiteral("67.0"));
  EXPECT_EQ(t.get(20, 260), 5);
  EXPECT_EQ(t.encodeTone(1), "67.0");
  const std::vector<std::function<void()>> outside = {
      [&] { t.get(-1, 1); },          [&] { t.get(21, 1); },          [&] { t.get(0, 0); },
      [&] { t.set(0, 261, 1); },      [&] { t.decodeTone(0); },       [&] { t.encodeTone(261); },
      [&] { t.setDecodeTone(0, {}); }, [&] { t.setEncodeTone(261, {}); },
  };
  for (size_t k = 0; k < outside.size(); ++k) {
    try {
      outside[k]();
      ADD_FAILURE() << "access " << k << " did not fail";
    } catch (const RunError& e) {
      EXPECT_EQ(e.code(), kErrSubscript) << k;
    }
  }
}

TEST_F(ChannelCodecTest, DecodesValidRecordsAndReencodesThemByteForByte) {
  fillPattern(image);
  putRecord(image, 1, kFullRecord);
  putRecord(image, 2, kBareRecord);
  for (int ch = 3; ch <= 16; ++ch) putRecord(image, ch, kEmptyRecord);
  image.setWord(kChannelBitWordAddr, 0x0001);
  const ByteArray original = image;

  codec.IicDatToChInfo();
  EXPECT_EQ(image, original);

  const std::vector<std::pair<int, int>> full = {{1, 14552500}, {2, 14600000}, {3, 0},  {4, 0},  {5, 1},
                                                 {6, 1},        {7, 2},        {8, 0},  {9, 1},  {10, 3},
                                                 {11, 1},       {12, 5},       {13, 10}, {14, 12}, {15, 2}};
  for (auto [r, v] : full) EXPECT_EQ(row(r, 1), v) << "row " << r;
  EXPECT_EQ(table.decodeTone(1), "67.0");
  EXPECT_EQ(table.encodeTone(1), "D023I");
  EXPECT_EQ(row(1, 2), 99000000);
  EXPECT_EQ(row(2, 2), -1);
  EXPECT_EQ(table.decodeTone(2), "None");
  EXPECT_EQ(row(1, 3), -1);
  EXPECT_TRUE(table.decodeTone(3).isEmpty());

  codec.ChInfoToIicDat();
  EXPECT_EQ(image, original);
  EXPECT_EQ(log.reportCount(), 0);
}

TEST_F(ChannelCodecTest, BitPairHoldingThreeDecodesAsZeroAndEncodesCleared) {
  Record r = kFullRecord;
  r[12] = 0xFF;  // pairs 1-2, 3-4 and 5-6 all hold 3
  putRecord(image, 1, r);
  codec.IicDatToChInfo();
  EXPECT_EQ(row(7, 1), 0);
  EXPECT_EQ(row(11, 1), 0);
  EXPECT_EQ(row(15, 1), 0);
  codec.ChInfoToIicDat();
  EXPECT_EQ(byte(1, 12), 0x81);  // bit 7 kept, bit 0 from row 10
}

TEST_F(ChannelCodecTest, Row10SplitsIntoByte14Bit0AndByte12Bit0) {
  struct Case {
    int value;
    int b14bit0, b12bit0;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 1}, Case{2, 1, 0}, Case{3, 1, 1}}) {
    SCOPED_TRACE(c.value);
    putRecord(image, 1, kFullRecord);
    codec.IcChParaSol(1);
    table.set(kRowPttId, 1, c.value);
    codec.CiChParaSol(1);
    EXPECT_EQ(byte(1, 14), 0xAE | c.b14bit0);
    EXPECT_EQ(byte(1, 12), 0xD2 | c.b12bit0);
    table.set(kRowPttId, 1, -5);
    codec.IcChParaSol(1);
    EXPECT_EQ(row(kRowPttId, 1), c.value);
  }
}

TEST_F(ChannelCodecTest, Row12IsClampedInImageAndTable) {
  for (auto [in, out] : {std::pair{9, 7}, std::pair{-3, 0}, std::pair{6, 6}}) {
    putRecord(image, 1, kFullRecord);
    codec.IcChParaSol(1);
    table.set(12, 1, in);
    codec.CiChParaSol(1);
    EXPECT_EQ(byte(1, 15), 0xC8 | out) << in;
    EXPECT_EQ(row(12, 1), out) << in;
  }
}

TEST_F(ChannelCodecTest, Channel16IsTopBitOfTheChannelBitWord) {
  image.setWord(kChannelBitWordAddr, 0x1234);
  table.set(kRowWide, 16, 1);
  codec.CiChParaSol(16);
  EXPECT_EQ(image.at(kChannelBitWordAddr + 1), 0x92);
  EXPECT_EQ(image.at(kChannelBitWordAddr), 0x34);
  table.set(kRowWide, 16, 0);
  codec.IcChParaSol(16);
  EXPECT_EQ(row(kRowWide, 16), 1);
  codec.IcChParaSol(15);
  EXPECT_EQ(row(kRowWide, 15), 0);
}

TEST_F(ChannelCodecTest, FrequencyDigitsAboveNine) {
  Record r = kFullRecord;
  r[1] = 0x2A;  // receive: a nibble above 9
  r[6] = 0xF0;  // transmit: likewise
  putRecord(image, 1, r);
  table.set(kRowTx, 1, 777);
  codec.IcRxFreSol(1);
  EXPECT_EQ(row(kRowRx, 1), kFallbackRxFrequency);
  EXPECT_EQ(log.lastTag(), "modChMem->IcRxFreSol");
  codec.IcTxFreSol(1);
  EXPECT_EQ(row(kRowTx, 1), 777);
  EXPECT_EQ(log.lastTag(), "modChMem->IcTxFreSol");
  EXPECT_EQ(log.reportCount(), 2);
}

TEST_F(ChannelCodecTest, FrequencyEncoding) {
  struct Case {
    int value;
    std::array<uint8_t, 4> bytes;  // record bytes 0..3 (and 4..7)
  };
  const Case cases[] = {
      {12000000, {0x00, 0x00, 0x00, 0x12}},
      {43912345, {0x45, 0x23, 0x91, 0x43}},
      {-1, {0xFF, 0xFF, 0xFF, 0xFF}},
      {5000000, {0x00, 0x00, 0x00, 0x05}},  // below 100 MHz keeps its digits in place
      {0, {0x00, 0x00, 0x00, 0x00}},
      {99999999, {0x99, 0x99, 0x99, 0x99}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    table.set(kRowRx, 1, c.value);
    table.set(kRowTx, 1, c.value);
    codec.CiRxFreSol(1);
    codec.CiTxFreSol(1);
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(byte(1, k), c.bytes[static_cast<size_t>(k)]);
      EXPECT_EQ(byte(1, 4 + k), c.bytes[static_cast<size_t>(k)]);
    }
    if (c.value != -1) {
      codec.IcRxFreSol(1);
      EXPECT_EQ(row(kRowRx, 1), c.value);
    }
  }
  EXPECT_EQ(log.reportCount(), 0);

  // Nine digits or a negative value have no record form: logged, bytes kept.
  for (int bad : {100000000, -2}) {
    putRecord(image, 1, kFullRecord);
    table.set(kRowRx, 1, bad);
    table.set(kRowTx, 1, bad);
    codec.CiRxFreSol(1);
    codec.CiTxFreSol(1);
    EXPECT_EQ(recordOf(image, 1), kFullRecord) << bad;
    EXPECT_EQ(log.lastTag(), "modChMem->SeparateFreChar");
  }
  EXPECT_EQ(log.reportCount(), 4);
}

TEST(SeparateFreChar, PairsOfDigitsAsBytes) {
  using B = std::array<uint8_t, 4>;
  EXPECT_EQ(ChannelCodec::SeparateFreChar("12000000"), (B{0x12, 0x00, 0x00, 0x00}));
  EXPECT_EQ(ChannelCodec::SeparateFreChar("14552500"), (B{0x14, 0x55, 0x25, 0x00}));
  EXPECT_EQ(ChannelCodec::SeparateFreChar("1234567"), (B{0x12, 0x34, 0x56, 0x07}));
  EXPECT_EQ(ChannelCodec::SeparateFreChar("123"), (B{0x12, 0x03, 0x00, 0x00}));
  EXPECT_EQ(ChannelCodec::SeparateFreChar(""), (B{0, 0, 0, 0}));
  for (auto [text, code] : {std::pair{"123456789", 9}, std::pair{"-1", 13}, std::pair{"1G000000", 13}}) {
    try {
      ChannelCodec::SeparateFreChar(QString::fromLatin1(text));
      ADD_FAILURE() << text;
    } catch (const RunError& e) {
      EXPECT_EQ(e.code(), code) << text;
    }
  }
}

TEST_F(ChannelCodecTest, SlotHoldsAChannelOnlyForByte3From01To99) {
  columns.columnCount = 12;
  columns.items.assign(21, QStringList());
  for (int j = 1; j <= 20; ++j) columns.items[static_cast<size_t>(j)] = {"k", "3", QString::number(100 + j)};
  for (int b : {0x00, 0x01, 0x99, 0x9A, 0xFF}) {
    SCOPED_TRACE(b);
    Record r = kFullRecord;
    r[3] = static_cast<uint8_t>(b);
    putRecord(image, 1, r);
    for (int j = 0; j <= 20; ++j) table.set(j, 1, 77);
    table.setDecodeTone(1, QStringLiteral("D023N"));
    codec.IicDatToChInfo();
    const bool holds = b == 0x01 || b == 0x99;
    EXPECT_EQ(codec.holdsChannel(1), holds);
    EXPECT_EQ(row(kRowMark, 1), 77);
    if (holds) {
      EXPECT_EQ(row(kRowRx, 1), (b == 0x01 ? 1 : 99) * 1000000 + 552500);
      EXPECT_EQ(row(5, 1), 1);
      EXPECT_EQ(table.decodeTone(1), "67.0");
    } else {
      EXPECT_EQ(row(kRowRx, 1), -1);
      EXPECT_EQ(row(kRowTx, 1), -1);
      EXPECT_EQ(row(3, 1), 0);
      EXPECT_EQ(row(4, 1), 0);
      EXPECT_TRUE(table.decodeTone(1).isEmpty());
      EXPECT_TRUE(table.encodeTone(1).isEmpty());
      for (int j = 5; j <= 12; ++j) EXPECT_EQ(row(j, 1), 100 + j) << j;
      for (int j = 13; j <= 20; ++j) EXPECT_EQ(row(j, 1), 77) << j;
    }
  }
  EXPECT_EQ(log.reportCount(), 0);
}

TEST_F(ChannelCodecTest, DeleteRestoresDefaultRecordAndNextEncodeWritesABlankChannel) {
  Record factory{};
  for (int k = 0; k < kRecordSize; ++k) factory[static_cast<size_t>(k)] = static_cast<uint8_t>(0xA0 + k);
  putRecord(def, 5, factory);
  putRecord(image, 5, kFullRecord);
  table.set(kRowRx, 5, 14552500);
  table.set(kRowPower, 5, 1);
  table.set(kRowVox, 5, 1);
  table.setDecodeTone(5, QStringLiteral("67.0"));
  table.setEncodeTone(5, QStringLiteral("D023I"));
  std::vector<int> blanked;
  QObject::connect(&codec, &ChannelCodec::channelDeleted, [&](int ch) { blanked.push_back(ch); });

  codec.DelOneChannel(5);
  EXPECT_EQ(recordOf(image, 5), factory);
  EXPECT_EQ(row(kRowMark, 5), 1);
  EXPECT_EQ(row(kRowRx, 5), -1);
  EXPECT_EQ(row(kRowTx, 5), -1);
  EXPECT_EQ(row(kRowPower, 5), 1);
  EXPECT_TRUE(table.decodeTone(5).isEmpty());
  EXPECT_TRUE(table.encodeTone(5).isEmpty());
  EXPECT_EQ(blanked, std::vector<int>{5});

  codec.ChInfoToIicDat();
  const Record r = recordOf(image, 5);
  for (int k = 0; k < 12; ++k) EXPECT_EQ(r[static_cast<size_t>(k)], 0xFF) << k;
  EXPECT_EQ(r[13], (0xAD & 0x4F) | 0x10 | 0x80);  // kept bits, power, VOX
  EXPECT_EQ(log.reportCount(), 0);
}

TEST_F(ChannelCodecTest, InitChTableDeletesChannels1ToN) {
  fillPattern(def);
  std::vector<int> blanked;
  QObject::connect(&codec, &ChannelCodec::channelDeleted, [&](int ch) { blanked.push_back(ch); });
  codec.InitChTable();
  ASSERT_EQ(blanked.size(), 16u);
  for (int ch = 1; ch <= 16; ++ch) {
    EXPECT_EQ(row(kRowMark, ch), 1);
    EXPECT_EQ(row(kRowRx, ch), -1);
    EXPECT_EQ(recordOf(image, ch), recordOf(def, ch));
  }
  EXPECT_EQ(row(kRowMark, 17), 0);
  EXPECT_EQ(recordOf(image, 17), Record{});
}

TEST_F(ChannelCodecTest, ChannelsAbove16StopSilentlyAtTheChannelBitWord) {
  columns.channelCount = 20;
  Record r = kFullRecord;
  r[12] = 0x08;  // scan = 1
  r[13] = 0x30;  // busy lock and power
  putRecord(image, 17, r);
  image.setWord(kChannelBitWordAddr, 0xFFFF);
  table.set(kRowScan, 17, 2);
  table.set(kRowWide, 17, 5);
  codec.IicDatToChInfo();
  EXPECT_EQ(row(kRowBusyLock, 17), 1);
  EXPECT_EQ(row(kRowPower, 17), 1);
  EXPECT_EQ(row(kRowWide, 17), 5);  // not decoded
  EXPECT_EQ(row(kRowScan, 17), 2);  // not decoded
  EXPECT_EQ(row(kRowRx, 17), 14552500);
  EXPECT_EQ(table.encodeTone(17), "D023I");

  table.set(kRowBusyLock, 17, 0);
  table.set(kRowPower, 17, 0);
  table.set(kRowScan, 17, 0);
  table.set(kRowWide, 17, 0);
  codec.CiChParaSol(17);
  EXPECT_EQ(byte(17, 13), 0x00);  // step 1 done
  EXPECT_EQ(byte(17, 12), 0x08);  // later steps not
  EXPECT_EQ(image.word(kChannelBitWordAddr), 0xFFFF);
  EXPECT_EQ(log.reportCount(), 0);
}

TEST_F(ChannelCodecTest, Row13Or14OutsideANibbleStopsBeforeTheNibbles) {
  for (auto [r13, r14] : {std::pair{16, 0}, std::pair{-1, 3}, std::pair{0, -1}, std::pair{3, 16}}) {
    SCOPED_TRACE(testing::Message() << r13 << "," << r14);
    putRecord(image, 1, Record{});
    table.set(11, 1, 1);
    table.set(12, 1, 9);
    table.set(13, 1, r13);
    table.set(14, 1, r14);
    table.set(15, 1, 1);
    codec.CiChParaSol(1);
    EXPECT_EQ(byte(1, 12), 0x02);  // step 6 done, step 10 not
    EXPECT_EQ(byte(1, 15), 0x07);  // step 7 done, step 9 not
    EXPECT_EQ(row(12, 1), 7);
    EXPECT_EQ(byte(1, 14), 0x00);
  }
  EXPECT_EQ(log.reportCount(), 0);
}

TEST_F(ChannelCodecTest, ExcludedChannelAndUnreadableToneLeaveTheirBytes) {
  putRecord(image, 1, kFullRecord);
  putRecord(image, 2, kFullRecord);
  codec.IicDatToChInfo();
  table.set(kRowMark, 2, -1);
  table.set(kRowRx, 2, 12000000);
  table.setDecodeTone(1, QStringLiteral("D023NX"));
  table.setEncodeTone(1, QStringLiteral("None"));
  codec.ChInfoToIicDat();
  EXPECT_EQ(recordOf(image, 2), kFullRecord);
  EXPECT_EQ(byte(1, 8), 0x9E);
  EXPECT_EQ(byte(1, 9), 0x02);
  EXPECT_EQ(byte(1, 10), 0xFF);
  EXPECT_EQ(byte(1, 11), 0xFF);
  EXPECT_EQ(log.reportCount(), 1);
  EXPECT_EQ(log.lastTag(), "modChMem->QtDqtCharToIic");
}

TEST_F(ChannelCodecTest, RecordsBeyondASmallImageFailWithoutTouchingIt) {
  ByteArray small(0xFF);  // records of channels 1..15; no channel bit word
  fillPattern(small);
  for (int ch = 1; ch <= 15; ++ch) putRecord(small, ch, kFullRecord);
  ChannelCodec c(small, def, table, tones, columns, log);

  c.IicDatToChInfo();
  EXPECT_EQ(log.reportCount(), 1);
  EXPECT_EQ(log.lastTag(), "modChMem->IicDatToChInfo");
  EXPECT_EQ(log.lastCode(), kErrSubscript);
  EXPECT_EQ(row(kRowRx, 15), 14552500);
  EXPECT_EQ(row(kRowPower, 15), 1);  // step 1 before the missing bit word
  EXPECT_EQ(row(kRowScan, 15), 0);

  const ByteArray before = small;
  struct Case {
    const char* tag;  // nullptr: fails silently
    void (ChannelCodec::*proc)(int);
  };
  const Case cases[] = {
      {"modChMem->IcRxFreSol", &ChannelCodec::IcRxFreSol},
      {"modChMem->IcTxFreSol", &ChannelCodec::IcTxFreSol},
      {"modChMem->IcCtdcsDecSol", &ChannelCodec::IcCtdcsDecSol},
      {"modChMem->IcCtdcsEncSol", &ChannelCodec::IcCtdcsEncSol},
      {"modChMem->CiTxFreSol", &ChannelCodec::CiTxFreSol},
      {"modChMem->CiCtdcsDecSol", &ChannelCodec::CiCtdcsDecSol},
      {"modChMem->CiCtdcsEncSol", &ChannelCodec::CiCtdcsEncSol},
      {"modChMem->DelOneChannel", &ChannelCodec::DelOneChannel},
      {nullptr, &ChannelCodec::IcChParaSol},
      {nullptr, &ChannelCodec::CiChParaSol},
      {nullptr, &ChannelCodec::CiRxFreSol},
  };
  table.set(kRowRx, 16, 14552500);
  table.set(kRowTx, 16, 14552500);
  table.setDecodeTone(16, QStringLiteral("67.0"));
  table.setEncodeTone(16, QStringLiteral("67.0"));
  for (const Case& k : cases) {
    SCOPED_TRACE(k.tag ? k.tag : "silent");
    const int reports = log.reportCount();
    (c.*k.proc)(16);
    if (k.tag) {
      EXPECT_EQ(log.reportCount(), reports + 1);
      EXPECT_EQ(log.lastTag(), k.tag);
      EXPECT_EQ(log.lastCode(), kErrSubscript);
    } else {
      EXPECT_EQ(log.reportCount(), reports);
    }
  }
  EXPECT_EQ(table.get(kRowRx, 16), -1);  // only the deletion changed it
  EXPECT_EQ(small, before);

  // Channel 1's option encoder does its first step, then stops silently at
  // the missing channel bit word.
  table.set(kRowBusyLock, 1, 1);
  table.set(kRowScan, 1, 0);
  c.CiChParaSol(1);
  EXPECT_EQ(small.at(recordAddress(1) + 13), 0xDF | 0x20);
  EXPECT_EQ(small.at(recordAddress(1) + 12), 0xD3);
}

}  // namespace
}  // namespace zr
