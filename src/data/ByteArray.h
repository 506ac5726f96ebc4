#pragma once
// A fixed-size byte array indexed by radio memory address. Every access is
// checked: an address outside the array raises the index-out-of-range failure
// (code 9) instead of touching memory beyond it.
#include <cstdint>
#include <optional>
#include <vector>

#include "base/RunError.h"
#include "data/ByteCodes.h"

namespace zr {

class ByteArray {
 public:
  ByteArray() = default;
  // Indices 0..upper; a negative upper bound gives an empty array.
  explicit ByteArray(int upper) { resize(upper); }

  void resize(int upper) { bytes_.assign(upper < 0 ? 0 : static_cast<size_t>(upper) + 1, 0); }
  int upperBound() const { return static_cast<int>(bytes_.size()) - 1; }
  int size() const { return static_cast<int>(bytes_.size()); }
  bool contains(long long a) const { return a >= 0 && a < static_cast<long long>(bytes_.size()); }

  uint8_t at(long long a) const {
    if (!contains(a)) throwSubscript("image", a, 0, upperBound());
    return bytes_[static_cast<size_t>(a)];
  }
  void set(long long a, int value) {
    if (!contains(a)) throwSubscript("image", a, 0, upperBound());
    bytes_[static_cast<size_t>(a)] = static_cast<uint8_t>(value & 0xFF);
  }
  // 16-bit value stored low byte first at a, a+1.
  int word(long long a) const { return at(a) | (at(a + 1) << 8); }
  void setWord(long long a, int value) {
    if (!contains(a) || !contains(a + 1)) throwSubscript("image", a + 1, 0, upperBound());
    set(a, bytecodes::lowByte(value));
    set(a + 1, bytecodes::highByte(value));
  }

  // Bit fields: bits first..first+count-1 of the byte at a. Setting one
  // keeps the byte's other bits, which belong to other fields.
  int bits(long long a, int first, int count) const { return bytecodes::fieldOf(at(a), first, count); }
  void setBits(long long a, int first, int count, int value) {
    set(a, bytecodes::withField(at(a), first, count, value));
  }
  bool bit(long long a, int n) const { return bits(a, n, 1) != 0; }
  void setBit(long long a, int n, bool on) { setBits(a, n, 1, on ? 1 : 0); }

  // Packed BCD over `count` bytes from a, the least significant digit pair
  // at a (as channel frequencies are stored). The bytes are read from the
  // most significant one down; nullopt at the first nibble above 9.
  std::optional<int> bcdLowFirst(long long a, int count) const {
    int value = 0;
    for (int k = count - 1; k >= 0; --k) {
      const int b = at(a + k);
      if (!bytecodes::isBcdByte(b)) return std::nullopt;
      value = value * 100 + bytecodes::fromBcdByte(b);
    }
    return value;
  }

  const std::vector<uint8_t>& bytes() const { return bytes_; }
  std::vector<uint8_t>& bytes() { return bytes_; }
  bool operator==(const ByteArray&) const = default;

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace zr
