#pragma once
// Whether a file's bytes are a data file: exactly 1040 bytes beginning with
// the six signature bytes every save writes. Opening accepts any file; a
// write to the radio and the comparison of two files ask first.
#include <QString>
#include <cstdint>
#include <vector>

namespace zr {

// Empty for a data file, otherwise why it is not one, in words for a user
// ("it has 8192 bytes, a data file has 1040").
QString dataFileProblem(const std::vector<uint8_t>& bytes);

}  // namespace zr
