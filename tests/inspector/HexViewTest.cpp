// The hex view's grid: layout, the text conversions, the refresh and its red
// marks, in-place edits and what they do to the image and the editors.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "InspectorFixture.h"
#include "editors/SettingsMap.h"

namespace zr {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// ---- text conversions --------------------------------------------------------

TEST(HexText, ConversionsOfTheViewAndTheFill) {
  struct Case {
    int byte;
    const char* formatted;
  } bytes[] = {{0x00, "00"}, {0x0A, "0A"}, {0x7F, "7F"}, {0xFF, "FF"}};
  for (const Case& c : bytes) EXPECT_EQ(FormatByteDat(c.byte), c.formatted) << c.byte;

  struct Bin {
    const char* hex;
    const char* bin;
  } bins[] = {{"A5", "10100101"}, {"0", "0000"}, {"a", "1010"}, {"x1-F", "00011111"}, {"", ""}};
  for (const Bin& c : bins) EXPECT_EQ(H_To_B(c.hex), c.bin) << c.hex;

  struct Dec {
    const char* text;
    int value;
  } decs[] = {{"10100101", 165}, {"", 0}, {"1111111111111111", 0xFFFF}, {"102", 6}, {"1x1", 5}};
  for (const Dec& c : decs) EXPECT_EQ(B_To_D(c.text), c.value) << c.text;
  try {
    B_To_D(QStringLiteral("10000000000000000"));  // 0x10000
    ADD_FAILURE() << "17 binary digits must overflow";
  } catch (const RunError& e) {
    EXPECT_EQ(e.code(), kErrOverflow);
  }

  EXPECT_EQ(B_To_BitShow("10100101"), "B7:1 B6:0 B5:1 B4:0   B3:0 B2:1 B1:0 B0:1 ");
  EXPECT_EQ(B_To_BitShow("1010"), "  B3:1 B2:0 B1:1 B0:0 ");

  struct Pattern {
    int value, width;
    const char* text;
  } patterns[] = {{0, 4, "0000"}, {16, 4, "0010"}, {255, 4, "FF"}, {0x1FFF, 4, "1FFF"}, {0x100, 4, "0100"},
                  {5, 2, "05"},   {10, 2, "A"},    {0x10, 2, "10"}, {0xAB, 2, "AB"}};
  for (const Pattern& c : patterns) EXPECT_EQ(hexWithPattern(c.value, c.width), c.text) << c.value;
}

TEST(HexText, SeparateCharTakesFourDigitsFromTheRight) {
  ErrorLog log;
  EXPECT_EQ(SeparateChar("1FF", log), (HexDigits{15, 15, 1, 0}));
  EXPECT_EQ(SeparateChar("g5", log), (HexDigits{5, 0, 0, 0}));  // not a hex digit: 0
  EXPECT_EQ(SeparateChar("", log), (HexDigits{0, 0, 0, 0}));
  EXPECT_EQ(log.reportCount(), 0);
  // A fifth character fails after the first four entries are set.
  EXPECT_EQ(SeparateChar("9ABCD", log), (HexDigits{13, 12, 11, 10}));
  EXPECT_EQ(log.lastTag(), "frmMemDat->SeparateChar");
  EXPECT_EQ(log.lastCode(), kErrSubscript);
}

// ---- layout ------------------------------------------------------------------

TEST_F(InspectorFixture, LayoutHasTitledRowsOfSixteenBytes) {
  EXPECT_EQ(view->columnCount(), 17);
  EXPECT_EQ(view->dataRows(), 512);
  struct Cell {
    int row, col;
    const char* text;
  } cells[] = {{0, 0, "Addr"}, {0, 1, "0"}, {0, 10, "9"}, {0, 11, "A"},     {0, 16, "F"},
               {1, 0, "0000H"}, {2, 0, "0010H"}, {257, 0, "1000H"}, {512, 0, "1FF0H"}, {513, 0, ""}};
  for (const Cell& c : cells) EXPECT_EQ(view->text(c.row, c.col), c.text) << c.row << "," << c.col;
  EXPECT_EQ(HexView::addressOf(2, 1), 0x0010);
  EXPECT_EQ(HexView::addressOf(512, 16), 0x1FFF);
  EXPECT_EQ(view->currentRow(), 1);
  EXPECT_EQ(view->currentCol(), 1);
  // Laid out, not filled: every data cell is empty until the first refresh.
  for (int a = 0; a <= 0x1FFF; ++a) ASSERT_TRUE(cellAt(a).isEmpty()) << a;

  // The rows follow TableMaxAddr as it is when the grid is laid out.
  core->settings.TableMaxAddr = 0x03F5;
  view->SetGridMemDat();
  EXPECT_EQ(view->dataRows(), 64);
  EXPECT_EQ(view->text(64, 0), "03F0H");
  EXPECT_THAT(reports, IsEmpty());
}

// ---- refresh -------------------------------------------------------------------

TEST_F(InspectorFixture, RefreshShowsEveryByteAndMarksOnlyTheChangedOnes) {
  view->TableFreDat();
  for (int a = 0; a <= 0x1FFF; ++a) ASSERT_EQ(cellAt(a), FormatByteDat(img().at(a))) << a;
  EXPECT_THAT(redAddresses(), IsEmpty()) << "a first fill of empty cells colours nothing";

  // A read from the radio changed two bytes.
  img().set(0x0010, img().at(0x0010) ^ 0x5A);
  img().set(0x0385, img().at(0x0385) ^ 0x01);
  view->TableFreDat();
  EXPECT_THAT(redAddresses(), ElementsAre(0x0010, 0x0385));
  EXPECT_EQ(cellAt(0x0385), FormatByteDat(img().at(0x0385)));
  EXPECT_EQ(view->currentRow(), HexView::rowOf(0x0385));  // the last changed cell is current
  EXPECT_EQ(view->currentCol(), HexView::colOf(0x0385));

  view->TableFreDat();  // nothing changed since
  EXPECT_THAT(redAddresses(), IsEmpty());

  img().set(0x0020, img().at(0x0020) ^ 0xFF);
  view->TableFreDat();
  view->cmdSetDefCol_Click();
  EXPECT_THAT(redAddresses(), IsEmpty());
  EXPECT_EQ(cellAt(0x0020), FormatByteDat(img().at(0x0020)));
  EXPECT_THAT(reports, IsEmpty());
}

// A refresh looks only at the blocks of bytes that changed since the last
// one, unless a cell was written in between: the cells a fill or an edit
// wrote, and a byte changed behind the view's back, are all shown afresh.
TEST_F(InspectorFixture, RefreshAfterFillsAndEditsShowsEveryByteAgain) {
  for (int a = 0x1E00; a <= 0x1E04; ++a) img().set(a, 0x0A);
  view->TableFreDat();
  // A fill of the bytes already there changes no byte, but shows "A", not "0A".
  view->fillRange(0x1E00, 0x1E04, 0x0A);
  EXPECT_EQ(cellAt(0x1E02), "A");
  view->TableFreDat();
  EXPECT_EQ(cellAt(0x1E02), "0A");
  EXPECT_THAT(redAddresses(), IsEmpty());

  ASSERT_TRUE(view->editCell(HexView::rowOf(0x1FF0), HexView::colOf(0x1FF0), "7"));
  img().set(0x1FFF, img().at(0x1FFF) ^ 0x80);  // the last byte of the last block
  img().set(0x0041, img().at(0x0041) ^ 0x01);
  view->TableFreDat();
  for (int a = 0; a <= 0x1FFF; ++a) ASSERT_EQ(cellAt(a), FormatByteDat(img().at(a))) << a;
  EXPECT_THAT(redAddresses(), ElementsAre(0x0041, 0x1FFF));

  img().set(0x0041, img().at(0x0041) ^ 0x01);  // and back, with nothing written between
  view->TableFreDat();
  for (int a = 0; a <= 0x1FFF; ++a) ASSERT_EQ(cellAt(a), FormatByteDat(img().at(a))) << a;
  EXPECT_THAT(redAddresses(), ElementsAre(0x0041));
  EXPECT_THAT(reports, IsEmpty());
}

TEST_F(InspectorFixture, FillGridRunsTheChannelEncoderFirst) {
  const std::vector<uint8_t> before = bytes();
  core->ChTable.set(kRowRx, 1, 14652000);  // 146.52000 MHz, not yet encoded
  core->ChTable.set(kRowTx, 1, 14652000);

  view->TableFreDat();  // the plain refresh shows the image as it is
  EXPECT_EQ(bytes(), before);

  view->cmdFillGrid_Click();
  // Record of channel 1 at 0x0010: BCD digits low byte first.
  EXPECT_EQ(img().at(0x0010), 0x00);
  EXPECT_EQ(img().at(0x0011), 0x20);
  EXPECT_EQ(img().at(0x0012), 0x65);
  EXPECT_EQ(img().at(0x0013), 0x14);
  EXPECT_EQ(cellAt(0x0012), "65");
  EXPECT_EQ(cellAt(0x0013), "14");
}

// ---- edits -----------------------------------------------------------------------

struct EditCase {
  const char* name;
  const char* text;
  bool stored;
  int byte;                  // the byte at 0x0010 afterwards (when stored)
  std::vector<std::string> reports;
};

const EditCase kEditCases[] = {
    {"two digits", "7F", true, 0x7F, {}},
    {"lower case", "7f", true, 0x7F, {}},
    {"one digit", "5", true, 0x05, {}},
    {"leading zeros", "00FF", true, 0xFF, {}},
    {"empty is zero", "", true, 0x00, {}},
    {"foreign character counts zero", "G5", true, 0x05, {}},
    {"more than a byte", "1FF", false, 0, {"frmMemDat->GridDataTemp#6"}},
    {"fifth digit of a byte", "000FE", true, 0xFE, {"frmMemDat->SeparateChar#9"}},
    {"fifth digit beyond a byte", "12345", false, 0, {"frmMemDat->SeparateChar#9", "frmMemDat->GridDataTemp#6"}},
};

class Edit : public InspectorFixture, public ::testing::WithParamInterface<EditCase> {};

TEST_P(Edit, StoresTheCellsByteAndNothingElse) {
  const EditCase& c = GetParam();
  view->TableFreDat();
  const QString shownBefore = cellAt(0x0010);
  std::vector<uint8_t> expected = bytes();
  if (c.stored) expected[0x0010] = static_cast<uint8_t>(c.byte);

  EXPECT_EQ(view->editCell(2, 1, QString::fromUtf8(c.text)), c.stored);
  EXPECT_EQ(bytes(), expected);
  EXPECT_EQ(cellAt(0x0010), c.stored ? FormatByteDat(c.byte) : shownBefore);
  EXPECT_EQ(reports, c.reports);
}

INSTANTIATE_TEST_SUITE_P(Cases, Edit, ::testing::ValuesIn(kEditCases),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& ch : n)
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

TEST_F(InspectorFixture, EditOfAnEmptyGridTouchesOnlyItsByte) {
  // Nothing refreshed yet: the other cells are empty and must not become zeros.
  const std::vector<uint8_t> before = bytes();
  ASSERT_TRUE(view->editCell(HexView::rowOf(0x0130), HexView::colOf(0x0130), "05"));
  std::vector<uint8_t> expected = before;
  expected[0x0130] = 0x05;
  EXPECT_EQ(bytes(), expected);
}

TEST_F(InspectorFixture, EditsReachTheEditorsAndSurviveTheEncoder) {
  // Time-out timer at 0x0130: the settings page shows the new position.
  ASSERT_TRUE(view->editCell(HexView::rowOf(0x0130), HexView::colOf(0x0130), "05"));
  ASSERT_NE(editors->settings.state("cboTot"), nullptr);
  EXPECT_EQ(editors->settings.state("cboTot")->position, 5);

  // Receive frequency of channel 1, 146.52000 MHz typed byte by byte.
  const char* rx[] = {"00", "20", "65", "14"};
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(view->editCell(2, 1 + k, rx[k]));
  EXPECT_EQ(core->ChTable.get(kRowRx, 1), 14652000);
  // The next encoder run (save, write, Fill Gird) writes the same bytes back.
  view->cmdFillGrid_Click();
  EXPECT_EQ(img().at(0x0012), 0x65);
  EXPECT_EQ(img().at(0x0013), 0x14);
  EXPECT_THAT(reports, IsEmpty());
}

// ---- tool tip -------------------------------------------------------------------

TEST_F(InspectorFixture, ToolTipShowsAddressBinaryBitsAndDecimal) {
  ASSERT_TRUE(view->editCell(2, 1, "A5"));
  EXPECT_EQ(view->CellTipHint(2, 1), QStringLiteral("地址为: 0x0010    二进制:10100101    "
                                                    "B7:1 B6:0 B5:1 B4:0   B3:0 B2:1 B1:0 B0:1     十进制165    \r\n"));
  EXPECT_EQ(view->CellTipHint(3, 1), "") << "empty cell";
  EXPECT_EQ(view->CellTipHint(0, 1), "") << "header";
  EXPECT_EQ(view->CellTipHint(2, 0), "") << "row title";
}

}  // namespace
}  // namespace zr
