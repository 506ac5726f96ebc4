#pragma once
// The memory image `TempArray` (a copy of the radio's configuration memory,
// index = radio address), its untouched default copy `DefTempArray`, and the
// 1040-byte data file layout.
//
// A data file holds the first 1 KiB of radio memory shifted by 16 bytes:
//   file 0x0000-0x0005  signature "KV6183"
//   file 0x0006-0x000F  image 0x0006-0x000F
//   file 0x0010-0x001F  0xFF
//   file 0x0020-0x040F  image 0x0010-0x03FF
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "data/ByteArray.h"

namespace zr {

constexpr int kDataFileSize = 0x0410;  // 1040 bytes
constexpr int kImageSpan = 0x0400;     // image bytes a data file holds
constexpr int kRealignEnd = 0x040F;    // last address the realignment touches
constexpr std::array<uint8_t, 6> kDataSignature = {0x4B, 0x56, 0x36, 0x31, 0x38, 0x33};  // "KV6183"
constexpr int kModelSignatureAddr = 0x01B8;
constexpr std::array<uint8_t, 8> kModelSignature = {0x4D, 0x37, 0x31, 0x39, 0x34, 0x36, 0xF8, 0xFF};  // "M71946"
constexpr int kModelByteAddr = 0x0379;  // model and band bytes 0x0379-0x037D survive New
constexpr int kBandBytesEnd = 0x037D;

struct MemoryImage {
  ByteArray TempArray;
  ByteArray DefTempArray;
  QString CurFilePath;

  // Creates both arrays with indices 0..DatNum, every byte 0.
  void create(int DatNum) {
    TempArray.resize(DatNum);
    DefTempArray.resize(DatNum);
  }
};

// Moves image 0x0020-0x040F down by 16 bytes after a load in data file
// layout. Raises the index failure, without changing a byte, when the array
// does not reach 0x040F.
void realign(ByteArray& image);

// Copies raw file bytes into the image from address 0: as many as the array
// holds or the file provides; the rest of the image is untouched.
void loadRaw(ByteArray& image, const std::vector<uint8_t>& file);

// The 1040-byte data file content of an image (which must reach 0x03FF).
std::vector<uint8_t> toDataFile(const ByteArray& image);

}  // namespace zr
