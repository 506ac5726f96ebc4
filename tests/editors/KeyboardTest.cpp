// The desktop program by keyboard alone, offscreen: the channel grid's keys
// (Enter, F2, Space, Alt+Down, typing on a tone cell, Tab out of the grid),
// F6 between the panes, the focus after a dialog, and a whole channel set up,
// saved and read back without the mouse.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "editors/ChannelGrid.h"
#include "editors/GridColumns.h"
#include "editors/SettingsMap.h"
#include "editors/ui/AutoInputWindow.h"
#include "editors/ui/SettingsPages.h"
#include "inspector/ui/HexViewWindow.h"
#include "shell/ui/DesktopApp.h"
#include "support/ChannelWindowFixture.h"

namespace zr {
namespace {


class KeyboardTest : public testing::ChannelWindowFixture {
 protected:
  void SetUp() override {
    ChannelWindowFixture::SetUp();
    if (HasFatalFailure()) return;
    table()->setFocus();
    settle();
  }
  void TearDown() override {
    EXPECT_EQ(app->core().log.reportCount(), 0) << app->core().log.lines().join("\n").toStdString();
    ChannelWindowFixture::TearDown();
  }

  SettingsPages* pages() { return app->window().findChild<SettingsPages*>(); }
  QWidget* focus() { return QApplication::focusWidget(); }
  void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }
  // A key to whatever has the focus, as the keyboard sends it.
  void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* f = focus();
    ASSERT_NE(f, nullptr) << "nothing has the focus";
    QTest::keyClick(f, k, mods);
    settle();
  }
  void type(const QString& text) {
    for (QChar c : text) {
      QWidget* f = focus();
      ASSERT_NE(f, nullptr) << "nothing has the focus";
      QTest::keyClicks(f, QString(c));
      settle();
    }
  }
  void goTo(int row, int col) {
    table()->setFocus();
    table()->setCurrentCell(row - 1, col - 1);
    settle();
  }
  // A frequency a little above the band's lower edge, as the grid shows it.
  QString frequencyInBand() { return ChannelGrid::mhzText(app->editors().band.BandMin + 112500); }
  // Channel 1 with a frequency, by keyboard.
  void addChannelOne() {
    goTo(1, kColRx);
    type(frequencyInBand());
    key(Qt::Key_Return);
    ASSERT_EQ(grid().text(1, kColRx), frequencyInBand());
  }
  bool inPane(const char* name) {
    QWidget* pane = app->window().findChild<QWidget*>(QString::fromLatin1(name));
    return pane && focus() && (focus() == pane || pane->isAncestorOf(focus()));
  }
};

TEST_F(KeyboardTest, ToneCellTakesTypedTonesAndEnterCommitsEscapeAbandons) {
  addChannelOne();
  // Typing on the decode tone cell starts the tone entry with the character typed.
  goTo(1, kColDecode);
  type(QStringLiteral("67.0"));
  EXPECT_TRUE(app->channelWindow().picker()->isVisible());
  key(Qt::Key_Return);
  EXPECT_FALSE(app->channelWindow().picker()->isVisible());
  EXPECT_EQ(grid().text(1, kColDecode), QStringLiteral("67.0"));
  EXPECT_EQ(grid().text(1, kColEncode), QStringLiteral("67.0"));  // a decode entry sets the encode tone too
  EXPECT_EQ(focus(), table());

  // Escape leaves the tone as it was.
  goTo(1, kColEncode);
  type(QStringLiteral("023"));
  EXPECT_EQ(table()->currentColumn() + 1, kColEncode) << "after typing";
  EXPECT_EQ(app->channelWindow().picker()->currentText(), QStringLiteral("023"));
  key(Qt::Key_Escape);
  EXPECT_EQ(grid().text(1, kColEncode), QStringLiteral("67.0"));
  EXPECT_EQ(focus(), table());
  EXPECT_EQ(grid().cursorCol(), kColEncode) << "the grid's cursor after Escape";
  EXPECT_EQ(table()->currentColumn() + 1, kColEncode) << "the view's current cell after Escape";

  // Tab commits and goes on to the next cell.
  goTo(1, kColEncode);
  type(QStringLiteral("023"));
  ASSERT_TRUE(app->channelWindow().picker()->isVisible()) << (focus() ? focus()->objectName().toStdString() : "");
  EXPECT_EQ(app->channelWindow().picker()->currentText(), QStringLiteral("023"));
  key(Qt::Key_Tab);
  EXPECT_EQ(grid().text(1, kColEncode), QStringLiteral("D023N"));
  EXPECT_EQ(table()->currentColumn() + 1, kColFirstOption);
}

TEST_F(KeyboardTest, EnterF2AndAltDownDoWhatAClickDoesAndSpaceWhatADoubleClickDoes) {
  addChannelOne();
  // On a tone cell Enter, F2 and Alt+Down open the entry with the list of tones.
  for (Qt::Key k : {Qt::Key_Return, Qt::Key_F2, Qt::Key_Down}) {
    goTo(1, kColDecode);
    key(k, k == Qt::Key_Down ? Qt::AltModifier : Qt::NoModifier);
    QComboBox* picker = app->channelWindow().picker();
    EXPECT_TRUE(picker->isVisible()) << k;
    EXPECT_TRUE(picker->view()->isVisible()) << k;  // the list is open
    picker->hidePopup();
    settle();
    key(Qt::Key_Escape);
    EXPECT_FALSE(picker->isVisible()) << k;
  }

  // On an option cell Enter opens its list editor; Escape closes it unchanged.
  goTo(1, kColFirstOption);
  const QString option = grid().text(1, kColFirstOption);
  key(Qt::Key_Return);
  EXPECT_NE(table()->indexWidget(table()->currentIndex()), nullptr);  // its editor is open
  auto* editor = qobject_cast<QComboBox*>(focus());
  ASSERT_NE(editor, nullptr);
  EXPECT_FALSE(editor->accessibleName().isEmpty());
  key(Qt::Key_Escape);
  EXPECT_EQ(grid().text(1, kColFirstOption), option);

  // Alt+Down opens the editor with its list shown.
  key(Qt::Key_Down, Qt::AltModifier);
  QComboBox* open = nullptr;
  for (QComboBox* box : table()->findChildren<QComboBox*>())
    if (box != app->channelWindow().picker() && box->view()->isVisible()) open = box;
  ASSERT_NE(open, nullptr) << "no option list open";
  open->hidePopup();
  settle();
  key(Qt::Key_Escape);

  // Space steps the option, as a double click does.
  goTo(1, kColFirstOption);
  key(Qt::Key_Space);
  EXPECT_NE(grid().text(1, kColFirstOption), option);
  EXPECT_EQ(table()->indexWidget(table()->currentIndex()), nullptr);  // no editor

  // Space on a transmit cell without frequency copies the receive side, as
  // a double click does. F2 opens the transmit frequency for editing.
  goTo(1, kColTx);
  key(Qt::Key_F2);
  auto* line = qobject_cast<QLineEdit*>(focus());
  ASSERT_NE(line, nullptr);
  line->selectAll();
  key(Qt::Key_Backspace);
  key(Qt::Key_Return);
  ASSERT_TRUE(grid().text(1, kColTx).isEmpty());
  goTo(1, kColTx);
  key(Qt::Key_Space);
  EXPECT_EQ(grid().text(1, kColTx), grid().text(1, kColRx));
}

TEST_F(KeyboardTest, TabLeavesTheGridAfterItsLastCellAndShiftTabBeforeItsFirst) {
  const int rows = table()->rowCount(), cols = table()->columnCount();
  goTo(rows, cols);
  key(Qt::Key_Tab);
  EXPECT_NE(focus(), table());
  goTo(1, 1);
  key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_NE(focus(), table());
  // In between, Tab goes from cell to cell.
  goTo(1, 1);
  key(Qt::Key_Tab);
  EXPECT_EQ(focus(), table());
  EXPECT_EQ(table()->currentColumn(), 1);
}

TEST_F(KeyboardTest, F6CyclesThePanesBothWays) {
  app->core().log.show();
  settle();
  const char* forward[] = {"sstabSetMode", "listShowErr", "treevMain", "vsfgGridCh"};
  for (const char* pane : forward) {
    key(Qt::Key_F6);
    EXPECT_TRUE(inPane(pane)) << pane << ": focus on " << (focus() ? focus()->objectName().toStdString() : "none");
  }
  const char* backward[] = {"treevMain", "listShowErr", "sstabSetMode", "vsfgGridCh"};
  for (const char* pane : backward) {
    key(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(inPane(pane)) << pane << ": focus on " << (focus() ? focus()->objectName().toStdString() : "none");
  }
}

TEST_F(KeyboardTest, TabGoesThroughEachSettingsPageInReadingOrder) {
  pages()->askCode = [] { return QStringLiteral("高级码"); };
  pages()->cmdMoreFunc_Click();
  settle();
  struct Page {
    QTabWidget* tabs;
    int index;
  };
  std::vector<Page> list{{pages()->sstabSetMode(), 1}};
  for (int i = 0; i < pages()->sstabMoreFunc()->count(); ++i) list.push_back({pages()->sstabMoreFunc(), i});
  for (const Page& p : list) {
    p.tabs->setCurrentIndex(p.index);
    QWidget* page = p.tabs->widget(p.index);
    // Positions on the page itself, whichever part of it is scrolled into view.
    auto* scroll = qobject_cast<QScrollArea*>(page);
    QWidget* content = scroll && scroll->widget() ? scroll->widget() : page;
    p.tabs->tabBar()->setFocus();
    settle();
    // Each control Tab reaches lies below the one before or in a column to its right.
    std::vector<QWidget*> visited;
    for (int steps = 0; steps < 400; ++steps) {
      key(Qt::Key_Tab);
      QWidget* f = focus();
      const bool inside = f && content->isAncestorOf(f);
      if (!inside && !visited.empty()) {
        if (visited.size() <= 2)
          ADD_FAILURE() << "left page " << p.index << " after " << visited.size() << " from "
                                   << visited.back()->objectName().toStdString() << " to "
                                   << (f ? f->objectName().toStdString() + " " + f->metaObject()->className() : "");
        break;
      }
      if (inside && content->isAncestorOf(f)) visited.push_back(f);
    }
    ASSERT_GT(visited.size(), 2u) << p.index;
    for (size_t i = 1; i < visited.size(); ++i) {
      const QPoint a = visited[i - 1]->mapTo(content, QPoint(0, 0)), b = visited[i]->mapTo(content, QPoint(0, 0));
      EXPECT_TRUE(b.y() > a.y() || b.x() > a.x())
          << "page " << p.index << ": " << visited[i - 1]->objectName().toStdString() << " then "
          << visited[i]->objectName().toStdString();
    }
  }
}

TEST_F(KeyboardTest, FocusGoesBackAfterADialog) {
  addChannelOne();
  goTo(1, kColTx);
  const QString path = dir.filePath(QStringLiteral("kept.dat"));
  prompts.answers.push_back(true);  // Save? Yes
  prompts.fileNames.push_back(path);
  key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(QFile::exists(path));
  prompts.fileNames.push_back(path);
  key(Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(focus(), table());
}

TEST_F(KeyboardTest, EscapeClosesTheHexViewAndTheAutomaticInput) {
  HexViewWindow& hex = app->hexViewWindow();
  hex.setShown(true);
  AutoInputWindow& autoInput = app->autoInputWindow();
  autoInput.showDialog();
  for (QWidget* w : {static_cast<QWidget*>(&hex), static_cast<QWidget*>(&autoInput)}) {
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w)) << w->objectName().toStdString();
    // The window's first control takes the focus, as when it opens.
    QWidget* first = w->nextInFocusChain();
    while (first != w && !(w->isAncestorOf(first) && first->isVisible() && (first->focusPolicy() & Qt::TabFocus)))
      first = first->nextInFocusChain();
    first->setFocus();
    settle();
    key(Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
  }
}

TEST_F(KeyboardTest, AChannelSetUpByKeyboardAloneIsSavedAndReadsBackEqual) {
  // Start: the grid has the focus. A frequency, tones and an option.
  addChannelOne();
  goTo(1, kColDecode);
  type(QStringLiteral("100.0"));
  key(Qt::Key_Return);
  key(Qt::Key_Right);
  type(QStringLiteral("754i"));
  key(Qt::Key_Tab);
  ASSERT_EQ(table()->currentColumn() + 1, kColFirstOption);
  key(Qt::Key_Space);
  const QStringList channel = [&] {
    QStringList cells;
    for (int c = 1; c < grid().columnCount(); ++c) cells << grid().text(1, c);
    return cells;
  }();
  EXPECT_EQ(channel[kColDecode - 1], QStringLiteral("100.0"));
  EXPECT_EQ(channel[kColEncode - 1], QStringLiteral("D754I"));

  // To the settings pages, to the second page, into it, a list changed by the arrow keys.
  key(Qt::Key_F6);
  ASSERT_TRUE(inPane("sstabSetMode"));
  QTabWidget* tabs = pages()->sstabSetMode();
  key(Qt::Key_Right);
  ASSERT_EQ(tabs->currentIndex(), 1);
  QComboBox* list = nullptr;
  for (int steps = 0; steps < 20 && !list; ++steps) {
    key(Qt::Key_Tab);
    list = qobject_cast<QComboBox*>(focus());
  }
  ASSERT_NE(list, nullptr) << "no list reached by Tab";
  const int before = list->currentIndex();
  key(Qt::Key_Down);
  const int chosen = list->currentIndex();
  ASSERT_NE(chosen, before);
  const QString listName = list->objectName();

  // Back to the grid, and save.
  key(Qt::Key_F6, Qt::ShiftModifier);
  ASSERT_EQ(focus(), table());
  const QString path = dir.filePath(QStringLiteral("keyboard.dat"));
  prompts.answers.push_back(true);  // Save? Yes
  prompts.fileNames.push_back(path);
  key(Qt::Key_S, Qt::ControlModifier);
  ASSERT_TRUE(QFile::exists(path));

  // A fresh data set, then the saved file: the same channel and setting come back.
  prompts.defaultSaveChoice = UserPrompts::SaveChoice::Discard;
  prompts.answers.push_back(true);  // Clear all? Yes
  app->core().files.NewFile();
  settle();
  ASSERT_NE(grid().text(1, kColRx), channel[0]);
  ASSERT_TRUE(app->core().files.OpenFile(path));
  settle();
  for (int c = 1; c < grid().columnCount(); ++c)
    EXPECT_EQ(grid().text(1, c), channel[c - 1]) << "column " << c;
  EXPECT_EQ(pages()->findChild<QComboBox*>(listName)->currentIndex(), chosen) << listName.toStdString();
}

}  // namespace
}  // namespace zr
