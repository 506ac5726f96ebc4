// Typed access to the image's bytes: bit fields that leave their neighbours
// alone, packed BCD read low pair first, and the bounds check on every one.
#include <gtest/gtest.h>

#include <array>

#include "data/ByteArray.h"

namespace zr {
namespace {

struct FieldCase {
  const char* what;
  int before, first, count, value, after;
};

TEST(ByteArrayTest, BitFieldsChangeOnlyTheirBits) {
  const FieldCase cases[] = {
      {"one bit set", 0x00, 4, 1, 1, 0x10},
      {"one bit cleared", 0xFF, 7, 1, 0, 0x7F},
      {"pair in the middle", 0xFF, 3, 2, 2, 0xF7},
      {"high nibble", 0x5A, 4, 4, 0xC, 0xCA},
      {"low three bits", 0xF8, 0, 3, 7, 0xFF},
      {"value wider than the field is cut", 0x00, 1, 2, 0x7, 0x06},
  };
  for (const FieldCase& c : cases) {
    ByteArray a(3);
    a.set(2, c.before);
    a.setBits(2, c.first, c.count, c.value);
    EXPECT_EQ(a.at(2), c.after) << c.what;
    EXPECT_EQ(a.bits(2, c.first, c.count), c.value & ((1 << c.count) - 1)) << c.what;
    EXPECT_EQ(a.at(1), 0) << c.what << ": a neighbouring byte changed";
  }
  ByteArray a(0);
  a.setBit(0, 6, true);
  EXPECT_TRUE(a.bit(0, 6));
  EXPECT_FALSE(a.bit(0, 5));
}

TEST(ByteArrayTest, BcdReadsLowPairFirstAndRefusesNibblesAboveNine) {
  ByteArray a(7);
  for (int k = 0; k < 4; ++k) a.set(k, std::array{0x50, 0x62, 0x45, 0x14}[k]);  // 144.56250 MHz
  EXPECT_EQ(a.bcdLowFirst(0, 4), 14456250);
  a.set(1, 0x6A);
  EXPECT_EQ(a.bcdLowFirst(0, 4), std::nullopt);
  EXPECT_EQ(bytecodes::toBcdByte(42), 0x42);
  EXPECT_EQ(bytecodes::fromBcdByte(0x1A), 20);  // the radio counts a nibble above 9 as it is
}

TEST(ByteArrayTest, EveryTypedAccessIsBoundsChecked) {
  ByteArray a(3);
  const auto code = [](const auto& f) {
    try {
      f();
    } catch (const RunError& e) {
      return e.code();
    }
    return 0;
  };
  EXPECT_EQ(code([&] { a.bits(4, 0, 1); }), kErrSubscript);
  EXPECT_EQ(code([&] { a.setBits(-1, 0, 1, 1); }), kErrSubscript);
  EXPECT_EQ(code([&] { a.bcdLowFirst(1, 4); }), kErrSubscript);
  EXPECT_EQ(code([&] { a.setWord(3, 0x1234); }), kErrSubscript);
  EXPECT_EQ(a.at(3), 0) << "a word that runs past the end writes nothing";
}

}  // namespace
}  // namespace zr
