// The volume dialog, the PTT ID pause dialog and the two-tone grids as real
// widgets offscreen: object names, English captions, and one user edit each
// that reaches the image.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "SettingsFixture.h"
#include "editors/PttIdPause.h"
#include "editors/TwoToneTable.h"
#include "editors/VolumeTable.h"
#include "editors/ui/PttIdPauseDialog.h"
#include "editors/ui/TwoToneGrids.h"
#include "editors/ui/VolumeDialog.h"
#include "base/PrivateProfile.h"

namespace zr {
namespace {

template <class W>
W* child(QWidget& parent, const QString& name) {
  return parent.findChild<W*>(name);
}

TEST_F(SettingsFixture, VolumeDialogShowsTheTableAndWritesAPick) {
  QTemporaryDir dir;
  PrivateProfile ini(dir.filePath(QStringLiteral("kelvane.def")));
  int mode = 0;
  VolumeTable model(image, mode, ini, log);
  VolumeDialog dlg(model, text, log);
  dlg.show();  // laid out, so clicks land on the controls

  EXPECT_EQ(dlg.objectName(), QStringLiteral("frmSetVolume"));
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Set Volume"));
  const std::pair<const char*, const char*> captions[] = {
      {"lblVolumeLevel(1)", "Volume  1 Level"}, {"lblVolumeLevel(9)", "Volume  9 Level"},
      {"lblVolumeLevel(10)", "Volume 10 Level"}};
  for (const auto& [name, caption] : captions) {
    QLabel* l = child<QLabel>(dlg, QString::fromUtf8(name));
    ASSERT_NE(l, nullptr) << name;
    EXPECT_EQ(l->text(), QString::fromUtf8(caption));
  }
  QCheckBox* volMode = child<QCheckBox>(dlg, QStringLiteral("chkVolMode"));
  QCheckBox* useIt = child<QCheckBox>(dlg, QStringLiteral("chkVolumeIic"));
  QPushButton* def = child<QPushButton>(dlg, QStringLiteral("cmdDefault"));
  QPushButton* ok = child<QPushButton>(dlg, QStringLiteral("cmdOK"));
  ASSERT_TRUE(volMode && useIt && def && ok);
  EXPECT_EQ(volMode->text(), QStringLiteral("Volume Mode 2"));
  EXPECT_EQ(useIt->text(), QStringLiteral("Use This Set"));
  EXPECT_EQ(def->text(), QStringLiteral("Default"));
  EXPECT_EQ(ok->text(), QStringLiteral("OK"));
  EXPECT_FALSE(volMode->isChecked());
  EXPECT_TRUE(useIt->isChecked());

  QComboBox* step1 = child<QComboBox>(dlg, QStringLiteral("cboVolumeDat(1)"));
  ASSERT_NE(step1, nullptr);
  EXPECT_EQ(step1->count(), 256);
  EXPECT_EQ(step1->currentIndex(), 63);  // byte 69 on the ladder
  EXPECT_EQ(byteDiff(factoryImage(), image), "") << "opening writes nothing";

  QTest::keyClick(step1, Qt::Key_Down);  // the user moves to position 64
  EXPECT_EQ(step1->currentIndex(), 64);
  EXPECT_EQ(byteDiff(with(factoryImage(), {{0x01A1, 83}}), image), "");

  // Mode 2 is kept in the configuration file; the list keeps its position.
  QTest::mouseClick(volMode, Qt::LeftButton);
  EXPECT_EQ(mode, 1);
  EXPECT_EQ(ini.GetString(QStringLiteral("Setting"), kVolumeModeKey, QString(), 9), QStringLiteral("1"));
  EXPECT_EQ(step1->currentIndex(), 64);

  QTest::mouseClick(useIt, Qt::LeftButton);
  EXPECT_EQ(image.at(0x01AB), 0xFF);
  QTest::mouseClick(def, Qt::LeftButton);
  EXPECT_EQ(image.at(0x01A0), 108);
  EXPECT_EQ(step1->currentIndex(), 68);
  EXPECT_TRUE(useIt->isChecked());
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(SettingsFixture, PttIdPauseDialogTicksFlagsInTheImage) {
  for (int n = 1; n <= kPttIdPauseChannels; ++n) image.set(pttIdPauseAddr(n), 0x00);
  image.set(0x001D, 0x40);
  PttIdPauseDialog dlg(image, text, log);
  dlg.show();

  EXPECT_EQ(dlg.objectName(), QStringLiteral("frmPttIdPauseChSet"));
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("PTT ID Pause In Channel Set"));
  QCheckBox* ch1 = child<QCheckBox>(dlg, QStringLiteral("chkPttIdPauseChSet(0)"));
  QCheckBox* ch16 = child<QCheckBox>(dlg, QStringLiteral("chkPttIdPauseChSet(15)"));
  QRadioButton* all = child<QRadioButton>(dlg, QStringLiteral("chkSelectAll"));
  QRadioButton* none = child<QRadioButton>(dlg, QStringLiteral("chkSelectNone"));
  QPushButton* ok = child<QPushButton>(dlg, QStringLiteral("cmdOK"));
  ASSERT_TRUE(ch1 && ch16 && all && none && ok);
  EXPECT_EQ(ch1->text(), QStringLiteral("CH 1"));
  EXPECT_EQ(ch16->text(), QStringLiteral("CH 16"));
  EXPECT_EQ(all->text(), QStringLiteral("All"));
  EXPECT_EQ(none->text(), QStringLiteral("None"));
  EXPECT_EQ(ok->text(), QStringLiteral("OK"));
  EXPECT_TRUE(ch1->isChecked());
  EXPECT_FALSE(ch16->isChecked());

  QTest::mouseClick(all, Qt::LeftButton);
  EXPECT_TRUE(all->isChecked());
  EXPECT_TRUE(ch16->isChecked());
  for (int n = 1; n <= kPttIdPauseChannels; ++n) EXPECT_EQ(image.at(pttIdPauseAddr(n)), 0x40) << n;

  QTest::mouseClick(ch1, Qt::LeftButton);  // untick channel 1
  EXPECT_EQ(image.at(0x001D), 0x00);
  EXPECT_FALSE(all->isChecked());
  EXPECT_FALSE(none->isChecked());

  QTest::mouseClick(none, Qt::LeftButton);
  EXPECT_TRUE(none->isChecked());
  EXPECT_FALSE(ch16->isChecked());
  EXPECT_EQ(image.at(0x010D), 0x00);
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(SettingsFixture, TwoToneGridsShowTheTableAndWriteAnEdit) {
  TwoToneGrids grids(image, log, kLangEng);
  QTableWidget* g0 = child<QTableWidget>(grids, QStringLiteral("vsfgGridTwoTone(0)"));
  QTableWidget* g1 = child<QTableWidget>(grids, QStringLiteral("vsfgGridTwoTone(1)"));
  ASSERT_TRUE(g0 && g1);
  ASSERT_EQ(g0->columnCount(), kTwoToneColumns);
  ASSERT_EQ(g1->rowCount(), kTwoToneRowsPerGrid);
  QStringList headers;
  for (int c = 0; c < kTwoToneColumns; ++c) headers << g0->horizontalHeaderItem(c)->text();
  EXPECT_EQ(headers.join(u'|'), QStringLiteral("No.|A Fre|A Time|B Fre|B Time|Interval"));
  EXPECT_EQ(g0->item(0, 0)->text(), QStringLiteral("1"));
  EXPECT_EQ(g1->item(7, 0)->text(), QStringLiteral("16"));
  EXPECT_FALSE(g1->item(7, 0)->flags() & Qt::ItemIsEditable);

  // Entry 2 in use; the refresh shows it and repairs its long duration.
  const std::array<int, 8> entry2 = {0x10, 0x27, 150, 0x20, 0x4E, 3, 4, 0x5A};
  for (int k = 0; k < 8; ++k) image.set(0x0290 + k, entry2[size_t(k)]);
  grids.refresh();
  EXPECT_EQ(g0->item(2, kTtFreqA)->text(), QStringLiteral("1000.0"));
  EXPECT_EQ(g0->item(2, kTtTimeA)->text(), QStringLiteral("1.0"));
  EXPECT_EQ(g0->item(2, kTtPause)->text(), QStringLiteral("0.4"));
  EXPECT_EQ(image.at(0x0292), 10);

  // Typing 1000 as tone A of entry 9 (grid 1, first row).
  g1->item(0, kTtFreqA)->setText(QStringLiteral("1000"));
  const int expected[] = {0x10, 0x27, 0x03, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A};
  for (int k = 0; k < 8; ++k) EXPECT_EQ(image.at(0x02C0 + k), expected[k]) << "offset " << k;
  EXPECT_EQ(g1->item(0, kTtTimeA)->text(), QStringLiteral("0.3"));
  EXPECT_EQ(g1->item(0, kTtPause)->text(), QString());
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

TEST_F(SettingsFixture, TwoToneEditEndingWithTheShownTextStillValidates) {
  // Entry 0 holds tone A 288.5 Hz, below what an edit accepts.
  const std::array<int, 8> entry0 = {0x45, 0x0B, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0x5A};
  for (int k = 0; k < 8; ++k) image.set(0x0280 + k, entry0[size_t(k)]);
  TwoToneGrids grids(image, log, kLangEng);
  grids.show();
  grids.refresh();
  QTableWidget* g0 = child<QTableWidget>(grids, QStringLiteral("vsfgGridTwoTone(0)"));
  ASSERT_NE(g0, nullptr);
  ASSERT_EQ(g0->item(0, kTtFreqA)->text(), QStringLiteral("288.5"));

  // The user opens the cell and ends the edit without changing the text.
  g0->setCurrentCell(0, kTtFreqA);
  g0->editItem(g0->item(0, kTtFreqA));
  QLineEdit* editor = g0->viewport()->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(editor->text(), QStringLiteral("288.5"));
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the view commits the editor queued

  EXPECT_EQ(g0->item(0, kTtFreqA)->text(), QStringLiteral("350"));
  EXPECT_EQ(image.word(0x0280), 3500);
  EXPECT_EQ(image.at(0x0282), 5);
  EXPECT_EQ(log.reportCount(), 0) << logText();
}

}  // namespace
}  // namespace zr
