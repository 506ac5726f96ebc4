// Builds the default image files ("dhcpqec.def", "DefRadioSet_VHF.def",
// "DefRadioSet_UHF.def") from the readable factory description in
// resources/factory/factory.txt.
//
// Usage: zr417-mkimage DESCRIPTION VARIANT OUTPUT
//
// The description is a list of statements applied in order to a 1 KiB image
// (radio addresses 0x0000-0x03FF) that starts as all 0x00. Statements outside
// any section apply to every variant; statements after "[name]" apply only
// when VARIANT is that name.
//
//   fill  0xSTART-0xEND VALUE         every byte of the range
//   bytes 0xADDR  VV VV VV ...        consecutive bytes (hex, no prefix needed)
//   byte  0xADDR  VALUE               one byte
//   bits  0xADDR  N VALUE             bit N of a byte (VALUE 0 or 1); the other bits kept
//   bits  0xADDR  LO-HI VALUE         bits LO to HI of a byte hold VALUE; the other bits kept
//   word  0xADDR  VALUE               16-bit value, low byte first
//   ascii 0xADDR  "TEXT"              the text's ASCII codes
//   band  MIN MAX                     band limits in whole MHz (0x037A-0x037D, BCD of 100 kHz units)
//   # ...                             comment (also after a statement)
//
// Addresses and VALUEs are decimal, or hexadecimal with a 0x prefix.
//
// "fill" lays a background: any later statement may overwrite what a fill
// wrote. Every other statement claims the bits it writes, and a statement
// that writes bits another non-fill statement has already claimed (in the
// common part or in the same variant) is an error, so two lines can never
// silently describe the same setting differently.
//
// The output is written in the data file layout: 1040 bytes, file offsets
// 0-15 = image 0x0000-0x000F, 16-31 = 0xFF, 32-1039 = image 0x0010-0x03FF.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "data/ByteCodes.h"

namespace {

constexpr int kImageSize = 0x0400;
constexpr int kFileSize = 0x0410;
constexpr long kBandMinAddr = 0x037A;

[[noreturn]] void fail(const std::string& where, const std::string& what) {
  std::cerr << "zr417-mkimage: " << where << ": " << what << "\n";
  std::exit(1);
}

long parseNumber(const std::string& text, const std::string& where, int base) {
  if (text.empty()) fail(where, "missing number");
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, base);
  if (*end != '\0' || errno != 0 || text.front() == '-' || text.front() == '+') fail(where, "not a number: " + text);
  return v;
}

// Decimal, or hexadecimal with a 0x prefix (a leading zero does not mean octal).
long parseValue(const std::string& text, const std::string& where) {
  if (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0) return parseNumber(text.substr(2), where, 16);
  return parseNumber(text, where, 10);
}

struct Image {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(kImageSize, 0x00);
  std::vector<uint8_t> claimed = std::vector<uint8_t>(kImageSize, 0x00);  // bits owned by a statement

  static void checkAddr(long addr, const std::string& where) {
    if (addr < 0 || addr >= kImageSize) fail(where, "address outside 0x0000-0x03FF");
  }

  // Writes the bits of `mask` at addr; a fill writes without claiming.
  void write(long addr, long value, uint8_t mask, bool claim, const std::string& where) {
    checkAddr(addr, where);
    if (value < 0 || value > 0xFF) fail(where, "byte value outside 0x00-0xFF");
    const auto a = static_cast<size_t>(addr);
    if (claimed[a] & mask) {
      char text[64];
      std::snprintf(text, sizeof text, "bits 0x%02X of 0x%04lX already set by an earlier statement",
                    static_cast<unsigned>(claimed[a] & mask), addr);
      fail(where, text);
    }
    bytes[a] = static_cast<uint8_t>((bytes[a] & ~mask) | (value & mask));
    if (claim) claimed[a] |= mask;
  }
  void setByte(long addr, long value, const std::string& where) { write(addr, value, 0xFF, true, where); }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: zr417-mkimage DESCRIPTION VARIANT OUTPUT\n";
    return 2;
  }
  const std::string variant = argv[2];
  std::ifstream in(argv[1]);
  if (!in) fail(argv[1], "cannot open");

  Image image;
  std::string line;
  std::string section;  // empty: common statements
  bool variantSeen = false;
  for (int lineNo = 1; std::getline(in, line); ++lineNo) {
    const std::string where = std::string(argv[1]) + ":" + std::to_string(lineNo);
    std::string text = line;
    bool inQuote = false;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '"') inQuote = !inQuote;
      if (text[i] == '#' && !inQuote) {
        text.resize(i);
        break;
      }
    }
    std::istringstream words(text);
    std::string verb;
    if (!(words >> verb)) continue;
    if (verb.front() == '[') {
      if (verb.back() != ']') fail(where, "bad section header");
      section = verb.substr(1, verb.size() - 2);
      if (section == variant) variantSeen = true;
      continue;
    }
    if (!section.empty() && section != variant) continue;

    // Every statement but "bytes" and "ascii" has a fixed number of words;
    // a stray word is a typo, not something to ignore.
    auto noMoreWords = [&] {
      std::string extra;
      if (words >> extra) fail(where, "unexpected word: " + extra);
    };

    if (verb == "fill") {
      std::string range, value;
      words >> range >> value;
      noMoreWords();
      const auto dash = range.find('-');
      if (dash == std::string::npos) fail(where, "range must be START-END");
      const long from = parseValue(range.substr(0, dash), where);
      const long to = parseValue(range.substr(dash + 1), where);
      if (to < from) fail(where, "range ends before it starts");
      const long v = parseValue(value, where);
      for (long a = from; a <= to; ++a) image.write(a, v, 0xFF, false, where);
    } else if (verb == "bytes") {
      std::string addrText, byte;
      words >> addrText;
      long addr = parseValue(addrText, where);
      int count = 0;
      while (words >> byte) {
        if (byte.rfind("0x", 0) == 0 || byte.rfind("0X", 0) == 0) byte = byte.substr(2);
        image.setByte(addr++, parseNumber(byte, where, 16), where);
        ++count;
      }
      if (count == 0) fail(where, "no bytes given");
    } else if (verb == "byte") {
      std::string addrText, value;
      words >> addrText >> value;
      noMoreWords();
      image.setByte(parseValue(addrText, where), parseValue(value, where), where);
    } else if (verb == "bits") {
      std::string addrText, range, value;
      words >> addrText >> range >> value;
      noMoreWords();
      const long addr = parseValue(addrText, where);
      const auto dash = range.find('-');
      const long lo = parseNumber(range.substr(0, dash), where, 10);
      const long hi = dash == std::string::npos ? lo : parseNumber(range.substr(dash + 1), where, 10);
      if (lo < 0 || hi > 7 || hi < lo) fail(where, "bits must be N or LO-HI within 0-7");
      const long width = hi - lo + 1;
      const long v = parseValue(value, where);
      if (v < 0 || v >= (1L << width)) fail(where, "value does not fit into " + std::to_string(width) + " bit(s)");
      const auto mask = static_cast<uint8_t>(zr::bytecodes::fieldMask(static_cast<int>(lo), static_cast<int>(width)));
      image.write(addr, v << lo, mask, true, where);
    } else if (verb == "word") {
      std::string addrText, value;
      words >> addrText >> value;
      noMoreWords();
      const long addr = parseValue(addrText, where);
      const long v = parseValue(value, where);
      if (v < 0 || v > 0xFFFF) fail(where, "word outside 0x0000-0xFFFF");
      image.setByte(addr, zr::bytecodes::lowByte(static_cast<int>(v)), where);
      image.setByte(addr + 1, zr::bytecodes::highByte(static_cast<int>(v)), where);
    } else if (verb == "ascii") {
      std::string addrText;
      words >> addrText;
      const long addr = parseValue(addrText, where);
      std::string rest;
      std::getline(words, rest);
      const auto open = rest.find('"');
      const auto close = rest.rfind('"');
      if (open == std::string::npos || close == open) fail(where, "text must be quoted");
      if (rest.find_first_not_of(" \t", close + 1) != std::string::npos) fail(where, "unexpected text after the quote");
      const std::string s = rest.substr(open + 1, close - open - 1);
      for (size_t i = 0; i < s.size(); ++i)
        image.setByte(addr + static_cast<long>(i), static_cast<uint8_t>(s[i]), where);
    } else if (verb == "band") {
      std::string lo, hi;
      words >> lo >> hi;
      noMoreWords();
      // Limits in 100 kHz units as four BCD digits, most significant first.
      const long min = parseNumber(lo, where, 10) * 10;
      const long max = parseNumber(hi, where, 10) * 10;
      if (min < 0 || max > 9999 || max < min) fail(where, "band limits out of order or range");
      image.setByte(kBandMinAddr, zr::bytecodes::toBcdByte(static_cast<int>(min / 100)), where);
      image.setByte(kBandMinAddr + 1, zr::bytecodes::toBcdByte(static_cast<int>(min % 100)), where);
      image.setByte(kBandMinAddr + 2, zr::bytecodes::toBcdByte(static_cast<int>(max / 100)), where);
      image.setByte(kBandMinAddr + 3, zr::bytecodes::toBcdByte(static_cast<int>(max % 100)), where);
    } else {
      fail(where, "unknown statement: " + verb);
    }
  }
  if (!variantSeen) fail(argv[1], "no section [" + variant + "]");

  std::vector<uint8_t> file(kFileSize, 0xFF);
  for (int a = 0; a < 0x10; ++a) file[static_cast<size_t>(a)] = image.bytes[static_cast<size_t>(a)];
  for (int a = 0x10; a < kImageSize; ++a) file[static_cast<size_t>(a + 16)] = image.bytes[static_cast<size_t>(a)];

  const std::string tmp = std::string(argv[3]) + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) fail(tmp, "cannot write");
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) fail(tmp, "write failed");
  }
  if (std::rename(tmp.c_str(), argv[3]) != 0) fail(argv[3], "cannot rename into place");
  return 0;
}
