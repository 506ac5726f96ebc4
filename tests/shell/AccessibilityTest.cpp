// Every window, page and dialog the desktop program opens, walked the way a
// screen reader walks it: a control that takes the focus without a name a
// person understands fails the test.
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "editors/ui/CustomFreDialog.h"
#include "editors/ui/InputCodeDialog.h"
#include "editors/ui/PttIdPauseDialog.h"
#include "editors/ui/SettingsPages.h"
#include "editors/ui/VolumeDialog.h"
#include "editors/ui/AutoInputWindow.h"
#include "inspector/ui/FillDialog.h"
#include "inspector/ui/HexViewWindow.h"
#include "link/ui/CommunicationWindow.h"
#include "shell/ui/InfoWindows.h"
#include "support/Accessibility.h"
#include "support/DesktopFixture.h"

namespace zr {
namespace {

using testing::accessibleName;
using testing::unnamedControls;

class AccessibilityTest : public testing::DesktopFixture {
 protected:
  void SetUp() override {
    DesktopFixture::SetUp();
    app->window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app->window()));
  }
  SettingsPages* pages() { return app->window().findChild<SettingsPages*>(); }
  // Shows the service pages as the right code does.
  void showServicePages() {
    SettingsPages* p = pages();
    p->askCode = [] { return QStringLiteral("高级码"); };
    p->cmdMoreFunc_Click();
    ASSERT_TRUE(p->sstabMoreFunc()->isVisible());
  }
};

TEST_F(AccessibilityTest, MainWindowPagesAndServicePagesNameEveryControl) {
  showServicePages();
  app->core().log.show();  // the error log dock
  app->window().showNamed(QStringLiteral("frmTreeView"));
  EXPECT_EQ(unnamedControls(&app->window()), QStringList());

  // The other child windows of the frame take the channel window's place.
  for (const char* name : {"frmRadioInfo", "frmSysSet"}) {
    app->window().showNamed(QString::fromLatin1(name));
    QWidget* child = app->window().child(QString::fromLatin1(name));
    ASSERT_NE(child, nullptr) << name;
    EXPECT_EQ(unnamedControls(child), QStringList()) << name;
  }
}

TEST_F(AccessibilityTest, NamesSayWhichControlOfARowItIs) {
  showServicePages();
  auto name = [&](const char* object) {
    QWidget* w = app->window().findChild<QWidget*>(QString::fromLatin1(object));
    if (!w) return QStringLiteral("<missing %1>").arg(QString::fromLatin1(object));
    // Qt's Linux bridge gives a list its shown entry as name (and its label
    // as a relation); the name given here is what other bridges say.
    return qobject_cast<QComboBox*>(w) ? w->accessibleName() : accessibleName(w);
  };
  const std::pair<const char*, const char*> cases[] = {
      {"cboRadioId(2)", "Radio ID digit 3"},
      {"cboVoxCmpDat(7)", "VOX comparison value 7"},
      {"txtAutoMem(4)", "Auto memory 5"},
      {"txtInfo(1)", "Message line 1"},
      {"txtInfo(2)", "Message line 2"},
      {"cboTwoWayVolumeLevel", "Two Way Radio Vol Level"},
      {"cboPttIdPauseTime", "PTT ID Pause Time"},
      {"cmdMoreFunc", "More settings (service code)"},
      {"vsfgGridCh", "Channels"},
      {"treevMain", "Navigation"},
      {"listShowErr", "Error log"},
  };
  app->core().log.show();
  for (const auto& [object, expected] : cases) EXPECT_EQ(name(object), QString::fromUtf8(expected)) << object;
  // The system's own captions stay as they are on the screen.
  EXPECT_EQ(pages()->sstabMoreFunc()->tabText(2), QStringLiteral("两音"));
  EXPECT_EQ(pages()->cmdMoreFunc()->text(), QStringLiteral(">"));
}

TEST_F(AccessibilityTest, WindowsAndDialogsNameEveryControl) {
  Core& core = app->core();
  MainWindow& w = app->window();
  HexViewWindow& hex = app->hexViewWindow();
  hex.setShown(true);
  EXPECT_EQ(unnamedControls(&hex), QStringList()) << "hex view";
  FillDialog* fill = hex.ensureFillDialog();
  fill->show();
  EXPECT_EQ(unnamedControls(fill), QStringList()) << "fill";
  fill->hide();

  AutoInputWindow& autoInput = app->autoInputWindow();
  autoInput.show();
  EXPECT_EQ(unnamedControls(&autoInput), QStringList()) << "automatic channel input";
  autoInput.hide();

  CommunicationWindow commun(app->transfer(), &w);
  commun.show();
  EXPECT_EQ(unnamedControls(&commun), QStringList()) << "communication";
  commun.hide();

  VolumeDialog volume(core, &w);
  PttIdPauseDialog pause(core, &w);
  CustomFreDialog custom(app->editors().band, core.text, core.log, &w);
  InputCodeDialog prompt(core.text.language(), &w);
  AboutDialog about(core, &w);
  for (QDialog* d : std::initializer_list<QDialog*>{&volume, &pause, &custom, &prompt, &about}) {
    d->show();
    EXPECT_EQ(unnamedControls(d), QStringList()) << d->objectName().toStdString();
    d->hide();
  }
}

TEST_F(AccessibilityTest, WriteQuestionNamesItsControls) {
  QStringList unnamed{QStringLiteral("not asked")};
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    unnamed = box ? unnamedControls(box) : QStringList{QStringLiteral("no question")};
    if (auto* mb = qobject_cast<QMessageBox*>(box)) mb->button(QMessageBox::No)->click();
  });
  bool dontAsk = false;
  app->window().askWrite(QStringLiteral("Write?"), &dontAsk);
  EXPECT_EQ(unnamed, QStringList());
}

}  // namespace
}  // namespace zr
