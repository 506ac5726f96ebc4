#include "data/DataFileCheck.h"

#include <algorithm>

#include "data/MemoryImage.h"

namespace zr {

QString dataFileProblem(const std::vector<uint8_t>& bytes) {
  if (bytes.size() != static_cast<size_t>(kDataFileSize))
    return QStringLiteral("it has %1 bytes, a data file has %2").arg(bytes.size()).arg(kDataFileSize);
  if (!std::equal(kDataSignature.begin(), kDataSignature.end(), bytes.begin()))
    return QStringLiteral("it does not begin with the data file signature KV6183");
  return {};
}

}  // namespace zr
