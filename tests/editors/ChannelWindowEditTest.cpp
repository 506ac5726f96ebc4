// The desktop program offscreen as a user works in it: tones typed into the
// picker, a double click on a tone cell, the cursor after an entry, undo and
// redo of every kind of change, and several channels copied and pasted.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QTimer>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

#include "editors/ui/AutoInputWindow.h"
#include "editors/ui/SettingsPages.h"
#include "editors/ui/TwoToneGrids.h"
#include "editors/AutoInput.h"
#include "editors/TwoToneTable.h"
#include "shell/ui/DesktopApp.h"
#include "support/ChannelWindowFixture.h"

namespace zr {
namespace {

class ChannelWindowEditTest : public testing::ChannelWindowFixture {
 protected:
  void SetUp() override {
    ChannelWindowFixture::SetUp();
    if (HasFatalFailure()) return;
    // The VHF default settings: 136-174 MHz, no channels.
    ASSERT_TRUE(app->core().files.OpenFile(dir.filePath("DefRadioSet_VHF.def")));
  }

  QComboBox* picker() { return app->channelWindow().picker(); }
  QLineEdit* cellEditor() {
    for (auto* e : table()->viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
      if (e->isVisible()) return e;
    return nullptr;
  }
  // Types into the receive cell of an empty channel and ends with Enter.
  void enterChannel(int row, const char* rx) {
    clickCell(row, 1);
    QLineEdit* editor = cellEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, rx);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
  }
  // Opens the picker on a tone cell and types into it, ending with `key`.
  void typeTone(int row, int col, const QString& text, Qt::Key key) {
    clickCell(row, col);
    ASSERT_TRUE(picker()->isVisible());
    QTest::keyClicks(picker()->lineEdit(), text);
    QTest::keyClick(picker()->lineEdit(), key);
    QCoreApplication::processEvents();
  }
  QString cell(int row, int col) { return table()->item(row - 1, col - 1)->text(); }
  void trigger(const char* action) {
    QAction* a = app->window().action(QString::fromLatin1(action));
    ASSERT_NE(a, nullptr) << action;
    a->trigger();
    QCoreApplication::processEvents();
  }
};

TEST_F(ChannelWindowEditTest, PickerCommitsTheTypedTextFromTheKeyboard) {
  enterChannel(1, "146.52");
  struct Case {
    const char* typed;
    Qt::Key key;
    const char* decode;  // afterwards, in the decode cell
  };
  const Case cases[] = {
      {"67.0", Qt::Key_Return, "67.0"},
      {"d754", Qt::Key_Return, "None"},  // lower-case prefix: no tone, not a completion
      {"754i", Qt::Key_Tab, "D754I"},
      {"2", Qt::Key_Enter, "None"},      // not completed to a list entry starting with 2
      {"100.0", Qt::Key_Escape, "None"}, // Escape abandons: the tone stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    typeTone(1, 3, QString::fromLatin1(c.typed), c.key);
    EXPECT_FALSE(picker()->isVisible());
    EXPECT_EQ(cell(1, 3), c.decode);
    EXPECT_EQ(app->core().ChTable.decodeTone(1), c.decode);
    EXPECT_EQ(cell(1, 4), c.decode);  // a decode entry sets the encode tone too
  }
  // Tab went on to the next cell.
  typeTone(1, 3, "71.9", Qt::Key_Tab);
  QCoreApplication::processEvents();
  EXPECT_EQ(table()->currentColumn(), 3);
}

TEST_F(ChannelWindowEditTest, DoubleClickOnAToneCellCopiesTheOtherTone) {
  enterChannel(1, "146.52");
  typeTone(1, 4, "D023", Qt::Key_Return);
  ASSERT_EQ(cell(1, 3), "None");
  ASSERT_EQ(cell(1, 4), "D023N");
  // The first click opens the picker over the cell; the second lands on it.
  clickCell(1, 3);
  ASSERT_TRUE(picker()->isVisible());
  QTest::mouseDClick(picker()->lineEdit(), Qt::LeftButton);
  QCoreApplication::processEvents();
  EXPECT_EQ(cell(1, 3), "D023N");
  EXPECT_EQ(app->core().ChTable.decodeTone(1), "D023N");
  EXPECT_FALSE(picker()->isVisible());
  // A later click elsewhere commits nothing stale over it.
  clickCell(1, 5);
  EXPECT_EQ(cell(1, 3), "D023N");
}

TEST_F(ChannelWindowEditTest, CursorFollowsTheGridAndTheCornerShowsColumnZero) {
  enterChannel(2, "146.52");
  QCoreApplication::processEvents();
  EXPECT_EQ(table()->currentRow(), 1);
  EXPECT_EQ(table()->currentColumn(), 1);  // the transmit cell after a receive entry
  const auto selected = table()->selectionModel()->selectedIndexes();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(selected[0], table()->model()->index(1, 1));
  ASSERT_NE(app->channelWindow().corner(), nullptr);
  EXPECT_EQ(app->channelWindow().corner()->text(), grid().text(0, 0));
  EXPECT_FALSE(grid().text(0, 0).isEmpty());
}

TEST_F(ChannelWindowEditTest, UndoAndRedoRestoreImageGridAndSettings) {
  Core& core = app->core();
  auto* pages = app->channelWindow().findChild<SettingsPages*>();
  ASSERT_NE(pages, nullptr);
  auto* twoTone = app->channelWindow().findChild<TwoToneGrids*>();
  ASSERT_NE(twoTone, nullptr);
  struct Case {
    const char* name;
    std::function<void()> change;
  };
  const Case cases[] = {
      {"grid entry", [&] { enterChannel(3, "147.0"); }},
      {"tone pick", [&] { typeTone(1, 3, "88.5", Qt::Key_Return); }},
      {"option cycling", [&] { grid().doubleClick(1, 5); }},
      {"delete channel", [&] { grid().deleteChannel(1); }},
      {"settings list", [&] { app->editors().settings.setPosition("cboTot", 7); }},
      {"code text typed",
       [&] {
         auto* edit = pages->findChild<QLineEdit*>("txtPttBot");
         edit->clear();
         QTest::keyClicks(edit, "123");
       }},
      {"two-tone cell", [&] { twoTone->grid(0)->item(0, 1)->setText("1000.0"); }},
      {"hex edit", [&] { app->hexView().editCell(2, 1, "7F"); }},
      {"hex fill", [&] { app->hexView().fillRange(0x0500, 0x050F, 0xAB); }},
      // Redone, the broken range bytes come back as they were: nothing is repaired.
      {"hex edit of the band limits", [&] { app->hexView().editCell(0x037A / 16 + 1, 0x037A % 16 + 1, "FF"); }},
      {"band change", [&] { app->editors().band.cboFrequency_Click(12); }},
      {"restore defaults", [&] { core.files.RestoreDefaults(12); }},
      {"PTT ID pause dialog",
       [&] {
         // The dialog is modal: its box is ticked and the dialog closed from the event loop.
         QTimer::singleShot(0, [] {
           for (QWidget* top : QApplication::topLevelWidgets())
             if (top->objectName() == "frmPttIdPauseChSet" && top->isVisible()) {
               auto* box = top->findChild<QCheckBox*>("chkPttIdPauseChSet(0)");
               box->setChecked(!box->isChecked());
               top->close();
             }
         });
         pages->findChild<QPushButton*>("cmdPttIdPauseChSet")->click();
       }},
      {"automatic input set",
       [&] {
         AutoInputWindow& w = app->autoInputWindow();
         w.model().setBoxText(0, "146.00625");
         w.model().click(AutoInput::kSetRx);
       }},
  };
  // Each case opens the file again over the last one's changes: dropped.
  prompts.defaultSaveChoice = UserPrompts::SaveChoice::Discard;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(core.files.OpenFile(dir.filePath("DefRadioSet_VHF.def")));
    enterChannel(1, "146.52");
    core.history.clear();
    const ByteArray image = core.image.TempArray;
    const ChannelTable chTable = core.ChTable;
    const QString rx1 = cell(1, 1), tot = pages->findChild<QComboBox*>("cboTot")->currentText();
    const int band = app->editors().band.rangePosition();
    c.change();
    QCoreApplication::processEvents();
    const ByteArray changedImage = core.image.TempArray;
    const ChannelTable changedTable = core.ChTable;
    ASSERT_FALSE(changedImage == image && changedTable == chTable) << "nothing changed";
    ASSERT_TRUE(app->window().action("mnuEditUndo")->isEnabled());

    trigger("mnuEditUndo");
    EXPECT_TRUE(core.image.TempArray == image);
    EXPECT_TRUE(core.ChTable == chTable);
    EXPECT_EQ(cell(1, 1), rx1);
    EXPECT_EQ(pages->findChild<QComboBox*>("cboTot")->currentText(), tot);
    EXPECT_EQ(app->editors().band.rangePosition(), band);
    TwoToneTable shown(core.image.TempArray, core.log);
    shown.redraw();
    EXPECT_EQ(twoTone->grid(0)->item(0, 1)->text(), shown.cell(0, 1));
    EXPECT_FALSE(app->window().action("mnuEditUndo")->isEnabled());

    trigger("mnuEditRedo");
    EXPECT_TRUE(core.image.TempArray == changedImage);
    EXPECT_TRUE(core.ChTable == changedTable);
  }
}

TEST_F(ChannelWindowEditTest, KeysOfUndoAndRedo) {
  QAction* undo = app->window().action("mnuEditUndo");
  QAction* redo = app->window().action("mnuEditRedo");
  EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
  EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))));
  EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Y"))));
  EXPECT_NE(app->window().action("tlbUndo"), nullptr);
  enterChannel(1, "146.52");
  QTest::keyClick(table(), Qt::Key_Z, Qt::ControlModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(cell(1, 1), "");
  QTest::keyClick(table(), Qt::Key_Y, Qt::ControlModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(cell(1, 1), "146.52000");
  // New starts a fresh history (the changes are dropped when asked).
  prompts.saveChoices.push_back(UserPrompts::SaveChoice::Discard);
  trigger("mnuFileNew");
  EXPECT_FALSE(undo->isEnabled());
}

TEST_F(ChannelWindowEditTest, SeveralChannelsAreCopiedPastedAndDeleted) {
  enterChannel(1, "146.52");
  enterChannel(2, "147.0");
  enterChannel(3, "148.5");
  clickCell(1, 5);
  table()->setFocus();
  clickCell(2, 5, Qt::ShiftModifier);  // extends the selection, opens no editor
  EXPECT_EQ(app->channelWindow().selectedChannels(), (std::vector<int>{1, 2}));
  QTest::keyClick(table(), Qt::Key_C, Qt::ControlModifier);
  const QString copied = QGuiApplication::clipboard()->text();
  EXPECT_TRUE(copied.startsWith(grid().text(0, 0) + '\t')) << copied.toStdString();
  EXPECT_EQ(copied.count('\n'), 3);

  clickCell(6, 1);
  QTest::keyClick(cellEditor(), Qt::Key_Escape);
  table()->setFocus();
  QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(cell(6, 1), "146.52000");
  EXPECT_EQ(cell(7, 1), "147.00000");
  EXPECT_EQ(cell(8, 1), "");
  EXPECT_TRUE(prompts.messages.isEmpty());

  // One undo takes the whole paste back.
  trigger("mnuEditUndo");
  EXPECT_EQ(cell(6, 1), "");
  EXPECT_EQ(cell(7, 1), "");
  EXPECT_EQ(cell(1, 1), "146.52000");

  // Refused cells and cells changed to fit are reported in one message,
  // the changed ones with what was pasted and what was kept.
  QGuiApplication::clipboard()->setText("abc\nxyz\n999\n");
  clickCell(10, 1);
  QTest::keyClick(cellEditor(), Qt::Key_Escape);
  table()->setFocus();
  QTest::keyClick(table(), Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(prompts.messages.size(), 1);
  const QString report = prompts.messages[0];
  EXPECT_TRUE(report.startsWith("Some cells were not pasted:\nchannel 10, Rx Freq[MHz]: \"abc\" is not a frequency\n"
                                "channel 11, Rx Freq[MHz]: \"xyz\" is not a frequency\n\nSome cells were changed to fit:\n"
                                "channel 12, Rx Freq[MHz]: \"999\": 999.00000 MHz is outside the band, kept as "))
      << report.toStdString();
  EXPECT_EQ(cell(12, 1), report.section(" kept as ", 1).section(" MHz", 0, 0));

  // Delete removes the selected channels; cut copies them first.
  clickCell(2, 5);
  clickCell(3, 5, Qt::ControlModifier);
  QTest::keyClick(table(), Qt::Key_Delete);
  QCoreApplication::processEvents();
  EXPECT_EQ(cell(2, 1), "");
  EXPECT_EQ(cell(3, 1), "");
  EXPECT_EQ(cell(1, 1), "146.52000");
  clickCell(1, 5);
  table()->setFocus();
  QTest::keyClick(table(), Qt::Key_X, Qt::ControlModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(cell(1, 1), "");
  EXPECT_TRUE(QGuiApplication::clipboard()->text().contains("146.52000"));
}

}  // namespace
}  // namespace zr
