#pragma once
// How the radio packs numbers into its bytes: bit fields inside a byte,
// packed BCD (two decimal digits a byte, the tens in the high nibble) and
// 16-bit words split low byte first. Plain functions on byte values, with no
// Qt and no failures, so the build-time image generator shares them with the
// program; ByteArray puts them on image addresses with its bounds checks.
#include <cstdint>

namespace zr::bytecodes {

// The bits first..first+count-1 of a byte, as a mask.
constexpr int fieldMask(int first, int count) { return ((1 << count) - 1) << first; }

// The value of bits first..first+count-1 of a byte.
constexpr int fieldOf(int byte, int first, int count) { return (byte >> first) & ((1 << count) - 1); }

// The byte with bits first..first+count-1 replaced by value (cut to the
// field's width); the other bits are kept.
constexpr int withField(int byte, int first, int count, int value) {
  const int mask = fieldMask(first, count);
  return (byte & ~mask) | ((value << first) & mask);
}

// Two decimal digits as one BCD byte: 42 gives 0x42. Only the last two
// digits of a larger number are kept.
constexpr int toBcdByte(int twoDigits) { return ((twoDigits / 10) % 10) * 16 + twoDigits % 10; }

// Whether both nibbles of a byte are decimal digits.
constexpr bool isBcdByte(int byte) { return ((byte >> 4) & 0x0F) <= 9 && (byte & 0x0F) <= 9; }

// The number a BCD byte holds: 0x42 gives 42. A nibble above 9 counts with
// its own value (0x4A gives 50), as the radio's arithmetic does.
constexpr int fromBcdByte(int byte) { return ((byte >> 4) & 0x0F) * 10 + (byte & 0x0F); }

// The two bytes of a 16-bit word.
constexpr int lowByte(int word) { return word & 0xFF; }
constexpr int highByte(int word) { return (word >> 8) & 0xFF; }

}  // namespace zr::bytecodes
