// The range fill and the bounds of the hex view: a fill, an edit or a refresh
// never reaches past the image, and reports what it could not do.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/StartupSteps.h"
#include "InspectorFixture.h"
#include "shell/Startup.h"

namespace zr {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct FillCase {
  const char* name;
  int base;
  const char* value;
  const char* start;
  const char* end;
  int filled;  // the value written, -1 when nothing is filled
  int first, last;
  const char* shown;  // cell text of a filled byte
  std::vector<std::string> reports;
};

const FillCase kFillCases[] = {
    {"hex AB over one row", RangeFill::kHex, "AB", "0010", "001F", 0xAB, 0x10, 0x1F, "AB", {}},
    {"decimal above 255 fills 255", RangeFill::kDec, "300", "0020", "0027", 0xFF, 0x20, 0x27, "FF", {}},
    {"binary 101 is 5", RangeFill::kBin, "101", "0030", "0030", 5, 0x30, 0x30, "05", {}},
    {"a value with a letter shows unpadded", RangeFill::kHex, "A", "0040", "0041", 0x0A, 0x40, 0x41, "A", {}},
    {"hex of 16 bits fills 255", RangeFill::kHex, "FFFF", "0050", "0050", 0xFF, 0x50, 0x50, "FF", {}},
    {"hex text read leniently", RangeFill::kHex, "x7-f", "0060", "0060", 0x7F, 0x60, 0x60, "7F", {}},
    {"binary digits add their value", RangeFill::kBin, "2", "0070", "0070", 2, 0x70, 0x70, "02", {}},
    {"row title as address", RangeFill::kHex, "11", "0080H", "0081H", 0x11, 0x80, 0x81, "11", {}},
    {"decimal zero", RangeFill::kDec, " 0 ", "0090", "0090", 0, 0x90, 0x90, "00", {}},
    {"decimal with leading zeros", RangeFill::kDec, "0012", "00A0", "00A0", 12, 0xA0, 0xA0, "C", {}},
    {"negative decimal fills nothing", RangeFill::kDec, "-1", "0010", "001F", -1, 0, 0, "", {}},
    {"decimal with a letter fills nothing", RangeFill::kDec, "12a", "0010", "001F", -1, 0, 0, "", {}},
    {"empty decimal fills nothing", RangeFill::kDec, "", "0010", "001F", -1, 0, 0, "", {}},
    {"no entry chosen fills nothing", RangeFill::kNone, "AB", "0010", "001F", -1, 0, 0, "", {}},
    {"start above end fills nothing", RangeFill::kHex, "AB", "0020", "001F", -1, 0, 0, "", {}},
    {"value beyond 16 bits", RangeFill::kHex, "10000", "0010", "001F", -1, 0, 0, "",
     {"frmPartFill->cmdFillData_Click#6"}},
    {"address beyond 16 bits", RangeFill::kHex, "AB", "10000", "10001", -1, 0, 0, "",
     {"frmPartFill->cmdFillData_Click#6"}},
};

class Fill : public InspectorFixture, public ::testing::WithParamInterface<FillCase> {};

TEST_P(Fill, WritesTheRangeAndItsCellsOnly) {
  const FillCase& c = GetParam();
  // One red cell beforehand: a fill changes no colour.
  view->TableFreDat();
  img().set(0x0010, img().at(0x0010) ^ 0x0F);
  view->TableFreDat();
  const std::vector<uint8_t> before = bytes();
  std::vector<QString> cellsBefore;
  for (int a = 0; a <= 0x1FFF; ++a) cellsBefore.push_back(cellAt(a));

  fill->cboFillData = c.base;
  fill->txtFillData = c.value;
  fill->txtStartAddr = c.start;
  fill->txtEndAddr = c.end;
  fill->cmdFillData_Click();

  std::vector<uint8_t> expected = before;
  if (c.filled >= 0)
    for (int a = c.first; a <= c.last; ++a) expected[static_cast<size_t>(a)] = static_cast<uint8_t>(c.filled);
  EXPECT_EQ(bytes(), expected);
  for (int a = 0; a <= 0x1FFF; ++a) {
    const bool inRange = c.filled >= 0 && a >= c.first && a <= c.last;
    ASSERT_EQ(cellAt(a), inRange ? QString::fromUtf8(c.shown) : cellsBefore[static_cast<size_t>(a)]) << a;
  }
  EXPECT_THAT(redAddresses(), ElementsAre(0x0010));
  EXPECT_EQ(reports, c.reports);
}

INSTANTIATE_TEST_SUITE_P(Cases, Fill, ::testing::ValuesIn(kFillCases), [](const auto& info) {
  std::string n = info.param.name;
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});

TEST_F(InspectorFixture, FillReachesTheEditors) {
  fill->txtStartAddr = "0130";
  fill->txtEndAddr = "0130";
  fill->txtFillData = "3";
  fill->cmdFillData_Click();
  EXPECT_EQ(editors->settings.state("cboTot")->position, 3);
}

// ---- the dialog's texts ----------------------------------------------------------

TEST_F(InspectorFixture, DialogLoadShowsTheRangeThroughThePattern) {
  struct Case {
    int start, end;
    const char* startText;
    const char* endText;
  } cases[] = {{0, 0x1FFF, "0000", "1FFF"}, {16, 255, "0010", "FF"}, {0x0A, 0x100, "A", "0100"}};
  for (const Case& c : cases) {
    fill->FillStart = c.start;
    fill->FillEnd = c.end;
    fill->cboFillData = RangeFill::kBin;
    fill->Form_Load();
    EXPECT_EQ(fill->txtStartAddr, c.startText);
    EXPECT_EQ(fill->txtEndAddr, c.endText);
    EXPECT_EQ(fill->cboFillData, RangeFill::kHex);
  }
}

TEST_F(InspectorFixture, AddressBoxesKeepTheLastHexAddress) {
  struct Case {
    const char* text;
    int start;
  } cases[] = {{"0100", 0x100}, {"XYZ", 0x100}, {"12345", 0x100}, {"", 0x100}, {"-1", 0x100}, {"ffff", 0xFFFF}};
  for (const Case& c : cases) {
    fill->txtStartAddr_Change(c.text);
    EXPECT_EQ(fill->FillStart, c.start) << c.text;
    EXPECT_EQ(fill->txtStartAddr, c.text);
  }
  fill->txtEndAddr_Change("03ff");
  EXPECT_EQ(fill->FillEnd, 0x3FF);
  fill->txtEndAddr_Change("G");
  EXPECT_EQ(fill->FillEnd, 0x3FF);
}

// ---- bounds ------------------------------------------------------------------------

class Bounds : public InspectorFixture {
 protected:
  bool withEditors() const override { return false; }
};

TEST_F(Bounds, AnImageShorterThanTheGridIsNeverOverrun) {
  img().resize(0x00FF);  // 256 bytes under a grid of 8 KiB
  view->TableFreDat();
  EXPECT_EQ(cellAt(0x00FF), FormatByteDat(img().at(0x00FF)));
  EXPECT_EQ(cellAt(0x0100), "");
  EXPECT_THAT(reports, ElementsAre("modMemDat->TableFreDat#9"));

  reports.clear();
  EXPECT_FALSE(view->editable(HexView::rowOf(0x0100), 1));
  EXPECT_TRUE(view->editable(HexView::rowOf(0x00FF), 16));
  EXPECT_FALSE(view->editCell(HexView::rowOf(0x0100), 1, "12"));
  EXPECT_EQ(cellAt(0x0100), "");
  EXPECT_THAT(reports, ElementsAre("frmMemDat->GridDataTemp#9"));

  // A fill across the image's end fills up to it and reports the rest.
  reports.clear();
  fill->txtFillData = "5A";
  fill->txtStartAddr = "00F0";
  fill->txtEndAddr = "010F";
  fill->cmdFillData_Click();
  for (int a = 0xF0; a <= 0xFF; ++a) EXPECT_EQ(img().at(a), 0x5A) << a;
  EXPECT_EQ(cellAt(0x00FF), "5A");
  EXPECT_EQ(cellAt(0x0100), "");
  EXPECT_EQ(img().size(), 0x100);
  EXPECT_THAT(reports, ElementsAre("frmPartFill->cmdFillData_Click#9"));

  reports.clear();
  const std::vector<uint8_t> before = bytes();
  fill->txtStartAddr = "0200";
  fill->txtEndAddr = "0210";
  fill->cmdFillData_Click();
  EXPECT_EQ(bytes(), before);
  EXPECT_THAT(reports, ElementsAre("frmPartFill->cmdFillData_Click#9"));
}

TEST_F(Bounds, TableMaxAddrChangedAfterLayoutMovesOnlyTheReach) {
  // Raised past the grid's rows: every cell is refreshed, the rest reported.
  core->settings.TableMaxAddr = 0x2FFF;
  view->TableFreDat();
  EXPECT_EQ(cellAt(0x1FFF), FormatByteDat(img().at(0x1FFF)));
  EXPECT_THAT(reports, ElementsAre("modMemDat->TableFreDat#9"));

  // Lowered: the refresh and the edits stop at it, silently.
  reports.clear();
  core->settings.TableMaxAddr = 0x00FF;
  const QString shown = cellAt(0x0200);
  img().set(0x0200, img().at(0x0200) ^ 0xFF);
  view->TableFreDat();
  EXPECT_EQ(cellAt(0x0200), shown);
  EXPECT_THAT(redAddresses(), IsEmpty());
  const std::vector<uint8_t> before = bytes();
  EXPECT_FALSE(view->editable(HexView::rowOf(0x0200), 1));
  EXPECT_FALSE(view->editCell(HexView::rowOf(0x0200), 1, "12"));
  EXPECT_EQ(bytes(), before);
  EXPECT_TRUE(view->editCell(HexView::rowOf(0x00F0), 1, "12"));
  EXPECT_EQ(img().at(0x00F0), 0x12);
  EXPECT_THAT(reports, IsEmpty());

  // A fill is bounded by the image, not by the grid.
  fill->txtFillData = "C3";
  fill->txtStartAddr = "1FF0";
  fill->txtEndAddr = "1FFF";
  view->SetGridMemDat();  // now 16 rows: 0x0000-0x00FF
  fill->cmdFillData_Click();
  for (int a = 0x1FF0; a <= 0x1FFF; ++a) EXPECT_EQ(img().at(a), 0xC3) << a;
  EXPECT_THAT(reports, IsEmpty());
}

// ---- start-up ----------------------------------------------------------------------

TEST(InspectorStartup, LaysTheGridOutAndSetsTheFillRangeFromTableMaxAddr) {
  QTemporaryDir dir;
  ASSERT_TRUE(QFile::copy(QStringLiteral(ZR_BIN_DIR "/dhcpqec.def"), dir.filePath("dhcpqec.def")));
  QFile config(dir.filePath("kelvane.def"));
  ASSERT_TRUE(config.open(QIODevice::WriteOnly));
  config.write("[Setting]\r\nFirRun=0\r\nDatNum=8191\r\nTableMaxAddr=03FF\r\n");
  config.close();
  ScriptedPrompts prompts;
  Core core(dir.path(), dir.filePath("kelvane.def"), prompts, "test");
  Editors editors(core);
  HexView view(core, &editors);
  RangeFill fill(view, core.log);
  ScriptedFrontEnd answers;
  Startup startup(core, answers);
  startup.runFirstRunStep = false;
  addEditorSteps(startup, editors);
  addInspectorSteps(startup, core.settings, view, fill);
  // A window's slots are connected after the parts below: within a step they
  // run after them, and see what those set up.
  int gridRowsSeenByWindow = -1;
  int fillEndSeenByWindow = -1;
  QObject::connect(&startup, &Startup::initChannelWindow, [&] { gridRowsSeenByWindow = editors.grid.rowCount(); });
  QObject::connect(&startup, &Startup::addressesRead, [&] { fillEndSeenByWindow = fill.FillEnd; });
  startup.run();

  EXPECT_GT(gridRowsSeenByWindow, 1) << "the grid is built before the window's slot of the step runs";
  EXPECT_EQ(fillEndSeenByWindow, 0x03FF);
  EXPECT_EQ(view.dataRows(), 64);
  EXPECT_EQ(view.text(64, 0), "03F0H");
  EXPECT_EQ(fill.FillStart, 0);
  EXPECT_EQ(fill.FillEnd, 0x03FF);
}

}  // namespace
}  // namespace zr
