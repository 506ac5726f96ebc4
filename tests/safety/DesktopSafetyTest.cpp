// The desktop program's real windows, offscreen: the wheel over a list, typing
// into the channel grid, a raw edit in the hex view, a read that fails or is
// stopped, the automatic input's busy-lock choice and the new menu entries.
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <thread>

#include "editors/AutoInput.h"
#include "editors/ChannelCsv.h"
#include "editors/ui/AutoInputWindow.h"
#include "editors/ui/ChannelWindow.h"
#include "inspector/HexView.h"
#include "shell/ui/MainWindow.h"
#include "sim/PtyHost.h"
#include "sim/RadioSimulator.h"
#include "support/DesktopFixture.h"

namespace zr {
namespace {

using testing::DesktopFixture;

// One turn of the wheel (down) over the middle of `w`, delivered as the
// window system delivers it: the application gives the focus by the
// control's policy and passes an ignored wheel on to the parents.
void turnWheel(QWidget* w) {
  const QPointF at(w->width() / 2.0, w->height() / 2.0);
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                false);
  QSpontaneKeyEvent::setSpontaneous(&e);
  qApp->notify(w, &e);
}

QScrollArea* scrollAreaOf(QWidget* w) {
  for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
    if (auto* s = qobject_cast<QScrollArea*>(p)) return s;
  return nullptr;
}

class DesktopSafety : public DesktopFixture {
 protected:
  // Channel 1 at 446.00000 MHz both ways, shown in the grid.
  void channelOneAt446() {
    ByteArray& img = app->core().image.TempArray;
    const uint8_t rec[16] = {0x00, 0x00, 0x60, 0x44, 0x00, 0x00, 0x60, 0x44,
                             0xFF, 0xFF, 0xFF, 0xFF, 0x09, 0x10, 0x01, 0x00};
    for (int k = 0; k < 16; ++k) img.set(0x0010 + k, rec[k]);
    app->core().files.SoftDisplay();
  }
  QTableWidget* grid() { return app->channelWindow().table(); }
};

TEST_F(DesktopSafety, TheWheelChangesOnlyAFocusedListOrSpinBoxAndOtherwiseScrollsThePage) {
  auto* combo = app->channelWindow().findChild<QComboBox*>(QStringLiteral("cboPwrOnTone"));
  ASSERT_NE(combo, nullptr);
  QScrollArea* page = scrollAreaOf(combo);
  ASSERT_NE(page, nullptr);
  // A spin box on the same page stands for every spin box of the program.
  auto* spin = new QSpinBox(combo->parentWidget());
  spin->setRange(0, 99);
  spin->setValue(50);
  app->window().show();
  app->channelWindow().show();
  // The list's tab in front.
  for (QWidget* w = page; w->parentWidget(); w = w->parentWidget())
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
      if (auto* tabs = qobject_cast<QTabWidget*>(p); tabs && tabs->indexOf(w) >= 0) tabs->setCurrentWidget(w);
  QCoreApplication::processEvents();
  page->widget()->setMinimumHeight(page->viewport()->height() + 2000);  // more than fits: the page scrolls
  QCoreApplication::processEvents();
  ASSERT_GT(page->verticalScrollBar()->maximum(), 0);
  EXPECT_NE(combo->focusPolicy(), Qt::WheelFocus) << "the wheel must not hand the list the focus";

  struct Control {
    const char* name;
    QWidget* widget;
    std::function<int()> value;
  };
  const ByteArray& img = app->core().image.TempArray;
  const int byteBefore = img.at(0x0368);
  for (const Control& c : {Control{"list", combo, [&] { return combo->currentIndex(); }},
                           Control{"spin box", spin, [&] { return spin->value(); }}}) {
    SCOPED_TRACE(c.name);
    page->verticalScrollBar()->setValue(0);
    const int before = c.value();
    ASSERT_FALSE(c.widget->hasFocus());
    turnWheel(c.widget);
    EXPECT_EQ(c.value(), before) << "an unfocused control changed";
    EXPECT_GT(page->verticalScrollBar()->value(), 0) << "the page did not scroll";
  }
  EXPECT_EQ(img.at(0x0368), byteBefore) << "a setting was stored by the wheel";

  // With the focus, the wheel is the control's own.
  QApplication::setActiveWindow(&app->window());
  spin->setFocus();
  if (!spin->hasFocus()) GTEST_SKIP() << "the offscreen platform gives no focus here";
  turnWheel(spin);
  EXPECT_NE(spin->value(), 50);
}

TEST_F(DesktopSafety, TypingInTheGridNeverJumpsToAnotherChannel) {
  channelOneAt446();
  ASSERT_EQ(grid()->item(0, 1)->text(), QStringLiteral("446.00000"));
  const int txBefore = app->core().ChTable.get(kRowTx, 1);
  // The cursor on the transmit cell of the empty channel 16.
  grid()->setCurrentCell(15, 1);
  QTest::keyClicks(grid(), QStringLiteral("468.45"));
  if (QWidget* editor = QApplication::focusWidget()) QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(grid()->currentRow(), 15) << "the cursor jumped to another channel";
  EXPECT_EQ(app->core().ChTable.get(kRowTx, 1), txBefore);
  EXPECT_EQ(grid()->item(0, 1)->text(), QStringLiteral("446.00000"));
}

TEST_F(DesktopSafety, AHexEditKeepsChannelEditsNotYetInTheImage) {
  channelOneAt446();
  HexView& hex = app->hexView();
  hex.TableFreDat();
  // A picked option that is in the channel table but not yet encoded.
  ChannelTable& table = app->core().ChTable;
  const int power = table.get(kRowPower, 1);
  table.set(kRowPower, 1, power ? 0 : 1);
  // A raw edit elsewhere, then a range fill elsewhere.
  const int row = 0x0300 / 16 + 1, col = 1;
  ASSERT_TRUE(hex.editCell(row, col, QStringLiteral("5A")));
  EXPECT_EQ(app->core().image.TempArray.at(0x0300), 0x5A);
  EXPECT_EQ(table.get(kRowPower, 1), power ? 0 : 1) << "the edit threw the channel change away";
  table.set(kRowPower, 1, power);
  hex.fillRange(0x0310, 0x0311, 0x33);
  EXPECT_EQ(table.get(kRowPower, 1), power);
  EXPECT_EQ(app->core().image.TempArray.at(0x0311), 0x33);
}

TEST_F(DesktopSafety, BusyLockQtDqtIsNotOfferedWhereTheRecordCannotHoldIt) {
  AutoInputWindow& w = app->autoInputWindow();
  w.showDialog();
  QCoreApplication::processEvents();
  auto* qtdqt = w.findChild<QRadioButton*>(QStringLiteral("optAutoInput_9"));
  ASSERT_NE(qtdqt, nullptr);
  EXPECT_FALSE(qtdqt->isEnabled());
  auto* carrier = w.findChild<QRadioButton*>(QStringLiteral("optAutoInput_10"));
  ASSERT_NE(carrier, nullptr);
  EXPECT_TRUE(carrier->isEnabled());

  // A CSV cell the column cannot hold is refused with its line and column.
  channelOneAt446();
  const QString csv = exportChannelsCsv(app->editors());
  QStringList lines = csv.split(u'\n');
  ASSERT_GE(lines.size(), 2);
  QStringList cells = lines[1].split(u',');
  const int bcl = static_cast<int>(lines[0].split(u',').indexOf(QStringLiteral("BCL")));
  ASSERT_GT(bcl, 0);
  cells[bcl] = QStringLiteral("QT/DQT");
  lines[1] = cells.join(u',');
  std::vector<CsvProblem> problems;
  importChannelsCsv(app->editors(), lines.join(u'\n'), problems);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].line, 2);
  EXPECT_EQ(problems[0].column, QStringLiteral("BCL"));
}

TEST_F(DesktopSafety, VerifyAfterWriteIsKeptAndTheBackupFolderOpens) {
  QAction* verify = app->window().action(QStringLiteral("mnuVerifyWrite"));
  ASSERT_NE(verify, nullptr);
  EXPECT_FALSE(verify->isChecked());
  EXPECT_FALSE(app->transfer().verifyAfterWrite);
  verify->trigger();
  EXPECT_TRUE(app->transfer().verifyAfterWrite);
  EXPECT_EQ(app->core().setting(QStringLiteral("VerifyAfterWrite"), QString(), 2), QStringLiteral("1"));

  const QString folder = app->core().paths.backupDir;
  system.calls.clear();
  app->window().action(QStringLiteral("mnuOpenBackupFolder"))->trigger();
  EXPECT_EQ(system.calls, QStringList{QStringLiteral("openPath ") + folder});
  EXPECT_TRUE(QFileInfo(folder).isDir());

  // The desktop's opener runs as a process: a failing or missing one is
  // reported with the folder, a successful one says nothing.
  struct Case { const char* opener; bool fails; };
  const Case openers[] = {{"/bin/true", false}, {"/bin/false", true}, {"/nonexistent/opener", true}};
  for (const Case& c : openers) {
    SCOPED_TRACE(c.opener);
    prompts.messages.clear();
    app->window().opener = QString::fromLatin1(c.opener);
    system.pathOpens = app->window().openOutside(folder);
    EXPECT_EQ(system.pathOpens, !c.fails);
    app->window().action(QStringLiteral("mnuOpenBackupFolder"))->trigger();
    ASSERT_EQ(prompts.messages.size(), c.fails ? 1 : 0);
    if (c.fails) {
      EXPECT_TRUE(prompts.messages[0].contains(QDir::toNativeSeparators(app->core().paths.backupDir)));
    }
  }

  // A new run starts with the stored tick.
  app.reset();
  app = std::make_unique<DesktopApp>(dir.path(), &prompts, &system);
  app->start();
  EXPECT_TRUE(app->window().action(QStringLiteral("mnuVerifyWrite"))->isChecked());
  EXPECT_TRUE(app->transfer().verifyAfterWrite);
}

// The desktop program against the simulator on a pseudo-terminal.
class DesktopRead : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    testing::makeProgramFolder(dir);
    ASSERT_TRUE(host.open()) << host.errorText();
    QFile cfg(dir.filePath(QStringLiteral("kelvane.def")));
    ASSERT_TRUE(cfg.open(QIODevice::Append));
    cfg.write("\r\n[Ports]\r\nCOM1=" + QByteArray::fromStdString(host.slavePath()) + "\r\n");
    cfg.close();
    for (int a = 0; a < RadioSimulator::kMemorySize; ++a) sim.poke(a, static_cast<uint8_t>(a * 5 + 1));
    sim.setIdent(0x5A, 0x24, 0x29);
    server = std::thread([this] { host.run(); });
    app = std::make_unique<DesktopApp>(dir.path(), &prompts, &system);
    app->start();
    app->transfer().searchOtherPorts = false;
  }
  void TearDown() override {
    host.stop();
    if (server.joinable()) server.join();
  }

  QStringList shown() {
    QStringList out;
    QTableWidget* t = app->channelWindow().table();
    for (int r = 0; r < t->rowCount(); ++r)
      for (int c = 0; c < t->columnCount(); ++c) out << (t->item(r, c) ? t->item(r, c)->text() : QString());
    for (QComboBox* c : app->channelWindow().findChildren<QComboBox*>()) out << c->objectName() + c->currentText();
    return out;
  }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  ScriptedFrontEnd system;
  RadioSimulator sim;
  PtyHost host{sim};
  std::thread server;
  std::unique_ptr<DesktopApp> app;
};

TEST_F(DesktopRead, AStoppedReadLeavesImageWindowsAndFileNameAsTheyWere) {
  Core& core = app->core();
  core.image.CurFilePath = dir.filePath(QStringLiteral("Data/mine.dat"));
  ASSERT_TRUE(core.files.SaveDatFile());
  ASSERT_TRUE(core.files.OpenFile(core.image.CurFilePath));
  const std::vector<uint8_t> image = core.image.TempArray.bytes();
  const QStringList before = shown();
  const QString file = core.image.CurFilePath;

  // The radio answers the first blocks, then falls silent; the user stops.
  sim.silenceAfter(60);
  Transfer& t = app->transfer();
  QObject::connect(&t, &Transfer::stateChanged, [&] {
    if (t.state().stopVisible && !t.state().stopTicked) t.setStopTicked(true);
  });
  QStringList statuses;
  QObject::connect(&t, &Transfer::stateChanged, [&] { statuses << t.state().status; });
  EXPECT_FALSE(t.cmdRead());
  EXPECT_EQ(t.outcome(), TransferOutcome::Stopped);
  EXPECT_TRUE(core.image.TempArray.bytes() == image) << "the read mixed radio blocks into the image";
  EXPECT_EQ(shown(), before);
  EXPECT_EQ(core.image.CurFilePath, file);
  EXPECT_TRUE(statuses.contains(QStringLiteral("Read Failed: Communication stopped")));
  EXPECT_TRUE(app->link().engine.trace().lines().contains(QStringLiteral("Communication stopped")));
}

}  // namespace
}  // namespace zr
