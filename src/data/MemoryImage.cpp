#include "data/MemoryImage.h"

#include <algorithm>

namespace zr {

void realign(ByteArray& image) {
  if (image.upperBound() < kRealignEnd) throwSubscript("image", kRealignEnd, 0, image.upperBound());
  auto& b = image.bytes();
  for (int a = 0x0020; a <= kRealignEnd; ++a) b[static_cast<size_t>(a - 16)] = b[static_cast<size_t>(a)];
}

void loadRaw(ByteArray& image, const std::vector<uint8_t>& file) {
  auto& b = image.bytes();
  const size_t n = std::min(b.size(), file.size());
  std::copy_n(file.begin(), n, b.begin());
}

std::vector<uint8_t> toDataFile(const ByteArray& image) {
  if (image.upperBound() < kImageSpan - 1) throwSubscript("image", kImageSpan - 1, 0, image.upperBound());
  std::vector<uint8_t> file(kDataFileSize, 0xFF);
  std::copy(kDataSignature.begin(), kDataSignature.end(), file.begin());
  const auto& b = image.bytes();
  for (int a = 6; a < 0x10; ++a) file[static_cast<size_t>(a)] = b[static_cast<size_t>(a)];
  for (int a = 0x10; a < kImageSpan; ++a) file[static_cast<size_t>(a + 16)] = b[static_cast<size_t>(a)];
  return file;
}

}  // namespace zr
