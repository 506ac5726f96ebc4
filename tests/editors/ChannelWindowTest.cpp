// The real channel window, offscreen: open a data file, type a frequency,
// commit a tone through the picker, save, and compare the saved bytes.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "shell/ui/DesktopApp.h"
#include "support/ChannelWindowFixture.h"

namespace zr {
namespace {

QByteArray readBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ChannelWindowTest : public testing::ChannelWindowFixture {};

TEST_F(ChannelWindowTest, TypeAFrequencyPickATonesAndSave) {
  // The VHF default settings file: 136-174 MHz, no channels.
  ASSERT_TRUE(QFile::copy(dir.filePath("DefRadioSet_VHF.def"), dir.filePath("radio.dat")));
  ASSERT_TRUE(app->core().files.OpenFile(dir.filePath("radio.dat")));
  EXPECT_EQ(app->editors().band.rangePosition(), 1);

  clickCell(1, 1);  // an empty channel: editing its receive cell starts at once
  QLineEdit* editor = nullptr;
  for (auto* e : table()->viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
    if (e->isVisible()) editor = e;
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "146.52");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the editor commits on the next turn of the event loop
  EXPECT_EQ(table()->item(0, 0)->text(), "146.52000");
  EXPECT_EQ(table()->item(0, 1)->text(), "146.52000");
  EXPECT_EQ(table()->item(0, 2)->text(), "None");

  clickCell(1, 3);  // the decode tone cell opens the tone picker
  QComboBox* picker = app->channelWindow().picker();
  ASSERT_TRUE(picker->isVisible());
  picker->setEditText("67.0");
  clickCell(2, 5);  // a click elsewhere commits the picker
  EXPECT_EQ(table()->item(0, 2)->text(), "67.0");
  EXPECT_EQ(table()->item(0, 3)->text(), "67.0");

  prompts.answers = {true};
  prompts.fileNames = {dir.filePath("saved.dat")};
  app->window().action("mnuFileSave")->trigger();
  const QByteArray saved = readBytes(dir.filePath("saved.dat"));
  ASSERT_EQ(saved.size(), 1040);
  // Channel 1 record at file offset 0x20: 146.52000 MHz both ways, 67.0 Hz both ways.
  const QByteArray expected = QByteArray::fromHex("00206514" "00206514" "9e02" "9e02");
  EXPECT_EQ(saved.mid(0x20, 12).toHex(), expected.toHex());
  // The settings are the file that was opened (the encoder rewrites every
  // channel record, so those are left out).
  const QByteArray original = readBytes(dir.filePath("radio.dat"));
  for (int k = 0x0120; k < 1040; ++k) {
    if (k == 0x017E + 16 || k == 0x017F + 16) continue;  // channel bit word: channel 1's bandwidth
    ASSERT_EQ(saved[k], original[k]) << "file offset " << k;
  }
}

TEST_F(ChannelWindowTest, RefusesToCloseAndKeepsItsObjectNames) {
  ChannelWindow& w = app->channelWindow();
  EXPECT_FALSE(w.close());
  for (const char* name : {"fraMain", "vsfgGridCh", "cboGridChCtdcs", "mnuPopMenuOne", "fraModel", "cboModel",
                           "cboFrequency"})
    EXPECT_NE(w.findChild<QObject*>(name), nullptr) << name;
  EXPECT_EQ(table()->rowCount(), 16);
  EXPECT_EQ(table()->columnCount(), 10);
  EXPECT_EQ(table()->horizontalHeaderItem(0)->text(), "Rx Freq[MHz]");
}

}  // namespace
}  // namespace zr
