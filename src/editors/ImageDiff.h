#pragma once
// The differences between two memory images by meaning: what the editors
// show for each (model and range, every channel field by field, every
// setting by name, the two-tone table, the PTT ID pause channels), then the
// bytes that differ although nothing shown depends on them.
//
// Both images are shown in turn through the same editors, as Open shows a
// file. A differing byte counts as explained when changing it alone changes
// what the editors show; the others are listed as bytes.
#include <QString>
#include <cstdint>
#include <vector>

namespace zr {

struct Editors;

// One shown value: the group ("channel", "setting", "model", "band",
// "two-tone", "ptt-id-pause"), the channel or entry number (0 when none),
// the field's name, and its text.
struct ShownValue {
  QString group;
  int number = 0;
  QString field;
  QString text;
};
using ImageView = std::vector<ShownValue>;

struct FieldDifference {
  QString group;
  int number = 0;
  QString field;
  QString a, b;
};

struct ByteDifference {
  int address = 0;
  int a = 0, b = 0;
};

struct ImageDifferences {
  std::vector<FieldDifference> fields;
  std::vector<ByteDifference> bytes;  // differing bytes that no shown value depends on
  bool equal() const { return fields.empty() && bytes.empty(); }
};

// The bytes of a file as image addresses: a data file (1040 bytes with the
// signature) is realigned as Open realigns it and covers 0x0000-0x03FF; any
// other file is a raw image from address 0.
std::vector<uint8_t> imageOfFile(const std::vector<uint8_t>& file, bool* isDataFile = nullptr);

// What the editors show after the image was loaded and refreshed.
ImageView captureView(Editors& e);

// Compares addresses 0..min(size a, size b) - 1. The editors end showing b.
ImageDifferences diffImages(Editors& e, const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

}  // namespace zr
