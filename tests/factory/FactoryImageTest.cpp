// The three default image files generated from resources/factory/factory.txt:
// loaded the way the program loads them (raw file into the image, then the
// 16-byte realignment), they must hold the signatures, empty channels, their
// band, and settings the settings pages accept without repairing anything.
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "data/DataFiles.h"
#include "data/MemoryImage.h"

namespace zr {
namespace {

struct Variant {
  QString file;
  uint8_t band[4];  // 0x037A-0x037D
};

void PrintTo(const Variant& v, std::ostream* os) { *os << v.file.toStdString(); }

const Variant kVariants[] = {
    {kDefaultImageFile, {0x40, 0x00, 0x52, 0x00}},  // 400-520 MHz
    {kDefaultVhfFile, {0x13, 0x60, 0x17, 0x40}},    // 136-174 MHz
    {kDefaultUhfFile, {0x40, 0x00, 0x48, 0x00}},    // 400-480 MHz
};

std::vector<uint8_t> readFile(const QString& name) {
  QFile f(QStringLiteral(ZR_BIN_DIR) + QLatin1Char('/') + name);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray b = f.readAll();
  return {b.begin(), b.end()};
}

// The image as New (or Restore defaults) would see it.
ByteArray loadImage(const std::vector<uint8_t>& file) {
  ByteArray image(0x1FFF);
  loadRaw(image, file);
  realign(image);
  return image;
}

class FactoryImageTest : public ::testing::TestWithParam<Variant> {
 protected:
  void SetUp() override {
    file = readFile(GetParam().file);
    ASSERT_EQ(file.size(), static_cast<size_t>(kDataFileSize)) << GetParam().file.toStdString();
    image = loadImage(file);
  }
  std::vector<uint8_t> file;
  ByteArray image;
};

TEST_P(FactoryImageTest, HasTheDataFileLayoutSignaturesAndBand) {
  for (int i = 0; i < 6; ++i) EXPECT_EQ(file[static_cast<size_t>(i)], kDataSignature[static_cast<size_t>(i)]);
  for (int off = 0x10; off < 0x20; ++off) EXPECT_EQ(file[static_cast<size_t>(off)], 0xFF) << "file offset " << off;
  // File offset = image address + 16 from 0x0010 on.
  EXPECT_EQ(file[0x01B8 + 16], 'M');
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(image.at(kModelSignatureAddr + i), kModelSignature[static_cast<size_t>(i)]) << "signature byte " << i;
  EXPECT_EQ(image.at(kModelByteAddr), 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(image.at(0x037A + i), GetParam().band[i]) << "band byte " << i;
}

TEST_P(FactoryImageTest, EveryChannelSlotIsEmpty) {
  for (int a = 0x0010; a <= 0x010F; ++a) ASSERT_EQ(image.at(a), 0xFF) << "channel record byte 0x" << std::hex << a;
  EXPECT_EQ(image.word(0x017E), 0xFFFF);
}

TEST_P(FactoryImageTest, VoxComparisonValuesAreTheDefaultsAndMarkedValid) {
  const int expected[10] = {150, 145, 140, 125, 110, 95, 80, 65, 50, 35};
  for (int n = 1; n <= 10; ++n) EXPECT_EQ(image.at(0x0193 + n), expected[n - 1]) << "level " << n;
  EXPECT_EQ(image.at(0x019E), 0x5A);
}

// A sample of the description, one byte per area, to catch the generator or
// the description drifting.
TEST_P(FactoryImageTest, RepresentativeSettingsMatchTheDescription) {
  struct Case {
    int addr;
    int value;
    const char* field;
  };
  const Case cases[] = {
      {0x012F, 2, "cboAnVoice English"},
      {0x0130, 4, "cboTot 60s"},
      {0x0134, 5, "cboSql 5"},
      {0x0136, 0x01, "chkBeep on"},
      {0x0139, 0x00, "cboVoxFunc off"},
      {0x0360, 0x08, "listSk1Short as the write stores it"},
      {0x0365, 30, "cboSk1LongTime 1.50s"},
      {0x0367, 0x8D, "flags of 0x0367"},
      {0x0368, 0x01, "cboPwrOnTone Tone-1, cboSaveChNo 1"},
      {0x0369, 149, "cboSaveMode 1 - 4"},
      {0x036A, 0xDC, "flags of 0x036A"},
      {0x036B, 0x08, "cboTailDel 4--Freqency"},
      {0x036D, 0x5A, "flags of 0x036D"},
      {0x036F, 175, "cboRadioVolume 15"},
      {0x01AB, 0x5A, "chkVolumeIic"},
      {0x03DA, 9, "cboCodeContiTime 100 ms"},
      {0x03E3, 0x10, "cboAlarmCh Selected CH"},
      {0x0388, 0x5A, "identification Z"},
      {0x0389, 0x24, "identification read command"},
      {0x038A, 0x29, "identification write command"},
  };
  for (const Case& c : cases) EXPECT_EQ(image.at(c.addr), c.value) << c.field;

  struct Range {
    int from, to, value;
    const char* what;
  };
  const Range ranges[] = {
      {0x0120, 0x0129, 0xFF, "txtDtmfIdCode empty"},  {0x0140, 0x015F, 0xFF, "PTT ID codes empty"},
      {0x0200, 0x027F, 0xFF, "autodial list empty"},  {0x0280, 0x02FF, 0xFF, "two-tone table empty"},
      {0x0300, 0x033F, 0x00, "info lines all spaces"},
  };
  for (const Range& r : ranges)
    for (int a = r.from; a <= r.to; ++a) ASSERT_EQ(image.at(a), r.value) << r.what << " at 0x" << std::hex << a;
}

// Every byte the refresh validates lies where the refresh leaves it alone.
TEST_P(FactoryImageTest, NoSettingNeedsARepairOnRefresh) {
  struct Limit {
    int addr, min, max;
    const char* field;
  };
  const Limit limits[] = {
      {0x012F, 0, 2, "cboAnVoice"},        {0x0130, 0, 18, "cboTot"},
      {0x0131, 0, 10, "cboPreTot"},        {0x0134, 0, 9, "cboSql"},
      {0x013A, 0, 10, "cboVoxLevel"},      {0x013B, 0, 5, "cboVoxDly"},
      {0x0160, 0, 2, "cboScanPriChSort"},  {0x0161, 0, 16, "cboPriCh"},
      {0x0164, 0, 3, "cboScanTxMode"},     {0x0165, 0, 250, "cboScanRxDly"},
      {0x0167, 0, 250, "cboScanTxDly"},    {0x0361, 0, 18, "listSk1Long"},
      {0x0363, 0, 18, "listSk2Long"},      {0x0369, 142, 170, "cboSaveMode"},
      {0x036E, 134, 166, "cboRadioSql"},   {0x036F, 160, 175, "cboRadioVolume"},
      {0x03DA, 7, 242, "cboCodeContiTime"}, {0x03DB, 7, 242, "cboCodeSpaceTime"},
      {0x03E6, 0, 10, "cboTwoWayVolumeLevel"},
  };
  for (const Limit& l : limits) {
    EXPECT_GE(image.at(l.addr), l.min) << l.field;
    EXPECT_LE(image.at(l.addr), l.max) << l.field;
  }
  for (int a : {0x0360, 0x0362}) {  // short-press lists skip code 9
    EXPECT_LE(image.at(a), 18);
    EXPECT_NE(image.at(a), 9);
  }
  for (int n = 1; n <= 10; ++n) EXPECT_LE(image.at(0x0193 + n), 160) << "cboVoxCmpDat " << n;
  // The VOX check after a load: level 1 within 20-160, level 10 at most 160.
  EXPECT_GE(image.at(0x0194), 20);
  const std::string groupCodes("\x00" "ABCD*#", 7);
  for (int a : {0x0116, 0x03DD})
    EXPECT_NE(groupCodes.find(static_cast<char>(image.at(a))), std::string::npos) << "group code at " << a;
  // The write turns 14/0 on side key 2 into 14/14; the factory pair must not be one of those.
  const int sk2s = image.at(0x0362), sk2l = image.at(0x0363);
  EXPECT_FALSE((sk2s == 14 && sk2l == 0) || (sk2s == 0 && sk2l == 14));
}

INSTANTIATE_TEST_SUITE_P(Files, FactoryImageTest, ::testing::ValuesIn(kVariants),
                         [](const ::testing::TestParamInfo<Variant>& info) {
                           return std::string(info.index == 0 ? "Default" : info.index == 1 ? "Vhf" : "Uhf");
                         });

TEST(FactoryImages, DifferOnlyInTheirBand) {
  const std::vector<uint8_t> base = readFile(kDefaultImageFile);
  ASSERT_EQ(base.size(), static_cast<size_t>(kDataFileSize));
  for (const QString& name : {kDefaultVhfFile, kDefaultUhfFile}) {
    const std::vector<uint8_t> other = readFile(name);
    ASSERT_EQ(other.size(), base.size()) << name.toStdString();
    for (size_t off = 0; off < base.size(); ++off) {
      const bool bandByte = off >= 0x037A + 16 && off <= 0x037D + 16;
      if (!bandByte) {
        EXPECT_EQ(other[off], base[off]) << name.toStdString() << " file offset " << off;
      }
    }
  }
}

}  // namespace
}  // namespace zr
