// Program > Batch Write... against simulated radios: the window runs a round
// from the keyboard, shows every port's result and numbers the radios; each
// control it adds has a name a screen reader can say.
#include <QAccessible>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <signal.h>

#include "link/BatchResult.h"
#include "link/PortMap.h"
#include "link/ui/BatchWindow.h"
#include "support/DesktopFixture.h"
#include "support/CliRunner.h"

namespace zr {
namespace {

const QString kCli = QStringLiteral(ZR_BIN_DIR "/zr417-cli");

using SimRadio = testing::SimulatedRadio;

class BatchWindowTest : public testing::DesktopFixture {
 protected:
  // A new data file made by the command line with the program's configuration.
  static void makeDataFile(Core& core, const QString& path) {
    QProcess make;
    make.start(kCli, {QStringLiteral("--config"), core.ini.path(), QStringLiteral("new"), path});
    ASSERT_TRUE(make.waitForFinished(60000));
    ASSERT_EQ(make.exitCode(), 0);
  }
};

TEST_F(BatchWindowTest, ARoundFromTheKeyboardWritesAndNumbersEveryTickedPort) {
  // A radio of a model that takes the Radio ID in a write (120, with its
  // byte 0x03D3 saying so).
  QByteArray memory(0x2000, '\xFF');
  memory[0x03D3] = 0x28;
  const QString image = dir.filePath(QStringLiteral("radio.bin"));
  QFile imageFile(image);
  ASSERT_TRUE(imageFile.open(QIODevice::WriteOnly));
  imageFile.write(memory);
  imageFile.close();
  SimRadio good({QStringLiteral("--image"), image, QStringLiteral("--model-code"), QStringLiteral("120")}),
      silent({QStringLiteral("--silent")});
  ASSERT_FALSE(good.device().isEmpty());
  ASSERT_FALSE(silent.device().isEmpty());
  Core& core = app->core();
  const QString fleet = dir.filePath(QStringLiteral("fleet.dat"));
  ASSERT_NO_FATAL_FAILURE(makeDataFile(core, fleet));

  PortMap map([&] {
    std::vector<SerialDevice> list(2);
    list[0].systemLocation = good.device();
    list[1].systemLocation = silent.device();
    return list;
  });
  BatchWindow w(core, map);
  w.workerProgram = kCli;
  w.show();
  w.findChild<QLineEdit*>(QStringLiteral("txtBatchFile"))->setText(fleet);
  w.findChild<QLineEdit*>(QStringLiteral("txtBatchRadioId"))->setText(QStringLiteral("123459"));
  w.findChild<QLineEdit*>(QStringLiteral("txtBatchLog"))->setText(dir.filePath(QStringLiteral("log.csv")));
  auto* ports = w.findChild<QListWidget*>(QStringLiteral("lstBatchPorts"));
  ASSERT_EQ(ports->count(), 2);
  // Space ticks the current port, as a keyboard user would.
  ports->setFocus();
  for (int i = 0; i < 2; ++i) {
    ports->setCurrentRow(i);
    QTest::keyClick(ports, Qt::Key_Space);
    EXPECT_EQ(ports->item(i)->checkState(), Qt::Checked);
  }
  // The ticked ports are remembered.
  EXPECT_EQ(core.ini.GetString(kSettingSection, BatchWindow::kPortsKey, QString(), 100), QStringLiteral("1,2"));

  // Every control a keyboard reaches has a name.
  for (QWidget* c : w.findChildren<QWidget*>()) {
    if (c->focusPolicy() == Qt::NoFocus || !c->isVisible()) continue;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << c->objectName().toStdString() << " "
                                                       << c->metaObject()->className();
  }

  QTest::keyClick(&w, Qt::Key_Return);
  EXPECT_TRUE(w.running());
  EXPECT_FALSE(w.findChild<QPushButton*>(QStringLiteral("cmdBatchWriteAll"))->isEnabled());
  const QDeadlineTimer deadline(120000);
  while (w.results().size() < 2 && !deadline.hasExpired()) QTest::qWait(20);
  ASSERT_EQ(w.results().size(), 2u);
  QCoreApplication::processEvents();

  auto* table = w.findChild<QTableWidget*>(QStringLiteral("tblBatchResults"));
  ASSERT_EQ(table->rowCount(), 2);
  QStringList seen;
  for (const RadioResult& r : w.results()) {
    const int port = r.port == good.device() ? 0 : 1;
    const auto* state = w.findChild<QLabel*>(QStringLiteral("lblBatchPort_%1").arg(port));
    ASSERT_NE(state, nullptr);
    if (port == 0) {
      EXPECT_EQ(r.result, BatchOutcome::Ok) << r.cause.toStdString();
      EXPECT_EQ(r.radioId, QStringLiteral("123459"));
      EXPECT_EQ(w.findChild<QProgressBar*>(QStringLiteral("prgBatch_0"))->value(), 100);
    } else {
      EXPECT_EQ(r.result, BatchOutcome::NoRadio);
      EXPECT_EQ(r.radioId, QStringLiteral("123461"));
      EXPECT_TRUE(state->text().contains(QStringLiteral("no radio answered"))) << state->text().toStdString();
    }
    for (const QString& b : r.backups) {
      QFile::remove(b);
      QFile::remove(b.chopped(4) + QStringLiteral(".dat"));
    }
  }
  // The round is over: the next number waits in the box, the button takes Enter again.
  EXPECT_FALSE(w.running());
  EXPECT_EQ(w.findChild<QLineEdit*>(QStringLiteral("txtBatchRadioId"))->text(), QStringLiteral("123462"));
  EXPECT_TRUE(w.findChild<QPushButton*>(QStringLiteral("cmdBatchWriteAll"))->isEnabled());
}

TEST_F(BatchWindowTest, WhileARoundWritesTheSingleTransfersKeepOffItsPortsAndLeavingAsks) {
  // A radio at the cable's real pace, so that the round is still writing
  // while the main window is used.
  SimRadio radio({QStringLiteral("--paced")});
  ASSERT_FALSE(radio.device().isEmpty());
  Core& core = app->core();
  const QString fleet = dir.filePath(QStringLiteral("fleet.dat"));
  ASSERT_NO_FATAL_FAILURE(makeDataFile(core, fleet));
  app->link().portMap = PortMap([&] {
    std::vector<SerialDevice> list(1);
    list[0].systemLocation = radio.device();
    return list;
  });

  app->window().action(QStringLiteral("mnuBatchWrite"))->trigger();
  auto* w = qobject_cast<BatchWindow*>(app->window().child(QStringLiteral("frmBatchWrite")));
  ASSERT_NE(w, nullptr);
  w->workerProgram = kCli;
  w->findChild<QLineEdit*>(QStringLiteral("txtBatchFile"))->setText(fleet);
  const QString log = dir.filePath(QStringLiteral("log.csv"));
  w->findChild<QLineEdit*>(QStringLiteral("txtBatchLog"))->setText(log);
  auto* ports = w->findChild<QListWidget*>(QStringLiteral("lstBatchPorts"));
  ASSERT_EQ(ports->count(), 1);
  ports->item(0)->setCheckState(Qt::Checked);
  w->writeAll();
  ASSERT_TRUE(w->running());

  // A single read on the same cable is refused with the reason, before a
  // byte goes to the radio the batch is writing.
  const int port = app->link().portMap.numberOf(radio.device());
  ASSERT_GT(port, 0);
  core.settings.ComPort = port;
  EXPECT_FALSE(app->transfer().cmdRead());
  EXPECT_EQ(app->transfer().failure().kind, LinkFailure::Kind::PortBusy);
  EXPECT_TRUE(app->transfer().failure().systemReason.contains(QStringLiteral("in use by the Batch Write window")))
      << app->transfer().failure().systemReason.toStdString();
  EXPECT_TRUE(w->running());

  // Leaving asks first; No keeps the program and the round.
  prompts.answers = {false};
  EXPECT_FALSE(app->window().close());
  ASSERT_FALSE(prompts.asked.isEmpty());
  EXPECT_TRUE(prompts.asked.last().contains(QStringLiteral("COM%1").arg(port))) << prompts.asked.last().toStdString();
  EXPECT_TRUE(w->running());

  // Yes (and yes to leaving at all) ends the write, and the radio is logged
  // as ended by the close, not lost.
  prompts.answers = {true, true};
  EXPECT_TRUE(app->window().close());
  EXPECT_FALSE(w->running());
  ASSERT_EQ(w->results().size(), 1u);
  const RadioResult& r = w->results()[0];
  EXPECT_NE(r.result, BatchOutcome::Ok);
  EXPECT_TRUE(r.cause.contains(QStringLiteral("because the program was closed"))) << r.cause.toStdString();
  EXPECT_TRUE(QString::fromUtf8(testing::readBytes(log)).contains(QStringLiteral("because the program was closed")));
  EXPECT_TRUE(app->link().access.devicesInUse.empty());
}

}  // namespace
}  // namespace zr
