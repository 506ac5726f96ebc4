// Undo and redo over the channel grid's edits: one step restores the image
// and the channel table together, and the grid shows them again.
#include <gtest/gtest.h>

#include <functional>

#include "editors/ChannelClipboard.h"
#include "GridFixture.h"

namespace zr {
namespace {

class UndoHistoryTest : public testing::GridFixture {
 protected:
  struct Snapshot {
    ByteArray image;
    ChannelTable table;
    QStringList cells;
  };
  Snapshot snap() const {
    QStringList cells;
    for (int r = 1; r < grid.rowCount(); ++r)
      for (int c = 1; c < grid.columnCount(); ++c) cells << grid.text(r, c);
    return {core.image.TempArray, core.ChTable, cells};
  }
  void expectSame(const Snapshot& a, const Snapshot& b, const char* what) {
    EXPECT_TRUE(a.image == b.image) << what << ": image differs";
    EXPECT_TRUE(a.table == b.table) << what << ": channel table differs";
    EXPECT_EQ(a.cells, b.cells) << what;
  }
  void typeChannel(int row, const QString& rx) { type(row, 1, rx); }
};

TEST_F(UndoHistoryTest, EachKindOfGridChangeIsUndoneAndRedoneWhole) {
  struct Case {
    const char* name;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"new channel", [this] { typeChannel(3, "146.52"); }},
      {"transmit emptied", [this] { type(1, 2, ""); }},
      {"option cycled", [this] { grid.doubleClick(1, 8); }},
      {"tone committed",
       [this] {
         grid.click(1, 3);
         grid.setPickerText("D023");
         grid.pickerFocusOut();
       }},
      {"channel deleted", [this] { grid.deleteChannel(2); }},
      {"all deleted", [this] { grid.deleteAll(); }},
      {"rows pasted", [this] { pasteChannelRows(grid, core, 5, "150.1\t\t\t\tHigh\n151.2\n"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    core.codec.InitChTable();
    grid.ShowChTblGrid();
    typeChannel(1, "146.52");
    typeChannel(2, "147.0");
    core.history.clear();
    const Snapshot before = snap();
    c.change();
    const Snapshot after = snap();
    ASSERT_FALSE(before.table == after.table) << "the change changed nothing";
    EXPECT_EQ(core.history.undoSteps(), 1);
    ASSERT_TRUE(core.history.undo());
    grid.redisplay();  // the desktop program does this on the history's signal
    expectSame(snap(), before, "after undo");
    ASSERT_TRUE(core.history.redo());
    grid.redisplay();
    expectSame(snap(), after, "after redo");
    EXPECT_FALSE(core.history.redo());
  }
}

TEST_F(UndoHistoryTest, StepsAreRealChangesOnly) {
  core.history.clear();
  typeChannel(1, "146.52");
  const Snapshot one = snap();
  // A cell edit that ends with the text it had, and a tone commit of the same
  // tone, change nothing: they leave no step behind.
  type(1, 1, "146.52000");
  grid.click(1, 3);
  grid.setPickerText("None");
  grid.pickerFocusOut();
  typeChannel(2, "147.0");
  ASSERT_TRUE(core.history.undo());
  grid.redisplay();
  expectSame(snap(), one, "one undo");
  ASSERT_TRUE(core.history.undo());
  EXPECT_EQ(core.ChTable.get(kRowRx, 1), -1);
  EXPECT_FALSE(core.history.undo());

  // A new change after an undo drops what could be redone; a no-op does not.
  ASSERT_TRUE(core.history.redo());
  grid.redisplay();
  type(1, 1, "146.52000");
  EXPECT_TRUE(core.history.canRedo());
  typeChannel(3, "145.0");
  EXPECT_FALSE(core.history.redo());
}

TEST_F(UndoHistoryTest, GroupsMergeKeysAndTheBound) {
  core.history.clear();
  {
    UndoHistory::Group step(core.history);
    for (int r = 1; r <= 5; ++r) typeChannel(r, "146.52");
  }
  EXPECT_EQ(core.history.undoSteps(), 1);
  // Typing into one field is one step; another field starts the next.
  const int was = core.image.TempArray.at(0x0140);
  core.history.aboutToChange("txtPttBot");
  core.image.TempArray.set(0x0140, 0x31);
  core.history.aboutToChange("txtPttBot");
  core.image.TempArray.set(0x0141, 0x32);
  core.history.aboutToChange("txtPttEot");
  core.image.TempArray.set(0x0150, 0x33);
  ASSERT_TRUE(core.history.undo());
  ASSERT_TRUE(core.history.undo());
  EXPECT_EQ(core.image.TempArray.at(0x0140), was);
  EXPECT_EQ(core.image.TempArray.at(0x0141), was);
  EXPECT_EQ(core.history.undoSteps(), 1);

  core.history.clear();
  for (int k = 0; k < UndoHistory::kMaxSteps + 30; ++k) {
    core.history.aboutToChange();
    core.image.TempArray.set(0x1000, k & 0xFF);
    core.image.TempArray.set(0x1001, k >> 8);
  }
  int undone = 0;
  while (core.history.undo()) ++undone;
  EXPECT_EQ(undone, UndoHistory::kMaxSteps);
  // The oldest steps went: the earliest state left is after change 29.
  EXPECT_EQ(core.image.TempArray.at(0x1000) | (core.image.TempArray.at(0x1001) << 8), 29);
}

}  // namespace
}  // namespace zr
