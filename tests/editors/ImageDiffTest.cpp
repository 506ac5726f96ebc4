// Two images compared by meaning: shown values first, then the bytes that
// nothing shown depends on.
#include <gtest/gtest.h>

#include "data/DataFiles.h"
#include "editors/CsvImportFixture.h"
#include "editors/ImageDiff.h"

namespace zr::testing {
namespace {

// Channel 1: 146.52000 MHz both ways, decode 67.0, encode D023N.
const std::vector<uint8_t> kChannel1 = {0x00, 0x20, 0x65, 0x14, 0x00, 0x20, 0x65, 0x14,
                                        0x9E, 0x02, 0x13, 0x28, 0x09, 0x10, 0x01, 0x00};

class ImageDiffTest : public CsvImportFixture {
 protected:
  std::vector<uint8_t> base() { return imageOfFile(readFileBytes(dir.filePath("DefRadioSet_VHF.def"))); }
  static QString describe(const FieldDifference& f) {
    return QStringLiteral("%1 %2 %3: %4 -> %5").arg(f.group).arg(f.number).arg(f.field, f.a, f.b);
  }
};

TEST_F(ImageDiffTest, DataFilesAreRealignedAndRawImagesTakenAsTheyAre) {
  const std::vector<uint8_t> file = readFileBytes(dir.filePath("DefRadioSet_VHF.def"));
  bool data = false;
  const std::vector<uint8_t> image = imageOfFile(file, &data);
  EXPECT_TRUE(data);
  ASSERT_EQ(image.size(), 0x400u);
  EXPECT_EQ(image[0x0005], file[0x0005]);
  EXPECT_EQ(image[0x0010], file[0x0020]);
  EXPECT_EQ(image[0x03FF], file[0x040F]);
  std::vector<uint8_t> raw(8192, 0x5A);
  EXPECT_EQ(imageOfFile(raw, &data), raw);
  EXPECT_FALSE(data);
}

TEST_F(ImageDiffTest, EachChangeIsNamedByWhatItMeans) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> pokes;  // address, value in B (A is the base with channel 1)
    QStringList fields;                      // "group number field: a -> b"
    std::vector<int> bytes;                  // addresses no shown value explains
  };
  const Case cases[] = {
      {"nothing", {}, {}, {}},
      {"the decode tone of channel 1", {{0x0018, 0xE8}, {0x0019, 0x03}}, {"channel 1 QT/DQT Dec: 67.0 -> 100.0"}, {}},
      {"a setting", {{0x0136, 0x00}}, {"setting 0 chkBeep: on -> off"}, {}},
      {"an address nothing reads", {{0x0006, 0x77}}, {}, {0x0006}},
      {"a record bit the codec keeps", {{0x001D, 0x11}}, {}, {0x001D}},
      {"a channel emptied",
       {{0x0010, 0xFF}, {0x0011, 0xFF}, {0x0012, 0xFF}, {0x0013, 0xFF}},
       {"channel 1 Rx Freq[MHz]: 146.52000 -> ", "channel 1 Tx Freq[MHz]: 146.52000 -> ",
        "channel 1 QT/DQT Dec: 67.0 -> ", "channel 1 QT/DQT Enc: D023N -> ", "channel 1 Power: High -> ",
        "channel 1 W/N: Wide -> ", "channel 1 Scan: On -> ", "channel 1 BCL: Off -> ", "channel 1 VOX: Off -> ",
        "channel 1 PTT ID: BOTH -> "},
       {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    std::vector<uint8_t> a = base();
    std::copy(kChannel1.begin(), kChannel1.end(), a.begin() + 0x10);
    ASSERT_EQ(a[0x001D], 0x10);  // power bit set, the others clear
    std::vector<uint8_t> b = a;
    for (const auto& [addr, value] : k.pokes) b[static_cast<size_t>(addr)] = static_cast<uint8_t>(value);
    const ImageDifferences d = diffImages(*editors, a, b);
    QStringList fields;
    for (const FieldDifference& f : d.fields) fields << describe(f);
    EXPECT_EQ(fields.join(u'\n').toStdString(), k.fields.join(u'\n').toStdString());
    std::vector<int> bytes;
    for (const ByteDifference& x : d.bytes) bytes.push_back(x.address);
    EXPECT_EQ(bytes, k.bytes);
    EXPECT_EQ(d.equal(), k.pokes.empty());
  }
}

TEST_F(ImageDiffTest, BytesPastTheDecodedImageAreBytes) {
  std::vector<uint8_t> a(8192, 0);
  const std::vector<uint8_t> start = base();
  std::copy(start.begin(), start.end(), a.begin());
  std::vector<uint8_t> b = a;
  b[0x0400] = 1;
  b[0x1FFF] = 2;
  const ImageDifferences d = diffImages(*editors, a, b);
  EXPECT_TRUE(d.fields.empty());
  ASSERT_EQ(d.bytes.size(), 2u);
  EXPECT_EQ(d.bytes[0].address, 0x0400);
  EXPECT_EQ(d.bytes[1].address, 0x1FFF);
  EXPECT_EQ(d.bytes[1].b, 2);
}

}  // namespace
}  // namespace zr::testing
