// The desktop program started offscreen from a program folder in a
// temporary directory: main window, menus, toolbar, status bar, shutdown.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QUrl>
#include <deque>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>
#include <QDockWidget>
#include <QHeaderView>
#include <QFileDialog>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "shell/ui/DesktopApp.h"
#include "support/DesktopFixture.h"
#include "shell/ui/ErrorLogWindow.h"
#include "shell/ui/QtPrompts.h"

namespace zr {
namespace {

class MainWindowTest : public testing::DesktopFixture {
 protected:
  QString panel(int k) { return app->window().findChild<QLabel*>(QStringLiteral("sbrStatusPanel%1").arg(k))->text(); }
  QAction* action(const char* name) { return app->window().action(QString::fromLatin1(name)); }
};

TEST_F(MainWindowTest, ShowsTheEnglishFrame) {
  MainWindow& w = app->window();
  EXPECT_EQ(w.objectName(), "mdifrmMain");
  // The system's title, after the name of the file shown.
  EXPECT_EQ(w.windowTitle(), "Untitled.dat - ZR-417");
  struct Caption { const char* name; const char* text; bool visible; } captions[] = {
      {"mnuFile", "&File", true},          {"mnuFileNew", "&New", true},
      {"mnuFileSaveAs", "S&ave As", true}, {"mnuPrintFile", "&Print", false},
      {"mnuProgram", "&Program", true},    {"mnuReadFre", "&Read", true},
      {"mnuReadWriteFre", "&Auto Read/Write Radio", false},
      {"mnuOption", "&Option", false},     {"mnuChLock", "&Lock Channel Interface", true},
      {"mnuSet", "&Settings", true},       {"mnuLockFace", "Lock Face(&D)", true},
      {"mnuLangSel0", "&Simplified Chinese", true}, {"mnuLangSel1", "Traditional Chinese", true},
      {"mnuLangSel2", "&English", true},   {"mnuHelpTopic", "Help &Topic", true},
      {"mnuAboutSoft", "&About", true},    {"mnuView", "&View", true}};
  for (const auto& c : captions) {
    QAction* a = action(c.name);
    ASSERT_NE(a, nullptr) << c.name;
    EXPECT_EQ(a->text(), c.text) << c.name;
    EXPECT_EQ(a->isVisible(), c.visible) << c.name;
  }
  EXPECT_EQ(action("mnuFileOpen")->shortcut(), QKeySequence("Ctrl+O"));
  EXPECT_TRUE(action("mnuLangSel2")->isChecked());
  EXPECT_FALSE(action("mnuLangSel0")->isChecked());

  // Toolbar: nine buttons at positions 2, 4, 5, 7, 8, 10, 12, 14, 16.
  QStringList texts;
  for (QAction* a : w.toolbar()->actions())
    texts << (a->isSeparator() ? QStringLiteral("|") : a->text());
  EXPECT_EQ(texts.join(" "), "New | Open Save | Read Write | Port | Print | Help | Exit | Undo Redo");

  EXPECT_EQ(panel(1), "Ready");
  EXPECT_EQ(panel(2), "COM1");
  EXPECT_EQ(panel(3), "File Name:" + QDir(dir.filePath("Data")).filePath("Untitled.dat"));
}

TEST_F(MainWindowTest, FirstStartWritesFirstRunAndLanguage) {
  PrivateProfile ini(dir.filePath("kelvane.def"));
  EXPECT_EQ(ini.GetString("Setting", "FirRun", "", 2), "0");
  EXPECT_EQ(ini.GetString("Setting", "Language", "", 9), "3");
}

TEST_F(MainWindowTest, ExitAsksAndNoKeepsTheWindowOpen) {
  MainWindow& w = app->window();
  w.show();
  prompts.answers = {false};
  EXPECT_FALSE(w.close());
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(prompts.asked.last(), "Are you sure want to exit?");
  prompts.answers = {true};
  EXPECT_TRUE(w.close());
  EXPECT_TRUE(app->core().settings.Leaving);
}

TEST_F(MainWindowTest, ErrorLogWindowFollowsTheLog) {
  auto* window = app->window().findChild<ErrorLogWindow*>("frmShowErr");
  ASSERT_NE(window, nullptr);
  // Its caption is entry 70 in the language in use, in the dock's title and
  // its entry of the dock menu alike.
  EXPECT_EQ(window->windowTitle(), "Notice");
  EXPECT_EQ(window->toggleViewAction()->text(), "Notice");
  auto* list = window->findChild<QListWidget*>("listShowErr");
  app->core().log.LogError("modChMem->TextToAscii", kErrSubscript);
  EXPECT_FALSE(window->isHidden());
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->currentRow(), 1);
  EXPECT_TRUE(list->item(1)->text().contains("modChMem->TextToAscii"));
  window->close();
  app->core().log.LogError("mdifrmMain->OpenFile", kErrFileNotFound);
  EXPECT_EQ(list->count(), 2);  // a fresh list after closing
}

TEST_F(MainWindowTest, TreeIsDockedFromTheStartAndTheLogLeavesTheGridItsRows) {
  MainWindow& w = app->window();
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  auto* tree = qobject_cast<QDockWidget*>(w.child("frmTreeView"));
  ASSERT_NE(tree, nullptr);
  EXPECT_TRUE(tree->isVisible());
  EXPECT_EQ(w.dockWidgetArea(tree), Qt::LeftDockWidgetArea);
  action("mnuTreeView")->trigger();
  EXPECT_FALSE(tree->isVisible());
  action("mnuTreeView")->trigger();
  EXPECT_TRUE(tree->isVisible());

  app->core().log.LogError("modChMem->TextToAscii", kErrSubscript);
  for (int k = 0; k < 5; ++k) QCoreApplication::processEvents();
  auto* log = w.findChild<ErrorLogWindow*>("frmShowErr");
  ASSERT_TRUE(log->isVisible());
  QTableWidget* grid = app->channelWindow().table();
  const int rowHeight = grid->verticalHeader()->defaultSectionSize();
  EXPECT_GE(grid->viewport()->height(), 8 * rowHeight) << "log height " << log->height();
}

TEST_F(MainWindowTest, FileDialogsNameTheirPatternOnceAndSaveAsOpensOnTheFile) {
  EXPECT_EQ(QtPrompts::qtFilter("Data File(*.dat)|*.dat"), "Data File(*.dat)");
  EXPECT_EQ(QtPrompts::qtFilter("Data|*.dat|All|*.*;*.bak"), "Data (*.dat);;All (*.* *.bak)");

  QtPrompts real;
  QString directory, selected;
  QTimer::singleShot(0, [&] {
    for (QWidget* top : QApplication::topLevelWidgets())
      if (auto* dlg = qobject_cast<QFileDialog*>(top); dlg && dlg->isVisible()) {
        directory = dlg->directory().absolutePath();
        selected = dlg->selectedFiles().value(0);
        dlg->reject();
      }
  });
  EXPECT_EQ(real.saveFileName(kDataFileFilter, dir.filePath("radio.dat"), "dat"), "");
  EXPECT_EQ(QDir(directory), QDir(dir.path()));
  EXPECT_EQ(QFileInfo(selected).fileName(), "radio.dat");
}

TEST_F(MainWindowTest, FileCommandsReachTheDataFiles) {
  prompts.answers = {true};
  prompts.fileNames = {dir.filePath("saved.dat")};
  action("mnuFileSave")->trigger();
  EXPECT_EQ(QFileInfo(dir.filePath("saved.dat")).size(), 1040);
  EXPECT_EQ(panel(3), "File Name:" + dir.filePath("saved.dat"));

  prompts.fileNames = {dir.filePath("missing.dat")};
  action("mnuFileOpen")->trigger();
  EXPECT_EQ(prompts.messages.last(), "Wrong file type!");
}

}  // namespace
}  // namespace zr

namespace zr {
namespace {

class DesktopHabitsTest : public testing::DesktopFixture {
 protected:
  QStringList& questions = prompts.asked;
  int writes = 0;
  // Yes, "Do not ask again", for each question to come.
  void answer(std::initializer_list<std::pair<bool, bool>> list) {
    for (auto [yes, tick] : list) {
      prompts.answers.push_back(yes);
      prompts.dontAskAgainTicks.push_back(tick);
    }
  }
  void SetUp() override {
    DesktopFixture::SetUp();
    // The transfer itself is not run: only counted. This slot comes after the
    // program's own, which is taken off first.
    MainWindow& w = app->window();
    QObject::disconnect(&w, &MainWindow::transferWanted, nullptr, nullptr);
    QObject::connect(&w, &MainWindow::transferWanted, &w, [this](bool write) { writes += write ? 1 : 0; });
  }
};

TEST_F(DesktopHabitsTest, WriteAsksFirstAndDoNotAskAgainIsKeptOnlyWithYes) {
  MainWindow& w = app->window();
  EXPECT_EQ(w.action("mnuWriteFre")->shortcut(), QKeySequence("Ctrl+W"));
  answer({{false, true}, {true, true}});
  w.action("mnuWriteFre")->trigger();  // No (ticked): nothing written, question stays
  EXPECT_EQ(writes, 0);
  w.action("tlbWrite")->trigger();      // Yes (ticked): written, question silenced
  EXPECT_EQ(writes, 1);
  ASSERT_EQ(questions.size(), 2);
  EXPECT_EQ(questions.first(), "Write the data to the radio on COM1?");
  w.action("picWriteDat")->trigger();
  EXPECT_EQ(writes, 2);
  EXPECT_EQ(questions.size(), 2);
  EXPECT_FALSE(askBeforeWrite(PrivateProfile(dir.filePath("kelvane.def"))));
  // A caller that asked already (Write Again) starts at once.
  setAskBeforeWrite(app->core().ini, true);
  w.startWrite(false);
  EXPECT_EQ(writes, 3);
  EXPECT_EQ(questions.size(), 2);
  // Read never asks.
  w.action("mnuReadFre")->trigger();
  EXPECT_EQ(questions.size(), 2);
}

TEST_F(DesktopHabitsTest, DroppedDataFileAndRawImageOpenAndGoToRecentFiles) {
  MainWindow& w = app->window();
  Core& core = app->core();
  // A data file saved from this image, and a raw image of the image's size with a marker byte.
  const QString dat = dir.filePath("drop.dat");
  core.image.CurFilePath = dat;
  ASSERT_TRUE(core.files.SaveDatFile());
  std::vector<uint8_t> raw(core.image.TempArray.bytes());
  raw[0x0100] ^= 0x5A;
  const uint8_t marker = raw[0x0100];
  QFile f(dir.filePath("image.bin"));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(reinterpret_cast<const char*>(raw.data()), static_cast<qint64>(raw.size()));
  f.close();

  struct Case { QStringList urls; QString expected; bool raw; } cases[] = {
      {{dat}, dat, false}, {{dir.filePath("image.BIN")}, dir.filePath("image.BIN"), true},
      {{dir.filePath("notes.txt")}, {}, false}, {{dat, dat}, {}, false}};
  for (const Case& c : cases) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& u : c.urls) urls << QUrl::fromLocalFile(u);
    mime.setUrls(urls);
    bool raw = false;
    EXPECT_EQ(MainWindow::droppedFile(&mime, &raw), c.expected) << c.urls.join(",").toStdString();
    if (!c.expected.isEmpty()) {
      EXPECT_EQ(raw, c.raw);
    }
  }

  ASSERT_TRUE(w.openPath(dir.filePath("image.bin"), true));
  EXPECT_EQ(core.image.TempArray.at(0x0100), marker);  // not realigned
  EXPECT_EQ(core.image.CurFilePath, dir.filePath("image.dat"));  // a save cannot overwrite the raw file
  // A raw file of another size is refused and leaves the image alone.
  QFile shortFile(dir.filePath("short.bin"));
  ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
  shortFile.write("abc");
  shortFile.close();
  EXPECT_FALSE(w.openPath(dir.filePath("short.bin"), true));
  EXPECT_EQ(core.image.TempArray.at(0x0100), marker);

  w.openPath(dat);
  EXPECT_EQ(core.image.CurFilePath, dat);
  EXPECT_EQ(w.recentFiles().paths().first(), dat);
  w.rebuildRecentMenu();
  QAction* first = w.findChild<QAction*>("mnuRecentFile1");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->toolTip(), dat);
  EXPECT_TRUE(first->isEnabled());
  QFile::remove(dat);
  w.rebuildRecentMenu();
  EXPECT_FALSE(w.findChild<QAction*>("mnuRecentFile1")->isEnabled());  // gone: greyed
}

}  // namespace
}  // namespace zr
