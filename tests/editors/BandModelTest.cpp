// The model and range lists: positioning from the image with its repair, the
// range choice and its new data set, the custom range rules, the restore flag.
#include <gtest/gtest.h>

#include "editors/BandFixture.h"

namespace zr {
namespace {

using Bytes = std::array<int, 4>;

TEST(BandNumbers, GeneralNumericTest) {
  for (const char* t : {"12", " -3.5 ", ".5", "7.", "+174", "0123.450", "\t520\t"})
    EXPECT_TRUE(isGeneralNumber(QString::fromUtf8(t))) << t;
  for (const char* t : {"", " ", ".", "-", "1e2", "1,5", "&H10", "1.2.3", "12abc", "- 5", "1 2", "\u0663"})
    EXPECT_FALSE(isGeneralNumber(QString::fromUtf8(t))) << t;
}

TEST(BandNumbers, BcdOfLimits) {
  EXPECT_EQ(toBandBcd(4000), std::make_pair(0x40, 0x00));
  EXPECT_EQ(toBandBcd(1340), std::make_pair(0x13, 0x40));
  EXPECT_EQ(toBandBcd(9999), std::make_pair(0x99, 0x99));
  EXPECT_EQ(fromBandBcd(0x55, 0x01), 5501);
  EXPECT_EQ(fromBandBcd(0x1A, 0xF0), 1000 + 1000 + 150);  // nibbles above 9 count as they are
  EXPECT_THROW(toBandBcd(-1), RunError);
  EXPECT_THROW(toBandBcd(16000), RunError);
}

TEST_F(BandFixture, StartsAt400To520MHz) {
  EXPECT_EQ(band->modelTexts(), QStringList{"ZR-417"});
  EXPECT_EQ(band->modelPosition(), 0);
  ASSERT_EQ(band->rangeTexts().size(), 15);
  EXPECT_EQ(band->rangeTexts()[0], "134 - 174 MHz");
  EXPECT_EQ(band->rangeTexts()[14], "Custom");
  EXPECT_EQ(band->rangePosition(), 12);
  EXPECT_EQ(band->BandMin, 40000000);
  EXPECT_EQ(band->BandMax, 52000000);

  // The list filling applies the range: stored and a new data set, whatever the image held.
  setRangeBytes({0, 0, 0, 0});
  dirty();
  band->ChInfoModel();
  EXPECT_EQ(rangeBytes(), (Bytes{0x40, 0x00, 0x52, 0x00}));
  EXPECT_TRUE(newDataSetStarted());
}

TEST_F(BandFixture, PositionsTheRangeListFromTheImage) {
  struct Case {
    Bytes stored;
    int position;
    int min, max;
    Bytes after;
  } cases[] = {
      {{0x13, 0x60, 0x17, 0x40}, 1, 13600000, 17400000, {0x13, 0x60, 0x17, 0x40}},
      {{0x13, 0x60, 0x16, 0x00}, 14, 13600000, 16000000, {0x13, 0x60, 0x16, 0x00}},   // custom, no dialog
      {{0x40, 0x00, 0x52, 0x00}, 12, 40000000, 52000000, {0x40, 0x00, 0x52, 0x00}},
      {{0x12, 0x00, 0x55, 0x00}, 14, 12000000, 55000000, {0x12, 0x00, 0x55, 0x00}},   // 550.0 accepted
      {{0x12, 0x00, 0x55, 0x01}, 8, 40000000, 48000000, {0x40, 0x00, 0x48, 0x00}},    // 550.1 repaired
      {{0x00, 0x00, 0x00, 0x00}, 8, 40000000, 48000000, {0x40, 0x00, 0x48, 0x00}},
      {{0x11, 0x99, 0x17, 0x40}, 8, 40000000, 48000000, {0x40, 0x00, 0x48, 0x00}},    // 119.9 below
      {{0x48, 0x00, 0x40, 0x00}, 8, 40000000, 48000000, {0x40, 0x00, 0x48, 0x00}},    // upper below lower
      {{0xFF, 0xFF, 0xFF, 0xFF}, 8, 40000000, 48000000, {0x40, 0x00, 0x48, 0x00}},    // erased memory
      {{0x1A, 0x00, 0x26, 0x00}, 4, 20000000, 26000000, {0x1A, 0x00, 0x26, 0x00}},    // 0x1A reads 200.0
  };
  int dialogs = 0;
  QObject::connect(band.get(), &BandModel::customRangeWanted, [&] { ++dialogs; });
  for (const auto& c : cases) {
    setRangeBytes(c.stored);
    dirty();
    core->files.SoftDisplay();  // the refresh after a load runs both positionings
    const QString at = QStringLiteral("%1 %2").arg(c.stored[0], 2, 16).arg(c.stored[2], 2, 16);
    EXPECT_EQ(band->rangePosition(), c.position) << at.toStdString();
    EXPECT_EQ(band->BandMin, c.min) << at.toStdString();
    EXPECT_EQ(band->BandMax, c.max) << at.toStdString();
    EXPECT_EQ(rangeBytes(), c.after) << at.toStdString();
    EXPECT_FALSE(newDataSetStarted()) << "a load keeps its data: " << at.toStdString();
    EXPECT_FALSE(band->restoring());
  }
  EXPECT_EQ(dialogs, 0);
  EXPECT_EQ(core->log.reportCount(), 0);
}

TEST_F(BandFixture, ModelListFromTheImage) {
  for (int stored : {0, 1, 7, 255}) {
    img().set(0x0379, stored);
    band->IicDatToModel();
    EXPECT_EQ(band->modelPosition(), 0) << stored;
    EXPECT_EQ(img().at(0x0379), 0) << stored;
  }
  img().set(0x0379, 3);
  band->selectModel(-1);
  EXPECT_EQ(img().at(0x0379), 0);
}

TEST_F(BandFixture, ImageTooShortForTheBandBytes) {
  int dialogs = 0;
  QObject::connect(band.get(), &BandModel::customRangeWanted, [&] { ++dialogs; });
  img().resize(0x037B);  // reaches the lower limit only
  band->IicDatToFreRange();
  EXPECT_EQ(band->BandMin, 12000000);
  EXPECT_EQ(band->BandMax, 52000000);
  EXPECT_EQ(band->rangePosition(), 14);
  EXPECT_FALSE(band->restoring());
  EXPECT_EQ(dialogs, 0);

  // A choice cannot store its range: logged, nothing written out of bounds.
  band->cboFrequency_Click(1);
  EXPECT_EQ(core->log.lastTag(), "frmChMem->cboFrequency_Click");
  EXPECT_EQ(core->log.lastCode(), 9);

  img().resize(0x0300);
  EXPECT_THROW(band->IicDatToModel(), RunError);  // the refresh logs it
}

TEST_F(BandFixture, ChoosingARangeStoresItAndStartsANewDataSet) {
  struct Case {
    int position;
    int min, max;
    Bytes stored;
  } cases[] = {
      {0, 13400000, 17400000, {0x13, 0x40, 0x17, 0x40}},
      {5, 24500000, 24600000, {0x24, 0x50, 0x24, 0x60}},
      {13, 12000000, 52000000, {0x12, 0x00, 0x52, 0x00}},
      {12, 40000000, 52000000, {0x40, 0x00, 0x52, 0x00}},
      {12, 40000000, 52000000, {0x40, 0x00, 0x52, 0x00}},  // the same range again
  };
  const QString path = core->image.CurFilePath;
  for (const auto& c : cases) {
    dirty();
    band->cboFrequency_Click(c.position);
    EXPECT_EQ(band->rangePosition(), c.position);
    EXPECT_EQ(band->BandMin, c.min) << c.position;
    EXPECT_EQ(band->BandMax, c.max) << c.position;
    // The new data set comes from the default image but keeps the new range.
    EXPECT_EQ(rangeBytes(), c.stored) << c.position;
    EXPECT_TRUE(newDataSetStarted()) << c.position;
  }
  EXPECT_EQ(core->image.CurFilePath, path);  // only the custom dialog renames
  EXPECT_EQ(core->log.reportCount(), 0);

  for (int bad : {-1, 15}) {
    dirty();
    band->cboFrequency_Click(bad);
    EXPECT_EQ(core->log.lastTag(), "frmChMem->cboFrequency_Click");
    EXPECT_EQ(core->log.lastCode(), 9);
    EXPECT_EQ(band->rangePosition(), 12);
    EXPECT_FALSE(newDataSetStarted());
  }
}

TEST_F(BandFixture, CustomRangeConfirmed) {
  struct Case {
    const char *lo, *hi;
    int min, max;
    Bytes stored;
    const char *boxLo, *boxHi;
  } cases[] = {
      {"123.45", "130", 12345000, 13000000, {0x12, 0x34, 0x13, 0x00}, "123.45", "130"},  // 1234.5 -> 1234
      {"123.55", "130", 12355000, 13000000, {0x12, 0x36, 0x13, 0x00}, "123.55", "130"},  // 1235.5 -> 1236
      {" 136 ", "+174", 13600000, 17400000, {0x13, 0x60, 0x17, 0x40}, " 136 ", "+174"},
      {"120", "520", 12000000, 52000000, {0x12, 0x00, 0x52, 0x00}, "120", "520"},
      {"520", "120", 12000000, 52000000, {0x12, 0x00, 0x52, 0x00}, "120", "520"},       // upper below lower
      {"119.99", "130", 12000000, 52000000, {0x12, 0x00, 0x52, 0x00}, "120", "520"},
      {"400", "520.001", 12000000, 52000000, {0x12, 0x00, 0x52, 0x00}, "120", "520"},
      {"abc", "130", 12000000, 52000000, {0x12, 0x00, 0x52, 0x00}, "120", "520"},
      {"", "130", 12000000, 52000000, {0x12, 0x00, 0x52, 0x00}, "120", "520"},
      {"1e2", "300", 12000000, 52000000, {0x12, 0x00, 0x52, 0x00}, "120", "520"},
      {"99999999999999999999", "520", 12000000, 52000000, {0x12, 0x00, 0x52, 0x00}, "120", "520"},
  };
  for (const auto& c : cases) {
    band->cboFrequency_Click(3);  // start from 150-174 MHz
    core->image.CurFilePath = dir.filePath("Data/other.dat");
    statusUpdates = 0;
    dirty();
    const ScriptedCustomRange answer(*band, CustomTexts{c.lo, c.hi});
    band->cboFrequency_Click(14);
    EXPECT_EQ(band->rangePosition(), 14);
    EXPECT_EQ(band->BandMin, c.min) << c.lo << " " << c.hi;
    EXPECT_EQ(band->BandMax, c.max) << c.lo << " " << c.hi;
    EXPECT_EQ(rangeBytes(), c.stored) << c.lo << " " << c.hi;
    EXPECT_EQ(band->mstrFreMin, c.boxLo);
    EXPECT_EQ(band->mstrFreMax, c.boxHi);
    EXPECT_EQ(band->customShownTexts(), (CustomTexts{c.boxLo, c.boxHi}));
    EXPECT_EQ(core->image.CurFilePath, core->files.untitledPath());
    EXPECT_GE(statusUpdates, 1);
    EXPECT_TRUE(newDataSetStarted());
  }
  EXPECT_EQ(core->log.reportCount(), 0) << core->log.lines().join("\n").toStdString();

  // The stored range is what a reload sees: 123.4 MHz, not 123.45.
  const ScriptedCustomRange answer(*band, CustomTexts{"123.45", "130"});
  band->cboFrequency_Click(14);
  band->IicDatToFreRange();
  EXPECT_EQ(band->BandMin, 12340000);
  EXPECT_EQ(band->BandMax, 13000000);
  EXPECT_EQ(band->rangePosition(), 14);
}

TEST_F(BandFixture, CustomRangeCancelledKeepsTheLimitsButClearsTheChannels) {
  EXPECT_EQ(band->customShownTexts(), (CustomTexts{"120", "520"}));
  band->cboFrequency_Click(2);  // 136-150 MHz
  // Channel 1 at 146.52000 MHz.
  const int rec = 0x0010;
  const Bytes freq{0x00, 0x20, 0x65, 0x14};
  for (int k = 0; k < 4; ++k) {
    img().set(rec + k, freq[static_cast<size_t>(k)]);
    img().set(rec + 4 + k, freq[static_cast<size_t>(k)]);
  }
  core->codec.IicDatToChInfo();
  ASSERT_EQ(core->ChTable.get(kRowRx, 1), 14652000);
  const QString path = core->image.CurFilePath = dir.filePath("Data/kept.dat");

  // Cancelled, and no window to ask at all.
  for (bool asked : {true, false}) {
    std::optional<ScriptedCustomRange> cancel;
    if (asked) cancel.emplace(*band, std::nullopt);
    dirty();
    band->cboFrequency_Click(14);
    EXPECT_EQ(band->rangePosition(), 14);
    EXPECT_EQ(band->BandMin, 13600000);
    EXPECT_EQ(band->BandMax, 15000000);
    EXPECT_EQ(rangeBytes(), (Bytes{0x13, 0x60, 0x15, 0x00}));
    EXPECT_TRUE(newDataSetStarted());
    for (int a = rec; a < rec + 16; ++a) EXPECT_EQ(img().at(a), core->image.DefTempArray.at(a)) << a;
    EXPECT_NE(core->ChTable.get(kRowRx, 1), 14652000);
    EXPECT_EQ(core->image.CurFilePath, path);
    EXPECT_TRUE(band->mstrFreMin.isEmpty());
  }
}

TEST_F(BandFixture, RestoreFlagBlocksAChoiceWhilePositioning) {
  // A view whose list reports every change of its position as a choice, as a
  // list's change event does when the program positions it.
  int seenRestoring = 0;
  QObject::connect(band.get(), &BandModel::listsChanged, [&] {
    if (!band->restoring()) return;
    ++seenRestoring;
    band->cboFrequency_Click(band->rangePosition());
  });
  setRangeBytes({0x13, 0x60, 0x17, 0x40});
  dirty();
  band->IicDatToFreRange();
  EXPECT_GT(seenRestoring, 0);
  EXPECT_FALSE(band->restoring());
  EXPECT_EQ(band->rangePosition(), 1);
  EXPECT_EQ(band->BandMin, 13600000);
  EXPECT_EQ(band->BandMax, 17400000);
  EXPECT_EQ(rangeBytes(), (Bytes{0x13, 0x60, 0x17, 0x40}));
  EXPECT_FALSE(newDataSetStarted());

  // Outside the positioning the same choice applies.
  band->cboFrequency_Click(1);
  EXPECT_TRUE(newDataSetStarted());
}

}  // namespace
}  // namespace zr
