// The settings pages inside the real channel window: change fields of
// different kinds through their widgets, save, and compare the saved bytes;
// the service code shows and hides the More Functions pages.
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "editors/ui/SettingsPages.h"
#include "support/DesktopFixture.h"

namespace zr {
namespace {

QByteArray readBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingsWindowTest : public testing::DesktopFixture {
 protected:
  SettingsPages* pages() { return app->channelWindow().findChild<SettingsPages*>("SettingsPages"); }
  template <class W>
  W* widget(const char* name) {
    return app->channelWindow().findChild<W*>(QString::fromLatin1(name));
  }
};

TEST_F(SettingsWindowTest, FieldsEditedInTheWindowReachTheSavedFile) {
  ASSERT_TRUE(QFile::copy(dir.filePath("DefRadioSet_UHF.def"), dir.filePath("radio.dat")));
  ASSERT_TRUE(app->core().files.OpenFile(dir.filePath("radio.dat")));

  auto* tot = widget<QComboBox>("cboTot");
  auto* beep = widget<QCheckBox>("chkBeep");
  auto* saveMode = widget<QComboBox>("cboSaveMode");
  auto* info = widget<QLineEdit>("txtInfo(1)");
  ASSERT_TRUE(tot && beep && saveMode && info);
  saveMode->setCurrentIndex(saveMode->findText("1 - 2"));
  saveMode->activated(saveMode->currentIndex());
  const bool beepWas = beep->isChecked();
  beep->click();
  info->selectAll();
  QTest::keyClicks(info, "HELLO");
  QTest::keyClick(info, Qt::Key_Return);

  prompts.answers = {true};
  prompts.fileNames = {dir.filePath("saved.dat")};
  app->window().action("mnuFileSave")->trigger();
  const QByteArray saved = readBytes(dir.filePath("saved.dat"));
  ASSERT_EQ(saved.size(), 1040);
  auto fileByte = [&](int address) { return static_cast<unsigned char>(saved[address + 16]); };
  EXPECT_EQ(fileByte(0x0369), 144);  // save mode "1 - 2"
  EXPECT_EQ(app->editors().settings.state("chkBeep")->checked, !beepWas);
  // Info line 1 at 0x0300: "H" as character code 72, low byte first.
  EXPECT_EQ(fileByte(0x0300), 'H');
  EXPECT_EQ(fileByte(0x0301), 0);

  // The saved file opens with the same values in the widgets.
  ASSERT_TRUE(app->core().files.OpenFile(dir.filePath("saved.dat")));
  EXPECT_EQ(saveMode->currentText(), "1 - 2");
  EXPECT_EQ(beep->isChecked(), !beepWas);
  EXPECT_EQ(info->text(), "HELLO");
}

TEST_F(SettingsWindowTest, TheServiceCodeShowsAndHidesTheMoreFunctionsPages) {
  SettingsPages* p = pages();
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->sstabMoreFunc()->isHidden());
  p->askCode = [] { return QStringLiteral("WRONG"); };
  p->cmdMoreFunc_Click();
  EXPECT_TRUE(p->sstabMoreFunc()->isHidden());
  p->askCode = [] { return QStringLiteral("高级码"); };
  p->cmdMoreFunc_Click();
  EXPECT_FALSE(p->sstabMoreFunc()->isHidden());
  EXPECT_NE(widget<QPushButton>("cmdAutoInput"), nullptr);
  EXPECT_NE(widget<QPushButton>("cmdDelAllCh"), nullptr);
  p->cmdMoreFunc_Click();
  EXPECT_TRUE(p->sstabMoreFunc()->isHidden());
}

}  // namespace
}  // namespace zr
